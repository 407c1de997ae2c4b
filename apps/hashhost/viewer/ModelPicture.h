#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ViewCamera.h"
#include "ViewShading.h"

class HModelCache;

// A picture of a model drawn off screen, with no display, by the renderer
// the window's view uses: the model framed and seen from `direction`,
// shaded as `shading` says, with smoothed (multisampled) edges.
struct ModelPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;   // rows from the top
  std::vector<std::string> notes;  // images shown as a checker, and why
};

// False with the reason when no off-screen context of that size can be made.
bool DrawModelPicture(HModelCache& model, int width, int height, ViewDirection direction, ViewShading shading,
                      ModelPicture& picture, std::string& problem);

// Writes the picture as a PNG file, replacing the file whole or not at all.
bool WritePicturePng(const ModelPicture& picture, const std::string& path, std::string& problem);
