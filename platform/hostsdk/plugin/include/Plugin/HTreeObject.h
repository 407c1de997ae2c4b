#pragma once

#include <FileIO/String.h>

#include "Plugin/Export.h"

class HAnimObject;
class HHashObject;
class HModelCache;

// A node of the project tree. A parent owns its children; deleting a node
// deletes its subtree.
class PLUGIN_API HTreeObject {
public:
  virtual ~HTreeObject();
  HTreeObject(const HTreeObject&) = delete;
  HTreeObject& operator=(const HTreeObject&) = delete;

  HTreeObject* GetParent() const { return parent_; }
  int GetObjectType() const { return type_; }
  // The scene instance this object stands for; null for objects that are not one.
  virtual HAnimObject* GetAnimObject() { return nullptr; }
  // The model this object is; null for objects that are not one.
  virtual HModelCache* GetAsModelCache() { return nullptr; }
  // The name the host matches objects by (groups: their name as shown).
  String GetMatchName() const { return name_; }

  // Removes the object and its subtree from the project and deletes them.
  // Project folders cannot be deleted. Null is ignored.
  static bool DeleteHandle(HTreeObject* object);

protected:
  explicit HTreeObject(int type);
  // Whether DeleteHandle may remove this object.
  virtual bool IsDeletable() const { return true; }

  // Appends child as the last child; the object takes ownership.
  void AppendChild(HHashObject* child);
  // Unlinks child without deleting it.
  void DetachChild(HHashObject* child);
  // Told when a child leaves, so an object can forget what it kept of it.
  virtual void ChildDetached(HHashObject* child) {}

  String name_;
  int type_;
  HTreeObject* parent_ = nullptr;
  // Children in a list linked both ways, so that a folder of many objects
  // gains and loses one in constant time.
  HHashObject* firstChild_ = nullptr;
  HHashObject* lastChild_ = nullptr;
  HHashObject* nextSibling_ = nullptr;
  HHashObject* previousSibling_ = nullptr;

  friend class HHashObject;
};

// A named object of the project tree with children and siblings.
class PLUGIN_API HHashObject : public HTreeObject {
public:
  String GetName() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  HHashObject* GetChild() const { return firstChild_; }
  HHashObject* GetSibling() const { return nextSibling_; }
  int CountChildren() const;

protected:
  HHashObject(int type, const String& name);
};
