#include "send/SendCommand.h"

#include <FileIO/String.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HTreeObject.h>
#include <Plugin/ObjectTypes.h>

#include <string>

#include "files/ExchangeFolder.h"
#include "host/CurrentObject.h"
#include "send/CommandText.h"
#include "send/ExportModelToFbx.h"
#include "send/ModelNameLimits.h"
#include "send/ReplaceFileContents.h"
#include "settings/ApplinkSettings.h"
#include "settings/OptionTable.h"

namespace pigmora {

namespace {

// The model the applink was opened for: the object itself when it sits in the
// objects folder, else the model behind a scene instance. Null with the reason
// when there is none. The object is looked at only once it is known to be part
// of the project, so one deleted while the dialog was open cannot be read.
HModelCache* ModelToSend(const CurrentObject& current, String& errorText) {
  errorText = "No model is selected";
  if (current.WasDeleted()) {
    errorText = "The object this dialog was opened for has been deleted; close the dialog and open it again on a model";
    return nullptr;
  }
  HTreeObject* object = current.Get();
  if (!IsInOpenProject(object)) return nullptr;
  HTreeObject* parent = object->GetParent();
  if (!parent) return nullptr;
  if (parent->GetObjectType() == HOT_OBJECTS_FOLDER) return object->GetAsModelCache();
  HAnimObject* instance = object->GetAnimObject();
  return instance ? instance->GetCache() : nullptr;
}

// The command file is read line by line: a path holding a line break would be cut.
bool HasLineBreak(const String& text) {
  const std::string value = text.Get() ? text.Get() : "";
  return value.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

SendOutcome RunSendCommand(int modeIndex, const SendContext& context) {
  SendOutcome outcome;
  if (!ExportModeKeyword(modeIndex)) return outcome;  // not a mode: nothing to send

  const ApplinkSettings& settings = context.settings;
  if (settings.GetSettingString(Option::ExePath) == DefinitionOf(Option::ExePath).defaultText) {
    outcome.errorText = "Path to Pigmora was not set (see Options tab)";
    return outcome;
  }
  HModelCache* model = ModelToSend(context.currentTreeObject, outcome.errorText);
  if (!model) return outcome;
  outcome.errorText = String();

  const String& modelPath = context.exchange.exportFbxFile;
  const String& commandFile = context.exchange.importFile;
  if (HasLineBreak(modelPath)) {
    outcome.errorText = String(
                            "The documents folder's path holds a line break, which the command file for Pigmora "
                            "cannot carry; use a documents folder without one: '") +
                        modelPath.Get() + "'";
    return outcome;
  }
  // Refused before anything is written: a half-done send would leave Pigmora an older model.
  if (!CheckModelNameLimits(*model, outcome.errorText)) return outcome;

  // Pigmora acts on the command file alone: without it the model file would be
  // written for nobody, so a failure stops here.
  const String commandText = BuildCommandText(settings, modeIndex, modelPath);
  String reason;
  if (!ReplaceFileContents(commandFile.Get(), commandText.Get(), static_cast<std::size_t>(commandText.Length()),
                           reason)) {
    outcome.errorText =
        String("Can't write the command file '") + (commandFile.Get() ? commandFile.Get() : "") + "': " + reason.Get();
    return outcome;
  }

  outcome.status =
      ExportModelToFbx(context.fbx, model, modelPath, outcome.errorText) ? SendStatus::Sent : SendStatus::CommandOnly;
  return outcome;
}

}  // namespace pigmora
