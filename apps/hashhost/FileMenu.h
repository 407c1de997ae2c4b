#pragma once

#include <string>

#include <windows.h>

#include "UnsavedModels.h"

class ExchangeStatus;
class Fl_Menu_Bar;
class HModelCache;
class HProject;
class HostWindow;

// The window's File menu: open an OBJ, save the selected model as OBJ, render
// the viewed model to a PNG, quit. Its file dialogs and boxes are the
// framework's, owned by the main window, so scripts answer them with `file`
// and `answer` as they answer the plug-in's.
class FileMenu {
public:
  // `exchange` may be null (no plug-in to watch).
  FileMenu(HProject* project, HostWindow& window, HWND owner, ExchangeStatus* exchange);

  void AddTo(Fl_Menu_Bar& menu);

  void Open();
  void SaveSelected();
  void RenderViewed();
  // Whether the host may end: nothing is unsaved, or the user says so.
  bool MayQuit();

  UnsavedModels& Unsaved() { return unsaved_; }

private:
  // The path the user chose in a file dialog; empty when cancelled.
  std::string AskForFile(bool open, const std::string& name, const char* extension, const char* filter);

  HProject* project_;
  HostWindow& window_;
  HWND owner_;
  ExchangeStatus* exchange_;
  UnsavedModels unsaved_;
};
