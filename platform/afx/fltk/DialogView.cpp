#include "DialogView.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <functional>
#include <set>
#include <vector>

#include "DialogFont.h"
#include "WindowPlacement.h"
#include "afxfltk.h"
#include "afxhost.h"

namespace afx {

namespace {

constexpr int kComboHeight = 21;
constexpr int kCheckSize = 13;        // a check box's square, as on Windows at 96 dpi
constexpr int kComboArrowWidth = 12;  // narrow, so that the longest entry has the room
constexpr int kTextPadding = 2;

HWND Handle(void* data) { return static_cast<HWND>(data); }

void OnButton(Fl_Widget*, void* data) {
  std::string problem;
  AfxUserClick(Handle(data), problem);
}

void OnChoice(Fl_Widget* widget, void* data) {
  std::string problem;
  AfxUserSelectEntry(Handle(data), static_cast<Fl_Choice*>(widget)->value(), problem);
}

// FLTK calls a window's callback for its close box and for Escape; Escape is a
// cancel command to the page with the focus, which may well keep the dialog open.
void OnWindowClose(Fl_Widget*, void* data) {
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
    AfxUserPressEscape();
  } else {
    AfxUserCloseWindow(Handle(data));
  }
}

Fl_Color TextColour(const Fl_Widget& widget) {
  return widget.active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR);
}

// A check box as the system draws one: a white square with a tick, whatever
// the scheme makes of FLTK's own (at small sizes a rounded box looks like a
// radio button).
class CheckBox : public Fl_Check_Button {
public:
  CheckBox(int x, int y, int w, int h) : Fl_Check_Button(x, y, w, h) {}

  void draw() override {
    const int boxY = y() + (h() - kCheckSize) / 2;
    fl_color(active_r() ? FL_BACKGROUND2_COLOR : FL_BACKGROUND_COLOR);
    fl_rectf(x(), boxY, kCheckSize, kCheckSize);
    fl_color(active_r() ? FL_DARK3 : fl_inactive(FL_DARK3));
    fl_rect(x(), boxY, kCheckSize, kCheckSize);
    if (value()) {
      fl_color(TextColour(*this));
      fl_line_style(FL_SOLID | FL_CAP_ROUND | FL_JOIN_ROUND, 2);
      fl_begin_line();
      fl_vertex(x() + 3, boxY + 6);
      fl_vertex(x() + 5.5, boxY + 9);
      fl_vertex(x() + 10, boxY + 3.5);
      fl_end_line();
      fl_line_style(0);
    }
    draw_label(x() + kCheckSize + 4, y(), w() - kCheckSize - 4, h(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    if (Fl::focus() == this) draw_focus(FL_NO_BOX, x() + kCheckSize + 2, y(), w() - kCheckSize - 2, h());
  }
};

// A read-only edit box. A text too long for it shows its end (a path's
// program name), as a box scrolled to the end of its text does.
class TextBox : public Fl_Widget {
public:
  TextBox(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
  void text(const std::string& text) {
    text_ = text;
    redraw();
  }

  void draw() override {
    draw_box(FL_DOWN_BOX, active_r() ? FL_BACKGROUND2_COLOR : FL_BACKGROUND_COLOR);
    const int inner = Fl::box_dx(FL_DOWN_BOX) + kTextPadding;
    fl_font(kDialogFont, kDialogFontSize);
    const bool fits = fl_width(text_.c_str()) <= w() - 2 * inner;
    fl_push_clip(x() + inner, y(), w() - 2 * inner, h());
    fl_color(TextColour(*this));
    fl_draw(text_.c_str(), x() + inner, y(), w() - 2 * inner, h(), fits ? FL_ALIGN_LEFT : FL_ALIGN_RIGHT, nullptr, 0);
    fl_pop_clip();
  }

private:
  std::string text_;
};

// A drop-down list: the chosen entry in a box with a narrow arrow button; the
// open list is as wide as its longest entry.
class ComboBox : public Fl_Choice {
public:
  ComboBox(int x, int y, int w, int h) : Fl_Choice(x, y, w, h) {}
  void entries(const std::vector<std::string>& entries) { entries_ = entries; }

  void draw() override {
    draw_box(FL_THIN_DOWN_BOX, active_r() ? FL_BACKGROUND2_COLOR : FL_BACKGROUND_COLOR);
    const int dx = Fl::box_dx(FL_THIN_DOWN_BOX);
    const int dy = Fl::box_dy(FL_THIN_DOWN_BOX);
    const int arrowX = x() + w() - dx - kComboArrowWidth;
    draw_box(FL_THIN_UP_BOX, arrowX, y() + dy, kComboArrowWidth, h() - 2 * dy, FL_BACKGROUND_COLOR);
    fl_color(TextColour(*this));
    const int middleX = arrowX + kComboArrowWidth / 2;
    const int middleY = y() + h() / 2;
    fl_polygon(middleX - 3, middleY - 1, middleX + 3, middleY - 1, middleX, middleY + 2);
    const int index = value();
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const int textX = x() + dx + kTextPadding;
    fl_push_clip(textX, y() + dy, arrowX - textX, h() - 2 * dy);
    fl_font(textfont(), textsize());
    fl_draw(entries_[static_cast<std::size_t>(index)].c_str(), textX, y(), arrowX - textX, h(), FL_ALIGN_LEFT, nullptr,
            0);
    fl_pop_clip();
    if (Fl::focus() == this) draw_focus(FL_NO_BOX, x() + dx, y() + dy, arrowX - x() - dx, h() - 2 * dy);
  }

private:
  std::vector<std::string> entries_;
};

// A group box: an engraved frame with its caption on the top line.
class GroupFrame : public Fl_Widget {
public:
  GroupFrame(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
  void draw() override {
    fl_draw_box(FL_ENGRAVED_FRAME, x(), y() + 6, w(), h() - 6, color());
    if (!label() || !*label()) return;
    fl_font(labelfont(), labelsize());
    const int width = static_cast<int>(fl_width(label())) + 4;
    fl_color(color());
    fl_rectf(x() + 6, y(), width, 13);
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_draw(label(), x() + 8, y() + 10);
  }
};

// A tab control: the items along the top, the panel below, the chosen item
// joined to the panel. A click chooses an item.
class TabStrip : public Fl_Widget {
public:
  TabStrip(int x, int y, int w, int h, HWND tab) : Fl_Widget(x, y, w, h), tab_(tab) {}

  void draw() override {
    AfxWindowInfo info;
    if (!AfxGetWindowInfo(tab_, info)) return;
    int panelTop = 24;
    std::vector<RECT> rects(info.items.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
      ::SendMessageA(tab_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rects[i]));
      panelTop = static_cast<int>(rects[i].bottom);
    }
    fl_draw_box(FL_THIN_UP_BOX, x(), y() + panelTop, w(), h() - panelTop, FL_BACKGROUND_COLOR);
    fl_font(kDialogFont, kDialogFontSize);
    for (std::size_t i = 0; i < rects.size(); ++i) {
      const bool chosen = static_cast<int>(i) == info.curSel;
      const RECT& r = rects[i];
      const int grow = chosen ? 2 : 0;
      fl_draw_box(FL_THIN_UP_BOX, x() + r.left - grow, y() + r.top - grow, r.right - r.left + 2 * grow,
                  r.bottom - r.top + grow + (chosen ? 2 : 0), chosen ? FL_BACKGROUND2_COLOR : FL_BACKGROUND_COLOR);
      fl_color(FL_FOREGROUND_COLOR);
      fl_draw(info.items[i].c_str(), x() + r.left, y() + r.top, r.right - r.left, r.bottom - r.top, FL_ALIGN_CENTER);
    }
  }

  int handle(int event) override {
    if (event != FL_PUSH) return Fl_Widget::handle(event);
    AfxWindowInfo info;
    if (!AfxGetWindowInfo(tab_, info)) return 1;
    for (std::size_t i = 0; i < info.items.size(); ++i) {
      RECT r{};
      ::SendMessageA(tab_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
      if (Fl::event_inside(x() + r.left, y() + r.top, r.right - r.left, r.bottom - r.top)) {
        std::string problem;
        AfxUserSelectTab(tab_, static_cast<int>(i), problem);
        break;
      }
    }
    return 1;
  }

private:
  HWND tab_;
};

Fl_Widget* MakeWidget(HWND control, const AfxWindowInfo& info, int x, int y, int w, int h) {
  const DWORD type = info.style & BS_TYPEMASK;
  void* data = control;
  if (info.className == "Button" && type == BS_GROUPBOX) return new GroupFrame(x, y, w, h);
  if (info.className == "Button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)) {
    auto* box = new CheckBox(x, y, w, h);
    box->callback(OnButton, data);
    return box;
  }
  if (info.className == "Button") {
    auto* button = new Fl_Button(x, y, w, h);
    button->box((info.style & BS_FLAT) ? FL_THIN_UP_BOX : FL_UP_BOX);
    button->callback(OnButton, data);
    return button;
  }
  if (info.className == "Static") {
    auto* label = new Fl_Box(x, y, w, h);
    label->box(FL_NO_BOX);
    label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    return label;
  }
  if (info.className == "Edit") return new TextBox(x, y, w, h);
  if (info.className == "ComboBox") {
    auto* combo = new ComboBox(x, y, w, std::min(h, kComboHeight));
    combo->textfont(kDialogFont);
    combo->textsize(kDialogFontSize);
    combo->callback(OnChoice, data);
    return combo;
  }
  if (info.className == WC_TABCONTROLA) return new TabStrip(x, y, w, h, control);
  return nullptr;
}

// A label wider than its box whose overflow would run under the control to
// its right (the template puts a list right after its caption) keeps its end
// at the box's end and takes the free room on its left instead.
bool OverflowMeetsRightNeighbour(HWND control, const AfxWindowInfo& info, int textWidth) {
  const RECT& box = info.rect;
  const int overflowEnd = box.left + textWidth;
  for (HWND sibling : AfxGetChildWindows(::GetParent(control))) {
    AfxWindowInfo other;
    if (sibling == control || !AfxGetWindowInfo(sibling, other)) continue;
    const RECT& r = other.rect;
    if (r.left >= box.right - 1 && r.left < overflowEnd && r.top < box.bottom && r.bottom > box.top) return true;
  }
  return false;
}

std::string StateOf(const AfxWindowInfo& info, int x, int y) {
  std::string state = info.text + '\x1f' + std::to_string(info.check) + ',' + std::to_string(info.curSel) + ',' +
                      std::to_string(info.visible) + std::to_string(info.enabled) + ',' + std::to_string(x) + ',' +
                      std::to_string(y) + ',' + std::to_string(info.rect.right - info.rect.left) + ',' +
                      std::to_string(info.rect.bottom - info.rect.top);
  for (const std::string& item : info.items) state += '\x1e' + item;
  return state;
}

}  // namespace

DialogView::DialogView(HWND dialog, Fl_Window* owner) : dialog_(dialog), owner_(owner) {}

DialogView::~DialogView() {
  if (window_) window_->hide();
}

void DialogView::Sync() {
  AfxWindowInfo info;
  if (!AfxGetWindowInfo(dialog_, info)) return;
  const int width = info.rect.right - info.rect.left;
  const int height = info.rect.bottom - info.rect.top;
  if (!window_) {
    window_ = std::make_unique<Fl_Double_Window>(std::max(width, 1), std::max(height, 1));
    window_->end();
    PlaceCentredOver(*window_, owner_);
    window_->callback(OnWindowClose, dialog_);
    window_->set_modal();
  }
  if (info.text != (window_->label() ? window_->label() : "")) window_->copy_label(info.text.c_str());

  std::set<HWND> alive;
  // Depth first, parents before children, so a page's controls lie above the tab control.
  std::vector<std::pair<HWND, std::pair<int, int>>> ordered;
  std::function<void(HWND, int, int)> walk = [&](HWND parent, int ox, int oy) {
    for (HWND child : AfxGetChildWindows(parent)) {
      AfxWindowInfo childInfo;
      if (!AfxGetWindowInfo(child, childInfo) || !(childInfo.style & WS_CHILD)) continue;
      const int cx = ox + childInfo.rect.left;
      const int cy = oy + childInfo.rect.top;
      ordered.push_back({child, {cx, cy}});
      walk(child, cx, cy);
    }
  };
  walk(dialog_, 0, 0);
  for (const auto& [control, origin] : ordered) {
    alive.insert(control);
    SyncControl(control, origin.first, origin.second);
  }
  for (auto it = items_.begin(); it != items_.end();) {
    if (alive.count(it->first)) {
      ++it;
      continue;
    }
    window_->remove(it->second.widget);
    Fl::delete_widget(it->second.widget);
    it = items_.erase(it);
  }
  if (info.visible && !window_->shown()) window_->show();
  if (!info.visible && window_->shown()) window_->hide();
}

void DialogView::SyncControl(HWND control, int x, int y) {
  AfxWindowInfo info;
  if (!AfxGetWindowInfo(control, info) || info.className == "#32770") return;
  const int w = info.rect.right - info.rect.left;
  const int h = info.rect.bottom - info.rect.top;
  auto found = items_.find(control);
  if (found == items_.end()) {
    Fl_Widget* widget = MakeWidget(control, info, x, y, w, h);
    if (!widget) return;
    widget->labelfont(kDialogFont);
    widget->labelsize(kDialogFontSize);
    window_->add(widget);
    found = items_.emplace(control, Item{widget, std::string()}).first;
  }
  Item& item = found->second;
  const std::string state = StateOf(info, x, y);
  if (state == item.state) return;
  item.state = state;
  Fl_Widget* widget = item.widget;
  const bool combo = info.className == "ComboBox";
  widget->resize(x, y, w, combo ? std::min(h, kComboHeight) : h);
  if (info.className == "Edit") {
    static_cast<TextBox*>(widget)->text(info.text);
  } else if (combo) {
    auto* choice = static_cast<ComboBox*>(widget);
    choice->clear();
    for (const std::string& entry : info.items) choice->add(AfxFltkMenuText(entry).c_str());
    choice->entries(info.items);
    choice->value(info.curSel);
  } else if (info.className != WC_TABCONTROLA) {
    widget->copy_label(info.text.c_str());
    if (info.className == "Static") {
      fl_font(kDialogFont, kDialogFontSize);
      const int textWidth = static_cast<int>(fl_width(info.text.c_str()) + 0.5);
      const bool leftward = textWidth > w && OverflowMeetsRightNeighbour(control, info, textWidth);
      widget->align(FL_ALIGN_INSIDE | (leftward ? FL_ALIGN_RIGHT : FL_ALIGN_LEFT));
    }
  }
  if (auto* box = dynamic_cast<Fl_Check_Button*>(widget)) box->value(info.check == BST_CHECKED ? 1 : 0);
  if (info.enabled) {
    widget->activate();
  } else {
    widget->deactivate();
  }
  if (info.visible) {
    widget->show();
  } else {
    widget->hide();
  }
  window_->redraw();
}

}  // namespace afx
