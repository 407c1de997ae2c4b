#include "SampleModel.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "Plugin/DecalKind.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "SampleData.h"

namespace {

constexpr int kSegments = 24;
constexpr float kRadius = 1.0f;
constexpr float kHalfHeight = 1.0f;

// Rings from the top down: a hemisphere, the body, a hemisphere. Each ring
// is (height, radius, v) with v running 0 at the top pole to 1 at the bottom.
struct Ring {
  float y;
  float radius;
  float v;
};

std::vector<Ring> CapsuleRings() {
  std::vector<Ring> rings;
  const float degree = std::numbers::pi_v<float> / 180.0f;
  for (float latitude : {67.5f, 45.0f, 22.5f, 0.0f}) {
    rings.push_back({kHalfHeight + kRadius * std::sin(latitude * degree), kRadius * std::cos(latitude * degree), 0});
  }
  for (float y : {kHalfHeight * 0.5f, 0.0f, -kHalfHeight * 0.5f, -kHalfHeight}) rings.push_back({y, kRadius, 0});
  for (float latitude : {-22.5f, -45.0f, -67.5f}) {
    rings.push_back({-kHalfHeight + kRadius * std::sin(latitude * degree), kRadius * std::cos(latitude * degree), 0});
  }
  const float top = kHalfHeight + kRadius;
  for (Ring& ring : rings) ring.v = (top - ring.y) / (2.0f * top);
  return rings;
}

void SetColour(HGroup* group, float r, float g, float b) {
  group->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat::FromRGB(r, g, b));
}

}  // namespace

HModelCache* AddSampleModel(HProject& project) {
  HModelCache* model = HModelCache::New("Sample", 1);
  if (!model) return nullptr;
  const std::vector<Ring> rings = CapsuleRings();
  const int ringCount = static_cast<int>(rings.size());
  const float step = 2.0f * std::numbers::pi_v<float> / kSegments;

  const int topPole = model->AddPosition(0, kHalfHeight + kRadius, 0);
  for (const Ring& ring : rings) {
    for (int j = 0; j < kSegments; ++j) {
      model->AddPosition(ring.radius * std::cos(j * step), ring.y, -ring.radius * std::sin(j * step));
    }
  }
  const int bottomPole = model->AddPosition(0, -kHalfHeight - kRadius, 0);
  auto at = [&](int ring, int segment) { return 1 + ring * kSegments + segment % kSegments; };

  HImage* colourImage = project.AddImage((SampleDataFolder() + "/sample_color.tga").c_str());
  HImage* normalImage = project.AddImage((SampleDataFolder() + "/sample_normal.tga").c_str());
  HGroup* head = model->AddGroup("head cap");
  HGroup* body = model->AddGroup("default");
  HGroup* lower = model->AddGroup("lower body");
  HDecal* colour = model->AddDecal("Sample color");
  colour->AddDecalClip(colourImage)->GetKind()->SetValue(HDK_COLOR);
  HDecal* normal = model->AddDecal("Sample normal");
  normal->AddDecalClip(normalImage)->GetKind()->SetValue(HDK_NORMAL);

  auto u = [](int segment) { return static_cast<float>(segment) / kSegments; };
  // Top pole fan, the bands between rings, bottom pole fan; UVs wrap the
  // colour image once around the capsule.
  for (int j = 0; j < kSegments; ++j) {
    HPatch* patch = model->AddPatch(topPole, at(0, j), at(0, j + 1));
    const float uv[4][2] = {
        {u(j) + 0.5f / kSegments, 0}, {u(j), rings[0].v}, {u(j + 1), rings[0].v}, {u(j) + 0.5f / kSegments, 0}};
    head->AddPatch(patch->GetIndex());
    colour->SetPatchUV(patch->GetIndex(), uv);
  }
  for (int r = 0; r + 1 < ringCount; ++r) {
    HGroup* group = r < 3 ? head : (r < 7 ? body : lower);
    for (int j = 0; j < kSegments; ++j) {
      HPatch* patch = model->AddPatch(at(r, j), at(r + 1, j), at(r + 1, j + 1), at(r, j + 1));
      const float uv[4][2] = {
          {u(j), rings[r].v}, {u(j), rings[r + 1].v}, {u(j + 1), rings[r + 1].v}, {u(j + 1), rings[r].v}};
      group->AddPatch(patch->GetIndex());
      colour->SetPatchUV(patch->GetIndex(), uv);
      if (group == body) normal->SetPatchUV(patch->GetIndex(), uv);
    }
  }
  for (int j = 0; j < kSegments; ++j) {
    const int last = ringCount - 1;
    HPatch* patch = model->AddPatch(bottomPole, at(last, j + 1), at(last, j));
    const float uv[4][2] = {
        {u(j) + 0.5f / kSegments, 1}, {u(j + 1), rings[last].v}, {u(j), rings[last].v}, {u(j) + 0.5f / kSegments, 1}};
    lower->AddPatch(patch->GetIndex());
    colour->SetPatchUV(patch->GetIndex(), uv);
  }

  SetColour(head, 0.96f, 0.80f, 0.62f);
  SetColour(body, 0.20f, 0.40f, 0.85f);
  SetColour(lower, 0.25f, 0.60f, 0.30f);
  head->GetAttr()->GetSpecularIntensity()->SetValue(0.3f);
  HMaterial* headMaterial = head->GetAttr()->AddMaterialHead();
  headMaterial->SetDisplacePercent(0.5f);
  headMaterial->SetBumpPercent(0.75f);
  model->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat::FromRGB(0.7f, 0.7f, 0.7f));

  model->BuildSplinesAlongPatchEdges();
  return model;
}
