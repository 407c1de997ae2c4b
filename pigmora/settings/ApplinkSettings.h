#pragma once

#include <map>

#include <FileIO/String.h>

#include "settings/OptionTable.h"

namespace pigmora {

struct SettingValue {
  String text;             // string settings only
  int value = 0;           // bool and integer settings
  double realValue = 0.0;  // real settings
  SettingKind kind = SettingKind::Integer;
};

// The plug-in's options, kept in memory and written through to the registry
// section on every change.
class ApplinkSettings {
public:
  explicit ApplinkSettings(String sectionName);
  ApplinkSettings(const ApplinkSettings&) = delete;
  ApplinkSettings& operator=(const ApplinkSettings&) = delete;

  // Reads the setting from the registry (the default when absent), keeps it and
  // writes it back at once, so every registered key exists in the registry.
  void RegisterValueSetting(String key, int defaultValue, bool isBool);
  void RegisterStringSetting(String key, String defaultText);

  // 0 or empty text for a key never registered; nothing is added.
  int GetSettingValue(String key) const;
  String GetSettingString(String key) const;

  // Store and write through; a key never registered is ignored. The write
  // follows the entry's own kind, whatever the operation.
  void SetSettingValue(String key, int value);
  void SetSettingString(String key, String text);

  // The same, for an option of the table: the plug-in's own code names
  // options only this way, so a misspelt option does not compile.
  int GetSettingValue(Option option) const { return GetSettingValue(String(DefinitionOf(option).key)); }
  String GetSettingString(Option option) const { return GetSettingString(String(DefinitionOf(option).key)); }
  void SetSettingValue(Option option, int value) { SetSettingValue(String(DefinitionOf(option).key), value); }
  void SetSettingString(Option option, String text) {
    SetSettingString(String(DefinitionOf(option).key), std::move(text));
  }

  bool HasSetting(const String& key) const { return settings_.count(key) != 0; }
  std::size_t SettingCount() const { return settings_.size(); }

private:
  void PersistSetting(const String& key, const SettingValue& entry) const;

  String sectionName_;
  std::map<String, SettingValue> settings_;
};

}  // namespace pigmora
