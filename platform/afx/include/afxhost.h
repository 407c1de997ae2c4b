#pragma once

// Host side of the framework: loading modules, the message loop and its
// clock. Plug-ins never include this.
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include "afxdisplay.h"

class CWinApp;

// ---------------------------------------------------------------------------
// Modules
//
// A plug-in links the static library afx_module (last, after its own objects
// and static libraries). Loading it with dlopen then runs, in this order:
//   1. the module's state is created (before any other static object);
//   2. the module's static constructors, among them its application object,
//      which registers with the module;
//   3. the attach step: InitInstance of the application, under the module's
//      state.
// dlopen itself succeeds either way; the host asks AfxModuleAttachResult and
// must dlclose and refuse a module whose InitInstance returned FALSE.
// dlclose runs ExitInstance (when InitInstance ran), then the static
// destructors, the application's among them, and last destroys the module's
// state. Timers whose procedure lies in the module are killed then, so a
// forgotten timer cannot call into unloaded code. A host should dlclose its
// plug-ins before it exits: at process exit without dlclose, static objects
// are destroyed first and ExitInstance is skipped.

// For a handle from dlopen: 1 attached, 0 refused (InitInstance returned
// FALSE or threw), -1 not a framework module (or not loaded).
AFX_API int AfxModuleAttachResult(void* dlopenHandle);
// The host's question: false only when the module refused to start, so a
// library without the framework (nothing to refuse) still loads.
AFX_API bool AfxModuleAttachSucceeded(void* dlopenHandle);
// For a handle from dlopen: the module's application object; null when it has
// none or is not a framework module.
AFX_API CWinApp* AfxModuleApp(void* dlopenHandle);
// Modules whose state exists at the moment (the host's own not counted).
AFX_API int AfxLoadedModuleCount();
// Reports each step of loading and unloading: "state-created", "attached",
// "refused", "detached", "state-destroyed", with the module's file. An empty
// function removes the hook.
AFX_API void AfxSetModuleTraceHook(std::function<void(const char* event, const char* modulePath)> hook);

// ---------------------------------------------------------------------------
// Clock, message loop and timers
//
// Timers tick only while a loop runs: AfxRunMessageLoop, a modal loop of a
// dialog or an on-screen message box. Each due timer gets one tick per pass;
// ticks a slow tick made the loop miss are merged into one, as on Windows.
// The clock is real by default; under the virtual clock time passes only in
// the loop, which jumps straight to the next due tick, so tests are exact and
// fast.

AFX_API void AfxUseVirtualClock(bool useVirtual);
AFX_API bool AfxIsVirtualClock();
// Milliseconds since the framework started (real), or virtual milliseconds.
AFX_API ULONGLONG AfxClockMilliseconds();

// Runs the loop for `milliseconds`, delivering every tick that falls due.
AFX_API void AfxRunMessageLoop(ULONGLONG milliseconds);
// Runs the loop until `done` returns true (checked after every pass) or the
// time limit passes; true when done. Under the virtual clock with no timer
// left nothing can change any more, so it returns false at once.
AFX_API bool AfxRunMessageLoopUntil(const std::function<bool()>& done, ULONGLONG limitMilliseconds);
// Delivers the ticks that are due now without waiting; returns how many.
AFX_API int AfxProcessDueTimers();
AFX_API int AfxActiveTimerCount();
// Time until the next tick is due (0 when overdue); -1 when no timer runs.
AFX_API long long AfxMillisecondsUntilNextTimer();
// Told just before (`starting`) and just after each tick of a window-less
// timer, with its procedure, so that a host can show what a plug-in's timer
// is doing. An empty function removes the hook.
AFX_API void AfxSetTimerTickHook(std::function<void(TIMERPROC proc, bool starting)> hook);

// ---------------------------------------------------------------------------
// Windows as the user sees and works them
//
// What a person does with the mouse and keyboard, for the displays and for
// scripts and tests. Each action sends the notifications the control sends
// on Windows, and each refuses, with the reason in `problem`, what a person
// could not do: a control that is missing, hidden or disabled.

// The innermost running modal dialog; null when none runs.
AFX_API HWND AfxGetActiveModalWindow();
// Running modal dialogs, outermost first.
AFX_API std::vector<HWND> AfxGetModalWindows();
// Direct child windows, oldest first.
AFX_API std::vector<HWND> AfxGetChildWindows(HWND window);
// The control with this id under `root` (at any depth), or null.
AFX_API HWND AfxFindControl(HWND root, int id);

struct AfxWindowInfo {
  std::string className;  // "Button", "Static", "Edit", "ComboBox", "SysTabControl32", "#32770"
  std::string text;
  DWORD style = 0;
  int controlId = 0;
  RECT rect{};  // pixels, relative to the parent's client area
  int check = 0;
  std::vector<std::string> items;  // combo entries or tab captions
  int curSel = -1;
  bool visible = false;  // as seen: the parents too
  bool enabled = false;
  bool focused = false;
};
AFX_API bool AfxGetWindowInfo(HWND window, AfxWindowInfo& info);

// Presses a push button or clicks a check box (which toggles it).
AFX_API bool AfxUserClick(HWND control, std::string& problem);
// Clicks a check box when it is not in `state` (0 cleared, 1 ticked) yet.
AFX_API bool AfxUserSetCheck(HWND control, int state, std::string& problem);
// Chooses entry `index` of a combo box's list.
AFX_API bool AfxUserSelectEntry(HWND control, int index, std::string& problem);
// Clicks tab `index` of a tab control.
AFX_API bool AfxUserSelectTab(HWND tab, int index, std::string& problem);
// Escape: a cancel command to the dialog that holds the focus (else the
// innermost modal dialog).
AFX_API void AfxUserPressEscape();
// The close box of a top-level window.
AFX_API void AfxUserCloseWindow(HWND window);
