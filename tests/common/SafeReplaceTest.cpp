#include "common/SafeReplace.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <thread>

#include "ScratchFolder.h"

namespace {

#if !defined(_WIN32)  // POSIX-only fixture
struct stat LinkStat(const std::string& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info;
}
#endif

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, ReplacesTheWholeFileAndKeepsItsModeAndOwner) {
  ScratchFolder scratch;
  std::string path = scratch.Write("out/model.fbx", "old contents that are longer");
  chmod(path.c_str(), 0600);
  std::string error;
  ASSERT_TRUE(safereplace::ReplaceFile(path, "new", error)) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(path), "new");
  EXPECT_EQ(LinkStat(path).st_mode & 07777, 0600u);
  EXPECT_EQ(Names(scratch.Path("out")), std::vector<std::string>{"model.fbx"});
}
#endif

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, WritesThroughSymbolicLinksToTheirTarget) {
  ScratchFolder scratch;
  std::string real = scratch.Write("real/settings.ini", "old");
  std::filesystem::create_directories(scratch.Path("links"));
  std::string link = scratch.Path("links/settings.ini");
  std::string chained = scratch.Path("links/chained.ini");
  std::filesystem::create_symlink("../real/settings.ini", link);
  std::filesystem::create_symlink("settings.ini", chained);
  std::string error;
  ASSERT_TRUE(safereplace::ReplaceFile(chained, "new", error)) << error;
  EXPECT_TRUE(S_ISLNK(LinkStat(link).st_mode));
  EXPECT_TRUE(S_ISLNK(LinkStat(chained).st_mode));
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new");
  // The temporary file went in the target's folder, so the rename stayed on one file system.
  EXPECT_EQ(Names(scratch.Path("links")), (std::vector<std::string>{"chained.ini", "settings.ini"}));

  // A link to a file not there yet creates it.
  std::filesystem::create_symlink("../real/later.ini", scratch.Path("links/later.ini"));
  ASSERT_TRUE(safereplace::ReplaceFile(scratch.Path("links/later.ini"), "made", error)) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(scratch.Path("real/later.ini")), "made");

  std::filesystem::create_symlink("loop", scratch.Path("links/loop"));
  EXPECT_FALSE(safereplace::ReplaceFile(scratch.Path("links/loop"), "x", error));
  EXPECT_NE(error.find("symbolic links"), std::string::npos) << error;
}
#endif

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, RefusesReadOnlyFilesFoldersAndSpecialFilesWithAReason) {
  ScratchFolder scratch;
  std::string locked = scratch.Write("locked.txt", "keep me");
  chmod(locked.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(safereplace::ReplaceFile(locked, "lost", error));  // even for root
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(locked), "keep me");

  std::filesystem::create_directories(scratch.Path("folder"));
  EXPECT_FALSE(safereplace::ReplaceFile(scratch.Path("folder"), "x", error));
  EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_directory(scratch.Path("folder")));

  std::string fifo = scratch.Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(safereplace::ReplaceFile(fifo, "x", error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(safereplace::CanReplace(fifo, error));
  EXPECT_TRUE(S_ISFIFO(LinkStat(fifo).st_mode));

  EXPECT_FALSE(safereplace::ReplaceFile("/dev/null", "x", error));
  EXPECT_TRUE(S_ISCHR(LinkStat("/dev/null").st_mode));
  EXPECT_FALSE(safereplace::CanReplace(scratch.Path("missing/folder/file"), error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}
#endif

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, WritesDevicesAndFifosInPlaceWhenAskedTo) {
  ScratchFolder scratch;
  safereplace::Options direct;
  direct.allowDirect = true;
  std::string error;
  EXPECT_TRUE(safereplace::ReplaceFile("/dev/null", "discarded", error, direct)) << error;
  EXPECT_TRUE(S_ISCHR(LinkStat("/dev/null").st_mode));

  std::string fifo = scratch.Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ScratchFolder::ReadFile(fifo); });
  EXPECT_TRUE(safereplace::ReplaceFile(fifo, "through the pipe", error, direct)) << error;
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(S_ISFIFO(LinkStat(fifo).st_mode));
}
#endif

TEST(SafeReplace, AnUnfinishedFileLeavesTheTargetAsItWasAndNothingBehind) {
  ScratchFolder scratch;
  std::string path = scratch.Write("export.txt", "previous answer");
  {
    safereplace::ReplacementFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path, error)) << error;
    file.Write("half of the new");
    // Dropped without Commit, as when the writer gives up.
  }
  EXPECT_EQ(ScratchFolder::ReadFile(path), "previous answer");
  EXPECT_EQ(Names(scratch.Root().string()), std::vector<std::string>{"export.txt"});
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, AWriteThatFailsPartWayIsReportedAndKeepsTheOldFile) {
  ScratchFolder scratch;
  std::string path = scratch.Write("model.fbx", "the model as it was");
  // A file-size limit stops the write part-way with an error, as a full disk would.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limit = saved;
  limit.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string error;
  const bool replaced = safereplace::ReplaceFile(path, std::string(100000, 'x'), error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(replaced);
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(path), "the model as it was");
  EXPECT_EQ(Names(scratch.Root().string()), std::vector<std::string>{"model.fbx"});
}
#endif

TEST(SafeReplace, StaleTemporaryFilesOfAKilledWriterAreRemovedByAge) {
  ScratchFolder scratch;
  std::string target = scratch.Path("model.fbx");
  std::string pattern = safereplace::TemporaryPattern(target);
  std::string old = scratch.Write(
      std::filesystem::path(pattern.substr(0, pattern.size() - 6) + "Old123").filename().string(), "killed");
  std::string fresh = scratch.Write(
      std::filesystem::path(pattern.substr(0, pattern.size() - 6) + "New456").filename().string(), "in progress");
  std::string unrelated = scratch.Write("model.fbx.bak", "mine");
  // Named like a temporary, but not as the writer names them: the user's own.
  std::string lookalike = scratch.Write(
      std::filesystem::path(pattern.substr(0, pattern.size() - 6) + "kept-by-hand").filename().string(), "mine too");
  auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(old, now - std::chrono::hours(2));
  std::filesystem::last_write_time(lookalike, now - std::chrono::hours(2));
  // File times are finer than time(): a file written this instant can stand a second ahead.
  std::filesystem::last_write_time(fresh, now + std::chrono::seconds(2));
  std::string error;
  ASSERT_TRUE(safereplace::ReplaceFile(target, "model", error)) << error;  // every writer tidies up
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(fresh));
  EXPECT_TRUE(std::filesystem::exists(unrelated));
  EXPECT_EQ(safereplace::RemoveStaleTemporaries(target, 0), 1);
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_TRUE(std::filesystem::exists(lookalike));
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST(SafeReplace, AFinishedFileMovesOverItsTargetAsAReplacementWould) {
  ScratchFolder scratch;
  std::string real = scratch.Write("real/export.txt", "old answer");
  chmod(real.c_str(), 0640);
  std::string link = scratch.Path("export.txt");
  std::filesystem::create_symlink("real/export.txt", link);
  std::string finished = scratch.Write("export.txt.new", "new answer");
  std::string error;
  ASSERT_TRUE(safereplace::MoveOver(finished, link, error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new answer");
  EXPECT_EQ(LinkStat(real).st_mode & 07777, 0640u);
  EXPECT_FALSE(std::filesystem::exists(finished));

  chmod(real.c_str(), 0444);
  std::string again = scratch.Write("again.new", "refused");
  EXPECT_FALSE(safereplace::MoveOver(again, link, error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(again), "refused") << "the source stays for the caller";
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new answer");

  // A FIFO or device is never renamed over, even by a caller that writes such files in place.
  std::string fifo = scratch.Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  safereplace::Options direct;
  direct.allowDirect = true;
  std::string moved = scratch.Write("moved.new", "kept");
  EXPECT_FALSE(safereplace::MoveOver(moved, fifo, error, direct));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_TRUE(S_ISFIFO(LinkStat(fifo).st_mode));
  EXPECT_EQ(ScratchFolder::ReadFile(moved), "kept");
}
#endif
