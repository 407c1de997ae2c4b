#pragma once

#include <cstdint>
#include <optional>

#include <FileIO/String.h>

#include "receive/AnswerClaim.h"
#include "receive/AnswerPair.h"

namespace pigmora {

class CurrentObject;
struct ExchangeFolder;
class FbxContext;

// Who asks for Pigmora's answer: host command 2 takes a complete pair at once;
// the auto-import timer leaves a pair alone while either file changed within
// the last second, and ignores a pair it could not delete until it changes.
enum class ReceiveTrigger { Command, Timer };

// What the receive remembers between runs, kept by the plug-in's state.
struct ReceiveMemory {
  // Set by the entry point while a receive and its boxes run.
  bool running = false;
  // A pair this host left in the folder (it could not be deleted, or its images
  // found no room): the timer leaves it alone until it changes. A pair that
  // was received is also recorded in the registry, for later sessions; this
  // stamp still holds when the registry cannot be written.
  std::optional<AnswerPairStamp> undeletable;
  // The pair as the timer last saw it, and since when (framework clock, ms).
  std::optional<AnswerPairStamp> seen;
  std::uint64_t seenSinceMs = 0;
  // The names this host's claims take.
  ClaimNames claimNames;
};

// What one receive did, for the entry point to tell the user: texts that are
// empty say nothing. The receive stops at the first cause it meets, so at most
// one of the three failures below is set.
struct ReceiveOutcome {
  // False when there was nothing to pick up (or another receive took it).
  bool processed = false;
  // Why an answer that is there was left for later: its writer still holds a file of it.
  String busyText;
  // Why the answer's first file could not be read.
  String answerFileError;
  // The FBX file the answer names does not exist.
  bool fbxFileMissing = false;
  // Whether the model was merged; if not, why.
  bool imported = false;
  String errorText;
  // What had to be left out of a merged model, one line each.
  String notes;
  // Which of the answer's files could not be deleted, and what follows from it.
  String undeletableText;

  // The result of host command 2: 1 when an answer was processed (successfully or not), else 0.
  int Result() const { return processed ? 1 : 0; }
  // What went wrong, for one box: why the answer was not received, then which
  // of its files stayed behind; empty when nothing did.
  String ProblemText() const;
};

// Picks up Pigmora's answer from the exchange folder, imports it through the
// FBX context and deletes it. A model it replaces takes the current host
// object with it. The caller keeps memory.running set while it runs and tells
// the user what happened.
ReceiveOutcome ReceiveModel(ReceiveMemory& memory, const ExchangeFolder& exchange, FbxContext& fbx,
                            CurrentObject& current, ReceiveTrigger trigger = ReceiveTrigger::Command);

}  // namespace pigmora
