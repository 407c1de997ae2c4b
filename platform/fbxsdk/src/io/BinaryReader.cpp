#include "BinaryReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "BinaryFormat.h"

namespace fbxsdk::io {

namespace {

constexpr int kMaxDepth = 64;
// zlib's deflate cannot shrink data by more than about 1032:1; a larger claim is a lie.
constexpr uint64_t kMaxInflateRatio = 1032;
// Arrays are indexed with int by the scene objects.
constexpr uint64_t kMaxArrayBytes = uint64_t(1) << 31;
// All arrays of a file together may take this much memory beyond 64 times the file's size:
// real files compress their arrays far less, while a hostile one could claim 1032:1 everywhere.
constexpr uint64_t kArrayAllowance = uint64_t(256) << 20;

bool LooksLikeVersion(uint32_t v) { return v >= 2000 && v <= 100000; }

uint32_t Load32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                   : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
}

uint64_t Load64(const uint8_t* p, bool bigEndian) {
  uint64_t lo = Load32(p + (bigEndian ? 4 : 0), bigEndian);
  uint64_t hi = Load32(p + (bigEndian ? 0 : 4), bigEndian);
  return hi << 32 | lo;
}

bool IsBigEndian(const uint8_t* data) {
  uint32_t little = Load32(data + 23, false);
  return data[22] == 1 || (!LooksLikeVersion(little) && LooksLikeVersion(Load32(data + 23, true)));
}

void SwapBytes(uint8_t* p, size_t count, size_t width) {
  if (width < 2) return;
  for (size_t i = 0; i < count; ++i, p += width) std::reverse(p, p + width);
}

class BinaryParser {
public:
  BinaryParser(const uint8_t* data, size_t size, std::string& error, const ReleaseConsumed& release)
      : data_(data),
        size_(size),
        error_(error),
        release_(release),
        arrayBudget_(kArrayAllowance + 64 * uint64_t(size)) {}

  bool Parse(FbxRecord& root) {
    if (!IsBinaryFbx(data_, size_)) return Fail("not a binary FBX header", 0);
    bigEndian_ = IsBigEndian(data_);
    int version = static_cast<int>(Load32(data_ + 23, bigEndian_));
    wide_ = version >= kFirstWideRecordVersion;
    uint64_t offset = kBinaryHeaderSize;
    for (;;) {
      if (size_ - offset < HeaderSize()) return true;  // no null record: the footer is optional
      bool ended = false;
      if (!ParseRecord(offset, size_, root, 0, ended)) return false;
      if (ended) return true;
    }
  }

private:
  size_t HeaderSize() const { return wide_ ? 25 : 13; }

  bool Fail(const std::string& what, uint64_t offset) {
    error_ = what + " at byte " + std::to_string(offset);
    return false;
  }

  uint64_t Word(uint64_t offset) const {
    return wide_ ? Load64(data_ + offset, bigEndian_) : Load32(data_ + offset, bigEndian_);
  }

  // Parses the record at offset within [offset, limit). A null record sets ended.
  bool ParseRecord(uint64_t& offset, uint64_t limit, FbxRecord& parent, int depth, bool& ended) {
    if (depth >= kMaxDepth) return Fail("records nested deeper than " + std::to_string(kMaxDepth) + " levels", offset);
    size_t header = HeaderSize();
    if (limit - offset < header) return Fail("record header cut short", offset);
    size_t width = wide_ ? 8 : 4;
    uint64_t end = Word(offset);
    uint64_t count = Word(offset + width);
    uint64_t listLength = Word(offset + 2 * width);
    uint8_t nameLength = data_[offset + 3 * width];
    if (end == 0 && count == 0 && listLength == 0 && nameLength == 0) {
      offset += header;
      ended = true;
      return true;
    }
    uint64_t start = offset;
    if (end < offset + header || end > limit)
      return Fail("record end offset " + std::to_string(end) + " lies outside its parent", start);
    uint64_t p = offset + header;
    if (end - p < nameLength) return Fail("record name runs past the record's end", start);
    FbxRecord& record = parent.Add(std::string_view(reinterpret_cast<const char*>(data_ + p), nameLength));
    p += nameLength;
    if (end - p < listLength) return Fail("property list of '" + record.name + "' runs past the record's end", start);
    uint64_t listEnd = p + listLength;
    // Every property takes at least two bytes, so the count is bounded by the list's length.
    if (count > listLength / 2)
      return Fail("record '" + record.name + "' claims more properties than its bytes hold", start);
    record.values.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i)
      if (!ParseValue(p, listEnd, record)) return false;
    if (p != listEnd) return Fail("property list of '" + record.name + "' has stray bytes", p);
    while (p < end) {
      bool childEnded = false;
      if (!ParseRecord(p, end, record, depth + 1, childEnded)) return false;
      if (childEnded) break;
    }
    if (p != end) return Fail("record '" + record.name + "' has bytes after its end marker", p);
    offset = end;
    if (release_) release_(static_cast<size_t>(end));  // its values are copied out
    return true;
  }

  bool ParseValue(uint64_t& p, uint64_t limit, FbxRecord& record) {
    if (p >= limit) return Fail("property of '" + record.name + "' cut short", p);
    char type = static_cast<char>(data_[p]);
    uint64_t at = p++;
    auto need = [&](uint64_t n) { return limit - p >= n; };
    FbxValue value;
    switch (type) {
      case 'C':
        if (!need(1)) break;
        value = FbxValue::MakeInt(data_[p] != 0, FbxValue::Bool);
        p += 1;
        record.values.push_back(std::move(value));
        return true;
      case 'Y': {
        if (!need(2)) break;
        uint16_t v = bigEndian_ ? uint16_t(data_[p] << 8 | data_[p + 1]) : uint16_t(data_[p + 1] << 8 | data_[p]);
        record.values.push_back(FbxValue::MakeInt(static_cast<int16_t>(v), FbxValue::Int16));
        p += 2;
        return true;
      }
      case 'I':
        if (!need(4)) break;
        record.values.push_back(
            FbxValue::MakeInt(static_cast<int32_t>(Load32(data_ + p, bigEndian_)), FbxValue::Int32));
        p += 4;
        return true;
      case 'L':
        if (!need(8)) break;
        record.values.push_back(
            FbxValue::MakeInt(static_cast<int64_t>(Load64(data_ + p, bigEndian_)), FbxValue::Int64));
        p += 8;
        return true;
      case 'F': {
        if (!need(4)) break;
        uint32_t bits = Load32(data_ + p, bigEndian_);
        float f;
        std::memcpy(&f, &bits, 4);
        value = FbxValue::MakeDouble(f);
        value.type = FbxValue::Float;
        record.values.push_back(std::move(value));
        p += 4;
        return true;
      }
      case 'D': {
        if (!need(8)) break;
        uint64_t bits = Load64(data_ + p, bigEndian_);
        double d;
        std::memcpy(&d, &bits, 8);
        record.values.push_back(FbxValue::MakeDouble(d));
        p += 8;
        return true;
      }
      case 'S':
      case 'R': {
        if (!need(4)) break;
        uint32_t length = Load32(data_ + p, bigEndian_);
        p += 4;
        if (!need(length)) return Fail("text of " + std::to_string(length) + " bytes runs past the property list", at);
        value = FbxValue::MakeString(std::string_view(reinterpret_cast<const char*>(data_ + p), length));
        if (type == 'R') value.type = FbxValue::Raw;
        record.values.push_back(std::move(value));
        p += length;
        return true;
      }
      case 'b':
      case 'i':
      case 'l':
      case 'f':
      case 'd': return ParseArray(type, at, p, limit, record);
      default:
        return Fail(std::string("unknown property type '") + (type >= 32 && type < 127 ? std::string(1, type) : "?") +
                        "' in '" + record.name + "'",
                    at);
    }
    return Fail("property of '" + record.name + "' cut short", at);
  }

  bool ParseArray(char type, uint64_t at, uint64_t& p, uint64_t limit, FbxRecord& record) {
    if (limit - p < 12) return Fail("array header of '" + record.name + "' cut short", at);
    uint64_t length = Load32(data_ + p, bigEndian_);
    uint32_t encoding = Load32(data_ + p + 4, bigEndian_);
    uint64_t stored = Load32(data_ + p + 8, bigEndian_);
    p += 12;
    if (limit - p < stored) return Fail("array of '" + record.name + "' runs past the property list", at);
    size_t width = type == 'b' ? 1 : (type == 'i' || type == 'f') ? 4 : 8;
    uint64_t bytes = length * width;
    if (encoding == 0) {
      if (stored != bytes)
        return Fail("array of '" + record.name + "' holds " + std::to_string(stored) + " bytes for " +
                        std::to_string(length) + " values",
                    at);
    } else if (encoding == 1) {
      if (bytes > stored * kMaxInflateRatio + 64)
        return Fail("compressed array of '" + record.name + "' claims more values than its data can hold", at);
    } else {
      return Fail("array of '" + record.name + "' has unknown encoding " + std::to_string(encoding), at);
    }
    uint64_t held = type == 'b' ? length * 4 : bytes;  // flags are kept as ints
    if (held > kMaxArrayBytes) return Fail("array of '" + record.name + "' is too large", at);
    if (held > arrayBudget_)
      return Fail("arrays expand to more memory than a file of " + std::to_string(size_) + " bytes can need", at);
    arrayBudget_ -= held;

    FbxValue value;
    uint8_t* target = nullptr;
    std::vector<uint8_t> flags;
    switch (type) {
      case 'b':
        value.type = FbxValue::BoolArray;
        flags.resize(length);
        target = flags.data();
        break;
      case 'i':
        value.type = FbxValue::Int32Array;
        value.ints.resize(length);
        target = reinterpret_cast<uint8_t*>(value.ints.data());
        break;
      case 'l':
        value.type = FbxValue::Int64Array;
        value.longs.resize(length);
        target = reinterpret_cast<uint8_t*>(value.longs.data());
        break;
      case 'f':
        value.type = FbxValue::FloatArray;
        value.floats.resize(length);
        target = reinterpret_cast<uint8_t*>(value.floats.data());
        break;
      default:
        value.type = FbxValue::DoubleArray;
        value.doubles.resize(length);
        target = reinterpret_cast<uint8_t*>(value.doubles.data());
        break;
    }
    if (encoding == 0) {
      if (bytes) std::memcpy(target, data_ + p, bytes);
    } else if (!Inflate(data_ + p, stored, target, bytes)) {
      return Fail(
          "compressed array of '" + record.name + "' does not inflate to its " + std::to_string(length) + " values",
          at);
    }
    p += stored;
    if (bigEndian_) SwapBytes(target, length, width);
    if (type == 'b') value.ints.assign(flags.begin(), flags.end());
    record.values.push_back(std::move(value));
    return true;
  }

  static bool Inflate(const uint8_t* in, uint64_t inSize, uint8_t* out, uint64_t outSize) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    uint8_t spare = 0;
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(inSize);
    stream.next_out = outSize ? out : &spare;
    stream.avail_out = static_cast<uInt>(outSize);
    int result = inflate(&stream, Z_FINISH);
    bool ok = result == Z_STREAM_END && stream.total_out == outSize;
    inflateEnd(&stream);
    return ok;
  }

  const uint8_t* data_;
  uint64_t size_;
  std::string& error_;
  const ReleaseConsumed& release_;
  uint64_t arrayBudget_;
  bool bigEndian_ = false;
  bool wide_ = false;
};

}  // namespace

int BinaryVersion(const uint8_t* data, size_t size) {
  if (!IsBinaryFbx(data, size)) return 0;
  return static_cast<int>(Load32(data + 23, IsBigEndian(data)));
}

bool ParseBinaryRecords(const uint8_t* data, size_t size, FbxRecord& root, std::string& error,
                        const ReleaseConsumed& release) {
  BinaryParser parser(data, size, error, release);
  return parser.Parse(root);
}

}  // namespace fbxsdk::io
