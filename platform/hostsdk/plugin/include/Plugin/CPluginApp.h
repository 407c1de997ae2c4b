#pragma once

#include <afxwin.h>

#include "Plugin/Export.h"

// The application class a host plug-in derives its one application object from.
class PLUGIN_API CPluginApp : public CWinApp {
public:
  // A null name means the module's file name without its extension.
  explicit CPluginApp(LPCTSTR appName = nullptr);
  ~CPluginApp() override;
};
