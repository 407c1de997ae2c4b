#include "TreeObjectListeners.h"

#include <map>

#include "Plugin/HostProject.h"
#include "common/EntryGuard.h"

namespace {

std::map<int, std::function<void(HTreeObject*)>>& Listeners() {
  // Never destroyed: objects deleted by other static destructors still notify.
  static auto* listeners = new std::map<int, std::function<void(HTreeObject*)>>;
  return *listeners;
}

int g_lastListener = 0;

}  // namespace

int AddTreeObjectDeletionListener(std::function<void(HTreeObject* object)> listener) {
  if (!listener) return 0;
  return GuardedEntry(0, [&] {
    Listeners()[++g_lastListener] = std::move(listener);
    return g_lastListener;
  });
}

void RemoveTreeObjectDeletionListener(int listener) {
  GuardedEntry([&] { Listeners().erase(listener); });
}

void NotifyTreeObjectDeleted(HTreeObject* object) {
  // A listener that throws must not stop the deletion, nor the other listeners.
  for (auto& entry : Listeners()) {
    auto& listener = entry.second;
    GuardedEntry([&] { listener(object); });
  }
}
