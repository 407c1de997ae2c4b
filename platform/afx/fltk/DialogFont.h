#pragma once

#include <FL/Enumerations.H>

namespace afx {

// The one font of the dialogs, at one size. The templates are laid out for MS
// Shell Dlg 8 pt; a condensed sans at 10 pixels fits every caption and list
// entry into the controls' template sizes as that font does on Windows.
constexpr Fl_Font kDialogFont = FL_FREE_FONT;
constexpr int kDialogFontSize = 10;

// Names the dialog font for FLTK (once the display is open). Where the
// condensed face is missing, the font system falls back to the plain sans.
void LoadDialogFont();

}  // namespace afx
