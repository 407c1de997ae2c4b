#include "send/SendCommand.h"

#include <FileIO/String.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HTreeObject.h>
#include <Plugin/ObjectTypes.h>
#include <common/SafeReplace.h>

#include <string>
#include <string_view>

#include "send/CommandText.h"
#include "send/ExportModelToFbx.h"
#include "settings/ApplinkSettings.h"
#include "settings/OptionTable.h"

namespace pigmora {

namespace {

void ShowError(CWnd* page, const char* text) {
  MessageBoxA(page ? page->GetSafeHwnd() : nullptr, text, "Error", MB_ICONERROR);
}

// The model the applink was opened for: the object itself when it sits in the
// objects folder, else the model behind a scene instance. Null when there is none.
HModelCache* ModelToSend(HTreeObject* object) {
  if (!object) return nullptr;
  HTreeObject* parent = object->GetParent();
  if (!parent) return nullptr;
  if (parent->GetObjectType() == HOT_OBJECTS_FOLDER) return object->GetAsModelCache();
  HAnimObject* instance = object->GetAnimObject();
  return instance ? instance->GetCache() : nullptr;
}

// The applink dialog is the window the UI thread reports while it runs modally.
void CloseApplinkDialog() {
  CWinThread* thread = AfxGetThread();
  CWnd* window = thread ? thread->GetMainWnd() : nullptr;
  if (window && window->GetSafeHwnd()) SendMessageA(window->GetSafeHwnd(), WM_CLOSE, 0, 0);
}

}  // namespace

void RunSendCommand(CWnd* page, UINT buttonId, const SendContext& context) {
  const int modeIndex = static_cast<int>(buttonId - kFirstModeButton);
  if (!ExportModeKeyword(modeIndex)) return;  // not a mode button: nothing to send

  const ApplinkSettings& settings = context.settings;
  if (settings.GetSettingString(Option::ExePath) == DefinitionOf(Option::ExePath).defaultText) {
    ShowError(page, "Path to Pigmora was not set (see Options tab)");
    return;
  }
  HModelCache* model = ModelToSend(context.currentTreeObject);
  if (!model) {
    ShowError(page, "No model is selected");
    return;
  }

  const String& modelPath = settings.Exchange().exportFbxFile;
  const String& commandFile = settings.Exchange().importFile;
  const String commandText = BuildCommandText(settings, modeIndex, modelPath);
  // A command file that cannot be written is skipped without a word, as Pigmora expects. Pigmora
  // sees the old file or the whole new one, never a part.
  std::string notWritten;
  safereplace::ReplaceFile(commandFile.Get(),
                           std::string_view(commandText.Get(), static_cast<std::size_t>(commandText.Length())),
                           notWritten);

  String errorText;
  if (!ExportModelToFbx(context.fbx, model, modelPath, errorText)) ShowError(page, errorText.Get());
  CloseApplinkDialog();
}

}  // namespace pigmora
