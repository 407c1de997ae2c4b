#include "FileIO/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/EntryGuard.h"
#include "common/OsFiles.h"

FileStream::FileStream() = default;

FileStream::~FileStream() { Close(); }

int FileStream::Open(const String& path, int mode) {
  Close();
  if (mode != Read || path.IsEmpty()) return 0;
  // Opened without waiting, and only a regular file is read: a FIFO would wait
  // for a writer for ever, a device never ends, a folder has no lines.
  const int fd = os::OpenFile(path.Get(), O_RDONLY | os::kOpenNonBlocking);
  if (fd < 0) return 0;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return 0;
  }
  os::MakeBlocking(fd);
  if (!(file_ = fdopen(fd, "rb"))) {
    ::close(fd);
    return 0;
  }
  return 1;
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
