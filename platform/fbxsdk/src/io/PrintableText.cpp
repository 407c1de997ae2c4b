#include "PrintableText.h"

namespace fbxsdk::io {

std::string PrintableText(std::string_view bytes, size_t most) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown;
  for (size_t i = 0; i < bytes.size() && i < most; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    }
  }
  if (bytes.size() > most) shown += "... (" + std::to_string(bytes.size()) + " bytes)";
  return shown;
}

}  // namespace fbxsdk::io
