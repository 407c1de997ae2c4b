#include "common/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "common/OsFiles.h"
#include "common/SafeReplace.h"

namespace imagefile {

namespace {

constexpr std::size_t kPiece = std::size_t(1) << 16;

unsigned Little16(const unsigned char* p) { return p[0] | (p[1] << 8u); }
std::uint32_t Little32(const unsigned char* p) {
  return p[0] | (p[1] << 8u) | (p[2] << 16u) | (static_cast<std::uint32_t>(p[3]) << 24u);
}

// Targa files carry no signature: their header's fields must be ones the format defines.
bool IsTgaHeader(const unsigned char* h, std::size_t size) {
  if (size < 18) return false;
  const bool colourMap = h[1] == 1;
  if (h[1] > 1) return false;
  const unsigned type = h[2];
  if (!(type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11)) return false;
  if ((type == 1 || type == 9) != colourMap) return false;
  const unsigned depth = h[16];
  if (!(depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32)) return false;
  return Little16(h + 12) > 0 && Little16(h + 14) > 0;
}

// Reads up to size bytes at offset, retrying short reads; the count read.
std::size_t ReadAt(int fd, unsigned char* buffer, std::size_t size, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const long long got = os::ReadAt(fd, buffer + done, size - done, offset + done);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace

Format FormatOf(const unsigned char* h, std::size_t size) {
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (size >= 8 && std::memcmp(h, kPng, 8) == 0) return Format::Png;
  if (size >= 3 && h[0] == 0xff && h[1] == 0xd8 && h[2] == 0xff) return Format::Jpeg;
  if (size >= 18 && h[0] == 'B' && h[1] == 'M') {
    const std::uint32_t infoSize = Little32(h + 14);
    if (infoSize == 12 || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124)
      return Format::Bmp;
  }
  if (size >= 4 && ((h[0] == 'I' && h[1] == 'I' && (h[2] == 42 || h[2] == 43) && h[3] == 0) ||
                    (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && (h[3] == 42 || h[3] == 43))))
    return Format::Tiff;
  if (size >= 4 && h[0] == 0x76 && h[1] == 0x2f && h[2] == 0x31 && h[3] == 0x01) return Format::Exr;
  if (IsTgaHeader(h, size)) return Format::Tga;
  return Format::None;
}

std::size_t OpenImage::Read(std::uint64_t offset, unsigned char* buffer, std::size_t size) const {
  return ReadAt(fd_, buffer, size, offset);
}

OpenImage::~OpenImage() {
  if (fd_ >= 0) ::close(fd_);
}

bool OpenImage::Open(const std::string& path, std::string& reason) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  // Without blocking: a FIFO named as an image must not wait for a writer.
  const int fd = os::OpenFile(path.c_str(), O_RDONLY | os::kOpenNonBlocking);
  if (fd < 0) {
    reason = errno == EISDIR ? "it is a folder" : std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
    ::close(fd);
    return false;
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > kLargestImageFile) {
    reason = "it is larger than " + std::to_string(kLargestImageFile >> 20) + " MiB";
    ::close(fd);
    return false;
  }
  unsigned char head[32];
  if (FormatOf(head, ReadAt(fd, head, sizeof head, 0)) == Format::None) {
    reason = "not a TGA, PNG, BMP, JPG, TIFF or EXR image";
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = size;
  mode_ = info.st_mode & 0777;
  return true;
}

bool CopyImage(const OpenImage& image, const std::string& destination, std::string& error) {
  safereplace::Options options;
  options.mostMode = image.Mode();
  safereplace::ReplacementFile copy;
  if (!copy.Open(destination, error, options)) return false;
  std::vector<unsigned char> piece(kPiece);
  // Only the bytes the file held when it was checked: one that grows meanwhile is not followed.
  for (std::uint64_t at = 0; at < image.Size();) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, image.Size() - at));
    const std::size_t got = image.Read(at, piece.data(), want);
    if (got != want) {
      error = "only " + std::to_string(at + got) + " of its " + std::to_string(image.Size()) + " bytes could be read";
      return false;
    }
    if (!copy.Write(piece.data(), got)) break;
    at += got;
  }
  return copy.Commit(error);
}

bool SameContents(const OpenImage& image, const std::string& path) {
  const int fd = os::OpenFile(path.c_str(), O_RDONLY | os::kOpenNonBlocking);
  if (fd < 0) return false;
  struct stat info {};
  bool same =
      fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == image.Size();
  std::vector<unsigned char> mine(kPiece), theirs(kPiece);
  for (std::uint64_t at = 0; same && at < image.Size();) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, image.Size() - at));
    same = image.Read(at, mine.data(), want) == want && ReadAt(fd, theirs.data(), want, at) == want &&
           std::memcmp(mine.data(), theirs.data(), want) == 0;
    at += want;
  }
  ::close(fd);
  return same;
}

}  // namespace imagefile
