#pragma once

#include <string>

// Input repeated in a message, cut to a readable length: a name of megabytes
// must not become megabytes of standard error.
inline std::string Echoed(const std::string& text) {
  constexpr std::size_t kLongest = 200;
  if (text.size() <= kLongest) return text;
  return text.substr(0, kLongest) + "... (" + std::to_string(text.size()) + " characters)";
}
