#include "BinaryReader.h"

#include "PrintableText.h"

#include <algorithm>
#include <cstring>

#include "ArrayInflater.h"
#include "BinaryFormat.h"
#include "HandedSections.h"

namespace fbxsdk::io {

namespace {

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

// Int16 values: the file's byte order, whichever the machine's is.
uint16_t Load16(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
}

bool IsBigEndian(const uint8_t* data) {
  uint32_t little = Load32(data + 23, false);
  return data[22] == 1 || (!LooksLikeVersion(little) && LooksLikeVersion(Load32(data + 23, true)));
}

class BinaryParser {
public:
  BinaryParser(const uint8_t* data, size_t size, std::string& error, const ReadOptions& options)
      : data_(data),
        size_(size),
        error_(error),
        options_(options),
        arrayBudget_(kArrayAllowance + 64 * uint64_t(size)) {}

  bool Parse(FbxRecord& root) {
    if (!IsBinaryFbx(data_, size_)) return Fail("not a binary FBX header", 0);
    bigEndian_ = IsBigEndian(data_);
    int version = static_cast<int>(Load32(data_ + 23, bigEndian_));
    wide_ = version >= kFirstWideRecordVersion;
    uint64_t offset = kBinaryHeaderSize;
    bool parsed = true;
    for (;;) {
      if (size_ == offset) break;  // no null record and no footer: tolerated, as the footer is optional
      if (size_ - offset < HeaderSize()) return Fail("the file ends early, inside a record header", offset);
      bool ended = false;
      if (!ParseRecord(offset, size_, root, 0, ended)) {
        parsed = false;
        break;
      }
      if (ended) break;
    }
    // Compressed arrays are inflated together, on every core, once their extents are all known.
    return parsed && inflater_.Run(error_);
  }

private:
  size_t HeaderSize() const { return wide_ ? 25 : 13; }

  bool Fail(const std::string& what) {
    error_ = what;
    return false;
  }
  bool Fail(const std::string& what, uint64_t offset) { return Fail(what + " at byte " + std::to_string(offset)); }

  // Where a record's claimed extent passes the end of the file, the file is cut short.
  bool FailPastEnd(const std::string& what, uint64_t offset, uint64_t claimedEnd) {
    if (claimedEnd > size_)
      return Fail("the file ends early: it has " + std::to_string(size_) + " bytes, but " + what + " reaches byte " +
                  std::to_string(claimedEnd) + " (record at byte " + std::to_string(offset) + ")");
    return Fail(what, offset);
  }

  void Warn(const std::string& what, uint64_t offset) { options_.Warn("byte " + std::to_string(offset) + ": " + what); }

  uint64_t Word(uint64_t offset) const {
    return wide_ ? Load64(data_ + offset, bigEndian_) : Load32(data_ + offset, bigEndian_);
  }

  // Parses the record at offset within [offset, limit). A null record sets ended.
  bool ParseRecord(uint64_t& offset, uint64_t limit, FbxRecord& parent, int depth, bool& ended) {
    if (depth >= kMaxRecordDepth)
      return Fail("records nested deeper than " + std::to_string(kMaxRecordDepth) + " levels", offset);
    size_t header = HeaderSize();
    if (limit - offset < header) {
      if (limit == size_) return Fail("the file ends early, inside a record header", offset);
      return Fail("record header cut short", offset);
    }
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
    uint64_t p = offset + header;
    if (limit - p < nameLength) return FailPastEnd("record name", start, p + nameLength);
    std::string_view name(reinterpret_cast<const char*>(data_ + p), nameLength);
    p += nameLength;
    if (limit - p < listLength)
      return FailPastEnd("the property list of '" + std::string(name) + "'", start, p + listLength);
    uint64_t listEnd = p + listLength;
    // Some exporters write 0 as the end of a record without nested records: it ends with its values.
    bool endless = end == 0;
    if (endless) {
      end = listEnd;
      Warn("record '" + std::string(name) + "' gives no end offset; read as ending after its values", start);
    }
    if (end > size_) return FailPastEnd("record '" + std::string(name) + "'", start, end);
    if (end < listEnd || end > limit)
      return Fail("record end offset " + std::to_string(end) + " lies outside its parent", start);
    FbxRecord& record = records_.Add(parent, name);
    handed_.Starts(record, depth);
    // Every property takes at least two bytes, so the count is bounded by the list's length.
    if (count > listLength / 2)
      return Fail("record '" + PrintableText(record.name) + "' claims more properties than its bytes hold", start);
    record.values.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count && p < listEnd; ++i) {
      bool known = true;
      if (!ParseValue(p, listEnd, record, known)) return false;
      if (!known) {
        p = listEnd;  // the rest of the list has a known extent, though not known values
        break;
      }
    }
    if (p != listEnd) return Fail("property list of '" + PrintableText(record.name) + "' has stray bytes", p);
    record.children.reserve(CountChildren(p, end));
    while (p < end) {
      bool childEnded = false;
      if (!ParseRecord(p, end, record, depth + 1, childEnded)) return false;
      if (childEnded) break;
    }
    if (p != end) return Fail("record '" + PrintableText(record.name) + "' has bytes after its end marker", p);
    offset = end;
    std::string_view section = handed_.Ends(record, parent);
    if (!section.empty() && !HandOver(section, parent)) return false;
    if (options_.release && inflater_.Empty()) options_.release(static_cast<size_t>(end));
    return true;
  }

  // Hands the entry just read to the scene, its arrays inflated first (together, on every core).
  bool HandOver(std::string_view section, FbxRecord& parent) {
    if (!options_.takeRecord) return true;
    if (!inflater_.Run(error_)) return false;
    bool taken = false;
    if (!options_.takeRecord(section, parent.children.back(), taken)) return false;
    if (taken) records_.RecycleLast(parent);
    return true;
  }

  // How many records lie in [p, end), hopping over their end offsets, to size the list once: a
  // Properties70 block holds dozens. Stops at the first that is not plainly sound; parsing
  // them reports it.
  size_t CountChildren(uint64_t p, uint64_t end) const {
    size_t count = 0;
    while (end - p >= HeaderSize()) {
      uint64_t next = Word(p);
      // A null record, an endless one or a faulty offset; a record holds at least its header, which
      // also bounds the count by the bytes.
      if (next < p + HeaderSize() || next > end) break;
      ++count;
      p = next;
    }
    return count;
  }

  // Reads one value. A type this reader does not know clears known and adds a warning: its size
  // is unknown, so the caller skips the rest of the list, whose extent it knows.
  bool ParseValue(uint64_t& p, uint64_t limit, FbxRecord& record, bool& known) {
    char type = static_cast<char>(data_[p]);
    uint64_t at = p++;
    auto need = [&](uint64_t n) { return limit - p >= n; };
    // Scalars are made in place at the end of the list: a file of many objects holds millions.
    auto add = [&](FbxValue::Type stored) -> FbxValue& {
      FbxValue& value = record.values.emplace_back();
      value.type = stored;
      return value;
    };
    switch (type) {
      case 'C':
        if (!need(1)) break;
        add(FbxValue::Bool).integer = data_[p] != 0;
        p += 1;
        return true;
      case 'Y':
        if (!need(2)) break;
        add(FbxValue::Int16).integer = static_cast<int16_t>(Load16(data_ + p, bigEndian_));
        p += 2;
        return true;
      case 'I':
        if (!need(4)) break;
        add(FbxValue::Int32).integer = static_cast<int32_t>(Load32(data_ + p, bigEndian_));
        p += 4;
        return true;
      case 'L':
        if (!need(8)) break;
        add(FbxValue::Int64).integer = static_cast<int64_t>(Load64(data_ + p, bigEndian_));
        p += 8;
        return true;
      case 'F': {
        if (!need(4)) break;
        uint32_t bits = Load32(data_ + p, bigEndian_);
        float f;
        std::memcpy(&f, &bits, 4);
        add(FbxValue::Float).real = f;
        p += 4;
        return true;
      }
      case 'D': {
        if (!need(8)) break;
        uint64_t bits = Load64(data_ + p, bigEndian_);
        double d;
        std::memcpy(&d, &bits, 8);
        add(FbxValue::Double).real = d;
        p += 8;
        return true;
      }
      case 'S':
      case 'R': {
        if (!need(4)) break;
        uint32_t length = Load32(data_ + p, bigEndian_);
        p += 4;
        if (!need(length)) return Fail("text of " + std::to_string(length) + " bytes runs past the property list", at);
        add(type == 'R' ? FbxValue::Raw : FbxValue::String)
            .text.assign(reinterpret_cast<const char*>(data_ + p), length);
        p += length;
        return true;
      }
      case 'b':
      case 'i':
      case 'l':
      case 'f':
      case 'd':
        return ParseArray(type, at, p, limit, record, !options_.unexposedArrays && IsUnexposedArray(record.name));
      default:
        known = false;
        Warn(std::string("skipped the values of '") + record.name + "' from one of unknown type '" +
                 (type >= 32 && type < 127 ? std::string(1, type) : "?") + "'",
             at);
        return true;
    }
    return Fail("property of '" + PrintableText(record.name) + "' cut short", at);
  }

  bool ParseArray(char type, uint64_t at, uint64_t& p, uint64_t limit, FbxRecord& record, bool skip) {
    if (limit - p < 12) return Fail("array header of '" + PrintableText(record.name) + "' cut short", at);
    uint64_t length = Load32(data_ + p, bigEndian_);
    uint32_t encoding = Load32(data_ + p + 4, bigEndian_);
    uint64_t stored = Load32(data_ + p + 8, bigEndian_);
    p += 12;
    if (limit - p < stored)
      return Fail("array of '" + PrintableText(record.name) + "' runs past the property list", at);
    size_t width = type == 'b' ? 1 : (type == 'i' || type == 'f') ? 4 : 8;
    uint64_t bytes = length * width;
    if (encoding == 0) {
      if (stored != bytes)
        return Fail("array of '" + PrintableText(record.name) + "' holds " + std::to_string(stored) + " bytes for " +
                        std::to_string(length) + " values",
                    at);
    } else if (encoding == 1) {
      if (bytes > stored * kMaxInflateRatio + 64)
        return Fail(
            "compressed array of '" + PrintableText(record.name) + "' claims more values than its data can hold", at);
    } else {
      return Fail("array of '" + PrintableText(record.name) + "' has unknown encoding " + std::to_string(encoding), at);
    }
    if (skip) {  // nothing in the scene reads it: step over it, leaving the record without values
      p += stored;
      return true;
    }
    uint64_t held = type == 'b' ? length * 4 : bytes;  // flags are kept as ints
    if (held > kMaxArrayBytes) return Fail("array of '" + PrintableText(record.name) + "' is too large", at);
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
        value.Ints().resize(length);
        target = reinterpret_cast<uint8_t*>(value.Ints().data());
        break;
      case 'l':
        value.type = FbxValue::Int64Array;
        value.Longs().resize(length);
        target = reinterpret_cast<uint8_t*>(value.Longs().data());
        break;
      case 'f':
        value.type = FbxValue::FloatArray;
        value.Floats().resize(length);
        target = reinterpret_cast<uint8_t*>(value.Floats().data());
        break;
      default:
        value.type = FbxValue::DoubleArray;
        value.Doubles().resize(length);  // not zero-filled: inflated or copied over at once
        target = reinterpret_cast<uint8_t*>(value.Doubles().data());
        break;
    }
    ArrayInflater::Job job{data_ + p,
                           stored,
                           target,
                           bytes,
                           bigEndian_ ? width : 1,
                           "compressed array of '" + PrintableText(record.name) + "' at byte " + std::to_string(at) +
                               " does not inflate to its " + std::to_string(length) + " values"};
    p += stored;
    if (type == 'b') {
      // Flags are few and converted at once.
      if (encoding == 1) {
        if (!ArrayInflater::RunOne(job, error_)) return false;
      } else if (bytes) {
        std::memcpy(target, job.in, bytes);
      }
      value.Ints().assign(flags.begin(), flags.end());
    } else if (encoding == 1) {
      inflater_.Add(std::move(job));  // the vector's buffer keeps its place when the value moves
    } else {
      if (bytes) std::memcpy(target, job.in, bytes);
      if (bigEndian_) SwapBytes(target, length, width);
    }
    record.values.push_back(std::move(value));
    return true;
  }

  const uint8_t* data_;
  uint64_t size_;
  std::string& error_;
  const ReadOptions& options_;
  uint64_t arrayBudget_;
  ArrayInflater inflater_;
  RecordPool records_;
  bool bigEndian_ = false;
  bool wide_ = false;
  HandedSections handed_;
};

}  // namespace

int BinaryVersion(const uint8_t* data, size_t size) {
  if (!IsBinaryFbx(data, size)) return 0;
  return static_cast<int>(Load32(data + 23, IsBigEndian(data)));
}

bool ParseBinaryRecords(const uint8_t* data, size_t size, FbxRecord& root, std::string& error,
                        const ReadOptions& options) {
  BinaryParser parser(data, size, error, options);
  return parser.Parse(root);
}

}  // namespace fbxsdk::io
