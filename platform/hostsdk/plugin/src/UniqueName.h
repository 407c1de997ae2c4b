#pragma once

#include <string>

#include "FileIO/String.h"

// "Name", else "Name.1", "Name.2", ...: the first that `taken` does not hold,
// as the host names models and images apart in a folder.
template <typename IsTaken>
String UniqueName(const String& name, IsTaken isTaken) {
  if (!isTaken(name)) return name;
  for (int suffix = 1;; ++suffix) {
    String candidate = name + ("." + std::to_string(suffix)).c_str();
    if (!isTaken(candidate)) return candidate;
  }
}
