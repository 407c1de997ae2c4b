#include "receive/AnswerTextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace pigmora {

AnswerTextFile::~AnswerTextFile() { Close(); }

bool AnswerTextFile::Open(const String& path, const char* shownName) {
  Close();
  shownName_ = shownName;
  errorText_ = "";
  lineNumber_ = 0;
  const String prefix = String("Can't open '") + shownName + "' for reading";
  if (path.IsEmpty()) {
    errorText_ = prefix;
    return false;
  }
  // Not blocking: opening a FIFO for reading would wait for a writer.
  const int fd = ::open(path.Get(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    errorText_ = prefix + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    errorText_ = prefix + ": it is " + (S_ISDIR(info.st_mode) ? "a folder" : "not a regular file");
    return false;
  }
  // A regular file never blocks; reading goes on as usual.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  file_ = fdopen(fd, "rb");
  if (!file_) {
    ::close(fd);
    errorText_ = prefix;
    return false;
  }
  return true;
}

bool AnswerTextFile::ReadLine(String& line) {
  if (!file_ || Failed()) return false;
  std::string text;
  int c = 0;
  bool readAny = false;
  // One character more than the limit for the CR of a CR LF end.
  while ((c = std::getc(file_)) != EOF && c != '\n' && text.size() <= kAnswerLineLimit) {
    readAny = true;
    text.push_back(static_cast<char>(c));
  }
  readAny = readAny || c == '\n';
  if (std::ferror(file_)) {
    errorText_ = String("Can't read '") + shownName_ + "': " + std::strerror(errno);
    return false;
  }
  if (c == '\n' && !text.empty() && text.back() == '\r') text.pop_back();
  if (text.size() > kAnswerLineLimit) {
    errorText_ = String("'") + shownName_ + "' is damaged: line " + std::to_string(lineNumber_ + 1).c_str() +
                 " is longer than " + std::to_string(kAnswerLineLimit).c_str() + " characters";
    return false;
  }
  if (!readAny) return false;
  ++lineNumber_;
  line = text.c_str();
  return true;
}

void AnswerTextFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace pigmora
