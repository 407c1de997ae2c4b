#include "PeerFixture.h"

#include <fbxsdk.h>

#include <algorithm>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::array<int, 3> LoadedImage::At(double u, double v) const {
  const int x = std::clamp(static_cast<int>(u * width), 0, width - 1);
  const int y = std::clamp(static_cast<int>((1.0 - v) * height), 0, height - 1);
  const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
  return {p[0], p[1], p[2]};
}

bool LoadImage(const std::string& path, LoadedImage& image) {
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
  if (!data) return false;
  image.pixels.assign(data, data + static_cast<std::size_t>(image.width) * image.height * 3);
  stbi_image_free(data);
  return true;
}

bool ReadAnswerMesh(const std::string& path, AnswerMesh& result) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Answer");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  bool ok = importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false) &&
            scene->GetRootNode()->GetChildCount() > 0 && scene->GetRootNode()->GetChild(0)->GetMesh();
  if (ok) {
    FbxNode* node = scene->GetRootNode()->GetChild(0);
    FbxMesh* mesh = node->GetMesh();
    result.nodeName = node->GetName();
    for (int m = 0; m < node->GetMaterialCount(); ++m) result.materials.push_back(node->GetMaterial(m)->GetName());
    FbxLayerElementUV* uvs = mesh->GetElementUV(0);
    if (uvs) result.uvSet = uvs->GetName();
    FbxLayerElementMaterial* materials = mesh->GetElementMaterial(0);
    for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
      const int start = mesh->GetPolygonVertexIndex(p);
      result.corners.emplace_back();
      result.cornerUVs.emplace_back();
      for (int k = 0; k < mesh->GetPolygonSize(p); ++k) {
        const FbxVector4 point = mesh->GetControlPoints()[mesh->GetPolygonVertex(p, k)];
        result.corners.back().push_back({point[0], point[1], point[2]});
        const int index = uvs ? uvs->GetIndexArray().GetAt(start + k) : -1;
        std::optional<std::array<double, 2>> uv;
        if (index >= 0 && index < uvs->GetDirectArray().GetCount()) {
          const FbxVector2 at = uvs->GetDirectArray().GetAt(index);
          uv = std::array<double, 2>{at[0], at[1]};
        }
        result.cornerUVs.back().push_back(uv);
      }
      result.polygonMaterials.push_back(materials ? materials->GetIndexArray().GetAt(p) : -1);
    }
  }
  manager->Destroy();
  return ok;
}

CommandRun PeerFixture::Peer(const std::string& arguments, const std::string& launcher) const {
  const std::string command = launcher + " '" + PIGMORA_PEER_PATH + "' " + arguments;
  return RunCapturing(command, scratch_.Path("peer.stderr"));
}

std::string PeerFixture::WriteModel(const MeshPlan& plan, bool ascii, const char* name) const {
  const std::string path = (scratch_.ExchangePath() / "Hash" / "data" / name).string();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  EXPECT_TRUE(WriteMeshFile(plan, path, ascii));
  return path;
}

void PeerFixture::WriteCommand(const std::string& modelPath, const std::string& options) const {
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "import.txt",
                           modelPath + "\n" + modelPath + "\n[ppp]\n" + options);
}

std::vector<TextureGroup> PeerFixture::TextureGroups() const {
  const std::vector<std::string> lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  EXPECT_EQ(lines.size() % 4, 0u) << "whole groups of four lines";
  std::vector<TextureGroup> groups;
  for (std::size_t at = 0; at + 3 < lines.size(); at += 4)
    groups.push_back({lines[at], lines[at + 1], lines[at + 2], lines[at + 3]});
  return groups;
}

std::string PeerFixture::AnswerFbx() const {
  const std::vector<std::string> lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "export.txt"));
  return lines.empty() ? std::string() : lines[0];
}

bool PeerFixture::PairPresent() const {
  return std::filesystem::exists(scratch_.ExchangePath() / "export.txt") ||
         std::filesystem::exists(scratch_.ExchangePath() / "textures.txt");
}

std::vector<std::string> PeerFixture::Temporaries() const {
  std::vector<std::string> found;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(scratch_.ExchangePath(), error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 11 && name[0] == '.' && name.compare(name.size() - 11, 5, ".tmp-") == 0)
      found.push_back(it->path().string());
  }
  return found;
}

void PeerFixture::ExpectEachMaterialPaintedOnItsOwnPolygons(const AnswerMesh& mesh,
                                                            const std::vector<TextureGroup>& groups) const {
  for (std::size_t m = 0; m < mesh.materials.size(); ++m) {
    SCOPED_TRACE("material " + mesh.materials[m]);
    auto colour = std::find_if(groups.begin(), groups.end(), [&](const TextureGroup& group) {
      return group.material == mesh.materials[m] && group.channel == "color";
    });
    ASSERT_NE(colour, groups.end()) << "a colour image for each material";
    LoadedImage image;
    ASSERT_TRUE(LoadImage(colour->path, image)) << colour->path;
    std::optional<std::array<int, 3>> ground;
    std::vector<std::array<int, 3>> painted;
    for (std::size_t p = 0; p < mesh.cornerUVs.size(); ++p) {
      double u = 0, v = 0;
      for (const auto& uv : mesh.cornerUVs[p]) {
        ASSERT_TRUE(uv.has_value()) << "polygon " << p << " has a UV at every corner";
        u += (*uv)[0] / static_cast<double>(mesh.cornerUVs[p].size());
        v += (*uv)[1] / static_cast<double>(mesh.cornerUVs[p].size());
      }
      const std::array<int, 3> pixel = image.At(u, v);
      if (mesh.polygonMaterials[p] == static_cast<int>(m)) {
        painted.push_back(pixel);
      } else {
        if (ground) {
          EXPECT_EQ(pixel, *ground) << "plain where polygon " << p << " of another material lies";
        }
        ground = pixel;
      }
    }
    EXPECT_FALSE(painted.empty());
    for (const auto& pixel : painted) {
      EXPECT_FALSE(pixel[0] == pixel[1] && pixel[1] == pixel[2]) << "the material's colour, not grey ground";
      if (ground) {
        EXPECT_NE(pixel, *ground);
      }
    }
  }
}

MeshPlan LeftRightPlan() {
  MeshPlan plan = GridPlan(2, {"Zeta", "Alpha"});
  plan.nodeName = "Sample";
  plan.polygonMaterials = {0, 1, 0, 1};
  return plan;
}
