#include "DialogView.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Output.H>
#include <FL/fl_draw.H>

#include <functional>
#include <set>
#include <vector>

#include "afxfltk.h"
#include "afxhost.h"

namespace afx {

namespace {

constexpr int kFontSize = 11;  // MS Shell Dlg 8 pt at 96 dpi
constexpr int kComboHeight = 21;

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
    fl_font(FL_HELVETICA, kFontSize);
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
    auto* box = new Fl_Check_Button(x, y, w, h);
    box->down_box(FL_DOWN_BOX);
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
  if (info.className == "Edit") {
    auto* edit = new Fl_Output(x, y, w, h);
    edit->textsize(kFontSize);
    return edit;
  }
  if (info.className == "ComboBox") {
    auto* combo = new Fl_Choice(x, y, w, std::min(h, kComboHeight));
    combo->textsize(kFontSize);
    combo->callback(OnChoice, data);
    return combo;
  }
  if (info.className == WC_TABCONTROLA) return new TabStrip(x, y, w, h, control);
  return nullptr;
}

// The system font is narrower than FLTK's: a caption that would not fit its
// control is drawn a little smaller rather than cut or spilled over a neighbour.
int FittingLabelSize(const std::string& text, int available) {
  int size = kFontSize;
  for (; size > 8; --size) {
    fl_font(FL_HELVETICA, size);
    if (fl_width(text.c_str()) <= available) break;
  }
  return size;
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

DialogView::DialogView(HWND dialog) : dialog_(dialog) {}

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
    window_->position(std::max(0, (Fl::w() - width) / 2), std::max(0, (Fl::h() - height) / 2));
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
    widget->labelsize(kFontSize);
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
    static_cast<Fl_Output*>(widget)->value(info.text.c_str());
  } else if (combo) {
    auto* choice = static_cast<Fl_Choice*>(widget);
    choice->clear();
    for (const std::string& entry : info.items) choice->add(AfxFltkMenuText(entry).c_str());
    choice->value(info.curSel);
  } else if (info.className != WC_TABCONTROLA) {
    widget->copy_label(info.text.c_str());
    const bool checkBox = dynamic_cast<Fl_Check_Button*>(widget) != nullptr;
    widget->labelsize(FittingLabelSize(info.text, w - (checkBox ? 20 : 4)));
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
