// Replacing a file's contents so that a reader sees the old file or the new
// one, never a mix, and the file stays what it was: the new contents are
// written to a temporary file in the target's real folder, flushed and renamed
// over the target. A symbolic link is written through to its target; the
// target keeps its mode; a read-only file, a folder or any other non-regular
// file is refused with a reason (a caller may ask to write a device or FIFO
// directly instead).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace safereplace {

struct Options {
  // Write to a device, FIFO or socket in place instead of refusing it.
  bool allowDirect = false;
  // fsync the file and its folder before reporting success.
  bool durable = true;
  // The written file's permission bits are at most these: a copy is never
  // readable by more people than its source was.
  unsigned mostMode = 07777;
};

class ReplacementFile {
public:
  ReplacementFile() = default;
  ~ReplacementFile();  // an uncommitted file is discarded; the target stays as it was
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Checks the target and creates the temporary file (removing those that
  // killed writers left beside the target over an hour ago); false with a reason.
  bool Open(const std::string& path, std::string& error, Options options = {});
  bool Write(const void* data, std::size_t size);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // Overwrites bytes already written, at offset from the file's start; later writes still follow
  // the last. Only for a temporary file: a device or FIFO written directly cannot go back.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // Flushes and renames the temporary file over the target; false with a
  // reason, and then the target is untouched and nothing is left behind.
  bool Commit(std::string& error);
  // Drops what was written; the target stays as it was.
  void Discard();

  // The file that is finally written: the target of a symbolic link.
  const std::string& Target() const { return target_; }
  bool WritesDirectly() const { return direct_; }

private:
  std::string path_;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;  // the first write error
  bool direct_ = false;
  Options options_;
};

// True when ReplacementFile::Open would accept `path` and its folder is
// writable; false with the reason otherwise. Nothing is created.
bool CanReplace(const std::string& path, std::string& error, Options options = {});

// Writes `contents` as the whole new contents of `path` with a ReplacementFile.
bool ReplaceFile(const std::string& path, std::string_view contents, std::string& error, Options options = {});

// Puts the finished file `source` in place of `target` as ReplacementFile
// does (links written through, the target's mode kept, read-only and
// non-regular targets refused); `source` is gone afterwards on success and
// left alone on failure, with errno telling the cause. For writers that made
// their own temporary file.
bool MoveOver(const std::string& source, const std::string& target, std::string& error, Options options = {});

// The file a path finally names after following symbolic links (a missing
// final target included); the path itself when it is no link. Empty, with a
// reason, on a link loop.
std::string ResolveLinks(const std::string& path, std::string& error);

// Removes temporary files that a killed writer of `target` left beside it and
// that are at least `minimumAgeSeconds` old (zero: whatever their time stamp,
// for callers that hold the writers' lock). Returns how many were removed.
int RemoveStaleTemporaries(const std::string& target, long long minimumAgeSeconds);

// The name pattern of a temporary file for `target` (the last six characters
// are replaced by mkstemp).
std::string TemporaryPattern(const std::string& target);

// Whether a file name (without folder) is one TemporaryPattern gives, for any
// target: for a writer that clears a whole folder of its own leftovers.
bool IsTemporaryName(const std::string& fileName);

}  // namespace safereplace
