#include "HostWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Tile.H>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <map>
#include <sstream>

#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HTreeObject.h>
#include <Plugin/HostProject.h>
#include <afxfltk.h>
#include <afxhost.h>

#include "Echoed.h"
#include "ExchangeStatus.h"
#include "FileMenu.h"
#include "HostTimer.h"
#include "ModelView.h"
#include "PluginHost.h"
#include "ProjectModels.h"
#include "ScriptRunner.h"
#include "TreeWithFullNames.h"

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 600;
constexpr int kTreeWidth = 300;
// The tree and the status bar follow the project at this pace, in every loop.
constexpr unsigned kTickMilliseconds = 250;
// Long work's progress is drawn at most this often.
constexpr std::chrono::milliseconds kProgressDrawInterval{250};

const char* SubmenuOf(int menuValue) {
  switch (menuValue) {
    case 1: return "Export";
    case 2: return "Import";
    default: return "Commands";
  }
}

void AddObjects(Fl_Tree& tree, Fl_Tree_Item* parent, HHashObject* first) {
  for (HHashObject* object = first; object; object = object->GetSibling()) {
    Fl_Tree_Item* item = tree.add(parent ? parent : tree.root(), object->GetName().Get());
    if (!item) continue;
    item->user_data(static_cast<HTreeObject*>(object));
    AddObjects(tree, item, object->GetChild());
  }
}

// Where an item stands, as the labels from the top down: what a replaced
// object shares with the object that takes its place.
std::vector<std::string> LabelPath(Fl_Tree& tree, Fl_Tree_Item* item) {
  std::vector<std::string> labels;
  for (; item && item != tree.root(); item = item->parent()) labels.push_back(item->label() ? item->label() : "");
  std::reverse(labels.begin(), labels.end());
  return labels;
}

Fl_Tree_Item* FindByLabels(Fl_Tree& tree, const std::vector<std::string>& labels) {
  Fl_Tree_Item* at = labels.empty() ? nullptr : tree.root();
  for (const std::string& label : labels) {
    Fl_Tree_Item* found = nullptr;
    for (int i = 0; at && i < at->children() && !found; ++i)
      if (at->child(i)->label() && label == at->child(i)->label()) found = at->child(i);
    at = found;
  }
  return at;
}

}  // namespace

HostWindow::HostWindow(HProject* project, PluginHost& plugins, AfxFltkDisplay& display, ExchangeStatus* exchange)
    : project_(project), plugins_(plugins), display_(display), exchange_(exchange) {
  window_ = std::make_unique<Fl_Double_Window>(kWidth, kHeight, "Hash Animator (hashhost)");
  menu_ = new Fl_Menu_Bar(0, 0, kWidth, 26);
  split_ = new Fl_Tile(0, 26, kWidth, kHeight - 50);
  tree_ = new TreeWithFullNames(0, 26, kTreeWidth, kHeight - 50);
  tree_->showroot(0);
  tree_->selectmode(FL_TREE_SELECT_SINGLE);
  view_ = new ModelView(kTreeWidth, 26, kWidth - kTreeWidth, kHeight - 50);
  view_->SetModelSource([this] { return ViewedModel(); });
  view_->SetReporter([this](const std::string& line) {
    ShowStatus(line);
    std::cerr << "hashhost: " << line << std::endl;
  });
  // Neither side can be dragged narrower than 100 pixels.
  auto* limits = new Fl_Box(100, 26, kWidth - 200, kHeight - 50);
  limits->hide();
  split_->resizable(limits);
  split_->end();
  status_ = new Fl_Box(0, kHeight - 24, kWidth, 24);
  status_->box(FL_THIN_DOWN_BOX);
  status_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  status_->labelsize(12);
  window_->resizable(split_);
  window_->end();
  window_->callback(
      [](Fl_Widget*, void* self) {
        // FLTK closes a window on Escape; a desktop application does not.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        static_cast<HostWindow*>(self)->RequestQuit();
      },
      this);
  mainWnd_.CreateEx(0, "HashhostMain", "Hash Animator", WS_OVERLAPPED | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                    nullptr);
  SetMainApplicationWnd(mainWnd_.GetSafeHwnd());
  display_.SetHostWindow(mainWnd_.GetSafeHwnd(), window_.get());
  deletionListener_ = AddTreeObjectDeletionListener([this](HTreeObject* object) { ForgetDeleted(object); });
  display_.SetDocumentsFolder(String::GetMyDocumentsPath().Get());
  files_ = std::make_unique<FileMenu>(project_, *this, mainWnd_.GetSafeHwnd(), exchange_);
  files_->AddTo(*menu_);
  BuildMenu();
  view_->AddViewMenu(*menu_);
  RefreshTree(true);
  ShowStatus(ProjectSummary(project_));
  ticker_ = std::make_unique<HostTimer>(kTickMilliseconds, [this] { Tick(); });
  if (exchange_) exchange_->SetReceiveWatcher([this](bool starting) { AroundTimersReceive(starting); });
  SetLongWorkListener([this](const char* stage, int percent) {
    if (pluginWork_.empty()) return;
    ShowProgress(pluginWork_ + ": " + stage + (percent >= 0 ? ", " + std::to_string(percent) + " %" : ""), false);
  });
}

HostWindow::~HostWindow() {
  SetLongWorkListener({});
  if (exchange_) exchange_->SetReceiveWatcher({});
  receivingByTimer_.reset();
  ticker_.reset();
  files_.reset();
  RemoveTreeObjectDeletionListener(deletionListener_);
  display_.SetHostWindow(mainWnd_.GetSafeHwnd(), nullptr);
  SetMainApplicationWnd(nullptr);
  mainWnd_.DestroyWindow();
}

void HostWindow::BuildMenu() {
  std::map<std::string, MenuEntry*> byPath;
  for (const LoadedPlugin& loaded : plugins_.Plugins()) {
    LoadedPlugin* plugin = plugins_.Find(loaded.stem);
    for (const PluginCommand& command : plugin->commands) {
      const std::string path =
          std::string("Plugins/") + SubmenuOf(command.menuValue1) + "/" + AfxFltkMenuText(command.caption);
      // Commands with the same submenu and caption share an entry (told apart by where they apply).
      MenuEntry*& entry = byPath[plugin->stem + "\n" + path];
      if (!entry) {
        entries_.push_back(std::make_unique<MenuEntry>(MenuEntry{this, plugin, {}, MenuWords(path)}));
        entry = entries_.back().get();
        menu_->add(
            path.c_str(), 0,
            [](Fl_Widget*, void* data) {
              auto* chosen = static_cast<MenuEntry*>(data);
              chosen->host->RunCommand(*chosen->plugin, chosen->indices, chosen->words);
            },
            entry);
      }
      entry->indices.push_back(command.index);
    }
  }
  if (entries_.empty()) menu_->add("Plugins/(no plug-ins)", 0, nullptr, nullptr, FL_MENU_INACTIVE);
}

void HostWindow::ForgetDeleted(HTreeObject* object) {
  // Only compared, never used: the object is on its way out.
  treeStale_ = true;
  Fl_Tree_Item* selected = tree_->first_selected_item();
  if (selected && selected->user_data() == object) selectionDeleted_ = true;
}

HTreeObject* HostWindow::SelectedObject() {
  if (treeStale_) RefreshTree();
  Fl_Tree_Item* item = tree_->first_selected_item();
  return item ? static_cast<HTreeObject*>(item->user_data()) : nullptr;
}

HModelCache* HostWindow::SelectedModel() {
  HTreeObject* object = SelectedObject();
  if (!object) return nullptr;
  if (HModelCache* model = object->GetAsModelCache()) return model;
  HAnimObject* instance = object->GetAnimObject();
  return instance ? instance->GetCache() : nullptr;
}

HModelCache* HostWindow::ViewedModel() {
  if (HModelCache* model = SelectedModel()) return model;
  const std::vector<HModelCache*> models = ProjectModels(project_);
  return models.empty() ? nullptr : models.front();
}

ViewShading HostWindow::Shading() const { return view_->Shading(); }

void HostWindow::SelectModel(HModelCache* model) {
  RefreshTree(true);
  for (Fl_Tree_Item* item = tree_->first(); item; item = tree_->next(item)) {
    if (item->user_data() != static_cast<HTreeObject*>(model)) continue;
    tree_->select_only(item, 0);
    tree_->show_item(item);
    break;
  }
  view_->Follow();
}

std::string HostWindow::MenuWords(const std::string& path) {
  std::string words;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && i + 1 < path.size()) {
      words += path[++i];  // FLTK's escape of a '/' in a caption
    } else if (path[i] == '/') {
      words += " > ";
    } else {
      words += path[i];
    }
  }
  return words;
}

void HostWindow::RunCommand(LoadedPlugin& plugin, const std::vector<int>& indices, const std::string& words) {
  HTreeObject* object = SelectedObject();
  if (!object) object = FindTreeObjectByPath(project_, "");
  // Of the commands on one entry, the one offered on this kind of object.
  int index = indices.front();
  for (int candidate : indices)
    if (plugin.commands[static_cast<std::size_t>(candidate)].entryCode == object->GetObjectType()) index = candidate;
  if (exchange_) exchange_->BeforeCommand(object, plugin);
  const unsigned exchangeLines = exchange_ ? exchange_->LineCount() : 0;
  ShowPluginWork(words);
  // The command may delete `object` (a receive replaces models): it is not used after this.
  const int result = plugin.onCommand(object, index);
  ShowPluginWork("");
  // For scripts, which read the plug-in's own answer.
  std::cout << plugin.stem << " " << index << ": result=" << result << std::endl;
  if (exchange_) exchange_->AfterCommand();
  ReportCommand(words, result, exchange_ && exchange_->LineCount() != exchangeLines);
  Tick();
}

void HostWindow::ReportCommand(const std::string& entryWords, int result, bool exchangeSpoke) {
  // What the command did to the exchange (a send, a receive) says more than its result.
  if (exchangeSpoke) {
    showingExchange_ = true;
    return;
  }
  const bool isImport = entryWords.rfind("Plugins > Import > ", 0) == 0;
  if (result == 0 && isImport && exchange_ && !exchange_->AnswerWaiting()) {
    ShowStatus(entryWords + ": no answer from Pigmora is waiting");
  } else {
    ShowStatus(entryWords + (result != 0 ? " finished" : " did nothing"));
  }
}

void HostWindow::ShowWork(const std::string& line, bool handleEvents) {
  SetStatusText(line);
  showingExchange_ = false;
  progressDrawn_ = std::chrono::steady_clock::now();
  if (handleEvents) {
    Fl::check();
  } else {
    Fl::flush();
  }
}

void HostWindow::ShowProgress(const std::string& line, bool handleEvents) {
  // The line is kept either way: the next drawing shows the latest.
  if (std::chrono::steady_clock::now() - progressDrawn_ < kProgressDrawInterval) {
    SetStatusText(line);
    showingExchange_ = false;
    return;
  }
  ShowWork(line, handleEvents);
}

void HostWindow::ShowPluginWork(const std::string& words) {
  pluginWork_ = words;
  if (!words.empty()) ShowWork(words + "...", false);
}

HostWindow::Busy::Busy(HostWindow& window) : window_(window) {
  if (window_.busy_++ > 0) return;
  window_.menu_->deactivate();
  window_.tree_->deactivate();
  window_.window_->cursor(FL_CURSOR_WAIT);
}

HostWindow::Busy::~Busy() {
  if (--window_.busy_ > 0) return;
  window_.menu_->activate();
  window_.tree_->activate();
  window_.window_->cursor(FL_CURSOR_DEFAULT);
}

void HostWindow::RequestQuit() {
  if (busy_ > 0 || AfxGetActiveModalWindow()) return;
  if (files_->MayQuit()) window_->hide();
}

void HostWindow::PressEscape() {
  // As the window system delivers it: FLTK hands an Escape nobody takes to the window's callback.
  Fl::e_keysym = FL_Escape;
  static char escape[] = "\033";
  Fl::e_text = escape;
  Fl::e_length = 1;
  Fl::handle(FL_KEYBOARD, window_.get());
}

UnsavedModels& HostWindow::Unsaved() { return files_->Unsaved(); }

void HostWindow::ShowProjectNow() {
  RefreshTree();
  view_->Follow();
}

void HostWindow::RefreshTree(bool force) {
  std::ostringstream text;
  PrintProjectTree(project_, text);
  if (!force && !treeStale_ && text.str() == treeText_) return;
  treeText_ = text.str();
  Fl_Tree_Item* item = tree_->first_selected_item();
  // A selection that still exists stays on its object; a deleted one moves to
  // the object that took its place, if any.
  HTreeObject* selected = item && !selectionDeleted_ ? static_cast<HTreeObject*>(item->user_data()) : nullptr;
  const std::vector<std::string> selectedPlace = item ? LabelPath(*tree_, item) : std::vector<std::string>();
  treeStale_ = false;
  selectionDeleted_ = false;
  if (tree_->root()) tree_->clear_children(tree_->root());
  AddObjects(*tree_, nullptr, static_cast<HHashObject*>(FindTreeObjectByPath(project_, "")));
  Fl_Tree_Item* reselect = nullptr;
  for (Fl_Tree_Item* candidate = selected ? tree_->first() : nullptr; candidate && !reselect;
       candidate = tree_->next(candidate))
    if (candidate->user_data() == selected) reselect = candidate;
  if (!reselect && !selected) reselect = FindByLabels(*tree_, selectedPlace);
  if (reselect) tree_->select(reselect, 0);
  tree_->redraw();
}

void HostWindow::Tick() {
  RefreshTree();
  if (!exchange_) return;
  if (exchange_->LineCount() != shownExchangeLines_) {
    shownExchangeLines_ = exchange_->LineCount();
    showingExchange_ = true;
  }
  if (showingExchange_) SetStatusText(exchange_->LineWithTime(std::time(nullptr)));
}

void HostWindow::AroundTimersReceive(bool starting) {
  if (!window_->shown()) return;
  if (starting) {
    statusBeforeReceive_ = statusText_;
    showingExchangeBeforeReceive_ = showingExchange_;
    exchangeLinesBeforeReceive_ = exchange_->LineCount();
    receivingByTimer_ = std::make_unique<Busy>(*this);
    pluginWorkBeforeReceive_ = pluginWork_;  // a command's, when the tick came inside its dialog
    ShowPluginWork("Receiving the answer from Pigmora");
    return;
  }
  if (!receivingByTimer_) return;
  pluginWork_ = pluginWorkBeforeReceive_;
  receivingByTimer_.reset();
  // The tick left the answer where it was (it waits for the files to settle): the status goes back.
  if (exchange_->LineCount() == exchangeLinesBeforeReceive_) {
    SetStatusText(statusBeforeReceive_);
    showingExchange_ = showingExchangeBeforeReceive_;
  }
  Tick();
  Fl::flush();
}

void HostWindow::ShowStatus(const std::string& line) {
  showingExchange_ = false;
  SetStatusText(line);
}

void HostWindow::SetStatusText(const std::string& text) {
  if (text == statusText_) return;
  statusText_ = text;
  status_->copy_label(text.c_str());
  status_->redraw();
  if (statusWatcher_) statusWatcher_(statusText_);
}

bool HostWindow::RefuseWhileModal(const char* what, std::string& problem) const {
  HWND dialog = AfxGetActiveModalWindow();
  if (!dialog) return false;
  AfxWindowInfo info;
  AfxGetWindowInfo(dialog, info);
  problem = std::string("the main window's ") + what + " cannot be used while the dialog \"" + info.text + "\" is open";
  return true;
}

bool HostWindow::RefuseWhenClosed(std::string& problem) const {
  if (window_->shown()) return false;
  problem = "the main window is closed";
  return true;
}

bool HostWindow::ChooseMenu(const std::string& path, std::string& problem) {
  if (RefuseWhenClosed(problem) || RefuseWhileModal("menu", problem)) return false;
  const Fl_Menu_Item* item = menu_->find_item(path.c_str());
  if (!item || item->submenu()) {
    problem = "no menu entry '" + Echoed(path) + "'";
    return false;
  }
  if (!item->active()) {
    problem = "menu entry '" + Echoed(path) + "' is disabled";
    return false;
  }
  menu_->picked(item);
  return true;
}

bool HostWindow::SelectObject(const std::string& path, std::string& problem) {
  if (RefuseWhenClosed(problem) || RefuseWhileModal("tree", problem)) return false;
  RefreshTree();
  HTreeObject* object = FindTreeObjectByPath(project_, path.c_str());
  for (Fl_Tree_Item* item = object ? tree_->first() : nullptr; item; item = tree_->next(item)) {
    if (item->user_data() != object) continue;
    tree_->select_only(item, 0);
    return true;
  }
  problem = "no object '" + Echoed(path) + "' in the tree";
  return false;
}

void HostWindow::Show() {
  window_->show();
  Fl::check();
}

void HostWindow::RunUntilClosed() {
  while (window_->shown()) {
    const long long untilTimer = AfxMillisecondsUntilNextTimer();
    display_.WaitForEvents(static_cast<int>(std::min<long long>(100, untilTimer < 0 ? 100 : untilTimer)));
    AfxProcessDueTimers();
  }
}

int RunWithWindows(HProject* project, PluginHost& plugins, ExchangeStatus* exchange,
                   const std::vector<ScriptCommand>* script, std::string& problem) {
  if (!AfxFltkDisplay::OpenDisplay(problem)) return 2;
  AfxFltkDisplay display;
  AfxSetDisplay(&display);
  int status = 0;
  {
    HostWindow window(project, plugins, display, exchange);
    window.Show();
    if (script) {
      ScriptRunner runner(project, plugins, std::cout, std::cerr);
      runner.SetExchangeStatus(exchange);
      runner.SetModelSavedListener([&](HModelCache* model) { window.Unsaved().MarkSaved(model); });
      runner.SetScreenshooter([&](HWND dialog, const std::string& path, std::string& why) {
        // The main window as it is now, not as it was at the last tick.
        if (!dialog) window.ShowProjectNow();
        return display.Screenshot(dialog, window.Window(), path, why);
      });
      AddWindowCommands(runner, &window);
      if (!runner.Run(*script)) status = 1;
    } else {
      window.RunUntilClosed();
    }
  }
  AfxSetDisplay(nullptr);
  return status;
}

namespace {

// A script command that works the main window: without the window it says
// what needs the display, and it takes exactly `wordCount` words.
void AddWindowCommand(ScriptRunner& runner, HostWindow* window, const char* verb, const char* whatNeedsIt,
                      std::size_t wordCount, const char* usage,
                      std::function<bool(HostWindow&, const std::vector<std::string>&, std::string&)> action) {
  runner.AddCommand(verb, [=](const std::vector<std::string>& words, std::string& why) {
    if (!window) {
      why = std::string(whatNeedsIt) + " needs the window display (--gui)";
      return false;
    }
    if (words.size() != wordCount) {
      why = std::string("usage: ") + usage;
      return false;
    }
    return action(*window, words, why);
  });
}

}  // namespace

void AddWindowCommands(ScriptRunner& runner, HostWindow* window) {
  AddWindowCommand(runner, window, "menu", "the menu", 2, "menu PATH (\"Plugins/Export/Pigmora\")",
                   [](HostWindow& host, const std::vector<std::string>& words, std::string& why) {
                     return host.ChooseMenu(words[1], why);
                   });
  AddWindowCommand(runner, window, "pick", "picking in the tree", 2, "pick OBJECT (\"Objects/Sample\")",
                   [](HostWindow& host, const std::vector<std::string>& words, std::string& why) {
                     return host.SelectObject(words[1], why);
                   });
  AddWindowCommand(runner, window, "status", "the status bar", 1, "status",
                   [](HostWindow& host, const std::vector<std::string>&, std::string&) {
                     std::cout << "status bar: " << host.StatusText() << std::endl;
                     return true;
                   });
  AddWindowCommand(
      runner, window, "watch-status", "the status bar", 1, "watch-status",
      [](HostWindow& host, const std::vector<std::string>&, std::string&) {
        host.SetStatusWatcher([](const std::string& line) { std::cout << "status bar: " << line << std::endl; });
        return true;
      });
  if (!window) return;
  // Escape goes to the open dialog, else to the main window.
  runner.AddCommand("key", [window](const std::vector<std::string>& words, std::string& why) {
    if (words.size() != 2 || words[1] != "escape") {
      why = words.size() == 2 ? "unknown key '" + Echoed(words[1]) + "' (only escape)" : "usage: key escape";
      return false;
    }
    if (AfxGetActiveModalWindow()) {
      AfxUserPressEscape();
    } else if (!window->Window()->shown()) {
      why = "the main window is closed";
      return false;
    } else {
      window->PressEscape();
    }
    return true;
  });
}

const char* WindowCommandSummary() {
  return "  pick OBJECT                  (--gui) select a tree object (\"Objects/Sample\", \"Scenes/Scene1/Sample\")\n"
         "  menu PATH                    (--gui) choose a menu entry (\"Plugins/Export/Pigmora\"); it runs on the\n"
         "                               selected object\n"
         "  status                       (--gui) print the status bar's line\n"
         "  watch-status                 (--gui) print each line the status bar shows from now on\n";
}

bool DisplayAvailable() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}
