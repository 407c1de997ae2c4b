#include "send/CommandText.h"

#include <cstdio>

#include "shell/ApplinkSettings.h"

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

// How an option line is written: the stored integer, or the word it selects.
enum class OptionForm { Value, Word };

struct OptionLine {
  const char* key;
  OptionForm form;
  const char* setting;             // the setting the line reads (DisplDepth reads DisplTexExt)
  const char* (*word)(int index);  // for word lines
};

// The eighteen option lines in the order Pigmora reads them.
const OptionLine kOptionLines[] = {
    {"ExportColor", OptionForm::Value, "ExportColor", nullptr},
    {"ExportSpecular", OptionForm::Value, "ExportSpecular", nullptr},
    {"ExportSpecularColor", OptionForm::Value, "ExportSpecularColor", nullptr},
    {"ExportEmissivePower", OptionForm::Value, "ExportEmissivePower", nullptr},
    {"ExportEmissive", OptionForm::Value, "ExportEmissive", nullptr},
    {"ExportNormalmap", OptionForm::Value, "ExportNormalmap", nullptr},
    {"ColorFileExtension", OptionForm::Word, "ColorFileExtension", ColorFileExtensionWord},
    {"SpecNormExtension", OptionForm::Word, "SpecNormExtension", SpecNormExtensionWord},
    {"ExportDispl", OptionForm::Value, "ExportDispl", nullptr},
    {"ExportResolution", OptionForm::Word, "ExportResolution", ExportResolutionWord},
    {"DisplNorm", OptionForm::Word, "DisplNorm", DisplNormWord},
    {"DisplTexExt", OptionForm::Word, "DisplTexExt", DisplTexExtWord},
    {"DisplDepth", OptionForm::Word, "DisplTexExt", DisplDepthWord},
    {"SkipImport", OptionForm::Value, "SkipImport", nullptr},
    {"SkipExport", OptionForm::Value, "SkipExport", nullptr},
    {"PickSourcePositions", OptionForm::Value, "PickSourcePositions", nullptr},
    {"PickDepthFromLayer0", OptionForm::Value, "PickDepthFromLayer0", nullptr},
    {"CoarseMesh", OptionForm::Value, "CoarseMesh", nullptr},
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
    if (option.form == OptionForm::Value)
      std::snprintf(line, sizeof line, "[%s=%d]\n", option.key, stored);
    else
      std::snprintf(line, sizeof line, "[%s=%s]\n", option.key, option.word(stored));
    text += line;
  }
  return text;
}
