#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "afxhost.h"
#include "afxwin.h"

namespace {

std::vector<std::string> g_events;

}  // namespace

// The test modules report through this.
extern "C" __attribute__((visibility("default"))) void AfxTestRecord(const char* event) { g_events.push_back(event); }

namespace {

class ModuleLoad : public ::testing::Test {
protected:
  void SetUp() override {
    g_events.clear();
    AfxUseVirtualClock(true);
    AfxSetModuleTraceHook([](const char* event, const char* path) {
      std::string file = path ? path : "";
      g_events.push_back(std::string("framework:") + event + " " + file.substr(file.rfind('/') + 1));
    });
  }
  void TearDown() override { AfxSetModuleTraceHook(nullptr); }

  template <class T>
  static T Function(void* module, const char* name) {
    return reinterpret_cast<T>(dlsym(module, name));
  }
};

TEST_F(ModuleLoad, StateThenConstructorsThenInitInstanceAndTheReverseOnUnload) {
  void* module = dlopen(RECORDING_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  EXPECT_EQ(AfxModuleAttachResult(module), 1);
  EXPECT_TRUE(AfxModuleAttachSucceeded(module));
  EXPECT_EQ(AfxLoadedModuleCount(), 1);
  EXPECT_EQ(g_events,
            (std::vector<std::string>{"framework:state-created afx_recording_module.so", "app-constructed registered",
                                      "other-static-constructed", "InitInstance in-module",
                                      "framework:attached afx_recording_module.so"}));

  g_events.clear();
  ASSERT_EQ(dlclose(module), 0);
  EXPECT_EQ(g_events, (std::vector<std::string>{"ExitInstance", "framework:detached afx_recording_module.so",
                                                "other-static-destroyed", "app-destroyed",
                                                "framework:state-destroyed afx_recording_module.so"}));
  EXPECT_EQ(dlopen(RECORDING_MODULE, RTLD_NOW | RTLD_NOLOAD), nullptr) << "dlclose must really unload";
  EXPECT_EQ(AfxLoadedModuleCount(), 0);
}

TEST_F(ModuleLoad, ReloadingRunsTheWholeStartUpAgain) {
  for (int round = 0; round < 2; ++round) {
    g_events.clear();
    void* module = dlopen(RECORDING_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_EQ(AfxModuleAttachResult(module), 1);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "InitInstance in-module"), 1);
    ASSERT_EQ(dlclose(module), 0);
  }
}

TEST_F(ModuleLoad, FalseInitInstanceMakesTheHostRefuseTheModule) {
  void* module = dlopen(REFUSING_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  EXPECT_EQ(AfxModuleAttachResult(module), 0);
  EXPECT_FALSE(AfxModuleAttachSucceeded(module));
  EXPECT_EQ(g_events.back(), "framework:refused afx_refusing_module.so");

  g_events.clear();
  ASSERT_EQ(dlclose(module), 0);
  EXPECT_EQ(g_events.front(), "ExitInstance");
  EXPECT_NE(std::find(g_events.begin(), g_events.end(), "app-destroyed"), g_events.end());
}

TEST_F(ModuleLoad, AnInitInstanceThatThrowsIsARefusalNotACrash) {
  void* module = dlopen(THROWING_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  EXPECT_EQ(AfxModuleAttachResult(module), 0);
  EXPECT_EQ(g_events.back(), "framework:refused afx_throwing_module.so");
  ASSERT_EQ(dlclose(module), 0);
}

TEST_F(ModuleLoad, LibrariesWithoutTheFrameworkAreNotModules) {
  void* plain = dlopen(PLAIN_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(plain, nullptr) << dlerror();
  EXPECT_EQ(AfxModuleAttachResult(plain), -1);
  EXPECT_TRUE(AfxModuleAttachSucceeded(plain));
  EXPECT_EQ(AfxModuleAttachResult(nullptr), -1);
  EXPECT_TRUE(g_events.empty());
  dlclose(plain);
}

TEST_F(ModuleLoad, StateGuardSwitchesToTheModuleForTheCallOnly) {
  void* module = dlopen(RECORDING_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  AFX_MODULE_STATE* hostState = AfxGetModuleState();
  EXPECT_EQ(AfxGetApp(), nullptr);  // the host has no application object here

  auto seesItself = Function<int (*)()>(module, "RecordingModuleSeesItself");
  ASSERT_NE(seesItself, nullptr);
  EXPECT_EQ(seesItself(), 1);
  EXPECT_EQ(AfxGetModuleState(), hostState);
  EXPECT_EQ(AfxGetApp(), nullptr);

  // The application took the module's file name and kept its replaced profile name.
  auto text = Function<const char* (*)(int)>(module, "RecordingModuleText");
  EXPECT_STREQ(text(0), "afx_recording_module");
  EXPECT_STREQ(text(1), "Recording Key");
  EXPECT_STREQ(text(2), "Recording Profile");
  CWinApp* app = AfxModuleApp(module);
  ASSERT_NE(app, nullptr);
  EXPECT_STREQ(app->m_pszProfileName, "Recording Profile") << "the host sees the module's own application";
  EXPECT_EQ(AfxModuleApp(nullptr), nullptr);
  dlclose(module);
}

TEST_F(ModuleLoad, TimersLeftRunningByAModuleDieWithIt) {
  void* module = dlopen(RECORDING_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto startTimer = Function<UINT_PTR (*)()>(module, "RecordingModuleStartTimer");
  EXPECT_NE(startTimer(), 0u);
  UINT_PTR hostTimer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {});
  AfxRunMessageLoop(100);
  EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "forgotten-timer-tick"), 1);

  dlclose(module);
  EXPECT_EQ(AfxActiveTimerCount(), 1);  // the host's own timer stays
  g_events.clear();
  AfxRunMessageLoop(500);  // would call into unloaded code if the module's timer survived
  EXPECT_TRUE(g_events.empty());
  EXPECT_TRUE(KillTimer(nullptr, hostTimer));
}

}  // namespace
