// HModelCache::MergeIEModel: an interchange polygon model into a host model.
#include <cstring>
#include <string>
#include <vector>

#include "DecalsByImageAndKind.h"
#include "Interchange/IEModel.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "WorkProgress.h"

namespace {

template <typename T>
bool ArrayIsSound(const IEArray<T>& array) {
  return array.count >= 0 && array.count <= array.capacity && (array.count == 0 || array.data != nullptr);
}

// Everything the merge reads must lie inside its arrays; nothing is changed
// for a model that fails here.
bool IsMergeable(const IEPolyModel& model) {
  const IEArray<IEVector>& vertices = model.vertices.vectors;
  if (!ArrayIsSound(vertices) || !ArrayIsSound(model.polygons) || !ArrayIsSound(model.images) ||
      !ArrayIsSound(model.materials)) {
    return false;
  }
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    for (std::int32_t corner : polygon->corners) {
      if (corner < 0 || corner >= vertices.count) return false;
    }
    if (polygon->material < -1 || polygon->material >= model.materials.count) return false;
    if (!ArrayIsSound(polygon->maps)) return false;
    for (const IEPolyMap* map : polygon->maps) {
      if (!map) continue;
      if (map->image < -1 || map->image >= model.images.count) return false;
    }
  }
  return true;
}

// Text fields the other side filled may lack their terminator.
String BoundedText(const char (&field)[256]) {
  return String(std::string(field, strnlen(field, sizeof(field))).c_str());
}

RGBFloat ColourOf(const float (&stored)[3]) { return RGBFloat{stored[0], stored[1], stored[2]}; }

void AddGroups(const IEPolyModel& source, HModelCache& model, const std::vector<std::int32_t>& materialOfPatch) {
  std::vector<HGroup*> groups;
  for (std::int32_t i = 0; i < source.materials.count; ++i) {
    const IEMaterial& material = source.materials[i];
    String name = BoundedText(material.name);
    if (name.IsEmpty()) name = ("Material " + std::to_string(i + 1)).c_str();
    HGroup* group = model.AddGroup(name);
    HAttrProperty* attr = group->GetAttr();
    attr->GetDiffuseColor()->SetRGBFloat(ColourOf(material.diffuse));
    attr->GetDiffuseFallOff()->SetValue(material.diffuseFactor);
    attr->GetAmbianceColor()->SetRGBFloat(ColourOf(material.ambient));
    attr->GetAmbiance()->SetValue(material.ambientFactor);
    attr->GetSpecularColor()->SetRGBFloat(ColourOf(material.specular));
    attr->GetSpecularIntensity()->SetValue(material.specularFactor);
    groups.push_back(group);
  }
  WorkProgress progress(LongWorkListener(), "adding groups", materialOfPatch.size());
  for (std::size_t patch = 0; patch < materialOfPatch.size(); ++patch) {
    progress.Step(patch);
    std::int32_t material = materialOfPatch[patch];
    if (material >= 0) groups[static_cast<std::size_t>(material)]->AddPatch(static_cast<int>(patch));
  }
}

// The decals of the model's images with the UVs of the polygons that carry them.
void AddDecals(const IEPolyModel& source, HModelCache& model, const std::vector<const IEPoly*>& patchPolygons) {
  std::vector<String> files;
  for (const IEImage& image : source.images) files.push_back(BoundedText(image.path));
  HProject* project = GetHProject();
  const std::vector<HImage*> images = project ? project->AddImages(files) : std::vector<HImage*>(files.size(), nullptr);
  DecalsByImageAndKind decals(model);
  WorkProgress progress(LongWorkListener(), "adding decals", patchPolygons.size());
  for (std::size_t patch = 0; patch < patchPolygons.size(); ++patch) {
    progress.Step(patch);
    for (const IEPolyMap* map : patchPolygons[patch]->maps) {
      if (!map || map->image < 0) continue;
      HDecal* decal = decals.DecalFor(images[static_cast<std::size_t>(map->image)], map->Kind());
      if (decal) decal->SetPatchUV(static_cast<int>(patch), map->uv);
    }
  }
}

}  // namespace

int HModelCache::MergeIEModel(const IEPolyModel* source, const String& name, float tolerance, int mergeGroups,
                              int mergeDecals) {
  if (!source || !IsMergeable(*source)) return 0;
  ClearGeometry();
  if (GetName().IsEmpty()) SetName(name);

  const IEArray<IEVector>& vertices = source->vertices.vectors;
  ReservePositions(static_cast<std::size_t>(vertices.count));
  for (const IEVector& v : vertices) AddPosition(v.x, v.y, v.z);

  std::vector<const IEPoly*> patchPolygons;
  std::vector<std::int32_t> materialOfPatch;
  patchPolygons.reserve(static_cast<std::size_t>(source->polygons.count));
  materialOfPatch.reserve(static_cast<std::size_t>(source->polygons.count));
  ReservePatches(static_cast<std::size_t>(source->polygons.count));
  WorkProgress patches(LongWorkListener(), "adding patches", static_cast<std::size_t>(source->polygons.count));
  for (const IEPoly* polygon : source->polygons) {
    patches.Step(patchPolygons.size());
    if (!polygon) continue;
    const std::int32_t* c = polygon->corners;
    AddPatch(c[0], c[1], c[2], polygon->CornerCount() == 3 ? -1 : c[3]);
    patchPolygons.push_back(polygon);
    materialOfPatch.push_back(polygon->material);
  }

  WorkProgress(LongWorkListener(), "building splines");
  BuildSplinesAlongPatchEdges();
  AddGroups(*source, *this, materialOfPatch);
  AddDecals(*source, *this, patchPolygons);
  return 1;
}
