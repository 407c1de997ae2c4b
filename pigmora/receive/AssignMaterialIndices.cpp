#include "receive/ImportSteps.h"
#include "receive/LayerElementEntry.h"

namespace pigmora {

void AssignMaterialIndices(IEPolyModel& model, const FbxMesh& constMesh, const ImportTables& tables) {
  auto& mesh = const_cast<FbxMesh&>(constMesh);
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

}  // namespace pigmora
