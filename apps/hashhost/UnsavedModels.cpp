#include "UnsavedModels.h"

#include <Plugin/HModelCache.h>
#include <Plugin/HostProject.h>

#include "ProjectModels.h"

UnsavedModels::UnsavedModels(HProject* project) : project_(project) {
  for (HModelCache* model : ProjectModels(project_)) kept_.insert(model);
  // A new model may come to the address of a deleted one: the address alone says nothing then.
  deletionListener_ = AddTreeObjectDeletionListener([this](HTreeObject* object) { kept_.erase(object); });
}

UnsavedModels::~UnsavedModels() { RemoveTreeObjectDeletionListener(deletionListener_); }

void UnsavedModels::MarkSaved(HModelCache* model) {
  if (model) kept_.insert(model);
}

std::vector<std::string> UnsavedModels::Names() const {
  std::vector<std::string> names;
  for (HModelCache* model : ProjectModels(project_))
    if (!kept_.count(model)) names.push_back(model->GetName().Get());
  return names;
}
