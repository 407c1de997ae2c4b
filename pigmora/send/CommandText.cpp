#include "send/CommandText.h"

#include <cstdio>

#include "settings/ApplinkSettings.h"

namespace pigmora {

namespace {

const char* const kExportModeKeywords[kExportModeCount] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                                           "prim", "curv", "autopo", "uv",  "ref",        "retopo"};

// The lists the Options tab shows, in the same order; the command file carries words.
const char* const kTextureFileWords[] = {"TGA", "BMP", "PNG", "JPG"};
const char* const kResolutionWords[] = {"LOW-POLY", "MID-POLY"};
const char* const kDisplacementNormWords[] = {"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"};
const char* const kDisplacementFileWords[] = {"BMP", "TGA", "PNG", "TIF", "TIFF", "EXR"};
const char* const kDisplacementDepthWords[] = {"8-bits", "8-bits", "8-bits", "16-bits", "32-bits", "32-bits"};
static_assert(sizeof kDisplacementDepthWords == sizeof kDisplacementFileWords, "one depth per displacement type");

template <int N>
const char* WordAt(const char* const (&words)[N], int index) {
  return index >= 0 && index < N ? words[index] : words[0];
}

// A line carries the stored integer, or the word it selects when there is a word table.
struct OptionLine {
  const char* key;
  const char* setting;             // the setting the line reads (DisplDepth reads DisplTexExt)
  const char* (*word)(int index);  // null for lines that carry the integer
};

// The eighteen option lines in the order Pigmora reads them.
const OptionLine kOptionLines[] = {
    {"ExportColor", "ExportColor", nullptr},
    {"ExportSpecular", "ExportSpecular", nullptr},
    {"ExportSpecularColor", "ExportSpecularColor", nullptr},
    {"ExportEmissivePower", "ExportEmissivePower", nullptr},
    {"ExportEmissive", "ExportEmissive", nullptr},
    {"ExportNormalmap", "ExportNormalmap", nullptr},
    {"ColorFileExtension", "ColorFileExtension", ColorFileExtensionWord},
    {"SpecNormExtension", "SpecNormExtension", SpecNormExtensionWord},
    {"ExportDispl", "ExportDispl", nullptr},
    {"ExportResolution", "ExportResolution", ExportResolutionWord},
    {"DisplNorm", "DisplNorm", DisplNormWord},
    {"DisplTexExt", "DisplTexExt", DisplTexExtWord},
    {"DisplDepth", "DisplTexExt", DisplDepthWord},
    {"SkipImport", "SkipImport", nullptr},
    {"SkipExport", "SkipExport", nullptr},
    {"PickSourcePositions", "PickSourcePositions", nullptr},
    {"PickDepthFromLayer0", "PickDepthFromLayer0", nullptr},
    {"CoarseMesh", "CoarseMesh", nullptr},
};

// Every bracketed line is formatted here; snprintf keeps it inside.
constexpr int kLineBufferSize = 1024;

}  // namespace

const char* ExportModeKeyword(int modeIndex) {
  return modeIndex >= 0 && modeIndex < kExportModeCount ? kExportModeKeywords[modeIndex] : nullptr;
}

const char* ColorFileExtensionWord(int index) { return WordAt(kTextureFileWords, index); }
const char* SpecNormExtensionWord(int index) { return WordAt(kTextureFileWords, index); }
const char* ExportResolutionWord(int index) { return WordAt(kResolutionWords, index); }
const char* DisplNormWord(int index) { return WordAt(kDisplacementNormWords, index); }
const char* DisplTexExtWord(int index) { return WordAt(kDisplacementFileWords, index); }
const char* DisplDepthWord(int displTexExtIndex) { return WordAt(kDisplacementDepthWords, displTexExtIndex); }

String BuildCommandText(int modeIndex, const String& modelPath) {
  char line[kLineBufferSize];
  String text = modelPath;
  text += "\n";
  text += modelPath;
  text += "\n";
  const char* keyword = ExportModeKeyword(modeIndex);
  std::snprintf(line, sizeof line, "[%s]\n", keyword ? keyword : "");
  text += line;
  for (const OptionLine& option : kOptionLines) {
    const int stored = GetSettingValue(option.setting);
    if (option.word)
      std::snprintf(line, sizeof line, "[%s=%s]\n", option.key, option.word(stored));
    else
      std::snprintf(line, sizeof line, "[%s=%d]\n", option.key, stored);
    text += line;
  }
  return text;
}

}  // namespace pigmora
