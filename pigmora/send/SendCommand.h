#pragma once

#include <afxwin.h>

namespace pigmora {

// The work of one mode button on the I/O page (ids 1001 to 1012): checks that
// Pigmora's executable is set, writes the command file and the model file into
// the exchange folder, reports a failure in a box owned by `page` and closes the
// applink dialog. Nothing is written while the executable is not set.
void RunSendCommand(CWnd* page, UINT buttonId);

}  // namespace pigmora
