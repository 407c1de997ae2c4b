// materials_bench [MATERIALS] [FOLDER]: a node with MATERIALS Phong materials (default 100,000),
// one quad each, built, written in binary, read back and walked the ways the tools and the peer
// do (count, each material by its index, each index by its name), printing seconds for each step
// at a quarter, half and all of MATERIALS: doubling the materials should about double the time.
// The file of the full count stays in FOLDER (default /tmp) for timing fbxinfo and fbxconvert.
#include <fbxsdk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BuildScene(FbxManager& manager, FbxScene& scene, int materials) {
  FbxNode* node = FbxNode::Create(&manager, "Quads");
  FbxMesh* mesh = FbxMesh::Create(&manager, "QuadsShape");
  node->SetNodeAttribute(mesh);
  mesh->InitControlPoints(materials * 4);
  FbxVector4* cp = mesh->GetControlPoints();
  FbxLayerElementMaterial* indices = mesh->CreateElementMaterial();
  indices->SetMappingMode(FbxLayerElement::eByPolygon);
  indices->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  const int offsets[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int m = 0; m < materials; ++m) {
    mesh->BeginPolygon(-1, -1, -1, false);
    for (int k = 0; k < 4; ++k) {
      cp[m * 4 + k].Set(m * 2.0 + offsets[k][0], offsets[k][1], 0.0);
      mesh->AddPolygon(m * 4 + k);
    }
    mesh->EndPolygon();
    indices->GetIndexArray().Add(m);
    node->AddMaterial(FbxSurfacePhong::Create(&manager, ("material_" + std::to_string(m)).c_str()));
  }
  scene.GetRootNode()->AddChild(node);
}

bool Run(int materials, const std::string& path) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "bench");
  auto start = std::chrono::steady_clock::now();
  BuildScene(*manager, *scene, materials);
  const double built = Since(start);
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  start = std::chrono::steady_clock::now();
  bool ok = exporter->Initialize(path.c_str(), 0) && exporter->Export(scene);
  const double written = Since(start);
  exporter->Destroy();
  manager->Destroy();
  if (!ok) return false;

  manager = FbxManager::Create();
  scene = FbxScene::Create(manager, "read");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  start = std::chrono::steady_clock::now();
  ok = importer->Initialize(path.c_str()) && importer->Import(scene);
  const double read = Since(start);
  importer->Destroy();
  FbxNode* node = ok && scene->GetRootNode()->GetChildCount() > 0 ? scene->GetRootNode()->GetChild(0) : nullptr;
  ok = node != nullptr && node->GetMaterialCount() == materials;
  start = std::chrono::steady_clock::now();
  for (int m = 0; ok && m < node->GetMaterialCount(); ++m) ok = node->GetMaterial(m) != nullptr;
  const double walked = Since(start);
  start = std::chrono::steady_clock::now();
  for (int m = 0; ok && m < materials; ++m) ok = node->GetMaterialIndex(("material_" + std::to_string(m)).c_str()) == m;
  const double found = Since(start);
  manager->Destroy();
  std::printf("%7d materials: build %.3f s, write %.3f s, read %.3f s, by index %.3f s, by name %.3f s\n", materials,
              built, written, read, walked, found);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int materials = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  for (int n : {materials / 4, materials / 2, materials}) {
    if (!Run(n, folder + "/materials_bench_" + std::to_string(n) + ".fbx")) {
      std::fprintf(stderr, "%d materials: the scene did not come back whole\n", n);
      return 1;
    }
  }
  return 0;
}
