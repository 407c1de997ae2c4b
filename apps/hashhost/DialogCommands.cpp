#include "DialogCommands.h"

#include <charconv>

#include <afxhost.h>

#include "Echoed.h"

namespace {

bool ParseNumber(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool Usage(const std::vector<std::string>& words, std::size_t count, const char* usage, std::string& problem) {
  if (words.size() == count) return true;
  problem = std::string("usage: ") + usage;
  return false;
}

HWND ActiveDialog(std::string& problem) {
  HWND dialog = AfxGetActiveModalWindow();
  if (!dialog) problem = "no dialog is open";
  return dialog;
}

// The control `text` names in the open dialog.
HWND FindControl(const std::string& text, std::string& problem) {
  int id = 0;
  if (!ParseNumber(text, id)) {
    problem = "'" + Echoed(text) + "' is not a control id";
    return nullptr;
  }
  HWND dialog = ActiveDialog(problem);
  if (!dialog) return nullptr;
  HWND control = AfxFindControl(dialog, id);
  if (!control) problem = "no control " + Echoed(text) + " in the dialog";
  return control;
}

HWND FindTabControl(HWND window) {
  for (HWND child : AfxGetChildWindows(window)) {
    AfxWindowInfo info;
    if (AfxGetWindowInfo(child, info) && info.className == "SysTabControl32") return child;
    if (HWND inner = FindTabControl(child)) return inner;
  }
  return nullptr;
}

}  // namespace

bool DialogCommands::Handles(const std::string& verb) {
  return verb == "click" || verb == "check" || verb == "select" || verb == "tab" || verb == "key" || verb == "close" ||
         verb == "file" || verb == "answer" || verb == "screenshot";
}

const char* DialogCommands::Summary() {
  return "  click ID                     press a button (or click a check box) of the open dialog\n"
         "  check ID 0|1                 clear or tick a check box\n"
         "  select ID INDEX              choose entry INDEX (from 0) of a list\n"
         "  tab INDEX                    choose tab INDEX (from 0) of the dialog's tab control\n"
         "  key escape                   press Escape\n"
         "  close                        the close box of the open dialog\n"
         "  file PATH | file cancel      the answer for the next file dialog\n"
         "  answer BUTTON                the button for the next message box: ok, cancel, yes, no, abort, retry,\n"
         "                               ignore (a box without it takes its default button)\n"
         "  screenshot PATH.png          (--gui) a PNG of the open dialog, else of the main window\n";
}

bool DialogCommands::Execute(const std::vector<std::string>& words, std::string& problem) {
  const std::string& verb = words.front();
  if (verb == "click") return Click(words, problem);
  if (verb == "check") return Check(words, problem);
  if (verb == "select") return Select(words, problem);
  if (verb == "tab") return Tab(words, problem);
  if (verb == "key") return Key(words, problem);
  if (verb == "close") return Close(words, problem);
  if (verb == "file") return File(words, problem);
  if (verb == "answer") return Answer(words, problem);
  if (verb == "screenshot") return Screenshot(words, problem);
  problem = "unknown command '" + verb + "'";
  return false;
}

bool DialogCommands::Click(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "click ID", problem)) return false;
  HWND control = FindControl(words[1], problem);
  return control && AfxUserClick(control, problem);
}

bool DialogCommands::Check(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 3, "check ID 0|1", problem)) return false;
  if (words[2] != "0" && words[2] != "1") {
    problem = "'" + Echoed(words[2]) + "' is not 0 or 1";
    return false;
  }
  HWND control = FindControl(words[1], problem);
  return control && AfxUserSetCheck(control, words[2] == "1" ? 1 : 0, problem);
}

bool DialogCommands::Select(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 3, "select ID INDEX", problem)) return false;
  int index = 0;
  if (!ParseNumber(words[2], index)) {
    problem = "'" + Echoed(words[2]) + "' is not an entry number";
    return false;
  }
  HWND control = FindControl(words[1], problem);
  return control && AfxUserSelectEntry(control, index, problem);
}

bool DialogCommands::Tab(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "tab INDEX", problem)) return false;
  int index = 0;
  if (!ParseNumber(words[1], index)) {
    problem = "'" + Echoed(words[1]) + "' is not a tab number";
    return false;
  }
  HWND dialog = ActiveDialog(problem);
  if (!dialog) return false;
  HWND tabs = FindTabControl(dialog);
  if (!tabs) {
    problem = "the dialog has no tabs";
    return false;
  }
  return AfxUserSelectTab(tabs, index, problem);
}

bool DialogCommands::Key(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "key escape", problem)) return false;
  if (words[1] != "escape") {
    problem = "unknown key '" + Echoed(words[1]) + "' (only escape)";
    return false;
  }
  if (!ActiveDialog(problem)) return false;
  AfxUserPressEscape();
  return true;
}

bool DialogCommands::Close(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 1, "close", problem)) return false;
  HWND dialog = ActiveDialog(problem);
  if (!dialog) return false;
  AfxUserCloseWindow(dialog);
  return true;
}

bool DialogCommands::File(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "file PATH | file cancel", problem)) return false;
  if (words[1].empty()) {
    problem = "the path is empty (use 'file cancel' to cancel)";
    return false;
  }
  AfxGetDisplay().QueueFileDialogAnswer(words[1] == "cancel" ? std::string() : words[1]);
  return true;
}

bool DialogCommands::Answer(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "answer ok|cancel|yes|no|abort|retry|ignore", problem)) return false;
  static const std::pair<const char*, int> kButtons[] = {{"ok", IDOK},        {"cancel", IDCANCEL}, {"yes", IDYES},
                                                         {"no", IDNO},        {"abort", IDABORT},   {"retry", IDRETRY},
                                                         {"ignore", IDIGNORE}};
  for (const auto& [name, id] : kButtons) {
    if (words[1] != name) continue;
    AfxGetDisplay().QueueMessageBoxAnswer(id);
    return true;
  }
  problem = "unknown button '" + Echoed(words[1]) + "'";
  return false;
}

bool DialogCommands::Screenshot(const std::vector<std::string>& words, std::string& problem) {
  if (!Usage(words, 2, "screenshot PATH.png", problem)) return false;
  if (!screenshooter_) {
    problem = "screenshots need the window display (--gui)";
    return false;
  }
  return screenshooter_(AfxGetActiveModalWindow(), words[1], problem);
}
