#pragma once

#include <FileIO/String.h>
#include <windows.h>

namespace pigmora {

// The system's words for a Win32 error code (GetLastError, a file
// exception's m_lOsError), without the closing full stop, for messages to
// the user; "error N" for a code the system has no words for.
String SystemErrorText(DWORD code);

}  // namespace pigmora
