#pragma once

#include <string>

#include "afxwin.h"

// Which modules exist, which one is loading, and what became of each.
// Internal to the framework.
namespace afx {

// The executable's own module state: current when no module state is switched in.
AFX_MODULE_STATE& ProcessModuleState();
// The module whose static constructors are running; null outside a load.
AFX_MODULE_STATE* ModuleBeingLoaded();
// Where a new application object belongs: the module being loaded, else the current one.
AFX_MODULE_STATE& ModuleForNewApplication();
void Trace(const char* event, const AFX_MODULE_STATE& state);
// The module's file name without folder and extension.
std::string ModuleBaseName(const AFX_MODULE_STATE& state);

}  // namespace afx
