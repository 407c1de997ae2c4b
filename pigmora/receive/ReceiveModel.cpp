#include "receive/ReceiveModel.h"

#include <afx.h>
#include <afxwin.h>

#include <FileIO/FileStream.h>

#include "fbx/FbxContext.h"
#include "files/ExchangeFolder.h"
#include "receive/AnswerClaim.h"
#include "receive/AnswerPair.h"
#include "receive/AnswerTextFile.h"
#include "receive/ImportFbxModel.h"

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
bool HasSettled(const AnswerPairStamp& stamp, ReceiveMemory& memory) {
  if (stamp.exportFile.ageNs >= kSettleNs && stamp.texturesFile.ageNs >= kSettleNs) return true;
  const ULONGLONG now = GetTickCount();
  if (!memory.seen || *memory.seen != stamp) {
    memory.seen = stamp;
    memory.seenSinceMs = now;
    return false;
  }
  return now - memory.seenSinceMs >= kSettleMs;
}

String ReadFbxPath(const String& exportPath) {
  String fbxPath;
  AnswerTextFile file;
  if (!file.Open(exportPath, "export.txt") || (!file.ReadLine(fbxPath) && file.Failed())) {
    ShowError(file.ErrorText().Get());
    return String();
  }
  fbxPath.TrimRight();
  return fbxPath;
}

bool FileExists(const String& path) {
  CFileStatus status;
  return !path.IsEmpty() && CFile::GetStatus(path.Get(), status) && !(status.m_attribute & CFile::directory);
}

// Names the files of the pair that could not be deleted.
String UndeletableNames(const ClaimRelease& release) {
  if (!release.exportDeleted && !release.texturesDeleted) return "'export.txt' and 'textures.txt'";
  return release.exportDeleted ? "'textures.txt'" : "'export.txt'";
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

int ReceiveModel(ReceiveMemory& memory, const ExchangeFolder& exchange, FbxContext& fbx, CurrentObject& current,
                 ReceiveTrigger trigger) {
  // A tick delivered inside one of this command's message boxes finds it running.
  if (memory.running) return 0;
  const AnswerPairStamp stamp = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
  if (!stamp.Complete()) {
    memory.seen.reset();
    return 0;
  }
  if (trigger == ReceiveTrigger::Timer) {
    if (memory.undeletable && *memory.undeletable == stamp) return 0;
    if (!HasSettled(stamp, memory)) return 0;
  }
  memory.seen.reset();
  memory.undeletable.reset();
  AnswerClaim claim;
  // Another receive (another host watching the folder) took it first.
  if (ClaimAnswerPair(exchange.exportFile, exchange.texturesFile, claim) == ClaimResult::Gone) return 0;
  RunningFlag running(memory.running);

  const String fbxPath = ReadFbxPath(claim.exportFile);
  if (!FileExists(fbxPath)) ShowError("Import: FBX file is not exists");
  String errorText;
  String notes;
  const bool imported = ImportFbxModel(fbx, current, fbxPath, claim.texturesFile, errorText, notes);

  // Deleted whatever the outcome, so an answer is reported once.
  const ClaimRelease release = DeleteAnswerClaim(claim, exchange.exportFile, exchange.texturesFile);
  if (!imported) ShowError(errorText.Get());
  if (imported && !notes.IsEmpty()) ShowMessage(notes.Get(), "Info", MB_OK);
  if (!release.exportDeleted || !release.texturesDeleted) {
    memory.undeletable = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
    String text = String("Can't delete ") + UndeletableNames(release) +
                  "; the automatic import leaves this answer alone until Pigmora writes a new one";
    ShowError(text.Get());
  }
  return 1;
}

}  // namespace pigmora
