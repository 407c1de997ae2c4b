#pragma once

#include <functional>
#include <optional>
#include <string>

#include "RegistryDocument.h"

// The one registry file of this process and the only code that touches it.
namespace fileio {

class RegistryFile {
public:
  // $HASH_REGISTRY_FILE, else <config folder>/hash-animator/registry.ini;
  // looked up on every call so a changed environment takes effect.
  static std::string Path();

  // The file as it is now; empty when missing, unreadable or too large.
  static RegistryDocument Load();

  // Re-reads the file under the exclusive lock, applies `change` and puts the
  // result in place atomically. False, with the file untouched, on failure.
  static bool Update(const std::function<void(RegistryDocument&)>& change);

  // Files larger than this are not registries; they read as empty.
  static constexpr long long MaxFileSize = 64ll << 20;
};

}  // namespace fileio
