#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "ViewMesh.h"

namespace {

// Cells along the model's longest side of the finest copy: a grid key keeps
// 10 bits an axis.
constexpr int kMostCells = 1024;
// Below this many triangles a coarser copy would not be quicker to draw.
constexpr std::size_t kFewestTriangles = 4096;

// Each copy's grid has cells twice the size of the one before, nested in
// them, so a copy is made from the one before: its vertices are the first of
// the finer copy's in each larger cell, and triangles left with no area go.
ViewLevel Coarsen(const ViewMesh& mesh, const std::vector<std::uint32_t>& indices,
                  const std::vector<std::uint32_t>& batchFirst, int cells, std::vector<std::uint32_t>& merged) {
  float longest = 0;
  for (int i = 0; i < 3; ++i) longest = std::max(longest, mesh.bounds.max[i] - mesh.bounds.min[i]);
  ViewLevel level;
  level.cellSize = longest / static_cast<float>(cells);
  const float perCell = longest > 0 ? static_cast<float>(cells) / longest : 0;
  auto cellOf = [&](std::size_t vertex) {
    std::uint64_t key = 0;
    for (int i = 0; i < 3; ++i) {
      const float offset = (mesh.positions[vertex * 3 + static_cast<std::size_t>(i)] - mesh.bounds.min[i]) * perCell;
      key = key << 10 | static_cast<std::uint64_t>(std::clamp(static_cast<int>(offset), 0, cells - 1));
    }
    return key;
  };
  std::fill(merged.begin(), merged.end(), ~0u);
  std::unordered_map<std::uint64_t, std::uint32_t> firstInCell;
  level.batchFirst.push_back(0);
  for (std::size_t b = 0; b + 1 < batchFirst.size(); ++b) {
    // Vertices belong to one batch each, so cells are looked up per batch.
    firstInCell.clear();
    for (std::uint32_t i = batchFirst[b]; i + 2 < batchFirst[b + 1]; i += 3) {
      std::uint32_t corner[3];
      for (int k = 0; k < 3; ++k) {
        const std::uint32_t vertex = indices[i + static_cast<std::uint32_t>(k)];
        if (merged[vertex] == ~0u) merged[vertex] = firstInCell.emplace(cellOf(vertex), vertex).first->second;
        corner[k] = merged[vertex];
      }
      if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) continue;
      level.indices.insert(level.indices.end(), corner, corner + 3);
    }
    level.batchFirst.push_back(static_cast<std::uint32_t>(level.indices.size()));
  }
  return level;
}

}  // namespace

void AddCoarseLevels(ViewMesh& mesh, std::size_t mostTriangles) {
  mesh.levels.clear();
  if (mesh.indices.size() / 3 <= mostTriangles || mesh.bounds.empty) return;
  std::vector<std::uint32_t> batchFirst;
  for (const ViewBatch& batch : mesh.batches) batchFirst.push_back(batch.firstIndex);
  batchFirst.push_back(static_cast<std::uint32_t>(mesh.indices.size()));
  std::vector<std::uint32_t> merged(mesh.VertexCount());
  ViewLevel finer;
  const std::vector<std::uint32_t>* from = &mesh.indices;
  std::size_t kept = mesh.indices.size();
  // A surface of n vertices has about n / 2 of them in a grid of sqrt(n / 2)
  // cells a side: finer grids would merge too few to be kept.
  int cells = kMostCells;
  while (cells > 16 && static_cast<std::size_t>(cells) * static_cast<std::size_t>(cells) * 2 > mesh.VertexCount())
    cells /= 2;
  for (; cells >= 16 && from->size() / 3 > kFewestTriangles; cells /= 2) {
    ViewLevel level = Coarsen(mesh, *from, finer.indices.empty() ? batchFirst : finer.batchFirst, cells, merged);
    // A copy that saves less than half of the last one kept is not worth its buffer.
    if (level.indices.size() * 2 <= kept) {
      kept = level.indices.size();
      mesh.levels.push_back(level);
    }
    finer = std::move(level);
    from = &finer.indices;
  }
}
