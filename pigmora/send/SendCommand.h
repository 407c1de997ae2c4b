#pragma once

#include <afxwin.h>

namespace pigmora {

class ApplinkSettings;
class CurrentObject;
class FbxContext;
struct ExchangeFolder;

// What a send works with, all held by the plug-in's state. The host object is
// read at each press: a receive may replace its model while the dialog is open.
struct SendContext {
  const CurrentObject& currentTreeObject;
  const ApplinkSettings& settings;
  const ExchangeFolder& exchange;
  FbxContext& fbx;
};

// The work of one mode button on the I/O page (ids 1001 to 1012): checks that
// Pigmora's executable is set, writes the command file and the model file into
// the exchange folder, reports a failure in a box owned by `page` and closes the
// applink dialog. Nothing is written while the executable is not set.
void RunSendCommand(CWnd* page, UINT buttonId, const SendContext& context);

}  // namespace pigmora
