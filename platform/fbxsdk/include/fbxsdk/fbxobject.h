// FbxObject: the base of everything the manager owns, with its connections and properties.
#pragma once

#include <cstddef>
#include <memory>
#include <typeinfo>
#include <vector>

#include "fbxmath.h"
#include "fbxstring.h"

namespace fbxsdk {

class FbxManager;
class FbxObject;

struct FbxConnection {
  enum EType { eNone = 0, eDefault = 0 };
};

// What a property of a class is: its file name, its type and the value each object of the class
// starts with. A class keeps one for each of its properties for as long as the program runs.
struct FbxPropertyInfo {
  const char* name = "";
  EFbxType type = eFbxUndefined;
  double numbers[4] = {};
  const char* text = "";
};

// A property's value once it differs from its class's starting one; its object keeps it.
struct FbxPropertyValue {
  const FbxPropertyInfo* info = nullptr;
  double numbers[4] = {};
  FbxString text;
};

// A handle to a named, typed value of an object. Copies refer to the same value;
// default-constructed handles are invalid.
class FBXSDK_DLL FbxProperty {
public:
  FbxProperty() = default;

  bool IsValid() const { return info_ != nullptr; }
  const char* GetName() const;
  EFbxType GetPropertyDataType() const;
  FbxObject* GetFbxObject() const { return owner_; }

  template <class T>
  T Get() const;
  template <class T>
  bool Set(const T& value);

  // Connects a texture (or any object) to this property of its owner.
  bool ConnectSrcObject(FbxObject* object, FbxConnection::EType type = FbxConnection::eNone);
  int GetSrcObjectCount() const;
  FbxObject* GetSrcObject(int index = 0) const;

  // Bulk access used by the readers and writers: up to four numbers and a text.
  int GetValueCount() const;
  const double* GetValues() const;
  void SetValues(const double* values, int count);
  const char* GetText() const;
  void SetText(const char* text);
  // What the property's class says of it, starting value included.
  const FbxPropertyInfo& GetClassInfo() const;
  // Whether the value is still the class's starting one, bit for bit: writers leave such values
  // to the class's template.
  bool HoldsClassValue() const;

protected:
  FbxProperty(FbxObject* owner, const FbxPropertyInfo& info) : owner_(owner), info_(&info) {}
  static void Register(FbxObject* owner, FbxProperty* property);

private:
  // Until a value differs from the class's, the class's serves: a scene of many materials holds
  // only the values its materials change, and a property is no more than this handle.
  const FbxPropertyValue* OwnValue() const;
  FbxPropertyValue* MakeOwnValue();
  bool StoreNumbers(const double (&numbers)[4]);

  FbxObject* owner_ = nullptr;
  const FbxPropertyInfo* info_ = nullptr;
};

template <>
FBXSDK_DLL double FbxProperty::Get<double>() const;
template <>
FBXSDK_DLL float FbxProperty::Get<float>() const;
template <>
FBXSDK_DLL int FbxProperty::Get<int>() const;
template <>
FBXSDK_DLL bool FbxProperty::Get<bool>() const;
template <>
FBXSDK_DLL FbxDouble2 FbxProperty::Get<FbxDouble2>() const;
template <>
FBXSDK_DLL FbxDouble3 FbxProperty::Get<FbxDouble3>() const;
template <>
FBXSDK_DLL FbxDouble4 FbxProperty::Get<FbxDouble4>() const;
template <>
FBXSDK_DLL FbxString FbxProperty::Get<FbxString>() const;
template <>
FBXSDK_DLL bool FbxProperty::Set<double>(const double&);
template <>
FBXSDK_DLL bool FbxProperty::Set<float>(const float&);
template <>
FBXSDK_DLL bool FbxProperty::Set<int>(const int&);
template <>
FBXSDK_DLL bool FbxProperty::Set<bool>(const bool&);
template <>
FBXSDK_DLL bool FbxProperty::Set<FbxDouble2>(const FbxDouble2&);
template <>
FBXSDK_DLL bool FbxProperty::Set<FbxDouble3>(const FbxDouble3&);
template <>
FBXSDK_DLL bool FbxProperty::Set<FbxDouble4>(const FbxDouble4&);
template <>
FBXSDK_DLL bool FbxProperty::Set<FbxString>(const FbxString&);

template <class T>
struct FbxPropertyTypeOf;
template <>
struct FbxPropertyTypeOf<double> {
  static constexpr EFbxType value = eFbxDouble;
};
template <>
struct FbxPropertyTypeOf<int> {
  static constexpr EFbxType value = eFbxInt;
};
template <>
struct FbxPropertyTypeOf<bool> {
  static constexpr EFbxType value = eFbxBool;
};
template <>
struct FbxPropertyTypeOf<FbxDouble2> {
  static constexpr EFbxType value = eFbxDouble2;
};
template <>
struct FbxPropertyTypeOf<FbxDouble3> {
  static constexpr EFbxType value = eFbxDouble3;
};
template <>
struct FbxPropertyTypeOf<FbxDouble4> {
  static constexpr EFbxType value = eFbxDouble4;
};
template <>
struct FbxPropertyTypeOf<FbxString> {
  static constexpr EFbxType value = eFbxString;
};

// A property member of a class, typed at compile time, with the class's description of it.
template <class T>
class FbxPropertyT : public FbxProperty {
public:
  FbxPropertyT(FbxObject* owner, const FbxPropertyInfo& info) : FbxProperty(owner, info) { Register(owner, this); }
  FbxPropertyT(const FbxPropertyT&) = delete;
  FbxPropertyT& operator=(const FbxPropertyT&) = delete;

  // Both spellings callers use: Diffuse.Get() and Diffuse.Get<FbxDouble3>().
  using FbxProperty::Get;
  using FbxProperty::Set;
  T Get() const { return FbxProperty::Get<T>(); }
  bool Set(const T& value) { return FbxProperty::Set<T>(value); }

  // The description of a property of this type, for a class to keep: its name and initial value.
  static constexpr FbxPropertyInfo Info(const char* name, double a = 0, double b = 0, double c = 0, double d = 0) {
    return {name, FbxPropertyTypeOf<T>::value, {a, b, c, d}, ""};
  }
  static constexpr FbxPropertyInfo Info(const char* name, const char* text) {
    return {name, FbxPropertyTypeOf<T>::value, {}, text};
  }
};

class FBXSDK_DLL FbxObject {
public:
  FbxObject(const FbxObject&) = delete;
  FbxObject& operator=(const FbxObject&) = delete;

  const char* GetName() const { return name_; }
  void SetName(const char* name);
  FbxManager* GetFbxManager() const { return manager_; }

  // Frees the object now; its connections are cut. With recursive, the
  // objects connected to it as sources are destroyed too.
  void Destroy(bool recursive = false);

  bool ConnectSrcObject(FbxObject* object, FbxConnection::EType type = FbxConnection::eNone);
  bool DisconnectSrcObject(FbxObject* object);
  int GetSrcObjectCount() const { return static_cast<int>(sources_.size()); }
  FbxObject* GetSrcObject(int index = 0) const;
  int GetDstObjectCount() const { return static_cast<int>(destinations_.size()); }
  FbxObject* GetDstObject(int index = 0) const;

  // Typed look-ups take constant time: a node with many materials is read in
  // one pass, not one pass per material.
  template <class T>
  int GetSrcObjectCount() const {
    return static_cast<int>(SourcesOfType(typeid(T), &IsOfType<T>).size());
  }
  template <class T>
  T* GetSrcObject(int index = 0) const {
    const std::vector<FbxObject*>& typed = SourcesOfType(typeid(T), &IsOfType<T>);
    return index >= 0 && static_cast<size_t>(index) < typed.size() ? static_cast<T*>(typed[static_cast<size_t>(index)])
                                                                   : nullptr;
  }
  // Grows whenever a source is connected or cut, so that callers may keep
  // their own indexes of the sources and know when to rebuild them.
  unsigned long long GetSrcObjectsVersion() const { return sourcesVersion_; }
  // Grows whenever any object is renamed.
  static unsigned long long GetRenameCount();

  // The property name a source object is connected to ("" for the object itself).
  const char* GetSrcPropertyName(int index) const;
  bool ConnectSrcObjectToProperty(FbxObject* object, const char* property);

  // Properties of this object, found by their file names ("DiffuseColor").
  FbxProperty FindProperty(const char* name) const;
  int GetPropertyCount() const;
  FbxProperty* GetPropertyAt(int index) const;

  virtual ~FbxObject();

protected:
  FbxObject(FbxManager& manager, const char* name);

private:
  friend class FbxManager;
  friend class FbxProperty;
  struct Link {
    FbxObject* object;
    FbxString property;
  };
  // The sources of one type in connection order, built on first use after a change.
  struct TypedSources {
    const std::type_info* type;
    bool (*isOfType)(FbxObject*);
    std::vector<FbxObject*> objects;
  };
  template <class T>
  static bool IsOfType(FbxObject* object) {
    return dynamic_cast<T*>(object) != nullptr;
  }
  const std::vector<FbxObject*>& SourcesOfType(const std::type_info& type, bool (*isOfType)(FbxObject*)) const;
  void SourceAdded(FbxObject* object);
  void SourcesRemoved();
  void RegisterProperty(FbxProperty* property);
  // Where an object's property members lie, as offsets from the object. Every object of a class
  // has the same, so they share one list, made as the first of them is built.
  struct PropertyLayout;
  static const PropertyLayout* Extended(const PropertyLayout* layout, std::ptrdiff_t offset);
  void DisconnectAll();
  // Drops this object's connections without telling the objects at their other
  // ends: only for when those are destroyed as well.
  void ForgetConnections();

  FbxManager* manager_;
  FbxString name_;
  std::vector<Link> sources_;
  std::vector<FbxObject*> destinations_;
  mutable std::vector<TypedSources> typedSources_;
  unsigned long long sourcesVersion_ = 0;
  const PropertyLayout* properties_ = nullptr;
  std::vector<std::unique_ptr<FbxPropertyValue>> ownValues_;  // of the properties that differ from their class's
  size_t managerSlot_ = 0;
};

// Checked downcast between library classes; null when the object is of another class.
template <class T>
T* FbxCast(FbxObject* object) {
  return dynamic_cast<T*>(object);
}
template <class T>
const T* FbxCast(const FbxObject* object) {
  return dynamic_cast<const T*>(object);
}

}  // namespace fbxsdk

// Every class that the manager creates has these two factories.
#define FBXSDK_OBJECT_FACTORY(ClassName)                            \
public:                                                             \
  static ClassName* Create(FbxManager* manager, const char* name);  \
  static ClassName* Create(FbxObject* container, const char* name); \
                                                                    \
protected:                                                          \
  friend class FbxManager;                                          \
  ClassName(FbxManager& manager, const char* name);                 \
                                                                    \
public:
