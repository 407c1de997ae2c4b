#include <algorithm>

#include "Controls.h"
#include "WindowTable.h"
#include "afxhost.h"

using afx::WindowRecord;
using afx::WindowTable;

namespace {

std::string Describe(HWND control) {
  WindowRecord* record = WindowTable::Instance().Find(control);
  return record && record->controlId > 0 ? "control " + std::to_string(record->controlId) : std::string("the control");
}

// The record of a control a person can work, or null with the reason.
WindowRecord* Workable(HWND control, const char* className, std::string& problem) {
  WindowRecord* record = WindowTable::Instance().Find(control);
  if (!record) {
    problem = "no such control";
    return nullptr;
  }
  if (className && record->className != className) {
    problem = Describe(control) + " is not a " + (std::string(className) == "Button" ? "button" : className);
    return nullptr;
  }
  if (!WindowTable::Instance().IsVisible(control)) {
    problem = Describe(control) + " is hidden";
    return nullptr;
  }
  if (!WindowTable::Instance().IsEnabled(control)) {
    problem = Describe(control) + " is disabled";
    return nullptr;
  }
  return record;
}

void NotifyParent(HWND control, const WindowRecord& record, UINT code) {
  ::SendMessageA(record.parent, WM_COMMAND, MAKEWPARAM(record.controlId, code), reinterpret_cast<LPARAM>(control));
}

}  // namespace

HWND AfxGetActiveModalWindow() {
  const std::vector<HWND>& modal = WindowTable::Instance().ModalWindows();
  return modal.empty() ? nullptr : modal.back();
}

std::vector<HWND> AfxGetModalWindows() { return WindowTable::Instance().ModalWindows(); }

std::vector<HWND> AfxGetChildWindows(HWND window) { return WindowTable::Instance().ChildrenOf(window); }

HWND AfxFindControl(HWND root, int id) {
  // Children first, then their children: a page's controls are found from its dialog.
  std::vector<HWND> level = WindowTable::Instance().ChildrenOf(root);
  while (!level.empty()) {
    std::vector<HWND> next;
    for (HWND child : level) {
      WindowRecord* record = WindowTable::Instance().Find(child);
      if (!record || !record->IsChild()) continue;
      if (record->controlId == id) return child;
      std::vector<HWND> grandChildren = WindowTable::Instance().ChildrenOf(child);
      next.insert(next.end(), grandChildren.begin(), grandChildren.end());
    }
    level.swap(next);
  }
  return nullptr;
}

bool AfxGetWindowInfo(HWND window, AfxWindowInfo& info) {
  WindowRecord* record = WindowTable::Instance().Find(window);
  if (!record) return false;
  info.className = record->className;
  info.text = record->text;
  info.style = record->style;
  info.controlId = record->controlId;
  info.rect = record->rect;
  info.check = record->check;
  info.items = record->items;
  info.curSel = record->curSel;
  info.visible = WindowTable::Instance().IsVisible(window);
  info.enabled = WindowTable::Instance().IsEnabled(window);
  info.focused = WindowTable::Instance().Focus() == window;
  return true;
}

bool AfxUserClick(HWND control, std::string& problem) {
  WindowRecord* record = Workable(control, "Button", problem);
  if (!record) return false;
  if (!afx::IsPushButton(*record) && !afx::IsCheckBox(*record)) {
    problem = Describe(control) + " cannot be clicked";
    return false;
  }
  ::SetFocus(control);
  if ((record->style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    record->check = record->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  NotifyParent(control, *record, BN_CLICKED);
  return true;
}

bool AfxUserSetCheck(HWND control, int state, std::string& problem) {
  WindowRecord* record = Workable(control, "Button", problem);
  if (!record) return false;
  if (!afx::IsCheckBox(*record)) {
    problem = Describe(control) + " is not a check box";
    return false;
  }
  if ((record->check == BST_CHECKED) == (state != 0)) return true;
  return AfxUserClick(control, problem);
}

bool AfxUserSelectEntry(HWND control, int index, std::string& problem) {
  WindowRecord* record = Workable(control, "ComboBox", problem);
  if (!record) return false;
  if (index < 0 || static_cast<std::size_t>(index) >= record->items.size()) {
    problem = Describe(control) + " has no entry " + std::to_string(index) + " (it has " +
              std::to_string(record->items.size()) + ")";
    return false;
  }
  ::SetFocus(control);
  record->curSel = index;
  record->text = record->items[static_cast<std::size_t>(index)];
  NotifyParent(control, *record, CBN_SELCHANGE);
  return true;
}

bool AfxUserSelectTab(HWND tab, int index, std::string& problem) {
  WindowRecord* record = Workable(tab, WC_TABCONTROLA, problem);
  if (!record) return false;
  if (index < 0 || static_cast<std::size_t>(index) >= record->items.size()) {
    problem = Describe(tab) + " has no tab " + std::to_string(index) + " (it has " +
              std::to_string(record->items.size()) + ")";
    return false;
  }
  ::SetFocus(tab);
  if (record->curSel == index) return true;  // clicking the current tab changes nothing
  NMHDR header{tab, static_cast<UINT_PTR>(record->controlId), TCN_SELCHANGING};
  HWND parent = record->parent;
  // A handler that returns TRUE keeps the current tab.
  if (::SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header))) return true;
  record = WindowTable::Instance().Find(tab);
  if (!record) return true;
  record->curSel = index;
  header.code = TCN_SELCHANGE;
  ::SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  return true;
}

void AfxUserPressEscape() {
  // The nearest dialog around the focus gets the cancel command.
  for (HWND window = WindowTable::Instance().Focus(); window;) {
    WindowRecord* record = WindowTable::Instance().Find(window);
    if (!record) break;
    if (record->className == "#32770") {
      ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
      return;
    }
    window = record->IsChild() ? record->parent : nullptr;
  }
  if (HWND modal = AfxGetActiveModalWindow()) ::SendMessageA(modal, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

void AfxUserCloseWindow(HWND window) {
  if (WindowTable::Instance().Exists(window)) ::SendMessageA(window, WM_CLOSE, 0, 0);
}
