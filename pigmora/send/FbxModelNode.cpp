#include "send/FbxModelNode.h"

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include "send/ExportJob.h"
#include "send/FbxMaterials.h"

namespace pigmora {

namespace {

void AddControlPoints(FbxMesh* mesh, const IEPolyModel& model) {
  const IEArray<IEVector>& vertices = model.vertices.vectors;
  mesh->InitControlPoints(vertices.count);
  FbxVector4* points = mesh->GetControlPoints();
  for (int i = 0; i < vertices.count; ++i) points[i].Set(vertices[i].x, vertices[i].y, vertices[i].z, 1.0);
}

// Corners with a UV get the next entry of the direct array; corners of a
// polygon without map records get -1, so the direct array holds exactly one
// entry per corner that has a UV. Both arrays are sized once, up front.
void AddPolygons(FbxMesh* mesh, FbxLayerElementUV* uvs, const IEPolyModel& model) {
  int cornerCount = 0, uvCount = 0;
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    cornerCount += polygon->CornerCount();
    if (polygon->maps.count > 0) uvCount += polygon->CornerCount();
  }
  FbxLayerElementArrayTemplate<FbxVector2>& direct = uvs->GetDirectArray();
  FbxLayerElementArrayTemplate<int>& indices = uvs->GetIndexArray();
  direct.Resize(uvCount);
  indices.Resize(cornerCount);

  int nextCorner = 0, nextUV = 0;
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    const IEPolyMap* uvSource = polygon->maps.count > 0 ? polygon->maps[0] : nullptr;
    mesh->BeginPolygon(-1, -1, -1, false);
    for (int corner = 0; corner < polygon->CornerCount(); ++corner) {
      mesh->AddPolygon(polygon->corners[corner], -1);
      if (uvSource) {
        const double v = uvSource->uv[corner][1];
        direct.SetAt(nextUV, FbxVector2(uvSource->uv[corner][0], 1.0 - v));
        indices.SetAt(nextCorner++, nextUV++);
      } else {
        indices.SetAt(nextCorner++, -1);
      }
    }
    mesh->EndPolygon();
  }
}

}  // namespace

FbxNode* BuildFbxNode(FbxManager* manager, const ExportJob& job) {
  const String meshName = job.modelName + "Shape";
  FbxNode* node = FbxNode::Create(manager, job.modelName.Get());
  FbxMesh* mesh = FbxMesh::Create(manager, meshName.Get());
  node->SetNodeAttribute(mesh);
  node->SetShadingMode(FbxNode::eTextureShading);
  FbxLayer* layer = mesh->GetLayer(0);
  if (!layer) {
    mesh->CreateLayer();
    layer = mesh->GetLayer(0);
  }

  const IEPolyModel& model = *job.exportModel;
  AddControlPoints(mesh, model);
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1", FbxLayerElement::eTextureDiffuse);
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  AddPolygons(mesh, uvs, model);
  AddMaterialsAndTextures(manager, job, mesh, layer);
  return node;
}

}  // namespace pigmora
