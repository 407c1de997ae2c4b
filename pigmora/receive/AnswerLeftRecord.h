#pragma once

#include "files/ExchangeFolder.h"

namespace pigmora {

// An answer a receive took but could not remove (a read-only exchange folder)
// is recorded in the registry by its version: the host's status line then
// tells it as received rather than waiting, and the automatic import, in this
// session or a later one, leaves it alone until Pigmora writes a new one.
void RecordAnswerLeftInFolder(const ExchangeFolder& exchange);
// Whether the answer pair lying in the exchange folder is the one recorded.
bool IsAnswerLeftInFolder(const ExchangeFolder& exchange);

}  // namespace pigmora
