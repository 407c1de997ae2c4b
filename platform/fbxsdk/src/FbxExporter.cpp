#include "fbxsdk/fbxio.h"

#include "FbxObjectFactory.h"
#include "StatusOnFailure.h"
#include "fbxsdk/fbxscene.h"
#include "io/OutputFile.h"
#include "io/RecordWriters.h"
#include "io/SceneWriter.h"

namespace fbxsdk {

FbxExporter::FbxExporter(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxExporter)

bool FbxExporter::Initialize(const char* fileName, int fileFormat, FbxIOSettings* settings) {
  status_.Clear();
  if (!settings) settings = GetFbxManager()->GetIOSettings();
  compressArrays_ = settings ? settings->GetBoolProp(kCompressArrays, true) : true;
  ready_ = false;
  fileName_ = fileName ? fileName : "";
  const FbxIOPluginRegistry* registry = GetFbxManager()->GetIOPluginRegistry();
  format_ = fileFormat < 0 ? registry->GetNativeWriterFormat() : fileFormat;
  if (!registry->WriterIsFBX(format_)) {
    status_.SetCode(FbxStatus::eInvalidParameter, "There is no writer with index %d", fileFormat);
    return false;
  }
  ready_ = GuardedEntry(
      false,
      [&] {
        std::string error;
        if (io::CanCreate(fileName_.Buffer(), error)) return true;
        status_.SetCode(FbxStatus::eFailure, "%s", error.c_str());
        return false;
      },
      StatusOnFailure(status_, "write", fileName_.Buffer()));
  return ready_;
}

bool FbxExporter::Export(FbxDocument* document, bool) {
  return GuardedEntry(
      false, [&] { return ExportScene(FbxCast<FbxScene>(document)); },
      StatusOnFailure(status_, "write", fileName_.Buffer()));
}

bool FbxExporter::ExportScene(FbxScene* scene) {
  if (!ready_) {
    status_.SetCode(FbxStatus::eFailure, "The exporter was not initialized");
    return false;
  }
  if (!scene) {
    status_.SetCode(FbxStatus::eInvalidParameter, "Nothing to export: no scene given");
    return false;
  }
  bool binary = format_ == FbxIOPluginRegistry::eBinaryWriter;
  io::RecordSource records = io::SceneRecords(*scene, binary);
  std::string error;
  io::OutputFile out;
  if (!out.Open(fileName_.Buffer(), error)) {
    status_.SetCode(FbxStatus::eFailure, "%s", error.c_str());
    return false;
  }
  bool written = binary ? io::WriteBinaryRecords(records, io::kWrittenVersion, out, compressArrays_)
                        : io::WriteAsciiRecords(records, io::kWrittenVersion, out);
  if (!out.Commit(error) || !written) {
    status_.SetCode(FbxStatus::eFailure, "%s", error.empty() ? "Writing the file failed" : error.c_str());
    return false;
  }
  status_.Clear();
  return true;
}

}  // namespace fbxsdk
