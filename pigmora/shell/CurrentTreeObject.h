#pragma once

class HTreeObject;

// The host object of the latest host command; the send finds its model from
// it. The plug-in does not own the object. The host moves its own references
// (scene instances) when a model is replaced; this one follows the same way,
// so every deletion the plug-in makes goes through FollowTreeObjectReplacement.
extern HTreeObject* CurrentTreeObject;

// What a host command does: the object becomes current.
void SetCurrentTreeObject(HTreeObject* object);

// Before the plug-in deletes `older`: a current object that is `older` moves
// to `replacement` (when there is one); one that would go with `older`
// (`older` itself without a replacement, or an object inside it) is
// forgotten, and the send then says so.
void FollowTreeObjectReplacement(HTreeObject* older, HTreeObject* replacement);

// True when the current object was forgotten because the plug-in deleted it.
bool CurrentTreeObjectWasDeleted();

// Whether `object` is still part of the project the host has open. Only
// addresses are compared, so a pointer to an object deleted meanwhile by
// anyone is answered safely.
bool IsInOpenProject(const HTreeObject* object);
