#include "send/CommandText.h"

#include <cstdio>

#include "common/ExchangeNames.h"

#include "settings/ApplinkSettings.h"
#include "settings/OptionTable.h"

namespace pigmora {

namespace {

// Every bracketed line is formatted here; snprintf keeps it inside.
constexpr int kLineBufferSize = 1024;

}  // namespace

const char* ExportModeKeyword(int modeIndex) {
  return modeIndex >= 0 && modeIndex < kExportModeCount ? exchange::kExportModes[modeIndex].keyword : nullptr;
}

String BuildCommandText(const ApplinkSettings& settings, int modeIndex, const String& modelPath) {
  char line[kLineBufferSize];
  String text = modelPath;
  text += "\n";
  text += modelPath;
  text += "\n";
  const char* keyword = ExportModeKeyword(modeIndex);
  std::snprintf(line, sizeof line, "[%s]\n", keyword ? keyword : "");
  text += line;
  // The option lines in table order; a list option carries its entry's word,
  // and the displacement type also the depth that goes with it.
  for (const OptionDefinition& option : OptionTable()) {
    if (!option.inCommandFile) continue;
    const int stored = settings.GetSettingValue(option.option);
    if (option.entries.empty()) {
      std::snprintf(line, sizeof line, "[%s=%d]\n", option.key, stored);
      text += line;
      continue;
    }
    const ListEntry& entry = EntryAt(option, stored);
    std::snprintf(line, sizeof line, "[%s=%s]\n", option.key, entry.commandWord);
    text += line;
    if (option.derivedKey) {
      std::snprintf(line, sizeof line, "[%s=%s]\n", option.derivedKey, entry.derivedWord);
      text += line;
    }
  }
  return text;
}

}  // namespace pigmora
