#include "Plugin/MainWindow.h"

#include "Plugin/HostProject.h"

namespace {
HWND g_mainWindow = nullptr;
}

HWND GetMainApplicationWnd() { return g_mainWindow; }

void SetMainApplicationWnd(HWND wnd) { g_mainWindow = wnd; }
