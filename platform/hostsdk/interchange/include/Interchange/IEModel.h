#pragma once

#include <cstdint>

#include "Interchange/IEArray.h"
#include "Interchange/IEImage.h"
#include "Interchange/IEMaterial.h"
#include "Interchange/IEPoly.h"
#include "Interchange/VectorCollection.h"

// A node of the host's hierarchy; this side only destroys them.
class IENode {
public:
  IENode();
  virtual ~IENode();
  IENode(const IENode&) = delete;
  IENode& operator=(const IENode&) = delete;

  unsigned char hostData[344];
  IENode* firstChild = nullptr;
  IENode* nextSibling = nullptr;
};

// The base of the interchange model (168 bytes, polymorphic). Owns its arrays
// and its hierarchy.
class IEModel {
public:
  IEModel();
  virtual ~IEModel();
  IEModel(const IEModel&) = delete;
  IEModel& operator=(const IEModel&) = delete;

  // Appends an image and its -1 tag. False, with nothing added, when the path
  // is longer than 255 characters or either list cannot grow.
  bool AddImage(const char* path);
  // Appends a material with the defaults and its -1 tag. Null, with nothing
  // added, when the name is longer than 255 characters or either list cannot grow.
  IEMaterial* AddMaterial(const char* name);

  VectorCollection vertices;
  IEArray<std::int32_t> imageTags{20};
  IEArray<IEImage> images{20};
  IEArray<std::int32_t> materialTags{20};
  IEArray<IEMaterial> materials{20};
  IENode* root = nullptr;
};

// The polygon model handed between the plug-in and the host (248 bytes).
// Owns its polygons.
class IEPolyModel : public IEModel {
public:
  IEPolyModel();
  ~IEPolyModel() override;

  // Appends a vertex; false when the list cannot grow.
  bool AddVertex(float x, float y, float z);
  // Appends a polygon the model then owns; false when the list cannot grow.
  bool AddPolygon(IEPoly* polygon);

  IEArray<IEPoly*> polygons{1000};
  VectorCollection secondVectors;
};
