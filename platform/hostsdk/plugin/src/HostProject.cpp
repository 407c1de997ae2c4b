#include "Plugin/HostProject.h"

#include <cstring>
#include <string>

#include "CurrentProject.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "SampleModel.h"
#include "common/EntryGuard.h"

HProject* CreateHostProject(bool withSample) {
  HProject* project = GuardedEntry<HProject*>(nullptr, [] { return new HProject("Untitled"); });
  if (!project) return nullptr;
  SetCurrentProject(project);
  const bool built = GuardedEntry(false, [&] {
    HScene* scene = project->AddScene("Scene1");
    if (withSample) {
      HModelCache* sample = AddSampleModel(*project);
      if (sample) scene->AddInstance(sample);
    }
    return true;
  });
  if (built) return project;
  DestroyHostProject(project);
  return nullptr;
}

void DestroyHostProject(HProject* project) {
  if (!project) return;
  if (CurrentProject() == project) SetCurrentProject(nullptr);
  GuardedEntry([&] { delete project; });
}

namespace {

HHashObject* ChildNamed(HHashObject* parent, const std::string& name) {
  for (HHashObject* child = parent->GetChild(); child; child = child->GetSibling()) {
    if (name == child->GetName().Get()) return child;
  }
  return nullptr;
}

// The text before the first '/', and the rest after it ("" when none).
std::pair<std::string, std::string> SplitFirst(const std::string& path) {
  std::size_t slash = path.find('/');
  if (slash == std::string::npos) return {path, std::string()};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

HTreeObject* FindByPath(HProject* project, const char* path) {
  if (!project || !path) return nullptr;
  std::string rest(path);
  if (rest.empty()) return project;
  auto [folderName, inside] = SplitFirst(rest);
  HHashObject* folder = nullptr;
  if (folderName == "Objects")
    folder = project->GetChildObjectCacheContainer();
  else if (folderName == "Images")
    folder = project->GetChildClipCacheContainer();
  else if (folderName == "Scenes")
    folder = project->GetChildSceneContainer();
  if (!folder || inside.empty()) return rest == folderName ? folder : nullptr;
  if (folder != project->GetChildSceneContainer()) {
    // Model and image names may hold '/': the whole rest is the name.
    return ChildNamed(folder, inside);
  }
  auto [sceneName, instanceName] = SplitFirst(inside);
  HHashObject* scene = ChildNamed(folder, sceneName);
  if (!scene || instanceName.empty()) return inside == sceneName ? scene : nullptr;
  return ChildNamed(scene, instanceName);
}

}  // namespace

HTreeObject* FindTreeObjectByPath(HProject* project, const char* path) {
  return GuardedEntry<HTreeObject*>(nullptr, [&] { return FindByPath(project, path); });
}
