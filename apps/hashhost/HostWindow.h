#pragma once

#include <memory>
#include <string>
#include <vector>

#include <afxwin.h>

#include "ScriptParser.h"

class AfxFltkDisplay;
class Fl_Double_Window;
class Fl_Box;
class Fl_Menu_Bar;
class Fl_Tile;
class Fl_Tree;
class HModelCache;
class ModelView;
class HProject;
class HTreeObject;
class PluginHost;
struct PluginCommand;
struct LoadedPlugin;

// hashhost with windows: the project tree and a Plugins menu built from the
// plug-ins' commands ("Export" and "Import" submenus by their first menu
// value). A command runs on the selected tree object; the message loop runs,
// so timers tick; the tree follows the project.
class HostWindow {
public:
  HostWindow(HProject* project, PluginHost& plugins, AfxFltkDisplay& display);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void Show();
  // Runs until the user closes the window.
  void RunUntilClosed();
  // Rebuilds the tree when the project changed since the last look.
  void RefreshTree(bool force = false);
  // Runs a plug-in command as the menu does.
  void RunCommand(LoadedPlugin& plugin, const std::vector<int>& indices);

  // What a person does in the window, for scripts: choose a menu entry
  // ("Plugins/Export/Pigmora"), select a tree object ("Objects/Sample").
  bool ChooseMenu(const std::string& path, std::string& problem);
  bool SelectObject(const std::string& path, std::string& problem);

  Fl_Double_Window* Window() const { return window_.get(); }
  HTreeObject* SelectedObject() const;
  // The model the 3D view shows: the selected model (or an instance's
  // model), else the first model. Found again by the selected item's path at
  // every call, so a model the receive replaced is never used.
  HModelCache* ViewedModel() const;

private:
  struct MenuEntry {
    HostWindow* host;
    LoadedPlugin* plugin;
    std::vector<int> indices;  // commands sharing a menu entry, told apart by where they apply
  };

  void BuildMenu();

  HProject* project_;
  PluginHost& plugins_;
  AfxFltkDisplay& display_;
  std::unique_ptr<Fl_Double_Window> window_;
  Fl_Menu_Bar* menu_ = nullptr;
  Fl_Tile* split_ = nullptr;  // the tree beside the view; the user drags the border
  Fl_Tree* tree_ = nullptr;
  ModelView* view_ = nullptr;
  Fl_Box* status_ = nullptr;
  std::vector<std::unique_ptr<MenuEntry>> entries_;
  std::string treeText_;
  CWnd mainWnd_;  // the window plug-in dialogs are owned by
};

// The whole windowed run: a script (when given) runs with the windows up, and
// `screenshot` works; without one the window runs until closed. Returns the
// exit status. `problem` is set when no display could be opened.
int RunWithWindows(HProject* project, PluginHost& plugins, const std::vector<ScriptCommand>* script,
                   std::string& problem);

// Whether a window system is there to show windows on (DISPLAY is set).
bool DisplayAvailable();
