// Bytes from a file, quoted in an error text so that every one of them shows:
// control characters, NUL and bytes outside ASCII as \xNN, and a long run cut
// short, so that no error is cut at a NUL or grows with the file.
#pragma once

#include <string>
#include <string_view>

namespace fbxsdk::io {

std::string PrintableText(std::string_view bytes, size_t most = 48);

}  // namespace fbxsdk::io
