#pragma once

#include "FileIO/Export.h"

// The host's text type: one owned, NUL-terminated 8-bit buffer (null for
// none), allocated with AllocString and freed with FreeString. Copies are deep.
// A null and an empty String read the same: Get() gives "" for both.
class FILEIO_API String {
public:
  String();
  String(const char* text);
  String(const String& other);
  String(String&& other) noexcept;
  ~String();

  String& operator=(const String& other);
  String& operator=(String&& other) noexcept;
  String& operator=(const char* text);

  String& operator+=(const String& other);
  String& operator+=(const char* text);
  String operator+(const String& other) const;
  String operator+(const char* text) const;

  // Byte order, so a std::map keyed by String is ordered the same everywhere.
  bool operator<(const String& other) const;
  bool operator==(const String& other) const;  // byte for byte
  // Text forms, so comparing with a literal is not ambiguous with the
  // conversion to const char*. A null text reads as "".
  bool operator==(const char* text) const;
  bool operator<(const char* text) const;
  friend FILEIO_API bool operator<(const char* text, const String& string);

  const char* Get() const;  // never null
  operator const char*() const { return Get(); }
  const char* Buffer() const { return data_; }  // null when none
  int Length() const;
  bool IsEmpty() const;

  // Non-zero when equal. ignoreCase 1 ignores ASCII letter case; 0 compares byte for byte.
  int Compare(const String& other, int ignoreCase = 0) const;
  // Position of the first occurrence of text, 0 when the string begins with it, -1 when absent.
  int Find(const char* text, int start = 0) const;
  // Cuts the next token off the front: skips leading delimiters, returns the
  // text up to the next delimiter and leaves the string holding what follows
  // that delimiter. With an empty delimiter set the whole rest is the token.
  String StrTok(const char* delimiters);
  // Removes trailing white space (blank, tab, CR, LF, FF, VT) in place.
  void TrimRight();
  // Replaces every occurrence of oldText with newText; returns how many.
  int Replace(const char* oldText, const char* newText);
  // File name of a path without its folder and without its extension.
  String GetNameOnly() const;
  // File name of a path without its folder.
  String GetFileName() const;

  // The user's documents folder, without a trailing separator:
  // HASH_DOCUMENTS_DIR, else the XDG documents folder, else $HOME/Documents.
  static String GetMyDocumentsPath();
  // Folder and file name of the running executable.
  static String GetAppPath();
  static String GetAppName();

private:
  char* data_ = nullptr;
};
