#include <algorithm>
#include <cstring>

#include "Controls.h"
#include "TimerQueue.h"
#include "WindowTable.h"
#include "afxwin.h"

using afx::WindowRecord;
using afx::WindowTable;

CWnd::CWnd() = default;

CWnd::~CWnd() {
  // A window must not outlive its object: destroy it without calling into
  // the derived class, which is already gone.
  if (m_hWnd && WindowTable::Instance().Exists(m_hWnd)) {
    for (HWND child : WindowTable::Instance().ChildrenOf(m_hWnd)) ::DestroyWindow(child);
    afx::TimerQueue::Instance().KillTimersOfWindow(m_hWnd);
    WindowTable::Instance().Remove(m_hWnd);
  }
  m_hWnd = nullptr;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  return record ? record->object : nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID) {
  if (m_hWnd) return FALSE;  // already has a window
  if (hWndParent && !WindowTable::Instance().Exists(hWndParent)) return FALSE;
  WindowRecord record;
  record.object = this;
  record.parent = hWndParent;
  record.className = lpszClassName ? lpszClassName : "";
  record.text = lpszWindowName ? lpszWindowName : "";
  record.style = dwStyle;
  record.exStyle = dwExStyle;
  record.controlId = hWndParent ? static_cast<int>(reinterpret_cast<UINT_PTR>(nIDorHMenu)) : 0;
  record.rect = RECT{x, y, x + std::max(nWidth, 0), y + std::max(nHeight, 0)};
  m_hWnd = WindowTable::Instance().Add(record);
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd || !WindowTable::Instance().Exists(m_hWnd)) return FALSE;
  HWND window = m_hWnd;
  for (HWND child : WindowTable::Instance().ChildrenOf(window)) ::DestroyWindow(child);
  WindowProc(WM_DESTROY, 0, 0);
  afx::TimerQueue::Instance().KillTimersOfWindow(window);
  WindowTable::Instance().Remove(window);
  m_hWnd = nullptr;
  PostNcDestroy();  // may delete this
  return TRUE;
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  if (!lpszCaption) lpszCaption = AfxGetAppName();
  return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
  return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE; }

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

std::string CWnd::GetWindowTextString() const {
  WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? record->text : std::string();
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

int CWnd::GetDlgCtrlID() const {
  WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? record->controlId : 0;
}

DWORD CWnd::GetStyle() const {
  WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? record->style : 0;
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* PASCAL CWnd::GetFocus() { return FromHandle(::GetFocus()); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(wParam, lParam, &result)) return result;
      break;
    }
    case WM_CLOSE: OnClose(); return 0;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
    default: break;
  }
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? afx::ControlProc(m_hWnd, *record, message, wParam, lParam) : 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) return FALSE;
  const UINT id = static_cast<UINT>(header->idFrom);
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), WM_NOTIFY, header->code, id);
  if (!entry || !entry->pfn) return FALSE;
  AFX_MSGCALL call{WM_NOTIFY, header->code, id, 0, lParam, pResult};
  entry->pfn(this, call);
  return TRUE;
}

void CWnd::OnClose() { DestroyWindow(); }

void CWnd::OnTimer(UINT_PTR) {}

void CWnd::PostNcDestroy() {}

extern "C" {

BOOL WINAPI IsWindow(HWND hWnd) { return WindowTable::Instance().Exists(hWnd); }

BOOL WINAPI DestroyWindow(HWND hWnd) {
  CWnd* window = CWnd::FromHandle(hWnd);
  return window ? window->DestroyWindow() : FALSE;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return WindowTable::Instance().Send(hWnd, Msg, wParam, lParam);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  for (HWND child : WindowTable::Instance().ChildrenOf(hDlg)) {
    WindowRecord* record = WindowTable::Instance().Find(child);
    if (record && record->IsChild() && record->controlId == nIDDlgItem) return child;
  }
  return nullptr;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  if (!record) return FALSE;
  const BOOL wasDisabled = (record->style & WS_DISABLED) != 0;
  if (bEnable) {
    record->style &= ~WS_DISABLED;
  } else {
    record->style |= WS_DISABLED;
    if (WindowTable::Instance().Focus() == hWnd) WindowTable::Instance().SetFocusWindow(nullptr);
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  return record && !(record->style & WS_DISABLED);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  if (!record) return FALSE;
  const BOOL wasVisible = (record->style & WS_VISIBLE) != 0;
  if (nCmdShow == SW_HIDE) {
    record->style &= ~WS_VISIBLE;
  } else {
    record->style |= WS_VISIBLE;
  }
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) { return WindowTable::Instance().IsVisible(hWnd); }

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  if (!record) return FALSE;
  RECT& rect = record->rect;
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  if (!(uFlags & SWP_NOMOVE)) {
    rect.left = X;
    rect.top = Y;
  }
  const LONG newWidth = (uFlags & SWP_NOSIZE) ? width : std::max(cx, 0);
  const LONG newHeight = (uFlags & SWP_NOSIZE) ? height : std::max(cy, 0);
  rect.right = rect.left + newWidth;
  rect.bottom = rect.top + newHeight;
  if (uFlags & SWP_SHOWWINDOW) record->style |= WS_VISIBLE;
  if (uFlags & SWP_HIDEWINDOW) record->style &= ~WS_VISIBLE;
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  if (!lpRect) return FALSE;
  RECT screen{};
  bool first = true;
  // Adds up the offsets of every parent up to the top-level window.
  for (WindowRecord* record = WindowTable::Instance().Find(hWnd); record;
       record = record->IsChild() ? WindowTable::Instance().Find(record->parent) : nullptr) {
    if (first) {
      screen = record->rect;
      first = false;
    } else {
      screen.left += record->rect.left;
      screen.right += record->rect.left;
      screen.top += record->rect.top;
      screen.bottom += record->rect.top;
    }
  }
  if (first) return FALSE;
  *lpRect = screen;
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  if (!record || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  return TRUE;
}

HWND WINAPI GetFocus(void) { return WindowTable::Instance().Focus(); }

HWND WINAPI SetFocus(HWND hWnd) {
  HWND previous = WindowTable::Instance().Focus();
  if (hWnd && (!WindowTable::Instance().Exists(hWnd) || !WindowTable::Instance().IsEnabled(hWnd))) return previous;
  WindowTable::Instance().SetFocusWindow(hWnd);
  return previous;
}

HWND WINAPI GetParent(HWND hWnd) {
  WindowRecord* record = WindowTable::Instance().Find(hWnd);
  return record ? record->parent : nullptr;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  return WindowTable::Instance().Exists(hWnd)
             ? static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)))
             : FALSE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  if (!WindowTable::Instance().Exists(hWnd)) return 0;
  return static_cast<int>(
      SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

}  // extern "C"
