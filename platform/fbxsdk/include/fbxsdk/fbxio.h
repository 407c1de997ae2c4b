// FbxImporter and FbxExporter: read a file into a scene, write a scene to a file.
#pragma once

#include <vector>

#include "fbxobject.h"
#include "fbxstatus.h"

namespace fbxsdk {

class FbxDocument;
class FbxScene;
class FbxIOSettings;

class FBXSDK_DLL FbxExporter : public FbxObject {
  FBXSDK_OBJECT_FACTORY(FbxExporter)
  // Checks the writer index (-1 picks the native writer) and that the file can be created. The
  // binary writer compresses arrays, as other exporters do, unless the settings given (else the
  // manager's) turn kCompressArrays off.
  bool Initialize(const char* fileName, int fileFormat = -1, FbxIOSettings* settings = nullptr);
  // Writes the scene; the file appears complete or not at all.
  bool Export(FbxDocument* document, bool nonBlocking = false);
  FbxStatus& GetStatus() { return status_; }
  const char* GetFileName() const { return fileName_; }
  int GetFileFormat() const { return format_; }

  static constexpr const char* kCompressArrays = "Export|AdvOptGrp|Fbx|CompressArrays";

private:
  bool ExportScene(FbxScene* scene);

  FbxStatus status_;
  FbxString fileName_;
  int format_ = -1;
  bool compressArrays_ = true;
  bool ready_ = false;
};

class FBXSDK_DLL FbxImporter : public FbxObject {
  FBXSDK_OBJECT_FACTORY(FbxImporter)
  // Opens the file and reads its header: encoding and version. A version newer
  // than the library reads fails with FbxStatus::eInvalidFileVersion.
  bool Initialize(const char* fileName, int fileFormat = -1, FbxIOSettings* settings = nullptr);
  // The file's version as major, minor, revision (7500 is 7.5.0); zeros when unknown.
  void GetFileVersion(int& major, int& minor, int& revision) const;
  bool IsFBX() const { return isFbx_; }
  bool IsBinary() const { return isBinary_; }
  // Reads the file and adds its nodes under the scene's root.
  bool Import(FbxDocument* document, bool nonBlocking = false);
  // What the last import skipped (records of kinds this library does not read, sets without
  // values), each with where it was found. An import can succeed with warnings.
  int GetWarningCount() const { return static_cast<int>(warnings_.size()); }
  const char* GetWarning(int index) const;
  FbxStatus& GetStatus() { return status_; }
  const char* GetFileName() const { return fileName_; }

  // Versions this library reads.
  static constexpr int kOldestVersion = 6000;
  static constexpr int kNewestVersion = 7700;

private:
  bool InitializeFile(int fileFormat);
  bool ImportScene(FbxDocument* document);

  FbxStatus status_;
  FbxString fileName_;
  std::vector<FbxString> warnings_;
  int version_ = 0;
  bool isFbx_ = false;
  bool isBinary_ = false;
  bool ready_ = false;
};

}  // namespace fbxsdk
