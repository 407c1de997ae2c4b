#pragma once

#include <FileIO/String.h>

namespace pigmora {

// The command file tells Pigmora what to do with the model: the model file
// path twice, the mode keyword and every texture and import option.

// The I/O page's mode buttons are 1001 to 1012; button 1001 + i sends mode i.
constexpr unsigned kFirstModeButton = 1001;
constexpr int kExportModeCount = 12;

// The keyword Pigmora knows a mode by; null for an index outside the table.
const char* ExportModeKeyword(int modeIndex);

// The word a list setting's stored index stands for. An index outside the
// table (only a hand-edited registry holds one) gives the table's first word.
const char* ColorFileExtensionWord(int index);
const char* SpecNormExtensionWord(int index);
const char* ExportResolutionWord(int index);
const char* DisplNormWord(int index);
const char* DisplTexExtWord(int index);
// The bit depth that belongs to a displacement file type.
const char* DisplDepthWord(int displTexExtIndex);

// The whole command file for a valid mode index, with the settings as they
// are now, each line ending in a single line feed.
String BuildCommandText(int modeIndex, const String& modelPath);

}  // namespace pigmora
