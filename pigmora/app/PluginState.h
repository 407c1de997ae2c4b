#pragma once

#include <fbxsdk.h>

#include "fbx/FbxContext.h"
#include "receive/ReceiveModel.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"
#include "settings/CurrentTreeObject.h"

namespace pigmora {

// Everything the plug-in keeps while it is loaded, in one place: the
// application object holds it, and tests and benchmarks build it the same way.
// Constructed, it has read every option from the registry (writing each back),
// computed the exchange folder and written its marker files, and started the
// FBX context; destroyed, it releases the FBX objects, then the settings.
class PluginState {
public:
  PluginState();
  PluginState(const PluginState&) = delete;
  PluginState& operator=(const PluginState&) = delete;

  // The options and the exchange folder.
  ApplinkSettings TheApplinkSettings;
  // The FBX manager and scene; fbxErrorText is empty after a good start, else why it failed.
  FbxContext fbx;
  FbxString fbxErrorText;
  // The host object of the latest host command; the send finds its model from it.
  CurrentObject CurrentTreeObject;
  ReceiveMemory receiveMemory;

  SendContext ForSend() { return SendContext{CurrentTreeObject, TheApplinkSettings, fbx}; }
  // Picks Pigmora's answer up, as host command 2 or the auto-import timer.
  int Receive(ReceiveTrigger trigger = ReceiveTrigger::Command);
};

}  // namespace pigmora
