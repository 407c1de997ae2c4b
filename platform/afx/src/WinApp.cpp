#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "WindowTable.h"

#include "ModuleRegistry.h"
#include "afxwin.h"

namespace {

char* Duplicate(const std::string& text) { return strdup(text.c_str()); }

}  // namespace

CWnd* CWinThread::GetMainWnd() {
  if (m_pMainWnd) return m_pMainWnd;
  std::vector<HWND>& modal = afx::WindowTable::Instance().ModalWindows();
  return modal.empty() ? nullptr : CWnd::FromHandle(modal.back());
}

BOOL CWinThread::InitInstance() { return TRUE; }

int CWinThread::ExitInstance() { return 0; }

CWinApp::CWinApp(LPCTSTR lpszAppName) : moduleState_(&afx::ModuleForNewApplication()) {
  AFX_MODULE_STATE& state = *moduleState_;
  if (state.m_bDLL && state.m_nAttachState != AFX_MODULE_STATE::notAttached)
    std::fprintf(stderr, "%s: application object constructed after the module attached; link afx_module last\n",
                 state.m_strModulePath.c_str());
  if (state.m_pCurrentWinApp)
    std::fprintf(stderr, "%s: a second application object replaces the first\n", state.m_strModulePath.c_str());
  state.m_pCurrentWinApp = this;

  std::string exeName = afx::ModuleBaseName(state);
  m_pszExeName = Duplicate(exeName);
  m_pszAppName = Duplicate(lpszAppName ? lpszAppName : exeName);
  m_pszProfileName = Duplicate(std::string(m_pszAppName) + ".INI");
  m_hInstance = state.m_hCurrentInstanceHandle;
}

CWinApp::~CWinApp() {
  if (moduleState_->m_pCurrentWinApp == this) moduleState_->m_pCurrentWinApp = nullptr;
  // The application may have replaced any of these with its own malloc'ed copy.
  std::free(const_cast<char*>(m_pszAppName));
  std::free(const_cast<char*>(m_pszExeName));
  std::free(const_cast<char*>(m_pszRegistryKey));
  std::free(const_cast<char*>(m_pszProfileName));
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  if (!lpszRegistryKey) return;
  std::free(const_cast<char*>(m_pszRegistryKey));
  m_pszRegistryKey = strdup(lpszRegistryKey);
  std::free(const_cast<char*>(m_pszProfileName));
  m_pszProfileName = strdup(m_pszAppName ? m_pszAppName : "");
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AFXAPI AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

CWinThread* AFXAPI AfxGetThread() { return AfxGetApp(); }

LPCTSTR AFXAPI AfxGetAppName() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pszAppName ? app->m_pszAppName : "";
}

HINSTANCE AFXAPI AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

HINSTANCE AFXAPI AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType) {
  CWinApp* app = AfxGetApp();
  CWnd* owner = app ? app->GetMainWnd() : nullptr;
  return ::MessageBoxA(owner ? owner->GetSafeHwnd() : nullptr, lpszText, AfxGetAppName(), nType);
}
