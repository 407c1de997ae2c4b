#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include <windows.h>

namespace {

// Windows counts from 1601, the system from 1970.
constexpr std::uint64_t kUnixEpochIn100ns = 116444736000000000ull;

FILETIME FileTimeOf(std::uint64_t hundredNs) {
  return FILETIME{static_cast<DWORD>(hundredNs & 0xffffffffu), static_cast<DWORD>(hundredNs >> 32)};
}

// What /proc tells of a process: whether it still runs and when it started,
// in clock ticks since boot. False when it has no entry.
struct ProcessEntry {
  bool running = false;
  std::uint64_t startTicks = 0;
};

bool ReadProcessEntry(pid_t pid, ProcessEntry& entry) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!file || !std::getline(file, text)) return false;
  // The command name, in parentheses, may hold anything: the fields follow its last ')'.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  // State is field 3, start time field 22.
  char state = 0;
  fields >> state;
  for (int number = 4; number < 22 && fields >> field; ++number) {}
  if (!(fields >> entry.startTicks)) return false;
  entry.running = state != 'Z' && state != 'X' && state != 'x';
  return true;
}

// When the system booted, in seconds since 1970 (rounded down, as the system keeps it).
std::uint64_t BootSeconds() {
  std::ifstream file("/proc/stat");
  std::string key;
  std::uint64_t value = 0;
  while (file >> key) {
    if (key == "btime" && file >> value) return value;
    file.ignore(1 << 20, '\n');
  }
  return 0;
}

struct ProcessHandle {
  pid_t pid;
  std::uint64_t startTicks;
};

ProcessHandle* AsProcess(HANDLE handle) { return static_cast<ProcessHandle*>(handle); }

}  // namespace

DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

HANDLE WINAPI OpenProcess(DWORD, BOOL, DWORD dwProcessId) {
  const auto pid = static_cast<pid_t>(dwProcessId);
  ProcessEntry entry;
  if (pid <= 0 || static_cast<DWORD>(pid) != dwProcessId || !ReadProcessEntry(pid, entry) || !entry.running) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (kill(pid, 0) != 0 && errno != EPERM) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* handle = new (std::nothrow) ProcessHandle{pid, entry.startTicks};
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, DWORD* lpExitCode) {
  if (!hProcess || !lpExitCode) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const ProcessHandle& process = *AsProcess(hProcess);
  ProcessEntry entry;
  // The same process while an entry of that id started when it did.
  const bool running = ReadProcessEntry(process.pid, entry) && entry.startTicks == process.startTicks && entry.running;
  *lpExitCode = running ? STILL_ACTIVE : 0;
  return TRUE;
}

BOOL WINAPI GetProcessTimes(HANDLE hProcess, LPFILETIME lpCreationTime, LPFILETIME lpExitTime, LPFILETIME lpKernelTime,
                            LPFILETIME lpUserTime) {
  if (!hProcess || !lpCreationTime || !lpExitTime || !lpKernelTime || !lpUserTime) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  const std::uint64_t perSecond = ticksPerSecond > 0 ? static_cast<std::uint64_t>(ticksPerSecond) : 100;
  const std::uint64_t startTicks = AsProcess(hProcess)->startTicks;
  const std::uint64_t since1970 = BootSeconds() * 10000000ull + startTicks / perSecond * 10000000ull +
                                  startTicks % perSecond * 10000000ull / perSecond;
  *lpCreationTime = FileTimeOf(kUnixEpochIn100ns + since1970);
  *lpExitTime = *lpKernelTime = *lpUserTime = FileTimeOf(0);
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (!hObject) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete AsProcess(hObject);
  return TRUE;
}

void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
  timeval now{};
  gettimeofday(&now, nullptr);
  *lpSystemTimeAsFileTime = FileTimeOf(kUnixEpochIn100ns + static_cast<std::uint64_t>(now.tv_sec) * 10000000ull +
                                       static_cast<std::uint64_t>(now.tv_usec) * 10ull);
}

BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, DWORD* nSize) {
  char name[256] = {};
  if (!nSize || gethostname(name, sizeof name - 1) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string text = name;
  if (!lpBuffer || *nSize <= text.size()) {
    *nSize = static_cast<DWORD>(text.size() + 1);
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  text.copy(lpBuffer, text.size());
  lpBuffer[text.size()] = '\0';
  *nSize = static_cast<DWORD>(text.size());
  return TRUE;
}
