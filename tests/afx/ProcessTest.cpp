#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

#include <windows.h>

namespace {

std::uint64_t Milliseconds(const FILETIME& time) {
  return ((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

std::uint64_t NowMs() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return Milliseconds(now);
}

DWORD ExitCode(HANDLE process) {
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(process, &code));
  return code;
}

// What a receive asks of the process that claimed an answer: whether it runs,
// and whether it is the process that ran when the claim was made.
TEST(Process, AHandleTellsARunningProcessFromOneThatEndedUnreapedOrReaped) {
  const std::uint64_t before = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    pause();
    _exit(0);
  }
  ASSERT_GT(child, 0);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(child));
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(ExitCode(process), STILL_ACTIVE);
  FILETIME created{}, exited{}, kernel{}, user{};
  ASSERT_TRUE(GetProcessTimes(process, &created, &exited, &kernel, &user));
  // Never later than the truth, and within the system's second of it.
  EXPECT_LE(Milliseconds(created), NowMs());
  EXPECT_GE(Milliseconds(created) + 1000, before);

  // Ended but not yet reaped by its parent: it runs no more.
  kill(child, SIGKILL);
  siginfo_t info{};
  ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
  EXPECT_NE(ExitCode(process), STILL_ACTIVE);
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(child)), nullptr);
  waitpid(child, nullptr, 0);
  EXPECT_NE(ExitCode(process), STILL_ACTIVE);
  EXPECT_TRUE(CloseHandle(process));

  SetLastError(0);
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(child)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0), nullptr);
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0xffffffffu), nullptr);
}

TEST(Process, TheComputerNameFitsOrSaysHowMuchRoomItNeeds) {
  char name[256] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_GT(size, 0u);
  char small[1] = {};
  DWORD smallSize = sizeof small;
  EXPECT_FALSE(GetComputerNameA(small, &smallSize));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
  EXPECT_EQ(smallSize, size + 1);
}

}  // namespace
