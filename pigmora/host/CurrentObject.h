#pragma once

class HTreeObject;

namespace pigmora {

// The host object of the latest host command (the plug-in's state holds it as
// CurrentTreeObject); the send finds its model from it. The plug-in does not
// own the object. The host moves its own references (scene instances) when a
// model is replaced; this one follows the same way, so every deletion the
// plug-in makes goes through FollowReplacement.
class CurrentObject {
public:
  HTreeObject* Get() const { return object_; }

  // What a host command does: the object becomes current.
  void Set(HTreeObject* object) {
    object_ = object;
    forgotten_ = false;
  }

  // Before the plug-in deletes `older`: a current object that is `older` moves
  // to `replacement` (when there is one); one that would go with `older`
  // (`older` itself without a replacement, or an object inside it) is
  // forgotten, and the send then says so.
  void FollowReplacement(HTreeObject* older, HTreeObject* replacement);

  // True when the current object was forgotten because the plug-in deleted it.
  bool WasDeleted() const { return forgotten_ && !object_; }

private:
  HTreeObject* object_ = nullptr;
  bool forgotten_ = false;
};

// Whether `object` is still part of the project the host has open. Only
// addresses are compared, so a pointer to an object deleted meanwhile by
// anyone is answered safely.
bool IsInOpenProject(const HTreeObject* object);

}  // namespace pigmora
