// The records are a memory interface with the host: these sizes and offsets
// must never move.
#include <cstddef>

#include "Interchange/IEModel.h"
#include "Interchange/IEPolyModelParms.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#elif defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Winvalid-offsetof"
#endif

static_assert(sizeof(void*) == 8, "the interchange records assume 8-byte pointers");

static_assert(sizeof(IEArray<int>) == 24);
static_assert(sizeof(IEArray<IEMaterial>) == 24);
static_assert(offsetof(IEArray<int>, count) == 0);
static_assert(offsetof(IEArray<int>, capacity) == 4);
static_assert(offsetof(IEArray<int>, growBy) == 8);
static_assert(offsetof(IEArray<int>, data) == 16);

static_assert(sizeof(IEVector) == 12);
static_assert(sizeof(VectorCollection) == 56);
static_assert(offsetof(VectorCollection, buckets) == 8);
static_assert(offsetof(VectorCollection, vectors) == 32);

static_assert(sizeof(IEModel) == 168);
static_assert(offsetof(IEModel, vertices) == 8);
static_assert(offsetof(IEModel, imageTags) == 64);
static_assert(offsetof(IEModel, images) == 88);
static_assert(offsetof(IEModel, materialTags) == 112);
static_assert(offsetof(IEModel, materials) == 136);
static_assert(offsetof(IEModel, root) == 160);

static_assert(sizeof(IEPolyModel) == 248);
static_assert(offsetof(IEPolyModel, polygons) == 168);
static_assert(offsetof(IEPolyModel, secondVectors) == 192);

static_assert(sizeof(IEPoly) == 96);
static_assert(offsetof(IEPoly, maps) == 8);
static_assert(offsetof(IEPoly, corners) == 32);
static_assert(offsetof(IEPoly, secondCorners) == 48);
static_assert(offsetof(IEPoly, thirdCorners) == 64);
static_assert(offsetof(IEPoly, material) == 80);
static_assert(offsetof(IEPoly, patch) == 88);

static_assert(sizeof(IEPolyMap) == 56);
static_assert(offsetof(IEPolyMap, uv) == 0);
static_assert(offsetof(IEPolyMap, reserved32) == 32);
static_assert(offsetof(IEPolyMap, reserved36) == 36);
static_assert(offsetof(IEPolyMap, image) == 40);
static_assert(offsetof(IEPolyMap, reserved44) == 44);
static_assert(offsetof(IEPolyMap, reserved48) == 48);
static_assert(offsetof(IEPolyMap, flags) == 52);

static_assert(sizeof(IEImage) == 260);
static_assert(offsetof(IEImage, reserved256) == 256);
static_assert(offsetof(IEImage, reserved258) == 258);

static_assert(sizeof(IEMaterial) == 348);
static_assert(offsetof(IEMaterial, diffuse) == 256);
static_assert(offsetof(IEMaterial, diffuseFactor) == 268);
static_assert(offsetof(IEMaterial, ambient) == 272);
static_assert(offsetof(IEMaterial, ambientFactor) == 284);
static_assert(offsetof(IEMaterial, specular) == 288);
static_assert(offsetof(IEMaterial, reserved300) == 300);
static_assert(offsetof(IEMaterial, specularFactor) == 304);
static_assert(offsetof(IEMaterial, reserved308) == 308);

static_assert(offsetof(IENode, firstChild) == 352);
static_assert(offsetof(IENode, nextSibling) == 360);

// Callers fill the conversion parameter record by these offsets.
static_assert(offsetof(IEPolyModelParms, subdivision) == 4);
static_assert(offsetof(IEPolyModelParms, options) == 16);
static_assert(offsetof(IEPolyModelParms, flags) == 24);
static_assert(sizeof(IEPolyModelParms) == 32);

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#elif defined(__clang__)
#pragma clang diagnostic pop
#endif
