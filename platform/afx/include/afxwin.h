#pragma once

// Framework: module state, command targets and message maps, the application
// and thread objects, and windows.
#include <string>

#include "afx.h"

class CCmdTarget;
class CWinApp;
class CWnd;

// ---------------------------------------------------------------------------
// Module state
//
// Every module that uses the framework (the host, and each plug-in, which
// links the static start-up part `afx_module`) has one. It records the
// module's application object and whether the module attached. The current
// module state is the one framework calls consult (AfxGetApp, ...); a plug-in
// export switches to its own with AFX_MANAGE_STATE(AfxGetStaticModuleState())
// for its duration. There is one UI thread; nothing here is locked.
class AFX_API AFX_MODULE_STATE {
public:
  enum AttachState { notAttached = -1, refused = 0, attached = 1 };

  explicit AFX_MODULE_STATE(BOOL bDLL);
  ~AFX_MODULE_STATE();
  AFX_MODULE_STATE(const AFX_MODULE_STATE&) = delete;
  AFX_MODULE_STATE& operator=(const AFX_MODULE_STATE&) = delete;

  CWinApp* m_pCurrentWinApp = nullptr;
  HINSTANCE m_hCurrentInstanceHandle = nullptr;  // the module's load address
  HINSTANCE m_hCurrentResourceHandle = nullptr;
  BOOL m_bDLL;
  std::string m_strModulePath;  // the module's file
  int m_nAttachState = notAttached;
  BOOL m_bInitInstanceRan = FALSE;
};

AFX_API AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
// The calling module's own state. Defined by afx_module in each module.
AFX_MODULE_LOCAL AFX_MODULE_STATE* AFXAPI AfxGetStaticModuleState();

// Makes a module state current for a scope and restores the previous one.
class AFX_API AFX_MAINTAIN_STATE2 {
public:
  explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
  ~AFX_MAINTAIN_STATE2();
  AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
  AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
  AFX_MODULE_STATE* m_pPrevModuleState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 afxManageStateGuard(p)

// ---------------------------------------------------------------------------
// Message maps
//
// An entry routes a message (and, for WM_COMMAND, a notification code and a
// range of control ids) to a member function through a typed thunk, so no
// member pointer is ever cast to another signature. Lookups walk from the
// class's own map to its bases'.
#define CN_COMMAND 0

struct AFX_MSGCALL {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT* pResult;  // WM_NOTIFY: where the handler leaves its result
};
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, const AFX_MSGCALL& call);

enum AfxSig : UINT_PTR { AfxSig_end = 0, AfxSig_vv, AfxSig_vw, AfxSig_vNMHDRpl };

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  UINT_PTR nSig;
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

template <class T, void (T::*Member)()>
LRESULT AfxThunkVoid(CCmdTarget* target, const AFX_MSGCALL&) {
  (static_cast<T*>(target)->*Member)();
  return 0;
}
template <class T, void (T::*Member)(UINT)>
LRESULT AfxThunkId(CCmdTarget* target, const AFX_MSGCALL& call) {
  (static_cast<T*>(target)->*Member)(call.nID);
  return 0;
}

template <class T, void (T::*Member)(NMHDR*, LRESULT*)>
LRESULT AfxThunkNotify(CCmdTarget* target, const AFX_MSGCALL& call) {
  LRESULT ignored = 0;
  (static_cast<T*>(target)->*Member)(reinterpret_cast<NMHDR*>(call.lParam), call.pResult ? call.pResult : &ignored);
  return 0;
}

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                          \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY afxMessageEntries[] = {
#define END_MESSAGE_MAP()                                                                            \
  { 0, 0, 0, 0, AfxSig_end, nullptr }                                                                \
  }                                                                                                  \
  ;                                                                                                  \
  static const AFX_MSGMAP afxMessageMap = {&TheBaseClass::GetThisMessageMap, &afxMessageEntries[0]}; \
  return &afxMessageMap;                                                                             \
  }

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND,                    \
   CN_COMMAND,                    \
   static_cast<UINT>(id),         \
   static_cast<UINT>(id),         \
   AfxSig_vv,                     \
   &AfxThunkVoid<ThisClass, &ThisClass::memberFxn>},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND,                                  \
   CN_COMMAND,                                  \
   static_cast<UINT>(id),                       \
   static_cast<UINT>(idLast),                   \
   AfxSig_vw,                                   \
   &AfxThunkId<ThisClass, &ThisClass::memberFxn>},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  {WM_COMMAND,                                 \
   static_cast<UINT>(wNotifyCode),             \
   static_cast<UINT>(id),                      \
   static_cast<UINT>(id),                      \
   AfxSig_vv,                                  \
   &AfxThunkVoid<ThisClass, &ThisClass::memberFxn>},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
  {WM_COMMAND,                                               \
   static_cast<UINT>(wNotifyCode),                           \
   static_cast<UINT>(id),                                    \
   static_cast<UINT>(idLast),                                \
   AfxSig_vw,                                                \
   &AfxThunkId<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
  {WM_NOTIFY,                                 \
   static_cast<UINT>(wNotifyCode),            \
   static_cast<UINT>(id),                     \
   static_cast<UINT>(id),                     \
   AfxSig_vNMHDRpl,                           \
   &AfxThunkNotify<ThisClass, &ThisClass::memberFxn>},

// ---------------------------------------------------------------------------
// Command targets, threads, the application

class AFX_API CCmdTarget : public CObject {
public:
  // Runs the handler that the message map has for this command id and
  // notification code; FALSE when there is none.
  virtual BOOL OnCmdMsg(UINT nID, int nCode);
  // The first entry for message/code/id in map or its bases; null when none.
  static const AFX_MSGMAP_ENTRY* PASCAL FindMessageEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode, UINT nID);

protected:
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

class AFX_API CWinThread : public CCmdTarget {
public:
  CWnd* m_pMainWnd = nullptr;

  // m_pMainWnd; while it is null and a modal dialog runs, that dialog (the
  // window the user works in), so a plug-in without a main window of its own
  // reaches its dialog.
  virtual CWnd* GetMainWnd();
  virtual BOOL InitInstance();
  virtual int ExitInstance();
};

// The application object. Constructing it registers it with the module being
// loaded (or, outside a load, with the current module). The three name
// strings are heap blocks in malloc/free terms: an application may free()
// m_pszProfileName and store a strdup()/malloc()ed replacement; the
// destructor frees whatever they hold then.
class AFX_API CWinApp : public CWinThread {
public:
  // A null name means the module's file name without its extension.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  // Stores the key and makes the profile name the application name.
  void SetRegistryKey(LPCTSTR lpszRegistryKey);

  BOOL InitInstance() override;
  int ExitInstance() override;

  LPCTSTR m_pszAppName = nullptr;
  LPCTSTR m_pszExeName = nullptr;
  LPCTSTR m_pszRegistryKey = nullptr;  // null until SetRegistryKey
  LPCTSTR m_pszProfileName = nullptr;  // "<app name>.INI" until SetRegistryKey
  HINSTANCE m_hInstance = nullptr;

private:
  AFX_MODULE_STATE* moduleState_;
};

// The current module's application (also as its thread); null when none.
AFX_API CWinApp* AFXAPI AfxGetApp();
AFX_API CWinThread* AFXAPI AfxGetThread();
AFX_API LPCTSTR AFXAPI AfxGetAppName();
AFX_API HINSTANCE AFXAPI AfxGetInstanceHandle();
AFX_API HINSTANCE AFXAPI AfxGetResourceHandle();
// A message box owned by the current application's main window, captioned
// with the application's name.
AFX_API int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK);

// ---------------------------------------------------------------------------
// Windows
//
// A CWnd wraps a window handle. Windows live in the framework's window table;
// handles are never reused, so a stale handle is simply unknown.
class AFX_API CWnd : public CCmdTarget {
public:
  CWnd();
  ~CWnd() override;

  // The object that owns a window; null for a null or unknown handle.
  static CWnd* PASCAL FromHandle(HWND hWnd);
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Creates the window (a top-level one when hWndParent is null). nIDorHMenu
  // carries a child's control id.
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                        int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  // Destroys child windows first, then this one; kills its timers.
  virtual BOOL DestroyWindow();

  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
  BOOL KillTimer(UINT_PTR nIDEvent);

  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  std::string GetWindowTextString() const;
  CWnd* GetParent() const;
  int GetDlgCtrlID() const;
  DWORD GetStyle() const;

  // The direct child with this control id; null when none.
  CWnd* GetDlgItem(int nID) const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  // Returns the window that had the focus.
  CWnd* SetFocus();
  static CWnd* PASCAL GetFocus();

  // Every message sent to the window arrives here.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;

protected:
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Routes a WM_NOTIFY to the message map; TRUE when a handler ran.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // WM_CLOSE: destroys the window.
  virtual void OnClose();
  virtual void OnTimer(UINT_PTR nIDEvent);
  // Called once the window is gone; the object may delete itself here.
  virtual void PostNcDestroy();
};

// ---------------------------------------------------------------------------
// Dialogs
//
// A dialog's window and controls are made from a dialog template (DIALOGEX in
// a resource script, embedded in the module; see afxres.h) found through the
// resource handle. Template positions are dialog units of MS Shell Dlg 8 pt:
// a horizontal unit is 1.5 pixels, a vertical one 1.625.
class AFX_API CDialog : public CWnd {
public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Modeless: creates the window from the template as a child (or, for a
  // popup template, an owned window) of pParentWnd and runs OnInitDialog.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  // Modal: creates the window, runs OnInitDialog, then the modal loop (timers
  // tick in it) until EndDialog; destroys the window and returns the result,
  // -1 when the template is missing.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  // IDOK and IDCANCEL commands, and WM_CLOSE, which arrives as IDCANCEL.
  virtual void OnOK();
  virtual void OnCancel();

  BOOL OnCmdMsg(UINT nID, int nCode) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDHelp = 0;  // the template id
  CWnd* m_pParentWnd = nullptr;

protected:
  void OnClose() override;

private:
  BOOL CreateFromTemplate(UINT nIDTemplate, HWND parent, BOOL* initResult);

  bool modalRunning_ = false;
  int modalResult_ = -1;
};

// The file-open (or save) dialog. The filter is "Text|patterns|...||"; on
// this platform "*.exe" also matches files that can be executed, since
// programs carry no ".exe" here, and the user may always choose to see all
// files. OFN_FILEMUSTEXIST refuses a name that does not exist.
class AFX_API CFileDialog : public CDialog {
public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
  ~CFileDialog() override;

  // IDOK with the chosen path, or IDCANCEL.
  INT_PTR DoModal() override;
  std::string GetPathName() const { return pathName_; }
  std::string GetFileName() const;

  BOOL m_bOpenFileDialog;
  std::string m_strDefExt;
  std::string m_strFileName;  // the initial name
  std::string m_strFilter;
  DWORD m_dwFlags;
  BOOL m_bVistaStyle;

private:
  std::string pathName_;
};
