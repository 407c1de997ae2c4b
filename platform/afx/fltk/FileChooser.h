#pragma once

#include "afxdisplay.h"

namespace afx {

// A modal file dialog on screen: a folder listing with the dialog's filters
// (and "All files (*)"), a name field, OK and Cancel; timers keep ticking.
// True with the chosen path in `dialog.answer`.
bool RunFileChooser(AfxFileDialogRecord& dialog);

}  // namespace afx
