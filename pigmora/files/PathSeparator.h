#pragma once

// The platform's path separator, carried by every path literal of the plug-in
// so that each build joins paths the way its system's calls expect: the
// Windows shell creates no folder from a path joined with '/'.
#if defined(_WIN32)
#define PIGMORA_PATH_SEPARATOR "\\"
// Windows takes either separator in a path a user or the system gives.
#define PIGMORA_PATH_SEPARATORS "\\/"
#else
#define PIGMORA_PATH_SEPARATOR "/"
#define PIGMORA_PATH_SEPARATORS "/"
#endif
