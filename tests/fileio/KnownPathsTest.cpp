#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FileIO/String.h"
#include "ScratchFolder.h"
#include "TestEnvironment.h"

TEST(KnownPaths, DocumentsOverrideLosesItsTrailingSeparators) {
  ScratchFolder scratch;
  // A path from the root is on the working folder's drive where the system has drives ("C:\data\docs").
  const std::filesystem::path current = std::filesystem::current_path();
  SetEnvironment("HASH_DOCUMENTS_DIR", "/data/docs//");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), (current.root_path() / "data" / "docs").string());
  // The root folder: appending "/PigmoraV3" must still give "/PigmoraV3" ("C:\PigmoraV3").
  SetEnvironment("HASH_DOCUMENTS_DIR", "/");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), current.root_name().string());
  // A relative setting is taken from the working folder, so paths built on it stay absolute.
  SetEnvironment("HASH_DOCUMENTS_DIR", "docs/");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), (current / "docs").string());
  // One longer than Windows' ANSI calls take still names the user's folder, never another.
  const std::string longName(300, 'd');
  SetEnvironment("HASH_DOCUMENTS_DIR", longName);
  const std::string told = String::GetMyDocumentsPath().Get();
  EXPECT_EQ(told.substr(told.size() - std::min(told.size(), longName.size())), longName) << told;
}

TEST(KnownPaths, DocumentsComeFromTheXdgUserDirsThenFromHome) {
  ScratchFolder scratch;
  ClearEnvironment("HASH_DOCUMENTS_DIR");
  SetEnvironment("HOME", (scratch.Root() / "home"));
  SetEnvironment("XDG_CONFIG_HOME", (scratch.Root() / "config"));
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), (scratch.Root() / "home" / "Documents").string());

  ScratchFolder::WriteFile(scratch.Root() / "config" / "user-dirs.dirs",
                           "# written by xdg-user-dirs-update\n"
                           "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), (scratch.Root() / "home" / "Dokumente").string());

  ScratchFolder::WriteFile(scratch.Root() / "config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n");
  EXPECT_STREQ(String::GetMyDocumentsPath().Get(), "/srv/papers");

  // A relative or broken entry is not a folder to write into.
  ScratchFolder::WriteFile(scratch.Root() / "config" / "user-dirs.dirs",
                           "XDG_DOCUMENTS_DIR=\"papers\"\nXDG_DOCUMENTS_DIR=\"/x");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), (scratch.Root() / "home" / "Documents").string());
}

TEST(KnownPaths, AppPathAndNameAreTheRunningExecutable) {
  String folder = String::GetAppPath();
  String name = String::GetAppName();
#if defined(_WIN32)
  EXPECT_STREQ(name.Get(), "fileio_tests.exe") << "Windows names a program with its extension";
#else
  EXPECT_STREQ(name.Get(), "fileio_tests");
#endif
  ASSERT_FALSE(folder.IsEmpty());
  EXPECT_EQ(std::string("/\\").find(folder.Get()[folder.Length() - 1]), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(std::string(folder.Get()) + "/" + name.Get()));
}
