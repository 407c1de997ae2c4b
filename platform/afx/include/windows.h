#pragma once

// The Win32 types, constants and calls that framework-based modules use, with
// their Windows names and values. Text is 8-bit (the A functions).
#include <cstdarg>
#include <cstdint>

#include "afxexport.h"

#if defined(_WIN32)
// On Windows the types, error codes and kernel calls (files and their moves, error codes and
// their text, process ids, the tick count) are the system's own: the real header, without its
// window system. The window system below (timers, message boxes, windows and controls) stays the
// framework's, headless, under the same names.
#pragma GCC system_header
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define NOUSER
#define NOGDI
#define NOMB
#define NOMSG
#include_next <windows.h>
#define AFXAPI
// The A/W macros the system header defines for names the platform's own code uses.
#undef ReplaceFile
// The timers below are the framework's, and so is the clock they tick by: GetTickCount reads it
// (virtual in tests and scripts that advance it), as the system's count is the clock of the
// system's timers.
extern "C" DWORD WINAPI AfxGetTickCount(void);
#define GetTickCount AfxGetTickCount
#else
#define WINAPI
#define CALLBACK
#define AFXAPI
#define PASCAL

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef std::uint64_t ULONGLONG;
typedef std::int64_t LONGLONG;
typedef unsigned int UINT;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t INT_PTR;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const char* LPCTSTR;
typedef char* LPTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HMENU__* HMENU;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260

#define LOWORD(l) (static_cast<WORD>(static_cast<ULONG_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<ULONG_PTR>(l) >> 16) & 0xffff))
#define MAKELONG(a, b) (static_cast<LONG>(static_cast<WORD>(a) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#endif

#ifndef MAKEWPARAM
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#endif

#if !defined(_WIN32)
typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT;
#endif

// The header of every WM_NOTIFY message.
typedef struct tagNMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
} NMHDR, *LPNMHDR;

// Window messages.
#define WM_DESTROY 0x0002
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_SHOWWINDOW 0x0018
#define WM_NOTIFY 0x004E
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define SC_CLOSE 0xF060

// Window styles.
#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_VSCROLL 0x00200000u
#define WS_HSCROLL 0x00100000u
#define WS_SYSMENU 0x00080000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define WS_EX_CONTROLPARENT 0x00010000u
#define DS_SETFONT 0x40u
#define DS_MODALFRAME 0x80u
#define DS_CONTROL 0x0400u

// Button styles, messages, notifications and states.
#define BS_PUSHBUTTON 0x0u
#define BS_DEFPUSHBUTTON 0x1u
#define BS_CHECKBOX 0x2u
#define BS_AUTOCHECKBOX 0x3u
#define BS_GROUPBOX 0x7u
#define BS_TYPEMASK 0xFu
#define BS_FLAT 0x8000u
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BST_UNCHECKED 0x0
#define BST_CHECKED 0x1
#define BN_CLICKED 0

// Edit and static styles.
#define ES_AUTOHSCROLL 0x0080u
#define ES_READONLY 0x0800u
#define SS_LEFT 0x0u

// Combo boxes.
#define CBS_DROPDOWN 0x0002u
#define CBS_DROPDOWNLIST 0x0003u
#define CBS_SORT 0x0100u
#define CB_ERR (-1)
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_ADDSTRING 0x0143
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CBN_SELCHANGE 1

// Tab controls.
#define WC_TABCONTROLA "SysTabControl32"
#define TCIF_TEXT 0x0001u
typedef struct tagTCITEMA {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
} TCITEMA, TCITEM;
#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_INSERTITEMA (TCM_FIRST + 7)
#define TCM_INSERTITEM TCM_INSERTITEMA
#define TCN_FIRST (0U - 550U)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)

// ShowWindow and SetWindowPos.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u

// The file-open dialog's flags.
#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_NOCHANGEDIR 0x00000008u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u
#define OFN_EXPLORER 0x00080000u

// Message box types: buttons in the low nibble, icon in the next, default button next.
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_CANCELTRYCONTINUE 0x00000006u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONMASK 0x000000F0u
#define MB_DEFMASK 0x00000F00u

// Dialog and message box results.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDTRYAGAIN 10
#define IDCONTINUE 11

#if !defined(_WIN32)
// System error codes.
#define ERROR_SUCCESS 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BUFFER_OVERFLOW 111L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_BUSY 170L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_FILE_TOO_LARGE 223L
#define ERROR_DIRECTORY 267L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_CANCELLED 1223L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

// File attributes, as CFileStatus::m_attribute reports them. A device, pipe or
// socket is FILE_ATTRIBUTE_DEVICE.
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

// MoveFileExA's flags.
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

// FormatMessageA's flags.
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u

// A point in time: 100-nanosecond intervals since 1 January 1601 (UTC).
typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;

// OpenProcess's access rights, and the exit code of a process that still runs.
#define SYNCHRONIZE 0x00100000u
#define PROCESS_QUERY_LIMITED_INFORMATION 0x00001000u
#define STILL_ACTIVE 259u
#endif

// Timers: a window-less timer's procedure gets a null window, WM_TIMER, its id
// and the tick count in milliseconds.
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
#define USER_TIMER_MINIMUM 0x0000000Au
#define USER_TIMER_MAXIMUM 0x7FFFFFFFu

extern "C" {
// With no window: a zero or unknown id creates a new timer and returns its
// new non-zero id; the id of a running window-less timer replaces that timer.
// With a window: the id is the caller's, and replaces any timer of that window
// with the same id. Returns 0 when the window does not exist or when there is
// neither a window nor a procedure to deliver to. Ticks come only from a
// running message loop (see afxhost.h).
AFX_API UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
// TRUE when the timer existed; it never ticks again.
AFX_API BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// Shows a modal message box; returns the button that closed it (IDOK...).
// A null caption reads "Error", as on Windows.
AFX_API int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
// Delivers a message to a window's procedure at once; 0 for an unknown window.
AFX_API LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

AFX_API BOOL WINAPI IsWindow(HWND hWnd);
// Controls and windows. A window's position is in pixels, relative to its
// parent's client area (to the screen for a top-level window).
AFX_API HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
AFX_API BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable);
AFX_API BOOL WINAPI IsWindowEnabled(HWND hWnd);
AFX_API BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
AFX_API BOOL WINAPI IsWindowVisible(HWND hWnd);
AFX_API BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
AFX_API BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
AFX_API BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
AFX_API HWND WINAPI GetFocus(void);
AFX_API HWND WINAPI SetFocus(HWND hWnd);
AFX_API HWND WINAPI GetParent(HWND hWnd);
AFX_API BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString);
AFX_API int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
AFX_API BOOL WINAPI DestroyWindow(HWND hWnd);
#if !defined(_WIN32)
// Milliseconds on the framework's clock (virtual in tests).
AFX_API DWORD WINAPI GetTickCount(void);

// The calling thread's last error code (ERROR_...), set by the calls below and
// by the framework's file calls when they fail.
AFX_API DWORD WINAPI GetLastError(void);
AFX_API void WINAPI SetLastError(DWORD dwErrCode);
AFX_API DWORD WINAPI GetCurrentProcessId(void);
// A handle to the running process with that id, for the calls below; NULL
// with ERROR_INVALID_PARAMETER when no process has the id (nor then a process
// that has exited but is not yet reaped), ERROR_ACCESS_DENIED when one does but
// the caller may not look at it. The handle stays with that process: a new
// process given the same id later is not it.
AFX_API HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// STILL_ACTIVE while the process runs; once it has ended, an exit code the
// stand-in cannot know (0).
AFX_API BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, DWORD* lpExitCode);
// When the process was created (to the system's clock tick, never later than
// the truth); the other three times are reported as zero.
AFX_API BOOL WINAPI GetProcessTimes(HANDLE hProcess, LPFILETIME lpCreationTime, LPFILETIME lpExitTime,
                                    LPFILETIME lpKernelTime, LPFILETIME lpUserTime);
AFX_API BOOL WINAPI CloseHandle(HANDLE hObject);
AFX_API void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime);
// The computer's name as the network knows it; FALSE with ERROR_BUFFER_OVERFLOW
// and *nSize set to the length it needs (with its terminator) when the buffer is short.
AFX_API BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, DWORD* nSize);
// Gives a file or folder a new name. Without MOVEFILE_REPLACE_EXISTING it
// fails with ERROR_ALREADY_EXISTS when the new name is taken, so of several
// callers moving one file exactly one succeeds. With it a file at the new name
// is replaced in one step (a folder, a read-only file or a device there is
// refused with ERROR_ACCESS_DENIED); MOVEFILE_WRITE_THROUGH returns only once
// the move is on the disk. Moves between volumes fail (ERROR_NOT_SAME_DEVICE)
// unless a file is replaced. FALSE with GetLastError telling why.
AFX_API BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
// With FORMAT_MESSAGE_FROM_SYSTEM: the system's text for an error code,
// ending in ".\r\n" as on Windows. Returns the characters written, 0 for an
// unknown code or a buffer too small.
AFX_API DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                                    LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
#endif
}
