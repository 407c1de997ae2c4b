#pragma once

#include <array>
#include <string>

// A 4 x 4 matrix, column by column as OpenGL takes it.
using ViewMatrix = std::array<float, 16>;

// The box a model fills; empty until a point is added.
struct ViewBounds {
  float min[3] = {0, 0, 0};
  float max[3] = {0, 0, 0};
  bool empty = true;

  void Add(const float point[3]);
};

// The named directions a picture or a key looks from. Front looks from +Z
// towards -Z with +Y up, as the host's front view does.
enum class ViewDirection { Front, Back, Left, Right, Top, Iso };

// "front", "back", "left", "right", "top", "iso"; false for anything else.
bool ParseViewDirection(const std::string& word, ViewDirection& direction);

// A camera orbiting a target point: yaw turns about the vertical axis, pitch
// tilts up or down (at most straight down or up), distance is how far the eye
// is from the target. Drags and wheel steps come in window pixels.
class ViewCamera {
public:
  void Look(ViewDirection direction);
  // Centres the bounds and moves back, looking the way the camera looks now,
  // until the box fits the view of this aspect (width / height) with a small
  // margin.
  void Frame(const ViewBounds& bounds, float aspect);
  void Orbit(float dxPixels, float dyPixels);
  void Pan(float dxPixels, float dyPixels, int viewportHeight);
  // Positive steps move closer.
  void Zoom(float steps);

  ViewMatrix ModelView() const;
  ViewMatrix Projection(float aspect) const;
  // Window position of a point (x right, y down, in pixels of a width x
  // height view); false when it lies behind the eye.
  bool Project(const float point[3], int width, int height, float& x, float& y) const;

  // The most pixels one model unit covers anywhere in the bounds that a
  // width x height view shows; infinity when part of them lies at or behind
  // the eye.
  float MostPixelsPerUnit(const ViewBounds& bounds, int width, int height) const;

  float Distance() const { return distance_; }

private:
  float target_[3] = {0, 0, 0};
  float distance_ = 5.0f;
  float radius_ = 1.0f;  // of what is framed, for the clip planes
  float yaw_ = 0.0f;     // radians
  float pitch_ = 0.0f;
};
