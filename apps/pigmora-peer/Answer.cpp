#include "Answer.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "CommandFile.h"
#include "ImageFile.h"
#include "PeerMesh.h"
#include "TexturePainter.h"

namespace {

struct RequestedChannel {
  PaintChannel channel;
  std::string line;  // the channel line of "textures.txt"
  std::string type;  // image file type
};

std::vector<RequestedChannel> RequestedChannels(const CommandFile& command) {
  const std::string colourType = ImageFileType(command.Text("ColorFileExtension", "TGA"));
  const std::string otherType = ImageFileType(command.Text("SpecNormExtension", "TGA"));
  const std::string displacementWord = command.Text("DisplTexExt", "BMP");
  const std::string displacementType = ImageFileType(displacementWord);
  if (command.Number("ExportDispl", 0) && displacementType != displacementWord)
    std::fprintf(stderr, "pigmora-peer: cannot write %s images; the displacement is written as PNG\n",
                 displacementWord.c_str());
  std::vector<RequestedChannel> channels;
  if (command.Number("ExportColor", 0)) channels.push_back({PC_COLOR, "color", colourType});
  if (command.Number("ExportSpecular", 0)) channels.push_back({PC_SPECULAR, "specular", otherType});
  if (command.Number("ExportEmissivePower", 0)) channels.push_back({PC_EMISSIVE_POWER, "emissive_power", otherType});
  if (command.Number("ExportNormalmap", 0)) channels.push_back({PC_NORMALMAP, "normalmap", otherType});
  if (command.Number("ExportDispl", 0)) channels.push_back({PC_DISPLACEMENT, "displacement 0.5", displacementType});
  return channels;
}

std::string FileNamePart(const std::string& name) {
  std::string part;
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    part += plain ? c : '_';
  }
  return part.empty() ? "material" : part;
}

std::string Lower(std::string word) {
  for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return word;
}

}  // namespace

bool AnswerCommand(const PeerOptions& options, std::string& report, std::string& problem) {
  CommandFile command;
  if (!ReadCommandFile(options.exchangeDir + "import.txt", command, problem)) return false;
  PeerMesh mesh;
  if (!LoadPeerMesh(command.modelPath, mesh, problem)) return false;

  const std::filesystem::path answerDir = std::filesystem::path(options.exchangeDir) / "Pigmora";
  const std::filesystem::path textureDir = answerDir / "textures";
  std::error_code error;
  std::filesystem::create_directories(textureDir, error);
  if (error) {
    problem = "cannot create " + textureDir.string();
    return false;
  }

  report = "answered [" + command.mode + "] for " + command.modelPath + ": node \"" + mesh.nodeName + "\", " +
           std::to_string(mesh.PolygonCount()) + " polygons, " + std::to_string(mesh.materials.size()) + " materials\n";
  const std::string uvSet = mesh.uvSetName.empty() ? "map1" : mesh.uvSetName;
  std::string textures;
  const std::vector<RequestedChannel> channels = RequestedChannels(command);
  for (std::size_t m = 0; m < mesh.materials.size(); ++m) {
    for (const RequestedChannel& requested : channels) {
      const std::string word = requested.line.substr(0, requested.line.find(' '));
      const std::string fileName =
          std::to_string(m + 1) + "_" + FileNamePart(mesh.materials[m].name) + "_" + word + "." + Lower(requested.type);
      const std::string path = (textureDir / fileName).string();
      const PaintedImage image = PaintMaterialChannel(mesh, static_cast<int>(m), requested.channel, options.imageSize);
      if (!WriteImageFile(image, requested.type, path, problem)) return false;
      textures += mesh.materials[m].name + "\n" + uvSet + "\n" + requested.line + "\n" + path + "\n";
      report += "  painted " + path + " (" + mesh.materials[m].name + ", " + word + ")\n";
    }
  }
  const std::string fbxPath = (answerDir / "pigmora-answer.fbx").string();
  if (!SavePeerMesh(mesh, fbxPath, options.ascii, problem)) return false;
  report += "  wrote " + fbxPath + (options.ascii ? " (ASCII FBX)\n" : " (binary FBX)\n");
  if (!WriteTextFile(textures, options.exchangeDir + "textures.txt", problem)) return false;
  if (!WriteTextFile(fbxPath + "\n", options.exchangeDir + "export.txt", problem)) return false;
  report += "  wrote " + options.exchangeDir + "textures.txt and, last, export.txt\n";
  return true;
}
