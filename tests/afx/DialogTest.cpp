#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "afxfilter.h"
#include "afxhost.h"
#include "afxres.h"
#include "afxwin.h"

namespace {

// Templates of this executable, found as a module's resources are.
const AfxResourceScript kResources(R"rc(
// A modal dialog with a child page inside it.
7001 DIALOGEX 10, 20, 100, 60
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Test ""quoted"" dialog"
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    DEFPUSHBUTTON   "OK",1,10,40,30,14
    PUSHBUTTON      "Cancel",2,50,40,30,14,NOT WS_TABSTOP
    LTEXT           "Label",IDC_STATIC,4,4,40,8
    CONTROL         "Tick",300,"Button",BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED,4,16,40,10
    COMBOBOX        400,50,4,40,50,CBS_DROPDOWN | WS_VSCROLL
    CONTROL         "",500,"SysTabControl32",0x0,0,0,100,30
END

7002 DIALOGEX 0, 0, 40, 20
STYLE DS_SETFONT | WS_CHILD
BEGIN
    PUSHBUTTON      "Inner",600,2,2,20,10
END
)rc");

std::vector<std::string> g_events;

class PageDialog : public CDialog {
public:
  void OnCancel() override { g_events.push_back("page cancel"); }

protected:
  void OnInner() { g_events.push_back("inner"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PageDialog, CDialog)
ON_BN_CLICKED(600, OnInner)
END_MESSAGE_MAP()

class TestDialog : public CDialog {
public:
  TestDialog() : CDialog(7001) {}
  PageDialog page;
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    g_events.push_back("init");
    page.Create(7002, GetDlgItem(500));
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("One");
    GetDlgItem(500)->SendMessage(TCM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<char*>("Two");
    GetDlgItem(500)->SendMessage(TCM_INSERTITEM, 1, reinterpret_cast<LPARAM>(&item));
    return TRUE;
  }

protected:
  void OnTab(NMHDR* header, LRESULT*) {
    g_events.push_back("tab " + std::to_string(GetDlgItem(500)->SendMessage(TCM_GETCURSEL)) + " from " +
                       std::to_string(header->idFrom));
  }
  void OnList() { g_events.push_back("list"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_NOTIFY(TCN_SELCHANGE, 500, OnTab)
ON_CBN_SELCHANGE(400, OnList)
END_MESSAGE_MAP()

// Runs the dialog with the steps as its input; the dialog closes once they are done.
INT_PTR RunModal(CDialog& dialog, std::vector<std::function<void()>> steps) {
  std::size_t next = 0;
  AfxGetHeadlessDisplay().SetModalDriver([&](HWND) {
    if (next >= steps.size()) return false;
    steps[next++]();
    return true;
  });
  const INT_PTR result = dialog.DoModal();
  AfxGetHeadlessDisplay().SetModalDriver({});
  return result;
}

AfxWindowInfo Info(HWND window) {
  AfxWindowInfo info;
  EXPECT_TRUE(AfxGetWindowInfo(window, info));
  return info;
}

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    g_events.clear();
    AfxGetHeadlessDisplay().ClearMessageBoxes();
  }
};

TEST_F(DialogTest, TemplatesBecomeWindowsInPixelsWithTheResourceCompilersStyles) {
  TestDialog dialog;
  RunModal(dialog, {[&] {
             HWND window = dialog.GetSafeHwnd();
             const AfxWindowInfo info = Info(window);
             EXPECT_EQ(info.text, "Test \"quoted\" dialog");
             EXPECT_EQ(info.rect.left, 15);
             EXPECT_EQ(info.rect.top, 33);  // 20 units of 1.625 pixels, rounded
             EXPECT_EQ(info.rect.right - info.rect.left, 150);
             EXPECT_EQ(info.rect.bottom - info.rect.top, 98);

             const AfxWindowInfo ok = Info(AfxFindControl(window, 1));
             EXPECT_EQ(ok.style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
             EXPECT_TRUE(ok.style & WS_TABSTOP);
             EXPECT_TRUE(ok.visible);
             EXPECT_FALSE(Info(AfxFindControl(window, 2)).style & WS_TABSTOP) << "NOT clears a default style";
             EXPECT_FALSE(Info(AfxFindControl(window, 300)).enabled);
             EXPECT_EQ(Info(AfxFindControl(window, 400)).className, "ComboBox");
             EXPECT_TRUE(Info(AfxFindControl(window, 400)).style & WS_TABSTOP) << "COMBOBOX is a tab stop";
             // The page is a hidden child of the tab control; its button is found from the dialog.
             HWND inner = AfxFindControl(window, 600);
             ASSERT_NE(inner, nullptr);
             EXPECT_EQ(::GetDlgItem(window, 600), nullptr) << "GetDlgItem looks at direct children only";
             EXPECT_EQ(dialog.page.GetDlgItem(600)->GetSafeHwnd(), inner);
             EXPECT_FALSE(Info(inner).visible);
             EXPECT_EQ(::GetFocus(), AfxFindControl(window, 1)) << "the first tab stop has the focus";
           }});
  EXPECT_EQ(g_events.front(), "init");
  EXPECT_FALSE(::IsWindow(dialog.page.GetSafeHwnd())) << "the page goes with its dialog";
}

TEST_F(DialogTest, OkAndCancelButtonsEndTheDialogWithTheirResult) {
  TestDialog first;
  EXPECT_EQ(RunModal(first, {[&] {
                       std::string problem;
                       EXPECT_TRUE(AfxUserClick(AfxFindControl(first.GetSafeHwnd(), 1), problem)) << problem;
                     }}),
            IDOK);
  TestDialog second;
  EXPECT_EQ(RunModal(second, {[&] {
                       std::string problem;
                       EXPECT_TRUE(AfxUserClick(AfxFindControl(second.GetSafeHwnd(), 2), problem)) << problem;
                     }}),
            IDCANCEL);
  TestDialog third;
  EXPECT_EQ(RunModal(third, {}), IDCANCEL) << "no more input closes it by its close box";
  CDialog missing(7999);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, UserInputSendsTheControlsNotificationsAndRefusesWhatAPersonCouldNotDo) {
  TestDialog dialog;
  RunModal(dialog, {[&] {
                      HWND window = dialog.GetSafeHwnd();
                      std::string problem;
                      EXPECT_TRUE(AfxUserSelectTab(AfxFindControl(window, 500), 1, problem)) << problem;
                      EXPECT_TRUE(AfxUserSelectEntry(AfxFindControl(window, 400), 0, problem) == false);
                      EXPECT_EQ(problem, "control 400 has no entry 0 (it has 0)");
                      ::SendMessageA(AfxFindControl(window, 400), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
                      EXPECT_TRUE(AfxUserSelectEntry(AfxFindControl(window, 400), 0, problem)) << problem;

                      EXPECT_FALSE(AfxUserClick(AfxFindControl(window, 300), problem));
                      EXPECT_EQ(problem, "control 300 is disabled");
                      EXPECT_FALSE(AfxUserClick(AfxFindControl(window, 600), problem));
                      EXPECT_EQ(problem, "control 600 is hidden");
                      EXPECT_FALSE(AfxUserClick(AfxFindControl(window, 400), problem));
                      EXPECT_EQ(problem, "control 400 is not a button");
                      EXPECT_FALSE(AfxUserClick(nullptr, problem));

                      dialog.page.ShowWindow(SW_SHOW);
                      EXPECT_TRUE(AfxUserClick(AfxFindControl(window, 600), problem)) << problem;
                      // Escape goes to the page that holds the focus, not to the dialog.
                      AfxUserPressEscape();
                    },
                    [&] { EXPECT_TRUE(::IsWindow(dialog.GetSafeHwnd())); }});
  EXPECT_EQ(g_events, (std::vector<std::string>{"init", "tab 1 from 500", "list", "inner", "page cancel"}));
}

TEST_F(DialogTest, ControlMessagesBehaveAsOnWindows) {
  TestDialog dialog;
  RunModal(dialog, {[&] {
             HWND combo = AfxFindControl(dialog.GetSafeHwnd(), 400);
             EXPECT_EQ(::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
             EXPECT_EQ(::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second")), 1);
             EXPECT_EQ(::SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
             char text[16] = {};
             EXPECT_EQ(::SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 6);
             EXPECT_STREQ(text, "second");
             EXPECT_EQ(::SendMessageA(combo, CB_SETCURSEL, 5, 0), CB_ERR);
             EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);

             HWND tick = AfxFindControl(dialog.GetSafeHwnd(), 300);
             ::SendMessageA(tick, BM_SETCHECK, BST_CHECKED, 0);
             EXPECT_EQ(::SendMessageA(tick, BM_GETCHECK, 0, 0), BST_CHECKED);
             HWND ok = AfxFindControl(dialog.GetSafeHwnd(), 1);
             ::SendMessageA(ok, BM_SETCHECK, BST_CHECKED, 0);
             EXPECT_EQ(::SendMessageA(ok, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a push button has no check";

             char caption[5] = {};
             EXPECT_EQ(::GetWindowTextA(ok, caption, sizeof caption), 2);
             EXPECT_STREQ(caption, "OK");
           }});
}

int g_ticks = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST_F(DialogTest, TimersTickInTheModalLoop) {
  AfxUseVirtualClock(true);
  g_ticks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, Tick);
  TestDialog dialog;
  RunModal(dialog, {[] { AfxRunMessageLoop(350); }, [] { EXPECT_EQ(g_ticks, 3); }});
  ::KillTimer(nullptr, timer);
  AfxUseVirtualClock(false);
}

TEST_F(DialogTest, ResourcesLastAsLongAsTheirModuleAndABrokenScriptGivesNoTemplates) {
  {
    const AfxResourceScript loaded("7200 DIALOGEX 0, 0, 20, 20\nSTYLE WS_POPUP\nBEGIN\nEND\n");
    CDialog dialog(7200);
    EXPECT_EQ(RunModal(dialog, {}), IDCANCEL);
  }
  CDialog unloaded(7200);
  EXPECT_EQ(unloaded.DoModal(), -1);

  const AfxResourceScript broken("7300 DIALOGEX 0, 0, 20, 20\nBEGIN\n  LTEXT \"open,1,0,0,1,1\nEND\n");
  CDialog fromBroken(7300);
  EXPECT_EQ(fromBroken.DoModal(), -1);
  const AfxResourceScript unknown("7301 DIALOGEX 0, 0, 20, 20\nBEGIN\n  SLIDER 5,0,0,1,1\nEND\n");
  CDialog fromUnknown(7301);
  EXPECT_EQ(fromUnknown.DoModal(), -1);
}

TEST(FileFilterTest, ExeFiltersTakeExecutableFilesOnThisPlatform) {
  ScratchFolder scratch;
  const std::vector<AfxFileFilter> filters = AfxParseFileFilter("Pigmora executable (*.exe) |*.exe||");
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].description, "Pigmora executable (*.exe) ");
  EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.exe"});

  const std::string program = scratch.Write("Pigmora", "#!/bin/sh\n");
  ::chmod(program.c_str(), 0755);
  const std::string text = scratch.Write("notes.txt", "text");
#if defined(_WIN32)
  EXPECT_FALSE(AfxFileMatchesFilter(program, filters[0])) << "Windows tells programs by their extension";
#else
  EXPECT_TRUE(AfxFileMatchesFilter(program, filters[0])) << "a file the user may run is a program here";
#endif
  EXPECT_TRUE(AfxFileMatchesFilter(scratch.Write("Setup.exe", ""), filters[0]));
  EXPECT_FALSE(AfxFileMatchesFilter(text, filters[0]));
  EXPECT_FALSE(AfxFileMatchesFilter(scratch.Root().string(), filters[0])) << "a folder is no program";

  const std::vector<AfxFileFilter> two = AfxParseFileFilter("Images|*.png;*.tga|All files|*||");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].patterns, (std::vector<std::string>{"*.png", "*.tga"}));
  EXPECT_TRUE(AfxFileMatchesFilter(text, two[1]));
  EXPECT_TRUE(AfxParseFileFilter("").empty());
}

}  // namespace
