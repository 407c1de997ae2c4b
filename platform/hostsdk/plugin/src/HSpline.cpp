#include "Plugin/HSpline.h"

bool HSpline::IsClosed() const {
  for (const HCP* cp = head_; cp; cp = cp->GetNext()) {
    if (cp->IsLoop()) return true;
  }
  return false;
}

int HSpline::CountCPs() const {
  int count = 0;
  for (const HCP* cp = head_; cp; cp = cp->GetNext()) {
    ++count;
    if (cp->IsLoop()) break;
  }
  return count;
}
