#pragma once

// What assimp (Debian's assimp-utils) makes of an FBX file, by way of its OBJ
// export: faces per material with their corners as positions, the UVs, and the
// MTL lines per material. Numbers are rounded so that text round trips compare.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CommandRun.h"
#include "ScratchFolder.h"

namespace assimpview {

using Point = std::vector<double>;
using Face = std::vector<Point>;

inline Point Rounded(std::initializer_list<double> values) {
  Point point;
  for (double v : values) point.push_back(std::round(v * 1e5) / 1e5);
  return point;
}

inline std::vector<double> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> numbers;
  for (double v; in >> v;) numbers.push_back(v);
  return numbers;
}

struct AssimpView {
  std::map<std::string, std::vector<Face>> faces;
  std::vector<Point> uvs;  // as the OBJ lists them
  std::map<std::string, std::map<std::string, std::string>> materials;
};

inline bool HaveAssimp() { return RunCommand("command -v assimp") == 0; }

inline AssimpView ParseObj(const std::string& obj, const std::string& mtl) {
  AssimpView view;
  std::vector<Point> positions;
  std::string material;
  std::istringstream lines(obj);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string key;
    in >> key;
    if (key == "v") {
      double x, y, z;
      in >> x >> y >> z;
      positions.push_back(Rounded({x, y, z}));
    } else if (key == "vt") {
      double u, v;
      in >> u >> v;
      view.uvs.push_back(Rounded({u, v}));
    } else if (key == "usemtl") {
      in >> material;
    } else if (key == "f") {
      Face face;
      for (std::string corner; in >> corner;) {
        std::size_t index = std::stoul(corner.substr(0, corner.find('/')));
        face.push_back(index >= 1 && index <= positions.size() ? positions[index - 1] : Point{});
      }
      view.faces[material].push_back(face);
    }
  }
  std::istringstream mtlLines(mtl);
  for (std::string line; std::getline(mtlLines, line);) {
    std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string key = line.substr(0, space), rest = line.substr(space + 1);
    if (key == "newmtl")
      material = rest;
    else
      view.materials[material][key] = rest;
  }
  return view;
}

// Has assimp describe the file (a failure there is a test failure) and export
// it as "assimp.obj" into `folder`, then reads that export.
inline AssimpView ReadWithAssimp(const std::string& fbxPath, const std::filesystem::path& folder) {
  std::string output;
  EXPECT_EQ(RunCommand("assimp info '" + fbxPath + "'", &output), 0) << output;
  EXPECT_EQ(RunCommand("cd '" + folder.string() + "' && assimp export '" + fbxPath + "' assimp.obj", &output), 0)
      << output;
  return ParseObj(ScratchFolder::ReadFile(folder / "assimp.obj"), ScratchFolder::ReadFile(folder / "assimp.mtl"));
}

}  // namespace assimpview
