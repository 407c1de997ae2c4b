#include "settings/SettingsCatalog.h"

#include "settings/ApplinkSettings.h"
#include "settings/OptionTable.h"

namespace pigmora {

void RegisterApplinkSettings(ApplinkSettings& settings) {
  // Each setting is written back as it is read; the registry replaces its file
  // only for a value that differs from what it holds, so a later load writes nothing.
  for (const OptionDefinition& definition : OptionTable()) {
    if (definition.kind == SK_STRING)
      settings.RegisterStringSetting(definition.key, definition.defaultText);
    else
      settings.RegisterValueSetting(definition.key, definition.defaultValue, definition.kind == SK_BOOL);
  }
}

}  // namespace pigmora
