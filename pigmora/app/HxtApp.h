#pragma once

#include <Plugin/CPluginApp.h>
#include <afxwin.h>

#include "app/PluginState.h"

namespace pigmora {

// The plug-in's application object: one static instance lives exactly as long
// as the library is loaded. It holds the plug-in's state and the auto-import
// timer; its destructor stops the timer before the state goes.
class HxtApp : public CPluginApp {
public:
  HxtApp();
  ~HxtApp() override;

  BOOL InitInstance() override;

  // Host commands 0 and 1. Returns 1 when the applink dialog ran, 0 when a
  // failed FBX start kept it closed.
  int ShowApplinkDialog();

  PluginState& State() { return state_; }

private:
  PluginState state_;
  UINT_PTR autoImportTimerId_ = 0;

  DECLARE_MESSAGE_MAP()
};

// Polls for Pigmora's answer once a second while auto-import is on; it reaches
// the state through the one application object, beside which it is defined.
void CALLBACK AutoImportTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

}  // namespace pigmora
