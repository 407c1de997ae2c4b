#pragma once

#include <fbxsdk.h>

#include "fbx/FbxContext.h"
#include "files/ExchangeFolder.h"
#include "host/CurrentObject.h"
#include "receive/ReceiveModel.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"

namespace pigmora {

// Everything the plug-in keeps while it is loaded, in one place: the
// application object holds it, and tests and benchmarks build it the same way.
// Constructed, it has computed the exchange folder and written its marker
// files, read every option from the registry (writing each back), and started
// the FBX context; destroyed, it releases the FBX objects, then the settings.
class PluginState {
public:
  PluginState();
  PluginState(const PluginState&) = delete;
  PluginState& operator=(const PluginState&) = delete;

  // The paths through which the plug-in and Pigmora meet.
  ExchangeFolder Exchange;
  // The options.
  ApplinkSettings Settings;
  // The FBX manager and scene; FbxErrorText is empty after a good start, else why it failed.
  FbxContext Fbx;
  FbxString FbxErrorText;
  // The host object of the latest host command; the send finds its model from it.
  CurrentObject CurrentTreeObject;
  // What the receive remembers between runs.
  ReceiveMemory Receiving;

  SendContext ForSend() { return SendContext{CurrentTreeObject, Settings, Exchange, Fbx}; }
  // Picks Pigmora's answer up, as host command 2 or the auto-import timer.
  int Receive(ReceiveTrigger trigger = ReceiveTrigger::Command);
};

}  // namespace pigmora
