#include "ImageFile.h"

#include <common/SafeReplace.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

std::string Upper(std::string word) {
  for (char& c : word) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return word;
}

// stb hands the encoded file over in pieces; they are gathered in memory.
void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace

std::string ImageFileType(const std::string& word) {
  const std::string type = Upper(word);
  if (type == "TGA" || type == "BMP" || type == "PNG" || type == "JPG") return type;
  return "PNG";
}

bool EncodeImage(const PaintedImage& image, const std::string& type, std::string& bytes) {
  bytes.clear();
  const unsigned char* pixels = image.pixels.data();
  if (type == "TGA") return stbi_write_tga_to_func(AppendBytes, &bytes, image.width, image.height, 3, pixels) != 0;
  if (type == "BMP") return stbi_write_bmp_to_func(AppendBytes, &bytes, image.width, image.height, 3, pixels) != 0;
  if (type == "JPG") return stbi_write_jpg_to_func(AppendBytes, &bytes, image.width, image.height, 3, pixels, 92) != 0;
  return stbi_write_png_to_func(AppendBytes, &bytes, image.width, image.height, 3, pixels, image.width * 3) != 0;
}

bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem) {
  std::string reason;
  if (safereplace::ReplaceFile(path, text, reason)) return true;
  problem = "cannot write " + path + ": " + reason;
  return false;
}
