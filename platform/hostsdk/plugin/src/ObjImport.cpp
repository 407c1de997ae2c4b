// ImportObjFile: a Wavefront OBJ file (with its MTL) as a host model.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <tiny_obj_loader.h>

#include "DecalsByImageAndKind.h"
#include "ObjLineCheck.h"
#include "Plugin/DecalKind.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "Plugin/HostProject.h"
#include "WorkProgress.h"
#include "common/EntryGuard.h"

namespace fs = std::filesystem;

namespace {

bool IsBlack(const tinyobj::real_t (&colour)[3]) { return colour[0] == 0 && colour[1] == 0 && colour[2] == 0; }

RGBFloat ColourOf(const tinyobj::real_t (&colour)[3]) { return RGBFloat::FromRGB(colour[0], colour[1], colour[2]); }

void ApplyMaterial(const tinyobj::material_t& material, HAttrProperty& attr) {
  attr.GetDiffuseColor()->SetRGBFloat(ColourOf(material.diffuse));
  attr.GetDiffuseFallOff()->SetValue(1.0f);
  attr.GetAmbianceColor()->SetRGBFloat(ColourOf(material.ambient));
  attr.GetAmbiance()->SetValue(IsBlack(material.ambient) ? 0.0f : 1.0f);
  attr.GetSpecularColor()->SetRGBFloat(ColourOf(material.specular));
  attr.GetSpecularIntensity()->SetValue(IsBlack(material.specular) ? 0.0f : 1.0f);
  attr.GetSpecularSize()->SetValue(material.shininess);
  attr.GetTransparency()->SetValue(1.0f - material.dissolve);
}

// The texture maps of a material as (file name, decal kind), in a fixed order.
std::vector<std::pair<std::string, int>> TextureMaps(const tinyobj::material_t& material) {
  std::vector<std::pair<std::string, int>> maps;
  auto add = [&](const std::string& name, int kind) {
    if (!name.empty()) maps.emplace_back(name, kind);
  };
  add(material.diffuse_texname, HDK_COLOR);
  add(material.specular_texname, HDK_SPECULAR);
  add(material.ambient_texname, HDK_AMBIANCE);
  add(material.emissive_texname, HDK_EMISSIVE_POWER);
  add(material.normal_texname.empty() ? material.bump_texname : material.normal_texname, HDK_NORMAL);
  add(material.displacement_texname, HDK_DISPLACEMENT);
  return maps;
}

class ObjModelBuilder {
public:
  // faceCorners: the corner count of every face in file order.
  ObjModelBuilder(HProject& project, const fs::path& objPath, const tinyobj::ObjReader& reader,
                  const std::vector<std::size_t>& faceCorners, String& warnings, const ObjImportProgress& progress)
      : project_(project),
        folder_(objPath.parent_path()),
        reader_(reader),
        faceCorners_(faceCorners),
        warnings_(warnings),
        building_(progress, "building", faceCorners.size()) {
    model_ = HModelCache::NewInProject(&project, objPath.stem().string().c_str());
    decals_.emplace(*model_);
  }

  HModelCache* Build() {
    const tinyobj::attrib_t& attrib = reader_.GetAttrib();
    model_->ReservePositions(attrib.vertices.size() / 3);
    for (std::size_t i = 0; i + 2 < attrib.vertices.size(); i += 3) {
      model_->AddPosition(attrib.vertices[i], attrib.vertices[i + 1], attrib.vertices[i + 2]);
    }
    for (const tinyobj::shape_t& shape : reader_.GetShapes()) AddShape(shape);
    model_->BuildSplinesAlongPatchEdges();
    return model_;
  }

private:
  void AddShape(const tinyobj::shape_t& shape) {
    const tinyobj::mesh_t& mesh = shape.mesh;
    const bool severalMaterials = std::adjacent_find(mesh.material_ids.begin(), mesh.material_ids.end(),
                                                     std::not_equal_to<int>()) != mesh.material_ids.end();
    std::size_t offset = 0;
    for (std::size_t face = 0; face < mesh.num_face_vertices.size(); ++face) {
      building_.Step(nextFace_);
      const int cornerCount = static_cast<int>(faceCorners_[nextFace_++]);
      const int materialId = face < mesh.material_ids.size() ? mesh.material_ids[face] : -1;
      const std::string group = GroupName(shape.name, MaterialOf(materialId), severalMaterials);
      const tinyobj::index_t* corners = &mesh.indices[offset];
      offset += static_cast<std::size_t>(cornerCount);
      if (cornerCount == 3 || cornerCount == 4) {
        AddPatch(group, materialId, corners,
                 cornerCount == 4 ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 1, 2});
        continue;
      }
      for (int k = 1; k + 1 < cornerCount; ++k) AddPatch(group, materialId, corners, {0, k, k + 1});
    }
  }

  const tinyobj::material_t* MaterialOf(int materialId) const {
    return materialId >= 0 && materialId < static_cast<int>(reader_.GetMaterials().size())
               ? &reader_.GetMaterials()[static_cast<std::size_t>(materialId)]
               : nullptr;
  }

  // A host group has one material, an OBJ object or group may use several
  // (as modelling applications write an object with its materials): each
  // material's faces then form a group of their own, "object material", or
  // named after the material alone where the file names no object, so that
  // every face keeps its material's colours.
  static std::string GroupName(const std::string& shape, const tinyobj::material_t* material, bool severalMaterials) {
    if (!severalMaterials || !material || material->name.empty()) return shape;
    return shape.empty() ? material->name : shape + " " + material->name;
  }

  void AddPatch(const std::string& groupName, int materialId, const tinyobj::index_t* corners,
                const std::vector<int>& pick) {
    int v[4] = {-1, -1, -1, -1};
    for (std::size_t k = 0; k < pick.size(); ++k) v[k] = corners[pick[k]].vertex_index;
    HPatch* patch = model_->AddPatch(v[0], v[1], v[2], v[3]);
    if (!patch) return;
    KeepNormals(patch->GetIndex(), corners, pick);
    const tinyobj::material_t* material = MaterialOf(materialId);
    if (HGroup* group = GroupFor(groupName, material))
      group->AddPatch(patch->GetIndex());
    else if (material && !modelHasMaterial_) {
      ApplyMaterial(*material, *model_->GetAttr());
      modelHasMaterial_ = true;
    }
    if (!material) return;

    float uv[4][2] = {};
    for (std::size_t k = 0; k < pick.size(); ++k) {
      int t = corners[pick[k]].texcoord_index;
      if (t < 0) return;  // no UVs: the textures cannot be placed
      const std::vector<tinyobj::real_t>& uvs = reader_.GetAttrib().texcoords;
      uv[k][0] = uvs[2 * static_cast<std::size_t>(t)];
      uv[k][1] = 1.0f - uvs[2 * static_cast<std::size_t>(t) + 1];
    }
    if (pick.size() == 3) {
      uv[3][0] = uv[0][0];
      uv[3][1] = uv[0][1];
    }
    for (const auto& [file, kind] : TextureMaps(*material)) {
      if (HDecal* decal = DecalFor(file, kind)) decal->SetPatchUV(patch->GetIndex(), uv);
    }
  }

  // Patches of an unnamed group stay ungrouped; their material becomes the model's.
  HGroup* GroupFor(const std::string& name, const tinyobj::material_t* material) {
    if (name.empty()) return nullptr;
    auto found = groups_.find(name);
    if (found != groups_.end()) return found->second;
    HGroup* group = model_->AddGroup(name.c_str());
    if (material) ApplyMaterial(*material, *group->GetAttr());
    groups_[name] = group;
    return group;
  }

  HDecal* DecalFor(const std::string& file, int kind) {
    HImage* image = ImageFor(file);
    return image ? decals_->DecalFor(image, kind) : nullptr;
  }

  // The normals the face gives its corners, when it gives every corner one.
  void KeepNormals(int patch, const tinyobj::index_t* corners, const std::vector<int>& pick) {
    const std::vector<tinyobj::real_t>& normals = reader_.GetAttrib().normals;
    float given[4][3] = {};
    for (std::size_t k = 0; k < 4; ++k) {
      const int n = corners[pick[k < pick.size() ? k : 0]].normal_index;
      if (n < 0) return;
      for (std::size_t axis = 0; axis < 3; ++axis) given[k][axis] = normals[3 * static_cast<std::size_t>(n) + axis];
    }
    model_->SetPatchNormals(patch, given);
  }

  // The project's image of a map's file, one per file. A file that is not
  // there keeps its map, with a warning once: the view shows it as a checker
  // until the file comes, as it does a damaged image, and the map is not lost.
  HImage* ImageFor(const std::string& file) {
    fs::path imagePath = fs::path(file).is_absolute() ? fs::path(file) : folder_ / file;
    std::string key = imagePath.lexically_normal().string();
    auto found = images_.find(key);
    if (found != images_.end()) return found->second;
    std::error_code error;
    if (!fs::is_regular_file(imagePath, error))
      warnings_ +=
          ("image " + key + " not found; its texture map shows as a checker until the file is there\n").c_str();
    HImage* image = project_.AddImage(key.c_str());
    images_[key] = image;
    return image;
  }

  HProject& project_;
  fs::path folder_;
  const tinyobj::ObjReader& reader_;
  const std::vector<std::size_t>& faceCorners_;
  std::size_t nextFace_ = 0;
  String& warnings_;
  WorkProgress building_;
  HModelCache* model_ = nullptr;
  bool modelHasMaterial_ = false;
  std::map<std::string, HGroup*> groups_;
  std::optional<DecalsByImageAndKind> decals_;
  std::map<std::string, HImage*> images_;
};

// The parser's reading must agree with the checked lines: every face with the
// corner count the line check counted (the parser keeps it modulo 256), every
// index inside its list, every number finite. Anything else would put wrong
// corners or UVs into the model.
bool ReadingIsConsistent(const tinyobj::ObjReader& reader, const std::vector<std::size_t>& faceCorners) {
  const tinyobj::attrib_t& attrib = reader.GetAttrib();
  for (tinyobj::real_t value : attrib.vertices)
    if (!std::isfinite(value)) return false;
  for (tinyobj::real_t value : attrib.texcoords)
    if (!std::isfinite(value)) return false;
  const long long positions = static_cast<long long>(attrib.vertices.size() / 3);
  const long long uvs = static_cast<long long>(attrib.texcoords.size() / 2);
  const long long normals = static_cast<long long>(attrib.normals.size() / 3);
  std::size_t face = 0;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    std::size_t corners = 0;
    for (auto count : shape.mesh.num_face_vertices) {
      if (face >= faceCorners.size() || faceCorners[face] < 3 || count != (faceCorners[face] & 0xff)) return false;
      corners += faceCorners[face++];
    }
    if (corners != shape.mesh.indices.size()) return false;
    for (const tinyobj::index_t& index : shape.mesh.indices) {
      if (index.vertex_index < 0 || index.vertex_index >= positions) return false;
      if (index.texcoord_index < -1 || index.texcoord_index >= uvs) return false;
      if (index.normal_index < -1 || index.normal_index >= normals) return false;
    }
  }
  return face == faceCorners.size();
}

}  // namespace

namespace {

// Runs `work`, which reads files only, on a worker thread while this thread
// tells `progress` about it every tenth of a second; without one it runs here.
template <class Work>
auto TellingProgress(const ObjImportProgress& progress, const char* stage, Work work) {
  if (!progress) return work();
  progress(stage, -1);
#if defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
  return work();  // a C++ library without threads (MinGW's win32 model): the stage is told once
#else
  auto pending = std::async(std::launch::async, std::move(work));
  while (pending.wait_for(kWorkProgressInterval) != std::future_status::ready) progress(stage, -1);
  return pending.get();
#endif
}

HModelCache* Import(HProject* project, const char* path, String& error, String& warnings,
                    const ObjImportProgress& progress) {
  if (!project || !path || !*path) {
    error = "no project or no file to import";
    return nullptr;
  }
  if (std::strlen(path) >= PATH_MAX) {
    error = ("the file name is too long: " + EchoedText(path)).c_str();
    return nullptr;
  }
  std::string problem;
  std::vector<std::size_t> faceCorners;
  if (!TellingProgress(progress, "checking", [&] { return CheckObjLines(path, problem, faceCorners); })) {
    error = problem.c_str();
    return nullptr;
  }
  tinyobj::ObjReaderConfig config;
  config.triangulate = false;
  config.vertex_color = false;
  config.mtl_search_path = fs::path(path).parent_path().string();
  tinyobj::ObjReader reader;
  const bool parsed = TellingProgress(progress, "reading", [&] { return reader.ParseFromFile(path, config); });
  if (!reader.Warning().empty()) warnings += reader.Warning().c_str();
  if (!parsed) {
    std::string message = reader.Error();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    error = (std::string(path) + ": " + (message.empty() ? "cannot read the file" : message)).c_str();
    return nullptr;
  }
  if (!ReadingIsConsistent(reader, faceCorners)) {
    error = (std::string(path) + ": the file's faces could not be read consistently; it is left out").c_str();
    return nullptr;
  }
  bool hasFaces = false;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) hasFaces = hasFaces || !shape.mesh.num_face_vertices.empty();
  if (!hasFaces) {
    error = (std::string(path) + ": the file holds no faces").c_str();
    return nullptr;
  }
  // Everything below works on checked data; the model is added in one go.
  return ObjModelBuilder(*project, path, reader, faceCorners, warnings, progress).Build();
}

}  // namespace

HModelCache* ImportObjFile(HProject* project, const char* path, String& error, String& warnings,
                           const ObjImportProgress& progress) {
  HModelCache* model =
      GuardedEntry<HModelCache*>(nullptr, [&] { return Import(project, path, error, warnings, progress); });
  if (!model && error.IsEmpty()) error = (std::string(path ? path : "") + ": not enough memory to import").c_str();
  return model;
}
