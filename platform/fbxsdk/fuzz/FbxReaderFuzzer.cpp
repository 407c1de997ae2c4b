// Feeds arbitrary bytes to the FBX reader. With FBX_FUZZ_SEED_DIR set, it first writes
// the writers' own output there, so the fuzzer starts from files it must read.
#include <fbxsdk.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/FbxFileReader.h"
#include "io/SceneWriter.h"

namespace {

void BuildSeedScene(FbxManager& manager, FbxScene& scene) {
  FbxNode* node = FbxNode::Create(&manager, "Seed");
  FbxMesh* mesh = FbxMesh::Create(&manager, "SeedShape");
  node->SetNodeAttribute(mesh);
  mesh->InitControlPoints(5);
  for (int i = 0; i < 5; ++i) mesh->SetControlPointAt(FbxVector4(i, i * 0.5, -i), i);
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  const int corners[] = {0, 1, 2, 3, 1, 2, 4};
  for (int p = 0; p < 2; ++p) {
    mesh->BeginPolygon(-1, -1, -1, false);
    for (int k = p == 0 ? 0 : 4; k < (p == 0 ? 4 : 7); ++k) {
      mesh->AddPolygon(corners[k]);
      uvs->GetIndexArray().Add(uvs->GetDirectArray().Add(FbxVector2(0.25 * k, 1.0 - 0.125 * k)));
    }
    mesh->EndPolygon();
  }
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  for (int m = 0; m < 2; ++m) {
    FbxSurfacePhong* phong = FbxSurfacePhong::Create(&manager, m ? "second" : "first");
    phong->Diffuse.Set(FbxDouble3(0.1 * m, 0.2, 0.3));
    node->AddMaterial(phong);
    FbxFileTexture* texture = FbxFileTexture::Create(&manager, m ? "b" : "a");
    texture->SetFileName(m ? "/t/b.png" : "/t/a.png");
    phong->FindProperty(m ? FbxSurfaceMaterial::sSpecularFactor : FbxSurfaceMaterial::sDiffuse)
        .ConnectSrcObject(texture);
    materials->GetIndexArray().Add(m);
  }
  scene.GetRootNode()->AddChild(node);
}

void WriteSeeds(const char* folder) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "seed");
  BuildSeedScene(*manager, *scene);
  const char* names[2] = {"/writer-binary.fbx", "/writer-ascii.fbx"};
  for (int writer = 0; writer < 2; ++writer) {
    FbxExporter* exporter = FbxExporter::Create(manager, "");
    std::string path = std::string(folder) + names[writer];
    if (exporter->Initialize(path.c_str(), writer)) exporter->Export(scene);
  }
  manager->Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("FBX_FUZZ_SEED_DIR")) WriteSeeds(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "fuzz");
  std::string error;
  fbxsdk::io::ReadWarnings warnings;
  fbxsdk::io::ReadOptions options;
  options.warnings = &warnings;
  options.unexposedArrays = size % 3 == 0;  // the arrays the scene skips must also be read safely
  if (fbxsdk::io::ReadFbxMemory(data, size, *scene, error, options)) {
    // Whatever the reader built, the writer must be able to walk.
    fbxsdk::io::BuildFileRecords(*scene, size % 2 == 0);
  } else if (error.empty()) {
    std::abort();  // every failure must say why
  }
  manager->Destroy();
  return 0;
}
