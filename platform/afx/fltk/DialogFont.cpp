#include "DialogFont.h"

#include <FL/Fl.H>

namespace afx {

void LoadDialogFont() { Fl::set_font(kDialogFont, "DejaVu Sans Condensed"); }

}  // namespace afx
