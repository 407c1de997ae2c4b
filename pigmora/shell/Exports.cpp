// The three functions the host looks up in Pigmora.hxt; nothing else is exported.
#include <FileIO/String.h>
#include <Plugin/CommandPlugin.h>
#include <afxwin.h>

#include "receive/ReceiveModel.h"
#include "shell/ExportGuard.h"
#include "shell/HxtApp.h"

#define HXT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The application object: constructed when the host loads the library,
// destroyed when it unloads it.
HxtApp theApp;

constexpr char kMenuCaption[] = "Pigmora";

struct CommandEntry {
  int entryCode;   // where the host offers the command
  int menuValue1;  // 1 "Export" submenu, 2 "Import" submenu
};

constexpr CommandEntry kCommands[] = {
    {HOT_MODEL, 1},
    {HOT_MODEL_INSTANCE, 1},
    {HOT_OBJECTS_FOLDER, 2},
};
constexpr int kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

bool IsKnownCommand(int index) { return index >= 0 && index < kCommandCount; }

}  // namespace

HXT_EXPORT int HxtLoadCommandEntry(int index, int& entryCode) {
  return GuardedExport([&] {
    if (!IsKnownCommand(index)) return 0;
    entryCode = kCommands[index].entryCode;
    return 1;
  });
}

HXT_EXPORT int HxtOnAddCommandMenu(void* /*menuContext*/, int index, String& caption, int& menuValue1,
                                   int& menuValue2) {
  return GuardedExport([&] {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    menuValue2 = 0;
    caption = kMenuCaption;
    menuValue1 = 1;
    if (!IsKnownCommand(index)) return 0;
    menuValue1 = kCommands[index].menuValue1;
    return 1;
  });
}

HXT_EXPORT int HxtOnCommand(HTreeObject* object, int index) {
  return GuardedExport([&] {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    SetCurrentTreeObject(object);
    switch (index) {
      case 0:
      case 1: return theApp.ShowApplinkDialog();
      case 2: return ReceiveModel();
      default: return 0;
    }
  });
}
