#pragma once

// Runs the stand-in peer as a program against a scratch documents folder and
// reads back what it answered.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "../receive/MeshFile.h"
#include "CommandRun.h"
#include "ScratchFolder.h"

// One group of "textures.txt".
struct TextureGroup {
  std::string material, uvSet, channel, path;
};

// The answer's FBX file as the receive reads it: the root's first node.
struct AnswerMesh {
  std::string nodeName;
  std::vector<std::string> materials;
  std::string uvSet;                                        // the first UV set's name, empty when there is none
  std::vector<std::vector<std::array<double, 3>>> corners;  // per polygon
  std::vector<std::vector<std::optional<std::array<double, 2>>>> cornerUVs;  // per polygon, as indexed
  std::vector<int> polygonMaterials;
};

// An 8-bit RGB image; At takes FBX UVs (v up, rows from the top).
struct LoadedImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  std::array<int, 3> At(double u, double v) const;
};

std::vector<std::string> Lines(const std::string& text);
bool ReadAnswerMesh(const std::string& path, AnswerMesh& mesh);
bool LoadImage(const std::string& path, LoadedImage& image);

class PeerFixture : public ::testing::Test {
protected:
  // Runs the peer with arguments; `launcher` (a wrapper such as timeout) goes before it.
  CommandRun Peer(const std::string& arguments, const std::string& launcher = "") const;
  // Writes the model file where the host writes it and returns its path.
  std::string WriteModel(const MeshPlan& plan, bool ascii = true, const char* name = "export.fbx") const;
  void WriteCommand(const std::string& modelPath, const std::string& options) const;
  std::vector<TextureGroup> TextureGroups() const;
  // The FBX path named by "export.txt"; empty when there is none.
  std::string AnswerFbx() const;
  bool PairPresent() const;
  // Temporary files (".NAME.tmp-XXXXXX") anywhere in the exchange folder.
  std::vector<std::string> Temporaries() const;
  // The model's materials' colour images show each material's pattern exactly
  // at its own polygons: read at the centre of each polygon's UV outline, the
  // images of the other materials are plain there.
  void ExpectEachMaterialPaintedOnItsOwnPolygons(const AnswerMesh& mesh, const std::vector<TextureGroup>& groups) const;

  ScratchFolder scratch_;
};

// Two materials in the node's order Zeta, Alpha: Zeta on the left half of a
// 2x2 grid (UVs u < 0.5), Alpha on the right.
MeshPlan LeftRightPlan();
