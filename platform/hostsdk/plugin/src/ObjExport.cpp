// SaveModelAsObj: a host model as a Wavefront OBJ file with its MTL.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/EntryGuard.h"
#include "common/ImageFile.h"
#include "common/SafeReplace.h"

#include "Plugin/DecalKind.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HostProject.h"

namespace fs = std::filesystem;

namespace {

// The MTL statement a decal kind is written as; null for kinds OBJ cannot carry.
const char* MapStatement(int kind) {
  switch (kind) {
    case HDK_COLOR: return "map_Kd";
    case HDK_SPECULAR:
    case HDK_SPECULAR_INTENSITY: return "map_Ks";
    case HDK_AMBIANCE: return "map_Ka";
    case HDK_EMISSIVE_POWER: return "map_Ke";
    case HDK_NORMAL: return "norm";
    case HDK_DISPLACEMENT:
    case HDK_DISPLACEMENT_PERCENT: return "disp";
    default: return nullptr;
  }
}

// The shortest text that reads back as the same float.
std::string Number(float value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The file a path finally names, for comparing two paths.
std::string RealPath(const fs::path& path) {
  std::string error;
  std::string target = safereplace::ResolveLinks(path.string(), error);
  std::error_code ignored;
  return fs::weakly_canonical(target.empty() ? path : fs::path(target), ignored).string();
}

// MTL material names end at white space.
std::string MaterialName(const std::string& name, std::set<std::string>& taken) {
  std::string base;
  for (char c : name) base += (c == ' ' || c == '\t') ? '_' : c;
  if (base.empty()) base = "material";
  std::string candidate = base;
  for (int n = 1; !taken.insert(candidate).second; ++n) candidate = base + "_" + std::to_string(n);
  return candidate;
}

// One material of the file: the patches written with it and its attributes.
struct ObjMaterial {
  std::string groupName;  // empty: the model's own surface, no group
  std::string name;
  HAttrProperty* attr = nullptr;
  std::vector<int> patches;
  // The decals that place the material's patches, those placing the most first.
  std::vector<const HDecal*> decals;
};

class ObjWriter {
public:
  explicit ObjWriter(HModelCache& model) : model_(model) {}

  // The OBJ and its MTL are written completely or not at all; the images the
  // MTL names are copied beside them, so the files travel together.
  bool Write(const fs::path& objPath, std::string& error, std::string& warnings) {
    fs::path mtlPath = objPath;
    mtlPath.replace_extension(".mtl");
    if (RealPath(objPath) == RealPath(mtlPath)) {
      error = "cannot write '" + objPath.string() + "': the OBJ and its MTL would be the same file; use an .obj name";
      return false;
    }
    CollectMaterials();
    CollectDecals();
    SplitByImages();
    NameMaterials();
    safereplace::ReplacementFile obj, mtl;
    if (!obj.Open(objPath.string(), error) || !mtl.Open(mtlPath.string(), error)) return false;
    if (!CopyImages(objPath.parent_path(), error, warnings)) return false;
    std::ostringstream mtlText, objText;
    WriteMtl(mtlText);
    WriteObj(objText, mtlPath.filename().string());
    mtl.Write(mtlText.str());
    obj.Write(objText.str());
    if (!mtl.Commit(error) || !obj.Commit(error)) {
      RemoveCopiedImages();
      return false;
    }
    return true;
  }

private:
  void CollectMaterials() {
    const int patchCount = model_.GetPatchCount();
    std::vector<char> written(static_cast<std::size_t>(patchCount), 0);
    std::vector<ObjMaterial> groups;
    if (HGroupContainer* container = model_.GetChildGroupContainer()) {
      for (HGroup* group = container->GetChildGroup(); group; group = static_cast<HGroup*>(group->GetSibling())) {
        ObjMaterial material;
        material.groupName = group->GetName().Get();
        material.attr = group->GetAttr();
        // A patch in several groups is written with the first.
        for (int patch : group->GetPatchIndices()) {
          if (!written[static_cast<std::size_t>(patch)]) {
            written[static_cast<std::size_t>(patch)] = 1;
            material.patches.push_back(patch);
          }
        }
        groups.push_back(std::move(material));
      }
    }
    ObjMaterial surface;
    surface.attr = model_.GetAttr();
    for (int patch = 0; patch < patchCount; ++patch) {
      if (!written[static_cast<std::size_t>(patch)]) surface.patches.push_back(patch);
    }
    // Ungrouped patches come first, before any group statement.
    if (!surface.patches.empty()) materials_.push_back(std::move(surface));
    for (ObjMaterial& group : groups) materials_.push_back(std::move(group));
  }

  void NameMaterials() {
    std::set<std::string> taken;
    for (ObjMaterial& material : materials_)
      material.name = MaterialName(material.groupName.empty() ? "surface" : material.groupName, taken);
  }

  // Ranks, for each material, the decals by how many of its patches they
  // place: its maps and UVs come from the decals that place it, not from
  // whichever decal comes first on the model.
  void CollectDecals() {
    if (HDecalContainer* container = model_.GetChildDecalContainer()) {
      for (HDecal* decal = container->GetChildDecal(); decal; decal = static_cast<HDecal*>(decal->GetSibling())) {
        decals_.push_back(decal);
      }
    }
    std::vector<int> materialOf(static_cast<std::size_t>(model_.GetPatchCount()), -1);
    for (std::size_t m = 0; m < materials_.size(); ++m)
      for (int patch : materials_[m].patches) materialOf[static_cast<std::size_t>(patch)] = static_cast<int>(m);
    std::vector<std::vector<int>> placed(materials_.size(), std::vector<int>(decals_.size(), 0));
    for (std::size_t d = 0; d < decals_.size(); ++d) {
      for (const HPatchUV& placement : decals_[d]->GetPatchUVs()) {
        if (placement.patch < 0 || placement.patch >= static_cast<int>(materialOf.size())) continue;
        const int material = materialOf[static_cast<std::size_t>(placement.patch)];
        if (material >= 0) ++placed[static_cast<std::size_t>(material)][d];
      }
    }
    // A decal without an image OBJ can name would only lend its UVs: it ranks last.
    std::vector<char> mapped(decals_.size(), 0);
    for (std::size_t d = 0; d < decals_.size(); ++d) mapped[d] = HasMap(*decals_[d]);
    for (std::size_t m = 0; m < materials_.size(); ++m) {
      std::vector<std::size_t> order;
      for (std::size_t d = 0; d < decals_.size(); ++d)
        if (placed[m][d] > 0) order.push_back(d);
      std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (mapped[a] != mapped[b]) return mapped[a] > mapped[b];
        return placed[m][a] > placed[m][b];
      });
      for (std::size_t d : order) materials_[m].decals.push_back(decals_[d]);
    }
  }

  // An MTL material names one image per map statement, but the patches of a
  // group (or the ungrouped ones) may show different images, placed by
  // different decals. Those a later decal paints are written as a group of
  // their own, named after the group and the decal, with its material, so
  // that every patch keeps the image it shows; a group one decal paints is
  // written as it is.
  void SplitByImages() {
    std::vector<ObjMaterial> split;
    for (ObjMaterial& material : materials_) {
      std::vector<const HDecal*> painting;  // the mapped decals, in rank order
      for (const HDecal* decal : material.decals)
        if (HasMap(*decal)) painting.push_back(decal);
      if (painting.size() < 2) {
        split.push_back(std::move(material));
        continue;
      }
      // Each patch goes with the first decal of the ranking that places it;
      // one no decal paints stays with the group's first part.
      std::vector<ObjMaterial> parts(painting.size());
      float uv[4][2];
      for (int patch : material.patches) {
        std::size_t part = 0;
        while (part < painting.size() && !painting[part]->GetPatchUV(patch, uv)) ++part;
        parts[part < painting.size() ? part : 0].patches.push_back(patch);
      }
      // The group's own part first (ungrouped patches must come before any
      // group statement), then the others in the order of their first patches.
      std::vector<std::size_t> order;
      for (std::size_t p = 1; p < parts.size(); ++p)
        if (!parts[p].patches.empty()) order.push_back(p);
      std::sort(order.begin(), order.end(),
                [&](std::size_t a, std::size_t b) { return parts[a].patches.front() < parts[b].patches.front(); });
      if (!parts[0].patches.empty()) order.insert(order.begin(), 0);
      for (std::size_t p : order) {
        ObjMaterial& part = parts[p];
        part.groupName = material.groupName;
        if (p > 0) {
          std::string decal = painting[p]->GetName().Get();
          if (decal.empty()) decal = "decal";
          part.groupName = material.groupName.empty() ? decal : material.groupName + " " + decal;
        }
        part.attr = material.attr;
        part.decals.push_back(painting[p]);
        for (const HDecal* decal : material.decals)
          if (decal != painting[p]) part.decals.push_back(decal);
        split.push_back(std::move(part));
      }
    }
    materials_ = std::move(split);
  }

  void WriteMtl(std::ostream& out) const {
    out << "# " << model_.GetName().Get() << "\n";
    for (const ObjMaterial& material : materials_) {
      HAttrProperty& attr = *material.attr;
      out << "\nnewmtl " << material.name << "\n";
      WriteColour(out, "Kd", attr.GetDiffuseColor()->GetFactoredRGBFloat(), attr.GetDiffuseFallOff()->GetValue());
      WriteColour(out, "Ka", attr.GetAmbianceColor()->GetFactoredRGBFloat(), attr.GetAmbiance()->GetValue());
      WriteColour(out, "Ks", attr.GetSpecularColor()->GetFactoredRGBFloat(), attr.GetSpecularIntensity()->GetValue());
      out << "Ns " << Number(attr.GetSpecularSize()->GetValue()) << "\n";
      out << "d " << Number(1.0f - attr.GetTransparency()->GetValue()) << "\n";
      WriteMaps(out, material);
    }
  }

  static void WriteColour(std::ostream& out, const char* key, const RGBFloat& colour, float factor) {
    out << key << " " << Number(colour.red * factor) << " " << Number(colour.green * factor) << " "
        << Number(colour.blue * factor) << "\n";
  }

  // Per statement, the image of the first clip for it on the decal that
  // places the most of the material's patches and has one.
  std::vector<std::pair<const char*, HImage*>> MapsOf(const ObjMaterial& material) const {
    std::vector<std::pair<const char*, HImage*>> maps;
    std::set<std::string> done;
    for (const HDecal* decal : material.decals) {
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
           clip = static_cast<HDecalClip*>(clip->GetSibling())) {
        const char* statement = MapStatement(clip->GetKind()->GetValue());
        HImage* image = clip->GetClip()->GetClip();
        if (!statement || !image || !done.insert(statement).second) continue;
        maps.emplace_back(statement, image);
      }
    }
    return maps;
  }

  void WriteMaps(std::ostream& out, const ObjMaterial& material) const {
    for (const auto& [statement, image] : MapsOf(material)) {
      const auto copy = copies_.find(image);
      if (copy != copies_.end()) out << statement << " " << copy->second << "\n";
    }
  }

  // Copies every image a material names into folder, under its own file name
  // unless another file already has that name there; copies_ gets the names.
  // Only images are copied (never a FIFO, a folder or some other file that a
  // decal names), piece by piece, and no copy is readable by more people than
  // its source. What is missing or no image is left out and told in warnings:
  // the model itself is still saved.
  bool CopyImages(const fs::path& folder, std::string& error, std::string& warnings) {
    std::set<std::string> taken;
    std::set<const HImage*> leftOut;
    for (const ObjMaterial& material : materials_) {
      for (const auto& [statement, image] : MapsOf(material)) {
        if (copies_.count(image) || leftOut.count(image)) continue;
        fs::path source = image->GetFilename()->GetValue().Get();
        imagefile::OpenImage opened;
        std::string reason;
        if (!opened.Open(source.string(), reason)) {
          warnings += "left out the image '" + source.string() + "', which cannot be copied: " + reason + "\n";
          leftOut.insert(image);
          continue;
        }
        std::string name = source.filename().string();
        for (int n = 1;; ++n) {
          fs::path destination = folder / name;
          if (!taken.count(name)) {
            std::error_code missing;
            if (!fs::exists(destination, missing)) break;
            if (imagefile::SameContents(opened, destination.string())) break;  // already there: nothing to copy
          }
          name = source.stem().string() + "_" + std::to_string(n) + source.extension().string();
        }
        taken.insert(name);
        copies_[image] = name;
        fs::path destination = folder / name;
        std::error_code missing;
        if (fs::exists(destination, missing)) continue;
        if (!imagefile::CopyImage(opened, destination.string(), error)) {
          error = "cannot copy the image '" + source.string() + "' beside the OBJ: " + error;
          RemoveCopiedImages();
          return false;
        }
        copied_.push_back(destination);
      }
    }
    return true;
  }

  void RemoveCopiedImages() {
    std::error_code ignored;
    for (const fs::path& path : copied_) fs::remove(path, ignored);
    copied_.clear();
  }

  static bool HasMap(const HDecal& decal) {
    HDecalClipContainer* clips = decal.GetChildDecalClipContainer();
    for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
         clip = static_cast<HDecalClip*>(clip->GetSibling())) {
      if (MapStatement(clip->GetKind()->GetValue()) && clip->GetClip()->GetClip()) return true;
    }
    return false;
  }

  // UVs from the material's decals that place the patch, in its ranking, so
  // they match the images its maps name; none when no decal places it.
  static bool PatchUV(const ObjMaterial& material, int patch, float (&uv)[4][2]) {
    for (const HDecal* decal : material.decals) {
      if (decal->GetPatchUV(patch, uv)) return true;
    }
    return false;
  }

  void WriteObj(std::ostream& out, const std::string& mtlName) const {
    out << "# " << model_.GetName().Get() << "\nmtllib " << mtlName << "\n";
    for (int i = 0; i < model_.GetPositionCount(); ++i) {
      const HVector& p = model_.GetPosition(i);
      out << "v " << Number(p.x) << " " << Number(p.y) << " " << Number(p.z) << "\n";
    }
    long uvCount = 0;
    for (const ObjMaterial& material : materials_) {
      if (!material.groupName.empty()) out << "g " << material.groupName << "\n";
      out << "usemtl " << material.name << "\n";
      for (int index : material.patches) {
        HPatch* patch = model_.GetPatch(index);
        const int corners = patch->GetCornerCount();
        float uv[4][2];
        const bool hasUV = PatchUV(material, index, uv);
        if (hasUV) {
          for (int k = 0; k < corners; ++k) out << "vt " << Number(uv[k][0]) << " " << Number(1.0f - uv[k][1]) << "\n";
        }
        out << "f";
        for (int k = 0; k < corners; ++k) {
          out << " " << patch->GetCorner(k) + 1;
          if (hasUV) out << "/" << uvCount + k + 1;
        }
        out << "\n";
        if (hasUV) uvCount += corners;
      }
    }
  }

  HModelCache& model_;
  std::vector<ObjMaterial> materials_;
  std::vector<const HDecal*> decals_;
  std::map<const HImage*, std::string> copies_;  // each image's file name beside the OBJ
  std::vector<fs::path> copied_;                 // the copies this save made
};

}  // namespace

int SaveModelAsObj(HModelCache* model, const char* path, String& error, String& warnings) {
  if (!model || !path || !*path) {
    error = "no model or no file to write";
    return 0;
  }
  if (std::strlen(path) >= PATH_MAX) {
    error = ("the file name is too long: " + std::string(path, 200) + "...").c_str();
    return 0;
  }
  std::string problem, leftOut;
  const int written = GuardedEntry(0, [&] { return ObjWriter(*model).Write(path, problem, leftOut) ? 1 : 0; });
  if (written) warnings = leftOut.c_str();
  if (!written)
    error = problem.empty() ? (std::string(path) + ": not enough memory to write").c_str() : problem.c_str();
  return written;
}
