#include "send/SendCommand.h"

// Placeholder until the send lands: says so instead of pretending to send.
void RunSendCommand(CWnd* page, UINT /*buttonId*/) {
  MessageBoxA(page ? page->GetSafeHwnd() : nullptr, "Sending is not built yet", "Error", MB_ICONERROR);
}
