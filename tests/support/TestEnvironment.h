#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// Environment variables as tests set them, the same way on both systems (Windows has no
// setenv; clearing a variable there is setting it empty).
inline void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}
inline void SetEnvironment(const char* name, const std::string& value) { SetEnvironment(name, value.c_str()); }
inline void SetEnvironment(const char* name, const std::filesystem::path& value) {
  SetEnvironment(name, value.string());
}

inline void ClearEnvironment(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}
