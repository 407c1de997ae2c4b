#pragma once

#include <map>

#include <FileIO/String.h>

#include "settings/ExchangeFolder.h"

namespace pigmora {

// How a setting is read from and written to the registry.
enum SettingKind { SK_BOOL = 1, SK_INTEGER = 2, SK_STRING = 3, SK_REAL = 4 };

struct SettingValue {
  String text;             // string settings only
  int value = 0;           // bool and integer settings
  double realValue = 0.0;  // real settings
  int kind = SK_INTEGER;
};

// The plug-in's options, kept in memory and written through to the registry
// section on every change, plus the exchange paths computed at load.
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

  const ExchangeFolder& Exchange() const { return exchange_; }
  bool HasSetting(const String& key) const { return settings_.count(key) != 0; }
  std::size_t SettingCount() const { return settings_.size(); }

private:
  void BuildExchangeFolder();
  void PersistSetting(const String& key, const SettingValue& entry) const;

  String sectionName_;
  std::map<String, SettingValue> settings_;
  ExchangeFolder exchange_;
};

// The one process-wide record, created and destroyed by the application object.
extern ApplinkSettings* TheApplinkSettings;

// The settings operations on the process-wide record (safe when it is absent).
int GetSettingValue(String key);
String GetSettingString(String key);
void SetSettingValue(String key, int value);
void SetSettingString(String key, String text);

}  // namespace pigmora
