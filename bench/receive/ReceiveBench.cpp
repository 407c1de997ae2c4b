// Receiving Pigmora's answer for a 1,000,000-quad model: a binary FBX file with
// two materials and three painted channels each (color, specular, normal
// map). Times ImportFbxModel as a whole (load, convert, merge, decals,
// replacement of the older model) and reports the process's peak memory.
//   receive_bench [QUADS_PER_SIDE] [RUNS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The answer's model: a grid of quads, lower half "Body", upper half "Trim",
// "map1" UVs by polygon vertex with an index array, written by the library's
// binary writer.
bool WriteAnswerModel(const std::string& path, int side) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Answer");
  FbxNode* node = FbxNode::Create(manager, "Grid");
  FbxMesh* mesh = FbxMesh::Create(manager, "GridShape");
  node->SetNodeAttribute(mesh);
  scene->GetRootNode()->AddChild(node);
  node->AddMaterial(FbxSurfacePhong::Create(manager, "Body"));
  node->AddMaterial(FbxSurfacePhong::Create(manager, "Trim"));
  const int points = side + 1;
  auto& controlPoints = mesh->ControlPoints();
  controlPoints.reserve(static_cast<std::size_t>(points) * points);
  for (int y = 0; y < points; ++y) {
    for (int x = 0; x < points; ++x) controlPoints.push_back(FbxVector4(x, y, 0));
  }
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  auto& direct = uvs->GetDirectArray().Items();
  for (int y = 0; y < points; ++y) {
    for (int x = 0; x < points; ++x) direct.push_back(FbxVector2(double(x) / side, double(y) / side));
  }
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  auto& corners = mesh->PolygonVertices();
  auto& starts = mesh->PolygonStarts();
  auto& uvIndex = uvs->GetIndexArray().Items();
  auto& material = materials->GetIndexArray().Items();
  const std::size_t quads = static_cast<std::size_t>(side) * side;
  corners.reserve(quads * 4);
  uvIndex.reserve(quads * 4);
  starts.reserve(quads);
  material.reserve(quads);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int a = y * points + x;
      starts.push_back(static_cast<int>(corners.size()));
      for (int corner : {a, a + 1, a + points + 1, a + points}) {
        corners.push_back(corner);
        uvIndex.push_back(corner);
      }
      material.push_back(y < side / 2 ? 0 : 1);
    }
  }
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const bool ok =
      exporter->Initialize(path.c_str(), FbxIOPluginRegistry::eBinaryWriter, nullptr) && exporter->Export(scene, false);
  manager->Destroy();
  return ok;
}

// Written in a child process, so the peak memory reported is the receive's own.
bool WriteInChild(const std::string& path, int side) {
  const pid_t child = fork();
  if (child == 0) _exit(WriteAnswerModel(path, side) ? 0 : 1);
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int side = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  char pattern[] = "/tmp/pigmora-receive-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::filesystem::path folder = pattern;
  setenv("HASH_REGISTRY_FILE", (folder / "registry.ini").c_str(), 1);
  setenv("HASH_DOCUMENTS_DIR", (folder / "Documents").c_str(), 1);

  const std::string fbx = (folder / "answer.fbx").string();
  if (!WriteInChild(fbx, side)) {
    std::fprintf(stderr, "receive_bench: cannot write %s\n", fbx.c_str());
    return 1;
  }
  std::string textures;
  for (const char* material : {"Body", "Trim"}) {
    for (const char* channel : {"color", "specular", "normalmap"}) {
      textures +=
          std::string(material) + "\nmap1\n" + channel + "\n" + (folder / material).string() + "_" + channel + ".png\n";
    }
  }
  std::ofstream(folder / "textures.txt") << textures;

  const double startMegabytes = PeakMegabytes();
  HProject* project = CreateHostProject(false);
  FbxString fbxError;
  FbxContext context;
  CurrentObject current;  // no host command ran
  if (!context.InitFbxContext(fbxError)) return 1;
  std::printf("answer: %d x %d quads, %.1f MB binary FBX\n", side, side,
              static_cast<double>(std::filesystem::file_size(fbx)) / 1e6);
  std::vector<double> seconds;
  for (int run = 0; run < runs; ++run) {
    String error;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = ImportFbxModel(context, current, fbx.c_str(), (folder / "textures.txt").c_str(), error);
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!ok) {
      std::fprintf(stderr, "receive_bench: %s\n", error.Get());
      return 1;
    }
    HModelCache* model = project->GetChildObjectCacheContainer()->FindModel("Grid");
    std::printf("run %d: %.3f s (%d patches, %d decal(s), %d model(s) in the project)\n", run + 1, seconds.back(),
                model ? model->GetPatchCount() : 0, model ? model->CountDecals() : 0,
                project->GetChildObjectCacheContainer()->CountChildren());
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("receive: best %.3f s, median %.3f s; peak memory %.0f MB (%.0f MB before the receive)\n",
              seconds.front(), seconds[seconds.size() / 2], PeakMegabytes(), startMegabytes);
  DestroyHostProject(project);
  std::filesystem::remove_all(folder);
  return 0;
}
