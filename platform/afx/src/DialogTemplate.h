#pragma once

#include <string>
#include <vector>

#include <windows.h>

// Dialog templates read from a resource script: the DIALOGEX statement with
// STYLE, EXSTYLE, CAPTION and FONT, and the controls CONTROL, PUSHBUTTON,
// DEFPUSHBUTTON, LTEXT, RTEXT, CTEXT, GROUPBOX, EDITTEXT, COMBOBOX,
// CHECKBOX and AUTOCHECKBOX with the resource compiler's default styles.
// Positions are dialog units. Internal to the framework.
namespace afx {

struct ControlTemplate {
  std::string className;
  std::string text;
  int id = -1;
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string caption;
  std::string fontName;
  int fontPoints = 8;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::vector<ControlTemplate> controls;
};

// Parses every dialog of a script; false with the line and problem in `error`.
bool ParseResourceScript(const std::string& text, std::vector<DialogTemplate>& dialogs, std::string& error);

// The template `id` from the module of `resourceHandle` (its load address),
// else from any module that has one; null when none has it.
const DialogTemplate* FindDialogTemplate(HINSTANCE resourceHandle, int id);

// Dialog units of MS Shell Dlg 8 pt to pixels at 96 dpi.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

}  // namespace afx
