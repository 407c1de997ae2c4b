// The three functions the host looks up in Pigmora.hxt; nothing else is exported.
// Every way the host calls into the plug-in (the three exports, the timer) runs
// through the platform's one guard: the host knows only results, so an exception
// inside, such as memory running out, ends the call with 0 (nothing done)
// instead of unwinding into the host.
#include <FileIO/String.h>
#include <Plugin/CommandPlugin.h>
#include <afxwin.h>
#include <common/EntryGuard.h>

#include "app/HxtApp.h"

// Windows: Exports.def names the exports. ELF: the version script Exports.map does, and the three
// must be visible for it to find them, the rest of the module being compiled hidden.
#if defined(_WIN32)
#define HXT_EXPORT extern "C"
#else
#define HXT_EXPORT extern "C" [[gnu::visibility("default")]]
#endif

namespace {

// The application object: constructed when the host loads the library,
// destroyed when it unloads it.
pigmora::HxtApp theApp;

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
  return GuardedEntry(0, [&] {
    if (!IsKnownCommand(index)) return 0;
    entryCode = kCommands[index].entryCode;
    return 1;
  });
}

HXT_EXPORT int HxtOnAddCommandMenu(void* /*menuContext*/, int index, String& caption, int& menuValue1,
                                   int& menuValue2) {
  return GuardedEntry(0, [&] {
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
  return GuardedEntry(0, [&] {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    pigmora::PluginState& state = theApp.State();
    state.CurrentTreeObject.Set(object);
    switch (index) {
      case 0:
      case 1: return theApp.ShowApplinkDialog();
      case 2: return state.Receive();
      default: return 0;
    }
  });
}

void CALLBACK pigmora::AutoImportTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardedEntry(0, [] { return theApp.State().Receive(pigmora::ReceiveTrigger::Timer); });
}
