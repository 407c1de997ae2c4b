#pragma once

#include <FileIO/String.h>

#include "common/ExchangeNames.h"

namespace pigmora {

class ApplinkSettings;

// The command file tells Pigmora what to do with the model: the model file
// path twice, the mode keyword and every texture and import option.

// The modes, numbered as the I/O page's buttons are ordered.
constexpr int kExportModeCount = exchange::kExportModeCount;

// The keyword Pigmora knows a mode by; null for an index outside the table.
const char* ExportModeKeyword(int modeIndex);

// The whole command file for a valid mode index, with the settings as they
// are now, each line ending in a single line feed. A list option carries the
// word of its entry (the first entry's for a stored index outside the list).
String BuildCommandText(const ApplinkSettings& settings, int modeIndex, const String& modelPath);

}  // namespace pigmora
