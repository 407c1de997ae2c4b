// Which records a parser hands to the scene as soon as each is read whole: the entries of the
// file's first Objects section and of its first Connections section. A file of many objects is
// then never held whole as records. Sections of those names that come later stay in the tree.
#pragma once

#include <string_view>

#include "FbxRecord.h"

namespace fbxsdk::io {

class HandedSections {
public:
  // Called as each record starts, with its nesting depth (0 for the file's top level).
  void Starts(const FbxRecord& record, int depth) {
    if (depth != 0 || current_) return;
    for (Section& section : sections_) {
      if (section.seen || record.name != section.name) continue;
      section.seen = true;
      current_ = &record;
      currentName_ = section.name;
    }
  }

  // Called as each record ends: the name of the section it is an entry of, or "" when it is
  // none of them. The section's own end closes it; its place in the tree may go to a later record.
  std::string_view Ends(const FbxRecord& record, const FbxRecord& parent) {
    if (&record == current_) {
      current_ = nullptr;
      return {};
    }
    return &parent == current_ ? currentName_ : std::string_view();
  }

private:
  struct Section {
    std::string_view name;
    bool seen = false;
  };
  Section sections_[2] = {{"Objects"}, {"Connections"}};
  const FbxRecord* current_ = nullptr;  // the section being read
  std::string_view currentName_;
};

}  // namespace fbxsdk::io
