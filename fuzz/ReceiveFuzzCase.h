#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pigmora {
class PluginState;
}

// One case of the receive fuzzer, shared with the test that replays its
// findings. An input is an answer's FBX file, then optionally the marker line
// and the answer's "textures.txt"; without the marker a small texture list of
// common material names stands in, so plain FBX files are inputs too.
inline constexpr char kTexturesMarker[] = "\n#pigmora-textures\n";

struct ReceiveFuzzAnswer {
  std::string fbx;
  std::string textures;
};

ReceiveFuzzAnswer SplitReceiveFuzzInput(const std::uint8_t* data, std::size_t size);

// Receives the answer (command 2) into a fresh project that already holds a
// model, an instance of it and images, then checks the project: unchanged when
// the receive reported an error, and well formed in any case (every patch's
// corners, group members and decal placements within range, every instance
// and clip pointing into the project). Returns what is wrong, or "" when all
// is well. Receives through the plug-in's state.
std::string ReceiveFuzzAnswerIntoProject(pigmora::PluginState& plugin, const ReceiveFuzzAnswer& answer);
