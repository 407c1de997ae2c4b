#include "fbxsdk/fbxio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "FbxObjectFactory.h"
#include "fbxsdk/fbxscene.h"
#include "io/FbxFileReader.h"
#include "io/FileContents.h"

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
  ready_ = false;
  isFbx_ = false;
  isBinary_ = false;
  version_ = 0;
  fileName_ = fileName ? fileName : "";
  if (fileFormat > 0) {
    status_.SetCode(FbxStatus::eInvalidParameter, "There is no reader with index %d", fileFormat);
    return false;
  }
  std::FILE* file = std::fopen(fileName_.Buffer(), "rb");
  if (!file) {
    status_.SetCode(FbxStatus::eFailure, "Cannot open the file '%s'", fileName_.Buffer());
    return false;
  }
  std::vector<uint8_t> head(size_t(1) << 16);
  head.resize(std::fread(head.data(), 1, head.size(), file));
  std::fclose(file);

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
  major = version_ / 1000;
  minor = version_ / 100 % 10;
  revision = version_ % 100;
}

bool FbxImporter::Import(FbxDocument* document, bool) {
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
  bool ok = false;
  try {
    ok = io::ReadFbxMemory(contents.Data(), contents.Size(), *scene, error,
                           [&contents](size_t consumed) { contents.ReleaseBefore(consumed); });
  } catch (const std::bad_alloc&) {
    // Nothing may leave the library as an exception; a huge file is a status like any other.
    status_.SetCode(FbxStatus::eInsufficientMemory, "Not enough memory to read '%s'", fileName_.Buffer());
    return false;
  }
  if (!ok) {
    status_.SetCode(FbxStatus::eInvalidFile, "'%s': %s", fileName_.Buffer(), error.c_str());
    return false;
  }
  status_.Clear();
  return true;
}

}  // namespace fbxsdk
