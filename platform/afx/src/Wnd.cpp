#include <algorithm>
#include <cstring>

#include "EntryGuard.h"
#include "TimerQueue.h"
#include "WindowTable.h"
#include "afxwin.h"

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
  afx::WindowRecord* record = WindowTable::Instance().Find(hWnd);
  return record ? record->object : nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, int, int, int, int,
                    HWND hWndParent, HMENU nIDorHMenu, LPVOID) {
  if (m_hWnd) return FALSE;  // already has a window
  if (hWndParent && !WindowTable::Instance().Exists(hWndParent)) return FALSE;
  afx::WindowRecord record;
  record.object = this;
  record.parent = hWndParent;
  record.text = lpszWindowName ? lpszWindowName : "";
  record.style = dwStyle;
  record.exStyle = dwExStyle;
  record.controlId = hWndParent ? static_cast<int>(reinterpret_cast<UINT_PTR>(nIDorHMenu)) : 0;
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

void CWnd::SetWindowText(LPCTSTR lpszString) {
  if (afx::WindowRecord* record = WindowTable::Instance().Find(m_hWnd)) record->text = lpszString ? lpszString : "";
}

std::string CWnd::GetWindowTextString() const {
  afx::WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? record->text : std::string();
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  if (!lpszStringBuf || nMaxCount <= 0) return 0;
  std::string text = GetWindowTextString();
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(nMaxCount - 1));
  std::memcpy(lpszStringBuf, text.data(), length);
  lpszStringBuf[length] = '\0';
  return static_cast<int>(length);
}

CWnd* CWnd::GetParent() const {
  afx::WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? FromHandle(record->parent) : nullptr;
}

int CWnd::GetDlgCtrlID() const {
  afx::WindowRecord* record = WindowTable::Instance().Find(m_hWnd);
  return record ? record->controlId : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      break;
    case WM_CLOSE: OnClose(); return 0;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
    default: break;
  }
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

void CWnd::OnClose() { DestroyWindow(); }

void CWnd::OnTimer(UINT_PTR) {}

void CWnd::PostNcDestroy() {}

extern "C" {

BOOL WINAPI IsWindow(HWND hWnd) {
  return GuardedEntry(BOOL{FALSE}, [&] { return WindowTable::Instance().Exists(hWnd); });
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  return GuardedEntry(BOOL{FALSE}, [&] {
    CWnd* window = CWnd::FromHandle(hWnd);
    return window ? window->DestroyWindow() : FALSE;
  });
}

// A handler that throws answers 0.
LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return GuardedEntry(LRESULT{0}, [&] { return WindowTable::Instance().Send(hWnd, Msg, wParam, lParam); });
}

}  // extern "C"
