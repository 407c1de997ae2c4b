#pragma once

#include <set>
#include <string>
#include <vector>

class HModelCache;
class HProject;
class HTreeObject;

// The project's models that exist only in memory: those opened or received
// since the host started and not written out since. The models there at the
// start (the built-in sample) are not news. A model written out is forgotten
// here until a receive replaces it with a new one.
class UnsavedModels {
public:
  explicit UnsavedModels(HProject* project);
  ~UnsavedModels();
  UnsavedModels(const UnsavedModels&) = delete;
  UnsavedModels& operator=(const UnsavedModels&) = delete;

  void MarkSaved(HModelCache* model);
  // The names of the unsaved models, in the project's order.
  std::vector<std::string> Names() const;

private:
  HProject* project_;
  std::set<const HTreeObject*> kept_;  // there at the start, or saved
  int deletionListener_ = 0;
};
