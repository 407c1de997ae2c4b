#include "host/CurrentObject.h"

#include <Plugin/HProject.h>
#include <Plugin/HTreeObject.h>

namespace pigmora {

namespace {

bool IsInSubtree(const HTreeObject* object, const HTreeObject* root) {
  for (const HTreeObject* at = object; at; at = at->GetParent())
    if (at == root) return true;
  return false;
}

bool SubtreeHolds(const HHashObject* root, const HTreeObject* object) {
  // Depth first without recursion: a deep tree cannot exhaust the stack.
  const HHashObject* at = root;
  while (at) {
    if (at == object) return true;
    if (const HHashObject* child = at->GetChild()) {
      at = child;
      continue;
    }
    while (at && at != root && !at->GetSibling()) at = static_cast<const HHashObject*>(at->GetParent());
    if (!at || at == root) return false;
    at = at->GetSibling();
  }
  return false;
}

}  // namespace

void CurrentObject::FollowReplacement(HTreeObject* older, HTreeObject* replacement) {
  if (!older || !object_) return;
  if (object_ == older && replacement) {
    object_ = replacement;
    return;
  }
  if (IsInSubtree(object_, older)) {
    object_ = nullptr;
    forgotten_ = true;
  }
}

bool IsInOpenProject(const HTreeObject* object) {
  const HProject* project = GetHProject();
  return object && project && SubtreeHolds(project, object);
}

}  // namespace pigmora
