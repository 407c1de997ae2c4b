#include "MeshFile.h"

bool WriteMeshFile(const MeshPlan& plan, const std::string& path, bool ascii) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Test");
  FbxNode* node = FbxNode::Create(manager, plan.nodeName.c_str());
  scene->GetRootNode()->AddChild(node);
  for (const std::string& name : plan.materials) {
    FbxSurfaceLambert* material = plan.lambert ? FbxSurfaceLambert::Create(manager, name.c_str())
                                               : FbxSurfacePhong::Create(manager, name.c_str());
    material->Diffuse.Set(plan.diffuse);
    if (plan.ambient) material->Ambient.Set(*plan.ambient);
    if (plan.factors) {
      material->DiffuseFactor.Set((*plan.factors)[0]);
      material->AmbientFactor.Set((*plan.factors)[1]);
    }
    if (auto* phong = FbxCast<FbxSurfacePhong>(material)) {
      phong->Specular.Set(plan.specular);
      if (plan.factors) phong->SpecularFactor.Set((*plan.factors)[2]);
    }
    node->AddMaterial(material);
  }
  if (plan.withMesh) {
    FbxMesh* mesh = FbxMesh::Create(manager, (plan.nodeName + "Shape").c_str());
    node->SetNodeAttribute(mesh);
    mesh->InitControlPoints(static_cast<int>(plan.points.size()));
    for (std::size_t i = 0; i < plan.points.size(); ++i) {
      mesh->SetControlPointAt(FbxVector4(plan.points[i][0], plan.points[i][1], plan.points[i][2]), static_cast<int>(i));
    }
    for (const auto& polygon : plan.polygons) {
      mesh->PolygonStarts().push_back(static_cast<int>(mesh->PolygonVertices().size()));
      for (int corner : polygon) mesh->PolygonVertices().push_back(corner);
    }
    if (plan.uvLayout != MeshPlan::NoUVs) {
      FbxLayerElementUV* uvs = mesh->CreateElementUV(plan.uvSetName.c_str());
      auto& direct = uvs->GetDirectArray().Items();
      auto& index = uvs->GetIndexArray().Items();
      if (plan.uvLayout == MeshPlan::UVByControlPoint) {
        uvs->SetMappingMode(FbxLayerElement::eByControlPoint);
        uvs->SetReferenceMode(FbxLayerElement::eDirect);
        for (const auto& uv : plan.pointUVs) direct.push_back(FbxVector2(uv[0], uv[1]));
      } else {
        uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
        const bool indexed = plan.uvLayout == MeshPlan::UVByCornerIndexed;
        uvs->SetReferenceMode(indexed ? FbxLayerElement::eIndexToDirect : FbxLayerElement::eDirect);
        for (const auto& polygon : plan.cornerUVs) {
          for (const auto& uv : polygon) {
            if (indexed) index.push_back(static_cast<int>(direct.size()));
            direct.push_back(FbxVector2(uv[0], uv[1]));
          }
        }
        if (!plan.uvIndexOverride.empty()) index = plan.uvIndexOverride;
      }
    }
    if (!plan.polygonMaterials.empty()) {
      FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
      materials->SetMappingMode(plan.materialsAllSame ? FbxLayerElement::eAllSame : FbxLayerElement::eByPolygon);
      materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
      materials->GetIndexArray().Items() = plan.polygonMaterials;
    }
  }
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const bool ok = exporter->Initialize(path.c_str(), ascii ? 1 : 0, nullptr) && exporter->Export(scene, false);
  manager->Destroy();
  return ok;
}

MeshPlan GridPlan(int quadsPerSide, const std::vector<std::string>& materials) {
  MeshPlan plan;
  plan.materials = materials;
  const int side = quadsPerSide + 1;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) plan.points.push_back({double(x), double(y), 0.0});
  }
  for (int y = 0; y < quadsPerSide; ++y) {
    for (int x = 0; x < quadsPerSide; ++x) {
      const int a = y * side + x;
      plan.polygons.push_back({a, a + 1, a + side + 1, a + side});
      const double u0 = double(x) / quadsPerSide, u1 = double(x + 1) / quadsPerSide;
      const double v0 = double(y) / quadsPerSide, v1 = double(y + 1) / quadsPerSide;
      plan.cornerUVs.push_back({{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
      plan.polygonMaterials.push_back(0);
    }
  }
  return plan;
}
