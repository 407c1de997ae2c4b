#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <FileIO/Registry.h>

#include <functional>

#include "ScratchFolder.h"
#include "shell/ApplinkSettings.h"
#include "shell/SettingsCatalog.h"

namespace {

constexpr int kAbsent = -12345;  // a default no stored setting ever holds

int StoredValue(const char* key) { return GetRegistryValue("Pigmora", key, kAbsent); }
String StoredText(const char* key) { return GetRegistryString("Pigmora", key, "<absent>"); }

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

class ApplinkSettingsTest : public ::testing::Test {
protected:
  ScratchFolder scratch;
};

TEST_F(ApplinkSettingsTest, FirstLoadWritesAllNineteenDefaults) {
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);

  EXPECT_EQ(settings.SettingCount(), 19u);
  EXPECT_STREQ(StoredText("exePath").Get(), "...");
  int ticked = 0;
  for (int i = 0; i < kSettingDefinitionCount; ++i) {
    const SettingDefinition& definition = kSettingDefinitions[i];
    if (definition.kind == SK_STRING) continue;
    const int stored = StoredValue(definition.key);
    EXPECT_NE(stored, kAbsent) << definition.key << " was not written";
    EXPECT_EQ(stored, settings.GetSettingValue(definition.key)) << definition.key;
    ticked += stored;
  }
  EXPECT_EQ(StoredValue("ExportColor"), 1);
  EXPECT_EQ(StoredValue("ExportSpecular"), 1);
  EXPECT_EQ(ticked, 2) << "only ExportColor and ExportSpecular default to 1";
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
  const std::string before = ScratchFolder::ReadFile(scratch.RegistryPath());

  EXPECT_EQ(settings.GetSettingValue("NoSuchKey"), 0);
  EXPECT_TRUE(settings.GetSettingString("NoSuchKey").IsEmpty());
  settings.SetSettingValue("NoSuchKey", 7);
  settings.SetSettingString("AlsoMissing", "text");

  EXPECT_FALSE(settings.HasSetting("NoSuchKey"));
  EXPECT_FALSE(settings.HasSetting("AlsoMissing"));
  EXPECT_EQ(settings.SettingCount(), 19u);
  EXPECT_EQ(ScratchFolder::ReadFile(scratch.RegistryPath()), before);
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
  ScratchFolder::WriteFile(scratch.RegistryPath(),
                           "[Pigmora]\nAutoImport=banana\nExportColor\n\x01\x02=\xff\nDisplNorm=99999999999999\n");
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);
  EXPECT_EQ(settings.GetSettingValue("AutoImport"), 0);
  EXPECT_EQ(settings.GetSettingValue("ExportColor"), 1);
  EXPECT_EQ(settings.GetSettingValue("DisplNorm"), 0);
  EXPECT_EQ(StoredValue("AutoImport"), 0);
  EXPECT_EQ(StoredValue("DisplNorm"), 0);
}

TEST_F(ApplinkSettingsTest, ProcessWideOperationsAreSafeWithoutARecord) {
  ASSERT_EQ(TheApplinkSettings, nullptr);
  EXPECT_EQ(GetSettingValue("AutoImport"), 0);
  EXPECT_TRUE(GetSettingString("exePath").IsEmpty());
  SetSettingValue("AutoImport", 1);
  EXPECT_FALSE(std::filesystem::exists(scratch.RegistryPath()));
}

}  // namespace

TEST_F(ApplinkSettingsTest, LoadingWritesOnlyMissingSettingsAndNothingWhenAllAreStored) {
  std::filesystem::path folder = scratch.RegistryPath().parent_path();
  std::filesystem::create_directories(folder);
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Host]\nTheme=dark\n");
  EXPECT_EQ(ReplacementsDuring(folder,
                               [] {
                                 ApplinkSettings settings("Pigmora");
                                 RegisterApplinkSettings(settings);
                               }),
            kSettingDefinitionCount);
  EXPECT_EQ(StoredValue("AutoImport"), 0);
  EXPECT_EQ(ReplacementsDuring(folder,
                               [] {
                                 ApplinkSettings settings("Pigmora");
                                 RegisterApplinkSettings(settings);
                               }),
            0);
}

TEST_F(ApplinkSettingsTest, AHandEditedFlagIsPassedOnAsStored) {
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nAutoImport=2\nExportColor = 0\n");
  ApplinkSettings settings("Pigmora");
  RegisterApplinkSettings(settings);
  EXPECT_EQ(settings.GetSettingValue("AutoImport"), 2);
  EXPECT_EQ(settings.GetSettingValue("ExportColor"), 0);
}
