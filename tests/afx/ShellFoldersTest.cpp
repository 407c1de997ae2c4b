#include <gtest/gtest.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shlobj.h"

TEST(ShellFolders, CreatesEveryMissingFolderInOneCall) {
  ScratchFolder folder;
  // Named with the system's separator, and ending in one, as the plug-in names its data folder.
  const std::string deep = (folder.Root() / "Documents" / "PigmoraV3" / "Exchange" / "Hash" / "data" / "").string();
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ERROR_ALREADY_EXISTS, 183);
}

TEST(ShellFolders, ReportsWhatStandsInTheWay) {
  ScratchFolder folder;
  ScratchFolder::WriteFile(folder.Path("file"), "x");
  // The stand-in tells a file in the way apart; Windows itself says only that the name exists.
#if defined(_WIN32)
  const long fileInTheWay = ERROR_ALREADY_EXISTS;
#else
  const long fileInTheWay = ERROR_FILE_EXISTS;
#endif
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, folder.Path("file").c_str(), nullptr), fileInTheWay);
  const std::string below = (folder.Root() / "file" / "sub" / "deeper").string();
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, below.c_str(), nullptr), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(folder.Root() / "file" / "sub"));
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, "relative/path", nullptr), ERROR_BAD_PATHNAME);
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, "", nullptr), ERROR_BAD_PATHNAME);
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, nullptr, nullptr), ERROR_BAD_PATHNAME);

#if !defined(_WIN32)  // POSIX-only fixture: a folder's permission bits
  std::filesystem::create_directories(folder.Path("locked"));
  std::filesystem::permissions(folder.Path("locked"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (geteuid() != 0) {  // root ignores the permission
    EXPECT_EQ(SHCreateDirectoryExA(nullptr, (folder.Path("locked/a/b")).c_str(), nullptr), ERROR_ACCESS_DENIED);
  }
  std::filesystem::permissions(folder.Path("locked"), std::filesystem::perms::owner_all);
#endif
}
