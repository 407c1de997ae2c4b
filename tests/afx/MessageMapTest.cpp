#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "afxwin.h"

namespace {

std::vector<std::string> g_calls;

class BasePage : public CWnd {
protected:
  void OnHelp() { g_calls.push_back("base help"); }
  void OnApply() { g_calls.push_back("base apply"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BasePage, CWnd)
ON_COMMAND(9, OnHelp)
ON_COMMAND(10, OnApply)
END_MESSAGE_MAP()

class ModePage : public BasePage {
public:
  bool closed = false;
  bool gone = false;

protected:
  void OnModeButton(UINT id) { g_calls.push_back("mode " + std::to_string(id)); }
  void OnApply() { g_calls.push_back("page apply"); }
  void OnListChanged(UINT id) { g_calls.push_back("list " + std::to_string(id)); }
  void OnBroken() { throw std::runtime_error("handler failed"); }
  void OnClose() override {
    closed = true;
    CWnd::OnClose();
  }
  void PostNcDestroy() override { gone = true; }
  DECLARE_MESSAGE_MAP()
};

constexpr UINT kSelectionChanged = 1;

BEGIN_MESSAGE_MAP(ModePage, BasePage)
ON_COMMAND_RANGE(1001, 1012, OnModeButton)
ON_COMMAND(10, OnApply)
ON_COMMAND(3000, OnBroken)
ON_CONTROL_RANGE(kSelectionChanged, 2001, 2005, OnListChanged)
END_MESSAGE_MAP()

class MessageMaps : public ::testing::Test {
protected:
  void SetUp() override { g_calls.clear(); }
};

TEST_F(MessageMaps, CommandsRouteByIdRangeAndCodeAndFallBackToTheBaseMap) {
  ModePage page;
  EXPECT_TRUE(page.OnCmdMsg(1001, CN_COMMAND));
  EXPECT_TRUE(page.OnCmdMsg(1012, CN_COMMAND));
  EXPECT_FALSE(page.OnCmdMsg(1013, CN_COMMAND));
  EXPECT_TRUE(page.OnCmdMsg(10, CN_COMMAND));  // the derived map wins
  EXPECT_TRUE(page.OnCmdMsg(9, CN_COMMAND));   // only the base map has it
  EXPECT_TRUE(page.OnCmdMsg(2003, kSelectionChanged));
  EXPECT_FALSE(page.OnCmdMsg(2003, CN_COMMAND));  // same id, other notification
  EXPECT_FALSE(page.OnCmdMsg(1001, kSelectionChanged));
  EXPECT_EQ(g_calls, (std::vector<std::string>{"mode 1001", "mode 1012", "page apply", "base help", "list 2003"}));

  CWnd plain;
  EXPECT_FALSE(plain.OnCmdMsg(9, CN_COMMAND));
}

TEST_F(MessageMaps, SendMessageDeliversCommandsAndCloseDestroysTheWindow) {
  ModePage page;
  ASSERT_TRUE(page.CreateEx(0, "Dialog", "Applink", 0, 0, 0, 100, 100, nullptr, nullptr));
  HWND handle = page.GetSafeHwnd();
  EXPECT_EQ(CWnd::FromHandle(handle), &page);

  SendMessageA(handle, WM_COMMAND, MAKEWPARAM(1005, CN_COMMAND), 0);
  page.SendMessage(WM_COMMAND, MAKEWPARAM(2001, kSelectionChanged), 0);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"mode 1005", "list 2001"}));
  EXPECT_EQ(SendMessageA(handle, WM_COMMAND, MAKEWPARAM(3000, CN_COMMAND), 0), 0) << "a throwing handler answers 0";
  EXPECT_TRUE(IsWindow(handle));

  SendMessageA(handle, WM_CLOSE, 0, 0);
  EXPECT_TRUE(page.closed);
  EXPECT_TRUE(page.gone);
  EXPECT_EQ(page.GetSafeHwnd(), nullptr);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(CWnd::FromHandle(handle), nullptr);
  EXPECT_EQ(SendMessageA(handle, WM_CLOSE, 0, 0), 0);  // a stale handle is harmless
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST_F(MessageMaps, ChildWindowsKnowTheirParentAndGoWithIt) {
  CWnd frame;
  ModePage tab;
  ASSERT_TRUE(frame.CreateEx(0, "Frame", "Host", 0, 0, 0, 100, 100, nullptr, nullptr));
  ASSERT_TRUE(tab.CreateEx(0, "Tab", "I/O", 0, 0, 0, 50, 50, frame.GetSafeHwnd(), reinterpret_cast<HMENU>(102)));
  EXPECT_FALSE(tab.CreateEx(0, "Tab", "again", 0, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_EQ(tab.GetParent(), &frame);
  EXPECT_EQ(tab.GetDlgCtrlID(), 102);
  EXPECT_EQ(tab.GetWindowTextString(), "I/O");
  tab.SetWindowText("Options");
  char buffer[4];
  EXPECT_EQ(tab.GetWindowText(buffer, sizeof buffer), 3);
  EXPECT_STREQ(buffer, "Opt");

  EXPECT_TRUE(DestroyWindow(frame.GetSafeHwnd()));
  EXPECT_TRUE(tab.gone);
  EXPECT_FALSE(DestroyWindow(frame.GetSafeHwnd()));

  CWnd orphan;
  EXPECT_FALSE(orphan.CreateEx(0, "Tab", "x", 0, 0, 0, 1, 1, reinterpret_cast<HWND>(0x4000), nullptr));
}

TEST_F(MessageMaps, AWindowObjectThatGoesAwayTakesItsWindowAlong) {
  HWND handle = nullptr;
  {
    CWnd temporary;
    ASSERT_TRUE(temporary.CreateEx(0, "Frame", "t", 0, 0, 0, 1, 1, nullptr, nullptr));
    handle = temporary.GetSafeHwnd();
  }
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(SendMessageA(handle, WM_COMMAND, 9, 0), 0);
}

}  // namespace
