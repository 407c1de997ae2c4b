#include "shell/HxtApp.h"

#include <cstdlib>
#include <cstring>

#include "fbx/FbxContext.h"
#include "receive/ReceiveModel.h"
#include "shell/ApplinkSettings.h"
#include "shell/ExportGuard.h"
#include "shell/SettingsCatalog.h"
#include "ui/DlgMain.h"

namespace {
constexpr UINT kAutoImportPeriodMs = 1000;
}

BEGIN_MESSAGE_MAP(HxtApp, CPluginApp)
END_MESSAGE_MAP()

HxtApp::HxtApp() : CPluginApp(nullptr) {
  TheApplinkSettings = new ApplinkSettings(APPLINK_SETTINGS_SECTION);
  RegisterApplinkSettings(*TheApplinkSettings);
  InitFbxContext(fbxErrorText_);
  if (GetSettingValue("AutoImport") != 0)
    autoImportTimerId_ = SetTimer(nullptr, 0, kAutoImportPeriodMs, AutoImportTimerProc);
}

HxtApp::~HxtApp() {
  if (autoImportTimerId_ != 0) KillTimer(nullptr, autoImportTimerId_);
  DestroyFbxContext();
  delete TheApplinkSettings;
  TheApplinkSettings = nullptr;
}

BOOL HxtApp::InitInstance() {
  SetRegistryKey("Hash Animator");
  // The framework owns the profile name as a heap string; replace it in kind.
  std::free(const_cast<char*>(m_pszProfileName));
  m_pszProfileName = strdup("Animator Plugins");
  return CPluginApp::InitInstance();
}

int HxtApp::ShowApplinkDialog() {
  if (!fbxErrorText_.IsEmpty()) {
    MessageBoxA(nullptr, fbxErrorText_.Buffer(), "FBX Error", MB_ICONERROR);
    return 0;
  }
  DlgMain dialog;
  dialog.DoModal();
  return 1;
}

void CALLBACK AutoImportTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardedExport([] { return ReceiveModel(ReceiveTrigger::Timer); });
}
