#include "StagedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <common/OsFiles.h>
#include <common/SafeReplace.h>

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool StagedFiles::Stage(const std::string& target, std::string_view bytes, std::string& problem) {
  std::string reason;
  if (!safereplace::CanReplace(target, reason)) {
    problem = reason;
    return false;
  }
  // The name the platform's replacement uses, so that leftovers of a killed
  // writer are known as such.
  std::string temporary = safereplace::TemporaryPattern(target);
  const int fd = os::MakeTemporaryFile(temporary);
  if (fd < 0) {
    problem = "cannot write '" + target + "': " + std::strerror(errno);
    return false;
  }
  files_.push_back({temporary, target});
  // As a new file would be: the temporary file's own mode is private.
  chmod(temporary.c_str(), os::NewFileMode());
  const bool written = WriteAll(fd, bytes);
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    problem = "cannot write '" + target + "': " + std::strerror(written ? errno : writeError);
    return false;
  }
  return true;
}

bool StagedFiles::Publish(std::string& problem) {
  std::size_t done = 0;
  for (; done < files_.size(); ++done) {
    std::string reason;
    if (!safereplace::MoveOver(files_[done].temporary, files_[done].target, reason)) {
      problem = reason;
      break;
    }
  }
  files_.erase(files_.begin(), files_.begin() + static_cast<std::ptrdiff_t>(done));
  if (!files_.empty()) {
    Discard();
    return false;
  }
  return true;
}

void StagedFiles::Discard() {
  for (const Staged& file : files_) unlink(file.temporary.c_str());
  files_.clear();
}
