#include "app/HxtApp.h"

#include <cstdlib>
#include <cstring>

#include "ui/DlgMain.h"
#include "ui/MessageBoxes.h"

namespace pigmora {

namespace {
constexpr UINT kAutoImportPeriodMs = 1000;
}

BEGIN_MESSAGE_MAP(HxtApp, CPluginApp)
END_MESSAGE_MAP()

HxtApp::HxtApp() : CPluginApp(nullptr) {
  if (state_.Settings.GetSettingValue(Option::AutoImport) != 0)
    autoImportTimerId_ = SetTimer(nullptr, 0, kAutoImportPeriodMs, AutoImportTimerProc);
}

HxtApp::~HxtApp() {
  if (autoImportTimerId_ != 0) KillTimer(nullptr, autoImportTimerId_);
}

BOOL HxtApp::InitInstance() {
  SetRegistryKey("Hash Animator");
  // The framework owns the profile name as a heap string; replace it in kind.
  std::free(const_cast<char*>(m_pszProfileName));
  static constexpr char kProfileName[] = "Animator Plugins";
  char* profileName = static_cast<char*>(std::malloc(sizeof kProfileName));
  if (profileName) std::memcpy(profileName, kProfileName, sizeof kProfileName);
  m_pszProfileName = profileName;
  return CPluginApp::InitInstance();
}

int HxtApp::ShowApplinkDialog() {
  if (!state_.FbxErrorText.IsEmpty()) {
    ShowErrorBox(nullptr, "FBX Error", state_.FbxErrorText.Buffer());
    return 0;
  }
  DlgMain dialog(state_.ForSend(), state_.Settings);
  dialog.DoModal();
  return 1;
}

}  // namespace pigmora
