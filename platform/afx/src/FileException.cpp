#include <cstdio>

#include "afx.h"

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buffer && maxChars) buffer[0] = '\0';
  return FALSE;
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(fileName ? fileName : "") {}

int CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_CANT_RESOLVE_FILENAME: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_BUSY: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_DIR_NOT_EMPTY: return removeCurrentDir;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_GEN_FAILURE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    default: return genericException;
  }
}

BOOL CFileException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (!buffer || !maxChars) return FALSE;
  static const char* const kCauses[] = {"no error",
                                        "an unspecified error",
                                        "the file was not found",
                                        "the path is invalid",
                                        "too many files are open",
                                        "access was denied",
                                        "the file handle is invalid",
                                        "the current folder cannot be removed",
                                        "the folder is full",
                                        "the seek failed",
                                        "a hardware error occurred",
                                        "the file is in use",
                                        "a region is locked",
                                        "the disk is full",
                                        "the end of the file was reached"};
  const char* cause = (m_cause >= none && m_cause <= endOfFile) ? kCauses[m_cause] : kCauses[genericException];
  char detail[256] = {};
  DWORD length = m_lOsError > 0 ? FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                                 static_cast<DWORD>(m_lOsError), 0, detail, sizeof detail, nullptr)
                                : 0;
  while (length > 0 && (detail[length - 1] == '\n' || detail[length - 1] == '\r' || detail[length - 1] == '.'))
    detail[--length] = '\0';
  if (length > 0)
    std::snprintf(buffer, maxChars, "%s: %s (%s)", m_strFileName.c_str(), cause, detail);
  else
    std::snprintf(buffer, maxChars, "%s: %s", m_strFileName.c_str(), cause);
  return TRUE;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR fileName) {
  auto* exception = new CFileException(cause, lOsError, fileName);
  exception->m_bAutoDelete = TRUE;
  throw exception;
}
