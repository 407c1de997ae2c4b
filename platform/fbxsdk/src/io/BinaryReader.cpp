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
      : mData(data),
        mSize(size),
        mError(error),
        mRelease(release),
        mArrayBudget(kArrayAllowance + 64 * uint64_t(size)) {}

  bool Parse(FbxRecord& root) {
    if (!IsBinaryFbx(mData, mSize)) return Fail("not a binary FBX header", 0);
    mBigEndian = IsBigEndian(mData);
    int version = static_cast<int>(Load32(mData + 23, mBigEndian));
    mWide = version >= kFirstWideRecordVersion;
    uint64_t offset = kBinaryHeaderSize;
    for (;;) {
      if (mSize - offset < HeaderSize()) return true;  // no null record: the footer is optional
      bool ended = false;
      if (!ParseRecord(offset, mSize, root, 0, ended)) return false;
      if (ended) return true;
    }
  }

private:
  size_t HeaderSize() const { return mWide ? 25 : 13; }

  bool Fail(const std::string& what, uint64_t offset) {
    mError = what + " at byte " + std::to_string(offset);
    return false;
  }

  uint64_t Word(uint64_t offset) const {
    return mWide ? Load64(mData + offset, mBigEndian) : Load32(mData + offset, mBigEndian);
  }

  // Parses the record at offset within [offset, limit). A null record sets ended.
  bool ParseRecord(uint64_t& offset, uint64_t limit, FbxRecord& parent, int depth, bool& ended) {
    if (depth >= kMaxDepth) return Fail("records nested deeper than " + std::to_string(kMaxDepth) + " levels", offset);
    size_t header = HeaderSize();
    if (limit - offset < header) return Fail("record header cut short", offset);
    size_t width = mWide ? 8 : 4;
    uint64_t end = Word(offset);
    uint64_t count = Word(offset + width);
    uint64_t listLength = Word(offset + 2 * width);
    uint8_t nameLength = mData[offset + 3 * width];
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
    FbxRecord& record = parent.Add(std::string_view(reinterpret_cast<const char*>(mData + p), nameLength));
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
    if (mRelease) mRelease(static_cast<size_t>(end));  // its values are copied out
    return true;
  }

  bool ParseValue(uint64_t& p, uint64_t limit, FbxRecord& record) {
    if (p >= limit) return Fail("property of '" + record.name + "' cut short", p);
    char type = static_cast<char>(mData[p]);
    uint64_t at = p++;
    auto need = [&](uint64_t n) { return limit - p >= n; };
    FbxValue value;
    switch (type) {
      case 'C':
        if (!need(1)) break;
        value = FbxValue::MakeInt(mData[p] != 0, FbxValue::Bool);
        p += 1;
        record.values.push_back(std::move(value));
        return true;
      case 'Y': {
        if (!need(2)) break;
        uint16_t v = mBigEndian ? uint16_t(mData[p] << 8 | mData[p + 1]) : uint16_t(mData[p + 1] << 8 | mData[p]);
        record.values.push_back(FbxValue::MakeInt(static_cast<int16_t>(v), FbxValue::Int16));
        p += 2;
        return true;
      }
      case 'I':
        if (!need(4)) break;
        record.values.push_back(
            FbxValue::MakeInt(static_cast<int32_t>(Load32(mData + p, mBigEndian)), FbxValue::Int32));
        p += 4;
        return true;
      case 'L':
        if (!need(8)) break;
        record.values.push_back(
            FbxValue::MakeInt(static_cast<int64_t>(Load64(mData + p, mBigEndian)), FbxValue::Int64));
        p += 8;
        return true;
      case 'F': {
        if (!need(4)) break;
        uint32_t bits = Load32(mData + p, mBigEndian);
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
        uint64_t bits = Load64(mData + p, mBigEndian);
        double d;
        std::memcpy(&d, &bits, 8);
        record.values.push_back(FbxValue::MakeDouble(d));
        p += 8;
        return true;
      }
      case 'S':
      case 'R': {
        if (!need(4)) break;
        uint32_t length = Load32(mData + p, mBigEndian);
        p += 4;
        if (!need(length)) return Fail("text of " + std::to_string(length) + " bytes runs past the property list", at);
        value = FbxValue::MakeString(std::string_view(reinterpret_cast<const char*>(mData + p), length));
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
    uint64_t length = Load32(mData + p, mBigEndian);
    uint32_t encoding = Load32(mData + p + 4, mBigEndian);
    uint64_t stored = Load32(mData + p + 8, mBigEndian);
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
    if (held > mArrayBudget)
      return Fail("arrays expand to more memory than a file of " + std::to_string(mSize) + " bytes can need", at);
    mArrayBudget -= held;

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
      if (bytes) std::memcpy(target, mData + p, bytes);
    } else if (!Inflate(mData + p, stored, target, bytes)) {
      return Fail(
          "compressed array of '" + record.name + "' does not inflate to its " + std::to_string(length) + " values",
          at);
    }
    p += stored;
    if (mBigEndian) SwapBytes(target, length, width);
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

  const uint8_t* mData;
  uint64_t mSize;
  std::string& mError;
  const ReleaseConsumed& mRelease;
  uint64_t mArrayBudget;
  bool mBigEndian = false;
  bool mWide = false;
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
