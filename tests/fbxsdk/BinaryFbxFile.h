// A small encoder for hand-made binary FBX files, independent of the library's writer: either
// byte order, 32- or 64-bit records, plain or compressed arrays.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fbxtest {

class BinaryFbxFile {
public:
  BinaryFbxFile(int version, bool bigEndian, bool compress)
      : wide_(version >= 7500), bigEndian_(bigEndian), compress_(compress) {
    bytes_.assign("Kaydara FBX Binary  \0\x1a", 22);
    bytes_.push_back(bigEndian ? 1 : 0);
    Number(static_cast<uint32_t>(version), 4);
  }

  struct Node {
    std::string name;
    std::string values;  // encoded properties
    int count = 0;
    std::vector<Node> children;
    bool zeroEnd = false;  // writes 0 as the end offset, as some exporters do for records without children
  };

  std::string Short(int16_t v) { return "Y" + Encode(static_cast<uint16_t>(v), 2); }
  std::string Int(int32_t v) { return "I" + Encode(static_cast<uint32_t>(v), 4); }
  std::string Long(int64_t v) { return "L" + Encode(static_cast<uint64_t>(v), 8); }
  std::string Text(const std::string& s) { return "S" + Encode(static_cast<uint32_t>(s.size()), 4) + s; }
  std::string Doubles(const std::vector<double>& values) {
    std::string raw;
    for (double v : values) {
      uint64_t bits;
      std::memcpy(&bits, &v, 8);
      raw += Encode(bits, 8);
    }
    return Array('d', values.size(), raw);
  }
  std::string Floats(const std::vector<float>& values) {
    std::string raw;
    for (float v : values) {
      uint32_t bits;
      std::memcpy(&bits, &v, 4);
      raw += Encode(bits, 4);
    }
    return Array('f', values.size(), raw);
  }
  // Any typed array, raw: for element types the library does not know ('c').
  std::string RawArray(char type, size_t length, const std::string& raw) { return Array(type, length, raw); }
  // A compressed array whose bytes are not zlib data.
  std::string BrokenArray(char type, size_t length) {
    return std::string(1, type) + Encode(length, 4) + Encode(1, 4) + Encode(16, 4) + std::string(16, 'z');
  }
  std::string Ints(const std::vector<int32_t>& values) {
    std::string raw;
    for (int32_t v : values) raw += Encode(static_cast<uint32_t>(v), 4);
    return Array('i', values.size(), raw);
  }

  std::string Finish(const std::vector<Node>& top) {
    for (const Node& node : top) Write(node);
    bytes_.append(wide_ ? 25 : 13, '\0');
    return bytes_;
  }

private:
  std::string Encode(uint64_t v, int width) const {
    std::string out(static_cast<size_t>(width), '\0');
    for (int i = 0; i < width; ++i)
      out[static_cast<size_t>(bigEndian_ ? width - 1 - i : i)] = static_cast<char>(v >> (8 * i));
    return out;
  }
  void Number(uint64_t v, int width) { bytes_ += Encode(v, width); }

  std::string Array(char type, size_t length, const std::string& raw) {
    std::string stored = raw;
    if (compress_) {
      uLongf size = compressBound(raw.size());
      stored.assign(size, '\0');
      compress(reinterpret_cast<Bytef*>(stored.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
      stored.resize(size);
    }
    return std::string(1, type) + Encode(length, 4) + Encode(compress_ ? 1 : 0, 4) + Encode(stored.size(), 4) + stored;
  }

  void Write(const Node& node) {
    int width = wide_ ? 8 : 4;
    size_t start = bytes_.size();
    Number(0, width);
    Number(static_cast<uint64_t>(node.count), width);
    Number(node.values.size(), width);
    bytes_.push_back(static_cast<char>(node.name.size()));
    bytes_ += node.name + node.values;
    if (!node.children.empty()) {
      for (const Node& child : node.children) Write(child);
      bytes_.append(wide_ ? 25 : 13, '\0');
    }
    std::string end = Encode(node.zeroEnd ? 0 : bytes_.size(), width);
    bytes_.replace(start, static_cast<size_t>(width), end);
  }

  bool wide_, bigEndian_, compress_;
  std::string bytes_;
};

}  // namespace fbxtest
