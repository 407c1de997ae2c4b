#pragma once

#include <windows.h>

#include "Plugin/Export.h"

// The host application's main window, parent of a plug-in's dialogs; null
// while the host has none (script mode).
PLUGIN_API HWND GetMainApplicationWnd();
