#pragma once

namespace pigmora {

// Who asks for Pigmora's answer: host command 2 takes a complete pair at once;
// the auto-import timer leaves a pair alone while either file changed within
// the last second, and ignores a pair it could not delete until it changes.
enum class ReceiveTrigger { Command, Timer };

// Picks up Pigmora's answer from the exchange folder, imports it and deletes
// it. Returns 0 when there is nothing to pick up (or a receive is already
// running), 1 when an answer was processed (successfully or not).
int ReceiveModel(ReceiveTrigger trigger = ReceiveTrigger::Command);

}  // namespace pigmora
