#pragma once

#include <map>
#include <string>
#include <vector>

#include <windows.h>

class CWnd;

// Every live window: its object, its parent and what it shows. Handles count
// up and are never reused. Internal to the framework.
namespace afx {

struct WindowRecord {
  CWnd* object = nullptr;
  HWND parent = nullptr;  // for a WS_CHILD window its parent, else its owner
  std::string className;  // "Button", "Static", "Edit", "ComboBox", "SysTabControl32", "#32770" (dialog)
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  int controlId = 0;
  RECT rect{};  // pixels, relative to the parent's client area for a child
  // Control state.
  int check = BST_UNCHECKED;
  std::vector<std::string> items;  // combo box entries or tab captions
  int curSel = -1;
  bool ownedByFramework = false;  // a control the framework made from a template: deleted with its window

  bool IsChild() const { return (style & WS_CHILD) != 0; }
};

class WindowTable {
public:
  static WindowTable& Instance();

  HWND Add(const WindowRecord& record);
  void Remove(HWND window);
  bool Exists(HWND window) const { return windows_.count(window) > 0; }
  WindowRecord* Find(HWND window);
  // Direct children, oldest first.
  std::vector<HWND> ChildrenOf(HWND window) const;
  LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Visible and enabled as a person sees them: a child also needs its parents'.
  bool IsVisible(HWND window);
  bool IsEnabled(HWND window);

  HWND Focus() const { return focus_; }
  void SetFocusWindow(HWND window) { focus_ = window; }

  // Running modal dialogs, innermost last.
  std::vector<HWND>& ModalWindows() { return modal_; }

private:
  std::map<HWND, WindowRecord> windows_;
  UINT_PTR lastHandle_ = 0;
  HWND focus_ = nullptr;
  std::vector<HWND> modal_;
};

}  // namespace afx
