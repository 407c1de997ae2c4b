#include "RegistryText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fileio {

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// Characters that would end or re-split a name of this role, or be trimmed away.
bool MustEscape(char c, TextRole role, bool first, bool last) {
  if (c == '\\' || c == '\n' || c == '\r') return true;
  if ((first || last) && IsBlankChar(c)) return true;
  switch (role) {
    case TextRole::Section: return c == ']';
    case TextRole::Key: return c == '=' || (first && (c == '[' || c == ';' || c == '#'));
    case TextRole::Value: return c == '"';
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EscapeText(std::string_view text, TextRole role) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool surrounding = role != TextRole::Value && (i == 0 || i + 1 == text.size());
    if (!MustEscape(c, role, surrounding && i == 0, surrounding && i + 1 == text.size())) {
      out.push_back(c);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out.push_back(c);
      continue;
    }
    char next = text[i + 1];
    if (next == '\\') {
      out.push_back('\\');
      ++i;
    } else if (next == 'n') {
      out.push_back('\n');
      ++i;
    } else if (next == 'r') {
      out.push_back('\r');
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3])));
      i += 3;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

std::string EncodeValue(std::string_view value) {
  bool quote = !value.empty() && (IsBlankChar(value.front()) || IsBlankChar(value.back()) || value.front() == '"' ||
                                  value.front() == ';');
  for (std::size_t i = 0; i < value.size() && !quote; ++i)
    quote = value[i] == '\n' || value[i] == '\r' || (value[i] == ';' && i > 0 && IsBlankChar(value[i - 1]));
  if (!quote) return std::string(value);
  return "\"" + EscapeText(value, TextRole::Value) + "\"";
}

ValueSpan ReadValue(std::string_view text) {
  ValueSpan span;
  std::size_t begin = 0;
  while (begin < text.size() && IsBlankChar(text[begin])) ++begin;
  span.begin = begin;
  if (begin < text.size() && text[begin] == '"') {
    std::size_t close = text.find('"', begin + 1);
    if (close != std::string_view::npos) {
      std::string_view rest = TrimBlanks(text.substr(close + 1));
      if (rest.empty() || rest.front() == ';') {
        span.end = close + 1;
        span.value = UnescapeText(text.substr(begin + 1, close - begin - 1));
        return span;
      }
    }
  }
  // Typed by hand: exactly as written, up to a comment that follows a blank.
  std::size_t end = text.size();
  for (std::size_t i = begin; i < text.size(); ++i) {
    if (text[i] == ';' && i > 0 && IsBlankChar(text[i - 1])) {
      end = i;
      break;
    }
  }
  while (end > begin && IsBlankChar(text[end - 1])) --end;
  span.end = end;
  span.value = std::string(text.substr(begin, end - begin));
  return span;
}

std::string FormatInteger(long long value) { return std::to_string(value); }

std::string FormatReal(double value) {
  // to_chars ignores the locale and gives the shortest text that reads back
  // to the same double; inf and nan come out as "inf", "-inf", "nan".
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<long long> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  long long value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  double value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace fileio
