#include "ViewImage.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "DeepImageRead.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_TGA
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#include <stb_image.h>

namespace {

// Larger files are not images a painter hands back; refusing them keeps a
// stray file from taking the host's memory.
constexpr long long kLargestFile = 512ll << 20;
constexpr long long kMostPixels = 16384ll * 16384ll;

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& problem) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    problem = std::strerror(errno);
    return false;
  }
  // A FIFO or device would block or never end.
  if (!S_ISREG(info.st_mode)) {
    problem = "not a regular file";
    return false;
  }
  if (info.st_size > kLargestFile) {
    problem = "larger than 512 MiB";
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    problem = std::strerror(errno);
    return false;
  }
  bytes.resize(static_cast<std::size_t>(info.st_size));
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    problem = "cannot be read whole";
    return false;
  }
  return true;
}

}  // namespace

bool LoadViewImage(const std::string& path, ViewImage& image, std::string& problem) {
  std::vector<unsigned char> bytes;
  if (!ReadWholeFile(path, bytes, problem)) return false;
  if (IsTiff(bytes.data(), bytes.size())) return LoadTiffImage(path, kMostPixels, image, problem);
  if (IsExr(bytes.data(), bytes.size())) return LoadExrImage(path, kMostPixels, image, problem);
  int width = 0, height = 0, channels = 0;
  const int size = static_cast<int>(bytes.size());
  if (!stbi_info_from_memory(bytes.data(), size, &width, &height, &channels)) {
    problem = "not a TGA, PNG, BMP, JPG, TIFF or EXR image";
    return false;
  }
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMostPixels) {
    problem = "too many pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    return false;
  }
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 4);
  if (!pixels) {
    problem = std::string("a damaged image (") + stbi_failure_reason() + ")";
    return false;
  }
  image = ViewImage();
  image.width = width;
  image.height = height;
  image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return true;
}

float ViewImage::Sample(int x, int y, int channel) const {
  const std::size_t at =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4 +
      static_cast<std::size_t>(channel);
  switch (sample) {
    case ViewSample::Short: {
      std::uint16_t value = 0;
      std::memcpy(&value, &pixels[at * 2], 2);
      return value / 65535.0f;
    }
    case ViewSample::Float: {
      float value = 0;
      std::memcpy(&value, &pixels[at * 4], 4);
      return value;
    }
    default: return pixels[at] / 255.0f;
  }
}

ViewImage MissingImageChecker() {
  constexpr int kSide = 64, kCell = 8;
  ViewImage image;
  image.width = image.height = kSide;
  image.pixels.resize(kSide * kSide * 4);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const bool magenta = ((x / kCell) + (y / kCell)) % 2 == 0;
      std::uint8_t* pixel = &image.pixels[static_cast<std::size_t>(y * kSide + x) * 4];
      pixel[0] = magenta ? 255 : 0;
      pixel[1] = 0;
      pixel[2] = magenta ? 255 : 0;
      pixel[3] = 255;
    }
  return image;
}
