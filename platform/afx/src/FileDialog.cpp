#include <sys/stat.h>

#include <common/OsFiles.h>

#include "afxdisplay.h"
#include "afxwin.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL bVistaStyle)
    : CDialog(0, pParentWnd),
      m_bOpenFileDialog(bOpenFileDialog),
      m_strDefExt(lpszDefExt ? lpszDefExt : ""),
      m_strFileName(lpszFileName ? lpszFileName : ""),
      m_strFilter(lpszFilter ? lpszFilter : ""),
      m_dwFlags(dwFlags),
      m_bVistaStyle(bVistaStyle) {}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
  AfxFileDialogRecord dialog;
  dialog.owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  dialog.open = m_bOpenFileDialog != FALSE;
  dialog.defaultExtension = m_strDefExt;
  dialog.initialFileName = m_strFileName;
  dialog.filter = m_strFilter;
  dialog.flags = m_dwFlags;
  pathName_.clear();
  if (!AfxGetDisplay().ShowFileDialog(dialog) || dialog.answer.empty()) return IDCANCEL;
  struct stat status {};
  const bool exists = ::stat(dialog.answer.c_str(), &status) == 0 && S_ISREG(status.st_mode);
  if ((m_dwFlags & OFN_FILEMUSTEXIST) && !exists) {
    // As the system dialog says before it lets the user try again; here the try ends.
    MessageBoxA(dialog.owner, (dialog.answer + "\nFile not found.\nCheck the file name and try again.").c_str(), "Open",
                MB_ICONWARNING);
    return IDCANCEL;
  }
  pathName_ = dialog.answer;
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  const std::size_t slash = pathName_.find_last_of(os::kPathSeparators);
  return slash == std::string::npos ? pathName_ : pathName_.substr(slash + 1);
}
