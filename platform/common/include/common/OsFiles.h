#pragma once

// The file calls whose rules differ between the systems, behind one interface:
// POSIX in OsFilesPosix.cpp, Win32 in OsFilesWin32.cpp. File descriptors are the C
// runtime's on both (MinGW's open/read/write/close on Windows). Failures return -1
// (or false) with errno set, so callers report them one way on both systems.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace os {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

// Extra open flags, 0 where the system has no such thing: not blocking on a FIFO or device
// while opening (POSIX), not following a final symbolic link (POSIX).
#if defined(_WIN32)
inline constexpr int kOpenNonBlocking = 0;
inline constexpr int kOpenNoFollow = 0;
#else
inline constexpr int kOpenNonBlocking = O_NONBLOCK;
inline constexpr int kOpenNoFollow = O_NOFOLLOW;
#endif

// What a file's opener lets other openers do meanwhile.
enum class Sharing { Any, DenyWrite, DenyAll };

// open() as every platform file wants it: not inherited by child processes, never a
// controlling terminal, binary (no line-end translation) on Windows. On Windows the sharing
// is the open's share mode: an open that conflicts with another fails with errno EWOULDBLOCK
// (the system's sharing violation); on POSIX see TakeSharingLock. A folder, which Windows never
// opens as a file, fails there with errno EISDIR (POSIX opens one for reading).
int OpenFile(const char* path, int flags, int mode = 0666, Sharing sharing = Sharing::Any);
// POSIX: an advisory lock that other openers taking one respect (shared for DenyWrite,
// exclusive for DenyAll); -1 with errno EWOULDBLOCK when another holds a conflicting one.
// Windows: nothing more to do, the open took it.
int TakeSharingLock(int fd, Sharing sharing);
// Reads up to size bytes at offset without moving on from where other reads left off (pread;
// ReadFile at an offset); the count read, 0 at the end, -1 with errno set on an error.
long long ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset);
// Writes all size bytes at offset of a regular file, leaving where the next plain write goes as
// it was (pwrite; on Windows a seek there and back); false with errno set on an error.
bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Reads and writes on a file opened with kOpenNonBlocking wait as usual again.
void MakeBlocking(int fd);
// A lock other processes' locks respect: shared or exclusive, never waiting. -1 with
// errno EWOULDBLOCK when another process holds a conflicting one. (Windows: LockFileEx, which
// other processes' reads and writes of the locked range respect too.)
int LockFile(int fd, bool exclusive, bool wait = false);
// When a file's contents and its facts last changed, in nanoseconds (to the second where the
// C runtime tells no more).
long long ModifiedNanoseconds(const struct stat& info);
long long ChangedNanoseconds(const struct stat& info);
// The file's contents on the disk (fsync; FlushFileBuffers).
int SyncFile(int fd);
// A rename or creation in the folder on the disk (fsync of the folder; nothing on Windows,
// whose file system journals its names).
void SyncFolder(const std::string& folder);
// Gives a file a new name, replacing a file there in one step (rename; MoveFileExA with
// MOVEFILE_REPLACE_EXISTING, which fails while another process has the target open without
// sharing delete: errno EBUSY).
int MoveReplacing(const char* from, const char* to);
// Gives a file a new name only when the name is free: -1 with errno EEXIST otherwise, so of
// several callers exactly one succeeds.
int MoveNoReplace(const char* from, const char* to);
// True when the path itself is a symbolic link (never followed).
bool IsSymbolicLink(const char* path);
// The link's text; false when it is no link.
bool ReadLink(const char* path, std::string& text);
// The absolute path with links followed (realpath; GetFullPathName); empty when it cannot be told.
std::string FullPath(const char* path);
// A file name matches a shell pattern ("*.obj", "model?.fbx"; fnmatch; PathMatchSpec's rules).
bool MatchesPattern(const std::string& name, const std::string& pattern);
// A regular file the user may run (POSIX's execute permission; Windows tells programs by their
// extension, so never here).
bool IsExecutableFile(const std::string& path);
// A new folder (mode 0777 less the umask on POSIX).
int MakeFolder(const char* path);
// True when the path is absolute ("/..."; "C:\...", "C:/..." or "\\server\...").
bool IsAbsolutePath(const std::string& path);
// The effective user is the superuser (POSIX root; never on Windows, where permissions bite
// through the read-only attribute and sharing modes instead).
bool IsSuperuser();
// A new file's permissions as the umask leaves them (0666 on Windows).
int NewFileMode();
// Keeps a replaced file's permissions (and, for the superuser, owner) on its replacement.
void CopyPermissions(const char* path, const struct stat& from);
// True when files can be created in the folder; false with errno set otherwise.
bool CanCreateIn(const std::string& folder);
// A new temporary file from a pattern whose last six characters are "XXXXXX", opened for
// writing; the pattern becomes its name.
int MakeTemporaryFile(std::string& pattern);

}  // namespace os
