#include "Interchange/IEPoly.h"

IEPoly::IEPoly() {
  for (int k = 0; k < 4; ++k) {
    corners[k] = -1;
    secondCorners[k] = -1;
    thirdCorners[k] = -1;
  }
}

IEPoly::~IEPoly() {
  for (IEPolyMap* map : maps) delete map;
  maps.Release();
}

bool IEPoly::AddMap(IEPolyMap* map) { return maps.Append(map); }
