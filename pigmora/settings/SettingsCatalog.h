#pragma once

namespace pigmora {

class ApplinkSettings;

// The registry section that holds the plug-in's options.
#define APPLINK_SETTINGS_SECTION "Pigmora"
// The executable path before the user has chosen one.
#define EXE_PATH_NOT_SET "..."

// Every option the plug-in keeps, in registration order.
struct SettingDefinition {
  const char* key;
  int kind;  // SettingKind
  int defaultValue;
  const char* defaultText;
};

extern const SettingDefinition kSettingDefinitions[];
extern const int kSettingDefinitionCount;

// Registers every option with its default: read from the registry, kept, written back.
void RegisterApplinkSettings(ApplinkSettings& settings);

}  // namespace pigmora
