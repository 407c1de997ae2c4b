#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "FileIO/Registry.h"
#include "ScratchFolder.h"

namespace {

// Runs `work` in a child process; the child's exit code says whether it succeeded.
pid_t RunInChild(const std::function<bool()>& work) {
  pid_t pid = fork();
  if (pid == 0) _exit(work() ? 0 : 1);
  return pid;
}

bool ChildSucceeded(pid_t pid) {
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(RegistryConcurrency, TwoProcessesWritingAtOnceKeepEachOthersKeys) {
  ScratchFolder scratch;
  constexpr int kKeysEach = 40;
  auto writer = [](const char* prefix) {
    return [prefix] {
      bool ok = true;
      for (int i = 0; i < kKeysEach; ++i) {
        ok = SetRegistryValue("Pigmora", (std::string(prefix) + std::to_string(i)).c_str(), i) && ok;
        ok = SetRegistryString("Shared", "LastWriter", prefix) && ok;
      }
      return ok;
    };
  };
  pid_t first = RunInChild(writer("First"));
  pid_t second = RunInChild(writer("Second"));
  ASSERT_TRUE(ChildSucceeded(first));
  ASSERT_TRUE(ChildSucceeded(second));

  for (int i = 0; i < kKeysEach; ++i) {
    EXPECT_EQ(GetRegistryValue("Pigmora", ("First" + std::to_string(i)).c_str(), -1), i);
    EXPECT_EQ(GetRegistryValue("Pigmora", ("Second" + std::to_string(i)).c_str(), -1), i);
  }
  String last = GetRegistryString("Shared", "LastWriter", "");
  EXPECT_TRUE(last == String("First") || last == String("Second"));
  // Neither process duplicated a section or a key of the other.
  std::string text = ScratchFolder::ReadFile(scratch.RegistryPath());
  auto occurrences = [&](const std::string& needle) {
    int count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
    return count;
  };
  EXPECT_EQ(occurrences("[Pigmora]"), 1);
  EXPECT_EQ(occurrences("LastWriter="), 1);
  EXPECT_EQ(occurrences("\nFirst0="), 1);
  EXPECT_EQ(occurrences("\nSecond0="), 1);
}

TEST(RegistryConcurrency, ReaderNeverSeesAHalfWrittenFile) {
  ScratchFolder scratch;
  const std::string a(64 * 1024, 'a');
  const std::string b(64 * 1024, 'b');
  ASSERT_NE(SetRegistryString("Pigmora", "Big", a.c_str()), 0);
  pid_t writer = RunInChild([&] {
    bool ok = true;
    for (int i = 0; i < 60; ++i) ok = SetRegistryString("Pigmora", "Big", (i % 2 ? a : b).c_str()) && ok;
    return ok;
  });
  int torn = 0;
  for (int i = 0; i < 200; ++i) {
    String value = GetRegistryString("Pigmora", "Big", "missing");
    if (value.Get() != a && value.Get() != b) ++torn;
  }
  ASSERT_TRUE(ChildSucceeded(writer));
  EXPECT_EQ(torn, 0);
}
