#include "fbxsdk/fbxstring.h"

#include "AllocationSeam.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace fbxsdk {

char FbxString::sEmpty[1] = {0};

namespace {
char* CopyText(const char* text, size_t length) {
  char* copy = AllocationFails() ? nullptr : static_cast<char*>(std::malloc(length + 1));
  if (!copy) throw std::bad_alloc();  // as any other allocation of the caller's would
  if (length) std::memcpy(copy, text, length);
  copy[length] = 0;
  return copy;
}
}  // namespace

FbxString::FbxString() : text_(sEmpty), length_(0) {}

FbxString::FbxString(const char* text) : FbxString(text, text ? std::strlen(text) : 0) {}

FbxString::FbxString(const char* text, size_t length) : text_(sEmpty), length_(0) {
  if (text && length) {
    text_ = CopyText(text, length);
    length_ = length;
  }
}

FbxString::FbxString(const FbxString& other) : FbxString(other.text_, other.length_) {}

FbxString::FbxString(FbxString&& other) noexcept : text_(other.text_), length_(other.length_) {
  other.text_ = sEmpty;
  other.length_ = 0;
}

FbxString::~FbxString() { Clear(); }

void FbxString::Clear() {
  if (text_ != sEmpty) std::free(text_);
  text_ = sEmpty;
  length_ = 0;
}

FbxString& FbxString::operator=(const FbxString& other) {
  if (this != &other) {
    FbxString copy(other);
    *this = std::move(copy);
  }
  return *this;
}

FbxString& FbxString::operator=(FbxString&& other) noexcept {
  if (this != &other) {
    Clear();
    text_ = other.text_;
    length_ = other.length_;
    other.text_ = sEmpty;
    other.length_ = 0;
  }
  return *this;
}

FbxString& FbxString::operator=(const char* text) {
  FbxString copy(text);
  return *this = std::move(copy);
}

FbxString& FbxString::Append(const char* text, size_t length) {
  if (!text || !length) return *this;
  char* grown = AllocationFails() ? nullptr : static_cast<char*>(std::malloc(length_ + length + 1));
  if (!grown) throw std::bad_alloc();
  std::memcpy(grown, text_, length_);
  std::memcpy(grown + length_, text, length);
  size_t total = length_ + length;
  grown[total] = 0;
  Clear();
  text_ = grown;
  length_ = total;
  return *this;
}

FbxString& FbxString::operator+=(const char* text) { return Append(text, text ? std::strlen(text) : 0); }
FbxString& FbxString::operator+=(const FbxString& text) {
  FbxString copy(text);  // appending a string to itself
  return Append(copy.text_, copy.length_);
}
FbxString& FbxString::operator+=(char c) { return Append(&c, 1); }

int FbxString::Find(const char* text, size_t start) const {
  if (!text || start > length_) return -1;
  const char* hit = std::strstr(text_ + start, text);
  return hit ? static_cast<int>(hit - text_) : -1;
}

int FbxString::Find(char c, size_t start) const {
  if (start >= length_) return -1;
  const void* hit = std::memchr(text_ + start, c, length_ - start);
  return hit ? static_cast<int>(static_cast<const char*>(hit) - text_) : -1;
}

bool FbxString::operator==(const FbxString& other) const {
  return length_ == other.length_ && std::memcmp(text_, other.text_, length_) == 0;
}
bool FbxString::operator==(const char* other) const { return std::strcmp(text_, other ? other : "") == 0; }
bool FbxString::operator<(const FbxString& other) const { return std::strcmp(text_, other.text_) < 0; }

FbxString operator+(const FbxString& a, const FbxString& b) {
  FbxString result(a);
  result += b;
  return result;
}
FbxString operator+(const FbxString& a, const char* b) {
  FbxString result(a);
  result += b;
  return result;
}

}  // namespace fbxsdk
