#include "fbxsdk/fbxobject.h"

#include <algorithm>
#include <cstring>

#include "fbxsdk/fbxmanager.h"

namespace fbxsdk {

// ---- FbxProperty ----

void FbxProperty::Register(FbxObject* owner, FbxProperty* property) {
  if (owner) owner->RegisterProperty(property);
}

const char* FbxProperty::GetName() const { return mValue ? mValue->name.Buffer() : ""; }
EFbxType FbxProperty::GetPropertyDataType() const { return mValue ? mValue->type : eFbxUndefined; }
FbxObject* FbxProperty::GetFbxObject() const { return mValue ? mValue->owner : nullptr; }

int FbxProperty::GetValueCount() const {
  switch (GetPropertyDataType()) {
    case eFbxDouble2: return 2;
    case eFbxDouble3: return 3;
    case eFbxDouble4: return 4;
    case eFbxString:
    case eFbxUndefined: return 0;
    default: return 1;
  }
}

const double* FbxProperty::GetValues() const {
  static const double kNone[4] = {};
  return mValue ? mValue->numbers : kNone;
}

void FbxProperty::SetValues(const double* values, int count) {
  if (!mValue || !values) return;
  int n = std::min(count, GetValueCount());
  for (int i = 0; i < n; ++i) mValue->numbers[i] = values[i];
}

const char* FbxProperty::GetText() const { return mValue ? mValue->text.Buffer() : ""; }
void FbxProperty::SetText(const char* text) {
  if (mValue) mValue->text = text;
}

bool FbxProperty::ConnectSrcObject(FbxObject* object, FbxConnection::EType) {
  FbxObject* owner = GetFbxObject();
  return owner && owner->ConnectSrcObjectToProperty(object, GetName());
}

int FbxProperty::GetSrcObjectCount() const {
  FbxObject* owner = GetFbxObject();
  if (!owner) return 0;
  int n = 0;
  for (int i = 0; i < owner->GetSrcObjectCount(); ++i)
    if (std::strcmp(owner->GetSrcPropertyName(i), GetName()) == 0) ++n;
  return n;
}

FbxObject* FbxProperty::GetSrcObject(int index) const {
  FbxObject* owner = GetFbxObject();
  if (!owner) return nullptr;
  for (int i = 0; i < owner->GetSrcObjectCount(); ++i)
    if (std::strcmp(owner->GetSrcPropertyName(i), GetName()) == 0 && index-- == 0) return owner->GetSrcObject(i);
  return nullptr;
}

template <>
double FbxProperty::Get<double>() const {
  return mValue ? mValue->numbers[0] : 0.0;
}
template <>
float FbxProperty::Get<float>() const {
  return static_cast<float>(Get<double>());
}
template <>
int FbxProperty::Get<int>() const {
  double v = Get<double>();
  return v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int>(v) : 0;
}
template <>
bool FbxProperty::Get<bool>() const {
  return Get<double>() != 0.0;
}
template <>
FbxDouble2 FbxProperty::Get<FbxDouble2>() const {
  const double* v = GetValues();
  return FbxDouble2(v[0], v[1]);
}
template <>
FbxDouble3 FbxProperty::Get<FbxDouble3>() const {
  const double* v = GetValues();
  return FbxDouble3(v[0], v[1], v[2]);
}
template <>
FbxDouble4 FbxProperty::Get<FbxDouble4>() const {
  const double* v = GetValues();
  return FbxDouble4(v[0], v[1], v[2], v[3]);
}
template <>
FbxString FbxProperty::Get<FbxString>() const {
  return FbxString(GetText());
}

namespace {
bool SetNumbers(double* target, const double* values, int count) {
  if (!target) return false;
  for (int i = 0; i < 4; ++i) target[i] = i < count ? values[i] : 0.0;
  return true;
}
}  // namespace

template <>
bool FbxProperty::Set<double>(const double& v) {
  return mValue && SetNumbers(mValue->numbers, &v, 1);
}
template <>
bool FbxProperty::Set<float>(const float& v) {
  return Set<double>(static_cast<double>(v));
}
template <>
bool FbxProperty::Set<int>(const int& v) {
  return Set<double>(static_cast<double>(v));
}
template <>
bool FbxProperty::Set<bool>(const bool& v) {
  return Set<double>(v ? 1.0 : 0.0);
}
template <>
bool FbxProperty::Set<FbxDouble2>(const FbxDouble2& v) {
  return mValue && SetNumbers(mValue->numbers, v.mData, 2);
}
template <>
bool FbxProperty::Set<FbxDouble3>(const FbxDouble3& v) {
  return mValue && SetNumbers(mValue->numbers, v.mData, 3);
}
template <>
bool FbxProperty::Set<FbxDouble4>(const FbxDouble4& v) {
  return mValue && SetNumbers(mValue->numbers, v.mData, 4);
}
template <>
bool FbxProperty::Set<FbxString>(const FbxString& v) {
  if (!mValue) return false;
  mValue->text = v;
  return true;
}

// ---- FbxObject ----

FbxObject::FbxObject(FbxManager& manager, const char* name) : mManager(&manager), mName(name ? name : "") {}

FbxObject::~FbxObject() { DisconnectAll(); }

namespace {
// Removes one occurrence, searching from the back where the newest connections are.
void EraseOne(std::vector<FbxObject*>& list, FbxObject* object) {
  auto found = std::find(list.rbegin(), list.rend(), object);
  if (found != list.rend()) list.erase(std::next(found).base());
}
}  // namespace

void FbxObject::DisconnectAll() {
  for (Link& link : mSources) EraseOne(link.object->mDestinations, this);
  mSources.clear();
  while (!mDestinations.empty()) mDestinations.back()->DisconnectSrcObject(this);
}

void FbxObject::Destroy(bool recursive) {
  if (recursive) {
    std::vector<FbxObject*> sources;
    for (Link& link : mSources) sources.push_back(link.object);
    DisconnectAll();
    for (FbxObject* source : sources) source->Destroy(true);
  }
  mManager->ReleaseObject(this);
}

bool FbxObject::ConnectSrcObject(FbxObject* object, FbxConnection::EType) {
  return ConnectSrcObjectToProperty(object, "");
}

bool FbxObject::ConnectSrcObjectToProperty(FbxObject* object, const char* property) {
  if (!object || object == this) return false;
  FbxString name(property);
  for (const Link& link : mSources)
    if (link.object == object && link.property == name) return true;  // already connected
  mSources.push_back({object, name});
  object->mDestinations.push_back(this);
  return true;
}

bool FbxObject::DisconnectSrcObject(FbxObject* object) {
  bool found = false;
  for (size_t i = mSources.size(); i-- > 0;) {
    if (mSources[i].object != object) continue;
    mSources.erase(mSources.begin() + static_cast<std::ptrdiff_t>(i));
    EraseOne(object->mDestinations, this);
    found = true;
  }
  return found;
}

FbxObject* FbxObject::GetSrcObject(int index) const {
  return index >= 0 && index < GetSrcObjectCount() ? mSources[static_cast<size_t>(index)].object : nullptr;
}

const char* FbxObject::GetSrcPropertyName(int index) const {
  return index >= 0 && index < GetSrcObjectCount() ? mSources[static_cast<size_t>(index)].property.Buffer() : "";
}

FbxObject* FbxObject::GetDstObject(int index) const {
  return index >= 0 && index < GetDstObjectCount() ? mDestinations[static_cast<size_t>(index)] : nullptr;
}

FbxProperty FbxObject::FindProperty(const char* name) const {
  for (FbxProperty* property : mProperties)
    if (std::strcmp(property->GetName(), name ? name : "") == 0) return *property;
  return FbxProperty();
}

FbxProperty* FbxObject::GetPropertyAt(int index) const {
  return index >= 0 && index < GetPropertyCount() ? mProperties[static_cast<size_t>(index)] : nullptr;
}

}  // namespace fbxsdk
