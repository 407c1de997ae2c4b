#include "send/ExportModelToFbx.h"

#include <Plugin/HModelCache.h>
#include <fbxsdk.h>

#include <new>
#include <string>

#include "fbx/FbxContext.h"
#include "send/ExportJob.h"
#include "send/FbxModelNode.h"

namespace pigmora {

namespace {

constexpr char kSaveFailed[] = "An error occurred while saving the FBX scene";
constexpr char kAsciiWriter[] = "FBX ascii (*.fbx)";

void AttachDocumentInfo(FbxManager* manager, FbxScene* scene, const String& title) {
  FbxDocumentInfo* info = FbxDocumentInfo::Create(manager, "SceneInfo");
  info->mTitle = title.Get();
  info->mAuthor = "Pigmora applink for Hash Animator";
  info->mRevision = "rev. 1.0";
  scene->SetDocumentInfo(info);
}

// The documented sentence, then which file and the writer's own reason.
String SaveFailure(const String& path, const FbxFailure& failure) {
  std::string text = std::string(kSaveFailed) + " to '" + (path.Get() ? path.Get() : "") + "'";
  const std::string reason = failure.reason.Buffer() ? failure.reason.Buffer() : "";
  // The first line only: the rest of a long account is not for the user.
  const std::string firstLine = reason.substr(0, reason.find('\n'));
  if (!firstLine.empty()) text += ": " + firstLine;
  return String(text.c_str());
}

bool WriteJob(FbxContext& fbx, ExportJob& job, String& errorText) {
  FbxManager* manager = fbx.Manager();
  FbxScene* scene = fbx.Scene();
  if (!manager || !scene) {
    errorText = kSaveFailed;
    return false;
  }
  FbxNode* node = BuildFbxNode(manager, job);
  // The mesh holds all the writer needs: the host's polygon model can go before the file takes its memory.
  job.exportModel.reset();
  // The new node is in no scene yet, so it survives; what the last send or receive left goes.
  scene->Clear();
  AttachDocumentInfo(manager, scene, job.modelName);
  scene->GetRootNode()->AddChild(node);

  const int writer = manager->GetIOPluginRegistry()->FindWriterIDByDescription(kAsciiWriter);
  FbxString saveError;  // the context's own texts, not for the user
  if (!fbx.SaveFbxScene(job.filePath.Get(), writer, saveError)) {
    errorText = SaveFailure(job.filePath, fbx.LastFailure());
    return false;
  }
  return true;
}

}  // namespace

bool ExportModelToFbx(FbxContext& fbx, HModelCache* model, const String& path, String& errorText) {
  try {
    // The job releases the host's polygon model on every way out.
    ExportJob job = BuildExportJob(model, path);
    if (!job.built) {
      errorText = job.errorText;
      return false;
    }
    return WriteJob(fbx, job, errorText);
  } catch (const std::bad_alloc&) {
    errorText = "Not enough memory to send the model to Pigmora";
    return false;
  }
}

}  // namespace pigmora
