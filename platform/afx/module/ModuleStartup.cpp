// The framework's per-module start-up part, linked statically into every
// plug-in (and kept inside it: built with hidden visibility).
//
// Order at dlopen: the state below is constructed first (init_priority puts
// it ahead of every ordinary static constructor); then the module's own
// static constructors run, the application object registering with this
// state; then AttachModule, an ordinary constructor that runs last because
// this archive member comes after the module's objects on the link line.
// At dlclose, DetachModule (a .fini_array entry) runs before the C++ static
// destructors, and the state, constructed first, is destroyed last.
//
// A Windows DLL runs its constructors in the reverse of link order, so a
// constructor there would attach before the application object exists.
// There the attach and detach run in DllMain instead, which the C runtime
// calls after every static constructor at load and before any static
// destructor at unload.
#include "afxmodule.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

AFX_MODULE_STATE g_moduleState __attribute__((init_priority(101))){TRUE};

#if !defined(_WIN32)
__attribute__((constructor)) void AttachModule() { AfxAttachModule(&g_moduleState); }

__attribute__((destructor)) void DetachModule() { AfxDetachModule(&g_moduleState); }
#endif

}  // namespace

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) AfxAttachModule(&g_moduleState);
  if (reason == DLL_PROCESS_DETACH) AfxDetachModule(&g_moduleState);
  return TRUE;
}
#endif

AFX_MODULE_STATE* AFXAPI AfxGetStaticModuleState() { return &g_moduleState; }

// Referenced from the link line (see CMakeLists.txt) so the linker always
// takes this member, even from a module that never names the functions above.
extern "C" AFX_MODULE_LOCAL const int afx_module_startup_anchor = 0;
