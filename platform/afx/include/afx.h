#pragma once

// Framework core: the object root, exceptions and files.
#include <ctime>
#include <string>

#include <windows.h>

class AFX_API CObject {
public:
  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
  virtual ~CObject();
};

// Exceptions are thrown as pointers, as framework callers expect:
//   catch (CFileException* e) { ...; e->Delete(); }
// Delete() frees an exception the framework allocated and leaves one that the
// caller owns (on the stack, or handed to CFile::Open) alone.
class AFX_API CException : public CObject {
public:
  explicit CException(BOOL bAutoDelete = FALSE);
  void Delete();
  // Copies a readable description into buffer (truncated to maxChars - 1 and
  // always terminated); FALSE when there is nothing to say.
  virtual BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) const;

  BOOL m_bAutoDelete;
};

class AFX_API CFileException : public CException {
public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR fileName = nullptr);
  BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) const override;

  // The cause from the list above for a Win32 error code.
  static int OsErrorToException(LONG lOsError);

  int m_cause;
  LONG m_lOsError;  // the Win32 error code (ERROR_...), as GetLastError gave it; -1 when none
  std::string m_strFileName;
};

// Throws a heap-allocated CFileException that the catcher frees with Delete().
[[noreturn]] AFX_API void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR fileName = nullptr);

struct CFileStatus {
  std::time_t m_ctime = 0;
  std::time_t m_mtime = 0;
  std::time_t m_atime = 0;
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;  // CFile::Attribute bits
  char m_szFullName[MAX_PATH] = {};
};

// A binary file. Open reports failure through its result and the exception
// record; the static Remove throws, as the framework's callers expect. Read,
// Write and Flush throw a heap-allocated CFileException* when the system fails
// (a full disk: diskFull), as on Windows: a caller that must not fail catches.
// Sharing modes are advisory locks between CFile users (flock): an exclusive
// open fails with sharingViolation while another CFile holds the file.
class AFX_API CFile : public CObject {
public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum Attribute : BYTE {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20,
    device = 0x40  // a FIFO, socket or device: never opened
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile();
  ~CFile() override;

  // modeCreate creates the file or truncates it (unless modeNoTruncate);
  // without it the file must exist. Only a regular file opens: a folder, FIFO,
  // socket or device fails at once with accessDenied (ERROR_ACCESS_DENIED).
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual void Flush();
  virtual void Close();
  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  // Returns the new position; a failed seek leaves the position unchanged.
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  void SeekToBegin() { Seek(0, begin); }

  BOOL IsOpen() const { return fd_ >= 0; }

  // TRUE when the file or folder exists, with its status filled in
  // (directory for a folder, device for what is neither file nor folder).
  static BOOL PASCAL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  // Deletes a file. Failure (missing file, a folder, no permission) throws a
  // heap-allocated CFileException*.
  static void PASCAL Remove(LPCTSTR lpszFileName);
  // Gives a file or folder a new name; never replaces what has the new name
  // (MoveFileExA without flags). Failure throws a heap-allocated
  // CFileException* naming the old name: fileNotFound when it is gone,
  // accessDenied when the new name is taken.
  static void PASCAL Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);

private:
  int fd_ = -1;
  std::string m_strFileName;
};
