// SaveModelAsObj: a host model as a Wavefront OBJ file with its MTL.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "EntryGuard.h"
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
};

class ObjWriter {
public:
  explicit ObjWriter(HModelCache& model) : model_(model) {}

  bool Write(const fs::path& objPath, String& error) {
    CollectMaterials();
    CollectDecals();
    fs::path mtlPath = objPath;
    mtlPath.replace_extension(".mtl");
    std::ofstream obj(objPath, std::ios::binary);
    std::ofstream mtl(mtlPath, std::ios::binary);
    if (!obj || !mtl) {
      error = ("cannot write " + (obj ? mtlPath : objPath).string()).c_str();
      return false;
    }
    WriteMtl(mtl);
    WriteObj(obj, mtlPath.filename().string());
    obj.flush();
    mtl.flush();
    if (!obj || !mtl) {
      error = ("cannot write " + (obj ? mtlPath : objPath).string()).c_str();
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
    std::set<std::string> taken;
    for (ObjMaterial& material : materials_) {
      material.name = MaterialName(material.groupName.empty() ? "surface" : material.groupName, taken);
    }
  }

  void CollectDecals() {
    if (HDecalContainer* container = model_.GetChildDecalContainer()) {
      for (HDecal* decal = container->GetChildDecal(); decal; decal = static_cast<HDecal*>(decal->GetSibling())) {
        decals_.push_back(decal);
      }
    }
  }

  void WriteMtl(std::ofstream& out) const {
    out << "# " << model_.GetName().Get() << "\n";
    for (const ObjMaterial& material : materials_) {
      HAttrProperty& attr = *material.attr;
      out << "\nnewmtl " << material.name << "\n";
      WriteColour(out, "Kd", attr.GetDiffuseColor()->GetFactoredRGBFloat(), attr.GetDiffuseFallOff()->GetValue());
      WriteColour(out, "Ka", attr.GetAmbianceColor()->GetFactoredRGBFloat(), attr.GetAmbiance()->GetValue());
      WriteColour(out, "Ks", attr.GetSpecularColor()->GetFactoredRGBFloat(), attr.GetSpecularIntensity()->GetValue());
      out << "Ns " << attr.GetSpecularSize()->GetValue() << "\n";
      out << "d " << 1.0f - attr.GetTransparency()->GetValue() << "\n";
      WriteMaps(out, material);
    }
  }

  static void WriteColour(std::ofstream& out, const char* key, const RGBFloat& colour, float factor) {
    out << key << " " << colour.red * factor << " " << colour.green * factor << " " << colour.blue * factor << "\n";
  }

  // Per statement, the image of the first decal clip whose decal covers a
  // patch of the material.
  void WriteMaps(std::ofstream& out, const ObjMaterial& material) const {
    std::set<std::string> done;
    for (const HDecal* decal : decals_) {
      if (!Covers(*decal, material.patches)) continue;
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
           clip = static_cast<HDecalClip*>(clip->GetSibling())) {
        const char* statement = MapStatement(clip->GetKind()->GetValue());
        HImage* image = clip->GetClip()->GetClip();
        if (!statement || !image || !done.insert(statement).second) continue;
        out << statement << " " << image->GetFilename()->GetValue().Get() << "\n";
      }
    }
  }

  static bool Covers(const HDecal& decal, const std::vector<int>& patches) {
    float uv[4][2];
    for (int patch : patches) {
      if (decal.GetPatchUV(patch, uv)) return true;
    }
    return false;
  }

  // UVs from the first decal that covers the patch; none when no decal does.
  bool PatchUV(int patch, float (&uv)[4][2]) const {
    for (const HDecal* decal : decals_) {
      if (decal->GetPatchUV(patch, uv)) return true;
    }
    return false;
  }

  void WriteObj(std::ofstream& out, const std::string& mtlName) const {
    out << "# " << model_.GetName().Get() << "\nmtllib " << mtlName << "\n";
    for (int i = 0; i < model_.GetPositionCount(); ++i) {
      const HVector& p = model_.GetPosition(i);
      out << "v " << p.x << " " << p.y << " " << p.z << "\n";
    }
    long uvCount = 0;
    for (const ObjMaterial& material : materials_) {
      if (!material.groupName.empty()) out << "g " << material.groupName << "\n";
      out << "usemtl " << material.name << "\n";
      for (int index : material.patches) {
        HPatch* patch = model_.GetPatch(index);
        const int corners = patch->GetCornerCount();
        float uv[4][2];
        const bool hasUV = PatchUV(index, uv);
        if (hasUV) {
          for (int k = 0; k < corners; ++k) out << "vt " << uv[k][0] << " " << 1.0f - uv[k][1] << "\n";
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
};

}  // namespace

int SaveModelAsObj(HModelCache* model, const char* path, String& error) {
  if (!model || !path || !*path) {
    error = "no model or no file to write";
    return 0;
  }
  const int written = GuardedEntry(0, [&] { return ObjWriter(*model).Write(path, error) ? 1 : 0; });
  if (!written && error.IsEmpty()) error = (std::string(path) + ": not enough memory to write").c_str();
  return written;
}
