#include "settings/SettingsCatalog.h"

#include "settings/ApplinkSettings.h"
#include "settings/OptionTable.h"

namespace pigmora {

void RegisterApplinkSettings(ApplinkSettings& settings) {
  // Each setting is written back as it is read; the registry replaces its file
  // only for a value that differs from what it holds, so a later load writes nothing.
  for (const OptionDefinition& definition : OptionTable()) {
    if (definition.kind == SettingKind::String)
      settings.RegisterStringSetting(definition.key, definition.defaultText);
    else
      settings.RegisterValueSetting(definition.key, definition.defaultValue, definition.kind == SettingKind::Bool);
  }
}

}  // namespace pigmora
