#include "ImageFile.h"

#include <cstdio>
#include <fstream>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

std::string Upper(std::string word) {
  for (char& c : word) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return word;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& path, std::string& problem) {
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  problem = "cannot rename " + temporary + " to " + path;
  return false;
}

}  // namespace

std::string ImageFileType(const std::string& word) {
  const std::string type = Upper(word);
  if (type == "TGA" || type == "BMP" || type == "PNG" || type == "JPG") return type;
  return "PNG";
}

bool WriteImageFile(const PaintedImage& image, const std::string& type, const std::string& path, std::string& problem) {
  const std::string temporary = path + ".part";
  const unsigned char* pixels = image.pixels.data();
  int ok = 0;
  if (type == "TGA")
    ok = stbi_write_tga(temporary.c_str(), image.width, image.height, 3, pixels);
  else if (type == "BMP")
    ok = stbi_write_bmp(temporary.c_str(), image.width, image.height, 3, pixels);
  else if (type == "JPG")
    ok = stbi_write_jpg(temporary.c_str(), image.width, image.height, 3, pixels, 92);
  else
    ok = stbi_write_png(temporary.c_str(), image.width, image.height, 3, pixels, image.width * 3);
  if (!ok) {
    std::remove(temporary.c_str());
    problem = "cannot write " + path;
    return false;
  }
  return MoveIntoPlace(temporary, path, problem);
}

bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem) {
  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.flush();
    if (!file) {
      problem = "cannot write " + path;
      file.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  return MoveIntoPlace(temporary, path, problem);
}
