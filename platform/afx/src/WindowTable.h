#pragma once

#include <map>
#include <string>
#include <vector>

#include "windows.h"

class CWnd;

// Every live window: its object, its parent and what it shows. Handles count
// up and are never reused. Internal to the framework.
namespace afx {

struct WindowRecord {
  CWnd* object = nullptr;
  HWND parent = nullptr;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  int controlId = 0;
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

private:
  std::map<HWND, WindowRecord> windows_;
  UINT_PTR lastHandle_ = 0;
};

}  // namespace afx
