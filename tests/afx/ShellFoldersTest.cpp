#include <gtest/gtest.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shlobj.h"

TEST(ShellFolders, CreatesEveryMissingFolderInOneCall) {
  ScratchFolder folder;
  std::string deep = folder.Path("Documents/PigmoraV3/Exchange/Hash/data/");
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ERROR_ALREADY_EXISTS, 183);
}

TEST(ShellFolders, ReportsWhatStandsInTheWay) {
  ScratchFolder folder;
  ScratchFolder::WriteFile(folder.Path("file"), "x");
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, (folder.Path("file")).c_str(), nullptr), ERROR_FILE_EXISTS);
  EXPECT_EQ(SHCreateDirectoryExA(nullptr, (folder.Path("file/sub/deeper")).c_str(), nullptr), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("file/sub")));
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
