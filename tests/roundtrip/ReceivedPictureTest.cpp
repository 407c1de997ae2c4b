// The received model as the host's view draws it: after a round trip with the
// stand-in peer, each group's part of the picture takes its color from that
// group's own painted image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

#include "CommandRun.h"
#include "ScratchFolder.h"
#include "ViewCamera.h"

namespace {

constexpr int kSize = 240;

struct Chroma {
  double r = 0, g = 0, b = 0;
  // How far from grey, and which way.
  static Chroma Of(double r, double g, double b) {
    const double mean = (r + g + b) / 3;
    return {r - mean, g - mean, b - mean};
  }
  double Length() const { return std::sqrt(r * r + g * g + b * b); }
  double Likeness(const Chroma& o) const { return (r * o.r + g * o.g + b * o.b) / (Length() * o.Length() + 1e-9); }
};

// The color a painted image shows where its material lies (its pattern, not its grey ground).
Chroma PaintOf(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
  Chroma sum;
  if (!pixels) return sum;
  for (int i = 0; i < width * height; ++i) {
    const Chroma c = Chroma::Of(pixels[i * 3], pixels[i * 3 + 1], pixels[i * 3 + 2]);
    if (c.Length() < 30) continue;
    sum.r += c.r;
    sum.g += c.g;
    sum.b += c.b;
  }
  stbi_image_free(pixels);
  return sum;
}

TEST(ReceivedPictureTest, EachGroupShowsItsOwnPaintedImage) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(),
                           std::string("[Pigmora]\nexePath=") + PIGMORA_PEER_PATH + "\nAutoImport=1\n");
  std::string peerId;
  RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --watch --stop-after 20 --size 64 >/dev/null 2>&1 & echo $!",
             &peerId);
  const std::string picture = scratch.Path("received.png");
  std::string out;
  const int status = RunCommand(std::string("env -u DISPLAY '") + HASHHOST_PATH +
                                    "' -c 'run Pigmora 0 Objects/Sample; click 1001; wait 8; tree; render Sample " +
                                    picture + " 240 240 front'",
                                &out);
  std::system(("kill " + peerId + " 2>/dev/null").c_str());
  ASSERT_EQ(status, 0) << out;
  ASSERT_NE(out.find("Model \"Sample\" patches=288"), std::string::npos) << "the answer was received: " << out;

  // Each group's color image, named after its material by the peer.
  std::map<std::string, Chroma> paint;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.ExchangePath())) {
    const std::string name = entry.path().filename().string();
    for (const char* group : {"head_cap", "default", "lower_body"})
      if (name.find(std::string("_") + group + "_color.") != std::string::npos) paint[group] = PaintOf(entry.path());
  }
  ASSERT_EQ(paint.size(), 3u) << "the peer painted a color image per material";

  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(picture.c_str(), &width, &height, &channels, 3);
  ASSERT_TRUE(pixels) << picture;
  ASSERT_EQ(width, kSize);
  // The sample's capsule: 2 wide, 4 tall, the head cap above y = 1, the lower body below y = -1.
  ViewBounds bounds;
  const float low[3] = {-1, -2, -1}, high[3] = {1, 2, 1};
  bounds.Add(low);
  bounds.Add(high);
  ViewCamera camera;
  camera.Look(ViewDirection::Front);
  camera.Frame(bounds, 1.0f);
  const struct {
    const char* group;
    float y;
  } areas[] = {{"head_cap", 1.45f}, {"default", 0.3f}, {"default", -0.4f}, {"lower_body", -1.45f}};
  for (const auto& area : areas) {
    for (float x : {-0.5f, -0.2f, 0.1f, 0.4f}) {
      const float radius = std::fabs(area.y) > 1 ? std::sqrt(1 - (std::fabs(area.y) - 1) * (std::fabs(area.y) - 1)) : 1;
      const float point[3] = {x * radius, area.y, std::sqrt(std::max(0.0f, radius * radius - x * x * radius * radius))};
      float px = 0, py = 0;
      ASSERT_TRUE(camera.Project(point, kSize, kSize, px, py));
      const unsigned char* at = &pixels[(static_cast<int>(py) * kSize + static_cast<int>(px)) * 3];
      const Chroma seen = Chroma::Of(at[0], at[1], at[2]);
      EXPECT_GT(seen.Length(), 15) << area.group << " at " << x << "," << area.y << " is grey: no paint there";
      std::string likest;
      double best = -2;
      for (const auto& [group, color] : paint)
        if (seen.Likeness(color) > best) {
          best = seen.Likeness(color);
          likest = group;
        }
      EXPECT_EQ(likest, area.group) << "at " << x << "," << area.y << " the picture shows (" << int(at[0]) << ","
                                    << int(at[1]) << "," << int(at[2]) << ")";
    }
  }
  stbi_image_free(pixels);
}

}  // namespace
