#include "receive/ImportSteps.h"

#include <cfloat>
#include <cmath>

namespace pigmora {

bool AddVertices(IEPolyModel& model, const FbxMesh& mesh) {
  const int count = mesh.GetControlPointsCount();
  const FbxVector4* points = mesh.GetControlPoints();
  IEArray<IEVector>& vertices = model.vertices.vectors;
  if (!vertices.SetCount(count)) return false;
  for (int i = 0; i < count; ++i) {
    vertices[i] =
        IEVector{static_cast<float>(points[i][0]), static_cast<float>(points[i][1]), static_cast<float>(points[i][2])};
  }
  return true;
}

int FindUnusableControlPoint(const FbxMesh& mesh) {
  const int count = mesh.GetControlPointsCount();
  const FbxVector4* points = mesh.GetControlPoints();
  for (int i = 0; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      // Also what a float cannot hold: it would become infinite on the way.
      if (!(std::fabs(points[i][axis]) <= FLT_MAX)) return i;
    }
  }
  return -1;
}

}  // namespace pigmora
