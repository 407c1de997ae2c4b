#include <libdeflate.h>

#include <cstring>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
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

// Writes the records straight to the file as they are emitted, in one pass. A record's header
// holds its end offset, its value count and the length of its values, none of them known when it
// begins: it is written as zeros and filled in when the record ends. Only the headers of the
// records still open wait so; everything else streams out.
class RecordStream : public RecordSink {
public:
  RecordStream(OutputFile& out, bool wide, bool compress) : out_(out), wide_(wide), compress_(compress) {}

  void Begin(std::string_view name) override {
    // A record's values end where its first child begins.
    if (!open_.empty() && !open_.back().hasChildren) {
      open_.back().hasChildren = true;
      open_.back().valuesEnd = out_.Size();
    }
    std::string_view shortName = name.substr(0, 255);
    Open record;
    record.header = out_.Size();
    static const uint8_t kZeros[3 * 8] = {};
    Bytes(kZeros, 3 * WordSize());
    U8(static_cast<uint8_t>(shortName.size()));
    Bytes(shortName.data(), shortName.size());
    record.values = out_.Size();
    open_.push_back(record);
  }
  void End() override {
    Open record = open_.back();
    open_.pop_back();
    const uint64_t valuesEnd = record.hasChildren ? record.valuesEnd : out_.Size();
    // Children end with a null record; so does a record with neither values nor children.
    if (record.hasChildren || record.valueCount == 0) NullRecord();
    uint8_t header[3 * 8];
    size_t width = WordSize();
    PutWord(header, out_.Size());
    PutWord(header + width, record.valueCount);
    PutWord(header + 2 * width, valuesEnd - record.values);
    out_.WriteAt(record.header, header, 3 * width);
  }
  void Add(const FbxValue& value) override {
    Counted();
    switch (value.type) {
      case FbxValue::Bool:
        U8('C');
        U8(value.integer ? 1 : 0);
        break;
      case FbxValue::Int16: {
        U8('Y');
        int16_t v = static_cast<int16_t>(value.integer);
        Bytes(&v, 2);
        break;
      }
      case FbxValue::Int32:
      case FbxValue::Int64: Int(value.integer, value.type); break;
      case FbxValue::Float: {
        U8('F');
        float f = static_cast<float>(value.real);
        Bytes(&f, 4);
        break;
      }
      case FbxValue::Double: Real(value.real); break;
      case FbxValue::String:
      case FbxValue::Symbol:
      case FbxValue::Raw: Text(value.text, value.type == FbxValue::Raw ? 'R' : 'S'); break;
      case FbxValue::BoolArray: {
        std::span<const int32_t> ints = value.IntData();
        std::vector<uint8_t> flags(ints.begin(), ints.end());
        Array<uint8_t>('b', flags);
        break;
      }
      case FbxValue::Int32Array: Array<int32_t>('i', value.IntData()); break;
      case FbxValue::Int64Array: Array<int64_t>('l', value.Longs()); break;
      case FbxValue::FloatArray: Array<float>('f', value.Floats()); break;
      case FbxValue::DoubleArray: Array<double>('d', value.DoubleData()); break;
    }
  }
  void AddInt(int64_t value, FbxValue::Type type) override {
    Counted();
    Int(value, type);
  }
  void AddReal(double value) override {
    Counted();
    Real(value);
  }
  void AddText(std::string_view text) override {
    Counted();
    Text(text, 'S');
  }

  void NullRecord() {
    static const uint8_t kZeros[3 * 8 + 1] = {};
    Bytes(kZeros, 3 * WordSize() + 1);
  }
  void Bytes(const void* data, size_t size) { out_.Write(data, size); }
  void U8(uint8_t v) { Bytes(&v, 1); }
  void U32(uint32_t v) { Bytes(&v, 4); }  // the encoding is little-endian, as is this machine
  void U64(uint64_t v) { Bytes(&v, 8); }

private:
  struct Open {
    uint64_t header = 0;     // where its header starts
    uint64_t values = 0;     // where its values start
    uint64_t valuesEnd = 0;  // and end, once its first child has begun
    uint64_t valueCount = 0;
    bool hasChildren = false;
  };

  size_t WordSize() const { return wide_ ? 8 : 4; }
  void PutWord(uint8_t* at, uint64_t v) const {
    if (wide_) {
      std::memcpy(at, &v, 8);
    } else {
      uint32_t narrow = static_cast<uint32_t>(v);
      std::memcpy(at, &narrow, 4);
    }
  }
  void Counted() { ++open_.back().valueCount; }

  void Int(int64_t v, FbxValue::Type type) {
    if (type == FbxValue::Int64) {
      U8('L');
      U64(static_cast<uint64_t>(v));
    } else {
      U8('I');
      U32(static_cast<uint32_t>(static_cast<int32_t>(v)));
    }
  }
  void Real(double v) {
    U8('D');
    Bytes(&v, 8);
  }
  void Text(std::string_view text, char type) {
    U8(static_cast<uint8_t>(type));
    U32(static_cast<uint32_t>(text.size()));
    Bytes(text.data(), text.size());
  }
  // Small arrays gain nothing from compressing; other exporters store them plainly too.
  template <class T>
  void Array(char type, std::span<const T> items) {
    size_t bytes = items.size() * sizeof(T);
    U8(static_cast<uint8_t>(type));
    U32(static_cast<uint32_t>(items.size()));
    if (compress_ && bytes >= kSmallestCompressedArray) {
      std::span<const uint8_t> packed = deflater_.Zlib(items.data(), bytes);
      U32(1);
      U32(static_cast<uint32_t>(packed.size()));
      Bytes(packed.data(), packed.size());
      return;
    }
    U32(0);
    U32(static_cast<uint32_t>(bytes));
    Bytes(items.data(), bytes);
  }

  OutputFile& out_;
  bool wide_;
  bool compress_;
  Deflater deflater_;
  std::vector<Open> open_;
};

}  // namespace

bool WriteBinaryRecords(const RecordSource& records, int version, OutputFile& out, bool compressArrays) {
  RecordStream stream(out, version >= kFirstWideRecordVersion, compressArrays);
  stream.Bytes(kBinaryMagic, kBinaryMagicSize);
  stream.U8(0x1A);
  stream.U8(0);  // little-endian
  stream.U32(static_cast<uint32_t>(version));
  records(stream);
  stream.NullRecord();
  // Footer: a 16-byte tag, padding to a 16-byte boundary, the version, reserved zeros and a fixed tail.
  static const uint8_t kFooterTag[16] = {0xfa, 0xbc, 0xab, 0x09, 0xd0, 0xc8, 0xd4, 0x66,
                                         0xb1, 0x76, 0xfb, 0x83, 0x1c, 0xf7, 0x26, 0x7e};
  static const uint8_t kFooterTail[16] = {0xf8, 0x5a, 0x8c, 0x6a, 0xde, 0xf5, 0xd9, 0x7e,
                                          0xec, 0xe9, 0x0c, 0xe3, 0x75, 0x8f, 0x29, 0x0b};
  static const uint8_t kZeros[120] = {};
  stream.Bytes(kFooterTag, sizeof kFooterTag);
  stream.Bytes(kZeros, 4);
  stream.Bytes(kZeros, (16 - out.Size() % 16) % 16);
  stream.U32(static_cast<uint32_t>(version));
  stream.Bytes(kZeros, 120);
  stream.Bytes(kFooterTail, sizeof kFooterTail);
  return out.Ok();
}

}  // namespace fbxsdk::io
