#pragma once

#include <cstdint>
#include <optional>

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
  bool running = false;
  // A pair that could not be deleted: the timer leaves it alone until it changes.
  std::optional<AnswerPairStamp> undeletable;
  // The pair as the timer last saw it, and since when (framework clock, ms).
  std::optional<AnswerPairStamp> seen;
  std::uint64_t seenSinceMs = 0;
};

// Picks up Pigmora's answer from the exchange folder, imports it through the
// FBX context and deletes it. A model it replaces takes the current host
// object with it. Returns 0 when there is nothing to pick up (or
// a receive is already running), 1 when an answer was processed (successfully
// or not).
int ReceiveModel(ReceiveMemory& memory, const ExchangeFolder& exchange, FbxContext& fbx, CurrentObject& current,
                 ReceiveTrigger trigger = ReceiveTrigger::Command);

}  // namespace pigmora
