#include "FileIO/String.h"

#include <cstring>

#include "FileIO/Memory.h"

namespace {

// A fresh block holding `length` bytes of `text` and a terminator; null when
// the allocation fails, so a String degrades to empty instead of crashing.
char* CopyText(const char* text, std::size_t length) {
  char* block = AllocString(length + 1);
  if (block && length) std::memcpy(block, text, length);
  return block;
}

char* Concatenate(const char* left, const char* right) {
  std::size_t leftLength = std::strlen(left);
  std::size_t rightLength = std::strlen(right);
  char* block = AllocString(leftLength + rightLength + 1);
  if (!block) return nullptr;
  std::memcpy(block, left, leftLength);
  std::memcpy(block + leftLength, right, rightLength);
  return block;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Start of the file name part: just after the last folder separator.
const char* FileNameStart(const char* path) {
  const char* start = path;
  for (const char* p = path; *p; ++p)
    if (IsSeparator(*p)) start = p + 1;
  return start;
}

}  // namespace

String::String() = default;

String::String(const char* text) {
  if (text) data_ = CopyText(text, std::strlen(text));
}

String::String(const String& other) {
  if (other.data_) data_ = CopyText(other.data_, std::strlen(other.data_));
}

String::String(String&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }

String::~String() { FreeString(data_); }

String& String::operator=(const String& other) {
  if (this != &other) *this = other.data_;
  return *this;
}

String& String::operator=(String&& other) noexcept {
  if (this != &other) {
    FreeString(data_);
    data_ = other.data_;
    other.data_ = nullptr;
  }
  return *this;
}

String& String::operator=(const char* text) {
  // Copy first: text may point into our own buffer.
  char* copy = text ? CopyText(text, std::strlen(text)) : nullptr;
  FreeString(data_);
  data_ = copy;
  return *this;
}

String& String::operator+=(const String& other) { return *this += other.Get(); }

String& String::operator+=(const char* text) {
  if (!text || !*text) return *this;
  char* joined = Concatenate(Get(), text);
  if (!joined) return *this;
  FreeString(data_);
  data_ = joined;
  return *this;
}

String String::operator+(const String& other) const { return *this + other.Get(); }

String String::operator+(const char* text) const {
  String result(*this);
  result += text;
  return result;
}

bool String::operator<(const String& other) const { return std::strcmp(Get(), other.Get()) < 0; }

bool String::operator==(const String& other) const { return std::strcmp(Get(), other.Get()) == 0; }

bool String::operator==(const char* text) const { return std::strcmp(Get(), text ? text : "") == 0; }

bool String::operator<(const char* text) const { return std::strcmp(Get(), text ? text : "") < 0; }

bool operator<(const char* text, const String& string) { return std::strcmp(text ? text : "", string.Get()) < 0; }

const char* String::Get() const { return data_ ? data_ : ""; }

int String::Length() const { return data_ ? static_cast<int>(std::strlen(data_)) : 0; }

bool String::IsEmpty() const { return !data_ || !*data_; }

int String::Compare(const String& other, int ignoreCase) const {
  const char* a = Get();
  const char* b = other.Get();
  if (!ignoreCase) return std::strcmp(a, b) == 0;
  for (; *a && *b; ++a, ++b)
    if (LowerAscii(*a) != LowerAscii(*b)) return 0;
  return *a == *b;
}

int String::Find(const char* text, int start) const {
  int length = Length();
  if (start < 0) start = 0;
  if (start > length) return -1;
  if (!text) text = "";
  const char* found = std::strstr(Get() + start, text);
  return found ? static_cast<int>(found - Get()) : -1;
}

String String::StrTok(const char* delimiters) {
  if (!delimiters) delimiters = "";
  const char* text = Get();
  if (!*delimiters) {
    String token(text);
    *this = String();
    return token;
  }
  const char* begin = text + std::strspn(text, delimiters);
  std::size_t tokenLength = std::strcspn(begin, delimiters);
  String token;
  token.data_ = CopyText(begin, tokenLength);
  const char* rest = begin + tokenLength;
  if (*rest) ++rest;  // the delimiter that ended the token goes with it
  *this = rest;
  return token;
}

void String::TrimRight() {
  if (!data_) return;
  std::size_t length = std::strlen(data_);
  while (length && IsTrailingSpace(data_[length - 1])) data_[--length] = '\0';
}

int String::Replace(const char* oldText, const char* newText) {
  if (!oldText || !*oldText || !data_) return 0;
  if (!newText) newText = "";
  std::size_t oldLength = std::strlen(oldText);
  std::size_t newLength = std::strlen(newText);

  int count = 0;
  for (const char* p = std::strstr(data_, oldText); p; p = std::strstr(p + oldLength, oldText)) ++count;
  if (!count) return 0;

  std::size_t length = std::strlen(data_);
  std::size_t resultLength = length - count * oldLength + count * newLength;
  char* result = AllocString(resultLength + 1);
  if (!result) return 0;
  char* out = result;
  const char* in = data_;
  for (const char* p = std::strstr(in, oldText); p; p = std::strstr(in, oldText)) {
    std::memcpy(out, in, static_cast<std::size_t>(p - in));
    out += p - in;
    std::memcpy(out, newText, newLength);
    out += newLength;
    in = p + oldLength;
  }
  std::strcpy(out, in);
  FreeString(data_);
  data_ = result;
  return count;
}

String String::GetFileName() const { return String(FileNameStart(Get())); }

String String::GetNameOnly() const {
  const char* name = FileNameStart(Get());
  // A leading dot names a hidden file rather than starting an extension.
  const char* dot = std::strrchr(name, '.');
  if (!dot || dot == name) return String(name);
  String result;
  result.data_ = CopyText(name, static_cast<std::size_t>(dot - name));
  return result;
}
