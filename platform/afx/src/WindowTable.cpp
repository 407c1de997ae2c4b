#include "WindowTable.h"

#include "afxwin.h"

namespace afx {

WindowTable& WindowTable::Instance() {
  static WindowTable table;
  return table;
}

HWND WindowTable::Add(const WindowRecord& record) {
  // Handles are small multiples of 4 that no pointer in this process equals.
  HWND window = reinterpret_cast<HWND>((++lastHandle_) << 2);
  windows_[window] = record;
  return window;
}

void WindowTable::Remove(HWND window) {
  if (focus_ == window) {
    WindowRecord* record = Find(window);
    focus_ = record && record->IsChild() && Exists(record->parent) ? record->parent : nullptr;
  }
  windows_.erase(window);
}

WindowRecord* WindowTable::Find(HWND window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<HWND> WindowTable::ChildrenOf(HWND window) const {
  std::vector<HWND> children;
  for (const auto& [handle, record] : windows_)
    if (record.parent == window) children.push_back(handle);
  return children;
}

LRESULT WindowTable::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = Find(window);
  if (!record || !record->object) return 0;
  return record->object->WindowProc(message, wParam, lParam);
}

bool WindowTable::IsVisible(HWND window) {
  for (WindowRecord* record = Find(window); record; record = Find(record->parent)) {
    if (!(record->style & WS_VISIBLE)) return false;
    if (!record->IsChild()) return true;
  }
  return false;
}

bool WindowTable::IsEnabled(HWND window) {
  for (WindowRecord* record = Find(window); record; record = Find(record->parent)) {
    if (record->style & WS_DISABLED) return false;
    if (!record->IsChild()) return true;
  }
  return false;
}

}  // namespace afx
