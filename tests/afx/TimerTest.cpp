#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "afxhost.h"
#include "afxwin.h"

namespace {

struct Tick {
  UINT_PTR id;
  DWORD time;
  HWND window = nullptr;
};
std::vector<Tick> g_ticks;

void CALLBACK RecordTick(HWND window, UINT message, UINT_PTR id, DWORD time) {
  EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
  g_ticks.push_back({id, time, window});
}

int TicksOf(UINT_PTR id) {
  return static_cast<int>(std::count_if(g_ticks.begin(), g_ticks.end(), [&](const Tick& t) { return t.id == id; }));
}

class Timers : public ::testing::Test {
protected:
  void SetUp() override {
    AfxUseVirtualClock(true);
    g_ticks.clear();
  }
};

TEST_F(Timers, WindowlessTimersGetNewNonZeroIdsAndTickOnlyInARunningLoop) {
  UINT_PTR first = SetTimer(nullptr, 0, 1000, &RecordTick);
  UINT_PTR second = SetTimer(nullptr, 0, 1000, &RecordTick);
  UINT_PTR third = SetTimer(nullptr, 12345, 1000, &RecordTick);  // an unknown id is ignored
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_NE(third, 0u);
  EXPECT_NE(third, first);
  EXPECT_NE(third, second);
  EXPECT_EQ(AfxActiveTimerCount(), 3);

  EXPECT_EQ(AfxProcessDueTimers(), 0);
  EXPECT_TRUE(g_ticks.empty());

  ULONGLONG start = AfxClockMilliseconds();
  AfxRunMessageLoop(3500);
  EXPECT_EQ(AfxClockMilliseconds(), start + 3500);
  EXPECT_EQ(TicksOf(first), 3);
  EXPECT_EQ(TicksOf(second), 3);
  EXPECT_EQ(TicksOf(third), 3);
  // Each tick carries the time it fell due; timers due together tick in the order they were set.
  ASSERT_EQ(g_ticks.size(), 9u);
  EXPECT_EQ(g_ticks[0].time, static_cast<DWORD>(start + 1000));
  EXPECT_EQ(g_ticks[0].id, first);
  EXPECT_EQ(g_ticks[0].window, nullptr);
  EXPECT_EQ(g_ticks[1].id, second);
  EXPECT_EQ(g_ticks[8].time, static_cast<DWORD>(start + 3000));

  for (UINT_PTR id : {first, second, third}) EXPECT_TRUE(KillTimer(nullptr, id));
}

// A module that times something against its timers' ticks (the auto-import's settling) reads this clock.
TEST_F(Timers, GetTickCountIsTheClockTheTimersTickBy) {
  const DWORD before = GetTickCount();
  AfxRunMessageLoop(5000);  // virtual: no real time passes
  EXPECT_EQ(GetTickCount() - before, 5000u);
}

TEST_F(Timers, KillTimerStopsTicksAndReportsUnknownIds) {
  UINT_PTR id = SetTimer(nullptr, 0, 1000, &RecordTick);
  AfxRunMessageLoop(1000);
  EXPECT_EQ(TicksOf(id), 1);
  EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, 0));
  EXPECT_EQ(AfxActiveTimerCount(), 0);
  AfxRunMessageLoop(5000);
  EXPECT_EQ(TicksOf(id), 1);
  EXPECT_EQ(AfxMillisecondsUntilNextTimer(), -1);
}

TEST_F(Timers, SettingARunningIdReplacesThatTimer) {
  UINT_PTR id = SetTimer(nullptr, 0, 1000, &RecordTick);
  AfxRunMessageLoop(600);
  EXPECT_EQ(SetTimer(nullptr, id, 300, &RecordTick), id);
  EXPECT_EQ(AfxActiveTimerCount(), 1);
  EXPECT_EQ(AfxMillisecondsUntilNextTimer(), 300);
  AfxRunMessageLoop(900);
  EXPECT_EQ(TicksOf(id), 3);
  KillTimer(nullptr, id);
}

TEST_F(Timers, RefusesTimersNobodyCouldReceiveAndClampsTinyPeriods) {
  EXPECT_EQ(SetTimer(nullptr, 0, 100, nullptr), 0u);
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x4000), 1, 100, &RecordTick), 0u);  // no such window
  UINT_PTR id = SetTimer(nullptr, 0, 0, &RecordTick);
  AfxRunMessageLoop(100);
  EXPECT_EQ(TicksOf(id), 100 / static_cast<int>(USER_TIMER_MINIMUM));
  KillTimer(nullptr, id);
}

UINT_PTR g_selfKilling = 0;
void CALLBACK KillSelfOnSecondTick(HWND, UINT, UINT_PTR id, DWORD time) {
  g_ticks.push_back({id, time});
  if (TicksOf(id) == 2) KillTimer(nullptr, g_selfKilling);
}

TEST_F(Timers, ATimerMayKillItselfInItsOwnTick) {
  g_selfKilling = SetTimer(nullptr, 0, 100, &KillSelfOnSecondTick);
  AfxRunMessageLoop(1000);
  EXPECT_EQ(TicksOf(g_selfKilling), 2);
  EXPECT_EQ(AfxActiveTimerCount(), 0);
}

// A tick that runs a loop of its own (a modal dialog, say) must not see
// itself tick again inside it before its next period, while other timers do.
int g_nestedDepth = 0;
int g_maxNestedDepth = 0;
UINT_PTR g_other = 0;
void CALLBACK TickWithNestedLoop(HWND, UINT, UINT_PTR id, DWORD time) {
  g_ticks.push_back({id, time});
  ++g_nestedDepth;
  g_maxNestedDepth = std::max(g_maxNestedDepth, g_nestedDepth);
  if (g_nestedDepth == 1) AfxRunMessageLoop(250);
  --g_nestedDepth;
}

TEST_F(Timers, TicksContinueInsideNestedLoopsWithoutDoubleDelivery) {
  g_maxNestedDepth = 0;
  UINT_PTR slow = SetTimer(nullptr, 0, 1000, &TickWithNestedLoop);
  g_other = SetTimer(nullptr, 0, 100, &RecordTick);
  AfxRunMessageLoop(1000);
  EXPECT_EQ(TicksOf(slow), 1);
  EXPECT_EQ(g_maxNestedDepth, 1);
  EXPECT_EQ(TicksOf(g_other), 12);  // 9 before the slow tick, 3 inside its nested loop (1000, 1100, 1200)
  KillTimer(nullptr, slow);
  KillTimer(nullptr, g_other);
}

TEST_F(Timers, LoopUntilStopsWhenDoneOrWhenNothingCanChange) {
  UINT_PTR id = SetTimer(nullptr, 0, 1000, &RecordTick);
  ULONGLONG start = AfxClockMilliseconds();
  EXPECT_TRUE(AfxRunMessageLoopUntil([] { return g_ticks.size() >= 2; }, 60000));
  EXPECT_EQ(AfxClockMilliseconds(), start + 2000);
  EXPECT_FALSE(AfxRunMessageLoopUntil([] { return false; }, 1500));
  EXPECT_EQ(AfxClockMilliseconds(), start + 3500);
  KillTimer(nullptr, id);
  EXPECT_FALSE(AfxRunMessageLoopUntil([] { return false; }, ~0ull));  // returns at once
}

TEST(RealClock, TheLoopWaitsRealTimeForTicks) {
  AfxUseVirtualClock(false);
  g_ticks.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 20, &RecordTick);
  ULONGLONG start = AfxClockMilliseconds();
  AfxRunMessageLoop(110);
  EXPECT_GE(AfxClockMilliseconds(), start + 110);
  // A busy machine may merge late ticks into one, but never adds any.
  EXPECT_GE(TicksOf(id), 1);
  EXPECT_LE(TicksOf(id), 6);
  KillTimer(nullptr, id);
}

ULONGLONG g_slowTickEnd = 0;

void CALLBACK SlowFirstTick(HWND window, UINT message, UINT_PTR id, DWORD time) {
  RecordTick(window, message, id, time);
  if (g_ticks.size() != 1) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  g_slowTickEnd = AfxClockMilliseconds();
}

TEST(RealClock, TicksASlowTickMadeTheLoopMissComeAsOneNotABurst) {
  AfxUseVirtualClock(false);
  g_ticks.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 20, &SlowFirstTick);
  AfxRunMessageLoop(400);
  KillTimer(nullptr, id);
  ASSERT_GT(g_slowTickEnd, 0u);
  // Fifteen ticks fell due during the slow one; a burst of them would flood the program at once.
  const auto soonAfter = std::count_if(g_ticks.begin() + 1, g_ticks.end(),
                                       [](const Tick& tick) { return tick.time < g_slowTickEnd + 15; });
  EXPECT_LE(soonAfter, 1);
}

class TimedWindow : public CWnd {
public:
  std::vector<UINT_PTR> ticks;
  void OnTimer(UINT_PTR id) override { ticks.push_back(id); }
};

TEST_F(Timers, WindowTimersUseTheCallersIdAndDieWithTheWindow) {
  TimedWindow window;
  ASSERT_TRUE(window.CreateEx(0, "Frame", "Host", 0, 0, 0, 100, 100, nullptr, nullptr));
  EXPECT_EQ(window.SetTimer(7, 100, nullptr), 7u);
  EXPECT_EQ(SetTimer(window.GetSafeHwnd(), 9, 200, &RecordTick), 9u);
  AfxRunMessageLoop(200);
  EXPECT_EQ(window.ticks, (std::vector<UINT_PTR>{7, 7}));
  ASSERT_EQ(g_ticks.size(), 1u);
  EXPECT_EQ(g_ticks[0].id, 9u);
  EXPECT_EQ(g_ticks[0].window, window.GetSafeHwnd());
  EXPECT_FALSE(KillTimer(nullptr, 7));  // a window's timer is not a window-less one

  window.DestroyWindow();
  EXPECT_EQ(AfxActiveTimerCount(), 0);
}

}  // namespace

namespace {

std::vector<std::string> g_told;

void CALLBACK TellTick(HWND, UINT, UINT_PTR, DWORD) { g_told.push_back("tick"); }

}  // namespace

// A host shows what a plug-in's timer does by the hook around its ticks.
TEST_F(Timers, TheTickHookIsToldJustBeforeAndJustAfterEachTick) {
  g_told.clear();
  AfxSetTimerTickHook([](TIMERPROC proc, bool starting) {
    EXPECT_EQ(proc, &TellTick);
    g_told.push_back(starting ? "before" : "after");
  });
  const UINT_PTR id = SetTimer(nullptr, 0, 1000, &TellTick);
  AfxRunMessageLoop(2500);
  AfxSetTimerTickHook({});
  AfxRunMessageLoop(1000);
  KillTimer(nullptr, id);
  EXPECT_EQ(g_told, (std::vector<std::string>{"before", "tick", "after", "before", "tick", "after", "tick"}));
}
