#include "AsciiReader.h"

#include "HandedSections.h"
#include "ParallelTasks.h"
#include "PrintableText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

namespace fbxsdk::io {

namespace {

// Record names are printable ASCII: a NUL, a control character or a byte
// outside ASCII ends one, so that binary garbage is refused where it starts.
bool IsNameChar(char c) {
  return c > ' ' && c < 0x7f && !(c == ':' || c == '{' || c == '}' || c == ',' || c == '"' || c == ';' || c == '*');
}

// The binary encoding stores a record name's length in one byte; no file holds longer ones.
constexpr size_t kLongestRecordName = 255;

class AsciiParser {
public:
  AsciiParser(const char* data, size_t size, std::string& error, const ReadOptions& options)
      : AsciiParser(data, data, data + size, error, options) {}
  // A parser of [from, to) within the file that starts at begin.
  AsciiParser(const char* begin, const char* from, const char* to, std::string& error, const ReadOptions& options)
      : begin_(begin), p_(from), end_(to), error_(error), options_(options) {}

  bool ParseTop(FbxRecord& root) {
    for (;;) {
      SkipSpace();
      if (p_ == end_) return true;
      if (*p_ == '}') return Fail("'}' without a matching '{'");
      if (!ParseRecord(root, 0)) return false;
    }
  }

private:
  bool Fail(const std::string& what) { return FailAt(what, p_); }

  bool FailAt(const std::string& what, const char* where) {
    size_t line = 1 + static_cast<size_t>(std::count(begin_, where, '\n'));
    error_ = what + " on line " + std::to_string(line);
    return false;
  }

  // Blanks, line ends and ';' comments.
  void SkipSpace() {
    while (p_ < end_) {
      char c = *p_;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++p_;
      } else if (c == ';') {
        const void* eol = std::memchr(p_, '\n', static_cast<size_t>(end_ - p_));
        p_ = eol ? static_cast<const char*>(eol) : end_;
      } else {
        return;
      }
    }
  }

  // Whether a record name and its ':' start here.
  bool StartsRecord() const {
    const char* q = p_;
    const char* longest = p_ + std::min<size_t>(kLongestRecordName + 1, static_cast<size_t>(end_ - p_));
    while (q < longest && IsNameChar(*q)) ++q;
    return q > p_ && q < end_ && *q == ':';
  }

  void SkipBlanks() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r')) ++p_;
  }

  bool ParseBlock(FbxRecord& parent, int depth) {
    if (depth >= kMaxRecordDepth)
      return Fail("records nested deeper than " + std::to_string(kMaxRecordDepth) + " levels");
    for (;;) {
      SkipSpace();
      if (p_ == end_) return Fail("end of file inside a '{' block");
      if (*p_ == '}') {
        ++p_;
        return true;
      }
      if (!ParseRecord(parent, depth)) return false;
    }
  }

  bool ParseRecord(FbxRecord& parent, int depth) {
    const char* start = p_;
    const char* longest = start + std::min<size_t>(kLongestRecordName + 1, static_cast<size_t>(end_ - start));
    while (p_ < longest && IsNameChar(*p_)) ++p_;
    if (p_ == start) return Fail("unexpected character '" + PrintableText({p_, 1}) + "' where a record name belongs");
    if (p_ - start > static_cast<std::ptrdiff_t>(kLongestRecordName))
      return FailAt("record name '" + PrintableText({start, static_cast<size_t>(p_ - start)}) + "' is longer than " +
                        std::to_string(kLongestRecordName) + " characters",
                    start);
    if (p_ == end_ || *p_ != ':')
      return Fail("record name '" + PrintableText({start, static_cast<size_t>(p_ - start)}) +
                  "' is not followed by ':'");
    FbxRecord& record = records_.Add(parent, std::string_view(start, static_cast<size_t>(p_ - start)));
    handed_.Starts(record, depth);
    ++p_;
    if (!ParseValues(record, depth)) return false;
    std::string_view section = handed_.Ends(record, parent);
    if (!section.empty() && !HandOver(section, parent)) return false;
    if (options_.release) options_.release(static_cast<size_t>(p_ - begin_));
    return true;
  }

  bool ParseValues(FbxRecord& record, int depth) {
    bool afterComma = false;  // a value may follow on the next line
    bool haveValue = false;   // a value was read since the last comma
    bool anyValue = false;    // a value was read at all
    for (;;) {
      SkipBlanks();
      if (p_ == end_) return true;
      char c = *p_;
      if (c == '\n' || c == ';') {
        // Values may continue on the next line before or after a comma (older files wrap long
        // lists), the block may open there, and a record may start its values there (Blender's
        // animation keys): a line that does not start a record continues this one.
        SkipSpace();
        if (afterComma) continue;
        if (p_ < end_ && (*p_ == ',' || *p_ == '{')) continue;
        if (!anyValue && p_ < end_ && *p_ != '}' && !StartsRecord()) continue;
        return true;
      }
      if (c == '{') {
        ++p_;
        return ParseBlock(record, depth + 1);
      }
      if (c == '}') return true;
      if (c == ',') {
        ++p_;  // an empty value (",," or a leading ",") is skipped
        afterComma = true;
        haveValue = false;
        continue;
      }
      if (haveValue) return Fail("missing ',' between values of '" + PrintableText(record.name) + "'");
      bool ok = c == '"' ? ParseString(record) : c == '*' ? ParseArray(record) : ParseScalar(record);
      if (!ok) return false;
      CoalesceNumbers(record);
      haveValue = true;
      anyValue = true;
      afterComma = false;
    }
  }

  // Older files write long arrays as plain value lists. Past a few numbers, they are kept
  // as one array value, as the newer form is, rather than one record value per number.
  static void CoalesceNumbers(FbxRecord& record) {
    constexpr size_t kLoose = 16;
    std::vector<FbxValue>& values = record.values;
    if (values.size() == 2 && values[0].IsArray() && values[0].openList && values[1].IsNumber()) {
      Append(values[0], values[1]);
      values.pop_back();
      return;
    }
    if (values.size() != kLoose) return;
    for (const FbxValue& value : values)
      if (!value.IsNumber()) return;
    FbxValue array = FbxValue::MakeInts({});
    array.openList = true;
    for (const FbxValue& value : values) Append(array, value);
    values.clear();
    values.push_back(std::move(array));
  }

  static void Append(FbxValue& array, const FbxValue& number) {
    bool integer = number.type != FbxValue::Double && number.type != FbxValue::Float;
    AppendNumber(array, integer, number.integer, number.AsDouble());
  }

  // An array holds integers while they last; the first value that is not a 32-bit integer turns
  // it into doubles. Called for every number of an array, so kept inline.
  [[gnu::always_inline]] static inline void AppendNumber(FbxValue& array, bool isInteger, int64_t integer, double real,
                                                         size_t expected = 0) {
    if (array.type == FbxValue::Int32Array) {
      if (isInteger && integer >= INT32_MIN && integer <= INT32_MAX) {
        array.Ints().push_back(static_cast<int32_t>(integer));
        return;
      }
      PromoteToDoubles(array, expected);
    }
    array.Doubles().push_back(isInteger ? static_cast<double>(integer) : real);
  }

  static void PromoteToDoubles(FbxValue& array, size_t expected) {
    array.Doubles().reserve(std::max(expected, array.Ints().size() + 1));
    array.Doubles().assign(array.Ints().begin(), array.Ints().end());
    FreeVector(array.Ints());
    array.type = FbxValue::DoubleArray;
  }

  static void Unescape(std::string& text) {
    size_t at = text.find("&quot;");
    while (at != std::string::npos) {
      text.replace(at, 6, "\"");
      at = text.find("&quot;", at + 1);
    }
  }

  bool ParseString(FbxRecord& record) {
    ++p_;
    const void* close = std::memchr(p_, '"', static_cast<size_t>(end_ - p_));
    if (!close) return Fail("string without a closing '\"'");
    const char* stop = static_cast<const char*>(close);
    FbxValue value = FbxValue::MakeString(std::string_view(p_, static_cast<size_t>(stop - p_)));
    Unescape(value.text);
    record.values.push_back(std::move(value));
    p_ = stop + 1;
    return true;
  }

  // Reads one number. Accepts the "1.#INF" / "-1.#IND" forms some exporters write.
  bool ReadNumber(bool& isInteger, int64_t& integer, double& real) {
    if (p_ >= end_) return Fail("end of file where a number belongs");
    const char* start = p_;
    const char* q = p_;
    bool negative = false;
    if (q < end_ && (*q == '-' || *q == '+')) negative = *q++ == '-';
    const char* digits = q;
    uint64_t magnitude = 0;
    while (q < end_ && *q >= '0' && *q <= '9' && q - digits < 18)
      magnitude = magnitude * 10 + static_cast<uint64_t>(*q++ - '0');
    bool plainInteger =
        q > digits && (q == end_ || !(*q == '.' || *q == 'e' || *q == 'E' || *q == '#' || (*q >= '0' && *q <= '9')));
    if (plainInteger) {
      isInteger = true;
      integer = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
      p_ = q;
      return true;
    }
    if (q > digits && q < end_ && *q >= '0' && *q <= '9') {
      // Longer than the fast path: object identifiers use the full 64 bits.
      int64_t wide = 0;
      auto parsedInt = std::from_chars(*start == '+' ? start + 1 : start, end_, wide);
      if (parsedInt.ec == std::errc() && (parsedInt.ptr == end_ || !(*parsedInt.ptr == '.' || *parsedInt.ptr == 'e' ||
                                                                     *parsedInt.ptr == 'E' || *parsedInt.ptr == '#'))) {
        isInteger = true;
        integer = wide;
        p_ = parsedInt.ptr;
        return true;
      }
    }
    isInteger = false;
    const char* from = *start == '+' ? start + 1 : start;
    auto parsed = std::from_chars(from, end_, real);
    if (parsed.ec == std::errc::result_out_of_range) {
      real = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    } else if (parsed.ec != std::errc()) {
      return Fail("malformed number");
    }
    p_ = parsed.ptr;
    if (p_ < end_ && *p_ == '#') {
      const char* word = ++p_;
      while (p_ < end_ && ((*p_ >= 'A' && *p_ <= 'Z') || (*p_ >= 'a' && *p_ <= 'z'))) ++p_;
      bool infinite = p_ - word >= 3 && (std::strncmp(word, "INF", 3) == 0 || std::strncmp(word, "inf", 3) == 0);
      real = infinite ? (negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity())
                      : std::numeric_limits<double>::quiet_NaN();
    }
    return true;
  }

  bool ParseScalar(FbxRecord& record) {
    char c = *p_;
    if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      bool isInteger;
      int64_t integer;
      double real;
      if (!ReadNumber(isInteger, integer, real)) return false;
      if (isInteger)
        record.values.push_back(FbxValue::MakeInt(
            integer, integer >= INT32_MIN && integer <= INT32_MAX ? FbxValue::Int32 : FbxValue::Int64));
      else
        record.values.push_back(FbxValue::MakeDouble(real));
      return true;
    }
    const char* start = p_;
    while (p_ < end_ && IsNameChar(*p_)) ++p_;
    if (p_ == start)
      return Fail("unexpected character '" + PrintableText({p_, 1}) + "' in the values of '" +
                  PrintableText(record.name) + "'");
    FbxValue value = FbxValue::MakeString(std::string_view(start, static_cast<size_t>(p_ - start)));
    value.type = FbxValue::Symbol;
    record.values.push_back(std::move(value));
    return true;
  }

  // "*N { a: v,v,... }": integers while they last, doubles from the first fraction on.
  bool ParseArray(FbxRecord& record) {
    const char* start = p_++;
    bool isInteger;
    int64_t declared;
    double unused;
    if (!ReadNumber(isInteger, declared, unused) || !isInteger || declared < 0)
      return Fail("array of '" + PrintableText(record.name) + "' has no valid length after '*'");
    SkipSpace();
    if (p_ == end_ || *p_ != '{') return Fail("array of '" + PrintableText(record.name) + "' does not open with '{'");
    ++p_;
    SkipSpace();
    if (p_ + 1 < end_ && *p_ == 'a' && p_[1] == ':') p_ += 2;
    if (!options_.unexposedArrays && IsUnexposedArray(record.name)) {
      // Nothing in the scene reads it; numbers hold no '}', so its end is the next one.
      const void* close = std::memchr(p_, '}', static_cast<size_t>(end_ - p_));
      if (!close) return Fail("end of file inside the array of '" + PrintableText(record.name) + "'");
      p_ = static_cast<const char*>(close) + 1;
      return true;
    }

    // Every value takes at least two bytes ("0,"), so this bounds the reservation.
    size_t room = static_cast<size_t>(end_ - p_) / 2 + 1;
    size_t expected = std::min(static_cast<size_t>(declared), room);
    FbxValue value = FbxValue::MakeInts({});
    if (ParseLongArray(static_cast<size_t>(declared), value)) {
      record.values.push_back(std::move(value));
      return true;
    }
    value.Ints().reserve(expected);
    ListEnd listEnd = ParseNumbers(value, expected);
    if (listEnd == ListEnd::BadNumber) return false;
    if (listEnd == ListEnd::EndOfInput)
      return Fail("end of file inside the array of '" + PrintableText(record.name) + "'");
    if (value.ArraySize() != static_cast<size_t>(declared))
      return FailAt("array of '" + PrintableText(record.name) + "' declares " + std::to_string(declared) +
                        " values but holds " + std::to_string(value.ArraySize()),
                    start);
    record.values.push_back(std::move(value));
    return true;
  }

  enum class ListEnd { Closed, EndOfInput, BadNumber };

  // Reads an array's numbers up to and past its closing '}', or to the end of the input.
  ListEnd ParseNumbers(FbxValue& value, size_t expected) {
    for (;;) {
      SkipSpace();
      if (p_ == end_) return ListEnd::EndOfInput;
      if (*p_ == '}') {
        ++p_;
        return ListEnd::Closed;
      }
      if (*p_ == ',') {
        ++p_;
        continue;
      }
      bool isInteger;
      int64_t integer;
      double real;
      if (!ReadNumber(isInteger, integer, real)) return ListEnd::BadNumber;
      AppendNumber(value, isInteger, integer, real, expected);
    }
  }

  // Parses the numbers of this piece into out, which has room for exactly count of them. False
  // when the piece holds another number of values or, for integers, one that is not an int32.
  template <class T>
  bool ParseInto(T* out, size_t count) {
    size_t n = 0;
    for (;;) {
      SkipSpace();
      if (p_ == end_) return n == count;
      if (*p_ == ',') {
        ++p_;
        continue;
      }
      bool isInteger;
      int64_t integer;
      double real;
      if (n == count || !ReadNumber(isInteger, integer, real)) return false;
      if constexpr (std::is_same_v<T, int32_t>) {
        if (!isInteger || integer < INT32_MIN || integer > INT32_MAX) return false;
        out[n++] = static_cast<int32_t>(integer);
      } else {
        out[n++] = isInteger ? static_cast<double>(integer) : real;
      }
    }
  }

  // A long array is parsed on every core, in pieces split at commas, once its closing '}' is
  // found (numbers hold none): each piece's commas place its values in the array, which is
  // allocated once, as integers until a value that is not one makes all of it doubles, as one
  // pass would. False, leaving the position, when the array is short or anything in it is not
  // plain numbers of the declared count: the one-pass parse then reads it and names the fault.
  bool ParseLongArray(size_t declared, FbxValue& value) {
    constexpr size_t kLongArrayBytes = size_t(1) << 20;
    if (static_cast<size_t>(end_ - p_) < kLongArrayBytes) return false;
    const void* found = std::memchr(p_, '}', static_cast<size_t>(end_ - p_));
    if (!found) return false;
    const char* close = static_cast<const char*>(found);
    size_t bytes = static_cast<size_t>(close - p_);
    size_t pieces = std::min<size_t>(WorkerThreads(), bytes / (kLongArrayBytes / 2));
    // Comments may hold any character; arrays with them are left to the one-pass parse.
    if (pieces < 2 || std::memchr(p_, ';', bytes)) return false;
    std::vector<const char*> bounds{p_};
    for (size_t i = 1; i < pieces; ++i) {
      const char* from = std::max(bounds.back(), p_ + bytes * i / pieces);
      const void* comma = std::memchr(from, ',', static_cast<size_t>(close - from));
      if (!comma) break;
      bounds.push_back(static_cast<const char*>(comma) + 1);
    }
    bounds.push_back(close);
    const size_t parts = bounds.size() - 1;
    // Every value but the last is followed by its comma.
    std::vector<size_t> first(parts + 1, 0);
    RunTasks(parts, [&](size_t i) { first[i + 1] = static_cast<size_t>(std::count(bounds[i], bounds[i + 1], ',')); });
    first[parts] += 1;
    for (size_t i = 0; i < parts; ++i) first[i + 1] += first[i];
    if (first[parts] != declared) return false;
    auto parseAll = [&](auto* out) {
      std::vector<char> sound(parts, 0);
      RunTasks(parts, [&](size_t i) {
        std::string error;
        AsciiParser piece(begin_, bounds[i], bounds[i + 1], error, options_);
        sound[i] = piece.ParseInto(out + first[i], first[i + 1] - first[i]);
      });
      return std::find(sound.begin(), sound.end(), 0) == sound.end();
    };
    value.Ints().resize(declared);
    if (!parseAll(value.Ints().data())) {
      FreeVector(value.Ints());
      value.type = FbxValue::DoubleArray;
      value.Doubles().resize(declared);
      if (!parseAll(value.Doubles().data())) {
        value = FbxValue::MakeInts({});
        return false;
      }
    }
    p_ = close + 1;
    return true;
  }

  // Hands the entry just read to the scene.
  bool HandOver(std::string_view section, FbxRecord& parent) {
    if (!options_.takeRecord) return true;
    bool taken = false;
    if (!options_.takeRecord(section, parent.children.back(), taken)) return false;
    if (taken) records_.RecycleLast(parent);
    return true;
  }

  const char* begin_;
  const char* p_;
  const char* end_;
  std::string& error_;
  const ReadOptions& options_;
  RecordPool records_;
  HandedSections handed_;
};

}  // namespace

int AsciiVersion(const char* data, size_t size) {
  std::string_view text(data, std::min(size, size_t(1) << 20));
  size_t at = text.find("FBXVersion:");
  if (at != std::string_view::npos) {
    int version = 0;
    const char* p = data + at + 11;
    while (p < data + text.size() && (*p == ' ' || *p == '\t')) ++p;
    auto parsed = std::from_chars(p, data + text.size(), version);
    if (parsed.ec == std::errc()) return version;
  }
  // Files without the header record still name their version in the first comment.
  at = text.find("; FBX ");
  if (at != std::string_view::npos && at < 256) {
    int major = 0, minor = 0, revision = 0;
    const char* p = data + at + 6;
    const char* end = data + text.size();
    auto a = std::from_chars(p, end, major);
    if (a.ec == std::errc() && a.ptr < end && *a.ptr == '.') {
      auto b = std::from_chars(a.ptr + 1, end, minor);
      if (b.ec == std::errc() && b.ptr < end && *b.ptr == '.') std::from_chars(b.ptr + 1, end, revision);
      if (major > 0 && major < 100 && minor >= 0 && minor < 10 && revision >= 0 && revision < 100)
        return major * 1000 + minor * 100 + revision;
    }
  }
  return 0;
}

bool ParseAsciiRecords(const char* data, size_t size, FbxRecord& root, std::string& error, const ReadOptions& options) {
  AsciiParser parser(data, size, error, options);
  return parser.ParseTop(root);
}

}  // namespace fbxsdk::io
