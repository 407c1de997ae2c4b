#include "receive/ImportSteps.h"

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

}  // namespace pigmora
