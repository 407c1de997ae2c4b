#include "FileIO/Registry.h"

#include <limits>
#include <optional>
#include <string>

#include <common/EntryGuard.h>

#include "RegistryFile.h"
#include "RegistryText.h"

using fileio::RegistryFile;

namespace {

// The stored text of a key; nothing when the file or key is missing. Nothing
// below may throw past the library, so allocation failures read as missing.
std::optional<std::string> StoredText(const String& section, const String& key) {
  std::optional<std::string> found;
  GuardedEntry([&] {
    const char* sectionText = section.Get() ? section.Get() : "";
    const char* keyText = key.Get() ? key.Get() : "";
    found = RegistryFile::Find(sectionText, keyText);
  });
  return found;
}

int Store(const String& section, const String& key, const std::string& text) {
  return GuardedEntry(0, [&] {
    std::string sectionText = section.Get() ? section.Get() : "";
    std::string keyText = key.Get() ? key.Get() : "";
    return RegistryFile::Update(
        [&](fileio::RegistryDocument& document) { return document.Set(sectionText, keyText, text); });
  });
}

std::optional<int> StoredInteger(const String& section, const String& key) {
  std::optional<std::string> text = StoredText(section, key);
  if (!text) return std::nullopt;
  std::optional<long long> value = fileio::ParseInteger(*text);
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

int GetRegistryBOOL(const String& section, const String& key, int defaultValue) {
  // Passed on as stored: the caller decides what a flag of 2 means.
  return StoredInteger(section, key).value_or(defaultValue);
}

int GetRegistryValue(const String& section, const String& key, int defaultValue) {
  return StoredInteger(section, key).value_or(defaultValue);
}

double GetRegistryValue(const String& section, const String& key, double defaultValue) {
  std::optional<std::string> text = StoredText(section, key);
  if (!text) return defaultValue;
  return fileio::ParseReal(*text).value_or(defaultValue);
}

String GetRegistryString(const String& section, const String& key, const String& defaultValue) {
  std::optional<std::string> text = StoredText(section, key);
  return text ? String(text->c_str()) : defaultValue;
}

int SetRegistryBOOL(const String& section, const String& key, int value) {
  return Store(section, key, value ? "1" : "0");
}

int SetRegistryValue(const String& section, const String& key, int value) {
  return Store(section, key, fileio::FormatInteger(value));
}

int SetRegistryValue(const String& section, const String& key, double value) {
  return Store(section, key, fileio::FormatReal(value));
}

int SetRegistryString(const String& section, const String& key, const String& value) {
  return Store(section, key, value.Get() ? value.Get() : "");
}

String GetRegistryFilePath() {
  return GuardedEntry(String(), [] { return String(RegistryFile::Path().c_str()); });
}
