// Layers and layer elements: UV sets, material and texture assignments of a mesh.
#pragma once

#include <vector>

#include "fbxmath.h"
#include "fbxstring.h"

namespace fbxsdk {

class FbxLayerContainer;
class FbxSurfaceMaterial;
class FbxTexture;

template <class T>
struct FbxLayerArrayTypeOf {
  static constexpr EFbxType value = eFbxUndefined;
};
template <>
struct FbxLayerArrayTypeOf<int> {
  static constexpr EFbxType value = eFbxInt;
};
template <>
struct FbxLayerArrayTypeOf<FbxVector2> {
  static constexpr EFbxType value = eFbxDouble2;
};
template <>
struct FbxLayerArrayTypeOf<FbxSurfaceMaterial*> {
  static constexpr EFbxType value = eFbxReference;
};
template <>
struct FbxLayerArrayTypeOf<FbxTexture*> {
  static constexpr EFbxType value = eFbxReference;
};

// A growable array of a layer element. Reads outside the array give a default value.
template <class T>
class FbxLayerElementArrayTemplate {
public:
  int Add(const T& item) {
    items_.push_back(item);
    return static_cast<int>(items_.size()) - 1;
  }
  T GetAt(int index) const { return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)] : T{}; }
  bool SetAt(int index, const T& item) {
    if (index < 0 || index >= GetCount()) return false;
    items_[static_cast<size_t>(index)] = item;
    return true;
  }
  int GetCount() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  void Resize(int count) { items_.resize(count > 0 ? static_cast<size_t>(count) : 0); }
  T operator[](int index) const { return GetAt(index); }
  EFbxType GetDataType() const { return FbxLayerArrayTypeOf<T>::value; }

  // The items themselves, for bulk reading and writing.
  std::vector<T>& Items() { return items_; }
  const std::vector<T>& Items() const { return items_; }

private:
  std::vector<T> items_;
};

class FBXSDK_DLL FbxLayerElement {
public:
  enum EType {
    eUnknown,
    eNormal,
    eBiNormal,
    eTangent,
    eMaterial,
    ePolygonGroup,
    eUV,
    eVertexColor,
    eSmoothing,
    eVertexCrease,
    eEdgeCrease,
    eHole,
    eUserData,
    eVisibility,
    eTextureDiffuse,
    eTextureDiffuseFactor,
    eTextureEmissive,
    eTextureEmissiveFactor,
    eTextureAmbient,
    eTextureAmbientFactor,
    eTextureSpecular,
    eTextureSpecularFactor,
    eTextureShininess,
    eTextureNormalMap,
    eTextureBump,
    eTextureTransparency,
    eTextureTransparencyFactor,
    eTextureReflection,
    eTextureReflectionFactor,
    eTextureDisplacement,
    eTextureDisplacementVector,
    eTypeCount
  };
  static constexpr int sTypeTextureStartIndex = eTextureDiffuse;
  static constexpr int sTypeTextureEndIndex = eTextureDisplacementVector;

  enum EMappingMode { eNone, eByControlPoint, eByPolygonVertex, eByPolygon, eByEdge, eAllSame };
  enum EReferenceMode { eDirect, eIndex, eIndexToDirect };

  virtual ~FbxLayerElement() = default;

  void SetMappingMode(EMappingMode mode) { mappingMode_ = mode; }
  EMappingMode GetMappingMode() const { return mappingMode_; }
  void SetReferenceMode(EReferenceMode mode) { referenceMode_ = mode; }
  EReferenceMode GetReferenceMode() const { return referenceMode_; }
  void SetName(const char* name) { name_ = name ? name : ""; }
  const char* GetName() const { return name_; }

protected:
  FbxLayerElement() = default;

private:
  FbxString name_;
  EMappingMode mappingMode_ = eNone;
  EReferenceMode referenceMode_ = eDirect;
};

// An element with values in a direct array and, for the index modes, an index array into it.
template <class T>
class FbxLayerElementTemplate : public FbxLayerElement {
public:
  FbxLayerElementArrayTemplate<T>& GetDirectArray() { return direct_; }
  const FbxLayerElementArrayTemplate<T>& GetDirectArray() const { return direct_; }
  FbxLayerElementArrayTemplate<int>& GetIndexArray() { return index_; }
  const FbxLayerElementArrayTemplate<int>& GetIndexArray() const { return index_; }

private:
  FbxLayerElementArrayTemplate<T> direct_;
  FbxLayerElementArrayTemplate<int> index_;
};

class FBXSDK_DLL FbxLayerElementUV : public FbxLayerElementTemplate<FbxVector2> {
public:
  // The element belongs to the container it is created on.
  static FbxLayerElementUV* Create(FbxLayerContainer* owner, const char* name);
};

class FBXSDK_DLL FbxLayerElementMaterial : public FbxLayerElementTemplate<FbxSurfaceMaterial*> {
public:
  static FbxLayerElementMaterial* Create(FbxLayerContainer* owner, const char* name);
};

class FBXSDK_DLL FbxLayerElementTexture : public FbxLayerElementTemplate<FbxTexture*> {
public:
  static FbxLayerElementTexture* Create(FbxLayerContainer* owner, const char* name);
};

// One layer of a geometry: which elements apply. It refers to elements, it does not own them.
class FBXSDK_DLL FbxLayer {
public:
  void SetUVs(FbxLayerElementUV* uvs, FbxLayerElement::EType type = FbxLayerElement::eTextureDiffuse);
  FbxLayerElementUV* GetUVs(FbxLayerElement::EType type = FbxLayerElement::eTextureDiffuse) const;
  int GetUVSetCount() const;
  void SetMaterials(FbxLayerElementMaterial* materials) { materials_ = materials; }
  FbxLayerElementMaterial* GetMaterials() const { return materials_; }
  void SetTextures(FbxLayerElement::EType type, FbxLayerElementTexture* textures);
  FbxLayerElementTexture* GetTextures(FbxLayerElement::EType type) const;

private:
  static int TextureSlot(FbxLayerElement::EType type);
  static constexpr int kTextureTypeCount =
      FbxLayerElement::sTypeTextureEndIndex - FbxLayerElement::sTypeTextureStartIndex + 1;
  FbxLayerElementUV* uvs_[kTextureTypeCount] = {};
  FbxLayerElementTexture* textures_[kTextureTypeCount] = {};
  FbxLayerElementMaterial* materials_ = nullptr;
};

}  // namespace fbxsdk
