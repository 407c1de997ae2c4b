// FbxString: owned, NUL-terminated 8-bit text.
#pragma once

#include "fbxdefs.h"

namespace fbxsdk {

class FBXSDK_DLL FbxString {
public:
  FbxString();
  FbxString(const char* text);
  FbxString(const char* text, size_t length);
  FbxString(const FbxString& other);
  FbxString(FbxString&& other) noexcept;
  ~FbxString();

  FbxString& operator=(const FbxString& other);
  FbxString& operator=(FbxString&& other) noexcept;
  FbxString& operator=(const char* text);

  const char* Buffer() const { return text_; }
  operator const char*() const { return text_; }
  size_t Size() const { return length_; }
  size_t GetLen() const { return length_; }
  bool IsEmpty() const { return length_ == 0; }
  void Clear();

  FbxString& Append(const char* text, size_t length);
  FbxString& operator+=(const char* text);
  FbxString& operator+=(const FbxString& text);
  FbxString& operator+=(char c);

  // Position of the first occurrence at or after start, or -1.
  int Find(const char* text, size_t start = 0) const;
  int Find(char c, size_t start = 0) const;

  bool operator==(const FbxString& other) const;
  bool operator!=(const FbxString& other) const { return !(*this == other); }
  bool operator==(const char* other) const;
  bool operator!=(const char* other) const { return !(*this == other); }
  bool operator<(const FbxString& other) const;

private:
  static char sEmpty[1];
  char* text_;
  size_t length_;
};

FBXSDK_DLL FbxString operator+(const FbxString& a, const FbxString& b);
FBXSDK_DLL FbxString operator+(const FbxString& a, const char* b);

}  // namespace fbxsdk
