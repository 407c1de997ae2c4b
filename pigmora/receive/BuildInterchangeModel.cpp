#include "receive/BuildInterchangeModel.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "receive/InterchangePolygons.h"
#include "receive/LayerElementEntry.h"

namespace pigmora {

int FindUnusableControlPoint(const FbxMesh& mesh) {
  const int count = mesh.GetControlPointsCount();
  const FbxVector4* points = mesh.GetControlPoints();
  for (int i = 0; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      // Also what a float cannot hold: it would become infinite on the way.
      if (!(std::fabs(points[i][axis]) <= FLT_MAX)) return i;
    }
  }
  return -1;
}

namespace {

// Control point i becomes vertex i (double narrowed to float, unscaled).
bool AddVertices(IEPolyModel& model, const FbxMesh& mesh) {
  const int count = mesh.GetControlPointsCount();
  const FbxVector4* points = mesh.GetControlPoints();
  IEArray<IEVector>& vertices = model.vertices.vectors;
  if (!vertices.SetCount(count)) return false;
  for (int i = 0; i < count; ++i) {
    vertices[i] =
        IEVector{static_cast<float>(points[i][0]), static_cast<float>(points[i][1]), static_cast<float>(points[i][2])};
  }
  return true;
}

// Texture path i becomes an image of the model; a path the model cannot hold
// is left out with a note.
void AddImages(IEPolyModel& model, const TextureList& list, ImportTables& tables) {
  tables.imageOfTexture.assign(list.texturePaths.size(), -1);
  // Room for all at once: appending would copy the list every 20 images.
  const auto wanted = static_cast<std::int32_t>(list.texturePaths.size());
  model.images.Reserve(model.images.count + wanted);
  model.imageTags.Reserve(model.imageTags.count + wanted);
  for (std::size_t i = 0; i < list.texturePaths.size(); ++i) {
    const String& path = list.texturePaths[i];
    if (!model.AddImage(path.Get())) {
      tables.notes.push_back(String("The texture '") + path + "' could not be added and was left out.");
      continue;
    }
    tables.imageOfTexture[i] = model.images.count - 1;
  }
}

// The node's materials in order, with hashed look-ups by exact name and by
// name without letter case; the first of equal names wins, as with the node's
// own GetMaterialIndex. Read once, since the node's typed look-ups walk all of
// its connections.
class NodeMaterials {
public:
  explicit NodeMaterials(const FbxNode& node) {
    for (int i = 0; i < node.GetSrcObjectCount(); ++i) {
      if (auto* material = FbxCast<FbxSurfaceMaterial>(node.GetSrcObject(i))) {
        const int index = static_cast<int>(materials_.size());
        materials_.push_back(material);
        exact_.emplace(material->GetName(), index);
        folded_.emplace(CaseFoldedName(material->GetName()), index);
      }
    }
  }
  int Count() const { return static_cast<int>(materials_.size()); }
  const FbxSurfaceMaterial* At(int index) const { return materials_[static_cast<std::size_t>(index)]; }
  // The exact name first, then one that differs only in letter case; -1 for none.
  int Find(const String& name) const {
    auto found = exact_.find(name.Get());
    if (found != exact_.end()) return found->second;
    found = folded_.find(CaseFoldedName(name.Get()));
    return found != folded_.end() ? found->second : -1;
  }

private:
  std::vector<const FbxSurfaceMaterial*> materials_;
  std::unordered_map<std::string, int> exact_;
  std::unordered_map<std::string, int> folded_;
};

// Stored blue, green, red: the FBX color's components in reverse order.
void StoreColor(float (&stored)[3], const FbxDouble3& color) {
  stored[0] = static_cast<float>(color[2]);
  stored[1] = static_cast<float>(color[1]);
  stored[2] = static_cast<float>(color[0]);
}

void ReadSurface(IEMaterial& record, const FbxSurfaceLambert& lambert) {
  StoreColor(record.diffuse, lambert.Diffuse.Get());
  StoreColor(record.ambient, lambert.Ambient.Get());
  record.diffuseFactor = static_cast<float>(lambert.DiffuseFactor.Get());
  record.ambientFactor = static_cast<float>(lambert.AmbientFactor.Get());
  // A Lambert has no specular: the record keeps its defaults there.
  if (const auto* phong = dynamic_cast<const FbxSurfacePhong*>(&lambert)) {
    StoreColor(record.specular, phong->Specular.Get());
    record.specularFactor = static_cast<float>(phong->SpecularFactor.Get());
  }
}

// Adds the node's material at nodeIndex under name; -1 with a note when the
// model cannot hold the name, -2 with the reason when the material is unreadable.
int AddNodeMaterial(IEPolyModel& model, const FbxNode& node, const FbxSurfaceMaterial* material, const String& name,
                    ImportTables& tables, String& errorText) {
  const auto* lambert = FbxCast<FbxSurfaceLambert>(material);
  if (!lambert) {
    errorText = String("FBX: Material '") + name + "' of node '" + node.GetName() +
                "' is neither a Phong nor a Lambert material";
    return -2;
  }
  if (name.Length() > kHostNameLimit) {
    tables.notes.push_back(String("The material '") + name +
                           "' has a name longer than 255 characters and was left out.");
    return -1;
  }
  IEMaterial* record = model.AddMaterial(name.Get());
  if (!record) {
    tables.notes.push_back(String("The material '") + name + "' could not be added and was left out.");
    return -1;
  }
  ReadSurface(*record, *lambert);
  tables.modelMaterialNames.push_back(name);
  return model.materials.count - 1;
}

// The texture list's materials that the node has, in list order, then the
// node's other materials, read as Phong or Lambert (a Lambert has no
// specular). False with the reason when a node material is neither.
bool AddMaterials(IEPolyModel& model, const TextureList& list, const FbxNode& node, ImportTables& tables,
                  String& errorText) {
  const NodeMaterials nodeMaterials(node);
  const int nodeCount = nodeMaterials.Count();
  // Room for all at once: appending would copy the list every 20 materials.
  model.materials.Reserve(model.materials.count + nodeCount);
  model.materialTags.Reserve(model.materialTags.count + nodeCount);
  tables.modelMaterialOfNode.assign(static_cast<std::size_t>(nodeCount), -1);
  tables.listMaterialOfModel.clear();
  std::vector<bool> taken(static_cast<std::size_t>(nodeCount), false);

  auto add = [&](int nodeIndex, const String& name, int listIndex) {
    taken[static_cast<std::size_t>(nodeIndex)] = true;
    const int added = AddNodeMaterial(model, node, nodeMaterials.At(nodeIndex), name, tables, errorText);
    if (added == -2) return false;
    tables.modelMaterialOfNode[static_cast<std::size_t>(nodeIndex)] = added;
    if (added >= 0) tables.listMaterialOfModel.push_back(listIndex);
    return true;
  };

  for (std::size_t i = 0; i < list.materials.size(); ++i) {
    const int nodeIndex = nodeMaterials.Find(list.materials[i].name);
    if (nodeIndex < 0 || taken[static_cast<std::size_t>(nodeIndex)]) continue;
    if (!add(nodeIndex, list.materials[i].name, static_cast<int>(i))) return false;
  }
  // Materials Pigmora painted nothing for keep their polygons' group.
  for (int nodeIndex = 0; nodeIndex < nodeCount; ++nodeIndex) {
    if (taken[static_cast<std::size_t>(nodeIndex)]) continue;
    const FbxSurfaceMaterial* material = nodeMaterials.At(nodeIndex);
    if (!add(nodeIndex, String(material ? material->GetName() : ""), -1)) return false;
  }
  return true;
}

// Every polygon takes the material of the FBX polygon it came from.
void AssignMaterialIndices(IEPolyModel& model, FbxMesh& mesh, const ImportTables& tables) {
  const FbxLayerElementMaterial* element = mesh.GetElementMaterial(0);
  if (!element) return;  // every polygon keeps material -1
  const int nodeMaterials = static_cast<int>(tables.modelMaterialOfNode.size());
  for (std::int32_t j = 0; j < model.polygons.count; ++j) {
    // Matched through the FBX polygon it came from, so a skipped or split
    // polygon shifts no other polygon's material.
    const int nodeMaterial = NodeMaterialOf(*element, tables.sourcePolygon[static_cast<std::size_t>(j)]);
    model.polygons[j]->material = nodeMaterial >= 0 && nodeMaterial < nodeMaterials
                                      ? tables.modelMaterialOfNode[static_cast<std::size_t>(nodeMaterial)]
                                      : -1;
  }
}

// Materials no polygon uses would only become empty groups, one more with
// every round trip: they are left out, and the polygons' indices follow.
void DropUnusedMaterials(IEPolyModel& model, ImportTables& tables) {
  const std::int32_t count = model.materials.count;
  std::vector<char> used(static_cast<std::size_t>(count), 0);
  for (const IEPoly* polygon : model.polygons) {
    if (polygon && polygon->material >= 0 && polygon->material < count)
      used[static_cast<std::size_t>(polygon->material)] = 1;
  }
  std::vector<int> newIndex(static_cast<std::size_t>(count), -1);
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!used[static_cast<std::size_t>(i)]) continue;
    const auto from = static_cast<std::size_t>(i);
    const auto to = static_cast<std::size_t>(kept);
    model.materials[kept] = model.materials[i];
    model.materialTags[kept] = model.materialTags[i];
    tables.listMaterialOfModel[to] = tables.listMaterialOfModel[from];
    tables.modelMaterialNames[to] = tables.modelMaterialNames[from];
    newIndex[from] = kept++;
  }
  if (kept == count) return;
  model.materials.SetCount(kept);
  model.materialTags.SetCount(kept);
  tables.listMaterialOfModel.resize(static_cast<std::size_t>(kept));
  tables.modelMaterialNames.resize(static_cast<std::size_t>(kept));
  for (IEPoly* polygon : model.polygons) {
    if (polygon && polygon->material >= 0 && polygon->material < count)
      polygon->material = newIndex[static_cast<std::size_t>(polygon->material)];
  }
  for (int& material : tables.modelMaterialOfNode) {
    if (material >= 0) material = newIndex[static_cast<std::size_t>(material)];
  }
}

// A polygon with UVs gets one map per textured channel of its material, in
// channel order, each with the channel's kind and the polygon's UVs.
bool ExpandChannelMaps(IEPolyModel& model, const TextureList& list, const ImportTables& tables) {
  const int modelMaterials = static_cast<int>(tables.listMaterialOfModel.size());
  for (std::int32_t j = 0; j < model.polygons.count; ++j) {
    IEPoly* polygon = model.polygons[j];
    const PolygonUVs& uvs = tables.polygonUVs[static_cast<std::size_t>(j)];
    if (!polygon || !uvs.present || polygon->material < 0 || polygon->material >= modelMaterials) continue;
    const int listMaterial = tables.listMaterialOfModel[static_cast<std::size_t>(polygon->material)];
    if (listMaterial < 0) continue;  // a material Pigmora painted nothing for
    const MaterialTextures& textures = list.materials[static_cast<std::size_t>(listMaterial)];
    int images[kTextureChannelCount];
    int count = 0;
    for (int channel = 0; channel < kTextureChannelCount; ++channel) {
      const int texture = textures.channels[channel];
      images[channel] = texture >= 0 ? tables.imageOfTexture[static_cast<std::size_t>(texture)] : -1;
      if (images[channel] >= 0) ++count;
    }
    if (count == 0) continue;
    const std::int32_t first = polygon->maps.count;
    if (!polygon->maps.SetCount(first + count)) return false;
    std::int32_t slot = first;
    for (int channel = 0; channel < kTextureChannelCount; ++channel) {
      if (images[channel] < 0) continue;
      auto* map = new IEPolyMap;
      map->SetKind(kTextureChannelKinds[channel]);
      map->image = images[channel];
      for (int k = 0; k < 4; ++k) {
        map->uv[k][0] = uvs.uv[k][0];
        map->uv[k][1] = uvs.uv[k][1];
      }
      polygon->maps[slot++] = map;
    }
  }
  return true;
}

constexpr std::size_t kNamesShown = 5;

bool HasTexture(const MaterialTextures& textures, const ImportTables& tables) {
  for (int texture : textures.channels) {
    if (texture >= 0 && tables.imageOfTexture[static_cast<std::size_t>(texture)] >= 0) return true;
  }
  return false;
}

// Tells the user, in a note, of the materials whose textures no polygon can
// show because none of their polygons has UVs.
void NoteTexturesWithoutUVs(const IEPolyModel& model, const TextureList& list, ImportTables& tables) {
  const std::size_t materials = tables.listMaterialOfModel.size();
  std::vector<char> hasPolygons(materials, 0);
  std::vector<char> hasMaps(materials, 0);
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon || polygon->material < 0 || static_cast<std::size_t>(polygon->material) >= materials) continue;
    const auto material = static_cast<std::size_t>(polygon->material);
    hasPolygons[material] = 1;
    if (polygon->maps.count > 0) hasMaps[material] = 1;
  }
  std::vector<const String*> unshown;
  for (std::size_t m = 0; m < materials; ++m) {
    const int listMaterial = tables.listMaterialOfModel[m];
    if (listMaterial < 0 || !hasPolygons[m] || hasMaps[m]) continue;
    if (HasTexture(list.materials[static_cast<std::size_t>(listMaterial)], tables))
      unshown.push_back(&tables.modelMaterialNames[m]);
  }
  if (unshown.empty()) return;
  std::string names;
  for (std::size_t i = 0; i < unshown.size() && i < kNamesShown; ++i)
    names += std::string(i ? ", '" : "'") + unshown[i]->Get() + "'";
  if (unshown.size() > kNamesShown) names += ", ...";
  const std::string text =
      unshown.size() == 1
          ? "Pigmora's textures for the material " + names + " cannot be shown: its polygons have no UVs."
          : "Pigmora's textures for " + std::to_string(unshown.size()) + " materials (" + names +
                ") cannot be shown: their polygons have no UVs.";
  tables.notes.push_back(String(text.c_str()));
}

// Images no map shows (those of materials without polygons) would only
// clutter the project: they are left out, and the maps' indices follow.
void DropUnusedImages(IEPolyModel& model) {
  const std::int32_t count = model.images.count;
  std::vector<int> newIndex(static_cast<std::size_t>(count), -1);
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    for (const IEPolyMap* map : polygon->maps) {
      if (map && map->image >= 0 && map->image < count) newIndex[static_cast<std::size_t>(map->image)] = 0;
    }
  }
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (newIndex[static_cast<std::size_t>(i)] < 0) continue;
    model.images[kept] = model.images[i];
    model.imageTags[kept] = model.imageTags[i];
    newIndex[static_cast<std::size_t>(i)] = kept++;
  }
  if (kept == count) return;
  model.images.SetCount(kept);
  model.imageTags.SetCount(kept);
  for (IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    for (IEPolyMap* map : polygon->maps) {
      if (map && map->image >= 0 && map->image < count) map->image = newIndex[static_cast<std::size_t>(map->image)];
    }
  }
}

}  // namespace

bool BuildInterchangeModel(IEPolyModel& model, FbxNode& node, FbxMesh& mesh, const TextureList& list,
                           ImportTables& tables, String& errorText) {
  if (!AddVertices(model, mesh)) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  AddImages(model, list, tables);
  if (!AddMaterials(model, list, node, tables, errorText)) return false;
  if (!AddPolygons(model, mesh, list, tables)) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  if (model.polygons.count == 0) {
    errorText = String("FBX: The mesh of node '") + node.GetName() + "' has no polygon of three or more corners";
    return false;
  }
  AssignMaterialIndices(model, mesh, tables);
  std::vector<int>().swap(tables.sourcePolygon);  // the polygons hold their materials now
  DropUnusedMaterials(model, tables);
  const bool expanded = ExpandChannelMaps(model, list, tables);
  std::vector<PolygonUVs>().swap(tables.polygonUVs);  // the maps hold the UVs; the merge needs the memory
  if (!expanded) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  NoteTexturesWithoutUVs(model, list, tables);
  DropUnusedImages(model);
  return true;
}

}  // namespace pigmora
