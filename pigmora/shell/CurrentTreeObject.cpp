#include "shell/CurrentTreeObject.h"

#include <Plugin/HProject.h>
#include <Plugin/HTreeObject.h>

HTreeObject* CurrentTreeObject = nullptr;

namespace {
bool forgotten = false;

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

void SetCurrentTreeObject(HTreeObject* object) {
  CurrentTreeObject = object;
  forgotten = false;
}

void FollowTreeObjectReplacement(HTreeObject* older, HTreeObject* replacement) {
  if (!older || !CurrentTreeObject) return;
  if (CurrentTreeObject == older && replacement) {
    CurrentTreeObject = replacement;
    return;
  }
  if (IsInSubtree(CurrentTreeObject, older)) {
    CurrentTreeObject = nullptr;
    forgotten = true;
  }
}

bool CurrentTreeObjectWasDeleted() { return forgotten && !CurrentTreeObject; }

bool IsInOpenProject(const HTreeObject* object) {
  const HProject* project = GetHProject();
  return object && project && SubtreeHolds(project, object);
}
