#include "SendFixture.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "app/PluginState.h"
#include "fbx/FbxContext.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"
#include "ui/DlgIO.h"

using namespace pigmora;

void SendTest::SetUp() {
  state_.Start(true);
  project_ = state_.project;
  state_.Settings().SetSettingString("exePath", "/opt/pigmora/Pigmora");
}

void SendTest::TearDown() { state_.Stop(); }

void SendTest::Send(HTreeObject* object, UINT buttonId) {
  state_.Plugin().CurrentTreeObject.Set(object);
  PressModeButton(nullptr, buttonId, state_.Plugin().ForSend());
}

HModelCache* SendTest::Sample() const {
  HTreeObject* object = FindTreeObjectByPath(project_, "Objects/Sample");
  return object ? object->GetAsModelCache() : nullptr;
}

std::string SendTest::ImageFile(const char* clipName) const {
  HTreeObject* object = FindTreeObjectByPath(project_, (std::string("Images/") + clipName).c_str());
  auto* image = dynamic_cast<HImage*>(object);
  return image ? image->GetFilename()->GetValue().Get() : "";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));  // a last line without its line feed
  return lines;
}

namespace {

std::vector<double> Position(const FbxVector4& point) { return Rounded({point[0], point[1], point[2]}); }

void ReadMaterial(FbxSurfaceMaterial& material, SentModel& sent) {
  const std::string name = material.GetName();
  sent.materials.push_back(name);
  if (auto* phong = FbxCast<FbxSurfacePhong>(&material)) {
    sent.diffuse[name] = phong->Diffuse.Get();
    sent.ambient[name] = phong->Ambient.Get();
    sent.specular[name] = phong->Specular.Get();
    sent.factors[name] = {{"DiffuseFactor", phong->DiffuseFactor.Get()},
                          {"AmbientFactor", phong->AmbientFactor.Get()},
                          {"SpecularFactor", phong->SpecularFactor.Get()},
                          {"BumpFactor", phong->BumpFactor.Get()},
                          {"DisplacementFactor", phong->DisplacementFactor.Get()}};
  }
  for (int s = 0; s < material.GetSrcObjectCount(); ++s) {
    if (auto* texture = FbxCast<FbxFileTexture>(material.GetSrcObject(s)))
      sent.textures[name][material.GetSrcPropertyName(s)].push_back(texture->GetFileName());
  }
}

}  // namespace

SentModel ReadWithOurReader(const std::string& path) {
  SentModel sent;
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "read back");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  const bool read = importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false);
  EXPECT_TRUE(read) << path << ": " << importer->GetStatus().GetErrorString();
  importer->Destroy();
  FbxNode* root = scene->GetRootNode();
  EXPECT_EQ(root->GetChildCount(), 1) << "one node, nothing else";
  FbxNode* node = root->GetChildCount() > 0 ? root->GetChild(0) : nullptr;
  FbxMesh* mesh = node ? node->GetMesh() : nullptr;
  if (!mesh) {
    ADD_FAILURE() << path << " holds no node with a mesh";
    manager->Destroy();
    return sent;
  }
  sent.nodeName = node->GetName();
  sent.meshName = mesh->GetName();
  if (scene->GetDocumentInfo()) sent.title = scene->GetDocumentInfo()->mTitle.Buffer();
  for (int m = 0; m < node->GetMaterialCount(); ++m) ReadMaterial(*node->GetMaterial(m), sent);

  FbxLayerElementUV* uvs = mesh->GetElementUV("map1");
  FbxLayerElementMaterial* materials = mesh->GetElementMaterial(0);
  EXPECT_NE(uvs, nullptr);
  if (uvs) sent.uvCount = uvs->GetDirectArray().GetCount();
  EXPECT_NE(materials, nullptr);
  for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
    SentPolygon polygon;
    for (int k = 0; k < mesh->GetPolygonSize(p); ++k) {
      polygon.corners.push_back(Position(mesh->GetControlPointAt(mesh->GetPolygonVertex(p, k))));
      const int uvIndex = uvs ? uvs->GetIndexArray().GetAt(mesh->GetPolygonVertexIndex(p) + k) : -1;
      if (uvIndex >= 0) {
        FbxVector2 uv = uvs->GetDirectArray().GetAt(uvIndex);
        polygon.uvs.push_back(Rounded({uv[0], uv[1]}));
      } else {
        polygon.uvs.emplace_back();
      }
    }
    const int material = materials ? materials->GetIndexArray().GetAt(p) : -1;
    polygon.material = node->GetMaterial(material) ? node->GetMaterial(material)->GetName() : "?";
    sent.polygons.push_back(std::move(polygon));
  }
  manager->Destroy();
  return sent;
}

namespace {

std::string MaterialNameOfGroup(HGroup& group) {
  std::string name = group.GetMatchName().Get();
  for (char& c : name)
    if (c == ' ') c = '_';
  return name == "default" ? "default1" : name;
}

bool DecalShowsAnImage(HDecal& decal) {
  HDecalClipContainer* clips = decal.GetChildDecalClipContainer();
  for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
       clip = static_cast<HDecalClip*>(clip->GetSibling()))
    if (clip->GetClip()->GetClip()) return true;
  return false;
}

}  // namespace

std::vector<SentPolygon> ExpectedPolygons(HModelCache& model) {
  std::vector<SentPolygon> polygons;
  for (int i = 0; i < model.GetPatchCount(); ++i) {
    HPatch* patch = model.GetPatch(i);
    SentPolygon polygon;
    for (int k = 0; k < patch->GetCornerCount(); ++k) {
      const HVector& p = model.GetPosition(patch->GetCorner(k));
      polygon.corners.push_back(Rounded({p.x, p.y, p.z}));
    }
    polygon.uvs.assign(polygon.corners.size(), {});
    HDecalContainer* decals = model.GetChildDecalContainer();
    for (HDecal* decal = decals ? decals->GetChildDecal() : nullptr; decal;
         decal = static_cast<HDecal*>(decal->GetSibling())) {
      float uv[4][2];
      if (!DecalShowsAnImage(*decal) || !decal->GetPatchUV(i, uv)) continue;
      for (std::size_t k = 0; k < polygon.corners.size(); ++k) {
        const double v = uv[k][1];
        polygon.uvs[k] = Rounded({uv[k][0], 1.0 - v});
      }
      break;
    }
    polygon.material = "default";
    HGroupContainer* groups = model.GetChildGroupContainer();
    for (HGroup* group = groups ? groups->GetChildGroup() : nullptr; group;
         group = static_cast<HGroup*>(group->GetSibling())) {
      if (group->IsPatchInGroup(patch)) {
        polygon.material = MaterialNameOfGroup(*group);
        break;
      }
    }
    polygons.push_back(std::move(polygon));
  }
  return polygons;
}
