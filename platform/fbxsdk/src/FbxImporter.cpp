#include "fbxsdk/fbxio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FbxObjectFactory.h"
#include "StatusOnFailure.h"
#include "common/OsFiles.h"
#include "fbxsdk/fbxscene.h"
#include "io/FbxFileReader.h"
#include "io/FileContents.h"
#include "io/FileVersion.h"

namespace fbxsdk {

namespace {
// Test seam: an import of exactly this path fails as if the file were password protected.
constexpr const char* kPasswordSeam = "FBXSDK_TEST_PASSWORD_FILE";

bool PasswordProtected(const char* path) {
  const char* protectedPath = std::getenv(kPasswordSeam);
  return protectedPath && *protectedPath && std::strcmp(protectedPath, path) == 0;
}
}  // namespace

FbxImporter::FbxImporter(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxImporter)

bool FbxImporter::Initialize(const char* fileName, int fileFormat, FbxIOSettings*) {
  status_.Clear();
  warnings_.clear();
  ready_ = false;
  isFbx_ = false;
  isBinary_ = false;
  version_ = 0;
  fileName_ = fileName ? fileName : "";
  return GuardedEntry(
      false, [&] { return InitializeFile(fileFormat); }, StatusOnFailure(status_, "read", fileName_.Buffer()));
}

bool FbxImporter::InitializeFile(int fileFormat) {
  if (fileFormat > 0) {
    status_.SetCode(FbxStatus::eInvalidParameter, "There is no reader with index %d", fileFormat);
    return false;
  }
  // Opened without blocking and checked before reading: a FIFO or device would wait forever.
  int fd = os::OpenFile(fileName_.Buffer(), O_RDONLY | os::kOpenNonBlocking);
  struct stat info {};
  if (fd < 0 && errno != EISDIR) {
    status_.SetCode(FbxStatus::eFailure, "Cannot open the file '%s': %s", fileName_.Buffer(), std::strerror(errno));
    return false;
  }
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = fd < 0 || S_ISDIR(info.st_mode);
    if (fd >= 0) ::close(fd);
    status_.SetCode(FbxStatus::eFailure,
                    folder ? "'%s' is a directory, not an FBX file"
                           : "'%s' is not a regular file (a device, FIFO or socket); it is not read",
                    fileName_.Buffer());
    return false;
  }
  std::vector<uint8_t> head(size_t(1) << 16);
  os::MakeBlocking(fd);
  const auto got = ::read(fd, head.data(), static_cast<unsigned>(head.size()));
  ::close(fd);
  head.resize(got > 0 ? static_cast<size_t>(got) : 0);

  io::FileHeader header = io::SniffHeader(head.data(), head.size());
  isFbx_ = header.fbx;
  isBinary_ = header.binary;
  version_ = header.version;
  if (!header.fbx) {
    status_.SetCode(FbxStatus::eInvalidFile, "The file '%s' is not an FBX file", fileName_.Buffer());
    return false;
  }
  std::string problem = io::VersionProblem(header.version);
  if (!problem.empty()) {
    status_.SetCode(FbxStatus::eInvalidFileVersion, "The %s", problem.c_str());
    return false;
  }
  ready_ = true;
  return true;
}

void FbxImporter::GetFileVersion(int& major, int& minor, int& revision) const {
  io::VersionParts parts = io::SplitVersion(version_);
  major = parts.major;
  minor = parts.minor;
  revision = parts.revision;
}

const char* FbxImporter::GetWarning(int index) const {
  return index >= 0 && index < GetWarningCount() ? warnings_[static_cast<size_t>(index)].Buffer() : "";
}

bool FbxImporter::Import(FbxDocument* document, bool) {
  warnings_.clear();
  return GuardedEntry(
      false, [&] { return ImportScene(document); }, StatusOnFailure(status_, "read", fileName_.Buffer()));
}

bool FbxImporter::ImportScene(FbxDocument* document) {
  auto* scene = FbxCast<FbxScene>(document);
  if (!ready_) {
    status_.SetCode(FbxStatus::eFailure, "The importer was not initialized");
    return false;
  }
  if (!scene) {
    status_.SetCode(FbxStatus::eInvalidParameter, "Nothing to import into: no scene given");
    return false;
  }
  if (PasswordProtected(fileName_.Buffer())) {
    status_.SetCode(FbxStatus::ePasswordError, "The file '%s' is protected by a password", fileName_.Buffer());
    return false;
  }
  io::FileContents contents;
  std::string error;
  if (!contents.Open(fileName_.Buffer(), error)) {
    status_.SetCode(FbxStatus::eFailure, "%s", error.c_str());
    return false;
  }
  io::ReadWarnings warnings;
  io::ReadOptions options;
  options.release = [&contents](size_t consumed) { contents.ReleaseBefore(consumed); };
  options.warnings = &warnings;
  bool ok = io::ReadFbxMemory(contents.Data(), contents.Size(), *scene, error, options);
  for (const std::string& warning : warnings.List()) warnings_.emplace_back(warning.c_str());
  if (!ok) {
    status_.SetCode(FbxStatus::eInvalidFile, "'%s': %s", fileName_.Buffer(), error.c_str());
    return false;
  }
  status_.Clear();
  return true;
}

}  // namespace fbxsdk
