// Receiving answers that are large in one direction: a "textures.txt" of
// 100,000 groups (20,000 materials with five painted channels each, every
// material on its own quad), and a model that is one polygon of 100,000
// corners, convex or star-shaped (half its corners reflex), or a star of
// 180,000. Each run is a whole ImportFbxModel (load, texture list, split, merge, decals, replacement
// of the older model of the same name).
//   receive_scale_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>

#include "fbx/FbxContext.h"
#include "host/CurrentObject.h"
#include "receive/ImportFbxModel.h"

using namespace pigmora;

namespace {

// A scratch folder, the host project and the FBX context, for the whole run.
class BenchHost {
public:
  BenchHost() {
    char pattern[] = "/tmp/pigmora-receive-scale-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    folder_ = pattern;
    setenv("HASH_REGISTRY_FILE", (folder_ / "registry.ini").c_str(), 1);
    setenv("HASH_DOCUMENTS_DIR", (folder_ / "Documents").c_str(), 1);
    project_ = CreateHostProject(false);
    FbxString error;
    if (!fbx_.InitFbxContext(error)) std::abort();
  }
  ~BenchHost() {
    DestroyHostProject(project_);
    std::filesystem::remove_all(folder_);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  HProject* Project() const { return project_; }
  FbxContext& Fbx() { return fbx_; }
  CurrentObject& Current() { return current_; }

private:
  std::filesystem::path folder_;
  FbxContext fbx_;
  CurrentObject current_;
  HProject* project_ = nullptr;
};

BenchHost& Host() {
  static BenchHost host;
  return host;
}

// Polygons given by their corners, one material each, UVs by polygon vertex.
struct AnswerMesh {
  std::vector<FbxVector4> points;
  std::vector<std::vector<int>> polygons;
  std::vector<int> polygonMaterials;
  int materialCount = 1;
};

std::string MaterialName(int m) { return "Material" + std::to_string(m); }

bool WriteAnswer(const AnswerMesh& answer, const std::string& path) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Answer");
  FbxNode* node = FbxNode::Create(manager, "Answer");
  FbxMesh* mesh = FbxMesh::Create(manager, "AnswerShape");
  node->SetNodeAttribute(mesh);
  scene->GetRootNode()->AddChild(node);
  for (int m = 0; m < answer.materialCount; ++m)
    node->ConnectSrcObject(
        FbxSurfacePhong::Create(manager, MaterialName(m).c_str()));  // AddMaterial counts places: slow for many
  mesh->ControlPoints() = answer.points;
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  for (const FbxVector4& p : answer.points) uvs->GetDirectArray().Items().push_back(FbxVector2(p[0], p[1]));
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  for (std::size_t p = 0; p < answer.polygons.size(); ++p) {
    mesh->PolygonStarts().push_back(static_cast<int>(mesh->PolygonVertices().size()));
    for (int corner : answer.polygons[p]) {
      mesh->PolygonVertices().push_back(corner);
      uvs->GetIndexArray().Items().push_back(corner);
    }
    materials->GetIndexArray().Items().push_back(answer.polygonMaterials[p]);
  }
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const bool ok =
      exporter->Initialize(path.c_str(), FbxIOPluginRegistry::eBinaryWriter, nullptr) && exporter->Export(scene, false);
  manager->Destroy();
  return ok;
}

// A texture list and the images it names, each a real PNG of one pixel: the receive takes only
// files that read as images.
void WriteTextures(const std::string& path, int materials, const std::vector<const char*>& channels) {
  static const unsigned char kOnePixelPng[] = {
      0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
      0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00,
      0x0c, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xdf, 0xc0, 0x00, 0x00, 0x04, 0x01, 0x01, 0x80, 0xc5,
      0x2a, 0x18, 0x5d, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
  std::string text;
  for (int m = 0; m < materials; ++m) {
    for (const char* channel : channels) {
      const std::string image = Host().Path(MaterialName(m) + "_" + channel) + ".png";
      text += MaterialName(m) + "\nmap1\n" + channel + "\n" + image + "\n";
      std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(kOnePixelPng), sizeof kOnePixelPng);
    }
  }
  std::ofstream(path) << text;
}

void Receive(benchmark::State& state, const std::string& fbx, const std::string& textures) {
  for (auto _ : state) {
    String error;
    if (!ImportFbxModel(Host().Fbx(), Host().Current(), fbx.c_str(), textures.c_str(), error))
      state.SkipWithError(error.Get());
  }
  HModelCache* model = Host().Project()->GetChildObjectCacheContainer()->FindModel("Answer");
  state.counters["patches"] = model ? model->GetPatchCount() : 0;
  state.counters["decals"] = model ? model->CountDecals() : 0;
  state.counters["images"] = Host().Project()->GetChildClipCacheContainer()->CountChildren();
}

void BM_ReceiveTextureGroups(benchmark::State& state) {
  const int materials = static_cast<int>(state.range(0)) / 5;
  const std::string fbx = Host().Path("groups.fbx"), textures = Host().Path("groups.txt");
  static bool written = false;
  if (!written) {
    AnswerMesh answer;
    answer.materialCount = materials;
    const int side = 200;
    for (int y = 0; y <= materials / side; ++y) {
      for (int x = 0; x <= side; ++x) answer.points.emplace_back(x, y, 0);
    }
    for (int m = 0; m < materials; ++m) {
      const int a = (m / side) * (side + 1) + m % side;
      answer.polygons.push_back({a, a + 1, a + side + 2, a + side + 1});
      answer.polygonMaterials.push_back(m);
    }
    if (!WriteAnswer(answer, fbx)) std::abort();
    WriteTextures(textures, materials, {"color", "specular", "emissive_power", "normalmap", "displacement"});
    written = true;
  }
  Receive(state, fbx, textures);
}

void BM_ReceiveOnePolygon(benchmark::State& state) {
  const int corners = static_cast<int>(state.range(0));
  const bool star = state.range(1) != 0;
  const std::string fbx = Host().Path(star ? "star.fbx" : "circle.fbx"), textures = Host().Path("polygon.txt");
  AnswerMesh answer;
  answer.polygons.emplace_back();
  answer.polygonMaterials.push_back(0);
  const double pi = std::acos(-1.0);
  for (int k = 0; k < corners; ++k) {
    const double radius = star && k % 2 ? 0.5 : 1.0;
    answer.points.emplace_back(radius * std::cos(2 * pi * k / corners), radius * std::sin(2 * pi * k / corners), 0);
    answer.polygons[0].push_back(k);
  }
  if (!WriteAnswer(answer, fbx)) std::abort();
  WriteTextures(textures, 1, {"color"});
  Receive(state, fbx, textures);
}

double Min(const std::vector<double>& values) {
  double least = values.empty() ? 0 : values[0];
  for (double value : values) least = std::min(least, value);
  return least;
}

}  // namespace

BENCHMARK(BM_ReceiveTextureGroups)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->ComputeStatistics("min", Min);
BENCHMARK(BM_ReceiveOnePolygon)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({180000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->ComputeStatistics("min", Min);

BENCHMARK_MAIN();
