#pragma once

// The calls by which a module's start-up part (afx_module) hands its state to
// the framework. Nothing else calls these.
#include "afxwin.h"

// Runs the module application's InitInstance under the module's state and
// records the outcome; the load of the next module starts afterwards.
AFX_API void AfxAttachModule(AFX_MODULE_STATE* pModuleState);
// Runs ExitInstance when InitInstance ran and the application still exists.
AFX_API void AfxDetachModule(AFX_MODULE_STATE* pModuleState);
