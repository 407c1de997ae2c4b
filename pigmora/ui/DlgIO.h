#pragma once

#include <afxwin.h>

#include "send/SendCommand.h"

namespace pigmora {

// The I/O page (template 102): twelve mode buttons, each sending the model to
// Pigmora in its mode.
class DlgIO : public CDialog {
public:
  explicit DlgIO(const SendContext& send) : send_(send) {}
  ~DlgIO() override = default;

  // Escape or a cancel command never ends or hides the page.
  void OnCancel() override {}

protected:
  void OnModeButton(UINT nID);

private:
  SendContext send_;

  DECLARE_MESSAGE_MAP()
};

// What a mode button does: sends in the button's mode, shows a failure in a
// box owned by page (none when null) and closes the applink dialog once the
// command file is written; a refused send leaves the dialog open.
void PressModeButton(CWnd* page, UINT buttonId, const SendContext& send);

}  // namespace pigmora
