#pragma once

// The platform's path separator, carried by every path literal of the plug-in
// so that a Windows build only changes this one place.
#define PIGMORA_PATH_SEPARATOR "/"
