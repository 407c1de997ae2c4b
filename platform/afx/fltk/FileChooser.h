#pragma once

#include <string>

#include "afxdisplay.h"

class Fl_Window;

namespace afx {

// Where file dialogs start: the folder of the initial file name when it names
// one, else the folder the last dialog was answered in, else the user's
// documents, else the working folder.
struct FileChooserFolders {
  std::string last;
  std::string documents;
};

// A modal file dialog on screen, centred over `owner`: the folder it is in, a
// listing with the dialog's filters (and "All files (*)"), a name field, OK
// and Cancel; timers keep ticking. True with the chosen path in
// `dialog.answer`; `folders.last` is then its folder.
bool RunFileChooser(AfxFileDialogRecord& dialog, Fl_Window* owner, FileChooserFolders& folders);

}  // namespace afx
