#pragma once

#include "WindowTable.h"
#include "afxwin.h"

// The built-in window classes: what buttons, check boxes, labels, edit boxes,
// combo boxes and tab controls do with the messages sent to them. Internal to
// the framework.
namespace afx {

// The default window procedure: text for every window, and the control
// messages of the record's class.
LRESULT ControlProc(HWND window, WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);

// The rectangle of tab item `index` in the tab control's client coordinates.
RECT TabItemRect(const WindowRecord& tab, int index);

bool IsCheckBox(const WindowRecord& record);
bool IsPushButton(const WindowRecord& record);

// A control made from a template: the framework owns the object, which goes
// with its window.
class ControlWnd : public CWnd {
protected:
  void PostNcDestroy() override { delete this; }
};

}  // namespace afx
