// HModelCache::BuildExportModel and DeleteIEModel: a model as an interchange
// polygon model.
#include <cstddef>
#include <new>
#include <unordered_map>
#include <vector>

#include "Interchange/IEModel.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "common/EntryGuard.h"

namespace {

void StoreColour(float (&target)[3], const RGBFloat& colour) {
  target[0] = colour.blue;
  target[1] = colour.green;
  target[2] = colour.red;
}

bool AddGroupMaterials(HModelCache& model, IEPolyModel& out, std::vector<std::int32_t>& materialOfPatch) {
  HGroupContainer* groups = model.GetChildGroupContainer();
  if (!groups) return true;
  std::int32_t index = 0;
  for (HGroup* group = groups->GetChildGroup(); group; group = static_cast<HGroup*>(group->GetSibling())) {
    // A name the record cannot hold whole fails the export rather than being cut.
    IEMaterial* material = out.AddMaterial(group->GetName().Get());
    if (!material) return false;
    HAttrProperty* attr = group->GetAttr();
    StoreColour(material->diffuse, attr->GetDiffuseColor()->GetFactoredRGBFloat());
    material->diffuseFactor = attr->GetDiffuseFallOff()->GetValue();
    StoreColour(material->ambient, attr->GetAmbianceColor()->GetFactoredRGBFloat());
    material->ambientFactor = attr->GetAmbiance()->GetValue();
    StoreColour(material->specular, attr->GetSpecularColor()->GetFactoredRGBFloat());
    material->specularFactor = attr->GetSpecularIntensity()->GetValue();
    // A patch in several groups takes the first of them.
    for (std::int32_t patch : group->GetPatchIndices()) {
      if (materialOfPatch[static_cast<std::size_t>(patch)] < 0)
        materialOfPatch[static_cast<std::size_t>(patch)] = index;
    }
    ++index;
  }
  return true;
}

struct ClipPlacement {
  const HDecal* decal;
  std::int32_t image;
  int kind;
};

// Every clip that shows an image, with the image's index; images numbered in
// order of first use.
bool CollectClips(HModelCache& model, IEPolyModel& out, std::vector<ClipPlacement>& clips) {
  HDecalContainer* decals = model.GetChildDecalContainer();
  if (!decals) return true;
  std::unordered_map<const HImage*, std::int32_t> imageIndex;
  for (HDecal* decal = decals->GetChildDecal(); decal; decal = static_cast<HDecal*>(decal->GetSibling())) {
    HDecalClipContainer* container = decal->GetChildDecalClipContainer();
    if (!container) continue;
    for (HDecalClip* clip = container->GetChildDecalClip(); clip; clip = static_cast<HDecalClip*>(clip->GetSibling())) {
      HImage* image = clip->GetClip()->GetClip();
      if (!image) continue;
      auto [entry, added] = imageIndex.emplace(image, out.images.count);
      // A cut path would name another file: a path the record cannot hold fails the export.
      if (added && !out.AddImage(image->GetFilename()->GetValue().Get())) return false;
      clips.push_back(ClipPlacement{decal, entry->second, clip->GetKind()->GetValue()});
    }
  }
  return true;
}

bool AddMaps(IEPolyModel& out, const std::vector<ClipPlacement>& clips) {
  for (const ClipPlacement& clip : clips) {
    for (const HPatchUV& placement : clip.decal->GetPatchUVs()) {
      auto* map = new (std::nothrow) IEPolyMap;
      if (!map) return false;
      for (int k = 0; k < 4; ++k) {
        map->uv[k][0] = placement.uv[k][0];
        map->uv[k][1] = placement.uv[k][1];
      }
      map->image = clip.image;
      map->SetKind(clip.kind);
      if (!out.polygons[placement.patch]->AddMap(map)) {
        delete map;
        return false;
      }
    }
  }
  return true;
}

bool FillExportModel(HModelCache& model, const IEPolyModelParms* parms, IEPolyModel& out) {
  const int positionCount = model.GetPositionCount();
  if (!out.vertices.vectors.SetCount(positionCount)) return false;
  for (int i = 0; i < positionCount; ++i) {
    const HVector& p = model.GetPosition(i);
    out.vertices.vectors[i] = IEVector{p.x, p.y, p.z};
  }

  const int patchCount = model.GetPatchCount();
  std::vector<std::int32_t> materialOfPatch(static_cast<std::size_t>(patchCount), -1);
  if (!AddGroupMaterials(model, out, materialOfPatch)) return false;

  // The final count is known: size the polygon list once.
  if (!out.polygons.SetCount(patchCount)) return false;
  for (int i = 0; i < patchCount; ++i) {
    HPatch* patch = model.GetPatch(i);
    auto* polygon = new (std::nothrow) IEPoly;
    if (!polygon) return false;
    for (int k = 0; k < 4; ++k) polygon->corners[k] = patch->GetCorner(k);
    polygon->material = materialOfPatch[static_cast<std::size_t>(i)];
    polygon->patch = patch;
    out.polygons[i] = polygon;
  }

  const bool includeMaps = !parms || (parms->flags & IEPolyModelParms::IncludeMaps) != 0;
  if (!includeMaps) return true;
  std::vector<ClipPlacement> clips;
  return CollectClips(model, out, clips) && AddMaps(out, clips);
}

}  // namespace

IEPolyModel* HModelCache::BuildExportModel(const IEPolyModelParms* parms, const String& path) {
  auto* out = new (std::nothrow) IEPolyModel;
  if (!out) return nullptr;
  if (!GuardedEntry(false, [&] { return FillExportModel(*this, parms, *out); })) {
    delete out;
    return nullptr;
  }
  return out;
}

void DeleteIEModel(IEPolyModel* model) { delete model; }
