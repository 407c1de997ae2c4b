#include "ErrorBoxes.h"

#include <ostream>

#include <afxdisplay.h>

namespace {
int errorBoxes = 0;
}

void WatchMessageBoxes(std::ostream& echo) {
  AfxSetMessageBoxListener([&echo](const AfxMessageBoxRecord& box) {
    if (box.Icon() == MB_ICONERROR) ++errorBoxes;
    echo << "[" << box.caption << "] " << box.text << std::endl;
  });
}

int ErrorBoxesShown() { return errorBoxes; }
