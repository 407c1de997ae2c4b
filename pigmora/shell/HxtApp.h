#pragma once

#include <Plugin/CPluginApp.h>
#include <afxwin.h>
#include <fbxsdk.h>

#include "shell/CurrentTreeObject.h"

// The plug-in's application object: one static instance lives exactly as long
// as the library is loaded. Its constructor sets up settings, exchange folder,
// FBX context and the auto-import timer; its destructor tears them down.
class HxtApp : public CPluginApp {
public:
  HxtApp();
  ~HxtApp() override;

  BOOL InitInstance() override;

  // Host commands 0 and 1. Returns 1 when the applink dialog ran, 0 when a
  // failed FBX start kept it closed.
  int ShowApplinkDialog();

private:
  FbxString fbxErrorText_;
  UINT_PTR autoImportTimerId_ = 0;

  DECLARE_MESSAGE_MAP()
};

// Polls for Pigmora's answer once a second while auto-import is on.
void CALLBACK AutoImportTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
