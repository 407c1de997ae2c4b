#pragma once

#include <functional>
#include <optional>
#include <string>

#include "RegistryDocument.h"

// The one registry file of this process and the only code that touches it.
// A file that exists but cannot be read whole (too large, unreadable, not a
// regular file) is never written over: changes then live in memory for the
// rest of the session, and the user is told once on standard error.
namespace fileio {

class RegistryFile {
public:
  // $HASH_REGISTRY_FILE, else <config folder>/hash-animator/registry.ini;
  // looked up on every call so a changed environment takes effect.
  static std::string Path();

  // The value as this process sees it: a change kept in memory, else the file's.
  static std::optional<std::string> Find(const std::string& section, const std::string& key);

  // Re-reads the file under the exclusive lock, applies `change` and, when it
  // changed something, puts the result in place atomically. False, with the
  // file untouched, when the change could only be kept in memory.
  static bool Update(const std::function<bool(RegistryDocument&)>& change);

  // Files larger than this are not read; such a file is left as it is.
  static constexpr long long MaxFileSize = 64ll << 20;
};

}  // namespace fileio
