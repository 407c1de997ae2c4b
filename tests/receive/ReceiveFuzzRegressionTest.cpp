// Replays the receive fuzzer's kept inputs and seeds through the fuzzer's own case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PluginTestState.h"
#include "ReceiveFuzzCase.h"
#include "ScratchFolder.h"

#include <afxhost.h>

TEST(ReceiveFuzzInputs, EveryKeptInputLeavesTheProjectUnchangedOrWellFormed) {
  ScratchFolder scratch;
  AfxUseVirtualClock(true);
  PluginTestState state;
  state.Start(false);
  std::size_t inputs = 0;
  for (const char* folder : {RECEIVE_FUZZ_REGRESSIONS_DIR, RECEIVE_FUZZ_SEEDS_DIR}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
      ++inputs;
      const std::string bytes = ScratchFolder::ReadFile(entry.path());
      const ReceiveFuzzAnswer answer =
          SplitReceiveFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      EXPECT_EQ(ReceiveFuzzAnswerIntoProject(state.Plugin(), answer), "") << entry.path();
    }
  }
  EXPECT_GT(inputs, 0u);
  state.Stop();
}
