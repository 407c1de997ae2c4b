#include "Plugin/CPluginApp.h"

CPluginApp::CPluginApp(LPCTSTR appName) : CWinApp(appName) {}

CPluginApp::~CPluginApp() = default;
