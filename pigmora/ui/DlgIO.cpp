#include "ui/DlgIO.h"

#include "resources/resource.h"
#include "send/SendCommand.h"

namespace pigmora {

BEGIN_MESSAGE_MAP(DlgIO, CDialog)
ON_COMMAND_RANGE(IDC_MODE_FIRST, IDC_MODE_LAST, OnModeButton)
END_MESSAGE_MAP()

void DlgIO::OnModeButton(UINT nID) { RunSendCommand(this, nID, send_); }

}  // namespace pigmora
