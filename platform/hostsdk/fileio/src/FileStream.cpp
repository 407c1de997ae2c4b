#include "FileIO/FileStream.h"

#include <sys/stat.h>

#include <string>

#include "common/EntryGuard.h"

FileStream::FileStream() = default;

FileStream::~FileStream() { Close(); }

int FileStream::Open(const String& path, int mode) {
  Close();
  if (mode != Read || path.IsEmpty()) return 0;
  file_ = std::fopen(path.Get(), "rb");
  struct stat info {};
  // fopen accepts a folder here; refuse it now rather than fail on the first read.
  if (file_ && (fstat(fileno(file_), &info) != 0 || S_ISDIR(info.st_mode))) Close();
  return file_ != nullptr;
}

// A line too long to hold in memory ends the reading.
int FileStream::ReadLine(String& line) {
  return GuardedEntry(0, [&] {
    if (!file_) return 0;
    std::string text;
    int c = 0;
    bool readAny = false;
    while ((c = std::getc(file_)) != EOF) {
      readAny = true;
      if (c == '\n') break;
      text.push_back(static_cast<char>(c));
    }
    if (!readAny) return 0;
    if (c == '\n' && !text.empty() && text.back() == '\r') text.pop_back();
    line = text.c_str();
    return 1;
  });
}

void FileStream::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}
