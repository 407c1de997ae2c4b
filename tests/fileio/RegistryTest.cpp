#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#if !defined(_WIN32)  // POSIX-only fixture
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "FileIO/Registry.h"
#include "ScratchFolder.h"
#include "TestEnvironment.h"

namespace {

const char* kSection = "Pigmora";

std::string RegistryText(const ScratchFolder& scratch) { return ScratchFolder::ReadFile(scratch.RegistryPath()); }

}  // namespace

TEST(RegistryPath, OverrideThenXdgConfigThenHome) {
  ScratchFolder scratch;
  EXPECT_EQ(GetRegistryFilePath().Get(), scratch.RegistryPath().string());
  ClearEnvironment("HASH_REGISTRY_FILE");
  SetEnvironment("XDG_CONFIG_HOME", "/cfg");
  EXPECT_STREQ(GetRegistryFilePath().Get(), "/cfg/hash-animator/registry.ini");
  SetEnvironment("XDG_CONFIG_HOME", "relative/ignored");
  SetEnvironment("HOME", "/home/someone");
  EXPECT_STREQ(GetRegistryFilePath().Get(), "/home/someone/.config/hash-animator/registry.ini");
  ClearEnvironment("XDG_CONFIG_HOME");
  EXPECT_STREQ(GetRegistryFilePath().Get(), "/home/someone/.config/hash-animator/registry.ini");
}

TEST(Registry, MissingFileReadsDefaultsAndTheFirstWriteCreatesFolderAndFile) {
  ScratchFolder scratch;
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 1), 1);
  EXPECT_EQ(GetRegistryValue(kSection, "DisplTexExt", 3), 3);
  EXPECT_EQ(GetRegistryValue(kSection, "Scale", 0.25), 0.25);
  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "...").Get(), "...");
  EXPECT_FALSE(std::filesystem::exists(scratch.RegistryPath()));

  EXPECT_NE(SetRegistryString(kSection, "exePath", "/opt/pigmora/Pigmora"), 0);
  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "...").Get(), "/opt/pigmora/Pigmora");
  EXPECT_EQ(RegistryText(scratch), "[Pigmora]\nexePath=/opt/pigmora/Pigmora\n");
}

TEST(Registry, ValuesOfEveryKindReadBackAsWritten) {
  ScratchFolder scratch;
  SetRegistryBOOL(kSection, "AutoImport", 7);
  SetRegistryBOOL(kSection, "SkipImport", 0);
  SetRegistryValue(kSection, "Minimum", std::numeric_limits<int>::min());
  SetRegistryValue(kSection, "Negative", -3);
  const double reals[] = {0.1, 1.0 / 3.0, -2.5e-300, 1e300, std::numeric_limits<double>::denorm_min()};
  for (int i = 0; i < 5; ++i) SetRegistryValue(kSection, ("Real" + std::to_string(i)).c_str(), reals[i]);

  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 1);
  EXPECT_EQ(GetRegistryBOOL(kSection, "SkipImport", 1), 0);
  EXPECT_EQ(GetRegistryValue(kSection, "Minimum", 0), std::numeric_limits<int>::min());
  EXPECT_EQ(GetRegistryValue(kSection, "Negative", 0), -3);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(GetRegistryValue(kSection, ("Real" + std::to_string(i)).c_str(), 9.0), reals[i]);
  EXPECT_NE(RegistryText(scratch).find("AutoImport=1\n"), std::string::npos);  // bools are stored as 0/1

  SetRegistryValue(kSection, "Infinite", std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isinf(GetRegistryValue(kSection, "Infinite", 0.0)));
  // An integer setting read as a real and the other way round.
  EXPECT_EQ(GetRegistryValue(kSection, "Negative", 0.0), -3.0);
  EXPECT_EQ(GetRegistryValue(kSection, "Real0", 42), 42);
}

TEST(Registry, NamesMatchWithoutRegardToCaseAndSectionsKeepTheirKeysApart) {
  ScratchFolder scratch;
  SetRegistryValue("Pigmora", "Mode", 1);
  SetRegistryValue("pigmora", "MODE", 2);
  SetRegistryValue("Other", "Mode", 4);
  EXPECT_EQ(GetRegistryValue("Pigmora", "mode", 0), 2);
  EXPECT_EQ(GetRegistryValue("PIGMORA", "Mode", 0), 2);
  EXPECT_EQ(GetRegistryValue("Other", "Mode", 0), 4);
  EXPECT_EQ(GetRegistryValue("Pigmora ", "Mode", 0), 0);
  // One line per key, spelled as it was first written.
  EXPECT_EQ(RegistryText(scratch), "[Pigmora]\nMode=2\n\n[Other]\nMode=4\n");
}

TEST(Registry, StringsKeepSurroundingBlanksAndCannotInjectKeysOrSections) {
  ScratchFolder scratch;
  const char* hostile = "  x\n[Pigmora]\nAutoImport=1\r\n=\\n]  ";
  SetRegistryString(kSection, "exePath", hostile);
  SetRegistryString(kSection, "Windows", "C:\\Program Files\\Pigmora\\");
  SetRegistryString("Odd]Section\n", "[key=with;equals", "v");
  SetRegistryString(kSection, "Empty", "");

  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "").Get(), hostile);
  EXPECT_STREQ(GetRegistryString(kSection, "Windows", "").Get(), "C:\\Program Files\\Pigmora\\");
  EXPECT_STREQ(GetRegistryString("Odd]Section\n", "[key=with;equals", "").Get(), "v");
  EXPECT_STREQ(GetRegistryString(kSection, "Empty", "default").Get(), "");
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 0);
  EXPECT_EQ(GetRegistryString("Odd]Section", "key", "none"), String("none"));
}

TEST(Registry, HandEditedFileIsReadAsTypedAndEveryLineNotChangedIsKeptByteForByte) {
  ScratchFolder scratch;
  const std::string before =
      "; settings of the host\r\n"
      "[Pigmora]   ; the plug-in's own\r\n"
      "exePath=C:\\new\\tools\\x41.exe\r\n"
      "  ExportColor =  0   ; off for now\r\n"
      "Spaced = value with blanks \r\n"
      "a line a person wrote\r\n"
      "\r\n"
      "  [OtherPlugin]\n"
      "AutoImport=1\n"
      "[Broken\n"
      "ExportSpecular=0\n"
      "\tTheme\t=\tdark";
  ScratchFolder::WriteFile(scratch.RegistryPath(), before);
  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "").Get(), "C:\\new\\tools\\x41.exe");
  EXPECT_STREQ(GetRegistryString(kSection, "spaced", "").Get(), "value with blanks");
  EXPECT_EQ(GetRegistryBOOL(kSection, "exportcolor", 1), 0);
  // Keys under another plug-in's header, indented, or under a header that is
  // not one, are not the plug-in's.
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 0);
  EXPECT_EQ(GetRegistryBOOL("OtherPlugin", "AutoImport", 0), 1);
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportSpecular", 1), 1);
  EXPECT_STREQ(GetRegistryString("OtherPlugin", "Theme", "").Get(), "");

  // An unchanged value writes nothing; a changed one is rewritten in place.
  EXPECT_NE(SetRegistryBOOL(kSection, "ExportColor", 0), 0);
  EXPECT_EQ(RegistryText(scratch), before);
  EXPECT_NE(SetRegistryBOOL(kSection, "ExportColor", 1), 0);
  EXPECT_NE(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  std::string expected = before;
  expected.replace(expected.find("0   ; off"), 1, "1");
  expected.insert(expected.find("\r\na line"), "\r\nAutoImport=1");
  EXPECT_EQ(RegistryText(scratch), expected);
  EXPECT_EQ(GetRegistryBOOL("OtherPlugin", "AutoImport", 0), 1);
}

TEST(Registry, ValuesThatWouldNotReadBackAsTypedAreQuotedAndOnlyQuotedValuesAreUnescaped) {
  ScratchFolder scratch;
  const char* values[] = {"C:\\new\\x41", " padded ", "two\nlines", "\"quoted\"", "a ; not a comment", ";x", ""};
  for (const char* value : values) {
    SetRegistryString(kSection, "Value", value);
    EXPECT_STREQ(GetRegistryString(kSection, "Value", "default").Get(), value);
  }
  SetRegistryString(kSection, "Path", "C:\\new\\x41");
  EXPECT_NE(RegistryText(scratch).find("\nPath=C:\\new\\x41\n"), std::string::npos);  // plain, as typed
  SetRegistryString(kSection, "Path", "two\nlines");
  EXPECT_NE(RegistryText(scratch).find("\nPath=\"two\\nlines\"\n"), std::string::npos);
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST(Registry, ASemicolonInsideAValueSurvivesARestart) {
  ScratchFolder scratch;
  const std::vector<std::string> values = {"a;b.exe", "/opt/p;q/Pigmora", "x;", "a;;b", "a\t;b", "a ;b", "a;b ;c"};
  // Written by one process, read by the next: nothing of the writer's session helps.
  const pid_t writer = fork();
  if (writer == 0) {
    bool ok = true;
    for (std::size_t i = 0; i < values.size(); ++i)
      ok = SetRegistryString(kSection, ("Path" + std::to_string(i)).c_str(), values[i].c_str()) && ok;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(GetRegistryString(kSection, ("Path" + std::to_string(i)).c_str(), "default").Get(), values[i]);
  // Written plainly where that reads back the same, so the file stays editable by hand.
  EXPECT_NE(RegistryText(scratch).find("\nPath0=a;b.exe\n"), std::string::npos) << RegistryText(scratch);

  // Typed by hand: a semicolon is a comment only after a blank.
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nexePath=C:\\a;b.exe\t; the painter\nOther=c;d\n");
  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "").Get(), "C:\\a;b.exe");
  EXPECT_STREQ(GetRegistryString(kSection, "Other", "").Get(), "c;d");
}
#endif

TEST(Registry, FlagsAndNumbersArePassedOnAsStored) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nExportColor=2\nAutoImport = -1\n");
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 0), 2);
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), -1);
}

TEST(Registry, GarbledFileOrValuesReadAsDefaultsAndTheNextWriteKeepsWhatItDoesNotChange) {
  ScratchFolder scratch;
  std::string junk = "[Pigmora]\nExportColor=yes\nDisplNorm=99999999999\nResolution=1.5\nScale=1.2.3\n";
  junk += "no equals sign here\n";
  junk += std::string("\0\xff\xfe\x01=\x02\n", 7);
  junk += std::string(2 << 20, 'A') + "\n";  // one huge line
  junk += "AutoImport=1\nAutoImport=0\n";    // duplicates: the last one counts
  ScratchFolder::WriteFile(scratch.RegistryPath(), junk);

  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 1), 1);
  EXPECT_EQ(GetRegistryValue(kSection, "DisplNorm", 2), 2);
  EXPECT_EQ(GetRegistryValue(kSection, "Resolution", 1), 1);
  EXPECT_EQ(GetRegistryValue(kSection, "Scale", 0.5), 0.5);
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 1), 0);

  ASSERT_NE(SetRegistryBOOL(kSection, "ExportColor", 0), 0);
  ASSERT_NE(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  std::string expected = junk;
  expected.replace(expected.find("ExportColor=yes"), 15, "ExportColor=0");
  expected.replace(expected.rfind("AutoImport=0"), 12, "AutoImport=1");
  EXPECT_EQ(RegistryText(scratch), expected);
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 1), 0);
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 1);
  EXPECT_EQ(GetRegistryValue(kSection, "Resolution", 7), 7);
}

TEST(Registry, UnusableFilesReadAsDefaultsAndWritesReplaceThem) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(), std::string(4096, '\0'));
  EXPECT_EQ(GetRegistryValue(kSection, "ExportResolution", 1), 1);
  EXPECT_NE(SetRegistryValue(kSection, "ExportResolution", 0), 0);
  EXPECT_EQ(GetRegistryValue(kSection, "ExportResolution", 1), 0);

  // A folder where the file should be: reads give defaults, writes fail cleanly.
  std::filesystem::remove(scratch.RegistryPath());
  std::filesystem::create_directories(scratch.RegistryPath());
  EXPECT_EQ(GetRegistryValue(kSection, "ExportResolution", 1), 1);
  EXPECT_EQ(SetRegistryValue(kSection, "ExportResolution", 0), 0);

  // A file where the folder should be.
  std::filesystem::remove(scratch.RegistryPath());
  ScratchFolder::WriteFile(scratch.RegistryPath(), "not a folder");
  SetEnvironment("HASH_REGISTRY_FILE", (scratch.RegistryPath() / "sub" / "registry.ini"));
  EXPECT_EQ(SetRegistryValue(kSection, "ExportResolution", 0), 0);
}

TEST(Registry, WritesLeaveNoTemporaryFilesBehind) {
  ScratchFolder scratch;
  for (int i = 0; i < 20; ++i) SetRegistryValue(kSection, ("Key" + std::to_string(i)).c_str(), i);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.RegistryPath().parent_path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"registry.ini", "registry.ini.lock"}));
}
