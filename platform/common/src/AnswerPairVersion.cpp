#include "common/AnswerPairVersion.h"

#include <sys/stat.h>

#include "common/ExchangeNames.h"
#include "common/OsFiles.h"

namespace exchange {

namespace {

bool AppendFileVersion(const std::string& path, std::string& version) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  version +=
      std::to_string(static_cast<long long>(info.st_size)) + ":" + std::to_string(os::ModifiedNanoseconds(info)) + " ";
  return true;
}

}  // namespace

std::string AnswerPairVersion(const std::string& folder) {
  std::string version;
  if (!AppendFileVersion(folder + kAnswerFile, version) || !AppendFileVersion(folder + kTextureListFile, version))
    return std::string();
  version.pop_back();
  return version;
}

}  // namespace exchange
