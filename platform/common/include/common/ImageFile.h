// Image files that programs exchange: what a file holds by its first bytes,
// and the checks made before an image named by another program is read or
// copied. Every read is bounded by the file's real size and a cap, so that a
// FIFO, a device, a folder or a huge sparse file named as an image is refused
// early instead of blocking or taking the machine's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imagefile {

// Larger files are not images a painter hands back.
constexpr std::uint64_t kLargestImageFile = std::uint64_t(512) << 20;

enum class Format { None, Png, Jpeg, Bmp, Tga, Tiff, Exr };

// The format whose header the first bytes of a file hold (up to 32 of them are looked at).
Format FormatOf(const unsigned char* head, std::size_t size);

// An image file open for reading: a regular file (links followed) of at most
// kLargestImageFile bytes whose first bytes are an image's header.
class OpenImage {
public:
  OpenImage() = default;
  ~OpenImage();
  OpenImage(const OpenImage&) = delete;
  OpenImage& operator=(const OpenImage&) = delete;

  // False with the reason ("it is a folder", "it is not a regular file",
  // "not a TGA, PNG, BMP, JPG, TIFF or EXR image", ...) otherwise.
  bool Open(const std::string& path, std::string& reason);
  std::uint64_t Size() const { return size_; }
  // The file's permission bits.
  unsigned Mode() const { return mode_; }
  // Reads up to size bytes at offset; how many it read (fewer only at the end or on an error).
  std::size_t Read(std::uint64_t offset, unsigned char* buffer, std::size_t size) const;

private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
  unsigned mode_ = 0;
};

// Copies the open image to `destination` (replaced as a whole, never torn),
// piece by piece, giving the copy no permission its source lacks; false with the reason.
bool CopyImage(const OpenImage& image, const std::string& destination, std::string& error);

// True when `path` is a regular file with the same bytes as the open image,
// compared piece by piece.
bool SameContents(const OpenImage& image, const std::string& path);

}  // namespace imagefile
