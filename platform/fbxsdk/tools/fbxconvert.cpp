// fbxconvert IN OUT --ascii|--binary [--uncompressed]: reads an FBX file and writes its scene with
// the chosen writer.
#include <fbxsdk.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  bool ascii = argc >= 4 && std::strcmp(argv[3], "--ascii") == 0;
  bool binary = argc >= 4 && std::strcmp(argv[3], "--binary") == 0;
  bool uncompressed = argc == 5 && std::strcmp(argv[4], "--uncompressed") == 0;
  if ((argc != 4 && !(argc == 5 && uncompressed && binary)) || !(ascii || binary)) {
    std::fprintf(stderr,
                 "usage: fbxconvert IN OUT --ascii|--binary [--uncompressed]\n"
                 "Reads IN and writes its nodes, meshes, UV sets, material layers, materials and\n"
                 "textures to OUT as FBX 7.4 in the chosen encoding. Binary output has its arrays\n"
                 "compressed, as other exporters write them, unless --uncompressed is given.\n");
    return 2;
  }
  const char* input = argv[1];
  const char* output = argv[2];

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
    FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
    settings->SetBoolProp(FbxExporter::kCompressArrays, !uncompressed);
    FbxExporter* exporter = FbxExporter::Create(manager, "");
    if (!exporter->Initialize(output, writer, settings) || !exporter->Export(scene, false)) {
      std::fprintf(stderr, "fbxconvert: cannot write %s: %s\n", output, exporter->GetStatus().GetErrorString());
      result = 1;
    }
  }
  manager->Destroy();
  return result;
}
