#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "afxhost.h"
#include "afxwin.h"

// An application object in the executable itself: it belongs to the process's
// module state, which needs no start-up part.
TEST(WinApp, NamesComeFromTheExecutableUnlessGivenAndTheProfileFollowsTheRegistryKey) {
  {
    CWinApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetThread(), &app);
    EXPECT_STREQ(app.m_pszAppName, "afx_tests");
    EXPECT_STREQ(AfxGetAppName(), "afx_tests");
    EXPECT_STREQ(app.m_pszProfileName, "afx_tests.INI");
    EXPECT_EQ(app.m_pszRegistryKey, nullptr);
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.ExitInstance(), 0);
  }
  EXPECT_EQ(AfxGetApp(), nullptr);

  CWinApp named("Hash Animator Plugin");
  named.SetRegistryKey("Hash Animator");
  EXPECT_STREQ(named.m_pszRegistryKey, "Hash Animator");
  EXPECT_STREQ(named.m_pszProfileName, "Hash Animator Plugin");
  // An application replaces the profile name with its own heap copy; the
  // framework frees that one at the end (the address sanitizer checks the pairing).
  std::free(const_cast<char*>(named.m_pszProfileName));
  named.m_pszProfileName = strdup("Animator Plugins");
  named.SetRegistryKey("Hash Animator 2");
  EXPECT_STREQ(named.m_pszProfileName, "Hash Animator Plugin");
}

TEST(WinApp, MainWindowOwnsFrameworkMessageBoxes) {
  CWinApp app("Host");
  CWnd frame;
  ASSERT_TRUE(frame.CreateEx(0, "Frame", "Host", 0, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(app.GetMainWnd(), nullptr);
  app.m_pMainWnd = &frame;
  EXPECT_EQ(AfxGetThread()->GetMainWnd(), &frame);

  AfxGetHeadlessDisplay().ClearMessageBoxes();
  EXPECT_EQ(AfxMessageBox("Saved", MB_ICONINFORMATION), IDOK);
  ASSERT_EQ(AfxGetHeadlessDisplay().MessageBoxes().size(), 1u);
  EXPECT_EQ(AfxGetHeadlessDisplay().MessageBoxes()[0].owner, frame.GetSafeHwnd());
  EXPECT_EQ(AfxGetHeadlessDisplay().MessageBoxes()[0].caption, "Host");
  app.m_pMainWnd = nullptr;
}
