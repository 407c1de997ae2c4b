#include "ReceiveFuzzCase.h"

#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>
#include <afxwin.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

#include "app/PluginState.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

namespace {

const char kDefaultTextures[] =
    "lambert1\nmap1\ncolor\n/fuzz/lambert1_color.png\n"
    "Material\nUVMap\nnormalmap\n/fuzz/material_normal.png\n"
    "phong1\nmap1\nspecular\n/fuzz/phong1_specular.png\n";

bool WriteFile(const char* path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  return static_cast<bool>(file);
}

// The inputs name their images under "/fuzz/". The receive takes only images,
// so those names are moved into a folder of the exchange folder, where each
// plain file name gets a one-pixel image.
constexpr std::string_view kImagePrefix = "/fuzz/";

std::string WithImagesIn(const std::string& textures, const std::string& folder) {
  static const unsigned char kTga[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 0x40, 0x80, 0xc0};
  std::string moved;
  std::size_t start = 0;
  while (start < textures.size()) {
    std::size_t end = textures.find('\n', start);
    if (end == std::string::npos) end = textures.size();
    std::string line = textures.substr(start, end - start);
    if (line.rfind(kImagePrefix, 0) == 0) {
      const std::string name = line.substr(kImagePrefix.size());
      line = folder + name;
      const bool plain = !name.empty() && name.size() <= 64 &&
                         name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-") ==
                             std::string::npos &&
                         name != "." && name != "..";
      if (plain) WriteFile(line.c_str(), std::string(reinterpret_cast<const char*>(kTga), sizeof kTga));
    }
    moved += line;
    if (end < textures.size()) moved += '\n';
    start = end + 1;
  }
  return moved;
}

// A model named as the peer's answers name theirs, an instance of it, and the
// images that answers may name again (under imageFolder).
void FillProject(HProject& project, const std::string& imageFolder) {
  HModelCache* cube = HModelCache::NewInProject(&project, "Cube");
  for (int i = 0; i < 6; ++i) cube->AddPosition(static_cast<float>(i & 1), static_cast<float>(i >> 1), 0.0f);
  cube->AddPatch(0, 1, 3, 2);
  cube->AddPatch(2, 3, 5);
  cube->BuildSplinesAlongPatchEdges();
  cube->AddGroup("lambert1")->AddPatch(1);
  HDecal* decal = cube->AddDecal("lambert1");
  decal->AddDecalClip(project.AddImage((imageFolder + "lambert1_color.png").c_str()));
  const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  decal->SetPatchUV(0, uv);
  decal->SetPatchUV(1, uv);
  project.AddImage((imageFolder + "other.png").c_str());
  project.AddScene("Shot")->AddInstance(cube);
}

std::string Tree(HProject* project) {
  std::ostringstream text;
  PrintProjectTree(project, text);
  return text.str();
}

std::string CheckModel(HModelCache& model, const std::set<const HHashObject*>& images) {
  const std::string name = std::string("model '") + model.GetName().Get() + "': ";
  const int positions = model.GetPositionCount();
  const int patches = model.GetPatchCount();
  for (int i = 0; i < positions; ++i) {
    const HVector& p = model.GetPosition(i);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return name + "a position is not finite";
  }
  for (int i = 0; i < patches; ++i) {
    const HPatch* patch = model.GetPatch(i);
    const int corners = patch ? patch->GetCornerCount() : 0;
    if (corners != 3 && corners != 4) return name + "a patch without three or four corners";
    if (patch->GetIndex() != i) return name + "a patch out of its place";
    for (int k = 0; k < 4; ++k) {
      if (patch->GetCorner(k) < 0 || patch->GetCorner(k) >= positions) return name + "a corner out of range";
    }
  }
  for (HSpline* spline = model.GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
    HCP* cp = spline->GetHeadCP();
    for (int n = 0; n < spline->CountCPs() && cp; ++n, cp = cp->GetNext()) {
      if (cp->GetPositionIndex() < 0 || cp->GetPositionIndex() >= positions)
        return name + "a spline point out of range";
    }
  }
  if (HGroupContainer* groups = model.GetChildGroupContainer()) {
    for (HHashObject* g = groups->GetChildGroup(); g; g = g->GetSibling()) {
      for (std::int32_t patch : static_cast<HGroup*>(g)->GetPatchIndices()) {
        if (patch < 0 || patch >= patches) return name + "a group member out of range";
      }
    }
  }
  if (HDecalContainer* decals = model.GetChildDecalContainer()) {
    for (HHashObject* d = decals->GetChildDecal(); d; d = d->GetSibling()) {
      auto* decal = static_cast<HDecal*>(d);
      for (const HPatchUV& placement : decal->GetPatchUVs()) {
        if (placement.patch < 0 || placement.patch >= patches) return name + "a decal placement out of range";
      }
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      for (HHashObject* c = clips ? clips->GetChildDecalClip() : nullptr; c; c = c->GetSibling()) {
        HImage* image = static_cast<HDecalClip*>(c)->GetClip()->GetClip();
        if (image && !images.count(image)) return name + "a decal clip shows an image outside the project";
      }
    }
  }
  return "";
}

std::string CheckProject(HProject& project) {
  std::set<const HHashObject*> models;
  std::set<const HHashObject*> images;
  for (HHashObject* c = project.GetChildClipCacheContainer()->GetChild(); c; c = c->GetSibling()) images.insert(c);
  for (HHashObject* c = project.GetChildObjectCacheContainer()->GetChild(); c; c = c->GetSibling()) {
    HModelCache* model = c->GetAsModelCache();
    if (!model) continue;
    models.insert(model);
    const std::string problem = CheckModel(*model, images);
    if (!problem.empty()) return problem;
  }
  for (HHashObject* scene = project.GetChildSceneContainer()->GetChild(); scene; scene = scene->GetSibling()) {
    for (HHashObject* child = scene->GetChild(); child; child = child->GetSibling()) {
      HAnimObject* instance = child->GetAnimObject();
      if (instance && instance->GetCache() && !models.count(instance->GetCache()))
        return "an instance shows a model outside the project";
    }
  }
  return "";
}

}  // namespace

ReceiveFuzzAnswer SplitReceiveFuzzInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = bytes.rfind(kTexturesMarker);
  if (marker == std::string_view::npos) return {std::string(bytes), kDefaultTextures};
  return {std::string(bytes.substr(0, marker)), std::string(bytes.substr(marker + sizeof kTexturesMarker - 1))};
}

std::string ReceiveFuzzAnswerIntoProject(pigmora::PluginState& plugin, const ReceiveFuzzAnswer& answer) {
  const pigmora::ExchangeFolder& exchange = plugin.Exchange;
  const std::string fbxPath = std::string(exchange.exportFile.Get()) + ".fbx";
  const std::string imageFolder = std::string(exchange.exchangeDir.Get()) + "fuzz-images/";
  std::error_code ignored;
  std::filesystem::create_directories(imageFolder, ignored);
  const std::string textures = WithImagesIn(answer.textures, imageFolder);
  if (!WriteFile(fbxPath.c_str(), answer.fbx) || !WriteFile(exchange.texturesFile.Get(), textures) ||
      !WriteFile(exchange.exportFile.Get(), fbxPath + "\n"))
    return "the answer could not be written";

  HProject* project = CreateHostProject(true);
  FillProject(*project, imageFolder);
  const std::string before = Tree(project);
  AfxGetHeadlessDisplay().ClearMessageBoxes();
  const int result = plugin.Receive(pigmora::ReceiveTrigger::Command);
  bool failed = false;
  for (const AfxMessageBoxRecord& box : AfxGetHeadlessDisplay().MessageBoxes()) {
    if (box.caption != "Pigmora" && box.caption != "Info") return "a box under '" + box.caption + "'";
    failed = failed || box.caption == "Pigmora";
  }
  std::string problem;
  if (result != 1) problem = "the answer was not taken";
  if (problem.empty() && failed && Tree(project) != before) problem = "a failed receive changed the project";
  if (problem.empty()) problem = CheckProject(*project);
  DestroyHostProject(project);
  AfxGetHeadlessDisplay().ClearMessageBoxes();
  return problem;
}
