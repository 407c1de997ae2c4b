#pragma once

#include <fbxsdk.h>

namespace pigmora {

// Where a mesh corner finds its value in a layer element, read as the element
// is stored: mapped by control point, polygon vertex, polygon or all alike,
// referenced directly or through its index array. An element whose index
// array is absent is read directly.
struct CornerPlace {
  int polygon = -1;
  int polygonVertex = -1;  // position in the mesh's polygon-vertex array
  int controlPoint = -1;
};

// Position in the element's direct array for the corner; false when the
// element does not say or the position lies outside an array.
template <class T>
bool DirectPosition(const FbxLayerElementTemplate<T>& element, const CornerPlace& corner, int& position) {
  int entry = -1;
  switch (element.GetMappingMode()) {
    case FbxLayerElement::eByControlPoint: entry = corner.controlPoint; break;
    case FbxLayerElement::eByPolygonVertex: entry = corner.polygonVertex; break;
    case FbxLayerElement::eByPolygon: entry = corner.polygon; break;
    case FbxLayerElement::eAllSame: entry = 0; break;
    default: return false;
  }
  if (entry < 0) return false;
  const auto& indices = element.GetIndexArray();
  const bool indexed = element.GetReferenceMode() != FbxLayerElement::eDirect && indices.GetCount() > 0;
  if (indexed) {
    if (entry >= indices.GetCount()) return false;
    entry = indices.Items()[static_cast<std::size_t>(entry)];
  }
  if (entry < 0 || entry >= element.GetDirectArray().GetCount()) return false;
  position = entry;
  return true;
}

// The material element's entry for a polygon: a position among the node's
// materials, or -1 when the element gives none. Material elements keep their
// values in the index array.
inline int NodeMaterialOf(const FbxLayerElementMaterial& element, int polygon) {
  int entry = -1;
  switch (element.GetMappingMode()) {
    case FbxLayerElement::eByPolygon: entry = polygon; break;
    case FbxLayerElement::eAllSame: entry = 0; break;
    default: return -1;
  }
  const auto& indices = element.GetIndexArray();
  if (entry >= indices.GetCount()) return -1;
  const int material = indices.Items()[static_cast<std::size_t>(entry)];
  return material < 0 ? -1 : material;
}

}  // namespace pigmora
