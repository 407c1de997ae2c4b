// Node attributes and geometry: layer containers, control points and polygon meshes.
#pragma once

#include <memory>
#include <vector>

#include "fbxlayer.h"
#include "fbxobject.h"

namespace fbxsdk {

class FbxNode;

class FBXSDK_DLL FbxNodeAttribute : public FbxObject {
public:
  enum EType {
    eUnknown,
    eNull,
    eMarker,
    eSkeleton,
    eMesh,
    eNurbs,
    ePatch,
    eCamera,
    eCameraStereo,
    eCameraSwitcher,
    eLight
  };
  virtual EType GetAttributeType() const { return eUnknown; }
  int GetNodeCount() const;
  FbxNode* GetNode(int index = 0) const;

protected:
  FbxNodeAttribute(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
};

// Holds layers and owns the layer elements created on it.
class FBXSDK_DLL FbxLayerContainer : public FbxNodeAttribute {
  FBXSDK_OBJECT_FACTORY(FbxLayerContainer)
  int CreateLayer();
  int GetLayerCount() const { return static_cast<int>(layers_.size()); }
  FbxLayer* GetLayer(int index);
  const FbxLayer* GetLayer(int index) const;

  // Takes ownership of an element; used by the element factories.
  template <class T>
  T* AdoptElement(T* element) {
    elements_.emplace_back(element);
    return element;
  }

private:
  std::vector<std::unique_ptr<FbxLayer>> layers_;
  std::vector<std::unique_ptr<FbxLayerElement>> elements_;
};

class FBXSDK_DLL FbxGeometryBase : public FbxLayerContainer {
public:
  void InitControlPoints(int count);
  int GetControlPointsCount() const { return static_cast<int>(controlPoints_.size()); }
  FbxVector4* GetControlPoints() { return controlPoints_.empty() ? nullptr : controlPoints_.data(); }
  const FbxVector4* GetControlPoints() const { return controlPoints_.empty() ? nullptr : controlPoints_.data(); }
  void SetControlPointAt(const FbxVector4& point, int index);
  FbxVector4 GetControlPointAt(int index) const;

  // A new UV set on the first layer that has none of this type; layers are added as needed.
  FbxLayerElementUV* CreateElementUV(const char* name, FbxLayerElement::EType type = FbxLayerElement::eTextureDiffuse);
  int GetElementUVCount(FbxLayerElement::EType type = FbxLayerElement::eUnknown) const;
  // The UV sets in layer order; eUnknown matches every texture type.
  FbxLayerElementUV* GetElementUV(int index = 0, FbxLayerElement::EType type = FbxLayerElement::eUnknown);
  FbxLayerElementUV* GetElementUV(const char* name);
  FbxLayerElementMaterial* CreateElementMaterial();
  int GetElementMaterialCount() const;
  FbxLayerElementMaterial* GetElementMaterial(int index = 0);

  std::vector<FbxVector4>& ControlPoints() { return controlPoints_; }

protected:
  FbxGeometryBase(FbxManager& manager, const char* name) : FbxLayerContainer(manager, name) {}

private:
  std::vector<FbxVector4> controlPoints_;
};

class FBXSDK_DLL FbxGeometry : public FbxGeometryBase {
protected:
  FbxGeometry(FbxManager& manager, const char* name) : FbxGeometryBase(manager, name) {}
};

class FBXSDK_DLL FbxMesh : public FbxGeometry {
  FBXSDK_OBJECT_FACTORY(FbxMesh)
  EType GetAttributeType() const override { return eMesh; }

  // With a material index of 0 or more, the by-polygon material element of layer 0 receives it.
  void BeginPolygon(int material = -1, int texture = -1, int group = -1, bool legacy = true);
  // With a UV index of 0 or more, the indexed by-polygon-vertex UV sets of layer 0 receive it.
  void AddPolygon(int index, int textureUVIndex = -1);
  void EndPolygon();

  int GetPolygonCount() const { return static_cast<int>(polygonStarts_.size()); }
  // Corner count of a polygon, or -1 for an invalid index.
  int GetPolygonSize(int polygon) const;
  // Position of a polygon's first corner in the polygon-vertex array, or -1.
  int GetPolygonVertexIndex(int polygon) const;
  // Control point index of a corner, or -1.
  int GetPolygonVertex(int polygon, int corner) const;
  int* GetPolygonVertices() { return polygonVertices_.empty() ? nullptr : polygonVertices_.data(); }
  const int* GetPolygonVertices() const { return polygonVertices_.empty() ? nullptr : polygonVertices_.data(); }
  int GetPolygonVertexCount() const { return static_cast<int>(polygonVertices_.size()); }

  // Bulk access for the readers: control point index per corner, first corner per polygon.
  std::vector<int>& PolygonVertices() { return polygonVertices_; }
  std::vector<int>& PolygonStarts() { return polygonStarts_; }

private:
  std::vector<int> polygonVertices_;
  std::vector<int> polygonStarts_;
  bool polygonOpen_ = false;
};

}  // namespace fbxsdk
