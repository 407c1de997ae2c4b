#pragma once

// The framework library exports its API; everything else stays inside.
#if defined(_WIN32)
// A Windows DLL of the platform exports every symbol (the linker's --export-all-symbols); a
// module's own copy stays in the module, which exports only what its .def file lists.
#define AFX_API
#define AFX_MODULE_LOCAL
#else
#define AFX_API __attribute__((visibility("default")))
// Each module that links the framework's start-up part gets its own copy of
// these; they never leave the module.
#define AFX_MODULE_LOCAL __attribute__((visibility("hidden")))
#endif
