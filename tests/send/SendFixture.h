// A plug-in as the host has it loaded: settings, exchange folder and FBX
// context in a scratch folder, and a host project with the built-in sample.
#pragma once

#include "AssimpView.h"
#include "PluginTestState.h"

#include <gtest/gtest.h>

#include <FileIO/String.h>
#include <Plugin.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>
#include <afxwin.h>
#include <fbxsdk.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ScratchFolder.h"

class SendTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Presses mode button `buttonId` with the applink opened on `object`.
  void Send(HTreeObject* object, UINT buttonId = 1001);
  HModelCache* Sample() const;
  // The file of one of the project's image clips.
  std::string ImageFile(const char* clipName) const;

  std::filesystem::path CommandFile() const { return scratch_.ExchangePath() / "import.txt"; }
  std::filesystem::path ModelFile() const { return scratch_.ExchangePath() / "Hash" / "data" / "export.fbx"; }
  std::string CommandText() const { return ScratchFolder::ReadFile(CommandFile()); }
  const std::vector<AfxMessageBoxRecord>& Boxes() const { return AfxGetHeadlessDisplay().MessageBoxes(); }

  ScratchFolder scratch_;
  PluginTestState state_;
  HProject* project_ = nullptr;
};

// The lines of a text, each without its line feed.
std::vector<std::string> Lines(const std::string& text);

// The content of an FBX file as a reader sees it, by polygon.
struct SentPolygon {
  std::vector<std::vector<double>> corners;  // positions, rounded
  std::vector<std::vector<double>> uvs;      // one per corner; empty when the corner has none
  std::string material;
};
struct SentModel {
  std::vector<SentPolygon> polygons;
  std::vector<std::string> materials;
  // material name -> FBX channel property -> texture file names
  std::map<std::string, std::map<std::string, std::vector<std::string>>> textures;
  std::map<std::string, FbxDouble3> diffuse, ambient, specular;
  std::map<std::string, std::map<std::string, double>> factors;  // material -> property -> value
  std::string nodeName, meshName, title;
  int uvCount = 0;  // entries of the UV set's direct array
};

using assimpview::HaveAssimp;
using assimpview::Rounded;
// Reads a file with our own FBX reader.
SentModel ReadWithOurReader(const std::string& path);
// What the host model should look like once sent: polygons from its patches,
// UVs from the first decal covering each patch, materials from its groups.
std::vector<SentPolygon> ExpectedPolygons(HModelCache& model);
