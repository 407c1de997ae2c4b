#include "ObjectNames.h"

namespace fbxsdk::io {

namespace {
constexpr std::string_view kBinarySeparator("\0\1", 2);
constexpr std::string_view kAsciiSeparator("::");
}  // namespace

std::string EncodeObjectName(std::string_view name, std::string_view cls, bool binary) {
  std::string out;
  out.reserve(name.size() + cls.size() + 2);
  if (binary) {
    out.append(name).append(kBinarySeparator).append(cls);
  } else {
    out.append(cls).append(kAsciiSeparator).append(name);
  }
  return out;
}

ObjectName DecodeObjectName(std::string_view stored) {
  size_t binary = stored.find(kBinarySeparator);
  if (binary != std::string_view::npos) return {stored.substr(binary + 2), stored.substr(0, binary)};
  size_t ascii = stored.find(kAsciiSeparator);
  if (ascii != std::string_view::npos) return {stored.substr(0, ascii), stored.substr(ascii + 2)};
  return {{}, stored};
}

std::string CanonicalObjectName(std::string_view stored) {
  ObjectName decoded = DecodeObjectName(stored);
  return EncodeObjectName(decoded.name, decoded.cls, false);
}

}  // namespace fbxsdk::io
