#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "Interchange/IEPolyModelParms.h"
#include "Plugin/Export.h"
#include "Plugin/HAttrProperty.h"
#include "Plugin/HPatch.h"
#include "Plugin/HSpline.h"
#include "Plugin/HTreeObject.h"
#include "Plugin/HVector.h"

class HAnimObject;
class HDecal;
class HDecalContainer;
class HGroup;
class HGroupContainer;
class HProject;
class IEPolyModel;

// A model: control point positions, splines through them, patches of three or
// four corners, surface attributes, groups and decals.
class PLUGIN_API HModelCache : public HHashObject {
public:
  // A new, empty model. With addToProject 1 it goes into the current project's
  // objects folder (null when there is no project), its name made unique there
  // by a ".N" suffix; with 0 it stands alone until DeleteHandle.
  static HModelCache* New(const String& name, int addToProject);
  // A new, empty model in project's objects folder, named as New names it.
  static HModelCache* NewInProject(HProject* project, const String& name);
  ~HModelCache() override;
  HModelCache* GetAsModelCache() override { return this; }

  // The model as an interchange polygon model: one polygon per patch in patch
  // order, one map per decal clip covering it, the images those clips show,
  // one material per group. Null on failure. Free it with DeleteIEModel. The
  // polygons point at this model's patches: do not change the model meanwhile.
  IEPolyModel* BuildExportModel(const IEPolyModelParms* parms, const String& path);
  // Replaces the model's geometry, groups and decals with those of model.
  // name names the model when it has none; the other arguments are unused
  // here. Returns 0, changing nothing, when model is null or any index in it
  // points outside its arrays.
  int MergeIEModel(const IEPolyModel* model, const String& name, float tolerance, int mergeGroups, int mergeDecals);
  // Moves every scene instance of this model to target; returns how many moved.
  int ChangeShortCuts(HModelCache* target);

  HAttrProperty* GetAttr() { return &attr_; }
  HGroupContainer* GetChildGroupContainer() const { return groups_; }
  HDecalContainer* GetChildDecalContainer() const { return decals_; }
  HSpline* GetHeadSpline() const { return headSpline_; }

  // Construction.
  int AddPosition(float x, float y, float z);  // returns its index
  int GetPositionCount() const { return static_cast<int>(positions_.size()); }
  const HVector& GetPosition(int index) const { return positions_[static_cast<std::size_t>(index)]; }
  // A patch of three (d = -1) or four positions; null when an index is out of range.
  HPatch* AddPatch(int a, int b, int c, int d = -1);
  int GetPatchCount() const { return static_cast<int>(patches_.size()); }
  HPatch* GetPatch(int index);
  // Normals a file gave for the corners of a patch (an OBJ's vn), kept for
  // the view; a patch has none until they are set. A triangle's corner 3
  // repeats corner 0.
  void SetPatchNormals(int patch, const float normals[4][3]);
  // False, leaving normals alone, when the patch has none.
  bool GetPatchNormals(int patch, float normals[4][3]) const;
  // A spline through positions; closed makes the last point loop to the head.
  // Null when a position is out of range or fewer than two are given.
  HSpline* AddSpline(const int* positions, int count, bool closed);
  // Replaces the splines with splines along the patch edges, each edge on
  // exactly one spline, closed where a spline comes back to its start.
  void BuildSplinesAlongPatchEdges();
  int CountSplines() const { return splineCount_; }
  HGroup* AddGroup(const String& name);
  HDecal* AddDecal(const String& name);
  int CountGroups() const;
  int CountDecals() const;
  // Removes positions, patches, splines, groups and decals.
  void ClearGeometry();

  void ReservePositions(std::size_t count) { positions_.reserve(count); }
  void ReservePatches(std::size_t count) { patches_.reserve(count); }

private:
  explicit HModelCache(const String& name);
  friend class HAnimObject;
  void ChildDetached(HHashObject* child) override;
  void ClearSplines();
  HCP* NewCP(int position);

  std::vector<HVector> positions_;
  std::vector<HPatch> patches_;
  std::vector<std::array<float, 12>> patchNormals_;  // by patch once any is set; NaN-led where none
  std::deque<HCP> cps_;
  std::deque<HSpline> splines_;
  HSpline* headSpline_ = nullptr;
  HSpline* tailSpline_ = nullptr;
  int splineCount_ = 0;
  HAttrProperty attr_;
  HGroupContainer* groups_ = nullptr;
  HDecalContainer* decals_ = nullptr;
  std::vector<HAnimObject*> shortcuts_;
};

// Frees a model BuildExportModel made.
PLUGIN_API void DeleteIEModel(IEPolyModel* model);
