#include <gtest/gtest.h>

#include <cstring>

#include "Plugin.h"
#include "Plugin/HostProject.h"

namespace {

class TestPluginApp : public CPluginApp {
public:
  using CPluginApp::CPluginApp;
  BOOL InitInstance() override {
    SetRegistryKey("Hash Animator");
    return CPluginApp::InitInstance();
  }
};

}  // namespace

TEST(PluginApp, IsTheFrameworkApplicationOfItsModule) {
  {
    TestPluginApp app("Pigmora");
    EXPECT_STREQ(app.m_pszAppName, "Pigmora");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_TRUE(app.InitInstance());
    EXPECT_STREQ(app.m_pszRegistryKey, "Hash Animator");
  }
  EXPECT_EQ(AfxGetApp(), nullptr) << "the application leaves with its object";
  TestPluginApp unnamed;
  EXPECT_GT(std::strlen(unnamed.m_pszAppName), 0u) << "named after the module's file";
}

TEST(PluginApp, PlugInsSeeTheMainWindowTheHostSet) {
  SetMainApplicationWnd(nullptr);
  EXPECT_EQ(GetMainApplicationWnd(), nullptr);
  int stand = 0;
  HWND window = reinterpret_cast<HWND>(&stand);
  SetMainApplicationWnd(window);
  EXPECT_EQ(GetMainApplicationWnd(), window);
  SetMainApplicationWnd(nullptr);
}
