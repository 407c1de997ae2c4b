// fbxconvert: reads an FBX file and writes its scene with the chosen writer.
#include <common/HugePages.h>
#include <common/ToolOptions.h>
#include <fbxsdk.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const common::ToolHelp kHelp = {
    "fbxconvert",
    "Usage: fbxconvert IN OUT --ascii|--binary [--uncompressed]\n"
    "\n"
    "Reads the FBX file IN and writes its nodes, meshes, UV sets, material layers, materials and\n"
    "textures to OUT as FBX 7.4 in the chosen encoding. OUT is replaced only once it is complete.\n"
    "\n"
    "Options:\n"
    "  --ascii          write the ASCII encoding\n"
    "  --binary         write the binary encoding, its arrays compressed as other exporters write them\n"
    "  --uncompressed   with --binary, leave the arrays uncompressed\n"
    "  -h, --help       print this help and exit\n"
    "  --version        print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 when OUT was written, 1 when IN could not be read or OUT not written, 2 for wrong arguments.\n"};

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // a file of many objects fills hundreds of megabytes
  bool ascii = false, binary = false, uncompressed = false;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--ascii")
      ascii = true;
    else if (arg == "--binary")
      binary = true;
    else if (arg == "--uncompressed")
      uncompressed = true;
    else if (common::AnswerStandardOption(kHelp, arg))
      return common::kToolStatusDone;
    else if (arg.size() > 1 && arg[0] == '-')
      return common::RefuseArguments(kHelp, "unknown option '" + arg + "'");
    else
      files.push_back(argv[i]);
  }
  if (files.size() != 2) return common::RefuseArguments(kHelp, "give one input and one output file");
  if (ascii == binary) return common::RefuseArguments(kHelp, "choose one of --ascii and --binary");
  if (uncompressed && !binary) return common::RefuseArguments(kHelp, "--uncompressed goes with --binary");
  const char* input = files[0];
  const char* output = files[1];

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
