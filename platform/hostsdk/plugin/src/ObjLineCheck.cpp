#include "ObjLineCheck.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

// A decimal number as the OBJ parser reads it: sign, digits, point, exponent.
// Words like "nan", "inf" or "0x10" it would read as something else.
bool IsDecimal(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == text.size();
}

// A finite decimal; a value too large for a double is not, one too small to tell from zero is.
bool ParseNumber(std::string_view text, double& value) {
  if (!IsDecimal(text)) return false;
  if (text.front() == '+') text.remove_prefix(1);
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Out of range either way: the C library tells overflow from underflow.
    const std::string copy(text);
    errno = 0;
    value = std::strtod(copy.c_str(), nullptr);
    return std::isfinite(value) && !(errno == ERANGE && std::fabs(value) > 1.0);
  }
  return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && std::isfinite(value);
}

// The next line as the OBJ parser splits them: at LF, CR LF or a lone CR.
bool NextLine(std::string_view text, std::size_t& at, std::string_view& line) {
  if (at >= text.size()) return false;
  std::size_t end = text.find_first_of("\r\n", at);
  if (end == std::string_view::npos) end = text.size();
  line = text.substr(at, end - at);
  at = end;
  if (at < text.size() && text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n' && (at == end || text[at - 1] == '\r')) ++at;
  return true;
}

// A whole decimal integer, optionally signed, that fits a long.
bool ParseIndex(std::string_view text, long& value) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
}

// The words of a line, split at blanks as a stream reads them.
class Words {
public:
  explicit Words(std::string_view line) : rest_(line) {}
  bool Next(std::string_view& word) {
    std::size_t start = 0;
    while (start < rest_.size() && IsBlank(rest_[start])) ++start;
    if (start == rest_.size()) return false;
    std::size_t end = start;
    while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
    word = rest_.substr(start, end - start);
    rest_.remove_prefix(end);
    return true;
  }
  std::string_view Rest() const { return rest_; }

private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
  std::string_view rest_;
};

// An index of a face corner: 1..count, or -1..-count counting back.
bool IndexIsValid(long index, long count) { return (index >= 1 && index <= count) || (index < 0 && -index <= count); }

}  // namespace

std::string EchoedText(const std::string& text) {
  constexpr std::size_t kLongest = 200;
  if (text.size() <= kLongest) return text;
  return text.substr(0, kLongest) + "... (" + std::to_string(text.size()) + " characters)";
}

namespace {

class LineChecker {
public:
  explicit LineChecker(std::vector<std::size_t>& faceCorners) : faceCorners_(faceCorners) {}

  bool Check(std::string_view keyword, std::string_view rest, std::string& problem) {
    if (keyword == "v") return CheckNumbers(rest, 3, "a vertex needs three numbers", positions_, problem);
    if (keyword == "vt") return CheckNumbers(rest, 1, "a texture coordinate needs a number", uvs_, problem);
    if (keyword == "vn") return CheckNumbers(rest, 3, "a normal needs three numbers", normals_, problem);
    if (keyword == "f") return CheckFace(rest, problem);
    return true;
  }

private:
  static bool CheckNumbers(std::string_view rest, std::size_t needed, const char* message, long& counted,
                           std::string& problem) {
    std::string_view numbers[3];
    Words words(rest);
    for (std::size_t i = 0; i < needed; ++i) {
      if (!words.Next(numbers[i])) {
        problem = message;
        return false;
      }
    }
    for (std::size_t i = 0; i < needed; ++i) {
      double value = 0;
      if (!ParseNumber(numbers[i], value)) {
        problem = "'" + EchoedText(std::string(numbers[i])) + "' is not a finite decimal number";
        return false;
      }
    }
    ++counted;
    return true;
  }

  // A corner's indices split at '/', as a stream reading up to each '/' splits them: a
  // trailing '/' adds no empty part. False for more than three parts.
  static bool SplitCorner(std::string_view corner, std::string_view (&parts)[3], std::size_t& count) {
    count = 0;
    std::size_t start = 0;
    while (start < corner.size()) {
      std::size_t slash = corner.find('/', start);
      if (slash == std::string_view::npos) slash = corner.size();
      if (count == 3) return false;
      parts[count++] = corner.substr(start, slash - start);
      start = slash + 1;
    }
    return count > 0;
  }

  bool CheckFace(std::string_view rest, std::string& problem) {
    std::size_t cornerCount = 0;
    std::string_view corner;
    for (Words words(rest); words.Next(corner);) ++cornerCount;
    if (cornerCount < 3) {
      problem = "a face needs at least three corners";
      return false;
    }
    const long counts[3] = {positions_, uvs_, normals_};
    const char* names[3] = {"vertex", "texture coordinate", "normal"};
    for (Words words(rest); words.Next(corner);) {
      std::string_view parts[3];
      std::size_t partCount = 0;
      if (!SplitCorner(corner, parts, partCount)) {
        problem = "'" + EchoedText(std::string(corner)) + "' is not a face corner";
        return false;
      }
      for (std::size_t k = 0; k < partCount; ++k) {
        if (k > 0 && parts[k].empty()) continue;
        long index = 0;
        if (!ParseIndex(parts[k], index)) {
          problem = "'" + EchoedText(std::string(corner)) + "' is not a face corner";
          return false;
        }
        if (!IndexIsValid(index, counts[k])) {
          problem = "face corner '" + EchoedText(std::string(corner)) + "' names " + names[k] + " " +
                    std::to_string(index) + " of " + std::to_string(counts[k]);
          return false;
        }
      }
    }
    faceCorners_.push_back(cornerCount);
    return true;
  }

  std::vector<std::size_t>& faceCorners_;
  long positions_ = 0;
  long uvs_ = 0;
  long normals_ = 0;
};

}  // namespace

bool CheckObjLines(const std::string& path, std::string& error, std::vector<std::size_t>& faceCorners) {
  faceCorners.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string text;
  std::vector<char> buffer(std::size_t(1) << 20);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
    text.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  LineChecker checker(faceCorners);
  std::string_view line;
  long lineNumber = 0;
  for (std::size_t at = 0; NextLine(text, at, line);) {
    ++lineNumber;
    Words words(line);
    std::string_view keyword;
    if (!words.Next(keyword) || keyword[0] == '#') continue;
    std::string problem;
    if (!checker.Check(keyword, words.Rest(), problem)) {
      error = path + " line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  return true;
}
