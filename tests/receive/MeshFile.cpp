#include "MeshFile.h"

bool WriteMeshFile(const MeshSpec& spec, const std::string& path, bool ascii) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Test");
  FbxNode* node = FbxNode::Create(manager, spec.nodeName.c_str());
  scene->GetRootNode()->AddChild(node);
  for (const std::string& name : spec.materials) {
    FbxSurfaceLambert* material = spec.lambert ? FbxSurfaceLambert::Create(manager, name.c_str())
                                               : FbxSurfacePhong::Create(manager, name.c_str());
    material->Diffuse.Set(spec.diffuse);
    if (auto* phong = FbxCast<FbxSurfacePhong>(material)) phong->Specular.Set(spec.specular);
    node->AddMaterial(material);
  }
  if (spec.withMesh) {
    FbxMesh* mesh = FbxMesh::Create(manager, (spec.nodeName + "Shape").c_str());
    node->SetNodeAttribute(mesh);
    mesh->InitControlPoints(static_cast<int>(spec.points.size()));
    for (std::size_t i = 0; i < spec.points.size(); ++i) {
      mesh->SetControlPointAt(FbxVector4(spec.points[i][0], spec.points[i][1], spec.points[i][2]), static_cast<int>(i));
    }
    for (const auto& polygon : spec.polygons) {
      mesh->PolygonStarts().push_back(static_cast<int>(mesh->PolygonVertices().size()));
      for (int corner : polygon) mesh->PolygonVertices().push_back(corner);
    }
    if (spec.uvLayout != MeshSpec::NoUVs) {
      FbxLayerElementUV* uvs = mesh->CreateElementUV(spec.uvSetName.c_str());
      auto& direct = uvs->GetDirectArray().Items();
      auto& index = uvs->GetIndexArray().Items();
      if (spec.uvLayout == MeshSpec::UVByControlPoint) {
        uvs->SetMappingMode(FbxLayerElement::eByControlPoint);
        uvs->SetReferenceMode(FbxLayerElement::eDirect);
        for (const auto& uv : spec.pointUVs) direct.push_back(FbxVector2(uv[0], uv[1]));
      } else {
        uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
        const bool indexed = spec.uvLayout == MeshSpec::UVByCornerIndexed;
        uvs->SetReferenceMode(indexed ? FbxLayerElement::eIndexToDirect : FbxLayerElement::eDirect);
        for (const auto& polygon : spec.cornerUVs) {
          for (const auto& uv : polygon) {
            if (indexed) index.push_back(static_cast<int>(direct.size()));
            direct.push_back(FbxVector2(uv[0], uv[1]));
          }
        }
        if (!spec.uvIndexOverride.empty()) index = spec.uvIndexOverride;
      }
    }
    if (!spec.polygonMaterials.empty()) {
      FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
      materials->SetMappingMode(spec.materialsAllSame ? FbxLayerElement::eAllSame : FbxLayerElement::eByPolygon);
      materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
      materials->GetIndexArray().Items() = spec.polygonMaterials;
    }
  }
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const bool ok = exporter->Initialize(path.c_str(), ascii ? 1 : 0, nullptr) && exporter->Export(scene, false);
  manager->Destroy();
  return ok;
}

MeshSpec GridSpec(int quadsPerSide, const std::vector<std::string>& materials) {
  MeshSpec spec;
  spec.materials = materials;
  const int side = quadsPerSide + 1;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) spec.points.push_back({double(x), double(y), 0.0});
  }
  for (int y = 0; y < quadsPerSide; ++y) {
    for (int x = 0; x < quadsPerSide; ++x) {
      const int a = y * side + x;
      spec.polygons.push_back({a, a + 1, a + side + 1, a + side});
      const double u0 = double(x) / quadsPerSide, u1 = double(x + 1) / quadsPerSide;
      const double v0 = double(y) / quadsPerSide, v1 = double(y + 1) / quadsPerSide;
      spec.cornerUVs.push_back({{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
      spec.polygonMaterials.push_back(0);
    }
  }
  return spec;
}
