#include "LayerNames.h"

#include "fbxsdk/fbxsurface.h"

namespace fbxsdk::io {

int MappingFromName(std::string_view name) {
  if (name == "ByPolygonVertex") return FbxLayerElement::eByPolygonVertex;
  if (name == "ByPolygon") return FbxLayerElement::eByPolygon;
  if (name == "ByVertice" || name == "ByVertex" || name == "ByControlPoint") return FbxLayerElement::eByControlPoint;
  if (name == "ByEdge") return FbxLayerElement::eByEdge;
  if (name == "AllSame") return FbxLayerElement::eAllSame;
  return -1;
}

int ReferenceFromName(std::string_view name) {
  if (name == "Direct") return FbxLayerElement::eDirect;
  if (name == "IndexToDirect") return FbxLayerElement::eIndexToDirect;
  if (name == "Index") return FbxLayerElement::eIndex;
  return -1;
}

const char* MappingName(FbxLayerElement::EMappingMode mode) {
  switch (mode) {
    case FbxLayerElement::eByControlPoint: return "ByVertice";
    case FbxLayerElement::eByPolygonVertex: return "ByPolygonVertex";
    case FbxLayerElement::eByPolygon: return "ByPolygon";
    case FbxLayerElement::eByEdge: return "ByEdge";
    case FbxLayerElement::eAllSame: return "AllSame";
    case FbxLayerElement::eNone: break;
  }
  return "NoMappingInformation";
}

const char* ReferenceName(FbxLayerElement::EReferenceMode mode) {
  // Files spell the index mode the same way as index-to-direct.
  return mode == FbxLayerElement::eDirect ? "Direct" : "IndexToDirect";
}

const char* ChannelOfTextureType(FbxLayerElement::EType type) {
  switch (type) {
    case FbxLayerElement::eTextureDiffuse: return FbxSurfaceMaterial::sDiffuse;
    case FbxLayerElement::eTextureDiffuseFactor: return FbxSurfaceMaterial::sDiffuseFactor;
    case FbxLayerElement::eTextureEmissive: return FbxSurfaceMaterial::sEmissive;
    case FbxLayerElement::eTextureEmissiveFactor: return FbxSurfaceMaterial::sEmissiveFactor;
    case FbxLayerElement::eTextureAmbient: return FbxSurfaceMaterial::sAmbient;
    case FbxLayerElement::eTextureAmbientFactor: return FbxSurfaceMaterial::sAmbientFactor;
    case FbxLayerElement::eTextureSpecular: return FbxSurfaceMaterial::sSpecular;
    case FbxLayerElement::eTextureSpecularFactor: return FbxSurfaceMaterial::sSpecularFactor;
    case FbxLayerElement::eTextureShininess: return FbxSurfaceMaterial::sShininess;
    case FbxLayerElement::eTextureNormalMap: return FbxSurfaceMaterial::sNormalMap;
    case FbxLayerElement::eTextureBump: return FbxSurfaceMaterial::sBump;
    case FbxLayerElement::eTextureTransparency: return FbxSurfaceMaterial::sTransparentColor;
    case FbxLayerElement::eTextureTransparencyFactor: return FbxSurfaceMaterial::sTransparencyFactor;
    case FbxLayerElement::eTextureReflection: return FbxSurfaceMaterial::sReflection;
    case FbxLayerElement::eTextureReflectionFactor: return FbxSurfaceMaterial::sReflectionFactor;
    case FbxLayerElement::eTextureDisplacement: return FbxSurfaceMaterial::sDisplacementColor;
    case FbxLayerElement::eTextureDisplacementVector: return FbxSurfaceMaterial::sVectorDisplacementColor;
    default: return nullptr;
  }
}

}  // namespace fbxsdk::io
