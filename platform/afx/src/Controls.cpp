#include "Controls.h"

#include <algorithm>
#include <cstring>

namespace afx {

namespace {

constexpr int kTabTop = 2;
constexpr int kTabHeight = 20;
constexpr int kTabPadding = 12;
constexpr int kAverageCharWidth = 6;  // MS Shell Dlg 8 pt at 96 dpi

LRESULT CopyText(const std::string& text, WPARAM capacity, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || capacity == 0) return 0;
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
  return static_cast<LRESULT>(length);
}

bool ValidIndex(const WindowRecord& record, WPARAM index) { return index < record.items.size(); }

LRESULT ComboProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      record.items.emplace_back(text ? text : "");
      return static_cast<LRESULT>(record.items.size() - 1);
    }
    case CB_RESETCONTENT:
      record.items.clear();
      record.curSel = -1;
      record.text.clear();
      return 0;
    case CB_GETCOUNT: return static_cast<LRESULT>(record.items.size());
    case CB_GETCURSEL: return record.curSel;
    case CB_SETCURSEL:
      // An index outside the list clears the selection and reports CB_ERR, as on Windows.
      if (!ValidIndex(record, wParam)) {
        record.curSel = -1;
        record.text.clear();
        return CB_ERR;
      }
      record.curSel = static_cast<int>(wParam);
      record.text = record.items[wParam];
      return record.curSel;
    case CB_GETLBTEXTLEN:
      return ValidIndex(record, wParam) ? static_cast<LRESULT>(record.items[wParam].size()) : CB_ERR;
    case CB_GETLBTEXT: {
      if (!ValidIndex(record, wParam)) return CB_ERR;
      char* out = reinterpret_cast<char*>(lParam);
      if (!out) return CB_ERR;
      std::memcpy(out, record.items[wParam].c_str(), record.items[wParam].size() + 1);
      return static_cast<LRESULT>(record.items[wParam].size());
    }
    default: return 0;
  }
}

LRESULT TabProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TCM_INSERTITEMA: {
      const TCITEMA* item = reinterpret_cast<const TCITEMA*>(lParam);
      if (!item) return -1;
      const std::size_t at = std::min<std::size_t>(wParam, record.items.size());
      record.items.insert(record.items.begin() + static_cast<std::ptrdiff_t>(at),
                          (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "");
      if (record.curSel < 0) {
        record.curSel = 0;
      } else if (static_cast<std::size_t>(record.curSel) >= at) {
        ++record.curSel;
      }
      return static_cast<LRESULT>(at);
    }
    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(record.items.size());
    case TCM_GETCURSEL: return record.curSel;
    case TCM_SETCURSEL: {
      if (!ValidIndex(record, wParam)) return -1;
      const int previous = record.curSel;
      record.curSel = static_cast<int>(wParam);
      return previous;
    }
    case TCM_GETITEMRECT: {
      RECT* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect || !ValidIndex(record, wParam)) return FALSE;
      *rect = TabItemRect(record, static_cast<int>(wParam));
      return TRUE;
    }
    default: return 0;
  }
}

}  // namespace

bool IsCheckBox(const WindowRecord& record) {
  const DWORD type = record.style & BS_TYPEMASK;
  return record.className == "Button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
}

bool IsPushButton(const WindowRecord& record) {
  const DWORD type = record.style & BS_TYPEMASK;
  return record.className == "Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

RECT TabItemRect(const WindowRecord& tab, int index) {
  int left = 2;
  for (int i = 0; i < index; ++i)
    left += static_cast<int>(tab.items[static_cast<std::size_t>(i)].size()) * kAverageCharWidth + kTabPadding;
  const int width =
      static_cast<int>(tab.items[static_cast<std::size_t>(index)].size()) * kAverageCharWidth + kTabPadding;
  return RECT{left, kTabTop, left + width, kTabTop + kTabHeight};
}

LRESULT ControlProc(HWND, WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      record.text = text ? text : "";
      return TRUE;
    }
    case WM_GETTEXT: return CopyText(record.text, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(record.text.size());
    default: break;
  }
  if (record.className == "Button") {
    if (message == BM_GETCHECK) return record.check;
    if (message == BM_SETCHECK) {
      if (IsCheckBox(record)) record.check = wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
      return 0;
    }
  } else if (record.className == "ComboBox") {
    return ComboProc(record, message, wParam, lParam);
  } else if (record.className == WC_TABCONTROLA) {
    return TabProc(record, message, wParam, lParam);
  }
  return 0;
}

}  // namespace afx
