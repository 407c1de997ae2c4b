#include "Plugin/HTreeObject.h"

#include "TreeObjectListeners.h"

HTreeObject::HTreeObject(int type) : type_(type) {}

HTreeObject::~HTreeObject() {
  // Children go first, each one unlinked before it is deleted so that the
  // objects it tells on the way out still see a consistent tree.
  while (firstChild_) {
    HHashObject* child = firstChild_;
    DetachChild(child);
    delete child;
  }
  NotifyTreeObjectDeleted(this);
}

void HTreeObject::AppendChild(HHashObject* child) {
  child->parent_ = this;
  child->nextSibling_ = nullptr;
  child->previousSibling_ = lastChild_;
  if (lastChild_)
    lastChild_->nextSibling_ = child;
  else
    firstChild_ = child;
  lastChild_ = child;
  NotifyTreeObjectAdded(child);
}

void HTreeObject::DetachChild(HHashObject* child) {
  if (!child || child->parent_ != this) return;
  if (child->previousSibling_)
    child->previousSibling_->nextSibling_ = child->nextSibling_;
  else
    firstChild_ = child->nextSibling_;
  if (child->nextSibling_)
    child->nextSibling_->previousSibling_ = child->previousSibling_;
  else
    lastChild_ = child->previousSibling_;
  child->parent_ = nullptr;
  child->nextSibling_ = nullptr;
  child->previousSibling_ = nullptr;
  ChildDetached(child);
}

bool HTreeObject::DeleteHandle(HTreeObject* object) {
  if (!object || !object->IsDeletable()) return false;
  if (object->parent_) object->parent_->DetachChild(static_cast<HHashObject*>(object));
  delete object;
  return true;
}

HHashObject::HHashObject(int type, const String& name) : HTreeObject(type) { name_ = name; }

int HHashObject::CountChildren() const {
  int count = 0;
  for (HHashObject* child = firstChild_; child; child = child->nextSibling_) ++count;
  return count;
}
