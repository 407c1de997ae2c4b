#pragma once

#include <windows.h>

#if defined(_WIN32)
// The shell's own, from shell32 (its header needs the window system the framework replaces).
extern "C" __declspec(dllimport) int WINAPI
    SHCreateDirectoryExA(HWND hwnd, LPCSTR pszPath, const SECURITY_ATTRIBUTES* psa);
#else
extern "C" {
// Creates a folder and every missing folder above it in one call. Returns
// ERROR_SUCCESS when it created the folder, ERROR_ALREADY_EXISTS when the
// folder was there already, ERROR_FILE_EXISTS when a file has its name,
// ERROR_PATH_NOT_FOUND when a file blocks the path above it,
// ERROR_BAD_PATHNAME for an empty or relative path, ERROR_ACCESS_DENIED,
// ERROR_FILENAME_EXCED_RANGE or ERROR_DISK_FULL. The window and security
// arguments are accepted and ignored.
AFX_API int WINAPI SHCreateDirectoryExA(HWND hwnd, LPCSTR pszPath, const void* psa);
}
#endif
