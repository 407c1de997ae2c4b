#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
#include "ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

#if !defined(_WIN32)  // POSIX-only fixture
TEST(MoveFileExA, ReplacingWritesThroughALinkKeepsTheModeAndRefusesWhatIsNoWritableFile) {
  ScratchFolder folder;
  const std::string real = folder.Path("real.txt"), link = folder.Path("import.txt");
  const std::string from = folder.Path("import.txt.part");
  ScratchFolder::WriteFile(real, "old and longer");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.txt", link);
  ScratchFolder::WriteFile(from, "new");
  ASSERT_TRUE(MoveFileExA(from.c_str(), link.c_str(), kReplace));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new");
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(from));

  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(MoveFileExA(from.c_str(), link.c_str(), kReplace));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  // A read-only file, a folder or a pipe at the new name stays; the source too.
  const std::string readOnly = folder.Path("read-only.txt"), pipe = folder.Path("pipe"), sub = folder.Path("sub");
  ScratchFolder::WriteFile(readOnly, "kept");
  fs::permissions(readOnly, fs::perms::owner_read);
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ScratchFolder::WriteFile(fs::path(sub) / "keep", "x");
  ScratchFolder::WriteFile(from, "refused");
  for (const std::string& target : {readOnly, pipe, sub}) {
    SCOPED_TRACE(target);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(MoveFileExA(from.c_str(), target.c_str(), kReplace));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ScratchFolder::ReadFile(from), "refused");
  }
  EXPECT_EQ(ScratchFolder::ReadFile(readOnly), "kept");
  EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);

  EXPECT_FALSE(MoveFileExA(from.c_str(), folder.Path("no/such/import.txt").c_str(), kReplace));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}
#endif

TEST(MoveFileExA, WithoutReplacingATakenNameIsRefusedAndOneOfManyMoversWins) {
  ScratchFolder folder;
  const std::string from = folder.Path("export.txt"), to = folder.Path("export.txt.mine");
  ScratchFolder::WriteFile(from, "newer");
  ScratchFolder::WriteFile(to, "claimed");
  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ScratchFolder::ReadFile(from), "newer");
  EXPECT_EQ(ScratchFolder::ReadFile(to), "claimed");
#if !defined(_WIN32)  // the stand-in cannot wait for a restart; Windows itself queues such a move for one
  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
#endif

  for (int round = 0; round < 20; ++round) {
    ScratchFolder::WriteFile(from, "answer " + std::to_string(round));
    std::atomic<int> winners{0};
    std::vector<std::thread> movers;
    for (int mover = 0; mover < 4; ++mover) {
      movers.emplace_back([&, mover] {
        const std::string mine = folder.Path(("taken-" + std::to_string(round) + "-" + std::to_string(mover)).c_str());
        if (MoveFileExA(from.c_str(), mine.c_str(), 0))
          ++winners;
        else
          EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
      });
    }
    for (std::thread& mover : movers) mover.join();
    EXPECT_EQ(winners.load(), 1) << "round " << round;
  }
}

TEST(GetLastError, EachThreadHasItsOwn) {
  // The threads take turns through an atomic step and call nothing else between setting and
  // reading: starting and joining a thread may set the code themselves (on Windows they do).
  std::atomic<int> step{0};
  DWORD atStart = 1, seenByOther = 0;
  std::thread other([&] {
    atStart = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    step = 1;
    while (step != 2) {}
    seenByOther = GetLastError();
  });
  while (step != 1) {}
  SetLastError(ERROR_DISK_FULL);
  step = 2;
  const DWORD seenHere = GetLastError();
  other.join();
  EXPECT_EQ(atStart, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(seenHere, static_cast<DWORD>(ERROR_DISK_FULL));
}

}  // namespace
