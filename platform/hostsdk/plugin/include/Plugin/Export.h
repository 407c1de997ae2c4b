#pragma once

// The host SDK libraries export their API; everything else stays inside.
#if defined(_WIN32)
// A Windows DLL of the platform exports every symbol (the linker's --export-all-symbols).
#define PLUGIN_API
#else
#define PLUGIN_API __attribute__((visibility("default")))
#endif
