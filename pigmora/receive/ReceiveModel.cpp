#include "receive/ReceiveModel.h"

#include <afx.h>
#include <afxwin.h>

#include <FileIO/FileStream.h>

#include "fbx/FbxContext.h"
#include "receive/AnswerPair.h"
#include "receive/ImportFbxModel.h"
#include "settings/ExchangeFolder.h"

namespace pigmora {

namespace {

constexpr std::int64_t kSettleNs = 1'000'000'000;
constexpr ULONGLONG kSettleMs = 1000;

void ShowMessage(const char* text, const char* caption, UINT type) {
  CWinThread* thread = AfxGetThread();
  CWnd* owner = thread ? thread->GetMainWnd() : nullptr;
  MessageBoxA(owner ? owner->GetSafeHwnd() : nullptr, text, caption, type);
}

void ShowError(const char* text) { ShowMessage(text, "Pigmora", MB_OK | MB_ICONERROR); }

// The timer takes a pair once neither file changed for a second: by the files'
// own times, or, when those are recent or odd, by watching the pair stay the
// same for a second of the message loop's clock.
bool HasSettled(const AnswerPairStamp& stamp, ReceiveMemory& state) {
  if (stamp.exportFile.ageNs >= kSettleNs && stamp.texturesFile.ageNs >= kSettleNs) return true;
  const ULONGLONG now = GetTickCount();
  if (!state.seen || *state.seen != stamp) {
    state.seen = stamp;
    state.seenSinceMs = now;
    return false;
  }
  return now - state.seenSinceMs >= kSettleMs;
}

String ReadFbxPath(const String& exportPath) {
  String fbxPath;
  FileStream stream;
  if (!stream.Open(exportPath, FileStream::Read)) {
    ShowError("Can't open 'export.txt' for reading");
    return fbxPath;
  }
  stream.ReadLine(fbxPath);
  stream.Close();
  fbxPath.TrimRight();
  return fbxPath;
}

bool FileExists(const String& path) {
  CFileStatus status;
  return !path.IsEmpty() && CFile::GetStatus(path.Get(), status) && !(status.m_attribute & CFile::directory);
}

bool RemoveFile(const String& path) {
  try {
    CFile::Remove(path.Get());
    return true;
  } catch (CFileException* error) {
    error->Delete();
    return false;
  }
}

class RunningFlag {
public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

private:
  bool& flag_;
};

}  // namespace

int ReceiveModel(ReceiveMemory& state, const ExchangeFolder& exchange, FbxContext& fbx, ReceiveTrigger trigger) {
  // A tick delivered inside one of this command's message boxes finds it running.
  if (state.running) return 0;
  const AnswerPairStamp stamp = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
  if (!stamp.Complete()) {
    state.seen.reset();
    return 0;
  }
  if (trigger == ReceiveTrigger::Timer) {
    if (state.undeletable && *state.undeletable == stamp) return 0;
    if (!HasSettled(stamp, state)) return 0;
  }
  state.seen.reset();
  state.undeletable.reset();
  RunningFlag running(state.running);

  const String fbxPath = ReadFbxPath(exchange.exportFile);
  if (!FileExists(fbxPath)) ShowError("Import: FBX file is not exists");
  String errorText;
  String notes;
  const bool imported = ImportFbxModel(fbx, fbxPath, exchange.texturesFile, errorText, notes);

  // Deleted whatever the outcome, so an answer is reported once.
  const bool exportRemoved = RemoveFile(exchange.exportFile);
  const bool texturesRemoved = RemoveFile(exchange.texturesFile);
  if (!imported) ShowError(errorText.Get());
  if (imported && !notes.IsEmpty()) ShowMessage(notes.Get(), "Info", MB_OK);
  if (!exportRemoved || !texturesRemoved) {
    state.undeletable = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
    String text = String("Can't delete '") + (exportRemoved ? "textures.txt" : "export.txt") +
                  "'; the automatic import leaves this answer alone until Pigmora writes a new one";
    ShowError(text.Get());
  }
  return 1;
}

}  // namespace pigmora
