#include <gtest/gtest.h>

#include "FileIO/String.h"
#include "ScratchFolder.h"
#include "TestEnvironment.h"

TEST(KnownPaths, DocumentsOverrideLosesItsTrailingSeparators) {
  ScratchFolder scratch;
  SetEnvironment("HASH_DOCUMENTS_DIR", "/data/docs//");
  EXPECT_STREQ(String::GetMyDocumentsPath().Get(), "/data/docs");
  // The root folder: appending "/PigmoraV3" must still give "/PigmoraV3".
  SetEnvironment("HASH_DOCUMENTS_DIR", "/");
  EXPECT_STREQ(String::GetMyDocumentsPath().Get(), "");
  // A relative setting is taken from the working folder, so paths built on it stay absolute.
  SetEnvironment("HASH_DOCUMENTS_DIR", "docs/");
  EXPECT_EQ(String::GetMyDocumentsPath().Get(), std::filesystem::current_path().string() + "/docs");
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
  EXPECT_STREQ(name.Get(), "fileio_tests");
  ASSERT_FALSE(folder.IsEmpty());
  EXPECT_NE(folder.Get()[folder.Length() - 1], '/');
  EXPECT_TRUE(std::filesystem::exists(std::string(folder.Get()) + "/" + name.Get()));
}
