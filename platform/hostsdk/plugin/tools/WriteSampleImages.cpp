// Writes the sample model's images: a colour map (face, shirt, trousers) and
// a normal map with ridges around the body. Uncompressed 24-bit TGA.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;

struct Pixel {
  std::uint8_t r, g, b;
};

// hostV runs 0 at the top of the model to 1 at the bottom; TGA rows start at the bottom.
bool WriteTga(const std::string& path, const std::function<Pixel(float u, float hostV)>& shade) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const std::uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, kSize, 0, kSize, 0, 24, 0};
  std::vector<std::uint8_t> data(header, header + sizeof(header));
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Pixel p = shade((x + 0.5f) / kSize, 1.0f - (y + 0.5f) / kSize);
      data.insert(data.end(), {p.b, p.g, p.r});
    }
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  return std::fclose(file) == 0 && ok;
}

Pixel Colour(float u, float v) {
  const float eyeV = 0.2f;
  for (float eyeU : {0.21f, 0.29f}) {
    if (std::hypot((u - eyeU) * 2.0f, v - eyeV) < 0.035f) return {20, 20, 30};
  }
  if (v < 0.33f) return {245, 205, 160};
  if (v < 0.36f || (v > 0.6f && v < 0.64f)) return {60, 40, 20};
  if (v < 0.67f) return {50, 100, 215};
  return {60, 150, 75};
}

Pixel Normal(float u, float v) {
  float tilt = std::sin(v * 40.0f) * 0.35f;
  return {128, static_cast<std::uint8_t>(128 + 127 * tilt),
          static_cast<std::uint8_t>(255 * std::sqrt(1 - tilt * tilt))};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  if (!WriteTga(folder + "/sample_color.tga", Colour) || !WriteTga(folder + "/sample_normal.tga", Normal)) {
    std::fprintf(stderr, "cannot write the sample images into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
