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

}  // namespace pigmora
