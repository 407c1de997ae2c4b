#include "AnswerFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <common/ExchangeNames.h>
#include <common/OsFiles.h>
#include <common/SafeReplace.h>

AnswerLock::~AnswerLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool AnswerLock::Acquire(const std::string& answerFolder, std::string& problem) {
  std::error_code error;
  std::filesystem::create_directories(answerFolder, error);
  if (error) {
    problem = "cannot create " + answerFolder + ": " + error.message();
    return false;
  }
  const std::string path = answerFolder + "/.answer.lock";
  fd_ = os::OpenFile(path.c_str(), O_RDWR | O_CREAT | os::kOpenNoFollow, 0666);
  if (fd_ < 0) {
    problem = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  if (os::LockFile(fd_, true) != 0) {
    problem = errno == EWOULDBLOCK ? "another pigmora-peer is writing an answer in " + answerFolder
                                   : "cannot lock " + path + ": " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

bool RetirePreviousAnswer(const std::string& exchangeFolder, std::string& problem) {
  for (const char* name : {exchange::kAnswerFile, exchange::kTextureListFile}) {
    const std::string path = exchangeFolder + name;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      problem = "cannot remove the previous answer's " + path + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

void RemoveLeftoverTemporaries(const std::string& exchangeFolder, const std::string& answerFolder) {
  // The plug-in writes in the exchange folder too: only the peer's own files there.
  safereplace::RemoveStaleTemporaries(exchangeFolder + exchange::kTextureListFile, 0);
  safereplace::RemoveStaleTemporaries(exchangeFolder + exchange::kAnswerFile, 0);
  std::error_code error;
  for (auto entry = std::filesystem::recursive_directory_iterator(answerFolder, error);
       !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
    std::error_code ignored;
    if (entry->is_regular_file(ignored) && !entry->is_symlink(ignored) &&
        safereplace::IsTemporaryName(entry->path().filename().string()))
      std::filesystem::remove(entry->path(), ignored);
  }
}
