#include "TreeObjectListeners.h"

#include <map>

#include "Plugin/HostProject.h"
#include "common/EntryGuard.h"

namespace {

using Listener = std::function<void(HTreeObject*)>;

// One registry per kind of change, each numbering its own listeners.
class ListenerRegistry {
public:
  int Add(Listener listener) {
    if (!listener) return 0;
    return GuardedEntry(0, [&] {
      listeners_[++last_] = std::move(listener);
      return last_;
    });
  }
  void Remove(int listener) {
    GuardedEntry([&] { listeners_.erase(listener); });
  }
  void Tell(HTreeObject* object) {
    // A listener that throws must not stop the change, nor the other listeners.
    for (auto& entry : listeners_) {
      auto& listener = entry.second;
      GuardedEntry([&] { listener(object); });
    }
  }

private:
  std::map<int, Listener> listeners_;
  int last_ = 0;
};

// Never destroyed: objects deleted by other static destructors still notify.
ListenerRegistry& DeletionListeners() {
  static auto* listeners = new ListenerRegistry;
  return *listeners;
}

ListenerRegistry& AdditionListeners() {
  static auto* listeners = new ListenerRegistry;
  return *listeners;
}

}  // namespace

int AddTreeObjectDeletionListener(std::function<void(HTreeObject* object)> listener) {
  return DeletionListeners().Add(std::move(listener));
}

void RemoveTreeObjectDeletionListener(int listener) { DeletionListeners().Remove(listener); }

void NotifyTreeObjectDeleted(HTreeObject* object) { DeletionListeners().Tell(object); }

int AddTreeObjectAdditionListener(std::function<void(HTreeObject* object)> listener) {
  return AdditionListeners().Add(std::move(listener));
}

void RemoveTreeObjectAdditionListener(int listener) { AdditionListeners().Remove(listener); }

void NotifyTreeObjectAdded(HTreeObject* object) { AdditionListeners().Tell(object); }
