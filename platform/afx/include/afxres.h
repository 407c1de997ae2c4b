#pragma once

// Resources of a module. A module's resource script (DIALOGEX templates in
// the Windows resource-script form) is embedded at build time and registered
// by a static object in the module itself, as the resource section of a
// Windows module is found through its instance handle.
#include <windows.h>

#define IDC_STATIC (-1)

class AFX_API AfxResourceScript {
public:
  // `text` must outlive the object (a string literal in the module).
  explicit AfxResourceScript(const char* text);
  ~AfxResourceScript();
  AfxResourceScript(const AfxResourceScript&) = delete;
  AfxResourceScript& operator=(const AfxResourceScript&) = delete;
};
