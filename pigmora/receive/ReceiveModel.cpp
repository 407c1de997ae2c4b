#include "receive/ReceiveModel.h"

#include <afx.h>
#include <afxwin.h>
#include <chrono>
#include <string>

#include <FileIO/FileStream.h>
#include <common/ExchangeNames.h>

#include "fbx/FbxContext.h"
#include "files/ExchangeFolder.h"
#include "receive/AnswerClaim.h"
#include "receive/AnswerLeftRecord.h"
#include "receive/AnswerPair.h"
#include "receive/AnswerTextFile.h"
#include "receive/ImportFbxModel.h"

namespace pigmora {

namespace {

// How long neither file of a pair may change before the timer takes it.
constexpr std::chrono::seconds kSettle{1};

// The timer takes a pair once neither file changed for a second: by the files'
// own times, or, when those are recent or odd, by watching the pair stay the
// same for a second of the message loop's clock.
bool HasSettled(const AnswerPairStamp& stamp, ReceiveMemory& memory) {
  if (stamp.exportFile.ageNs >= std::chrono::nanoseconds(kSettle).count() &&
      stamp.texturesFile.ageNs >= std::chrono::nanoseconds(kSettle).count())
    return true;
  const ULONGLONG now = GetTickCount();
  if (!memory.seen || *memory.seen != stamp) {
    memory.seen = stamp;
    memory.seenSinceMs = now;
    return false;
  }
  return now - memory.seenSinceMs >= static_cast<ULONGLONG>(std::chrono::milliseconds(kSettle).count());
}

String ReadFbxPath(const String& exportPath, String& errorText) {
  String fbxPath;
  AnswerTextFile file;
  if (!file.Open(exportPath, exchange::kAnswerFile) || (!file.ReadLine(fbxPath) && file.Failed())) {
    errorText = file.ErrorText();
    return String();
  }
  fbxPath.TrimRight();
  if (fbxPath.IsEmpty()) {
    errorText = String("'") + exchange::kAnswerFile + "' names no FBX file";
    return fbxPath;
  }
  return PathNamedBy(exportPath, fbxPath);
}

// Something is there: a folder or a FIFO in the FBX file's place is for the
// FBX reader to name, not "not exists".
bool Exists(const String& path) {
  CFileStatus status;
  return CFile::GetStatus(path.Get(), status);
}

// Names the files of the pair that could not be deleted.
String UndeletableNames(const ClaimRelease& release) {
  if (!release.exportDeleted && !release.texturesDeleted) return "'export.txt' and 'textures.txt'";
  return release.exportDeleted ? "'textures.txt'" : "'export.txt'";
}

// Reads the claimed answer, imports it and deletes it.
void ImportClaimedAnswer(ReceiveMemory& memory, const ExchangeFolder& exchange, FbxContext& fbx, CurrentObject& current,
                         const AnswerClaim& claim, ReceiveOutcome& outcome) {
  outcome.processed = true;

  // One cause, one message: what cannot be read names no FBX file, and a
  // missing FBX file leaves nothing to import.
  const String fbxPath = ReadFbxPath(claim.exportFile, outcome.answerFileError);
  if (outcome.answerFileError.IsEmpty()) outcome.fbxFileMissing = !Exists(fbxPath);
  bool imagesNotKept = false;
  if (outcome.answerFileError.IsEmpty() && !outcome.fbxFileMissing)
    outcome.imported = ImportFbxModel(fbx, current, fbxPath, claim.texturesFile, exchange.receivedImagesDir,
                                      outcome.errorText, outcome.notes, imagesNotKept);
  if (imagesNotKept) {
    // A sound answer the disk had no room for stays, for an import once there is; the timer leaves it until then.
    ReturnAnswerClaim(claim, exchange.exportFile, exchange.texturesFile);
    memory.undeletable = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
    outcome.errorText += "\nThe answer stays in the exchange folder: import it again once there is room.";
    return;
  }

  // Deleted whatever else the outcome, so an answer is reported once.
  const ClaimRelease release = DeleteAnswerClaim(claim, exchange.exportFile, exchange.texturesFile);
  if (!release.exportDeleted || !release.texturesDeleted) {
    memory.undeletable = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
    RecordAnswerLeftInFolder(exchange);
    outcome.undeletableText = String(outcome.imported ? "The model was received, but can't delete " : "Can't delete ") +
                              UndeletableNames(release) +
                              "; the automatic import leaves this answer alone until Pigmora writes a new one";
  }
}

}  // namespace

ReceiveOutcome ReceiveModel(ReceiveMemory& memory, const ExchangeFolder& exchange, FbxContext& fbx,
                            CurrentObject& current, ReceiveTrigger trigger) {
  ReceiveOutcome outcome;
  AnswerClaim claim;
  // An answer a stopped receive had claimed is older than any under its own names.
  if (TakeOverLeftClaim(exchange.exchangeDir, memory.claimNames, claim)) {
    ImportClaimedAnswer(memory, exchange, fbx, current, claim, outcome);
    return outcome;
  }
  const AnswerPairStamp stamp = StampAnswerPair(exchange.exportFile, exchange.texturesFile);
  if (!stamp.Complete()) {
    memory.seen.reset();
    return outcome;
  }
  if (trigger == ReceiveTrigger::Timer) {
    if ((memory.undeletable && *memory.undeletable == stamp) || IsAnswerLeftInFolder(exchange)) return outcome;
    if (!HasSettled(stamp, memory)) return outcome;
  }
  memory.seen.reset();
  memory.undeletable.reset();
  std::string busyName;
  switch (ClaimAnswerPair(exchange.exportFile, exchange.texturesFile, memory.claimNames, claim, &busyName)) {
    case ClaimResult::Gone: return outcome;  // another receive (another host watching the folder) took it first
    case ClaimResult::Busy:
      // Untouched: the timer tries again on its next tick.
      outcome.busyText = String("Pigmora is still writing '") + busyName.c_str() +
                         "'; its answer stays in the exchange folder until it is done";
      return outcome;
    case ClaimResult::Taken: break;
  }
  ImportClaimedAnswer(memory, exchange, fbx, current, claim, outcome);
  return outcome;
}

String ReceiveOutcome::ProblemText() const {
  String problem;
  if (!answerFileError.IsEmpty())
    problem = answerFileError;
  else if (fbxFileMissing)
    problem = "Import: FBX file is not exists";
  else if (!imported)
    problem = errorText.IsEmpty() ? String("The answer from Pigmora could not be imported") : errorText;
  if (!undeletableText.IsEmpty()) problem = problem.IsEmpty() ? undeletableText : problem + "\n" + undeletableText;
  return problem;
}

}  // namespace pigmora
