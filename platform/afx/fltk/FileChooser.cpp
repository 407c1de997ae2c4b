#include "FileChooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Return_Button.H>
#include <FL/filename.H>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ModalWait.h"
#include "WindowPlacement.h"
#include "afxfilter.h"
#include "afxfltk.h"

namespace afx {

namespace {

struct ChooserState {
  std::vector<AfxFileFilter> filters;
  std::string folder;
  Fl_Output* where = nullptr;  // the folder it is in
  Fl_File_Browser* list = nullptr;
  Fl_Input* name = nullptr;
  Fl_Choice* filter = nullptr;
  DWORD flags = 0;
  HWND owner = nullptr;
  int result = 0;  // 1 OK, -1 cancel
};

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Lists the folder, keeping sub-folders and the files the chosen filter takes.
void Load(ChooserState& state) {
  state.where->value(state.folder.c_str());
  state.where->position(state.where->size());  // the end of a long path is the part that tells
  state.list->load(state.folder.c_str());
  const AfxFileFilter& filter = state.filters[static_cast<std::size_t>(std::max(state.filter->value(), 0))];
  for (int line = state.list->size(); line >= 1; --line) {
    const std::string text = state.list->text(line) ? state.list->text(line) : "";
    if (text.empty() || text.back() == '/') continue;
    if (!AfxFileMatchesFilter(Joined(state.folder, text), filter)) state.list->remove(line);
  }
}

void EnterFolder(ChooserState& state, const std::string& folder) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
  state.folder = error ? folder : canonical.string();
  Load(state);
}

void Accept(ChooserState& state) {
  std::string chosen = state.name->value();
  if (chosen.empty()) return;
  if (chosen.front() != '/') chosen = Joined(state.folder, chosen);
  if (std::filesystem::is_directory(chosen)) {
    EnterFolder(state, chosen);
    state.name->value("");
    return;
  }
  state.name->value(chosen.c_str());
  if ((state.flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(chosen)) {
    // As the system dialog does: say so and let the user choose again.
    MessageBoxA(state.owner, (chosen + "\nFile not found.\nCheck the file name and try again.").c_str(), "Open",
                MB_ICONWARNING);
    return;
  }
  state.result = 1;
}

void OnList(Fl_Widget*, void* data) {
  auto& state = *static_cast<ChooserState*>(data);
  const int line = state.list->value();
  if (line < 1) return;
  const std::string text = state.list->text(line);
  if (!text.empty() && text.back() == '/') {
    if (Fl::event_clicks()) EnterFolder(state, Joined(state.folder, text));
    return;
  }
  state.name->value(Joined(state.folder, text).c_str());
  if (Fl::event_clicks()) Accept(state);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string StartFolder(const AfxFileDialogRecord& dialog, const FileChooserFolders& folders) {
  const std::string named = std::filesystem::path(dialog.initialFileName).parent_path().string();
  if (!named.empty() && named.front() == '/' && IsFolder(named)) return named;
  if (IsFolder(folders.last)) return folders.last;
  if (IsFolder(folders.documents)) return folders.documents;
  char cwd[4096] = {};
  return getcwd(cwd, sizeof cwd) ? cwd : "/";
}

}  // namespace

bool RunFileChooser(AfxFileDialogRecord& dialog, Fl_Window* owner, FileChooserFolders& folders) {
  ChooserState state;
  state.flags = dialog.flags;
  state.owner = dialog.owner;
  state.filters = AfxParseFileFilter(dialog.filter);
  state.filters.push_back(AfxFileFilter{"All files (*)", {"*"}});
  state.folder = StartFolder(dialog, folders);

  Fl_Double_Window window(480, 360, dialog.open ? "Open" : "Save As");
  window.set_modal();
  Fl_Button up(10, 10, 60, 24, "Up");
  Fl_Output where(80, 10, 390, 24);
  where.textsize(12);
  where.tooltip("The folder the list shows");
  Fl_File_Browser list(10, 40, 460, 220);
  list.type(FL_HOLD_BROWSER);
  list.textsize(12);
  Fl_Input name(90, 268, 380, 24, "File name:");
  name.labelsize(12);
  Fl_Choice filter(90, 296, 380, 24, "Files of type:");
  filter.labelsize(12);
  for (const AfxFileFilter& entry : state.filters) {
    filter.add(AfxFltkMenuText(entry.description).c_str());
  }
  filter.value(0);
  Fl_Return_Button ok(300, 326, 80, 26, dialog.open ? "Open" : "Save");
  Fl_Button cancel(390, 326, 80, 26, "Cancel");
  window.end();

  state.where = &where;
  state.list = &list;
  state.name = &name;
  state.filter = &filter;
  // The initial name is a pattern such as "*.exe" when it holds a wildcard; it
  // then only selects the filter, as the system dialog does.
  if (dialog.initialFileName.find_first_of("*?") == std::string::npos) name.value(dialog.initialFileName.c_str());
  list.callback(OnList, &state);
  filter.callback([](Fl_Widget*, void* data) { Load(*static_cast<ChooserState*>(data)); }, &state);
  up.callback(
      [](Fl_Widget*, void* data) {
        auto& chooser = *static_cast<ChooserState*>(data);
        EnterFolder(chooser, std::filesystem::path(chooser.folder).parent_path().string());
      },
      &state);
  ok.callback([](Fl_Widget*, void* data) { Accept(*static_cast<ChooserState*>(data)); }, &state);
  cancel.callback([](Fl_Widget*, void* data) { static_cast<ChooserState*>(data)->result = -1; }, &state);
  window.callback([](Fl_Widget*, void* data) { static_cast<ChooserState*>(data)->result = -1; }, &state);
  EnterFolder(state, state.folder);
  PlaceCentredOver(window, owner);
  window.show();
  WaitWhileTimersTick([&] { return state.result != 0 || !window.shown(); });
  window.hide();
  if (state.result != 1) {
    dialog.answer.clear();
    return false;
  }
  dialog.answer = name.value();
  folders.last = std::filesystem::path(dialog.answer).parent_path().string();
  return true;
}

}  // namespace afx
