#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "FileIO/Registry.h"
#include "ScratchFolder.h"

namespace {

const char* kSection = "Pigmora";

struct stat StatOf(const std::filesystem::path& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info;
}

}  // namespace

TEST(RegistryFileSafety, AFileTooLargeToReadIsNeverWrittenOverAndTheUserIsToldOnce) {
  ScratchFolder scratch;
  std::filesystem::create_directories(scratch.RegistryPath().parent_path());
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nExportColor=0\n");
  std::filesystem::resize_file(scratch.RegistryPath(), (64ll << 20) + 1);  // sparse: quick to make

  testing::internal::CaptureStderr();
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 1), 1);
  EXPECT_EQ(SetRegistryBOOL(kSection, "ExportColor", 0), 0);
  EXPECT_EQ(SetRegistryString(kSection, "exePath", "/opt/pigmora"), 0);
  std::string told = testing::internal::GetCapturedStderr();

  EXPECT_EQ(std::filesystem::file_size(scratch.RegistryPath()), (64ull << 20) + 1);
  // The session goes on with the values it set.
  EXPECT_EQ(GetRegistryBOOL(kSection, "ExportColor", 1), 0);
  EXPECT_STREQ(GetRegistryString(kSection, "exePath", "...").Get(), "/opt/pigmora");
  EXPECT_NE(told.find(scratch.RegistryPath().string()), std::string::npos);
  EXPECT_NE(told.find("larger than"), std::string::npos);
  EXPECT_EQ(told.find('\n'), told.size() - 1) << told;  // one message
}

TEST(RegistryFileSafety, AFifoOrFolderIsRefusedWithAMessageInsteadOfWaiting) {
  ScratchFolder scratch;
  std::filesystem::create_directories(scratch.RegistryPath().parent_path());
  ASSERT_EQ(mkfifo(scratch.RegistryPath().c_str(), 0600), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(GetRegistryValue(kSection, "DisplNorm", 3), 3);
  EXPECT_EQ(SetRegistryValue(kSection, "DisplNorm", 1), 0);
  std::string told = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(S_ISFIFO(StatOf(scratch.RegistryPath()).st_mode));
  EXPECT_NE(told.find("not a regular file"), std::string::npos) << told;
  EXPECT_EQ(GetRegistryValue(kSection, "DisplNorm", 3), 1);
}

// The lock file, not the settings file, is what stands in the way: the message names it.
TEST(RegistryFileSafety, ALockFileThatIsAFolderIsNamedAsTheCause) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nAutoImport=0\n");
  const std::string lock = scratch.RegistryPath().string() + ".lock";
  std::filesystem::create_directories(lock);
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find(": its lock file '" + lock + "' is a folder."), std::string::npos) << told;
  EXPECT_EQ(ScratchFolder::ReadFile(scratch.RegistryPath()), "[Pigmora]\nAutoImport=0\n");
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 1) << "kept for the session";
}

TEST(RegistryFileSafety, AReadOnlyFileIsRespected) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(), "[Pigmora]\nAutoImport=0\n");
  std::filesystem::permissions(scratch.RegistryPath(), std::filesystem::perms::owner_read);
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  std::string told = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ScratchFolder::ReadFile(scratch.RegistryPath()), "[Pigmora]\nAutoImport=0\n");
  EXPECT_NE(told.find("read-only"), std::string::npos) << told;
  EXPECT_EQ(GetRegistryBOOL(kSection, "AutoImport", 0), 1);
}

TEST(RegistryFileSafety, ALinkedFileIsWrittenThroughAndKeepsItsMode) {
  ScratchFolder scratch;
  std::string real = scratch.Write("dotfiles/registry.ini", "[Host]\nTheme=dark\n");
  chmod(real.c_str(), 0600);
  std::filesystem::create_directories(scratch.RegistryPath().parent_path());
  std::filesystem::create_symlink("../dotfiles/registry.ini", scratch.RegistryPath());

  EXPECT_NE(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  EXPECT_TRUE(S_ISLNK(StatOf(scratch.RegistryPath()).st_mode));
  EXPECT_EQ(ScratchFolder::ReadFile(real), "[Host]\nTheme=dark\n\n[Pigmora]\nAutoImport=1\n");
  EXPECT_EQ(StatOf(real).st_mode & 07777, 0600u);
}

TEST(RegistryFileSafety, TheTemporaryFileOfAKilledWriteIsCleanedUp) {
  ScratchFolder scratch;
  std::string left = scratch.Write("config/.registry.ini.tmp-Ab12Cd", std::string(100000, 'x'));
  std::string unrelated = scratch.Write("config/registry.ini.backup", "[Pigmora]\n");
  EXPECT_NE(SetRegistryBOOL(kSection, "AutoImport", 1), 0);
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_TRUE(std::filesystem::exists(unrelated));
}

TEST(RegistryFileSafety, WritesHappenOnlyWhenSomethingChanges) {
  ScratchFolder scratch;
  for (int i = 0; i < 19; ++i) SetRegistryValue(kSection, ("Key" + std::to_string(i)).c_str(), i);
  for (int i = 0; i < 19; ++i) EXPECT_EQ(GetRegistryValue(kSection, ("Key" + std::to_string(i)).c_str(), -1), i);

  // A rewrite replaces the file (a new inode); an unchanged value does not.
  ino_t written = StatOf(scratch.RegistryPath()).st_ino;
  for (int i = 0; i < 19; ++i) EXPECT_NE(SetRegistryValue(kSection, ("Key" + std::to_string(i)).c_str(), i), 0);
  EXPECT_EQ(StatOf(scratch.RegistryPath()).st_ino, written);
  SetRegistryValue(kSection, "Key3", 4);
  EXPECT_NE(StatOf(scratch.RegistryPath()).st_ino, written);
}
