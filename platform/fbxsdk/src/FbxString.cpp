#include "fbxsdk/fbxstring.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace fbxsdk {

char FbxString::sEmpty[1] = {0};

namespace {
char* CopyText(const char* text, size_t length) {
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (!copy) std::abort();  // nothing sensible to do without memory for a string
  if (length) std::memcpy(copy, text, length);
  copy[length] = 0;
  return copy;
}
}  // namespace

FbxString::FbxString() : mText(sEmpty), mLength(0) {}

FbxString::FbxString(const char* text) : FbxString(text, text ? std::strlen(text) : 0) {}

FbxString::FbxString(const char* text, size_t length) : mText(sEmpty), mLength(0) {
  if (text && length) {
    mText = CopyText(text, length);
    mLength = length;
  }
}

FbxString::FbxString(const FbxString& other) : FbxString(other.mText, other.mLength) {}

FbxString::FbxString(FbxString&& other) noexcept : mText(other.mText), mLength(other.mLength) {
  other.mText = sEmpty;
  other.mLength = 0;
}

FbxString::~FbxString() { Clear(); }

void FbxString::Clear() {
  if (mText != sEmpty) std::free(mText);
  mText = sEmpty;
  mLength = 0;
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
    mText = other.mText;
    mLength = other.mLength;
    other.mText = sEmpty;
    other.mLength = 0;
  }
  return *this;
}

FbxString& FbxString::operator=(const char* text) {
  FbxString copy(text);
  return *this = std::move(copy);
}

FbxString& FbxString::Append(const char* text, size_t length) {
  if (!text || !length) return *this;
  char* grown = static_cast<char*>(std::malloc(mLength + length + 1));
  if (!grown) std::abort();
  std::memcpy(grown, mText, mLength);
  std::memcpy(grown + mLength, text, length);
  size_t total = mLength + length;
  grown[total] = 0;
  Clear();
  mText = grown;
  mLength = total;
  return *this;
}

FbxString& FbxString::operator+=(const char* text) { return Append(text, text ? std::strlen(text) : 0); }
FbxString& FbxString::operator+=(const FbxString& text) {
  FbxString copy(text);  // appending a string to itself
  return Append(copy.mText, copy.mLength);
}
FbxString& FbxString::operator+=(char c) { return Append(&c, 1); }

int FbxString::Find(const char* text, size_t start) const {
  if (!text || start > mLength) return -1;
  const char* hit = std::strstr(mText + start, text);
  return hit ? static_cast<int>(hit - mText) : -1;
}

int FbxString::Find(char c, size_t start) const {
  if (start >= mLength) return -1;
  const void* hit = std::memchr(mText + start, c, mLength - start);
  return hit ? static_cast<int>(static_cast<const char*>(hit) - mText) : -1;
}

bool FbxString::operator==(const FbxString& other) const {
  return mLength == other.mLength && std::memcmp(mText, other.mText, mLength) == 0;
}
bool FbxString::operator==(const char* other) const { return std::strcmp(mText, other ? other : "") == 0; }
bool FbxString::operator<(const FbxString& other) const { return std::strcmp(mText, other.mText) < 0; }

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
