#include <gtest/gtest.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <sys/inotify.h>
#include <unistd.h>
#endif

#include <FileIO/Registry.h>

#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "settings/ApplinkSettings.h"
#include "settings/SettingsCatalog.h"

using namespace pigmora;

namespace {

constexpr int kAbsent = -12345;  // a default no stored setting ever holds

int StoredValue(const char* key) { return GetRegistryValue("Pigmora", key, kAbsent); }
String StoredText(const char* key) { return GetRegistryString("Pigmora", key, "<absent>"); }

#if !defined(_WIN32)  // POSIX-only fixture
// How many times a file was put in place in a folder while `work` ran.
int ReplacementsDuring(const std::filesystem::path& folder, const std::function<void()>& work) {
  int watch = inotify_init1(IN_NONBLOCK);
  inotify_add_watch(watch, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
  work();
  int count = 0;
  alignas(inotify_event) char buffer[16384];
  for (ssize_t got; (got = read(watch, buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + got;) {
      auto* event = reinterpret_cast<inotify_event*>(at);
      if (event->len && std::string(event->name) == "registry.ini") ++count;
      at += sizeof(inotify_event) + event->len;
    }
  }
  close(watch);
  return count;
}
#endif

class ApplinkSettingsTest : public ::testing::Test {
protected:
  ScratchFolder scratch_;
};

// The keys users, the options page and Pigmora's command file know, spelt as stored.
struct KnownSetting {
  const char* key;
  SettingKind kind;
  int defaultValue;
};
const KnownSetting kKnownSettings[] = {
    {"exePath", SettingKind::String, 0},
    {"ExportColor", SettingKind::Bool, 1},
    {"ExportSpecular", SettingKind::Bool, 1},
    {"ExportSpecularColor", SettingKind::Bool, 0},
    {"ExportEmissivePower", SettingKind::Bool, 0},
    {"ExportEmissive", SettingKind::Bool, 0},
    {"ExportNormalmap", SettingKind::Bool, 0},
    {"ColorFileExtension", SettingKind::Integer, 0},
    {"SpecNormExtension", SettingKind::Integer, 0},
    {"ExportDispl", SettingKind::Bool, 0},
    {"ExportResolution", SettingKind::Integer, 0},
    {"DisplNorm", SettingKind::Integer, 0},
    {"DisplTexExt", SettingKind::Integer, 0},
    {"SkipImport", SettingKind::Bool, 0},
    {"SkipExport", SettingKind::Bool, 0},
    {"PickSourcePositions", SettingKind::Bool, 0},
    {"PickDepthFromLayer0", SettingKind::Bool, 0},
    {"CoarseMesh", SettingKind::Bool, 0},
    {"AutoImport", SettingKind::Bool, 0},
};

// The keys of the [Pigmora] section of the registry file, as written there.
std::set<std::string> StoredKeys(const std::filesystem::path& registryFile) {
  std::istringstream text(ScratchFolder::ReadFile(registryFile));
  std::set<std::string> keys;
  bool inSection = false;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line[0] == '[') inSection = line.rfind("[Pigmora]", 0) == 0;
    const std::size_t equals = line.find('=');
    if (inSection && equals != std::string::npos) keys.insert(line.substr(0, equals));
  }
  return keys;
}

TEST_F(ApplinkSettingsTest, FirstLoadWritesTheNineteenKnownKeysWithTheirDefaults) {
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);

  std::set<std::string> expectedKeys;
  for (const KnownSetting& known : kKnownSettings) {
    expectedKeys.insert(known.key);
    ASSERT_TRUE(settings.HasSetting(known.key)) << known.key;
    if (known.kind == SettingKind::String) {
      EXPECT_STREQ(StoredText(known.key).Get(), "...") << known.key;
    } else {
      EXPECT_EQ(StoredValue(known.key), known.defaultValue) << known.key;
      EXPECT_EQ(settings.GetSettingValue(known.key), known.defaultValue) << known.key;
    }
  }
  EXPECT_EQ(expectedKeys.size(), 19u);
  EXPECT_EQ(settings.SettingCount(), 19u);
  EXPECT_EQ(StoredKeys(scratch_.RegistryPath()), expectedKeys) << "no key spelt any other way";
}

// A list index is written back as the number it is, never folded to a flag's 0 or 1.
TEST_F(ApplinkSettingsTest, ListIndicesKeepTheirValueThroughALoad) {
  for (const KnownSetting& known : kKnownSettings) {
    if (known.kind == SettingKind::Integer) SetRegistryValue("Pigmora", known.key, 3);
  }
  {
    ApplinkSettings settings("Pigmora");
    RegisterApplinkSettings(settings);
  }
  for (const KnownSetting& known : kKnownSettings) {
    if (known.kind != SettingKind::Integer) continue;
    EXPECT_EQ(StoredValue(known.key), 3) << known.key;
  }
}

TEST_F(ApplinkSettingsTest, StoredValuesWinOverDefaultsAndSurviveARestart) {
  SetRegistryValue("Pigmora", "DisplTexExt", 3);
  SetRegistryString("Pigmora", "exePath", "/opt/pigmora/Pigmora.exe");
  {
    ApplinkSettings settings("Pigmora");
    RegisterApplinkSettings(settings);
    EXPECT_EQ(settings.GetSettingValue("DisplTexExt"), 3);
    EXPECT_STREQ(settings.GetSettingString("exePath").Get(), "/opt/pigmora/Pigmora.exe");
    settings.SetSettingValue("AutoImport", 1);
    settings.SetSettingValue("ExportColor", 0);
  }
  ApplinkSettings again("Pigmora");
  RegisterApplinkSettings(again);
  EXPECT_EQ(again.GetSettingValue("AutoImport"), 1);
  EXPECT_EQ(again.GetSettingValue("ExportColor"), 0);
  EXPECT_EQ(again.GetSettingValue("DisplTexExt"), 3);
}

TEST_F(ApplinkSettingsTest, UnknownKeysReadAsNothingAndAreNeverStored) {
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);
  const std::string before = ScratchFolder::ReadFile(scratch_.RegistryPath());

  EXPECT_EQ(settings.GetSettingValue("NoSuchKey"), 0);
  EXPECT_TRUE(settings.GetSettingString("NoSuchKey").IsEmpty());
  settings.SetSettingValue("NoSuchKey", 7);
  settings.SetSettingString("AlsoMissing", "text");

  EXPECT_FALSE(settings.HasSetting("NoSuchKey"));
  EXPECT_FALSE(settings.HasSetting("AlsoMissing"));
  EXPECT_EQ(settings.SettingCount(), 19u);
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.RegistryPath()), before);
}

TEST_F(ApplinkSettingsTest, WritesFollowTheEntrysKindNotTheOperation) {
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);

  settings.SetSettingValue("exePath", 5);
  EXPECT_STREQ(StoredText("exePath").Get(), "...");
  EXPECT_EQ(settings.GetSettingValue("exePath"), 5);

  settings.SetSettingString("ExportColor", "0");
  EXPECT_EQ(StoredValue("ExportColor"), 1);
}

TEST_F(ApplinkSettingsTest, GarbledRegistryReadsAsDefaultsAndIsRepaired) {
  ScratchFolder::WriteFile(scratch_.RegistryPath(),
                           "[Pigmora]\nAutoImport=banana\nExportColor\n\x01\x02=\xff\nDisplNorm=99999999999999\n");
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);
  EXPECT_EQ(settings.GetSettingValue("AutoImport"), 0);
  EXPECT_EQ(settings.GetSettingValue("ExportColor"), 1);
  EXPECT_EQ(settings.GetSettingValue("DisplNorm"), 0);
  EXPECT_EQ(StoredValue("AutoImport"), 0);
  EXPECT_EQ(StoredValue("DisplNorm"), 0);
}

}  // namespace

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(ApplinkSettingsTest, LoadingWritesOnlyMissingSettingsAndNothingWhenAllAreStored) {
  std::filesystem::path folder = scratch_.RegistryPath().parent_path();
  std::filesystem::create_directories(folder);
  ScratchFolder::WriteFile(scratch_.RegistryPath(), "[Host]\nTheme=dark\n");
  EXPECT_EQ(ReplacementsDuring(folder,
                               [] {
                                 ApplinkSettings settings("Pigmora");
                                 RegisterApplinkSettings(settings);
                               }),
            kOptionCount);
  EXPECT_EQ(StoredValue("AutoImport"), 0);
  EXPECT_EQ(ReplacementsDuring(folder,
                               [] {
                                 ApplinkSettings settings("Pigmora");
                                 RegisterApplinkSettings(settings);
                               }),
            0);
}
#endif

TEST_F(ApplinkSettingsTest, AHandEditedFlagIsPassedOnAsStored) {
  ScratchFolder::WriteFile(scratch_.RegistryPath(), "[Pigmora]\nAutoImport=2\nExportColor = 0\n");
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);
  EXPECT_EQ(settings.GetSettingValue("AutoImport"), 2);
  EXPECT_EQ(settings.GetSettingValue("ExportColor"), 0);
}
