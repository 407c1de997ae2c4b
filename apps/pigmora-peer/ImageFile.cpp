#include "ImageFile.h"

#include <common/SafeReplace.h>

#ifdef PIGMORA_PEER_DEEP_IMAGES
#include "DeepImageWrite.h"
#endif

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
#ifdef PIGMORA_PEER_DEEP_IMAGES
  if (type == "TIF" || type == "TIFF" || type == "EXR") return type;
#endif
  return "PNG";
}

int ImageDepth(const std::string& type, const std::string& depthWord) {
  if (type != "TIF" && type != "TIFF" && type != "EXR") return 8;
  if (type == "EXR") return 32;  // OpenEXR's integers are no picture format
  if (depthWord == "16-bits") return 16;
  if (depthWord == "32-bits") return 32;
  return type == "TIF" ? 16 : 32;
}

bool EncodeImage(const PaintedImage& image, const std::string& type, int depth, std::string& bytes) {
  bytes.clear();
#ifdef PIGMORA_PEER_DEEP_IMAGES
  if (type == "EXR") return EncodeExrFloat(image, bytes);
  if (type == "TIF" || type == "TIFF")
    return depth == 32   ? EncodeTiffFloat(image, bytes)
           : depth == 16 ? EncodeTiff16(image, bytes)
                         : EncodeTiff8(image, bytes);
#else
  (void)depth;
#endif
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
