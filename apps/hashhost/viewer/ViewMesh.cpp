#include "ViewMesh.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

#include <Plugin/DecalKind.h>
#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>

namespace {

// Above this many triangles a frame takes software rendering too long to
// follow the mouse, so views may draw coarser copies.
constexpr std::size_t kMostTrianglesDrawnWhole = 250000;
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
    case HDK_DISPLACEMENT:
    case HDK_DISPLACEMENT_PERCENT: return VM_DISPLACEMENT;
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
  int image[VM_COUNT] = {-1, -1, -1, -1};
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

using BatchKey = std::array<int, 2 * VM_COUNT>;

BatchKey KeyOf(const ViewBatch& batch) {
  BatchKey key{};
  for (int map = 0; map < VM_COUNT; ++map) {
    key[static_cast<std::size_t>(map) * 2] = batch.image[map];
    key[static_cast<std::size_t>(map) * 2 + 1] = batch.uvSet[map];
  }
  return key;
}

// The images and UV sets of a patch: decals are numbered into UV sets in the
// order the maps need them, so a patch reading one decal uses set 0 only.
ViewBatch BatchOf(const MapSource* sources, const std::vector<DecalMaps>& decals, int& setsUsed) {
  ViewBatch batch;
  std::int32_t setDecal[VM_COUNT] = {-1, -1, -1, -1};
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

  std::map<BatchKey, std::int32_t> batchOfKey;
  plan.batch.resize(patchCount);
  uvSetCount = 0;
  BatchKey lastKey{};
  lastKey.fill(-2);
  std::int32_t lastBatch = -1;
  for (std::size_t patch = 0; patch < patchCount; ++patch) {
    int sets = 0;
    const ViewBatch batch = BatchOf(&plan.sources[patch * VM_COUNT], decals, sets);
    uvSetCount = std::max(uvSetCount, sets);
    const BatchKey key = KeyOf(batch);
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

// Patches meeting at a position share a vertex when they agree on batch,
// colour and UVs and their normals bend less than a crease; shared vertices
// are what keeps a million patches quick to draw. Corner normals bent more
// than a crease apart (a cube's edges) keep vertices of their own, so hard
// edges stay hard.
constexpr float kCreaseCosine = 0.5f;
// Normals a file gives are shared only where they agree.
constexpr float kSameCosine = 0.9999f;

// Either winding: patches of one surface may face either way.
float BendCosine(const Vec3& a, const Vec3& b) { return std::fabs(Dot(a, b)) / (Length(a) * Length(b) + 1e-30f); }

Vec3 AddFacing(const Vec3& sum, const Vec3& normal) { return sum + (Dot(sum, normal) < 0 ? normal * -1.0f : normal); }

// One patch as read from the model, ready to be added to the mesh.
struct PatchCorners {
  int corners = 0;
  int at[4] = {0, 0, 0, 0};  // position indices
  Vec3 p[4]{};
  Vec3 normal[4]{};
  float uv[VM_COUNT][4][2] = {};
  Vec3 tangent{1, 0, 0};
  float handedness = 1;
  bool given = false;  // the normals are the file's own
};

// Turns a model into a ViewMesh in steps: plan which images each patch
// takes, lay out each batch's share of the indices, add the patches corner
// by corner (finding or making each corner's vertex), then settle the
// normals and tangents the vertices gathered.
class ViewMeshBuilder {
public:
  ViewMeshBuilder(HModelCache& model, ViewMesh& mesh) : model_(model), mesh_(mesh) {}

  void Build() {
    mesh_ = ViewMesh();
    decals_ = CollectDecals(model_, mesh_.images);
    int uvSetCount = 0;
    plan_ = PlanPatches(model_, decals_, mesh_.batches, uvSetCount);
    mesh_.patchCount = model_.GetPatchCount();
    mesh_.uvSets.resize(static_cast<std::size_t>(uvSetCount));
    for (const ViewBatch& batch : mesh_.batches) anyNormalMap_ = anyNormalMap_ || batch.image[VM_NORMAL] >= 0;
    LayOutBatches();
    Reserve();
    for (int i = 0; i < mesh_.patchCount; ++i) AddPatch(i);
    SettleNormals();
    SettleTangents();
    AddCoarseLevels(mesh_, kMostTrianglesDrawnWhole);
  }

private:
  // A patch with a corner outside the model's positions is not drawn.
  bool Drawable(const HPatch* patch) const {
    const int corners = patch->GetCornerCount();
    const int positions = model_.GetPositionCount();
    for (int k = 0; k < corners; ++k)
      if (patch->GetCorner(k) < 0 || patch->GetCorner(k) >= positions) return false;
    return corners == 3 || corners == 4;
  }

  std::size_t BatchOfPatch(int i) const { return static_cast<std::size_t>(plan_.batch[static_cast<std::size_t>(i)]); }

  // Where each batch's indices start, counted before any is written.
  void LayOutBatches() {
    nextIndex_.assign(mesh_.batches.size() + 1, 0);
    for (int i = 0; i < mesh_.patchCount; ++i) {
      const HPatch* patch = model_.GetPatch(i);
      if (Drawable(patch)) nextIndex_[BatchOfPatch(i) + 1] += patch->GetCornerCount() == 4 ? 6 : 3;
    }
    for (std::size_t b = 0; b < mesh_.batches.size(); ++b) {
      nextIndex_[b + 1] += nextIndex_[b];
      mesh_.batches[b].firstIndex = nextIndex_[b];
      mesh_.batches[b].indexCount = nextIndex_[b + 1] - nextIndex_[b];
    }
    mesh_.indices.resize(nextIndex_.back());
  }

  void Reserve() {
    const std::size_t expected =
        static_cast<std::size_t>(model_.GetPositionCount()) + static_cast<std::size_t>(mesh_.patchCount) / 4;
    firstAt_.assign(static_cast<std::size_t>(model_.GetPositionCount()), -1);
    nextAt_.reserve(expected);
    batchOf_.reserve(expected);
    normalSum_.reserve(expected);
    mesh_.positions.reserve(expected * 3);
    mesh_.colours.reserve(expected * 4);
    for (std::vector<float>& set : mesh_.uvSets) set.reserve(expected * 2);
  }

  const MapSource* SourcesOf(int i) const { return &plan_.sources[static_cast<std::size_t>(i) * VM_COUNT]; }

  PatchCorners ReadPatch(int i, const HPatch& patch) {
    PatchCorners read;
    read.corners = patch.GetCornerCount();
    for (int k = 0; k < read.corners; ++k) {
      read.at[k] = patch.GetCorner(k);
      const HVector& v = model_.GetPosition(read.at[k]);
      read.p[k] = {v.x, v.y, v.z};
      const float point[3] = {v.x, v.y, v.z};
      mesh_.bounds.Add(point);
    }
    CornerNormals(read.p, read.corners, read.normal);
    float given[4][3];
    read.given = model_.GetPatchNormals(i, given);
    for (int k = 0; read.given && k < read.corners; ++k) {
      const Vec3 normal{given[k][0], given[k][1], given[k][2]};
      if (Length(normal) > 0) read.normal[k] = normal;
    }
    const MapSource* sources = SourcesOf(i);
    for (int map = 0; map < VM_COUNT; ++map) {
      if (sources[map].decal < 0) continue;
      const HPatchUV& record = decals_[static_cast<std::size_t>(sources[map].decal)]
                                   .decal->GetPatchUVs()[static_cast<std::size_t>(sources[map].record)];
      std::memcpy(read.uv[map], record.uv, sizeof record.uv);
    }
    if (anyNormalMap_ && sources[VM_NORMAL].decal >= 0)
      PatchTangent(read.p, read.uv[VM_NORMAL], read.corners, read.normal[0] + read.normal[2], read.tangent,
                   read.handedness);
    return read;
  }

  void AddPatch(int i) {
    const HPatch* patch = model_.GetPatch(i);
    if (!Drawable(patch)) return;
    const std::size_t b = BatchOfPatch(i);
    const PatchCorners read = ReadPatch(i, *patch);
    const bool normalMapped = anyNormalMap_ && SourcesOf(i)[VM_NORMAL].decal >= 0;
    std::uint32_t vertex[4] = {0, 0, 0, 0};
    for (int k = 0; k < read.corners; ++k) {
      const std::size_t v = VertexFor(i, b, read, k);
      normalSum_[v] = AddFacing(normalSum_[v], read.normal[k]);
      if (normalMapped) {
        const float length = Length(read.tangent);
        if (length > 0) tangentSum_[v] = tangentSum_[v] + read.tangent * (1.0f / length);
        handedness_[v] = read.handedness;
      }
      vertex[k] = static_cast<std::uint32_t>(v);
    }
    const std::uint32_t corner[6] = {vertex[0], vertex[1], vertex[2], vertex[0], vertex[2], vertex[3]};
    const int count = read.corners == 4 ? 6 : 3;
    std::copy(corner, corner + count, &mesh_.indices[nextIndex_[b]]);
    nextIndex_[b] += static_cast<std::uint32_t>(count);
  }

  // The vertex corner k of patch i shares, or a new one.
  std::size_t VertexFor(int i, std::size_t b, const PatchCorners& read, int k) {
    const MapSource* sources = SourcesOf(i);
    const ViewBatch& batch = mesh_.batches[b];
    const std::uint32_t colour = plan_.colour[static_cast<std::size_t>(i)];
    const std::size_t position = static_cast<std::size_t>(read.at[k]);
    const bool flat = Length(read.normal[k]) == 0;
    for (std::int32_t found = firstAt_[position]; found >= 0; found = nextAt_[static_cast<std::size_t>(found)]) {
      const std::size_t v = static_cast<std::size_t>(found);
      if (batchOf_[v] != static_cast<std::int32_t>(b) || std::memcmp(&mesh_.colours[v * 4], &colour, 4) != 0 ||
          given_[v] != read.given)
        continue;
      bool sameUvs = true;
      for (int map = 0; sameUvs && map < VM_COUNT; ++map) {
        if (sources[map].decal < 0) continue;
        const float* stored = &mesh_.uvSets[static_cast<std::size_t>(batch.uvSet[map])][v * 2];
        sameUvs = stored[0] == read.uv[map][k][0] && stored[1] == read.uv[map][k][1];
      }
      // A file's normals are kept as given: only equal ones share a vertex.
      const bool alike = read.given ? Dot(normalSum_[v], read.normal[k]) > 0 &&
                                          BendCosine(normalSum_[v], read.normal[k]) >= kSameCosine
                                    : flat || BendCosine(normalSum_[v], read.normal[k]) >= kCreaseCosine;
      if (sameUvs && alike) return v;
    }
    const std::size_t v = batchOf_.size();
    batchOf_.push_back(static_cast<std::int32_t>(b));
    positionOf_.push_back(read.at[k]);
    given_.push_back(read.given);
    nextAt_.push_back(firstAt_[position]);
    firstAt_[position] = static_cast<std::int32_t>(v);
    normalSum_.push_back({0, 0, 0});
    mesh_.positions.insert(mesh_.positions.end(), {read.p[k].x, read.p[k].y, read.p[k].z});
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&colour);
    mesh_.colours.insert(mesh_.colours.end(), bytes, bytes + 4);
    for (std::vector<float>& set : mesh_.uvSets) set.insert(set.end(), {0.0f, 0.0f});
    for (int map = 0; map < VM_COUNT; ++map) {
      if (sources[map].decal < 0) continue;
      float* stored = &mesh_.uvSets[static_cast<std::size_t>(batch.uvSet[map])][v * 2];
      stored[0] = read.uv[map][k][0];
      stored[1] = read.uv[map][k][1];
    }
    if (anyNormalMap_) {
      tangentSum_.push_back({0, 0, 0});
      handedness_.push_back(1);
    }
    return v;
  }

  // A vertex's normal gathers every vertex at its position (across UV seams,
  // batches and colours) that bends less than a crease from its own, so a
  // seam shades smoothly and a hard edge stays hard. Normals a file gave
  // stay as given.
  void SettleNormals() {
    const std::size_t vertices = batchOf_.size();
    mesh_.normals.resize(vertices * 4);
    for (std::size_t v = 0; v < vertices; ++v) {
      if (given_[v]) {
        PutUnit(normalSum_[v], 0, &mesh_.normals[v * 4]);
        continue;
      }
      Vec3 smooth{0, 0, 0};
      for (std::int32_t other = firstAt_[static_cast<std::size_t>(positionOf_[v])]; other >= 0;
           other = nextAt_[static_cast<std::size_t>(other)]) {
        const Vec3& sum = normalSum_[static_cast<std::size_t>(other)];
        if (static_cast<std::size_t>(other) == v ||
            (!given_[static_cast<std::size_t>(other)] && BendCosine(normalSum_[v], sum) >= kCreaseCosine))
          smooth = AddFacing(smooth, sum);
      }
      PutUnit(Dot(smooth, normalSum_[v]) < 0 ? smooth * -1.0f : smooth, 0, &mesh_.normals[v * 4]);
    }
  }

  void SettleTangents() {
    if (!anyNormalMap_) return;
    const std::size_t vertices = batchOf_.size();
    mesh_.tangents.resize(vertices * 4);
    for (std::size_t v = 0; v < vertices; ++v) PutUnit(tangentSum_[v], handedness_[v], &mesh_.tangents[v * 4]);
  }

  HModelCache& model_;
  ViewMesh& mesh_;
  std::vector<DecalMaps> decals_;
  PatchPlan plan_;
  bool anyNormalMap_ = false;
  std::vector<std::uint32_t> nextIndex_;  // per batch, where its next triangle goes
  // The vertices at each position, as a list through nextAt_.
  std::vector<std::int32_t> firstAt_, nextAt_;
  std::vector<std::int32_t> batchOf_, positionOf_;  // per vertex
  std::vector<char> given_;                         // per vertex: its normal is the file's
  std::vector<Vec3> normalSum_, tangentSum_;        // per vertex
  std::vector<float> handedness_;                   // per vertex
};

}  // namespace

void BuildViewMesh(HModelCache& model, ViewMesh& mesh) { ViewMeshBuilder(model, mesh).Build(); }

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
