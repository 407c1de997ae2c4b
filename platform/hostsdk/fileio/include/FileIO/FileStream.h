#pragma once

#include <cstdio>

#include "FileIO/Export.h"
#include "FileIO/String.h"

// A text file read line by line.
class FILEIO_API FileStream {
public:
  enum { Read = 1 };

  FileStream();
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // mode 1 opens for reading. Non-zero on success.
  int Open(const String& path, int mode);
  // Non-zero while a line was read; the line end (LF or CR LF) is stripped.
  int ReadLine(String& line);
  void Close();

private:
  std::FILE* file_ = nullptr;
};
