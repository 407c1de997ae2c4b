#include "ui/DlgIO.h"

#include "resources/resource.h"
#include "ui/MessageBoxes.h"

namespace pigmora {

namespace {

// The applink dialog is the window the UI thread reports while it runs modally.
void CloseApplinkDialog() {
  if (HWND dialog = ThreadMainWindow()) SendMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

BEGIN_MESSAGE_MAP(DlgIO, CDialog)
ON_COMMAND_RANGE(IDC_MODE_FIRST, IDC_MODE_LAST, OnModeButton)
END_MESSAGE_MAP()

void DlgIO::OnModeButton(UINT nID) { PressModeButton(this, nID, send_); }

void PressModeButton(CWnd* page, UINT buttonId, const SendContext& send) {
  const int modeIndex = static_cast<int>(buttonId) - IDC_MODE_FIRST;
  const SendOutcome outcome = RunSendCommand(modeIndex, send);
  if (!outcome.errorText.IsEmpty())
    ShowErrorBox(page ? page->GetSafeHwnd() : nullptr, "Error", outcome.errorText.Get());
  if (outcome.status != SendStatus::NotSent) CloseApplinkDialog();
}

}  // namespace pigmora
