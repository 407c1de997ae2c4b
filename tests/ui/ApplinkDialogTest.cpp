#include <Plugin/HostProject.h>

#include <filesystem>

#include "DialogHarness.h"
#include "fbx/FbxContext.h"
#include "ui/DlgIO.h"
#include "ui/DlgOptions.h"

using namespace pigmora;

namespace {

// The host's own application object, as in the host, so AfxGetThread() has a thread.
CWinApp testApplication("ui_tests");

RECT Rect(HWND window) {
  AfxWindowInfo info;
  EXPECT_TRUE(AfxGetWindowInfo(window, info));
  return info.rect;
}

using ApplinkDialogTest = DialogHarness;

TEST_F(ApplinkDialogTest, OpensOnTheIOTabLaidOutAsItsTemplates) {
  EXPECT_EQ(RunDialog({[&] {
              AfxWindowInfo dialog;
              ASSERT_TRUE(AfxGetWindowInfo(Dialog(), dialog));
              EXPECT_EQ(dialog.text, "Pigmora applink");
              // 184 x 274 dialog units of 1.5 x 1.625 pixels.
              EXPECT_EQ(dialog.rect.right - dialog.rect.left, 276);
              EXPECT_EQ(dialog.rect.bottom - dialog.rect.top, 445);

              const AfxWindowInfo tabs = Info(1015);
              EXPECT_EQ(tabs.items, (std::vector<std::string>{"I/O", "Options"}));
              EXPECT_EQ(tabs.curSel, 0);
              EXPECT_EQ(tabs.rect.left, 3);
              EXPECT_EQ(tabs.rect.top, 11);

              // Both pages sit right below the tab items, at their template size.
              RECT item{};
              ASSERT_TRUE(::SendMessageA(Control(1015), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
              for (HWND page : {dialog_->IOPage()->GetSafeHwnd(), dialog_->OptionsPage()->GetSafeHwnd()}) {
                const RECT rect = Rect(page);
                EXPECT_EQ(rect.left, item.left);
                EXPECT_EQ(rect.top, item.bottom + 1);
                EXPECT_EQ(rect.right - rect.left, 260);
                EXPECT_EQ(rect.bottom - rect.top, 406);
              }
              EXPECT_TRUE(::IsWindowVisible(dialog_->IOPage()->GetSafeHwnd()));
              EXPECT_FALSE(::IsWindowVisible(dialog_->OptionsPage()->GetSafeHwnd()));

              const AfxWindowInfo button = Info(1005);
              EXPECT_EQ(button.text, "as single voxel object");
              EXPECT_EQ(button.rect.left, 11);  // 7 units
              EXPECT_EQ(button.rect.top, 161);  // 99 units
              EXPECT_TRUE(button.style & BS_FLAT);
              EXPECT_TRUE(button.style & WS_TABSTOP);
            }}),
            IDCANCEL);
  EXPECT_EQ(stepsRun_, 1u);
}

TEST_F(ApplinkDialogTest, SwitchingTabsShowsOnePageAtATimeAndKeepsValues) {
  RunDialog({
      [&] { Tab(1); },
      [&] {
        EXPECT_TRUE(::IsWindowVisible(dialog_->OptionsPage()->GetSafeHwnd()));
        EXPECT_FALSE(::IsWindowVisible(dialog_->IOPage()->GetSafeHwnd()));
        EXPECT_EQ(::GetFocus(), dialog_->OptionsPage()->GetSafeHwnd());
        Check(1105, 1);
        Select(1201, 3);
        Tab(0);
      },
      [&] {
        EXPECT_TRUE(::IsWindowVisible(dialog_->IOPage()->GetSafeHwnd()));
        // A control on the hidden page cannot be worked.
        std::string problem;
        EXPECT_FALSE(AfxUserClick(Control(1105), problem));
        EXPECT_EQ(problem, "control 1105 is hidden");
        Tab(1);
      },
      [&] {
        EXPECT_EQ(Info(1105).check, BST_CHECKED);
        EXPECT_EQ(Info(1201).curSel, 3);
        EXPECT_EQ(Info(1201).text, "JPG (.jpg)");
      },
  });
  EXPECT_EQ(stepsRun_, 4u);
}

TEST_F(ApplinkDialogTest, EscapeOnEitherPageClosesNothing) {
  RunDialog({
      [&] { AfxUserPressEscape(); },
      [&] {
        EXPECT_TRUE(::IsWindow(Dialog()));
        EXPECT_TRUE(::IsWindowVisible(dialog_->IOPage()->GetSafeHwnd()));
        Tab(1);
        Click(1100);
        AfxUserPressEscape();
      },
      [&] {
        EXPECT_TRUE(::IsWindowVisible(dialog_->OptionsPage()->GetSafeHwnd()));
        AfxUserPressEscape();
      },
      [] {},
  });
  EXPECT_EQ(stepsRun_, 4u) << "the dialog closed before its steps were done";
}

TEST_F(ApplinkDialogTest, TheThreadsMainWindowIsTheDialogAndWmCloseEndsItWithCancel) {
  EXPECT_EQ(AfxGetThread()->GetMainWnd(), nullptr);
  EXPECT_EQ(RunDialog({
                [&] {
                  CWnd* main = AfxGetThread()->GetMainWnd();
                  ASSERT_EQ(main, dialog_);
                  main->SendMessage(WM_CLOSE, 0, 0);
                },
                [] { ADD_FAILURE() << "the dialog kept running after WM_CLOSE"; },
            }),
            IDCANCEL);
  EXPECT_EQ(AfxGetThread()->GetMainWnd(), nullptr);
}

TEST_F(ApplinkDialogTest, CloseBoxAfterChangesKeepsThemForTheNextOpeningAndTheNextStart) {
  RunDialog({[&] {
               Tab(1);
               Check(1027, 1);
               Select(1204, 4);
               Check(1101, 0);
               AfxUserCloseWindow(Dialog());
             },
             [] { ADD_FAILURE() << "the close box did not close the dialog"; }});

  RunDialog({[&] {
    EXPECT_EQ(Info(1027).check, BST_CHECKED);
    EXPECT_EQ(Info(1204).curSel, 4);
    EXPECT_TRUE(Info(1204).enabled);
    EXPECT_EQ(Info(1101).check, BST_UNCHECKED);
  }});

  LoadSettings();  // the host starts again
  RunDialog({[&] {
    EXPECT_EQ(Info(1027).check, BST_CHECKED);
    EXPECT_EQ(Info(1204).curSel, 4);
    EXPECT_EQ(Info(1101).check, BST_UNCHECKED);
  }});
}

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST_F(ApplinkDialogTest, AWindowlessTimerTicksWhileTheDialogIsOpen) {
  g_ticks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1000, CountTick);
  ASSERT_NE(timer, 0u);
  RunDialog({[&] { AfxRunMessageLoop(2500); },
             [&] {
               EXPECT_EQ(g_ticks, 2);
               Tab(1);
               AfxRunMessageLoop(1000);
             }});
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(g_ticks, 3);
}

TEST_F(ApplinkDialogTest, EachModeButtonShowsItsCaptionSendsItsOwnModeAndClosesTheDialog) {
  // The keywords Pigmora knows the modes by and the buttons' captions, in the order of the buttons 1001 to 1012.
  const char* const keywords[] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                  "prim", "curv", "autopo", "uv",  "ref",        "retopo"};
  const char* const captions[] = {"per-pixel painting",
                                  "microvertex painting",
                                  "Ptex",
                                  "as voxel object",
                                  "as single voxel object",
                                  "as new pen alpha",
                                  "as new merging primitive for voxels",
                                  "as a curve profile",
                                  "for Auto-retopology",
                                  "Perform UV-mapping in Pigmora",
                                  "Drop reference mesh to Pigmora",
                                  "Drop retopo mesh as new layer in Pigmora"};
  HProject* project = CreateHostProject(true);
  plugin_->CurrentTreeObject.Set(FindTreeObjectByPath(project, "Objects/Sample"));
  plugin_->Settings.SetSettingString(Option::ExePath, "/usr/bin/true");
  const std::filesystem::path commandFile = scratch_.ExchangePath() / "import.txt";
  for (int id = 1001; id <= 1012; ++id) {
    std::filesystem::remove(commandFile);
    auto captionThenClick = [id, &captions] {
      AfxWindowInfo button;
      ASSERT_TRUE(AfxGetWindowInfo(AfxFindControl(AfxGetActiveModalWindow(), id), button)) << id;
      EXPECT_EQ(button.text, captions[id - 1001]);
      Click(id);
    };
    EXPECT_EQ(RunDialog({captionThenClick, [id] { ADD_FAILURE() << "still open after button " << id; }}), IDCANCEL);
    EXPECT_EQ(stepsRun_, 1u) << id;
    const std::string text = ScratchFolder::ReadFile(commandFile);
    const std::size_t third = text.find('\n', text.find('\n') + 1) + 1;
    EXPECT_EQ(text.substr(third, text.find('\n', third) - third), std::string("[") + keywords[id - 1001] + "]")
        << "button " << id;
  }
  EXPECT_TRUE(display().MessageBoxes().empty()) << display().MessageBoxes().front().text;
  DestroyHostProject(project);
}

}  // namespace
