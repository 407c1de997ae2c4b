#include <algorithm>

#include "Controls.h"
#include "DialogTemplate.h"
#include "ModalLoop.h"
#include "WindowTable.h"
#include "afxwin.h"

using afx::WindowRecord;
using afx::WindowTable;

namespace {

constexpr const char* kDialogClass = "#32770";

// The first control that takes the focus when a dialog opens: visible,
// enabled and a tab stop, in creation order, depth first.
HWND FirstTabStop(HWND window) {
  for (HWND child : WindowTable::Instance().ChildrenOf(window)) {
    WindowRecord* record = WindowTable::Instance().Find(child);
    if (!record || !record->IsChild() || !WindowTable::Instance().IsVisible(child) ||
        !WindowTable::Instance().IsEnabled(child))
      continue;
    if (record->style & WS_TABSTOP) return child;
    if (HWND inner = FirstTabStop(child)) return inner;
  }
  return nullptr;
}

}  // namespace

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, HWND parent, BOOL* initResult) {
  const afx::DialogTemplate* dialog = afx::FindDialogTemplate(AfxGetResourceHandle(), static_cast<int>(nIDTemplate));
  if (!dialog) return FALSE;
  m_nIDHelp = nIDTemplate;
  using afx::DialogUnitsToPixelsX;
  using afx::DialogUnitsToPixelsY;
  if (!CreateEx(dialog->exStyle, kDialogClass, dialog->caption.c_str(), dialog->style & ~WS_VISIBLE,
                DialogUnitsToPixelsX(dialog->x), DialogUnitsToPixelsY(dialog->y), DialogUnitsToPixelsX(dialog->cx),
                DialogUnitsToPixelsY(dialog->cy), parent, nullptr))
    return FALSE;
  for (const afx::ControlTemplate& control : dialog->controls) {
    auto* window = new afx::ControlWnd;
    if (!window->CreateEx(control.exStyle, control.className.c_str(), control.text.c_str(), control.style,
                          DialogUnitsToPixelsX(control.x), DialogUnitsToPixelsY(control.y),
                          DialogUnitsToPixelsX(control.cx), DialogUnitsToPixelsY(control.cy), m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)))) {
      delete window;
      continue;
    }
    if (WindowRecord* record = WindowTable::Instance().Find(window->m_hWnd)) record->ownedByFramework = true;
  }
  const BOOL result = static_cast<BOOL>(SendMessage(WM_INITDIALOG, 0, 0));
  if (initResult) *initResult = result;
  // The template decides whether a page shows at once; a popup shows when its loop runs.
  if (dialog->style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  if (pParentWnd) m_pParentWnd = pParentWnd;
  return CreateFromTemplate(nIDTemplate, m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr, nullptr);
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  modalResult_ = IDCANCEL;
  modalRunning_ = true;
  HWND previousFocus = ::GetFocus();
  BOOL initResult = TRUE;
  if (!CreateFromTemplate(m_nIDHelp, m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr, &initResult)) {
    modalRunning_ = false;
    return -1;
  }
  ShowWindow(SW_SHOW);
  // TRUE from OnInitDialog leaves the focus to the framework: the first tab stop.
  if (initResult) {
    HWND first = FirstTabStop(m_hWnd);
    ::SetFocus(first ? first : m_hWnd);
  }
  HWND window = m_hWnd;
  afx::RunModalLoop(window, [this, window] { return !modalRunning_ || !::IsWindow(window); });
  modalRunning_ = false;
  if (::IsWindow(window)) DestroyWindow();
  if (::IsWindow(previousFocus)) ::SetFocus(previousFocus);
  return modalResult_;
}

void CDialog::EndDialog(int nResult) {
  modalResult_ = nResult;
  if (modalRunning_) {
    modalRunning_ = false;
  } else {
    ShowWindow(SW_HIDE);  // a modeless dialog only hides
  }
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
  if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
  if (nCode != CN_COMMAND) return FALSE;
  if (nID == IDOK) {
    OnOK();
    return TRUE;
  }
  if (nID == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}

// A dialog's close box is its cancel command.
void CDialog::OnClose() { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }
