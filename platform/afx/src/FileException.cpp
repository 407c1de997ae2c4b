#include <cerrno>
#include <cstdio>
#include <cstring>

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
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return removeCurrentDir;
    case ENOSPC:
    case EDQUOT: return diskFull;
    case EIO: return hardIO;
    case EWOULDBLOCK: return sharingViolation;
    case ESPIPE:
    case EINVAL: return badSeek;
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
  const char* detail = m_lOsError > 0 ? std::strerror(static_cast<int>(m_lOsError)) : nullptr;
  if (detail)
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
