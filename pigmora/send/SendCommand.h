#pragma once

#include <FileIO/String.h>

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

// How far a send got.
enum class SendStatus {
  NotSent,      // refused before anything was written (or no such mode)
  CommandOnly,  // the command file is written, the model file is not
  Sent,         // both files are written
};

// What a send did: how far it got and, when it failed, why, in words for the user.
struct SendOutcome {
  SendStatus status = SendStatus::NotSent;
  String errorText;
};

// Sends the model of the current object to Pigmora in mode modeIndex (0 to
// 11): checks that Pigmora's executable is set, then writes the command file
// and the model file into the exchange folder. Nothing is written while the
// executable is not set; an index outside the modes sends nothing and says nothing.
SendOutcome RunSendCommand(int modeIndex, const SendContext& context);

}  // namespace pigmora
