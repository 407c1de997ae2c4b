#include <gtest/gtest.h>

#include <FileIO/Registry.h>

#include "ScratchFolder.h"
#include "shell/ApplinkSettings.h"
#include "shell/SettingsCatalog.h"

namespace {

constexpr int kAbsent = -12345;  // a default no stored setting ever holds

int StoredValue(const char* key) { return GetRegistryValue("Pigmora", key, kAbsent); }
String StoredText(const char* key) { return GetRegistryString("Pigmora", key, "<absent>"); }

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
