// A plug-in whose application object reports each step of its life.
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "afxwin.h"

extern "C" void AfxTestRecord(const char* event);

namespace {

void Record(const std::string& event) { AfxTestRecord(event.c_str()); }

void CALLBACK ForgottenTimerProc(HWND, UINT, UINT_PTR, DWORD) { AfxTestRecord("forgotten-timer-tick"); }

class RecordingApp : public CWinApp {
public:
  RecordingApp() {
    Record(AfxGetStaticModuleState()->m_pCurrentWinApp == this ? "app-constructed registered"
                                                               : "app-constructed unregistered");
  }
  ~RecordingApp() override { Record("app-destroyed"); }

  BOOL InitInstance() override {
    bool ownState = AfxGetModuleState() == AfxGetStaticModuleState();
    Record(std::string("InitInstance") + (ownState && AfxGetApp() == this ? " in-module" : " wrong-module"));
    // An application may replace the framework's heap string with its own.
    SetRegistryKey("Recording Key");
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup("Recording Profile");
#if defined(RECORDING_APP_REFUSES)
    return FALSE;
#elif defined(RECORDING_APP_THROWS)
    throw std::runtime_error("no start");
#else
    return CWinApp::InitInstance();
#endif
  }

  int ExitInstance() override {
    Record("ExitInstance");
    return CWinApp::ExitInstance();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingApp, CWinApp)
END_MESSAGE_MAP()

RecordingApp theApp;

}  // namespace

// What an export that touches the framework does: switch to the module's
// state for its duration.
extern "C" __attribute__((visibility("default"))) int RecordingModuleSeesItself() {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return AfxGetApp() == &theApp && AfxGetThread() == &theApp && AfxGetModuleState() == AfxGetStaticModuleState();
}

extern "C" __attribute__((visibility("default"))) const char* RecordingModuleText(int which) {
  switch (which) {
    case 0: return theApp.m_pszAppName;
    case 1: return theApp.m_pszRegistryKey;
    default: return theApp.m_pszProfileName;
  }
}

extern "C" __attribute__((visibility("default"))) UINT_PTR RecordingModuleStartTimer() {
  return SetTimer(nullptr, 0, 100, &ForgottenTimerProc);
}
