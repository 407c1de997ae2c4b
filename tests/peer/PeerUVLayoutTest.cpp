// The stand-in peer's UVs: a model's own layout is kept and painted where its
// materials lie; a model without UVs at some corner is laid out anew.
#include <cmath>
#include <limits>

#include "PeerFixture.h"

namespace {

constexpr int kImageSize = 128;

class PeerUVLayoutTest : public PeerFixture {
protected:
  // Answers the model with colour images, and reads the answer back.
  void Answer(const MeshPlan& plan, AnswerMesh& answer) {
    WriteCommand(WriteModel(plan, /*ascii=*/false), "[ExportColor=1]\n[ExportNormalmap=1]\n[ColorFileExtension=PNG]\n");
    const CommandRun run = Peer("--once --size " + std::to_string(kImageSize));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(ReadAnswerMesh(AnswerFbx(), answer));
    ASSERT_EQ(answer.cornerUVs.size(), plan.polygons.size());
  }
};

// As the host sends a model without decals: a UV set whose every corner is -1.
void WithoutUVs(MeshPlan& plan) {
  plan.cornerUVs.clear();
  plan.uvIndexOverride.clear();
  for (const auto& polygon : plan.polygons) plan.uvIndexOverride.insert(plan.uvIndexOverride.end(), polygon.size(), -1);
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

struct Box {
  double minU = 1e9, minV = 1e9, maxU = -1e9, maxV = -1e9;
};

// Every corner has a UV in the unit square; each polygon lies in a cell of its
// own, a few texels from every other, with a positive (unmirrored) outline.
void ExpectACellPerPolygon(const AnswerMesh& answer) {
  std::vector<Box> boxes;
  for (std::size_t p = 0; p < answer.cornerUVs.size(); ++p) {
    SCOPED_TRACE("polygon " + std::to_string(p));
    Box box;
    double twiceArea = 0;
    const auto& uvs = answer.cornerUVs[p];
    for (std::size_t k = 0; k < uvs.size(); ++k) {
      ASSERT_TRUE(uvs[k].has_value()) << "corner " << k;
      const auto& uv = *uvs[k];
      const auto& next = *uvs[(k + 1) % uvs.size()];
      EXPECT_TRUE(uv[0] >= 0 && uv[0] <= 1 && uv[1] >= 0 && uv[1] <= 1) << uv[0] << ", " << uv[1];
      box = {std::min(box.minU, uv[0]), std::min(box.minV, uv[1]), std::max(box.maxU, uv[0]),
             std::max(box.maxV, uv[1])};
      twiceArea += uv[0] * next[1] - next[0] * uv[1];
    }
    EXPECT_GT(twiceArea, 0) << "an outline with room to paint, not mirrored";
    boxes.push_back(box);
  }
  const double gap = 2.0 / kImageSize;
  for (std::size_t a = 0; a < boxes.size(); ++a) {
    for (std::size_t b = a + 1; b < boxes.size(); ++b) {
      const bool apart = boxes[a].maxU + gap <= boxes[b].minU || boxes[b].maxU + gap <= boxes[a].minU ||
                         boxes[a].maxV + gap <= boxes[b].minV || boxes[b].maxV + gap <= boxes[a].minV;
      EXPECT_TRUE(apart) << "polygons " << a << " and " << b << " keep apart";
    }
  }
}

TEST_F(PeerUVLayoutTest, AModelSentWithoutUVsComesBackWithACellPerPolygonAndPainted) {
  MeshPlan plan;
  plan.nodeName = "Bare";
  plan.materials = {"Head", "Body"};
  plan.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},   {0, 1, 0},                                 // square
                 {2, 0, 0}, {3, 0, 0}, {2, 2, 0},                                              // triangle
                 {4, 0, 0}, {5, 0, 0}, {5.3, 1, 0}, {4.5, 1.6, 0}, {3.7, 1, 0},                // pentagon
                 {0, 0, 2}, {0, 0, 6}, {0, 1, 6},   {0, 1, 2},                                 // long quad, upright
                 {7, 7, 7}, {8, 8, 8}, {9, 9, 9},                                              // no area
                 {0, 3, 0}, {2, 3, 0}, {2, 4, 0},   {1, 4.5, 0},   {0, 4, 0},   {1, 3.5, 0}};  // concave hexagon
  plan.polygons = {{0, 1, 2, 3},     {4, 5, 6},    {7, 8, 9, 10, 11},
                   {12, 13, 14, 15}, {16, 17, 18}, {19, 20, 21, 22, 23, 24}};
  plan.polygonMaterials = {0, 1, 0, 1, 1, 0};
  WithoutUVs(plan);
  AnswerMesh answer;
  ASSERT_NO_FATAL_FAILURE(Answer(plan, answer));

  EXPECT_EQ(answer.uvSet, "map1");
  const std::vector<TextureGroup> groups = TextureGroups();
  ASSERT_EQ(groups.size(), 4u);
  for (const TextureGroup& group : groups) EXPECT_EQ(group.uvSet, "map1");
  ExpectACellPerPolygon(answer);

  // Each polygon with an area is flattened, not distorted: every distance
  // between two of its corners shrinks by the same factor.
  for (std::size_t p = 0; p < answer.corners.size(); ++p) {
    if (p == 4) continue;  // the polygon without area gets an outline of its own
    const auto& corners = answer.corners[p];
    const auto& uvs = answer.cornerUVs[p];
    double factor = 0;
    for (std::size_t a = 0; a < corners.size(); ++a) {
      for (std::size_t b = a + 1; b < corners.size(); ++b) {
        const double inUV = std::hypot((*uvs[a])[0] - (*uvs[b])[0], (*uvs[a])[1] - (*uvs[b])[1]);
        const double ratio = inUV / Distance(corners[a], corners[b]);
        if (factor == 0) factor = ratio;
        EXPECT_NEAR(ratio, factor, factor * 1e-6) << "polygon " << p << ", corners " << a << " and " << b;
      }
    }
  }
  ExpectEachMaterialPaintedOnItsOwnPolygons(answer, groups);
}

TEST_F(PeerUVLayoutTest, CornersWithoutUVsGetTheWholeModelLaidOutAnew) {
  // Some polygons lack UVs, one lacks them at one corner only, one has a
  // UV that is no number: those polygons could show no paint in the model's
  // own layout, so every polygon gets a cell of its own.
  MeshPlan partly = LeftRightPlan();
  partly.uvIndexOverride = {0, 1, 2, 3, -1, -1, -1, -1, 8, 9, -1, 11, 12, 13, 14, 15};
  MeshPlan notANumber = LeftRightPlan();
  notANumber.cornerUVs[3][1] = {std::numeric_limits<double>::quiet_NaN(), 0.5};
  for (const MeshPlan* plan : {&partly, &notANumber}) {
    SCOPED_TRACE(plan == &partly ? "partly missing" : "not a number");
    AnswerMesh answer;
    ASSERT_NO_FATAL_FAILURE(Answer(*plan, answer));
    EXPECT_EQ(answer.uvSet, "map1");
    ExpectACellPerPolygon(answer);
    ExpectEachMaterialPaintedOnItsOwnPolygons(answer, TextureGroups());
  }
}

TEST_F(PeerUVLayoutTest, MaterialsSplitTopAndBottomArePaintedWhereTheirPolygonsLie) {
  // A 3x3 grid: the top row (v above 2/3) is Cap, the rest Body. FBX v runs
  // up, image rows down: an image painted upside down shows Cap's pattern at
  // the bottom.
  MeshPlan plan = GridPlan(3, {"Cap", "Body"});
  plan.nodeName = "Tower";
  for (std::size_t p = 0; p < plan.polygons.size(); ++p)
    plan.polygonMaterials[p] = plan.cornerUVs[p][0][1] > 0.5 ? 0 : 1;
  AnswerMesh answer;
  ASSERT_NO_FATAL_FAILURE(Answer(plan, answer));

  // The model's own UVs come back as they were.
  for (std::size_t p = 0; p < plan.polygons.size(); ++p) {
    for (std::size_t k = 0; k < plan.polygons[p].size(); ++k) {
      ASSERT_TRUE(answer.cornerUVs[p][k].has_value());
      EXPECT_DOUBLE_EQ((*answer.cornerUVs[p][k])[0], plan.cornerUVs[p][k][0]);
      EXPECT_DOUBLE_EQ((*answer.cornerUVs[p][k])[1], plan.cornerUVs[p][k][1]);
    }
  }
  ExpectEachMaterialPaintedOnItsOwnPolygons(answer, TextureGroups());
}

}  // namespace
