// What the view uploads for a model: shared vertices where patches agree,
// split ones at seams, a coarse copy only for models too large to move
// smoothly, and a fingerprint that notices every change the view would show.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include <Plugin.h>
#include <Plugin/HostProject.h>

#include "ScratchFolder.h"
#include "ViewMesh.h"

namespace {

class ViewMeshTest : public ::testing::Test {
protected:
  void SetUp() override { project_ = CreateHostProject(false); }
  void TearDown() override { DestroyHostProject(project_); }

  // A flat side x side grid of quads, each with UVs running over the whole grid.
  HModelCache* Grid(int side, HDecal** decalOut = nullptr) {
    HModelCache* model = HModelCache::NewInProject(project_, "Grid");
    for (int y = 0; y <= side; ++y)
      for (int x = 0; x <= side; ++x) model->AddPosition(float(x), float(y), 0);
    HDecal* decal = model->AddDecal("paint");
    decal->AddDecalClip(project_->AddImage(scratch_.Path("paint.png").c_str()))->GetKind()->SetValue(HDK_COLOR);
    auto at = [side](int x, int y) { return y * (side + 1) + x; };
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        HPatch* patch = model->AddPatch(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1));
        const float u0 = float(x) / side, u1 = float(x + 1) / side, v0 = float(y) / side, v1 = float(y + 1) / side;
        const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
        decal->SetPatchUV(patch->GetIndex(), uv);
      }
    if (decalOut) *decalOut = decal;
    return model;
  }

  // Every triangle's corners carry its own face's normal: no corner is
  // rounded off towards its neighbours.
  static void ExpectFlatFaces(const ViewMesh& mesh) {
    auto position = [&mesh](std::uint32_t v, int axis) { return mesh.positions[v * 3 + static_cast<unsigned>(axis)]; };
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
      const std::uint32_t a = mesh.indices[t], b = mesh.indices[t + 1], c = mesh.indices[t + 2];
      float e1[3], e2[3];
      for (int i = 0; i < 3; ++i) {
        e1[i] = position(b, i) - position(a, i);
        e2[i] = position(c, i) - position(a, i);
      }
      const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
      const float faceLength = std::sqrt(face[0] * face[0] + face[1] * face[1] + face[2] * face[2]);
      for (std::uint32_t v : {a, b, c}) {
        const std::int8_t* n = &mesh.normals[v * 4];
        const float length = std::sqrt(float(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]));
        const float cosine = (n[0] * face[0] + n[1] * face[1] + n[2] * face[2]) / (length * faceLength);
        EXPECT_GT(std::fabs(cosine), 0.99f) << "triangle " << t / 3 << ", vertex " << v;
      }
    }
  }

  ScratchFolder scratch_;
  HProject* project_ = nullptr;
};

TEST_F(ViewMeshTest, PatchesShareVerticesWhereTheyAgreeAndSplitAtSeams) {
  HDecal* decal = nullptr;
  HModelCache* model = Grid(10, &decal);
  ViewMesh mesh;
  BuildViewMesh(*model, mesh);
  EXPECT_EQ(mesh.VertexCount(), 121u) << "one vertex per grid point";
  EXPECT_EQ(mesh.indices.size(), 600u);
  ASSERT_EQ(mesh.batches.size(), 1u);
  EXPECT_EQ(mesh.images, std::vector<std::string>{scratch_.Path("paint.png")});

  // A patch whose UVs start elsewhere (an island of its own) keeps its own four corners.
  const float island[4][2] = {{0.9f, 0.9f}, {1, 0.9f}, {1, 1}, {0.9f, 1}};
  decal->SetPatchUV(55, island);
  BuildViewMesh(*model, mesh);
  EXPECT_EQ(mesh.VertexCount(), 125u);
  // So does a patch of another group colour, where no colour image covers it.
  HModelCache* plain = HModelCache::NewInProject(project_, "Plain");
  for (int i = 0; i < 6; ++i) plain->AddPosition(float(i % 3), float(i / 3), 0);
  plain->AddPatch(0, 1, 4, 3);
  plain->AddPatch(1, 2, 5, 4);
  plain->AddGroup("red")->AddPatch(0);
  plain->GetChildGroupContainer()->GetChildGroup()->GetAttr()->GetDiffuseColor()->SetRGBFloat(
      RGBFloat::FromRGB(1, 0, 0));
  BuildViewMesh(*plain, mesh);
  EXPECT_EQ(mesh.VertexCount(), 8u) << "the shared edge is split between red and grey";
}

TEST_F(ViewMeshTest, ACubesEdgesStaySharpWhileAGentleBendShadesSmoothly) {
  // A cube without paint: its faces meet at right angles, so each corner gets a
  // vertex per face; shared ones would round the cube off like a ball.
  HModelCache* cube = HModelCache::NewInProject(project_, "Cube");
  for (int i = 0; i < 8; ++i) cube->AddPosition(float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1));
  const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : faces) ASSERT_NE(cube->AddPatch(f[0], f[1], f[2], f[3]), nullptr);
  ViewMesh mesh;
  BuildViewMesh(*cube, mesh);
  EXPECT_EQ(mesh.VertexCount(), 24u);
  EXPECT_EQ(mesh.indices.size(), 36u);
  ExpectFlatFaces(mesh);

  // The same cube from an OBJ that gives each face its own normals.
  std::string obj =
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 0 0 1\nv 1 0 1\nv 0 1 1\nv 1 1 1\n"
      "vn 0 0 -1\nvn 0 0 1\nvn 0 -1 0\nvn 0 1 0\nvn -1 0 0\nvn 1 0 0\n";
  for (int f = 0; f < 6; ++f) {
    obj += "f";
    for (int k = 0; k < 4; ++k) obj += " " + std::to_string(faces[f][k] + 1) + "//" + std::to_string(f + 1);
    obj += "\n";
  }
  String error, warnings;
  HModelCache* opened = ImportObjFile(project_, scratch_.Write("cube.obj", obj).c_str(), error, warnings);
  ASSERT_NE(opened, nullptr) << error.Get();
  BuildViewMesh(*opened, mesh);
  ExpectFlatFaces(mesh);

  // Two quads folded by 20 degrees along their shared edge share its two vertices.
  HModelCache* folded = HModelCache::NewInProject(project_, "Folded");
  const float rise = std::tan(20.0f * 3.14159265f / 180.0f);
  const float points[6][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, rise}, {2, 1, rise}};
  for (const auto& p : points) folded->AddPosition(p[0], p[1], p[2]);
  folded->AddPatch(0, 1, 2, 3);
  folded->AddPatch(1, 4, 5, 2);
  BuildViewMesh(*folded, mesh);
  EXPECT_EQ(mesh.VertexCount(), 6u);

  // The same fold from an OBJ that gives each face its own normal keeps them.
  const std::string fold = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 " + std::to_string(rise) + "\nv 2 1 " +
                           std::to_string(rise) + "\nvn 0 0 1\nvn " + std::to_string(-rise) + " 0 1\n" +
                           "f 1//1 2//1 3//1 4//1\nf 2//2 5//2 6//2 3//2\n";
  HModelCache* given = ImportObjFile(project_, scratch_.Write("fold.obj", fold).c_str(), error, warnings);
  ASSERT_NE(given, nullptr) << error.Get();
  BuildViewMesh(*given, mesh);
  EXPECT_EQ(mesh.VertexCount(), 8u);
  ExpectFlatFaces(mesh);
}

TEST_F(ViewMeshTest, OnlyModelsTooLargeToDrawQuicklyGetCoarserCopies) {
  ViewMesh small;
  BuildViewMesh(*Grid(50), small);
  EXPECT_TRUE(small.levels.empty());

  HModelCache* large = Grid(400);
  ViewMesh mesh;
  BuildViewMesh(*large, mesh);
  ASSERT_GE(mesh.levels.size(), 2u);
  ASSERT_EQ(mesh.batches.size(), 1u);
  std::size_t finer = mesh.indices.size();
  float finerCell = 0;
  for (const ViewLevel& level : mesh.levels) {
    EXPECT_LE(level.indices.size() * 2, finer);
    EXPECT_GT(level.cellSize, finerCell);
    finer = level.indices.size();
    finerCell = level.cellSize;
    ASSERT_EQ(level.batchFirst.size(), 2u);
    EXPECT_EQ(level.batchFirst[1], level.indices.size());
    // Each copy covers the same surface: its vertices reach the grid's far corners.
    std::set<std::uint32_t> used(level.indices.begin(), level.indices.end());
    float highest = 0;
    for (std::uint32_t vertex : used) {
      ASSERT_LT(vertex, mesh.VertexCount());
      highest = std::max(highest, mesh.positions[vertex * 3] + mesh.positions[vertex * 3 + 1]);
    }
    EXPECT_GT(highest, 800.0f - 4 * level.cellSize);
    for (std::size_t i = 0; i < level.indices.size(); i += 3) {
      EXPECT_NE(level.indices[i], level.indices[i + 1]);
      EXPECT_NE(level.indices[i + 1], level.indices[i + 2]);
    }
  }
}

TEST_F(ViewMeshTest, TheFingerprintChangesWithWhatTheViewShowsAndOnlyThen) {
  HModelCache* model = Grid(4);
  const std::string image = scratch_.Write("paint.png", "first paint");
  const std::uint64_t before = ViewMeshFingerprint(*model);
  EXPECT_EQ(ViewMeshFingerprint(*model), before);

  // An identical model elsewhere (a receive's replacement) needs no new upload.
  HModelCache* twin = Grid(4);
  EXPECT_EQ(ViewMeshFingerprint(*twin), before);

  // The painter writes the image again.
  std::filesystem::last_write_time(image, std::filesystem::last_write_time(image) - std::chrono::seconds(5));
  EXPECT_NE(ViewMeshFingerprint(*model), before);
  const std::uint64_t repainted = ViewMeshFingerprint(*model);

  HGroup* group = model->AddGroup("g");
  group->AddPatch(3);
  EXPECT_NE(ViewMeshFingerprint(*model), repainted);
  const std::uint64_t grouped = ViewMeshFingerprint(*model);
  group->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat::FromRGB(0.1f, 0.2f, 0.3f));
  EXPECT_NE(ViewMeshFingerprint(*model), grouped);
}

}  // namespace
