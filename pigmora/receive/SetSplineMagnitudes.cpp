#include <Plugin/HModelCache.h>
#include <Plugin/HSpline.h>

#include "receive/ImportSteps.h"

namespace pigmora {

void SetSplineMagnitudes(HModelCache* model, float magnitude) {
  if (!model) return;
  for (HSpline* spline = model->GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
    // On a closed spline the loop point leads back to the head: stop after it.
    for (HCP* cp = spline->GetHeadCP(); cp; cp = cp->GetNext()) {
      const bool loop = cp->IsLoop();
      cp->SetInMagnitude(magnitude);
      cp->SetOutMagnitude(magnitude);
      if (loop) break;
    }
  }
}

}  // namespace pigmora
