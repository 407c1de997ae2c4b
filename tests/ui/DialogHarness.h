#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <FileIO/Registry.h>
#include <afxhost.h>
#include <gtest/gtest.h>

#include "ScratchFolder.h"
#include "app/PluginState.h"
#include "ui/DlgMain.h"

using namespace pigmora;

// Runs the applink dialog headless against a scratch registry: each step acts
// in the open dialog as a person would, and the dialog closes by its close
// box once the steps are done.
class DialogHarness : public ::testing::Test {
protected:
  using Step = std::function<void()>;

  void SetUp() override {
    AfxUseVirtualClock(true);
    display().ClearMessageBoxes();
    display().ClearQueuedAnswers();
    display().ClearFileDialogs();
    display().ClearQueuedFileAnswers();
    LoadSettings();
  }

  void TearDown() override {
    display().SetModalDriver({});
    UnloadSettings();
    AfxUseVirtualClock(false);
  }

  // A plug-in start: the settings as the registry holds them.
  void LoadSettings() {
    UnloadSettings();
    plugin_.emplace();
  }

  void UnloadSettings() { plugin_.reset(); }

  // Opens the dialog, runs the steps in its loop and returns DoModal's result.
  INT_PTR RunDialog(std::vector<Step> steps) {
    std::size_t next = 0;
    stepsRun_ = 0;
    display().SetModalDriver([&](HWND) {
      if (next >= steps.size()) return false;
      steps[next++]();
      ++stepsRun_;
      return true;
    });
    DlgMain dialog(plugin_->ForSend(), plugin_->Settings);
    dialog_ = &dialog;
    const INT_PTR result = dialog.DoModal();
    dialog_ = nullptr;
    display().SetModalDriver({});
    return result;
  }

  static AfxHeadlessDisplay& display() { return AfxGetHeadlessDisplay(); }
  static HWND Dialog() { return AfxGetActiveModalWindow(); }
  static HWND Control(int id) { return AfxFindControl(Dialog(), id); }

  static AfxWindowInfo Info(int id) {
    AfxWindowInfo info;
    EXPECT_TRUE(AfxGetWindowInfo(Control(id), info)) << "no control " << id;
    return info;
  }

  static void Click(int id) {
    std::string problem;
    EXPECT_TRUE(AfxUserClick(Control(id), problem)) << problem;
  }
  static void Check(int id, int state) {
    std::string problem;
    EXPECT_TRUE(AfxUserSetCheck(Control(id), state, problem)) << problem;
  }
  static void Select(int id, int index) {
    std::string problem;
    EXPECT_TRUE(AfxUserSelectEntry(Control(id), index, problem)) << problem;
  }
  static void Tab(int index) {
    std::string problem;
    EXPECT_TRUE(AfxUserSelectTab(Control(1015), index, problem)) << problem;
  }

  static int Stored(const char* key) { return GetRegistryValue("Pigmora", key, -1); }
  static std::string StoredText(const char* key) { return GetRegistryString("Pigmora", key, "<absent>").Get(); }

  ScratchFolder scratch_;
  std::optional<PluginState> plugin_;
  DlgMain* dialog_ = nullptr;
  std::size_t stepsRun_ = 0;
};
