#include "ProjectModels.h"

#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>

std::vector<HModelCache*> ProjectModels(HProject* project) {
  std::vector<HModelCache*> models;
  HObjectCacheContainer* objects = project ? project->GetChildObjectCacheContainer() : nullptr;
  for (HHashObject* child = objects ? objects->GetChild() : nullptr; child; child = child->GetSibling())
    if (HModelCache* model = child->GetAsModelCache()) models.push_back(model);
  return models;
}

std::string ProjectSummary(HProject* project) {
  const std::vector<HModelCache*> models = ProjectModels(project);
  std::string line = "Project \"" + std::string(project ? project->GetName().Get() : "") + "\": ";
  if (models.empty()) return line + "no models (File > Open OBJ adds one)";
  line += std::to_string(models.size()) + (models.size() == 1 ? " model, " : " models, ");
  for (std::size_t i = 0; i < models.size(); ++i) {
    if (i > 0) line += i + 1 == models.size() ? " and " : ", ";
    line += "\"" + std::string(models[i]->GetName().Get()) + "\"";
  }
  return line;
}
