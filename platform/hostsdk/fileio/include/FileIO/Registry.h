#pragma once

#include "FileIO/Export.h"
#include "FileIO/String.h"

// Settings kept in sections and keys of an INI-style file:
// $HASH_REGISTRY_FILE, else $XDG_CONFIG_HOME/hash-animator/registry.ini,
// else $HOME/.config/hash-animator/registry.ini.
// Reads return the stored value as it is (a flag stored as 2 reads as 2), or
// the default for a missing, unreadable or garbled file or value.
// Each write re-reads the file under an exclusive lock, applies the change and,
// when it changes something, replaces the file atomically. A file that cannot
// be read whole or written is never written over: the change is then kept in
// memory for the session and the write returns 0. Writes return non-zero on
// success.
FILEIO_API int GetRegistryBOOL(const String& section, const String& key, int defaultValue);
FILEIO_API int GetRegistryValue(const String& section, const String& key, int defaultValue);
FILEIO_API double GetRegistryValue(const String& section, const String& key, double defaultValue);
FILEIO_API String GetRegistryString(const String& section, const String& key, const String& defaultValue);

FILEIO_API int SetRegistryBOOL(const String& section, const String& key, int value);
FILEIO_API int SetRegistryValue(const String& section, const String& key, int value);
FILEIO_API int SetRegistryValue(const String& section, const String& key, double value);
FILEIO_API int SetRegistryString(const String& section, const String& key, const String& value);

// Where the registry file lives for this process.
FILEIO_API String GetRegistryFilePath();
