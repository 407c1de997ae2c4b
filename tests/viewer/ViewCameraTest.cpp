// The view's camera: named views look from where their names say, framing
// fits the model, and drags, wheel and pan move it as a user expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <limits>

#include "ViewCamera.h"

namespace {

constexpr int kSize = 400;

ViewBounds Box(float x, float y, float z) {
  ViewBounds bounds;
  const float low[3] = {-x, -y, -z}, high[3] = {x, y, z};
  bounds.Add(low);
  bounds.Add(high);
  return bounds;
}

struct Spot {
  float x = 0, y = 0;
};

Spot Where(const ViewCamera& camera, float x, float y, float z) {
  Spot spot;
  const float point[3] = {x, y, z};
  EXPECT_TRUE(camera.Project(point, kSize, kSize, spot.x, spot.y));
  return spot;
}

TEST(ViewCameraTest, NamedViewsLookFromTheirSide) {
  ViewCamera camera;
  camera.Look(ViewDirection::Front);
  camera.Frame(Box(1, 1, 1), 1);
  // Front: +X to the right, +Y up.
  EXPECT_GT(Where(camera, 1, 0, 0).x, kSize / 2 + 10);
  EXPECT_LT(Where(camera, 0, 1, 0).y, kSize / 2 - 10);
  camera.Look(ViewDirection::Right);
  EXPECT_LT(Where(camera, 0, 0, 1).x, kSize / 2 - 10) << "from the right, +Z (the front) is on the left";
  camera.Look(ViewDirection::Left);
  EXPECT_GT(Where(camera, 0, 0, 1).x, kSize / 2 + 10);
  camera.Look(ViewDirection::Back);
  EXPECT_LT(Where(camera, 1, 0, 0).x, kSize / 2 - 10);
  camera.Look(ViewDirection::Top);
  EXPECT_GT(Where(camera, 0, 0, 1).y, kSize / 2 + 10) << "from the top, the front is at the bottom";
  EXPECT_GT(Where(camera, 1, 0, 0).x, kSize / 2 + 10);

  ViewDirection direction{};
  EXPECT_TRUE(ParseViewDirection("iso", direction));
  EXPECT_EQ(direction, ViewDirection::Iso);
  EXPECT_FALSE(ParseViewDirection("Front", direction));
  EXPECT_FALSE(ParseViewDirection("", direction));
}

// The whole box shows, and it fills the view across or up and down but for a
// small margin: a wide, flat grid fills the width of a 16:9 picture.
TEST(ViewCameraTest, FramingFitsTheWholeModelTightlyInAnyShapeOfView) {
  const float boxes[][3] = {{10, 2, 5}, {10, 0.01f, 3}, {1, 6, 1}};
  for (const auto& half : boxes)
    for (float aspect : {0.25f, 1.0f, 16.0f / 9.0f, 4.0f}) {
      SCOPED_TRACE(std::to_string(half[0]) + " " + std::to_string(half[1]) + " at " + std::to_string(aspect));
      ViewCamera camera;
      camera.Look(ViewDirection::Iso);
      camera.Frame(Box(half[0], half[1], half[2]), aspect);
      const int width = static_cast<int>(kSize * aspect);
      float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
      for (int corner = 0; corner < 8; ++corner) {
        const float point[3] = {corner & 1 ? half[0] : -half[0], corner & 2 ? half[1] : -half[1],
                                corner & 4 ? half[2] : -half[2]};
        float x = 0, y = 0;
        ASSERT_TRUE(camera.Project(point, width, kSize, x, y));
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
      EXPECT_GE(left, 0);
      EXPECT_LE(right, width);
      EXPECT_GE(top, 0);
      EXPECT_LE(bottom, kSize);
      EXPECT_TRUE(right - left >= 0.85f * width || bottom - top >= 0.85f * kSize)
          << "spans " << right - left << " of " << width << " across, " << bottom - top << " of " << kSize;
    }
}

TEST(ViewCameraTest, PointsAtInfinityOrUndefinedDoNotThrowTheFramingOff) {
  ViewCamera plain, stray;
  plain.Look(ViewDirection::Iso);
  stray.Look(ViewDirection::Iso);
  ViewBounds withStray = Box(10, 2, 5);
  for (float bad : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    for (int axis = 0; axis < 3; ++axis) {
      float point[3] = {1, 1, 1};
      point[axis] = bad;
      withStray.Add(point);
    }
  }
  plain.Frame(Box(10, 2, 5), 1);
  stray.Frame(withStray, 1);
  EXPECT_FLOAT_EQ(stray.Distance(), plain.Distance());
  const Spot spot = Where(stray, 0, 0, 0), expected = Where(plain, 0, 0, 0);
  EXPECT_NEAR(spot.x, expected.x, 0.01);
  EXPECT_NEAR(spot.y, expected.y, 0.01);
}

TEST(ViewCameraTest, DragsWheelAndPanMoveTheView) {
  ViewCamera camera;
  camera.Look(ViewDirection::Front);
  camera.Frame(Box(1, 1, 1), 1);
  const Spot centre = Where(camera, 0, 0, 0);
  // Panning drags the model with the pointer.
  camera.Pan(40, 0, kSize);
  EXPECT_NEAR(Where(camera, 0, 0, 0).x, centre.x + 40, 1.5);
  camera.Pan(0, 25, kSize);
  EXPECT_NEAR(Where(camera, 0, 0, 0).y, centre.y + 25, 1.5);
  // The wheel forward brings the model closer: it grows on screen.
  ViewCamera near = camera;
  near.Zoom(2);
  EXPECT_LT(near.Distance(), camera.Distance());
  // However far the wheel turns, the eye stops short of the model's centre and never loses it.
  ViewCamera closest = camera;
  closest.Zoom(1000);
  EXPECT_GT(closest.Distance(), 0.001f);
  Where(closest, 0, 0, 0);
  ViewCamera farthest = camera;
  farthest.Zoom(-1000);
  EXPECT_LT(farthest.Distance(), 1e4f);
  Where(farthest, 0, 0, 0);
  // Orbiting to the right brings the model's left side (-X) round to the front.
  ViewCamera turned;
  turned.Look(ViewDirection::Front);
  turned.Frame(Box(1, 1, 1), 1);
  turned.Orbit(157, 0);  // a quarter turn at 0.01 per pixel
  EXPECT_NEAR(Where(turned, 0, 0, 0).x, kSize / 2, 1);
  const Spot left = Where(turned, -1, 0, 0);
  EXPECT_NEAR(left.x, kSize / 2, 2) << "-X faces the eye";
  // Dragging down tilts the eye up over the model, and stops straight above it.
  turned.Orbit(0, 100000);
  const Spot top = Where(turned, 0, 1, 0);
  EXPECT_NEAR(top.x, kSize / 2, 1);
  EXPECT_NEAR(top.y, kSize / 2, 1);
}

}  // namespace

namespace {

// The screen size of a short step from points over the box's faces that
// the view shows, along each axis, in pixels a unit: what a cell of a
// coarser copy would cover there.
float MeasuredPixelsPerUnit(const ViewCamera& camera, const ViewBounds& box) {
  constexpr float kStep = 1e-3f;
  constexpr int kAcross = 40;
  float most = 0;
  for (int i = 0; i <= kAcross; ++i)
    for (int j = 0; j <= kAcross; ++j)
      for (float z : {box.min[2], box.max[2]}) {
        const float at[3] = {box.min[0] + (box.max[0] - box.min[0]) * static_cast<float>(i) / kAcross,
                             box.min[1] + (box.max[1] - box.min[1]) * static_cast<float>(j) / kAcross, z};
        const Spot from = Where(camera, at[0], at[1], at[2]);
        if (from.x < 0 || from.x > kSize || from.y < 0 || from.y > kSize) continue;
        for (int axis = 0; axis < 3; ++axis) {
          float to[3] = {at[0], at[1], at[2]};
          to[axis] += kStep;
          const Spot step = Where(camera, to[0], to[1], to[2]);
          most = std::max(most, std::hypot(step.x - from.x, step.y - from.y) / kStep);
        }
      }
  return most;
}

}  // namespace

TEST(ViewCameraTest, PixelsPerUnitBoundWhatTheNearestPartOfTheModelCovers) {
  ViewCamera camera;
  const ViewBounds box = Box(500, 500, 1);
  for (ViewDirection direction : {ViewDirection::Iso, ViewDirection::Front, ViewDirection::Top}) {
    camera.Look(direction);
    camera.Frame(box, 1);
    for (float steps : {0.0f, 3.0f}) {
      camera.Zoom(steps);
      const float bound = camera.MostPixelsPerUnit(box, kSize, kSize);
      const float measured = MeasuredPixelsPerUnit(camera, box);
      // Never less than a step covers (a coarser copy would show), and not
      // so much more that coarser copies are never used.
      EXPECT_GE(bound * 1.01f, measured);
      EXPECT_LE(bound, measured * 3);
    }
  }
  // Zoomed in until the eye is inside the box: only the whole model will do.
  camera.Look(ViewDirection::Iso);
  camera.Frame(box, 1);
  camera.Zoom(40);
  EXPECT_EQ(camera.MostPixelsPerUnit(box, kSize, kSize), std::numeric_limits<float>::infinity());
}
