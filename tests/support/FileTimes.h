#pragma once

// Moving a file's or a folder's modification time, the same way on both systems.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

// Moves the modification time of a file or folder back by `seconds`. Windows changes a
// folder's times only through a handle opened with backup semantics, which
// std::filesystem::last_write_time does not ask for.
inline void MoveModifiedTimeBack(const std::filesystem::path& path, std::chrono::seconds seconds) {
#if defined(_WIN32)
  HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
  FILETIME written{};
  const bool moved = [&] {
    if (!GetFileTime(handle, nullptr, nullptr, &written)) return false;
    ULARGE_INTEGER ticks{};  // in 100 ns
    ticks.LowPart = written.dwLowDateTime;
    ticks.HighPart = written.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(seconds.count()) * 10000000ull;
    written.dwLowDateTime = ticks.LowPart;
    written.dwHighDateTime = ticks.HighPart;
    return SetFileTime(handle, nullptr, nullptr, &written) != FALSE;
  }();
  const DWORD error = GetLastError();
  CloseHandle(handle);
  ASSERT_TRUE(moved) << path << ": error " << error;
#else
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - seconds);
#endif
}
