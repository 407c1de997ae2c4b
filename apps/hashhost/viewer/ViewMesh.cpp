#include "ViewMesh.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include <Plugin/DecalKind.h>
#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>

namespace {

// Above this many triangles a frame takes software rendering too long to
// follow the mouse, so moving views draw a coarse copy.
constexpr std::size_t kMostTrianglesDrawnMoving = 250000;
constexpr std::uint32_t kNeutralGrey = 0xff999999u;  // a b g r, little-endian bytes r g b a

struct Vec3 {
  float x, y, z;
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
};
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

void PutUnit(const Vec3& v, float w, std::int8_t* out) {
  const float length = Length(v);
  const Vec3 unit = length > 0 ? v * (1.0f / length) : Vec3{0, 0, 1};
  out[0] = static_cast<std::int8_t>(std::lround(unit.x * 127));
  out[1] = static_cast<std::int8_t>(std::lround(unit.y * 127));
  out[2] = static_cast<std::int8_t>(std::lround(unit.z * 127));
  out[3] = static_cast<std::int8_t>(std::lround(w * 127));
}

int MapOfKind(int kind) {
  switch (kind) {
    case HDK_COLOR: return VM_COLOR;
    case HDK_NORMAL: return VM_NORMAL;
    case HDK_SPECULAR_INTENSITY:
    case HDK_SPECULAR: return VM_SPECULAR;
    default: return -1;
  }
}

std::string FileOf(HImage* image) {
  if (!image) return {};
  const String name = image->GetFilename()->GetValue();
  return name.Get() ? std::string(name.Get()) : std::string();
}

template <class Child, class Parent>
std::vector<Child*> ChildrenOf(Parent* container) {
  std::vector<Child*> children;
  for (HHashObject* child = container ? container->GetChild() : nullptr; child; child = child->GetSibling())
    if (auto* typed = dynamic_cast<Child*>(child)) children.push_back(typed);
  return children;
}

// Where a patch takes one map from: the decal and its UV record for the patch.
struct MapSource {
  std::int32_t decal = -1;
  std::int32_t record = -1;
};

// A decal's first clip of each map, as an index into the mesh's images.
struct DecalMaps {
  HDecal* decal = nullptr;
  int image[VM_COUNT] = {-1, -1, -1};
};

std::vector<DecalMaps> CollectDecals(HModelCache& model, std::vector<std::string>& images) {
  std::unordered_map<std::string, int> imageIndex;
  std::vector<DecalMaps> decals;
  for (HDecal* decal : ChildrenOf<HDecal>(model.GetChildDecalContainer())) {
    DecalMaps maps;
    maps.decal = decal;
    for (HDecalClip* clip : ChildrenOf<HDecalClip>(decal->GetChildDecalClipContainer())) {
      const int map = MapOfKind(clip->GetKind()->GetValue());
      const std::string file = FileOf(clip->GetClip()->GetClip());
      if (map < 0 || maps.image[map] >= 0 || file.empty()) continue;
      auto [at, added] = imageIndex.emplace(file, static_cast<int>(images.size()));
      if (added) images.push_back(file);
      maps.image[map] = at->second;
    }
    decals.push_back(maps);
  }
  return decals;
}

struct PatchPlan {
  std::vector<MapSource> sources;     // VM_COUNT per patch
  std::vector<std::uint32_t> colour;  // packed r g b a per patch
  std::vector<std::int32_t> batch;    // per patch
};

std::uint64_t BatchKey(const ViewBatch& batch) {
  std::uint64_t key = 0;
  for (int map = 0; map < VM_COUNT; ++map)
    key = key << 18 | static_cast<std::uint64_t>(batch.image[map] + 1) << 2 | static_cast<unsigned>(batch.uvSet[map]);
  return key;
}

// The images and UV sets of a patch: decals are numbered into UV sets in the
// order the maps need them, so a patch reading one decal uses set 0 only.
ViewBatch BatchOf(const MapSource* sources, const std::vector<DecalMaps>& decals, int& setsUsed) {
  ViewBatch batch;
  std::int32_t setDecal[VM_COUNT] = {-1, -1, -1};
  int sets = 0;
  for (int map = 0; map < VM_COUNT; ++map) {
    const MapSource& source = sources[map];
    if (source.decal < 0) continue;
    batch.image[map] = decals[static_cast<std::size_t>(source.decal)].image[map];
    int set = 0;
    while (set < sets && setDecal[set] != source.decal) ++set;
    if (set == sets) setDecal[sets++] = source.decal;
    batch.uvSet[map] = set;
  }
  setsUsed = sets;
  return batch;
}

PatchPlan PlanPatches(HModelCache& model, const std::vector<DecalMaps>& decals, std::vector<ViewBatch>& batches,
                      int& uvSetCount) {
  const std::size_t patchCount = static_cast<std::size_t>(model.GetPatchCount());
  PatchPlan plan;
  plan.sources.resize(patchCount * VM_COUNT);
  for (std::size_t d = 0; d < decals.size(); ++d) {
    const std::vector<HPatchUV>& placements = decals[d].decal->GetPatchUVs();
    for (std::size_t r = 0; r < placements.size(); ++r) {
      const std::size_t patch = static_cast<std::size_t>(placements[r].patch);
      if (placements[r].patch < 0 || patch >= patchCount) continue;
      for (int map = 0; map < VM_COUNT; ++map)
        if (decals[d].image[map] >= 0)
          plan.sources[patch * VM_COUNT + map] = {static_cast<std::int32_t>(d), static_cast<std::int32_t>(r)};
    }
  }

  plan.colour.assign(patchCount, kNeutralGrey);
  for (HGroup* group : ChildrenOf<HGroup>(model.GetChildGroupContainer())) {
    const RGBFloat c = group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
    auto byte = [](float value) {
      return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
    };
    const std::uint32_t packed = byte(c.red) | byte(c.green) << 8 | byte(c.blue) << 16 | 0xff000000u;
    for (std::int32_t patch : group->GetPatchIndices())
      if (patch >= 0 && static_cast<std::size_t>(patch) < patchCount)
        plan.colour[static_cast<std::size_t>(patch)] = packed;
  }

  std::unordered_map<std::uint64_t, std::int32_t> batchOfKey;
  plan.batch.resize(patchCount);
  uvSetCount = 0;
  std::uint64_t lastKey = ~0ull;
  std::int32_t lastBatch = -1;
  for (std::size_t patch = 0; patch < patchCount; ++patch) {
    int sets = 0;
    const ViewBatch batch = BatchOf(&plan.sources[patch * VM_COUNT], decals, sets);
    uvSetCount = std::max(uvSetCount, sets);
    const std::uint64_t key = BatchKey(batch);
    if (key != lastKey) {
      auto [at, added] = batchOfKey.emplace(key, static_cast<std::int32_t>(batches.size()));
      if (added) batches.push_back(batch);
      lastKey = key;
      lastBatch = at->second;
    }
    plan.batch[patch] = lastBatch;
  }
  return plan;
}

// The corner normals of a bilinear patch (each from its two edges), falling
// back to the face's normal where an edge has no length.
void CornerNormals(const Vec3* p, int corners, Vec3* normals) {
  const Vec3 face = corners == 4 ? Cross(p[2] - p[0], p[3] - p[1]) : Cross(p[1] - p[0], p[2] - p[0]);
  for (int k = 0; k < corners; ++k) {
    const Vec3 n = Cross(p[(k + 1) % corners] - p[k], p[(k + corners - 1) % corners] - p[k]);
    normals[k] = Length(n) > 1e-12f * (Dot(p[k], p[k]) + 1) ? n : face;
  }
}

// The direction of growing u on the surface, with the handedness of growing v.
void PatchTangent(const Vec3* p, const float (*uv)[2], int corners, const Vec3& normal, Vec3& tangent, float& sign) {
  tangent = {1, 0, 0};
  sign = 1;
  const int triangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < (corners == 4 ? 2 : 1); ++t) {
    const int a = triangles[t][0], b = triangles[t][1], c = triangles[t][2];
    const Vec3 e1 = p[b] - p[a], e2 = p[c] - p[a];
    const float du1 = uv[b][0] - uv[a][0], dv1 = uv[b][1] - uv[a][1];
    const float du2 = uv[c][0] - uv[a][0], dv2 = uv[c][1] - uv[a][1];
    const float det = du1 * dv2 - du2 * dv1;
    if (std::fabs(det) < 1e-12f) continue;
    tangent = (e1 * dv2 - e2 * dv1) * (1.0f / det);
    const Vec3 bitangent = (e2 * du1 - e1 * du2) * (1.0f / det);
    sign = Dot(Cross(normal, tangent), bitangent) < 0 ? -1.0f : 1.0f;
    return;
  }
}

}  // namespace

void BuildViewMesh(HModelCache& model, ViewMesh& mesh) {
  mesh = ViewMesh();
  const std::vector<DecalMaps> decals = CollectDecals(model, mesh.images);
  int uvSetCount = 0;
  const PatchPlan plan = PlanPatches(model, decals, mesh.batches, uvSetCount);
  const int patchCount = model.GetPatchCount();
  const int positionCount = model.GetPositionCount();
  mesh.patchCount = patchCount;
  bool anyNormalMap = false;
  for (const ViewBatch& batch : mesh.batches) anyNormalMap = anyNormalMap || batch.image[VM_NORMAL] >= 0;

  // Where each batch's indices start; a patch with a corner outside the
  // model's positions is not drawn.
  auto drawable = [positionCount](const HPatch* patch) {
    const int corners = patch->GetCornerCount();
    for (int k = 0; k < corners; ++k)
      if (patch->GetCorner(k) < 0 || patch->GetCorner(k) >= positionCount) return false;
    return corners == 3 || corners == 4;
  };
  std::vector<std::uint32_t> indexOf(mesh.batches.size() + 1, 0);
  for (int i = 0; i < patchCount; ++i) {
    const HPatch* patch = model.GetPatch(i);
    if (drawable(patch))
      indexOf[static_cast<std::size_t>(plan.batch[static_cast<std::size_t>(i)]) + 1] +=
          patch->GetCornerCount() == 4 ? 6 : 3;
  }
  for (std::size_t b = 0; b < mesh.batches.size(); ++b) {
    indexOf[b + 1] += indexOf[b];
    mesh.batches[b].firstIndex = indexOf[b];
    mesh.batches[b].indexCount = indexOf[b + 1] - indexOf[b];
  }
  mesh.indices.resize(indexOf.back());
  mesh.uvSets.resize(static_cast<std::size_t>(uvSetCount));

  // Patches meeting at a position share its vertex when they agree on batch,
  // colour and UVs and their normals bend less than a crease; shared
  // vertices are what keeps a million patches quick to draw.
  const float creaseCosine = 0.5f;
  std::vector<std::int32_t> firstAt(static_cast<std::size_t>(positionCount), -1);
  std::vector<std::int32_t> nextAt, batchOf, positionOf;
  std::vector<Vec3> normalSum, tangentSum;
  // A position's normal over all its patches, so a UV seam shades smoothly too.
  std::vector<Vec3> positionNormal(static_cast<std::size_t>(positionCount), Vec3{0, 0, 0});
  std::vector<float> handedness;
  const std::size_t expected = static_cast<std::size_t>(positionCount) + static_cast<std::size_t>(patchCount) / 4;
  nextAt.reserve(expected);
  batchOf.reserve(expected);
  normalSum.reserve(expected);
  mesh.positions.reserve(expected * 3);
  mesh.colours.reserve(expected * 4);
  for (std::vector<float>& set : mesh.uvSets) set.reserve(expected * 2);

  for (int i = 0; i < patchCount; ++i) {
    const HPatch* patch = model.GetPatch(i);
    const std::size_t b = static_cast<std::size_t>(plan.batch[static_cast<std::size_t>(i)]);
    if (!drawable(patch)) continue;
    const int corners = patch->GetCornerCount();
    std::uint32_t* index = &mesh.indices[indexOf[b]];
    indexOf[b] += corners == 4 ? 6 : 3;

    Vec3 p[4]{};
    int at[4] = {0, 0, 0, 0};
    for (int k = 0; k < corners; ++k) {
      at[k] = patch->GetCorner(k);
      const HVector& v = model.GetPosition(at[k]);
      p[k] = {v.x, v.y, v.z};
      const float point[3] = {v.x, v.y, v.z};
      mesh.bounds.Add(point);
    }
    Vec3 normals[4];
    CornerNormals(p, corners, normals);

    const MapSource* sources = &plan.sources[static_cast<std::size_t>(i) * VM_COUNT];
    const ViewBatch& batch = mesh.batches[b];
    float uv[VM_COUNT][4][2] = {};
    for (int map = 0; map < VM_COUNT; ++map) {
      if (sources[map].decal < 0) continue;
      const HPatchUV& record = decals[static_cast<std::size_t>(sources[map].decal)]
                                   .decal->GetPatchUVs()[static_cast<std::size_t>(sources[map].record)];
      std::memcpy(uv[map], record.uv, sizeof record.uv);
    }
    Vec3 tangent{1, 0, 0};
    float sign = 1;
    const bool normalMapped = anyNormalMap && sources[VM_NORMAL].decal >= 0;
    if (normalMapped) PatchTangent(p, uv[VM_NORMAL], corners, normals[0] + normals[2], tangent, sign);
    const std::uint32_t colour = plan.colour[static_cast<std::size_t>(i)];

    std::uint32_t vertex[4] = {0, 0, 0, 0};
    for (int k = 0; k < corners; ++k) {
      const float normalLength = Length(normals[k]);
      std::int32_t found = firstAt[static_cast<std::size_t>(at[k])];
      for (; found >= 0; found = nextAt[static_cast<std::size_t>(found)]) {
        const std::size_t v = static_cast<std::size_t>(found);
        if (batchOf[v] != static_cast<std::int32_t>(b) || std::memcmp(&mesh.colours[v * 4], &colour, 4) != 0) continue;
        bool same = true;
        for (int map = 0; same && map < VM_COUNT; ++map) {
          if (sources[map].decal < 0) continue;
          const float* stored = &mesh.uvSets[static_cast<std::size_t>(batch.uvSet[map])][v * 2];
          same = stored[0] == uv[map][k][0] && stored[1] == uv[map][k][1];
        }
        // Either winding: patches of one surface may face either way.
        const float bend = std::fabs(Dot(normalSum[v], normals[k])) / (Length(normalSum[v]) * normalLength + 1e-30f);
        if (same && (bend >= creaseCosine || normalLength == 0)) break;
      }
      if (found < 0) {
        found = static_cast<std::int32_t>(batchOf.size());
        batchOf.push_back(static_cast<std::int32_t>(b));
        positionOf.push_back(at[k]);
        nextAt.push_back(firstAt[static_cast<std::size_t>(at[k])]);
        firstAt[static_cast<std::size_t>(at[k])] = found;
        normalSum.push_back({0, 0, 0});
        mesh.positions.insert(mesh.positions.end(), {p[k].x, p[k].y, p[k].z});
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&colour);
        mesh.colours.insert(mesh.colours.end(), bytes, bytes + 4);
        for (std::vector<float>& set : mesh.uvSets) set.insert(set.end(), {0.0f, 0.0f});
        for (int map = 0; map < VM_COUNT; ++map) {
          if (sources[map].decal < 0) continue;
          float* stored = &mesh.uvSets[static_cast<std::size_t>(batch.uvSet[map])][static_cast<std::size_t>(found) * 2];
          stored[0] = uv[map][k][0];
          stored[1] = uv[map][k][1];
        }
        if (anyNormalMap) {
          tangentSum.push_back({0, 0, 0});
          handedness.push_back(1);
        }
      }
      const std::size_t v = static_cast<std::size_t>(found);
      normalSum[v] = normalSum[v] + (Dot(normalSum[v], normals[k]) < 0 ? normals[k] * -1.0f : normals[k]);
      Vec3& shared = positionNormal[static_cast<std::size_t>(at[k])];
      shared = shared + (Dot(shared, normals[k]) < 0 ? normals[k] * -1.0f : normals[k]);
      if (normalMapped) {
        const float length = Length(tangent);
        if (length > 0) tangentSum[v] = tangentSum[v] + tangent * (1.0f / length);
        handedness[v] = sign;
      }
      vertex[k] = static_cast<std::uint32_t>(found);
    }
    const std::uint32_t corner[6] = {vertex[0], vertex[1], vertex[2], vertex[0], vertex[2], vertex[3]};
    std::copy(corner, corner + (corners == 4 ? 6 : 3), index);
  }

  const std::size_t vertices = batchOf.size();
  mesh.normals.resize(vertices * 4);
  for (std::size_t v = 0; v < vertices; ++v) {
    const Vec3& shared = positionNormal[static_cast<std::size_t>(positionOf[v])];
    const float bend = std::fabs(Dot(shared, normalSum[v])) / (Length(shared) * Length(normalSum[v]) + 1e-30f);
    PutUnit(bend >= creaseCosine ? shared : normalSum[v], 0, &mesh.normals[v * 4]);
  }
  if (anyNormalMap) {
    mesh.tangents.resize(vertices * 4);
    for (std::size_t v = 0; v < vertices; ++v) PutUnit(tangentSum[v], handedness[v], &mesh.tangents[v * 4]);
  }
  AddCoarseIndices(mesh, kMostTrianglesDrawnMoving);
}

std::uint64_t ViewMeshFingerprint(HModelCache& model) {
  std::uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  };
  auto mixInt = [&mix](long long value) { mix(&value, sizeof value); };
  // Every n-th element, about a thousand of each array: enough to tell models apart cheaply.
  auto strideFor = [](int count) { return std::max(1, count / 1024); };

  const int positions = model.GetPositionCount(), patches = model.GetPatchCount();
  mixInt(positions);
  mixInt(patches);
  for (int i = 0; i < positions; i += strideFor(positions)) mix(&model.GetPosition(i), sizeof(HVector));
  for (int i = 0; i < patches; i += strideFor(patches)) {
    const HPatch* patch = model.GetPatch(i);
    for (int k = 0; k < 4; ++k) mixInt(patch->GetCorner(k));
  }
  for (HGroup* group : ChildrenOf<HGroup>(model.GetChildGroupContainer())) {
    const RGBFloat colour = group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
    mix(&colour, sizeof colour);
    const std::vector<std::int32_t>& members = group->GetPatchIndices();
    mixInt(static_cast<long long>(members.size()));
    const int count = static_cast<int>(members.size());
    for (int i = 0; i < count; i += strideFor(count)) mixInt(members[static_cast<std::size_t>(i)]);
  }
  for (HDecal* decal : ChildrenOf<HDecal>(model.GetChildDecalContainer())) {
    mixInt(-1);
    for (HDecalClip* clip : ChildrenOf<HDecalClip>(decal->GetChildDecalClipContainer())) {
      mixInt(clip->GetKind()->GetValue());
      const std::string file = FileOf(clip->GetClip()->GetClip());
      mix(file.data(), file.size());
      // A repainted file under the same name is new paint.
      struct stat info {};
      if (!file.empty() && stat(file.c_str(), &info) == 0) {
        mixInt(info.st_size);
        mixInt(info.st_mtim.tv_sec);
        mixInt(info.st_mtim.tv_nsec);
      }
    }
    const std::vector<HPatchUV>& placements = decal->GetPatchUVs();
    const int count = static_cast<int>(placements.size());
    mixInt(count);
    for (int i = 0; i < count; i += strideFor(count)) mix(&placements[static_cast<std::size_t>(i)], sizeof(HPatchUV));
  }
  return hash;
}
