#pragma once

// The one translation from this platform's errno values to Win32 error codes,
// for every framework call that reports a failure the Windows way.
#include <windows.h>

namespace afx {

// The Win32 code for an errno value (ERROR_GEN_FAILURE for one Windows has no
// counterpart for). ENOENT is ERROR_FILE_NOT_FOUND; callers that know a folder
// on the way is missing report ERROR_PATH_NOT_FOUND themselves.
DWORD Win32ErrorFromErrno(int error);

// True when the folder part of path names an existing folder (a bare name is
// in the working folder).
bool FolderOfPathExists(const char* path);

// The Win32 code for a failed call on path that left errno: a missing folder
// on the way is ERROR_PATH_NOT_FOUND, as on Windows.
DWORD Win32ErrorForPath(int error, const char* path);

}  // namespace afx
