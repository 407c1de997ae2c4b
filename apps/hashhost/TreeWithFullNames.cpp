#include "TreeWithFullNames.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>

std::string TreeWithFullNames::ClippedNameAt(int y) {
  Fl_Tree_Item* item = first_visible_item();
  while (item && !(item->y() <= y && y < item->y() + item->h())) item = next_visible_item(item, FL_Down);
  if (!item || !item->label()) return "";
  fl_font(item->labelfont(), item->labelsize());
  const int right = item->label_x() + static_cast<int>(fl_width(item->label()));
  const int scrollbar = is_vscroll_visible() ? (scrollbar_size() ? scrollbar_size() : Fl::scrollbar_size()) : 0;
  const int visibleRight = x() + w() - Fl::box_dw(box()) - scrollbar;
  return right > visibleRight ? item->label() : "";
}

int TreeWithFullNames::handle(int event) {
  const int handled = Fl_Tree::handle(event);
  if (event == FL_MOVE || event == FL_ENTER) {
    const std::string name = ClippedNameAt(Fl::event_y());
    if (name != tip_) {
      tip_ = name;
      Fl_Tooltip::enter_area(this, 0, Fl::event_y() - y(), w(), 1, tip_.empty() ? nullptr : tip_.c_str());
    }
    return 1;  // so that FL_MOVE keeps coming
  }
  return handled;
}
