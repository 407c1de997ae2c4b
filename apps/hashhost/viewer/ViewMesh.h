#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ViewCamera.h"

class HModelCache;

// The maps a patch may take from the decals that place it.
enum ViewMap { VM_COLOR, VM_NORMAL, VM_SPECULAR, VM_DISPLACEMENT, VM_COUNT };

// Patches drawn together: the same images, each read through the same UV set.
struct ViewBatch {
  int image[VM_COUNT] = {-1, -1, -1, -1};  // index into ViewMesh::images, -1 for none
  int uvSet[VM_COUNT] = {0, 0, 0, 0};      // index into ViewMesh::uvSets
  std::uint32_t firstIndex = 0;
  std::uint32_t indexCount = 0;
};

// A coarser copy of a mesh's triangles: vertices within one cell of a grid
// over the model (and in one batch) merged into one of them. Drawn where a
// cell covers so few pixels that the difference cannot be seen, or while the
// camera moves.
struct ViewLevel {
  float cellSize = 0;  // in model units
  std::vector<std::uint32_t> indices;
  std::vector<std::uint32_t> batchFirst;  // where each batch's triangles start, and the end last
};

// A model as vertex arrays ready for OpenGL, two triangles per patch (one for
// a triangle patch). Patches that meet at a position share its vertex where
// they agree on images, colour and UVs and do not fold sharply; elsewhere
// each keeps its own, so colours and UVs never bleed across a seam. Normals
// a file gave (an OBJ's vn) are kept as given; others are smooth across UV
// seams and split where patches meet at a crease (more than 60 degrees), so a
// cube keeps flat faces and a sphere stays round.
struct ViewMesh {
  std::vector<float> positions;            // x, y, z per vertex
  std::vector<std::int8_t> normals;        // x, y, z, 0 per vertex, scaled to 127
  std::vector<std::int8_t> tangents;       // x, y, z, handedness; empty when no patch has a normal map
  std::vector<std::uint8_t> colours;       // r, g, b, 255: the group's diffuse colour, or grey
  std::vector<std::vector<float>> uvSets;  // u, v per vertex; one set per decal a patch reads at once
  std::vector<std::uint32_t> indices;      // triangles, batch after batch
  // For a model of many more triangles than a view has pixels: the same
  // surface ever more coarsely, finest first, each cell twice the size of the
  // one before. Empty for smaller models.
  std::vector<ViewLevel> levels;
  std::vector<ViewBatch> batches;
  std::vector<std::string> images;  // image files the batches use
  ViewBounds bounds;
  int patchCount = 0;

  std::size_t VertexCount() const { return positions.size() / 3; }
};

// Builds the arrays from what the model holds: patches, groups with their
// diffuse colours, and for each patch the colour, normal-map,
// specular-intensity and displacement clips of the decals that place it (a later decal over an
// earlier one; in a decal, its first clip of a kind), read through that
// decal's UVs for the patch.
void BuildViewMesh(HModelCache& model, ViewMesh& mesh);

// Fills mesh.levels when the mesh has more than `mostTriangles` triangles:
// vertices in one cell of a grid over the model (and in one batch) merge into
// the first of them, and triangles left with no area go. Only copies with at
// most half the triangles of the last one are kept.
void AddCoarseLevels(ViewMesh& mesh, std::size_t mostTriangles);

// A cheap fingerprint of what BuildViewMesh reads, to notice a changed or
// replaced model without keeping a pointer to it: counts, names, colours,
// images and a sample of positions, corners and UVs.
std::uint64_t ViewMeshFingerprint(HModelCache& model);
