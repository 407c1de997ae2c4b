#include "ViewCamera.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kFieldOfView = 35.0f * std::numbers::pi_v<float> / 180.0f;  // vertical
constexpr float kOrbitPerPixel = 0.01f;
constexpr float kZoomPerStep = 0.85f;
// Framing leaves this share of the view's half width and height around the model.
constexpr float kFrameMargin = 0.04f;

ViewMatrix Multiply(const ViewMatrix& a, const ViewMatrix& b) {
  ViewMatrix out{};
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      out[column * 4 + row] = sum;
    }
  return out;
}

ViewMatrix Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

}  // namespace

void ViewBounds::Add(const float point[3]) {
  // A point at infinity or NaN would leave nothing to frame.
  if (!std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2])) return;
  for (int i = 0; i < 3; ++i) {
    min[i] = empty ? point[i] : std::min(min[i], point[i]);
    max[i] = empty ? point[i] : std::max(max[i], point[i]);
  }
  empty = false;
}

bool ParseViewDirection(const std::string& word, ViewDirection& direction) {
  static const struct {
    const char* word;
    ViewDirection direction;
  } kWords[] = {{"front", ViewDirection::Front}, {"back", ViewDirection::Back}, {"left", ViewDirection::Left},
                {"right", ViewDirection::Right}, {"top", ViewDirection::Top},   {"iso", ViewDirection::Iso}};
  for (const auto& entry : kWords)
    if (word == entry.word) {
      direction = entry.direction;
      return true;
    }
  return false;
}

void ViewCamera::Look(ViewDirection direction) {
  const float quarter = std::numbers::pi_v<float> / 2;
  pitch_ = 0;
  switch (direction) {
    case ViewDirection::Front: yaw_ = 0; break;
    case ViewDirection::Back: yaw_ = 2 * quarter; break;
    case ViewDirection::Left: yaw_ = -quarter; break;
    case ViewDirection::Right: yaw_ = quarter; break;
    case ViewDirection::Top:
      yaw_ = 0;
      pitch_ = quarter;
      break;
    case ViewDirection::Iso:
      yaw_ = quarter / 2;
      pitch_ = std::atan(1.0f / std::sqrt(2.0f));
      break;
  }
}

void ViewCamera::Frame(const ViewBounds& bounds, float aspect) {
  if (bounds.empty) return;
  float diagonal = 0;
  for (int i = 0; i < 3; ++i) {
    target_[i] = (bounds.min[i] + bounds.max[i]) / 2;
    diagonal += (bounds.max[i] - bounds.min[i]) * (bounds.max[i] - bounds.min[i]);
  }
  radius_ = std::max(std::sqrt(diagonal) / 2, 1e-4f);
  // A corner (x, y) across and z towards the eye from the target shows
  // inside the view when |x - shift| <= tan(half width) * (distance - z), and
  // as much for y. Per direction the least distance that holds for every
  // corner, and the shift that centres them, come straight from the two
  // extreme corners; the nearer direction then has room to spare.
  const float tanUp = std::tan(kFieldOfView / 2) * (1 - kFrameMargin);
  const float tanAcross = tanUp * std::clamp(aspect, 0.05f, 20.0f);
  const ViewMatrix view = ModelView();  // its rows 0, 1, 2 are the eye's right, up and back
  float reach[2] = {-1e30f, -1e30f}, lowest[2] = {1e30f, 1e30f};
  for (int corner = 0; corner < 8; ++corner) {
    float eye[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
      const float offset = ((corner >> i) & 1 ? bounds.max[i] : bounds.min[i]) - target_[i];
      for (int row = 0; row < 3; ++row) eye[row] += view[i * 4 + row] * offset;
    }
    for (int axis = 0; axis < 2; ++axis) {
      const float tangent = axis == 0 ? tanAcross : tanUp;
      reach[axis] = std::max(reach[axis], eye[axis] + tangent * eye[2]);
      lowest[axis] = std::min(lowest[axis], eye[axis] - tangent * eye[2]);
    }
  }
  distance_ =
      std::max({(reach[0] - lowest[0]) / (2 * tanAcross), (reach[1] - lowest[1]) / (2 * tanUp), radius_ * 0.05f});
  for (int axis = 0; axis < 2; ++axis) {
    const float shift = (reach[axis] + lowest[axis]) / 2;
    for (int i = 0; i < 3; ++i) target_[i] += view[i * 4 + axis] * shift;
  }
}

void ViewCamera::Orbit(float dxPixels, float dyPixels) {
  const float limit = std::numbers::pi_v<float> / 2;
  yaw_ = std::remainder(yaw_ - dxPixels * kOrbitPerPixel, 2 * std::numbers::pi_v<float>);
  pitch_ = std::clamp(pitch_ + dyPixels * kOrbitPerPixel, -limit, limit);
}

void ViewCamera::Pan(float dxPixels, float dyPixels, int viewportHeight) {
  // One pixel is as wide as the view at the target's depth divided by the rows.
  const float perPixel = 2 * distance_ * std::tan(kFieldOfView / 2) / std::max(viewportHeight, 1);
  const ViewMatrix view = ModelView();
  for (int i = 0; i < 3; ++i) {
    // Rows 0 and 1 of the rotation are the eye's right and up in world space.
    target_[i] -= (view[i * 4 + 0] * dxPixels - view[i * 4 + 1] * dyPixels) * perPixel;
  }
}

void ViewCamera::Zoom(float steps) {
  distance_ = std::clamp(distance_ * std::pow(kZoomPerStep, steps), radius_ * 1e-3f, radius_ * 1e3f);
}

ViewMatrix ViewCamera::ModelView() const {
  // Eye space = translate(0, 0, -distance) * rotateX(pitch) * rotateY(-yaw) * translate(-target).
  const float cp = std::cos(pitch_), sp = std::sin(pitch_), cy = std::cos(-yaw_), sy = std::sin(-yaw_);
  ViewMatrix rotateX = Identity();
  rotateX[5] = cp;
  rotateX[6] = sp;
  rotateX[9] = -sp;
  rotateX[10] = cp;
  ViewMatrix rotateY = Identity();
  rotateY[0] = cy;
  rotateY[2] = -sy;
  rotateY[8] = sy;
  rotateY[10] = cy;
  ViewMatrix toTarget = Identity();
  toTarget[12] = -target_[0];
  toTarget[13] = -target_[1];
  toTarget[14] = -target_[2];
  ViewMatrix back = Identity();
  back[14] = -distance_;
  return Multiply(back, Multiply(rotateX, Multiply(rotateY, toTarget)));
}

ViewMatrix ViewCamera::Projection(float aspect) const {
  const float nearPlane = std::max(distance_ - 2 * radius_, distance_ * 1e-3f);
  const float farPlane = distance_ + 2 * radius_;
  const float f = 1.0f / std::tan(kFieldOfView / 2);
  ViewMatrix out{};
  out[0] = f / std::max(aspect, 1e-3f);
  out[5] = f;
  out[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
  out[11] = -1;
  out[14] = 2 * farPlane * nearPlane / (nearPlane - farPlane);
  return out;
}

bool ViewCamera::Project(const float point[3], int width, int height, float& x, float& y) const {
  const ViewMatrix matrix = Multiply(Projection(static_cast<float>(width) / std::max(height, 1)), ModelView());
  float clip[4];
  for (int row = 0; row < 4; ++row)
    clip[row] = matrix[row] * point[0] + matrix[4 + row] * point[1] + matrix[8 + row] * point[2] + matrix[12 + row];
  if (clip[3] <= 0) return false;
  x = (clip[0] / clip[3] + 1) / 2 * width;
  y = (1 - clip[1] / clip[3]) / 2 * height;
  return true;
}

float ViewCamera::MostPixelsPerUnit(const ViewBounds& bounds, int width, int height) const {
  // Depth along the view is linear in position, so the box's nearest depth is at a corner.
  const ViewMatrix view = ModelView();
  float nearest = std::numeric_limits<float>::infinity();
  for (int corner = 0; corner < 8; ++corner) {
    const float x = corner & 1 ? bounds.max[0] : bounds.min[0];
    const float y = corner & 2 ? bounds.max[1] : bounds.min[1];
    const float z = corner & 4 ? bounds.max[2] : bounds.min[2];
    nearest = std::min(nearest, -(view[2] * x + view[6] * y + view[10] * z + view[14]));
  }
  if (!(nearest > distance_ * 1e-3f)) return std::numeric_limits<float>::infinity();
  // Towards the view's edges a step in depth moves a point across the screen
  // too, by at most the tangent of the angle to the corner of the view.
  const float slope = std::tan(kFieldOfView / 2);
  const float aspect = static_cast<float>(width) / static_cast<float>(std::max(height, 1));
  const float edge = 1 + slope * std::sqrt(1 + aspect * aspect);
  return edge * static_cast<float>(height) / 2 / (slope * nearest);
}
