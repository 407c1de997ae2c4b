#include "receive/InterchangePolygons.h"

#include <array>
#include <vector>

#include "receive/LayerElementEntry.h"
#include "receive/SplitPolygon.h"

namespace pigmora {

namespace {

// The mesh's UV set named first in the texture list (letter case ignored).
const FbxLayerElementUV* FindUVSet(FbxMesh& mesh, const TextureList& list) {
  if (list.uvSetNames.empty()) return nullptr;
  const String& wanted = list.uvSetNames.front();
  if (const FbxLayerElementUV* exact = mesh.GetElementUV(wanted.Get())) return exact;
  for (int i = 0; i < mesh.GetElementUVCount(); ++i) {
    const FbxLayerElementUV* uvs = mesh.GetElementUV(i);
    if (uvs && wanted.Compare(uvs->GetName(), 1)) return uvs;
  }
  return nullptr;
}

// How many model polygons an FBX polygon gives: none for fewer than three
// corners or a corner naming no control point, triangles beyond four.
int ModelPolygonsOf(int size, const int* corners, int controlPointCount) {
  if (size < 3) return 0;
  for (int k = 0; k < size; ++k) {
    if (corners[k] < 0 || corners[k] >= controlPointCount) return 0;
  }
  return size <= 4 ? 1 : size - 2;
}

class PolygonMaker {
public:
  PolygonMaker(IEPolyModel& model, FbxMesh& mesh, const FbxLayerElementUV* uvs, ImportTables& tables)
      : model_(model), mesh_(mesh), uvs_(uvs), tables_(tables) {}

  // Reads the corners' UVs (host convention, v flipped); false when any
  // corner has none, so the polygon gets no texture rather than a wrong one.
  bool ReadUVs(int polygon, int start, int size, const int* corners) {
    if (!uvs_) return false;
    uv_.resize(static_cast<std::size_t>(size));
    const auto& direct = uvs_->GetDirectArray().Items();
    for (int k = 0; k < size; ++k) {
      int position = -1;
      if (!DirectPosition(*uvs_, CornerPlace{polygon, start + k, corners[k]}, position)) return false;
      const FbxVector2& pair = direct[static_cast<std::size_t>(position)];
      uv_[static_cast<std::size_t>(k)] = {static_cast<float>(pair[0]), static_cast<float>(1.0 - pair[1])};
    }
    return true;
  }

  // A model polygon from corners picked (by position) out of the FBX polygon.
  void Make(int polygon, const int* corners, bool withUVs, const int* pick, int count) {
    auto* made = new IEPoly;
    PolygonUVs uvs{};
    uvs.present = withUVs;
    for (int k = 0; k < 4; ++k) {
      const int from = pick[k < count ? k : 0];  // a triangle repeats corner 0
      made->corners[k] = corners[from];
      if (withUVs) {
        uvs.uv[k][0] = uv_[static_cast<std::size_t>(from)][0];
        uvs.uv[k][1] = uv_[static_cast<std::size_t>(from)][1];
      }
    }
    model_.polygons[next_++] = made;
    tables_.sourcePolygon.push_back(polygon);
    tables_.polygonUVs.push_back(uvs);
  }

  void Split(int polygon, const int* corners, int size, bool withUVs) {
    const FbxVector4* points = mesh_.GetControlPoints();
    outline_.resize(static_cast<std::size_t>(size));
    for (int k = 0; k < size; ++k) {
      const FbxVector4& p = points[corners[k]];
      outline_[static_cast<std::size_t>(k)] = {p[0], p[1], p[2]};
    }
    for (const std::array<int, 3>& triangle : SplitPolygon(outline_))
      Make(polygon, corners, withUVs, triangle.data(), 3);
  }

private:
  IEPolyModel& model_;
  FbxMesh& mesh_;
  const FbxLayerElementUV* uvs_;
  ImportTables& tables_;
  std::vector<std::array<float, 2>> uv_;
  std::vector<std::array<double, 3>> outline_;
  int next_ = 0;
};

}  // namespace

// One polygon per FBX polygon of three or four corners, triangles for larger
// ones (ear clipping), none for smaller ones or ones naming a missing control
// point. UVs come from the list's first UV set, read as the mesh stores it.
bool AddPolygons(IEPolyModel& model, FbxMesh& mesh, const TextureList& list, ImportTables& tables) {
  const int controlPointCount = mesh.GetControlPointsCount();
  const int polygonCount = mesh.GetPolygonCount();
  const int* vertices = mesh.GetPolygonVertices();
  const int vertexCount = mesh.GetPolygonVertexCount();

  auto cornersOf = [&](int polygon, int& start, int& size) -> const int* {
    start = mesh.GetPolygonVertexIndex(polygon);
    size = mesh.GetPolygonSize(polygon);
    if (start < 0 || size < 0 || start > vertexCount - size) size = 0;
    return size > 0 ? vertices + start : nullptr;
  };

  std::int64_t total = 0;
  for (int p = 0; p < polygonCount; ++p) {
    int start = 0, size = 0;
    const int* corners = cornersOf(p, start, size);
    total += corners ? ModelPolygonsOf(size, corners, controlPointCount) : 0;
  }
  if (total > INT32_MAX || !model.polygons.SetCount(static_cast<std::int32_t>(total))) return false;
  tables.sourcePolygon.clear();
  tables.polygonUVs.clear();
  tables.sourcePolygon.reserve(static_cast<std::size_t>(total));
  tables.polygonUVs.reserve(static_cast<std::size_t>(total));

  PolygonMaker maker(model, mesh, FindUVSet(mesh, list), tables);
  static const int kInOrder[4] = {0, 1, 2, 3};
  for (int p = 0; p < polygonCount; ++p) {
    int start = 0, size = 0;
    const int* corners = cornersOf(p, start, size);
    if (!corners || ModelPolygonsOf(size, corners, controlPointCount) == 0) continue;
    const bool withUVs = maker.ReadUVs(p, start, size, corners);
    if (size <= 4)
      maker.Make(p, corners, withUVs, kInOrder, size);
    else
      maker.Split(p, corners, size, withUVs);
  }
  return true;
}

}  // namespace pigmora
