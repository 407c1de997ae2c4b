#include "CommandFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <common/OsFiles.h>

namespace {

// A command file is a few lines; anything larger is not one.
constexpr off_t kMaxCommandFileSize = 1 << 20;

// The whole file, when it is a regular file of reasonable size: a FIFO or a
// device would stall or flood the peer.
bool ReadSmallFile(const std::string& path, std::string& text, std::string& problem) {
  const int fd = os::OpenFile(path.c_str(), O_RDONLY | os::kOpenNonBlocking);
  if (fd < 0) {
    problem = "cannot read the command file " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxCommandFileSize;
  if (!ok) problem = "the command file " + path + " is not a regular file of at most 1 MiB";
  char buffer[4096];
  ssize_t got = 0;
  while (ok && (got = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text.size() > static_cast<std::size_t>(kMaxCommandFileSize)) {
      problem = "cannot read the command file " + path;
      ok = false;
    } else {
      text.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return ok;
}

void TrimRight(std::string& line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
}

}  // namespace

int CommandFile::Number(const std::string& key, int fallback) const {
  auto found = options.find(key);
  if (found == options.end() || found->second.empty()) return fallback;
  char* end = nullptr;
  long value = std::strtol(found->second.c_str(), &end, 10);
  return *end == '\0' ? static_cast<int>(value) : fallback;
}

std::string CommandFile::Text(const std::string& key, const std::string& fallback) const {
  auto found = options.find(key);
  return found == options.end() ? fallback : found->second;
}

bool ReadCommandFile(const std::string& path, CommandFile& command, std::string& problem) {
  std::string text;
  if (!ReadSmallFile(path, text, problem)) return false;
  std::istringstream file(text);
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    TrimRight(line);
    ++number;
    if (number == 1) {
      command.modelPath = line;
      continue;
    }
    if (number == 2 || line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
    const std::string inner = line.substr(1, line.size() - 2);
    const auto equals = inner.find('=');
    if (equals == std::string::npos) {
      if (command.mode.empty()) command.mode = inner;
    } else {
      command.options[inner.substr(0, equals)] = inner.substr(equals + 1);
    }
  }
  if (command.modelPath.empty()) {
    problem = "the command file " + path + " names no model file";
    return false;
  }
  if (command.mode.empty()) {
    problem = "the command file " + path + " names no mode";
    return false;
  }
  return true;
}
