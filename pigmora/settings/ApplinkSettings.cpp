#include "settings/ApplinkSettings.h"

#include <utility>

#include <FileIO/Registry.h>

namespace pigmora {

ApplinkSettings::ApplinkSettings(String sectionName) : sectionName_(std::move(sectionName)) {}

void ApplinkSettings::RegisterValueSetting(String key, int defaultValue, bool isBool) {
  SettingValue prepared;
  prepared.value = defaultValue;
  if (isBool) {
    prepared.kind = SettingKind::Bool;
    prepared.value = GetRegistryBOOL(sectionName_, key, defaultValue);
  } else {
    prepared.value = GetRegistryValue(sectionName_, key, defaultValue);
  }
  settings_[key] = prepared;
  PersistSetting(key, prepared);
}

void ApplinkSettings::RegisterStringSetting(String key, String defaultText) {
  SettingValue prepared;
  prepared.kind = SettingKind::String;
  prepared.text = GetRegistryString(sectionName_, key, defaultText);
  settings_[key] = prepared;
  PersistSetting(key, prepared);
}

int ApplinkSettings::GetSettingValue(String key) const {
  auto found = settings_.find(key);
  return found == settings_.end() ? 0 : found->second.value;
}

String ApplinkSettings::GetSettingString(String key) const {
  auto found = settings_.find(key);
  return found == settings_.end() ? String("") : found->second.text;
}

void ApplinkSettings::SetSettingValue(String key, int value) {
  auto found = settings_.find(key);
  if (found == settings_.end()) return;
  found->second.value = value;
  PersistSetting(found->first, found->second);
}

void ApplinkSettings::SetSettingString(String key, String text) {
  auto found = settings_.find(key);
  if (found == settings_.end()) return;
  found->second.text = text;
  PersistSetting(found->first, found->second);
}

void ApplinkSettings::PersistSetting(const String& key, const SettingValue& entry) const {
  switch (entry.kind) {
    case SettingKind::Bool: SetRegistryBOOL(sectionName_, key, entry.value); break;
    case SettingKind::Integer: SetRegistryValue(sectionName_, key, entry.value); break;
    case SettingKind::String: SetRegistryString(sectionName_, key, entry.text); break;
    case SettingKind::Real: SetRegistryValue(sectionName_, key, entry.realValue); break;
    default: break;
  }
}

}  // namespace pigmora
