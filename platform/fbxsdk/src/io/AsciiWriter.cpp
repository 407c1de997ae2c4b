#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "FileVersion.h"
#include "ParallelTasks.h"
#include "RecordWriters.h"

namespace fbxsdk::io {

namespace {

// Numbers as this encoding spells them, appended to text.
void AppendInteger(std::string& text, int64_t v) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, v);
  text.append(digits, result.ptr);
}

// Most values in meshes are short decimals (0.25, 0.001): when v is exactly what a
// reader makes of some integer r divided by 10^k, print r with k decimals, which is
// much cheaper than the general shortest form. Returns null when no small k fits.
char* ShortDecimal(double v, char* out) {
  static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
  double magnitude = std::fabs(v);
  if (!(magnitude < 1e8) || (magnitude != 0.0 && magnitude < 1e-7)) return nullptr;
  for (int k = 0; k < 8; ++k) {
    double scaled = magnitude * kPowers[k];
    double rounded = std::nearbyint(scaled);
    // Both are exact integers below 2^53, so the division is correctly rounded like a parse.
    if (rounded / kPowers[k] != magnitude) continue;
    auto digits = static_cast<uint64_t>(rounded);
    char reversed[24];
    int n = 0;
    do {
      reversed[n++] = static_cast<char>('0' + digits % 10);
      digits /= 10;
    } while (digits);
    while (n <= k) reversed[n++] = '0';  // at least one digit before the point
    char* p = out;
    if (v < 0.0) *p++ = '-';
    for (int i = n - 1; i >= 0; --i) {
      *p++ = reversed[i];
      if (i == k && k > 0) *p++ = '.';
    }
    return p;
  }
  return nullptr;
}

void AppendReal(std::string& text, double v) {
  if (!std::isfinite(v)) {
    // The spelling other exporters use, which readers of this encoding accept.
    text.append(std::isnan(v) ? "1.#QNAN" : v > 0 ? "1.#INF" : "-1.#INF");
    return;
  }
  char digits[32];
  char* end = ShortDecimal(v, digits);
  if (!end) end = std::to_chars(digits, digits + sizeof digits, v).ptr;
  text.append(digits, end);
}

void AppendNumber(std::string& text, int32_t v) { AppendInteger(text, v); }
void AppendNumber(std::string& text, int64_t v) { AppendInteger(text, v); }
void AppendNumber(std::string& text, float v) { AppendReal(text, v); }
void AppendNumber(std::string& text, double v) { AppendReal(text, v); }

// Values first to last of an array, each after a comma but the array's very first.
template <class T>
void AppendValues(std::string& text, std::span<const T> values, size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) {
    if (i) text.push_back(',');
    AppendNumber(text, values[i]);
  }
}

// Collects text and hands it to the file in large pieces.
class TextSink {
public:
  explicit TextSink(OutputFile& out) : out_(out) { buffer_.reserve(kChunk + 256); }
  ~TextSink() = default;

  void Put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kChunk) Flush();
  }
  void Put(char c) { buffer_.push_back(c); }
  void FlushWhenFull() {
    if (buffer_.size() >= kChunk) Flush();
  }
  void Indent(int depth) { buffer_.append(static_cast<size_t>(depth), '\t'); }
  void Integer(int64_t v) { AppendInteger(buffer_, v); }
  void Real(double v) { AppendReal(buffer_, v); }
  std::string& Text() { return buffer_; }

  void Quoted(std::string_view text) {
    buffer_.push_back('"');
    for (char c : text) {
      if (c == '"')
        buffer_.append("&quot;");
      else
        buffer_.push_back(c);
    }
    buffer_.push_back('"');
  }

  bool Flush() {
    bool ok = out_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

private:
  static constexpr size_t kChunk = size_t(1) << 20;
  OutputFile& out_;
  std::string buffer_;
};

// Formats an array's values in blocks. A long array's blocks are formatted a round at a time,
// one block per thread, and handed to the file in order: the text is the same as one thread's.
class ArrayText {
public:
  ArrayText(TextSink& sink, const AsciiWriteOptions& options)
      : sink_(sink),
        block_(std::max<size_t>(options.blockValues, 1)),
        threads_(options.threads ? std::min(options.threads, 8u) : WorkerThreads()) {}

  template <class T>
  void Write(std::span<const T> values) {
    if (threads_ < 2 || values.size() <= block_) {
      for (size_t first = 0; first < values.size(); first += block_) {
        AppendValues(sink_.Text(), values, first, std::min(values.size(), first + block_));
        sink_.FlushWhenFull();  // long arrays must not pile up in memory
      }
      return;
    }
    pieces_.resize(threads_);
    for (size_t round = 0; round < values.size(); round += block_ * threads_) {
      size_t blocks = std::min<size_t>(threads_, (values.size() - round + block_ - 1) / block_);
      RunTasks(blocks, [&](size_t b) {
        size_t first = round + b * block_;
        pieces_[b].clear();
        AppendValues(pieces_[b], values, first, std::min(values.size(), first + block_));
      });
      for (size_t b = 0; b < blocks; ++b) sink_.Put(pieces_[b]);
    }
  }

private:
  TextSink& sink_;
  size_t block_;
  unsigned threads_;
  std::vector<std::string> pieces_;  // one block's text per thread, kept for the next round
};

template <class T>
void WriteArray(TextSink& sink, std::span<const T> items, int depth, ArrayText& text) {
  sink.Put('*');
  sink.Integer(static_cast<int64_t>(items.size()));
  sink.Put(" {\n");
  sink.Indent(depth + 1);
  sink.Put("a: ");
  text.Write(items);
  sink.Put('\n');
  sink.Indent(depth);
  sink.Put('}');
}

void WriteValue(TextSink& sink, const FbxValue& value, int depth, ArrayText& text) {
  switch (value.type) {
    case FbxValue::Bool:
    case FbxValue::Int16:
    case FbxValue::Int32:
    case FbxValue::Int64: sink.Integer(value.integer); break;
    case FbxValue::Float:
    case FbxValue::Double: sink.Real(value.real); break;
    case FbxValue::String:
    case FbxValue::Raw: sink.Quoted(value.text); break;
    case FbxValue::Symbol: sink.Put(value.text); break;
    case FbxValue::BoolArray:
    case FbxValue::Int32Array: WriteArray<int32_t>(sink, value.IntData(), depth, text); break;
    case FbxValue::Int64Array: WriteArray<int64_t>(sink, value.Longs(), depth, text); break;
    case FbxValue::FloatArray: WriteArray<float>(sink, value.Floats(), depth, text); break;
    case FbxValue::DoubleArray: WriteArray<double>(sink, value.DoubleData(), depth, text); break;
  }
}

// Writes records as they are emitted: "Name: value, value" and, for a record with nested records
// or without values, a block of them.
class RecordText : public RecordSink {
public:
  RecordText(TextSink& sink, ArrayText& text) : sink_(sink), text_(text) {}

  void Begin(std::string_view name) override {
    if (!open_.empty()) OpenBlock(open_.back());
    int depth = static_cast<int>(open_.size());
    sink_.Indent(depth);
    sink_.Put(name);
    sink_.Put(':');
    open_.push_back({});
  }
  void End() override {
    Open record = open_.back();
    // A record without values is a block, even when empty.
    if (record.values == 0) OpenBlock(record);
    open_.pop_back();
    if (record.block) {
      sink_.Indent(static_cast<int>(open_.size()));
      sink_.Put('}');
    }
    sink_.Put('\n');
    if (open_.empty()) sink_.Put('\n');  // a blank line after each top-level record
  }
  void Add(const FbxValue& value) override {
    Separate();
    WriteValue(sink_, value, static_cast<int>(open_.size()) - 1, text_);
  }
  void AddInt(int64_t value, FbxValue::Type) override {
    Separate();
    sink_.Integer(value);
  }
  void AddReal(double value) override {
    Separate();
    sink_.Real(value);
  }
  void AddText(std::string_view text) override {
    Separate();
    sink_.Quoted(text);
  }

private:
  struct Open {
    size_t values = 0;
    bool block = false;
  };

  void Separate() { sink_.Put(open_.back().values++ ? ", " : " "); }
  void OpenBlock(Open& record) {
    if (record.block) return;
    record.block = true;
    sink_.Put(" {\n");
  }

  TextSink& sink_;
  ArrayText& text_;
  std::vector<Open> open_;
};

}  // namespace

bool WriteAsciiRecords(const RecordSource& records, int version, OutputFile& out, const AsciiWriteOptions& options) {
  TextSink sink(out);
  ArrayText text(sink, options);
  VersionParts parts = SplitVersion(version);
  sink.Put("; FBX ");
  sink.Integer(parts.major);
  sink.Put('.');
  sink.Integer(parts.minor);
  sink.Put('.');
  sink.Integer(parts.revision);
  sink.Put(" project file\n; ----------------------------------------------------\n\n");
  RecordText stream(sink, text);
  records(stream);
  return sink.Flush();
}

}  // namespace fbxsdk::io
