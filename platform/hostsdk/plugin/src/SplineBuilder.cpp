#include "SplineBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Undirected patch edges as adjacency lists (compressed rows), each edge
// stored once from either end with a shared "used" flag per direction.
class EdgeGraph {
public:
  EdgeGraph(int positionCount, const std::vector<HPatch>& patches) : start_(positionCount + 1, 0) {
    auto forEachEdge = [&](auto&& visit) {
      for (const HPatch& patch : patches) {
        const int n = patch.GetCornerCount();
        for (int k = 0; k < n; ++k) {
          int a = patch.GetCorner(k);
          int b = patch.GetCorner((k + 1) % n);
          if (a != b) visit(a, b);
        }
      }
    };
    forEachEdge([&](int a, int b) {
      ++start_[a + 1];
      ++start_[b + 1];
    });
    for (std::size_t i = 1; i < start_.size(); ++i) start_[i] += start_[i - 1];
    neighbours_.resize(start_.back());
    std::vector<std::int64_t> fill(start_.begin(), start_.end() - 1);
    forEachEdge([&](int a, int b) {
      neighbours_[fill[a]++] = b;
      neighbours_[fill[b]++] = a;
    });
    // Sort and drop the duplicates of edges that two patches share.
    std::vector<std::int64_t> compactStart(start_.size(), 0);
    std::int64_t write = 0;
    for (int v = 0; v < positionCount; ++v) {
      auto first = neighbours_.begin() + start_[v];
      auto last = neighbours_.begin() + start_[v + 1];
      std::sort(first, last);
      auto uniqueEnd = std::unique(first, last);
      compactStart[v] = write;
      for (auto it = first; it != uniqueEnd; ++it) neighbours_[write++] = *it;
    }
    compactStart[positionCount] = write;
    neighbours_.resize(write);
    start_.swap(compactStart);
    used_.assign(neighbours_.size(), 0);
  }

  std::int64_t Begin(int v) const { return start_[v]; }
  std::int64_t End(int v) const { return start_[v + 1]; }
  int Neighbour(std::int64_t slot) const { return neighbours_[slot]; }
  bool Used(std::int64_t slot) const { return used_[slot] != 0; }

  void MarkUsed(int a, std::int64_t slotFromA) {
    used_[slotFromA] = 1;
    int b = neighbours_[slotFromA];
    auto first = neighbours_.begin() + start_[b];
    auto last = neighbours_.begin() + start_[b + 1];
    used_[std::lower_bound(first, last, a) - neighbours_.begin()] = 1;
  }

  std::int64_t FirstUnused(int v) const {
    for (std::int64_t s = Begin(v); s < End(v); ++s) {
      if (!used_[s]) return s;
    }
    return -1;
  }

private:
  std::vector<std::int64_t> start_;
  std::vector<int> neighbours_;
  std::vector<std::uint8_t> used_;
};

struct Direction {
  float x = 0, y = 0, z = 0;
};

Direction Between(const HVector& from, const HVector& to) {
  Direction d{to.x - from.x, to.y - from.y, to.z - from.z};
  float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (length > 0.0f) {
    d.x /= length;
    d.y /= length;
    d.z /= length;
  }
  return d;
}

constexpr float kMinimumStraightness = 0.5f;  // cos 60 degrees

class SplineWalker {
public:
  SplineWalker(const std::vector<HVector>& positions, EdgeGraph& graph)
      : positions_(positions), graph_(graph), onSpline_(positions.size(), -1) {}

  SplinePath Walk(int start, int splineId) {
    SplinePath path;
    path.positions.push_back(start);
    onSpline_[start] = splineId;
    std::int64_t first = graph_.FirstUnused(start);
    int next = graph_.Neighbour(first);
    graph_.MarkUsed(start, first);
    path.positions.push_back(next);
    onSpline_[next] = splineId;

    std::vector<int> forward = path.positions;
    if (Extend(forward, start, splineId)) {
      path.positions = std::move(forward);
      path.closed = true;
      return path;
    }
    // Open: extend the other way from the start, then join both halves.
    std::vector<int> backward = {next, start};
    Extend(backward, -1, splineId);
    path.positions.assign(backward.rbegin(), backward.rend() - 2);
    path.positions.insert(path.positions.end(), forward.begin(), forward.end());
    return path;
  }

private:
  // Walks on from the end of `path`; true when it closed back onto `closeAt`.
  bool Extend(std::vector<int>& path, int closeAt, int splineId) {
    while (true) {
      int previous = path[path.size() - 2];
      int current = path.back();
      Direction incoming = Between(positions_[previous], positions_[current]);
      std::int64_t best = -1;
      float bestStraightness = kMinimumStraightness;
      bool closes = false;
      for (std::int64_t s = graph_.Begin(current); s < graph_.End(current); ++s) {
        if (graph_.Used(s)) continue;
        int candidate = graph_.Neighbour(s);
        bool closing = candidate == closeAt && path.size() >= 3;
        if (onSpline_[candidate] == splineId && !closing) continue;
        Direction outgoing = Between(positions_[current], positions_[candidate]);
        float straightness = incoming.x * outgoing.x + incoming.y * outgoing.y + incoming.z * outgoing.z;
        if (straightness >= bestStraightness) {
          bestStraightness = straightness;
          best = s;
          closes = closing;
        }
      }
      if (best < 0) return false;
      graph_.MarkUsed(current, best);
      if (closes) return true;
      int next = graph_.Neighbour(best);
      onSpline_[next] = splineId;
      path.push_back(next);
    }
  }

  const std::vector<HVector>& positions_;
  EdgeGraph& graph_;
  std::vector<int> onSpline_;
};

}  // namespace

std::vector<SplinePath> BuildSplinePaths(const std::vector<HVector>& positions, const std::vector<HPatch>& patches) {
  const int positionCount = static_cast<int>(positions.size());
  EdgeGraph graph(positionCount, patches);
  SplineWalker walker(positions, graph);
  std::vector<SplinePath> paths;
  for (int v = 0; v < positionCount; ++v) {
    while (graph.FirstUnused(v) >= 0) {
      paths.push_back(walker.Walk(v, static_cast<int>(paths.size())));
    }
  }
  return paths;
}
