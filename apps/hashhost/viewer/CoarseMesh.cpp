#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "ViewMesh.h"

namespace {

// Cells along the model's longest side: a few pixels each in a window-sized view.
constexpr int kCellsAlongLongestSide = 256;

}  // namespace

void AddCoarseIndices(ViewMesh& mesh, std::size_t mostTriangles) {
  mesh.coarseIndices.clear();
  if (mesh.indices.size() / 3 <= mostTriangles || mesh.bounds.empty) return;
  float longest = 0;
  for (int i = 0; i < 3; ++i) longest = std::max(longest, mesh.bounds.max[i] - mesh.bounds.min[i]);
  const float perCell = longest > 0 ? kCellsAlongLongestSide / longest : 0;
  auto cellOf = [&](std::size_t vertex) {
    std::uint64_t key = 0;
    for (int i = 0; i < 3; ++i) {
      const float offset = (mesh.positions[vertex * 3 + static_cast<std::size_t>(i)] - mesh.bounds.min[i]) * perCell;
      key = key << 10 | static_cast<std::uint64_t>(std::clamp(static_cast<int>(offset), 0, 1023));
    }
    return key;
  };

  std::unordered_map<std::uint64_t, std::uint32_t> firstInCell;
  firstInCell.reserve(mesh.VertexCount() / 4);
  std::vector<std::uint32_t> merged(mesh.VertexCount(), ~0u);
  for (std::size_t b = 0; b < mesh.batches.size(); ++b) {
    ViewBatch& batch = mesh.batches[b];
    batch.coarseFirstIndex = static_cast<std::uint32_t>(mesh.coarseIndices.size());
    // Vertices belong to one batch each, so cells are looked up per batch.
    firstInCell.clear();
    const std::uint32_t end = batch.firstIndex + batch.indexCount;
    for (std::uint32_t i = batch.firstIndex; i + 2 < end; i += 3) {
      std::uint32_t corner[3];
      for (int k = 0; k < 3; ++k) {
        const std::uint32_t vertex = mesh.indices[i + static_cast<std::uint32_t>(k)];
        if (merged[vertex] == ~0u) merged[vertex] = firstInCell.emplace(cellOf(vertex), vertex).first->second;
        corner[k] = merged[vertex];
      }
      if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) continue;
      mesh.coarseIndices.insert(mesh.coarseIndices.end(), corner, corner + 3);
    }
    batch.coarseIndexCount = static_cast<std::uint32_t>(mesh.coarseIndices.size()) - batch.coarseFirstIndex;
  }
  // Not worth a second buffer when merging saved little.
  if (mesh.coarseIndices.size() * 2 > mesh.indices.size()) {
    mesh.coarseIndices.clear();
    mesh.coarseIndices.shrink_to_fit();
  }
}
