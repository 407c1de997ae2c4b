#include <string>
#include <unordered_map>
#include <vector>

#include "receive/ImportSteps.h"

namespace pigmora {

namespace {

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

// Stored blue, green, red: the FBX colour's components in reverse order.
void StoreColour(float (&stored)[3], const FbxDouble3& colour) {
  stored[0] = static_cast<float>(colour[2]);
  stored[1] = static_cast<float>(colour[1]);
  stored[2] = static_cast<float>(colour[0]);
}

void ReadSurface(IEMaterial& record, const FbxSurfaceLambert& lambert) {
  StoreColour(record.diffuse, lambert.Diffuse.Get());
  StoreColour(record.ambient, lambert.Ambient.Get());
  record.diffuseFactor = static_cast<float>(lambert.DiffuseFactor.Get());
  record.ambientFactor = static_cast<float>(lambert.AmbientFactor.Get());
  // A Lambert has no specular: the record keeps its defaults there.
  if (const auto* phong = dynamic_cast<const FbxSurfacePhong*>(&lambert)) {
    StoreColour(record.specular, phong->Specular.Get());
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

}  // namespace

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

}  // namespace pigmora
