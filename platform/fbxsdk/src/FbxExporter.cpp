#include "fbxsdk/fbxio.h"

#include <new>

#include "FbxObjectFactory.h"
#include "fbxsdk/fbxscene.h"
#include "io/OutputFile.h"
#include "io/RecordWriters.h"
#include "io/SceneWriter.h"

namespace fbxsdk {

FbxExporter::FbxExporter(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxExporter)

bool FbxExporter::Initialize(const char* fileName, int fileFormat, FbxIOSettings*) {
  mStatus.Clear();
  mReady = false;
  mFileName = fileName ? fileName : "";
  const FbxIOPluginRegistry* registry = GetFbxManager()->GetIOPluginRegistry();
  mFormat = fileFormat < 0 ? registry->GetNativeWriterFormat() : fileFormat;
  if (!registry->WriterIsFBX(mFormat)) {
    mStatus.SetCode(FbxStatus::eInvalidParameter, "There is no writer with index %d", fileFormat);
    return false;
  }
  std::string error;
  if (!io::CanCreate(mFileName.Buffer(), error)) {
    mStatus.SetCode(FbxStatus::eFailure, "%s", error.c_str());
    return false;
  }
  mReady = true;
  return true;
}

bool FbxExporter::Export(FbxDocument* document, bool) {
  try {
    return ExportScene(FbxCast<FbxScene>(document));
  } catch (const std::bad_alloc&) {
    // Nothing may leave the library as an exception.
    mStatus.SetCode(FbxStatus::eInsufficientMemory, "Not enough memory to write '%s'", mFileName.Buffer());
    return false;
  }
}

bool FbxExporter::ExportScene(FbxScene* scene) {
  if (!mReady) {
    mStatus.SetCode(FbxStatus::eFailure, "The exporter was not initialized");
    return false;
  }
  if (!scene) {
    mStatus.SetCode(FbxStatus::eInvalidParameter, "Nothing to export: no scene given");
    return false;
  }
  bool binary = mFormat == FbxIOPluginRegistry::eBinaryWriter;
  io::FbxRecord file = io::BuildFileRecords(*scene, binary);
  std::string error;
  io::OutputFile out;
  if (!out.Open(mFileName.Buffer(), error)) {
    mStatus.SetCode(FbxStatus::eFailure, "%s", error.c_str());
    return false;
  }
  bool written = binary ? io::WriteBinaryRecords(file, io::kWrittenVersion, out)
                        : io::WriteAsciiRecords(file, io::kWrittenVersion, out);
  if (!out.Commit(error) || !written) {
    mStatus.SetCode(FbxStatus::eFailure, "%s", error.empty() ? "Writing the file failed" : error.c_str());
    return false;
  }
  mStatus.Clear();
  return true;
}

}  // namespace fbxsdk
