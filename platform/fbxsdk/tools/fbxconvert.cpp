// fbxconvert IN OUT --ascii|--binary: reads an FBX file and writes its scene with the chosen writer.
#include <fbxsdk.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[3], "--ascii") != 0 && std::strcmp(argv[3], "--binary") != 0)) {
    std::fprintf(stderr,
                 "usage: fbxconvert IN OUT --ascii|--binary\n"
                 "Reads IN and writes its nodes, meshes, UV sets, material layers, materials and\n"
                 "textures to OUT as FBX 7.4 in the chosen encoding.\n");
    return 2;
  }
  const char* input = argv[1];
  const char* output = argv[2];
  bool ascii = std::strcmp(argv[3], "--ascii") == 0;

  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Converted");
  int result = 0;
  FbxImporter* importer = FbxImporter::Create(manager, "");
  if (!importer->Initialize(input, -1, nullptr) || !importer->Import(scene, false)) {
    std::fprintf(stderr, "fbxconvert: cannot read %s: %s\n", input, importer->GetStatus().GetErrorString());
    result = 1;
  } else {
    FbxIOPluginRegistry* registry = manager->GetIOPluginRegistry();
    int writer = registry->FindWriterIDByDescription(ascii ? "FBX ascii (*.fbx)" : "FBX binary (*.fbx)");
    FbxExporter* exporter = FbxExporter::Create(manager, "");
    if (!exporter->Initialize(output, writer, nullptr) || !exporter->Export(scene, false)) {
      std::fprintf(stderr, "fbxconvert: cannot write %s: %s\n", output, exporter->GetStatus().GetErrorString());
      result = 1;
    }
  }
  manager->Destroy();
  return result;
}
