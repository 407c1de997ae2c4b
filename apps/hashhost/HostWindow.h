#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <afxwin.h>

#include "ScriptParser.h"
#include "ViewShading.h"

class AfxFltkDisplay;
class ExchangeStatus;
class FileMenu;
class Fl_Double_Window;
class Fl_Box;
class Fl_Menu_Bar;
class Fl_Tile;
class Fl_Tree_Item;
class HModelCache;
class ModelView;
class HProject;
class HTreeObject;
class HostTimer;
class PluginHost;
class ScriptRunner;
class TreeWithFullNames;
class UnsavedModels;
struct PluginCommand;
struct LoadedPlugin;

// hashhost with windows: a File menu, the project tree and a Plugins menu
// built from the plug-ins' commands ("Export" and "Import" submenus by their
// first menu value), and a status bar that says what the exchange with
// Pigmora is doing.
// A command runs on the selected tree object; the message loop runs, so
// timers tick; the tree follows the project.
class HostWindow {
public:
  // `exchange` may be null (no plug-in to watch).
  HostWindow(HProject* project, PluginHost& plugins, AfxFltkDisplay& display, ExchangeStatus* exchange);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void Show();
  // Runs until the user closes the window.
  void RunUntilClosed();
  // Rebuilds the tree when the project changed since the last look.
  void RefreshTree(bool force = false);
  // The tree and the view as the project is now, not as at the last tick.
  void ShowProjectNow();
  // Runs a plug-in command as the menu entry `words` does.
  void RunCommand(LoadedPlugin& plugin, const std::vector<int>& indices, const std::string& words);

  // What a person does in the window, for scripts: choose a menu entry
  // ("Plugins/Export/Pigmora"), select a tree object ("Objects/Sample").
  // Both refuse while a modal dialog is open, as a person could not either.
  bool ChooseMenu(const std::string& path, std::string& problem);
  bool SelectObject(const std::string& path, std::string& problem);

  Fl_Double_Window* Window() const { return window_.get(); }
  // The selected tree object, or null. Always one that exists: the selection
  // follows a replaced object (same place, same name) and is dropped with a
  // deleted one.
  HTreeObject* SelectedObject();
  // The model of the selection (the object itself, or the model a scene
  // instance shows); null when the selection is no model.
  HModelCache* SelectedModel();

  // Shows a line in the status bar.
  void ShowStatus(const std::string& line);
  const std::string& StatusText() const { return statusText_; }
  // Told each line the status bar shows from now on, as it shows it (for scripts).
  void SetStatusWatcher(std::function<void(const std::string& line)> watcher) { statusWatcher_ = std::move(watcher); }
  // Shows how long work is getting on and draws the window meanwhile; with
  // `handleEvents` also takes the window system's events (redraws after an
  // expose, timers), which only work that leaves the project alone may allow.
  void ShowWork(const std::string& line, bool handleEvents);
  // As ShowWork, for how far the work is: drawn at most a few times a second,
  // so that drawing never slows the work.
  void ShowProgress(const std::string& line, bool handleEvents);
  // While one lives the menus and the tree take no input and the window does not close.
  class Busy {
  public:
    explicit Busy(HostWindow& window);
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    HostWindow& window_;
  };
  void SelectModel(HModelCache* model);

  // The close box, File > Quit: asks first when models were not saved, then
  // closes the window. Escape does not quit.
  void RequestQuit();
  // Escape pressed in the main window, as the window system delivers it.
  void PressEscape();
  UnsavedModels& Unsaved();
  // The model the 3D view shows: the selected model (or an instance's model),
  // else the first model; resolved at every call, never kept.
  HModelCache* ViewedModel();
  // The shading the view draws with.
  ViewShading Shading() const;

private:
  struct MenuEntry {
    HostWindow* host;
    LoadedPlugin* plugin;
    std::vector<int> indices;  // commands sharing a menu entry, told apart by where they apply
    std::string words;         // "Plugins > Import > Pigmora"
  };

  void BuildMenu();
  // The words a menu entry's command is known by to users: "Plugins > Import > Pigmora".
  static std::string MenuWords(const std::string& path);
  void ReportCommand(const std::string& entryWords, int result, bool exchangeSpoke);
  // Runs on every tick of the loop: the tree, then the exchange's status.
  void Tick();
  // Around a tick of the plug-in's timer that may receive an answer: the
  // window says so (as for a receive from the menu) and takes no input until
  // the tick ends.
  void AroundTimersReceive(bool starting);
  void SetStatusText(const std::string& text);
  // A plug-in's call the window shows as work ("Receiving the answer from
  // Pigmora") starts (with its words) or ends (empty): the host's own long
  // conversions inside it say how far they are.
  void ShowPluginWork(const std::string& words);
  bool RefuseWhileModal(const char* what, std::string& problem) const;
  bool RefuseWhenClosed(std::string& problem) const;
  void ForgetDeleted(HTreeObject* object);

  HProject* project_;
  PluginHost& plugins_;
  AfxFltkDisplay& display_;
  ExchangeStatus* exchange_;
  std::unique_ptr<Fl_Double_Window> window_;
  Fl_Menu_Bar* menu_ = nullptr;
  Fl_Tile* split_ = nullptr;  // the tree beside the view; the user drags the border
  TreeWithFullNames* tree_ = nullptr;
  ModelView* view_ = nullptr;
  Fl_Box* status_ = nullptr;
  std::vector<std::unique_ptr<MenuEntry>> entries_;
  std::string treeText_;
  // Tree items point at tree objects: once one of them is deleted the items
  // are rebuilt before anything reads them.
  bool treeStale_ = false;
  bool selectionDeleted_ = false;
  int deletionListener_ = 0;
  bool showingExchange_ = false;  // the status bar shows the exchange's line (with its time)
  unsigned shownExchangeLines_ = 0;
  std::string statusText_;
  std::function<void(const std::string&)> statusWatcher_;
  std::string pluginWork_;  // the words of the plug-in's call shown as work; empty outside one
  std::chrono::steady_clock::time_point progressDrawn_;
  std::unique_ptr<HostTimer> ticker_;
  std::unique_ptr<FileMenu> files_;
  int busy_ = 0;
  std::unique_ptr<Busy> receivingByTimer_;  // while the timer's tick may be receiving
  std::string statusBeforeReceive_;
  bool showingExchangeBeforeReceive_ = false;
  unsigned exchangeLinesBeforeReceive_ = 0;
  std::string pluginWorkBeforeReceive_;
  CWnd mainWnd_;  // the window plug-in dialogs are owned by
};

// The whole windowed run: a script (when given) runs with the windows up, and
// `screenshot` works; without one the window runs until closed. Returns the
// exit status. `problem` is set when no display could be opened.
int RunWithWindows(HProject* project, PluginHost& plugins, ExchangeStatus* exchange,
                   const std::vector<ScriptCommand>* script, std::string& problem);

// The window's script commands (`pick`, `menu`, `status`, and `key escape` outside a dialog). Without a window they say
// that they need one.
void AddWindowCommands(ScriptRunner& runner, HostWindow* window);
// One line per window command, for --help.
const char* WindowCommandSummary();

// Whether a window system is there to show windows on (DISPLAY is set).
bool DisplayAvailable();
