// Loads the real Pigmora.hxt the way the host does and checks what the host
// and Pigmora can see of it: entry points, exchange folder, registry, timer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <FileIO/Registry.h>
#include <FileIO/String.h>
#include <Plugin/CommandPlugin.h>
#include <Plugin/HostProject.h>
#include <afxhost.h>
#include <afxwin.h>
#include <common/OsModules.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "TestEnvironment.h"

namespace {

class LoadedModule {
public:
  LoadedModule() {
    handle_ = os::LoadModule(PIGMORA_MODULE_PATH, error_);
    if (!handle_) return;
    loadCommandEntry_ = reinterpret_cast<HxtLoadCommandEntryFn>(os::FindSymbol(handle_, HXT_LOAD_COMMAND_ENTRY_NAME));
    onAddCommandMenu_ = reinterpret_cast<HxtOnAddCommandMenuFn>(os::FindSymbol(handle_, HXT_ON_ADD_COMMAND_MENU_NAME));
    onCommand_ = reinterpret_cast<HxtOnCommandFn>(os::FindSymbol(handle_, HXT_ON_COMMAND_NAME));
  }
  ~LoadedModule() { Unload(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool Loaded() const { return handle_ && loadCommandEntry_ && onAddCommandMenu_ && onCommand_; }
  void* Handle() const { return handle_; }
  const std::string& Error() const { return error_; }
  void Unload() {
    if (handle_) os::UnloadModule(handle_);
    handle_ = nullptr;
  }

  HxtLoadCommandEntryFn loadCommandEntry_ = nullptr;
  HxtOnAddCommandMenuFn onAddCommandMenu_ = nullptr;
  HxtOnCommandFn onCommand_ = nullptr;

private:
  void* handle_ = nullptr;
  std::string error_;
};

class PluginModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    AfxUseVirtualClock(true);
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    project_ = CreateHostProject(false);
  }
  void TearDown() override { DestroyHostProject(project_); }

  ScratchFolder scratch_;
  HProject* project_ = nullptr;
};

TEST_F(PluginModuleTest, ExportsExactlyTheThreeCommandsTheHostExpects) {
  LoadedModule module;
  ASSERT_TRUE(module.Loaded()) << module.Error();
  EXPECT_EQ(AfxModuleAttachResult(module.Handle()), 1);

  const int expectedCodes[] = {1, 259, 14};
  const int expectedMenu[] = {1, 1, 2};
  for (int index = 0; index < 3; ++index) {
    int code = -1;
    EXPECT_EQ(module.loadCommandEntry_(index, code), 1);
    EXPECT_EQ(code, expectedCodes[index]);
    String caption = "old caption";
    int first = -1, second = -1;
    EXPECT_EQ(module.onAddCommandMenu_(nullptr, index, caption, first, second), 1);
    EXPECT_STREQ(caption.Get(), "Pigmora");
    EXPECT_EQ(first, expectedMenu[index]);
    EXPECT_EQ(second, 0);
  }

  int untouched = -77;
  EXPECT_EQ(module.loadCommandEntry_(3, untouched), 0);
  EXPECT_EQ(untouched, -77);

  String caption;
  int first = -1, second = -1;
  EXPECT_EQ(module.onAddCommandMenu_(nullptr, 5, caption, first, second), 0);
  EXPECT_STREQ(caption.Get(), "Pigmora");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST_F(PluginModuleTest, TheApplicationStartsUnderTheHostsRegistryKeyAndProfile) {
  LoadedModule module;
  ASSERT_TRUE(module.Loaded()) << module.Error();
  CWinApp* app = AfxModuleApp(module.Handle());
  ASSERT_NE(app, nullptr) << "the module registers its application object";
  EXPECT_STREQ(app->m_pszAppName, "Pigmora");
  EXPECT_STREQ(app->m_pszRegistryKey, "Hash Animator");
  EXPECT_STREQ(app->m_pszProfileName, "Animator Plugins");
}

TEST_F(PluginModuleTest, UnknownCommandRunsNothing) {
  LoadedModule module;
  ASSERT_TRUE(module.Loaded());
  HTreeObject* objects = FindTreeObjectByPath(project_, "Objects");
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(module.onCommand_(objects, 7), 0);
  EXPECT_EQ(module.onCommand_(nullptr, -1), 0);
  EXPECT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty());
}

TEST_F(PluginModuleTest, LoadingPreparesTheExchangeFolderAndRegistry) {
  LoadedModule module;
  ASSERT_TRUE(module.Loaded());
  const auto hostFolder = scratch_.ExchangePath() / "Hash";
  EXPECT_TRUE(std::filesystem::is_directory(hostFolder / "data"));
  EXPECT_EQ(ScratchFolder::ReadFile(hostFolder / "extension.txt"), "fbx");
  EXPECT_EQ(ScratchFolder::ReadFile(hostFolder / "run.txt"), os::ExecutablePath());
  EXPECT_STREQ(GetRegistryString("Pigmora", "exePath", "<absent>").Get(), "...");
  EXPECT_EQ(GetRegistryValue("Pigmora", "CoarseMesh", -1), 0);
  EXPECT_EQ(GetRegistryValue("Pigmora", "ExportSpecular", -1), 1);
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(PluginModuleTest, UnloadWritesNothingToTheRegistry) {
  LoadedModule module;
  ASSERT_TRUE(module.Loaded());
  struct stat before {};
  ASSERT_EQ(stat(scratch_.RegistryPath().c_str(), &before), 0);
  const std::string contentBefore = ScratchFolder::ReadFile(scratch_.RegistryPath());
  module.Unload();
  struct stat after {};
  ASSERT_EQ(stat(scratch_.RegistryPath().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the registry file was replaced at unload";
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.RegistryPath()), contentBefore);
}
#endif

TEST_F(PluginModuleTest, AutoImportOffStartsNoTimer) {
  const int timersBefore = AfxActiveTimerCount();
  LoadedModule module;
  ASSERT_TRUE(module.Loaded());
  EXPECT_EQ(AfxActiveTimerCount(), timersBefore);
}

TEST_F(PluginModuleTest, AutoImportIsDecidedAtLoadAndPollsEverySecond) {
  SetRegistryBOOL("Pigmora", "AutoImport", 1);
  {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
    EXPECT_EQ(AfxActiveTimerCount(), 1);
    EXPECT_EQ(AfxMillisecondsUntilNextTimer(), 1000);
    AfxRunMessageLoop(999);
    EXPECT_EQ(AfxMillisecondsUntilNextTimer(), 1);
    AfxRunMessageLoop(1);
    EXPECT_EQ(AfxMillisecondsUntilNextTimer(), 1000) << "the first poll came one second after load";

    // Turning it off while loaded takes effect only at the next load.
    SetRegistryBOOL("Pigmora", "AutoImport", 0);
    EXPECT_EQ(AfxActiveTimerCount(), 1);
    module.Unload();
    EXPECT_EQ(AfxActiveTimerCount(), 0) << "unload stops the timer";
  }
  LoadedModule again;
  ASSERT_TRUE(again.Loaded());
  EXPECT_EQ(AfxActiveTimerCount(), 0);
}

TEST_F(PluginModuleTest, FailedFbxStartIsShownByTheDialogCommandsEveryTime) {
  SetEnvironment("FBXSDK_TEST_REFUSE_MANAGER", "1");
  LoadedModule module;
  ClearEnvironment("FBXSDK_TEST_REFUSE_MANAGER");
  ASSERT_TRUE(module.Loaded());
  HTreeObject* objects = FindTreeObjectByPath(project_, "Objects");

  EXPECT_EQ(module.onCommand_(objects, 0), 0);
  EXPECT_EQ(module.onCommand_(objects, 1), 0);
  const auto& boxes = AfxGetHeadlessDisplay().MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const AfxMessageBoxRecord& box : boxes) {
    EXPECT_EQ(box.caption, "FBX Error");
    EXPECT_EQ(box.text, "<FBX_ERROR>: Unable to create FBX Manager!\n");
    EXPECT_EQ(box.Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(box.owner, nullptr);
  }
  // Receiving still runs; with no answer waiting it does nothing.
  EXPECT_EQ(module.onCommand_(objects, 2), 0);
  EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(PluginModuleTest, FrameworkAttachesAfterConstructionAndDetachesBeforeStateGoes) {
  std::vector<std::string> events;
  AfxSetModuleTraceHook([&](const char* event, const char*) { events.emplace_back(event); });
  {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded());
  }
  AfxSetModuleTraceHook({});
  const std::vector<std::string> expected = {"state-created", "attached", "detached", "state-destroyed"};
  EXPECT_EQ(events, expected);
}

}  // namespace
