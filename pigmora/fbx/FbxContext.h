#pragma once

#include <fbxsdk.h>

namespace pigmora {

// The plug-in's one FBX manager, I/O settings object and scene, used by send
// and receive. The manager, and with it every FBX object made through it,
// goes with the context.
class FbxContext {
public:
  FbxContext() = default;
  ~FbxContext();
  FbxContext(const FbxContext&) = delete;
  FbxContext& operator=(const FbxContext&) = delete;

  // Creates manager, I/O settings and scene. On failure the error text is
  // replaced by the reason and false is returned.
  bool InitFbxContext(FbxString& errorText);

  // Saves the scene with the writer at writerFormat; an index that names no
  // writer picks the first FBX writer whose description says "ascii".
  // Failures append to the error text.
  bool SaveFbxScene(const char* path, int writerFormat, FbxString& errorText);

  // Loads the file into the scene (the caller clears it first). Failures
  // append to, or for a password-protected file replace, the error text.
  bool LoadFbxScene(const char* path, FbxString& errorText);

  // Null until a successful start.
  FbxManager* Manager() const { return manager_; }
  FbxScene* Scene() const { return scene_; }

private:
  bool Ready(FbxString& errorText) const;

  FbxManager* manager_ = nullptr;
  FbxScene* scene_ = nullptr;
};

}  // namespace pigmora
