#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "BinaryFormat.h"
#include "RecordSink.h"
#include "RecordWriters.h"

namespace fbxsdk::io {

namespace {

// Arrays shorter than this are stored as they are.
constexpr size_t kSmallestCompressedArray = 128;

// zlib streams of whole arrays, made with libdeflate; one compressor and buffer serve every array.
class Deflater {
public:
  Deflater() = default;
  ~Deflater() {
    if (compressor_) libdeflate_free_compressor(compressor_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  std::span<const uint8_t> Zlib(const void* data, size_t size) {
    if (!compressor_) compressor_ = libdeflate_alloc_compressor(kLevel);
    if (!compressor_) throw std::bad_alloc();
    buffer_.resize(libdeflate_zlib_compress_bound(compressor_, size));
    size_t packed = libdeflate_zlib_compress(compressor_, data, size, buffer_.data(), buffer_.size());
    if (packed == 0) throw std::runtime_error("an array could not be compressed");
    return {buffer_.data(), packed};
  }

private:
  // The fast end, as exporters use: arrays are read far more often than written.
  static constexpr int kLevel = 1;
  libdeflate_compressor* compressor_ = nullptr;
  std::vector<uint8_t> buffer_;
};

// Sizes of the values as the file stores them; compressed arrays are sized by packing them.
constexpr uint64_t IntSize(FbxValue::Type type) { return type == FbxValue::Int64 ? 9 : 5; }
constexpr uint64_t kRealSize = 9;
uint64_t TextSize(std::string_view text) { return 5 + text.size(); }

// What each record takes in the file, worked out before any of it is written: a record's header
// holds its end offset, and knowing it up front lets the file stream out. The records are
// measured as they are emitted the first time round. Only records that hold records or arrays
// are kept (about one in ten); the writer works out the others, small lists of plain values, as
// it meets them. Compressed arrays are packed here, once, and kept until written.
class RecordPlan : public RecordSink {
public:
  RecordPlan(bool wide, bool compress) : wide_(wide), compress_(compress) {}

  struct Extent {
    uint64_t order = 0;       // the record's place among all records, in the order they begin
    uint64_t size = 0;        // the whole record, nested records included
    uint64_t listLength = 0;  // its values
    uint32_t valueCount = 0;
    bool endsWithNullRecord = false;
  };

  void Begin(std::string_view name) override {
    if (!open_.empty()) open_.back().hasChildren = true;
    Open record;
    record.extent.order = planned_.size();
    record.size = HeaderSize() + std::min<size_t>(name.size(), 255);
    open_.push_back(record);
    planned_.push_back(false);
  }
  void End() override {
    Open record = open_.back();
    open_.pop_back();
    Extent& extent = record.extent;
    extent.size = record.size + extent.listLength;
    // Children end with a null record; so does a record with neither values nor children.
    extent.endsWithNullRecord = record.hasChildren || extent.valueCount == 0;
    if (extent.endsWithNullRecord) extent.size += record.childrenSize + HeaderSize();
    if (!open_.empty()) open_.back().childrenSize += extent.size;
    if (record.hasChildren || record.hasArray) {
      planned_[extent.order] = true;
      extents_.push_back(extent);
    }
  }
  void Add(const FbxValue& value) override {
    if (value.IsArray()) open_.back().hasArray = true;
    Count(ValueSize(value));
  }
  void AddInt(int64_t, FbxValue::Type type) override { Count(IntSize(type)); }
  void AddReal(double) override { Count(kRealSize); }
  void AddText(std::string_view text) override { Count(TextSize(text)); }

  // Puts the kept records in the order the writer meets their headers; they end the other way.
  void Finish() {
    std::sort(extents_.begin(), extents_.end(), [](const Extent& a, const Extent& b) { return a.order < b.order; });
  }

  size_t HeaderSize() const { return 3 * WordSize() + 1; }
  size_t WordSize() const { return wide_ ? 8 : 4; }
  bool Wide() const { return wide_; }
  // Whether the next record to begin was kept; then NextExtent gives it. The records are
  // emitted twice, and must be the same both times.
  bool NextIsKept() {
    if (nextRecord_ >= planned_.size()) throw std::logic_error("more records written than measured");
    return planned_[nextRecord_++];
  }
  Extent NextExtent() {
    if (nextExtent_ >= extents_.size()) throw std::logic_error("more records written than measured");
    return extents_[nextExtent_++];
  }
  // Small arrays gain nothing from compressing; other exporters store them plainly too.
  bool Compresses(size_t bytes) const { return compress_ && bytes >= kSmallestCompressedArray; }
  // The packed bytes of the next compressed array, handed over to be written and freed.
  std::vector<uint8_t> TakePacked() {
    if (nextPacked_ >= packed_.size()) throw std::logic_error("more arrays written than measured");
    return std::move(packed_[nextPacked_++]);
  }

private:
  struct Open {
    Extent extent;
    uint64_t size = 0;  // header and name
    uint64_t childrenSize = 0;
    bool hasChildren = false;
    bool hasArray = false;
  };

  void Count(uint64_t bytes) {
    Extent& extent = open_.back().extent;
    extent.listLength += bytes;
    ++extent.valueCount;
  }

  template <class T>
  uint64_t ArraySize(std::span<const T> items) {
    size_t bytes = items.size() * sizeof(T);
    if (!Compresses(bytes)) return 13 + bytes;
    std::span<const uint8_t> packed = deflater_.Zlib(items.data(), bytes);
    packed_.emplace_back(packed.begin(), packed.end());
    return 13 + packed.size();
  }

  uint64_t ValueSize(const FbxValue& value) {
    switch (value.type) {
      case FbxValue::Bool: return 2;
      case FbxValue::Int16: return 3;
      case FbxValue::Int32:
      case FbxValue::Float: return 5;
      case FbxValue::Int64:
      case FbxValue::Double: return 9;
      case FbxValue::String:
      case FbxValue::Symbol:
      case FbxValue::Raw: return TextSize(value.text);
      case FbxValue::BoolArray: {
        std::span<const int32_t> ints = value.IntData();
        std::vector<uint8_t> flags(ints.begin(), ints.end());
        return ArraySize<uint8_t>(flags);
      }
      case FbxValue::Int32Array: return ArraySize<int32_t>(value.IntData());
      case FbxValue::Int64Array: return ArraySize<int64_t>(value.Longs());
      case FbxValue::FloatArray: return ArraySize<float>(value.Floats());
      case FbxValue::DoubleArray: return ArraySize<double>(value.DoubleData());
    }
    return 0;
  }

  bool wide_;
  bool compress_;
  Deflater deflater_;
  std::vector<bool> planned_;    // for each record in the order they begin: whether it is kept
  std::vector<Extent> extents_;  // of the records kept
  std::vector<Open> open_;
  size_t nextRecord_ = 0;
  size_t nextExtent_ = 0;
  std::vector<std::vector<uint8_t>> packed_;
  size_t nextPacked_ = 0;
};

// Streams the file's bytes out, counting them for the offsets.
// Without a file, the bytes are kept in memory until taken.
class ByteSink {
public:
  ByteSink(OutputFile* out, RecordPlan& plan) : out_(out), plan_(plan) {}

  uint64_t Size() const { return size_; }
  bool Ok() const { return ok_; }
  RecordPlan& Plan() { return plan_; }
  void Bytes(const void* data, size_t size) {
    if (out_)
      ok_ = ok_ && out_->Write(data, size);
    else
      kept_.append(static_cast<const char*>(data), size);
    size_ += size;
  }
  // The bytes kept in memory, which the sink then forgets.
  const std::string& Kept() const { return kept_; }
  void Clear() {
    kept_.clear();
    size_ = 0;
  }
  void U8(uint8_t v) { Bytes(&v, 1); }
  void U32(uint32_t v) { Bytes(&v, 4); }  // the encoding is little-endian, as is this machine
  void U64(uint64_t v) { Bytes(&v, 8); }
  void Word(uint64_t v) { plan_.Wide() ? U64(v) : U32(static_cast<uint32_t>(v)); }
  void Zeros(size_t n) {
    static const uint8_t kZeros[128] = {};
    for (size_t step; n > 0; n -= step) {
      step = std::min(n, sizeof kZeros);
      Bytes(kZeros, step);
    }
  }

private:
  OutputFile* out_;
  RecordPlan& plan_;
  std::string kept_;
  uint64_t size_ = 0;
  bool ok_ = true;
};

template <class T>
void WriteArray(ByteSink& sink, char type, std::span<const T> items) {
  size_t bytes = items.size() * sizeof(T);
  sink.U8(static_cast<uint8_t>(type));
  sink.U32(static_cast<uint32_t>(items.size()));
  if (sink.Plan().Compresses(bytes)) {
    std::vector<uint8_t> packed = sink.Plan().TakePacked();
    sink.U32(1);
    sink.U32(static_cast<uint32_t>(packed.size()));
    sink.Bytes(packed.data(), packed.size());
    return;
  }
  sink.U32(0);
  sink.U32(static_cast<uint32_t>(bytes));
  sink.Bytes(items.data(), bytes);
}

void WriteInt(ByteSink& sink, int64_t v, FbxValue::Type type) {
  if (type == FbxValue::Int64) {
    sink.U8('L');
    sink.U64(static_cast<uint64_t>(v));
  } else {
    sink.U8('I');
    sink.U32(static_cast<uint32_t>(static_cast<int32_t>(v)));
  }
}

void WriteReal(ByteSink& sink, double v) {
  sink.U8('D');
  sink.Bytes(&v, 8);
}

void WriteText(ByteSink& sink, std::string_view text, char type = 'S') {
  sink.U8(static_cast<uint8_t>(type));
  sink.U32(static_cast<uint32_t>(text.size()));
  sink.Bytes(text.data(), text.size());
}

void WriteValue(ByteSink& sink, const FbxValue& value) {
  switch (value.type) {
    case FbxValue::Bool:
      sink.U8('C');
      sink.U8(value.integer ? 1 : 0);
      break;
    case FbxValue::Int16: {
      sink.U8('Y');
      int16_t v = static_cast<int16_t>(value.integer);
      sink.Bytes(&v, 2);
      break;
    }
    case FbxValue::Int32:
    case FbxValue::Int64: WriteInt(sink, value.integer, value.type); break;
    case FbxValue::Float: {
      sink.U8('F');
      float f = static_cast<float>(value.real);
      sink.Bytes(&f, 4);
      break;
    }
    case FbxValue::Double: WriteReal(sink, value.real); break;
    case FbxValue::String:
    case FbxValue::Symbol:
    case FbxValue::Raw: WriteText(sink, value.text, value.type == FbxValue::Raw ? 'R' : 'S'); break;
    case FbxValue::BoolArray: {
      std::span<const int32_t> ints = value.IntData();
      std::vector<uint8_t> flags(ints.begin(), ints.end());
      WriteArray<uint8_t>(sink, 'b', flags);
      break;
    }
    case FbxValue::Int32Array: WriteArray<int32_t>(sink, 'i', value.IntData()); break;
    case FbxValue::Int64Array: WriteArray<int64_t>(sink, 'l', value.Longs()); break;
    case FbxValue::FloatArray: WriteArray<float>(sink, 'f', value.Floats()); break;
    case FbxValue::DoubleArray: WriteArray<double>(sink, 'd', value.DoubleData()); break;
  }
}

void WriteNullRecord(ByteSink& sink) { sink.Zeros(sink.Plan().HeaderSize()); }

// Writes the records as they are emitted the second time: a kept record's header from the plan,
// another's once its values are in (it holds no records, so only one is ever open).
class RecordStream : public RecordSink {
public:
  explicit RecordStream(ByteSink& sink) : sink_(sink), values_(nullptr, sink.Plan()) {}

  void Begin(std::string_view name) override {
    std::string_view shortName = name.substr(0, 255);
    if (!sink_.Plan().NextIsKept()) {
      leafName_.assign(shortName);
      leafValueCount_ = 0;
      values_.Clear();
      inLeaf_ = true;
      return;
    }
    RecordPlan::Extent extent = sink_.Plan().NextExtent();
    WriteHeader(sink_.Size() + extent.size, extent.valueCount, extent.listLength, shortName);
    endsWithNullRecord_.push_back(extent.endsWithNullRecord);
  }
  void End() override {
    if (inLeaf_) {
      inLeaf_ = false;
      uint64_t listLength = values_.Kept().size();
      // A record with neither values nor children ends with a null record.
      uint64_t size = sink_.Plan().HeaderSize() + leafName_.size() + listLength +
                      (leafValueCount_ == 0 ? sink_.Plan().HeaderSize() : 0);
      WriteHeader(sink_.Size() + size, leafValueCount_, listLength, leafName_);
      sink_.Bytes(values_.Kept().data(), values_.Kept().size());
      if (leafValueCount_ == 0) WriteNullRecord(sink_);
      return;
    }
    if (endsWithNullRecord_.back()) WriteNullRecord(sink_);
    endsWithNullRecord_.pop_back();
  }
  void Add(const FbxValue& value) override { WriteValue(Values(), value); }
  void AddInt(int64_t value, FbxValue::Type type) override { WriteInt(Values(), value, type); }
  void AddReal(double value) override { WriteReal(Values(), value); }
  void AddText(std::string_view text) override { WriteText(Values(), text); }

private:
  void WriteHeader(uint64_t end, uint64_t valueCount, uint64_t listLength, std::string_view name) {
    sink_.Word(end);
    sink_.Word(valueCount);
    sink_.Word(listLength);
    sink_.U8(static_cast<uint8_t>(name.size()));
    sink_.Bytes(name.data(), name.size());
  }
  ByteSink& Values() {
    if (!inLeaf_) return sink_;
    ++leafValueCount_;
    return values_;
  }

  ByteSink& sink_;
  std::vector<bool> endsWithNullRecord_;  // of the kept records open
  // The record being gathered, one that holds no records.
  bool inLeaf_ = false;
  std::string leafName_;
  uint64_t leafValueCount_ = 0;
  ByteSink values_;
};

}  // namespace

bool WriteBinaryRecords(const RecordSource& records, int version, OutputFile& out, bool compressArrays) {
  RecordPlan plan(version >= kFirstWideRecordVersion, compressArrays);
  records(plan);
  plan.Finish();
  ByteSink sink(&out, plan);
  sink.Bytes(kBinaryMagic, kBinaryMagicSize);
  sink.U8(0x1A);
  sink.U8(0);  // little-endian
  sink.U32(static_cast<uint32_t>(version));
  RecordStream stream(sink);
  records(stream);
  WriteNullRecord(sink);
  // Footer: a 16-byte tag, padding to a 16-byte boundary, the version, reserved zeros and a fixed tail.
  static const uint8_t kFooterTag[16] = {0xfa, 0xbc, 0xab, 0x09, 0xd0, 0xc8, 0xd4, 0x66,
                                         0xb1, 0x76, 0xfb, 0x83, 0x1c, 0xf7, 0x26, 0x7e};
  static const uint8_t kFooterTail[16] = {0xf8, 0x5a, 0x8c, 0x6a, 0xde, 0xf5, 0xd9, 0x7e,
                                          0xec, 0xe9, 0x0c, 0xe3, 0x75, 0x8f, 0x29, 0x0b};
  sink.Bytes(kFooterTag, sizeof kFooterTag);
  sink.Zeros(4);
  size_t padding = (16 - sink.Size() % 16) % 16;
  sink.Zeros(padding);
  sink.U32(static_cast<uint32_t>(version));
  sink.Zeros(120);
  sink.Bytes(kFooterTail, sizeof kFooterTail);
  return sink.Ok();
}

}  // namespace fbxsdk::io
