#pragma once

#include <fbxsdk.h>

namespace pigmora {

// What the last failed call of the context reports, beside its texts: which
// step failed and the SDK's own reason, for callers to word their messages.
struct FbxFailure {
  enum class Step {
    None,  // the last call succeeded
    CreateManager,
    CreateScene,
    ContextUnavailable,  // a call on a context that did not start
    InitializeExporter,
    Export,
    InitializeImporter,
    Import,
  };
  Step step = Step::None;
  int statusCode = 0;  // the SDK's status code, 0 where the SDK was not asked
  FbxString reason;    // the SDK's error string; empty where it gave none
};

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
  // Failures append to the error text. The version of the format goes to
  // the host's diagnostics (standard error), not to its script output.
  bool SaveFbxScene(const char* path, int writerFormat, FbxString& errorText);

  // Loads the file into the scene (the caller clears it first). Failures
  // append to, or for a password-protected file replace, the error text.
  bool LoadFbxScene(const char* path, FbxString& errorText);

  // What the last call that failed reported; Step::None after a call that succeeded.
  const FbxFailure& LastFailure() const { return failure_; }

  // Null until a successful start.
  FbxManager* Manager() const { return manager_; }
  FbxScene* Scene() const { return scene_; }

private:
  bool Ready(FbxString& errorText);
  void Fail(FbxFailure::Step step, const FbxStatus* status = nullptr);

  FbxManager* manager_ = nullptr;
  FbxScene* scene_ = nullptr;
  FbxFailure failure_;
};

}  // namespace pigmora
