#pragma once

// The running process and requests to stop it: signals on POSIX (OsProcessPosix.cpp), the
// C runtime's console signals on Windows (OsProcessWin32.cpp).
namespace os {

// Calls `handler` when the user or the system asks the program to stop (Ctrl+C, a
// termination request, a closed terminal). A call that waits meanwhile returns early rather
// than resume, so a stop never hangs.
void OnStopRequest(void (*handler)(int));

}  // namespace os
