#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "Interchange/IERecords.h"
#include "ModelTestSupport.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "ScratchFolder.h"

namespace {

// A 3 x 2 grid of quads with a triangle on its right side, two groups (the
// triangle in none), a colour decal over the grid and a normal-map decal over
// the top row and the triangle.
class ModelConversion : public ::testing::Test {
protected:
  void SetUp() override {
    project_ = CreateHostProject(false);
    model_ = HModelCache::New("Grid", 1);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) model_->AddPosition(float(x), float(y), 0.5f * x);
    }
    const int apex = model_->AddPosition(4.0f, 0.5f, 2.0f);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) model_->AddPatch(At(x, y), At(x + 1, y), At(x + 1, y + 1), At(x, y + 1));
    }
    triangle_ = model_->AddPatch(At(3, 0), apex, At(3, 1))->GetIndex();
    model_->BuildSplinesAlongPatchEdges();

    HGroup* skin = model_->AddGroup("skin");
    for (int p : {0, 1, 2}) ASSERT_TRUE(skin->AddPatch(p));
    skin->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat::FromRGB(0.9f, 0.6f, 0.4f));
    skin->GetAttr()->GetDiffuseFallOff()->SetValue(0.8f);
    skin->GetAttr()->GetSpecularIntensity()->SetValue(0.25f);
    HGroup* cloth = model_->AddGroup("cloth part");
    for (int p : {3, 4, 5}) ASSERT_TRUE(cloth->AddPatch(p));
    cloth->GetAttr()->GetAmbianceColor()->SetRGBFloat(RGBFloat::FromRGB(0.1f, 0.2f, 0.3f));
    cloth->GetAttr()->GetAmbiance()->SetValue(0.5f);

    colourImage_ = project_->AddImage("/textures/skin.png");
    normalImage_ = project_->AddImage("/textures/bumps.tga");
    HDecal* colour = model_->AddDecal("colour");
    colour->AddDecalClip(colourImage_)->GetKind()->SetValue(HDK_COLOR);
    for (int p = 0; p < 6; ++p) ASSERT_TRUE(colour->SetPatchUV(p, GridUV(p)));
    HDecal* normal = model_->AddDecal("normal");
    normal->AddDecalClip(normalImage_)->GetKind()->SetValue(HDK_NORMAL);
    for (int p : {3, 4, 5}) ASSERT_TRUE(normal->SetPatchUV(p, GridUV(p)));
    const float triangleUV[4][2] = {{0.9f, 0.1f}, {1.0f, 0.3f}, {0.9f, 0.4f}, {0.9f, 0.1f}};
    ASSERT_TRUE(normal->SetPatchUV(triangle_, triangleUV));
  }
  void TearDown() override { DestroyHostProject(project_); }

  static int At(int x, int y) { return y * 4 + x; }
  static const float (&GridUV(int patch))[4][2] {
    static float uvs[6][4][2];
    const int x = patch % 3;
    const int y = patch / 3;
    const float u0 = x / 3.0f, u1 = (x + 1) / 3.0f, v0 = 1.0f - y / 2.0f, v1 = 1.0f - (y + 1) / 2.0f;
    const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    for (int k = 0; k < 4; ++k) {
      uvs[patch][k][0] = uv[k][0];
      uvs[patch][k][1] = uv[k][1];
    }
    return uvs[patch];
  }

  // (image file, kind) -> patch -> UVs, over all decal clips.
  using Placements = std::map<std::pair<std::string, int>, std::map<int, std::vector<float>>>;
  static Placements DecalPlacements(HModelCache& model) {
    Placements placements;
    for (HDecal* decal : Decals(model)) {
      for (HDecalClip* clip = decal->GetChildDecalClipContainer()->GetChildDecalClip(); clip;
           clip = static_cast<HDecalClip*>(clip->GetSibling())) {
        auto key = std::make_pair(std::string(clip->GetClip()->GetClip()->GetFilename()->GetValue().Get()),
                                  clip->GetKind()->GetValue());
        for (const HPatchUV& entry : decal->GetPatchUVs()) {
          placements[key][entry.patch] = std::vector<float>(&entry.uv[0][0], &entry.uv[0][0] + 8);
        }
      }
    }
    return placements;
  }

  ScratchFolder temp_;
  HProject* project_ = nullptr;
  HModelCache* model_ = nullptr;
  HImage* colourImage_ = nullptr;
  HImage* normalImage_ = nullptr;
  int triangle_ = -1;
};

}  // namespace

TEST_F(ModelConversion, ExportHoldsVerticesPolygonsMaterialsImagesAndMaps) {
  IEPolyModelParms parms;
  parms.mode = 0;
  parms.subdivision = 9;
  parms.options = 115;
  parms.flags = 1;
  IEPolyModel* out = model_->BuildExportModel(&parms, "/tmp/export.fbx");
  ASSERT_NE(out, nullptr);

  ASSERT_EQ(out->vertices.vectors.count, 13);
  EXPECT_FLOAT_EQ(out->vertices.vectors[At(3, 2)].x, 3.0f);
  EXPECT_FLOAT_EQ(out->vertices.vectors[At(3, 2)].y, 2.0f);
  EXPECT_FLOAT_EQ(out->vertices.vectors[At(3, 2)].z, 1.5f);

  ASSERT_EQ(out->polygons.count, 7);
  for (int i = 0; i < 7; ++i) {
    const IEPoly* polygon = out->polygons[i];
    EXPECT_EQ(polygon->patch, model_->GetPatch(i)) << "polygon " << i << " keeps its patch, in patch order";
    for (int k = 0; k < 4; ++k) EXPECT_EQ(polygon->corners[k], model_->GetPatch(i)->GetCorner(k));
    EXPECT_EQ(polygon->secondCorners[0], -1);
  }
  const IEPoly* triangle = out->polygons[triangle_];
  EXPECT_EQ(triangle->CornerCount(), 3);
  EXPECT_EQ(triangle->corners[3], triangle->corners[0]);

  ASSERT_EQ(out->materials.count, 2);
  ASSERT_EQ(out->materialTags.count, 2);
  EXPECT_STREQ(out->materials[0].name, "skin");
  EXPECT_STREQ(out->materials[1].name, "cloth part");
  EXPECT_FLOAT_EQ(out->materials[0].diffuse[0], 0.4f) << "colours are stored blue, green, red";
  EXPECT_FLOAT_EQ(out->materials[0].diffuse[2], 0.9f);
  EXPECT_FLOAT_EQ(out->materials[0].diffuseFactor, 0.8f);
  EXPECT_FLOAT_EQ(out->materials[0].specularFactor, 0.25f);
  EXPECT_FLOAT_EQ(out->materials[1].ambient[0], 0.3f);
  EXPECT_FLOAT_EQ(out->materials[1].ambientFactor, 0.5f);
  const int expectedMaterial[7] = {0, 0, 0, 1, 1, 1, -1};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(out->polygons[i]->material, expectedMaterial[i]);

  ASSERT_EQ(out->images.count, 2);
  ASSERT_EQ(out->imageTags.count, 2);
  EXPECT_STREQ(out->images[0].path, "/textures/skin.png");
  EXPECT_STREQ(out->images[1].path, "/textures/bumps.tga");

  ASSERT_EQ(out->polygons[0]->maps.count, 1);
  const IEPolyMap* colour = out->polygons[0]->maps[0];
  EXPECT_EQ(colour->Kind(), HDK_COLOR);
  EXPECT_EQ(colour->image, 0);
  EXPECT_FLOAT_EQ(colour->uv[2][0], 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(colour->uv[2][1], 0.5f);
  ASSERT_EQ(out->polygons[4]->maps.count, 2);
  EXPECT_EQ(out->polygons[4]->maps[1]->Kind(), HDK_NORMAL);
  EXPECT_EQ(out->polygons[4]->maps[1]->image, 1);
  ASSERT_EQ(triangle->maps.count, 1);
  EXPECT_FLOAT_EQ(triangle->maps[0]->uv[3][0], triangle->maps[0]->uv[0][0]);
  EXPECT_FLOAT_EQ(triangle->maps[0]->uv[3][1], triangle->maps[0]->uv[0][1]);
  DeleteIEModel(out);

  parms.flags = 0;
  IEPolyModel* geometryOnly = model_->BuildExportModel(&parms, "");
  ASSERT_NE(geometryOnly, nullptr);
  EXPECT_EQ(geometryOnly->polygons[0]->maps.count, 0);
  EXPECT_EQ(geometryOnly->images.count, 0);
  DeleteIEModel(geometryOnly);
}

TEST_F(ModelConversion, MergingTheExportKeepsGeometryGroupsUVsAndDecals) {
  IEPolyModel* out = model_->BuildExportModel(nullptr, "");
  ASSERT_NE(out, nullptr);
  const int imagesBefore = project_->GetChildClipCacheContainer()->CountChildren();
  HModelCache* copy = HModelCache::New("Grid", 1);
  EXPECT_EQ(copy->GetName(), String("Grid.1")) << "a taken name gets a suffix";
  ASSERT_EQ(copy->MergeIEModel(out, "Grid", 0.0f, 1, 1), 1);
  DeleteIEModel(out);

  ASSERT_EQ(copy->GetPositionCount(), model_->GetPositionCount());
  for (int i = 0; i < copy->GetPositionCount(); ++i) {
    EXPECT_EQ(copy->GetPosition(i).x, model_->GetPosition(i).x);
    EXPECT_EQ(copy->GetPosition(i).y, model_->GetPosition(i).y);
    EXPECT_EQ(copy->GetPosition(i).z, model_->GetPosition(i).z);
  }
  ASSERT_EQ(copy->GetPatchCount(), model_->GetPatchCount());
  for (int i = 0; i < copy->GetPatchCount(); ++i) {
    EXPECT_EQ(copy->GetPatch(i)->GetCornerCount(), model_->GetPatch(i)->GetCornerCount());
    for (int k = 0; k < 4; ++k) EXPECT_EQ(copy->GetPatch(i)->GetCorner(k), model_->GetPatch(i)->GetCorner(k));
  }

  ASSERT_EQ(copy->CountGroups(), 2);
  for (const char* name : {"skin", "cloth part"}) {
    HGroup* original = GroupNamed(*model_, name);
    HGroup* merged = GroupNamed(*copy, name);
    ASSERT_NE(merged, nullptr) << name;
    EXPECT_EQ(merged->GetPatchIndices(), original->GetPatchIndices()) << name;
    EXPECT_EQ(merged->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat(),
              original->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat());
    EXPECT_EQ(merged->GetAttr()->GetAmbiance()->GetValue(), original->GetAttr()->GetAmbiance()->GetValue());
    EXPECT_EQ(merged->GetAttr()->GetSpecularIntensity()->GetValue(),
              original->GetAttr()->GetSpecularIntensity()->GetValue());
  }
  EXPECT_FALSE(GroupNamed(*copy, "skin")->IsPatchInGroup(copy->GetPatch(triangle_)));
  EXPECT_FALSE(GroupNamed(*copy, "skin")->IsPatchInGroup(model_->GetPatch(0))) << "a patch of another model";
  EXPECT_TRUE(GroupNamed(*copy, "skin")->IsPatchInGroup(copy->GetPatch(0)));

  EXPECT_EQ(project_->GetChildClipCacheContainer()->CountChildren(), imagesBefore + 2);
  EXPECT_EQ(copy->CountDecals(), 2) << "one decal per image and kind";
  EXPECT_EQ(DecalPlacements(*copy), DecalPlacements(*model_));

  int closed = 0;
  auto splineEdges = SplineEdges(*copy, &closed);
  auto patchEdges = PatchEdges(*copy);
  EXPECT_EQ(splineEdges.size(), patchEdges.size()) << "each edge lies on exactly one spline";
  using EdgeSet = std::set<std::pair<int, int>>;
  EXPECT_EQ(EdgeSet(splineEdges.begin(), splineEdges.end()), patchEdges);
}

TEST_F(ModelConversion, BandsAroundAModelBecomeClosedSplines) {
  HModelCache* sample = static_cast<HModelCache*>(FindTreeObjectByPath(project_, "Objects/Grid"));
  ASSERT_EQ(sample, model_);
  // A ring of eight quads: both rims and nothing else are loops.
  HModelCache* ring = HModelCache::New("Ring", 1);
  for (int row = 0; row < 2; ++row) {
    for (int i = 0; i < 8; ++i) {
      float angle = i * 3.14159265f / 4.0f;
      ring->AddPosition(std::cos(angle), float(row), std::sin(angle));
    }
  }
  for (int i = 0; i < 8; ++i) ring->AddPatch(i, (i + 1) % 8, 8 + (i + 1) % 8, 8 + i);
  IEPolyModel* out = ring->BuildExportModel(nullptr, "");
  HModelCache* merged = HModelCache::New("Ring", 1);
  ASSERT_EQ(merged->MergeIEModel(out, "Ring", 0.0f, 1, 1), 1);
  DeleteIEModel(out);
  int closed = 0;
  auto edges = SplineEdges(*merged, &closed);
  EXPECT_EQ(closed, 2);
  EXPECT_EQ(edges.size(), 24u);
  EXPECT_EQ(merged->CountSplines(), 10) << "two rims and eight rungs";

  // Walking a closed spline visits each control point once, ending on the loop point.
  for (HSpline* spline = merged->GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
    if (!spline->IsClosed()) continue;
    int visited = 0;
    for (HCP* cp = spline->GetHeadCP(); cp; cp = cp->GetNext()) {
      cp->SetInMagnitude(0.25f);
      cp->SetOutMagnitude(0.75f);
      ++visited;
      if (cp->IsLoop()) {
        EXPECT_EQ(cp->GetNext(), spline->GetHeadCP());
        break;
      }
    }
    EXPECT_EQ(visited, 8);
    EXPECT_EQ(spline->GetHeadCP()->GetInMagnitude(), 0.25f);
  }
}

TEST_F(ModelConversion, AModelWithIndicesOutsideItsArraysIsRefusedAndChangesNothing) {
  using Breakage = void (*)(IEPolyModel&);
  const std::pair<const char*, Breakage> breakages[] = {
      {"corner past the vertices", [](IEPolyModel& m) { m.polygons[2]->corners[1] = m.vertices.vectors.count; }},
      {"negative corner", [](IEPolyModel& m) { m.polygons[0]->corners[3] = -2; }},
      {"material past the list", [](IEPolyModel& m) { m.polygons[1]->material = m.materials.count; }},
      {"map image past the list", [](IEPolyModel& m) { m.polygons[4]->maps[0]->image = 2; }},
      {"count above capacity", [](IEPolyModel& m) { m.images.count = m.images.capacity + 1; }},
  };
  for (const auto& [what, breakIt] : breakages) {
    IEPolyModel* out = model_->BuildExportModel(nullptr, "");
    ASSERT_NE(out, nullptr);
    breakIt(*out);
    const int images = project_->GetChildClipCacheContainer()->CountChildren();
    EXPECT_EQ(model_->MergeIEModel(out, "Grid", 0.0f, 1, 1), 0) << what;
    EXPECT_EQ(model_->GetPatchCount(), 7) << what;
    EXPECT_EQ(model_->GetPositionCount(), 13) << what;
    EXPECT_EQ(model_->CountGroups(), 2) << what;
    EXPECT_EQ(model_->CountDecals(), 2) << what;
    EXPECT_EQ(project_->GetChildClipCacheContainer()->CountChildren(), images) << what;
    if (std::string(what) == "count above capacity") out->images.count = out->images.capacity;
    DeleteIEModel(out);
  }
  EXPECT_EQ(model_->MergeIEModel(nullptr, "Grid", 0.0f, 1, 1), 0);
}

TEST_F(ModelConversion, AModelThePlugInBuildsMergesWithTrianglesAndNullPolygonsSkipped) {
  IEPolyModel source;
  for (float x : {0.0f, 1.0f, 1.0f, 0.0f}) source.AddVertex(x, x > 0 ? 1.0f : 0.0f, 0.0f);
  source.AddImage("/images/paint.tga");
  IEMaterial* material = source.AddMaterial("");
  material->diffuse[2] = 1.0f;
  auto* polygon = new IEPoly;
  int corners[4] = {0, 1, 2, 0};
  for (int k = 0; k < 4; ++k) polygon->corners[k] = corners[k];
  polygon->material = 0;
  auto* map = new IEPolyMap;
  map->image = 0;
  map->SetKind(9);
  map->uv[1][0] = 1.0f;
  polygon->AddMap(map);
  source.AddPolygon(polygon);
  source.AddPolygon(nullptr);

  HModelCache* model = HModelCache::New("Painted", 1);
  ASSERT_EQ(model->MergeIEModel(&source, "Painted", 0.0f, 1, 1), 1);
  ASSERT_EQ(model->GetPatchCount(), 1);
  EXPECT_EQ(model->GetPatch(0)->GetCornerCount(), 3);
  HGroup* group = model->GetChildGroupContainer()->GetChildGroup();
  EXPECT_EQ(group->GetName(), String("Material 1")) << "an unnamed material still names its group";
  EXPECT_EQ(group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat().red, 1.0f);
  std::vector<HDecal*> decals = Decals(*model);
  ASSERT_EQ(decals.size(), 1u);
  HDecalClip* clip = decals[0]->GetChildDecalClipContainer()->GetChildDecalClip();
  EXPECT_EQ(clip->GetKind()->GetValue(), 9);
  EXPECT_EQ(clip->GetClip()->GetClip()->GetFilename()->GetValue(), String("/images/paint.tga"));
  float uv[4][2];
  ASSERT_TRUE(decals[0]->GetPatchUV(0, uv));
  EXPECT_EQ(uv[1][0], 1.0f);
}

// The interchange records hold 255 characters of a name or path; the export fails
// rather than hand the plug-in a cut name or a path to some other file.
TEST_F(ModelConversion, ExportFailsWhenAGroupNameOrImagePathDoesNotFitItsRecord) {
  const std::string fits(255, 'n');
  const std::string tooLong(256, 'n');
  HGroup* skin = model_->GetChildGroupContainer()->GetChildGroup();
  skin->SetName(fits.c_str());
  IEPolyModel* out = model_->BuildExportModel(nullptr, "/tmp/export.fbx");
  ASSERT_NE(out, nullptr) << "255 characters fit";
  EXPECT_EQ(std::string(out->materials[0].name), fits);
  DeleteIEModel(out);

  skin->SetName(tooLong.c_str());
  EXPECT_EQ(model_->BuildExportModel(nullptr, "/tmp/export.fbx"), nullptr);
  skin->SetName("skin");

  const std::string longPath = "/textures/" + std::string(250, 'p') + ".png";
  colourImage_->GetFilename()->SetValue(longPath.c_str());
  EXPECT_EQ(model_->BuildExportModel(nullptr, "/tmp/export.fbx"), nullptr);
  IEPolyModelParms withoutMaps;
  withoutMaps.flags = 0;
  out = model_->BuildExportModel(&withoutMaps, "/tmp/export.fbx");
  ASSERT_NE(out, nullptr) << "without maps the image is not needed";
  DeleteIEModel(out);
}

TEST_F(ModelConversion, APatchInSeveralGroupsTakesTheFirstGroupsMaterial) {
  HGroup* accents = model_->AddGroup("accents");
  ASSERT_TRUE(accents->AddPatch(1));  // also in "skin", the first group
  ASSERT_TRUE(accents->AddPatch(4));  // also in "cloth part"
  IEPolyModel* out = model_->BuildExportModel(nullptr, "");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->materials.count, 3);
  EXPECT_EQ(out->polygons[1]->material, 0);
  EXPECT_EQ(out->polygons[4]->material, 1);
  DeleteIEModel(out);
}

TEST_F(ModelConversion, AMergeNamesOnlyAModelWithoutAName) {
  IEPolyModel* out = model_->BuildExportModel(nullptr, "");
  ASSERT_NE(out, nullptr);
  HModelCache* named = HModelCache::New("Painted", 1);
  ASSERT_EQ(named->MergeIEModel(out, "Grid", 0.0f, 1, 1), 1);
  EXPECT_EQ(named->GetName(), String("Painted"));
  HModelCache* unnamed = HModelCache::New("", 0);
  ASSERT_EQ(unnamed->MergeIEModel(out, "Grid", 0.0f, 1, 1), 1);
  EXPECT_EQ(unnamed->GetName(), String("Grid"));
  HTreeObject::DeleteHandle(unnamed);
  DeleteIEModel(out);
}
