#include "HostWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Tile.H>
#include <FL/Fl_Tree.H>

#include <cstdlib>
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
#include "ModelView.h"
#include "PluginHost.h"
#include "ScriptRunner.h"

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 600;
constexpr int kTreeWidth = 300;

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

}  // namespace

HostWindow::HostWindow(HProject* project, PluginHost& plugins, AfxFltkDisplay& display)
    : project_(project), plugins_(plugins), display_(display) {
  window_ = std::make_unique<Fl_Double_Window>(kWidth, kHeight, "Hash Animator (hashhost)");
  menu_ = new Fl_Menu_Bar(0, 0, kWidth, 26);
  split_ = new Fl_Tile(0, 26, kWidth, kHeight - 50);
  tree_ = new Fl_Tree(0, 26, kTreeWidth, kHeight - 50);
  tree_->showroot(0);
  tree_->selectmode(FL_TREE_SELECT_SINGLE);
  view_ = new ModelView(kTreeWidth, 26, kWidth - kTreeWidth, kHeight - 50);
  view_->SetModelSource([this] { return ViewedModel(); });
  view_->SetReporter([this](const std::string& line) {
    status_->copy_label(line.c_str());
    std::cerr << "hashhost: " << line << std::endl;
  });
  // Neither side can be dragged narrower than 100 pixels.
  auto* limits = new Fl_Box(100, 26, kWidth - 200, kHeight - 50);
  limits->hide();
  split_->resizable(limits);
  split_->end();
  status_ = new Fl_Box(0, kHeight - 24, kWidth, 24);
  status_->box(FL_THIN_DOWN_BOX);
  status_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  status_->labelsize(12);
  window_->resizable(split_);
  window_->end();
  mainWnd_.CreateEx(0, "HashhostMain", "Hash Animator", WS_OVERLAPPED | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                    nullptr);
  SetMainApplicationWnd(mainWnd_.GetSafeHwnd());
  BuildMenu();
  RefreshTree(true);
}

HostWindow::~HostWindow() {
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
        entries_.push_back(std::make_unique<MenuEntry>(MenuEntry{this, plugin, {}}));
        entry = entries_.back().get();
        menu_->add(
            path.c_str(), 0,
            [](Fl_Widget*, void* data) {
              auto* chosen = static_cast<MenuEntry*>(data);
              chosen->host->RunCommand(*chosen->plugin, chosen->indices);
            },
            entry);
      }
      entry->indices.push_back(command.index);
    }
  }
  if (entries_.empty()) menu_->add("Plugins/(no plug-ins)", 0, nullptr, nullptr, FL_MENU_INACTIVE);
}

HTreeObject* HostWindow::SelectedObject() const {
  Fl_Tree_Item* item = tree_->first_selected_item();
  return item ? static_cast<HTreeObject*>(item->user_data()) : nullptr;
}

HModelCache* HostWindow::ViewedModel() const {
  HTreeObject* object = nullptr;
  if (const Fl_Tree_Item* item = tree_->first_selected_item()) {
    // The labels up to the project's item ("Objects/Sample"), as the project finds objects.
    std::string path;
    for (; item->parent() && item->parent()->parent(); item = item->parent())
      path = std::string(item->label() ? item->label() : "") + (path.empty() ? "" : "/") + path;
    object = FindTreeObjectByPath(project_, path.c_str());
  }
  if (object) {
    if (HModelCache* model = object->GetAsModelCache()) return model;
    if (HAnimObject* instance = object->GetAnimObject(); instance && instance->GetCache()) return instance->GetCache();
  }
  HTreeObject* objects = FindTreeObjectByPath(project_, "Objects");
  for (HHashObject* child = objects ? static_cast<HHashObject*>(objects)->GetChild() : nullptr; child;
       child = child->GetSibling())
    if (HModelCache* model = child->GetAsModelCache()) return model;
  return nullptr;
}

void HostWindow::RunCommand(LoadedPlugin& plugin, const std::vector<int>& indices) {
  HTreeObject* object = SelectedObject();
  if (!object) object = FindTreeObjectByPath(project_, "");
  // Of the commands on one entry, the one offered on this kind of object.
  int index = indices.front();
  for (int candidate : indices)
    if (plugin.commands[static_cast<std::size_t>(candidate)].entryCode == object->GetObjectType()) index = candidate;
  const int result = plugin.onCommand(object, index);
  const std::string report = plugin.stem + " " + std::to_string(index) + ": result=" + std::to_string(result);
  status_->copy_label(report.c_str());
  std::cout << report << std::endl;
  RefreshTree();
}

void HostWindow::RefreshTree(bool force) {
  std::ostringstream text;
  PrintProjectTree(project_, text);
  if (!force && text.str() == treeText_) return;
  treeText_ = text.str();
  HTreeObject* selected = SelectedObject();
  if (tree_->root()) tree_->clear_children(tree_->root());
  AddObjects(*tree_, nullptr, static_cast<HHashObject*>(FindTreeObjectByPath(project_, "")));
  // Keep the selection when its object still exists.
  for (Fl_Tree_Item* item = tree_->first(); item; item = tree_->next(item))
    if (selected && item->user_data() == selected) tree_->select(item, 0);
  tree_->redraw();
}

bool HostWindow::ChooseMenu(const std::string& path, std::string& problem) {
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
  ULONGLONG lastLook = AfxClockMilliseconds();
  while (window_->shown()) {
    display_.WaitForEvents(static_cast<int>(
        std::min<long long>(100, AfxMillisecondsUntilNextTimer() < 0 ? 100 : AfxMillisecondsUntilNextTimer())));
    AfxProcessDueTimers();
    // Timers (auto-import) may change the project too.
    if (AfxClockMilliseconds() - lastLook >= 1000) {
      lastLook = AfxClockMilliseconds();
      RefreshTree();
    }
  }
}

int RunWithWindows(HProject* project, PluginHost& plugins, const std::vector<ScriptCommand>* script,
                   std::string& problem) {
  if (!AfxFltkDisplay::OpenDisplay(problem)) return 2;
  AfxFltkDisplay display;
  AfxSetDisplay(&display);
  int status = 0;
  {
    HostWindow window(project, plugins, display);
    window.Show();
    if (script) {
      ScriptRunner runner(project, plugins, std::cout, std::cerr);
      runner.SetScreenshooter([&](HWND dialog, const std::string& path, std::string& why) {
        return display.Screenshot(dialog, window.Window(), path, why);
      });
      runner.AddCommand("menu", [&](const std::vector<std::string>& words, std::string& why) {
        if (words.size() != 2) {
          why = "usage: menu PATH (\"Plugins/Export/Pigmora\")";
          return false;
        }
        return window.ChooseMenu(words[1], why);
      });
      runner.AddCommand("pick", [&](const std::vector<std::string>& words, std::string& why) {
        if (words.size() != 2) {
          why = "usage: pick OBJECT (\"Objects/Sample\")";
          return false;
        }
        return window.SelectObject(words[1], why);
      });
      if (!runner.Run(*script)) status = 1;
    } else {
      window.RunUntilClosed();
    }
  }
  AfxSetDisplay(nullptr);
  return status;
}

bool DisplayAvailable() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}
