#include "Answer.h"

#include <common/ExchangeNames.h>

#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "AnswerFolder.h"
#include "AnswerNames.h"
#include "CommandFile.h"
#include "ImageFile.h"
#include "PeerMesh.h"
#include "StagedFiles.h"
#include "TexturePainter.h"
#include "UVLayout.h"

namespace {

// Bounds of the parts of an image's file name taken from model and material
// names, so that a path stays within what the receive reads.
constexpr std::size_t kModelPartLimit = 48;
constexpr std::size_t kMaterialPartLimit = 40;

struct RequestedChannel {
  PaintChannel channel;
  std::string line;  // the channel line of "textures.txt"
  std::string type;  // image file type
  int depth = 8;     // bits a sample
};

std::vector<RequestedChannel> RequestedChannels(const CommandFile& command) {
  const std::string colourType = ImageFileType(command.Text("ColorFileExtension", "TGA"));
  const std::string otherType = ImageFileType(command.Text("SpecNormExtension", "TGA"));
  const std::string displacementWord = command.Text("DisplTexExt", "BMP");
  const std::string displacementType = ImageFileType(displacementWord);
  const int displacementDepth = ImageDepth(displacementType, command.Text("DisplDepth", ""));
  if (command.Number("ExportDispl", 0) && displacementType != displacementWord)
    std::fprintf(stderr, "pigmora-peer: cannot write %s images; the displacement is written as PNG\n",
                 displacementWord.c_str());
  std::vector<RequestedChannel> channels;
  if (command.Number("ExportColor", 0)) channels.push_back({PC_COLOR, "color", colourType});
  if (command.Number("ExportSpecular", 0)) channels.push_back({PC_SPECULAR, "specular", otherType});
  if (command.Number("ExportEmissivePower", 0)) channels.push_back({PC_EMISSIVE_POWER, "emissive_power", otherType});
  if (command.Number("ExportNormalmap", 0)) channels.push_back({PC_NORMALMAP, "normalmap", otherType});
  if (command.Number("ExportDispl", 0))
    channels.push_back({PC_DISPLACEMENT, "displacement 0.5", displacementType, displacementDepth});
  return channels;
}

std::string Lower(std::string word) {
  for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return word;
}

std::string ChannelWord(const RequestedChannel& requested) {
  return requested.line.substr(0, requested.line.find(' '));
}

// Where one answer's files go: "Pigmora/MODEL.fbx" and
// "Pigmora/textures/MODEL/N_MATERIAL_CHANNEL.EXT" in the exchange folder, the
// position N keeping materials of alike names apart.
struct AnswerPaths {
  std::string answerFolder;
  std::string fbx;
  std::string textureFolder;
  std::vector<std::vector<std::string>> images;  // by material, by requested channel
};

bool PlanPaths(const PeerOptions& options, const PeerMesh& mesh, const std::vector<RequestedChannel>& channels,
               AnswerPaths& paths, std::string& problem) {
  for (char c : options.exchangeDir) {
    if (static_cast<unsigned char>(c) < 0x20) {
      problem = "the exchange folder's path holds a control character, which textures.txt cannot carry: " +
                options.exchangeDir;
      return false;
    }
  }
  const std::string model = FileNamePart(mesh.nodeName, kModelPartLimit, "model", true);
  paths.answerFolder = options.exchangeDir + "Pigmora";
  paths.fbx = paths.answerFolder + "/" + model + ".fbx";
  paths.textureFolder = paths.answerFolder + "/textures/" + model;
  for (std::size_t m = 0; m < mesh.materials.size(); ++m) {
    const std::string prefix = paths.textureFolder + "/" + std::to_string(m + 1) + "_" +
                               FileNamePart(mesh.materials[m].name, kMaterialPartLimit, "material", false) + "_";
    paths.images.emplace_back();
    for (const RequestedChannel& requested : channels) {
      const std::string path = prefix + ChannelWord(requested) + "." + Lower(requested.type);
      if (path.size() > kMaxAnswerLine) {
        problem = "the image path " + path + " is longer than the " + std::to_string(kMaxAnswerLine) +
                  " characters the receive reads; use a shorter documents folder";
        return false;
      }
      paths.images.back().push_back(path);
    }
  }
  return true;
}

bool Stopped(const PeerOptions& options, std::string& problem) {
  if (!options.stop || !*options.stop) return false;
  problem = "stopped before the answer was complete; no answer written";
  return true;
}

}  // namespace

bool AnswerCommand(const PeerOptions& options, std::string& report, std::string& problem) {
  CommandFile command;
  if (!ReadCommandFile(options.exchangeDir + exchange::kCommandFile, command, problem)) return false;
  PeerMesh mesh;
  if (!LoadPeerMesh(command.modelPath, mesh, problem)) return false;

  // The names written into the FBX file are the ones "textures.txt" lists.
  std::vector<std::string> names;
  for (const PeerMesh::Material& material : mesh.materials) names.push_back(material.name);
  names = AnswerMaterialNames(names);
  for (std::size_t m = 0; m < names.size(); ++m) mesh.materials[m].name = names[m];
  const bool laidOut = !HasCompleteUVs(mesh);
  if (laidOut)
    LayOutUVs(mesh, options.imageSize);
  else if (!IsOneLineName(mesh.uvSetName))
    mesh.uvSetName = "map1";

  const std::vector<RequestedChannel> channels = RequestedChannels(command);
  AnswerPaths paths;
  if (!PlanPaths(options, mesh, channels, paths, problem)) return false;

  if (Stopped(options, problem)) return false;
  AnswerLock lock;
  if (!lock.Acquire(paths.answerFolder, problem)) return false;
  if (!RetirePreviousAnswer(options.exchangeDir, problem)) return false;
  RemoveLeftoverTemporaries(options.exchangeDir, paths.answerFolder);
  std::error_code error;
  std::filesystem::create_directories(paths.textureFolder, error);
  if (error) {
    problem = "cannot create " + paths.textureFolder + ": " + error.message();
    return false;
  }

  report = "answered [" + command.mode + "] for " + command.modelPath + ": node \"" + mesh.nodeName + "\", " +
           std::to_string(mesh.PolygonCount()) + " polygons, " + std::to_string(mesh.materials.size()) + " materials" +
           (laidOut ? ", UVs laid out anew" : "") + "\n";
  // Every image is written in full before any is put in place, so a failure
  // leaves the images of earlier answers as they were.
  StagedFiles images;
  std::string textures;
  const std::vector<std::vector<int>> polygons = PolygonsByMaterial(mesh);
  for (std::size_t m = 0; m < mesh.materials.size(); ++m) {
    if (channels.empty()) break;
    const MaterialCoverage coverage = CoverPolygons(mesh, polygons[m], options.imageSize);
    for (std::size_t c = 0; c < channels.size(); ++c) {
      if (Stopped(options, problem)) return false;
      const std::string& path = paths.images[m][c];
      const PaintedImage image = PaintMaterialChannel(coverage, static_cast<int>(m), channels[c].channel);
      std::string bytes;
      if (!EncodeImage(image, channels[c].type, channels[c].depth, bytes)) {
        problem = "cannot encode " + path;
        return false;
      }
      if (!images.Stage(path, bytes, problem)) return false;
      textures += mesh.materials[m].name + "\n" + mesh.uvSetName + "\n" + channels[c].line + "\n" + path + "\n";
      report += "  painted " + path + " (" + mesh.materials[m].name + ", " + ChannelWord(channels[c]) + ")\n";
    }
  }
  if (Stopped(options, problem)) return false;
  if (!SavePeerMesh(std::move(mesh), paths.fbx, options.ascii, problem)) return false;
  report += "  wrote " + paths.fbx + (options.ascii ? " (ASCII FBX)\n" : " (binary FBX)\n");
  if (!images.Publish(problem)) return false;
  if (!WriteTextFile(textures, options.exchangeDir + exchange::kTextureListFile, problem)) return false;
  if (!WriteTextFile(paths.fbx + "\n", options.exchangeDir + exchange::kAnswerFile, problem)) return false;
  report += "  wrote " + options.exchangeDir + "textures.txt and, last, export.txt\n";
  return true;
}
