#pragma once

#include <FL/Fl_Tree.H>

#include <string>

// The project tree. A name too long for the tree's width shows whole in a
// tooltip while the pointer rests on it (FLTK 1.3's tree cannot scroll sideways).
class TreeWithFullNames : public Fl_Tree {
public:
  TreeWithFullNames(int x, int y, int width, int height) : Fl_Tree(x, y, width, height) {}

  int handle(int event) override;

  // The name of the item at this height whose label the tree cuts off; empty for none.
  std::string ClippedNameAt(int y);

private:
  std::string tip_;  // the tooltip's text lives as long as it shows
};
