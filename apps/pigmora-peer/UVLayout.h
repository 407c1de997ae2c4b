#pragma once

#include "PeerMesh.h"

// True when every corner of every polygon has a UV, so the model's own layout
// can carry the paint. A model sent without UVs has none; a model of which only
// some polygons (or corners) have UVs cannot show paint on the others.
bool HasCompleteUVs(const PeerMesh& mesh);

// Lays the UVs out anew, as the "map1" set: each polygon gets its own square
// cell of a grid over the unit square (the polygons of one material side by
// side), flattened onto its own plane, scaled to fit with a margin of a few
// texels of an image `imageSize` pixels square so that painting and filtering
// do not reach the neighbours. Degenerate polygons get a regular outline.
void LayOutUVs(PeerMesh& mesh, int imageSize);
