#pragma once

#include <afxwin.h>

namespace pigmora {

// The I/O page (template 102): twelve mode buttons, each sending the model to
// Pigmora in its mode. It holds no state of its own.
class DlgIO : public CDialog {
public:
  DlgIO() = default;
  ~DlgIO() override = default;

  // Escape or a cancel command never ends or hides the page.
  void OnCancel() override {}

protected:
  void OnModeButton(UINT nID);

  DECLARE_MESSAGE_MAP()
};

}  // namespace pigmora
