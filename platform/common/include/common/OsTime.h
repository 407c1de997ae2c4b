#pragma once

// The calendar time in UTC, thread-safe on both systems (gmtime_r; gmtime_s).
#include <ctime>

namespace os {

inline bool UtcTime(std::time_t when, std::tm& utc) {
#if defined(_WIN32)
  return gmtime_s(&utc, &when) == 0;
#else
  return gmtime_r(&when, &utc) != nullptr;
#endif
}

}  // namespace os
