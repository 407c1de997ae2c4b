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
  mStatus.Clear();
  mReady = false;
  mIsFbx = false;
  mIsBinary = false;
  mVersion = 0;
  mFileName = fileName ? fileName : "";
  if (fileFormat > 0) {
    mStatus.SetCode(FbxStatus::eInvalidParameter, "There is no reader with index %d", fileFormat);
    return false;
  }
  std::FILE* file = std::fopen(mFileName.Buffer(), "rb");
  if (!file) {
    mStatus.SetCode(FbxStatus::eFailure, "Cannot open the file '%s'", mFileName.Buffer());
    return false;
  }
  std::vector<uint8_t> head(size_t(1) << 16);
  head.resize(std::fread(head.data(), 1, head.size(), file));
  std::fclose(file);

  io::FileHeader header = io::SniffHeader(head.data(), head.size());
  mIsFbx = header.fbx;
  mIsBinary = header.binary;
  mVersion = header.version;
  if (!header.fbx) {
    mStatus.SetCode(FbxStatus::eInvalidFile, "The file '%s' is not an FBX file", mFileName.Buffer());
    return false;
  }
  std::string problem = io::VersionProblem(header.version);
  if (!problem.empty()) {
    mStatus.SetCode(FbxStatus::eInvalidFileVersion, "The %s", problem.c_str());
    return false;
  }
  mReady = true;
  return true;
}

void FbxImporter::GetFileVersion(int& major, int& minor, int& revision) const {
  major = mVersion / 1000;
  minor = mVersion / 100 % 10;
  revision = mVersion % 100;
}

bool FbxImporter::Import(FbxDocument* document, bool) {
  auto* scene = FbxCast<FbxScene>(document);
  if (!mReady) {
    mStatus.SetCode(FbxStatus::eFailure, "The importer was not initialized");
    return false;
  }
  if (!scene) {
    mStatus.SetCode(FbxStatus::eInvalidParameter, "Nothing to import into: no scene given");
    return false;
  }
  if (PasswordProtected(mFileName.Buffer())) {
    mStatus.SetCode(FbxStatus::ePasswordError, "The file '%s' is protected by a password", mFileName.Buffer());
    return false;
  }
  io::FileContents contents;
  std::string error;
  if (!contents.Open(mFileName.Buffer(), error)) {
    mStatus.SetCode(FbxStatus::eFailure, "%s", error.c_str());
    return false;
  }
  bool ok = false;
  try {
    ok = io::ReadFbxMemory(contents.Data(), contents.Size(), *scene, error,
                           [&contents](size_t consumed) { contents.ReleaseBefore(consumed); });
  } catch (const std::bad_alloc&) {
    // Nothing may leave the library as an exception; a huge file is a status like any other.
    mStatus.SetCode(FbxStatus::eInsufficientMemory, "Not enough memory to read '%s'", mFileName.Buffer());
    return false;
  }
  if (!ok) {
    mStatus.SetCode(FbxStatus::eInvalidFile, "'%s': %s", mFileName.Buffer(), error.c_str());
    return false;
  }
  mStatus.Clear();
  return true;
}

}  // namespace fbxsdk
