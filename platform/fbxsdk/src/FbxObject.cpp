#include "fbxsdk/fbxobject.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "fbxsdk/fbxmanager.h"

namespace fbxsdk {

// ---- FbxProperty ----

void FbxProperty::Register(FbxObject* owner, FbxProperty* property) {
  if (owner) owner->RegisterProperty(property);
}

const char* FbxProperty::GetName() const { return info_ ? info_->name : ""; }
EFbxType FbxProperty::GetPropertyDataType() const { return info_ ? info_->type : eFbxUndefined; }

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

// An object changes a handful of its properties at most: a short search finds the value.
const FbxPropertyValue* FbxProperty::OwnValue() const {
  if (!owner_) return nullptr;
  for (const auto& own : owner_->ownValues_)
    if (own->info == info_) return own.get();
  return nullptr;
}

FbxPropertyValue* FbxProperty::MakeOwnValue() {
  if (const FbxPropertyValue* own = OwnValue()) return const_cast<FbxPropertyValue*>(own);
  auto own = std::make_unique<FbxPropertyValue>();
  own->info = info_;
  std::copy(std::begin(info_->numbers), std::end(info_->numbers), own->numbers);
  own->text = info_->text;
  owner_->ownValues_.push_back(std::move(own));
  return owner_->ownValues_.back().get();
}

const double* FbxProperty::GetValues() const {
  static const double kNone[4] = {};
  if (!info_) return kNone;
  const FbxPropertyValue* own = OwnValue();
  return own ? own->numbers : info_->numbers;
}

const char* FbxProperty::GetText() const {
  if (!info_) return "";
  const FbxPropertyValue* own = OwnValue();
  return own ? own->text.Buffer() : info_->text;
}

const FbxPropertyInfo& FbxProperty::GetClassInfo() const {
  static const FbxPropertyInfo kNone;
  return info_ ? *info_ : kNone;
}

bool FbxProperty::HoldsClassValue() const {
  const FbxPropertyValue* own = info_ ? OwnValue() : nullptr;
  if (!own) return true;
  return std::memcmp(own->numbers, info_->numbers, sizeof own->numbers) == 0 &&
         std::strcmp(own->text.Buffer(), info_->text) == 0;
}

// Compared bit for bit: -0.0 is not the class's 0.0, and a NaN is kept as it came.
bool FbxProperty::StoreNumbers(const double (&numbers)[4]) {
  if (!info_ || !owner_) return false;
  const FbxPropertyValue* own = OwnValue();
  if (!own && std::memcmp(numbers, info_->numbers, sizeof numbers) == 0) return true;
  std::copy(std::begin(numbers), std::end(numbers), MakeOwnValue()->numbers);
  return true;
}

void FbxProperty::SetValues(const double* values, int count) {
  if (!info_ || !values) return;
  double numbers[4];
  std::copy(GetValues(), GetValues() + 4, numbers);
  int n = std::min(count, GetValueCount());
  for (int i = 0; i < n; ++i) numbers[i] = values[i];
  StoreNumbers(numbers);
}

void FbxProperty::SetText(const char* text) {
  if (!info_ || !owner_) return;
  if (!OwnValue() && std::strcmp(text ? text : "", info_->text) == 0) return;
  MakeOwnValue()->text = text;
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
  return GetValues()[0];
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
// A property's four numbers when it is set to count values: the rest are zero.
template <int kCount>
void Spread(const double* values, double (&numbers)[4]) {
  for (int i = 0; i < 4; ++i) numbers[i] = i < kCount ? values[i] : 0.0;
}
}  // namespace

template <>
bool FbxProperty::Set<double>(const double& v) {
  double numbers[4];
  Spread<1>(&v, numbers);
  return StoreNumbers(numbers);
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
  double numbers[4];
  Spread<2>(v.mData, numbers);
  return StoreNumbers(numbers);
}
template <>
bool FbxProperty::Set<FbxDouble3>(const FbxDouble3& v) {
  double numbers[4];
  Spread<3>(v.mData, numbers);
  return StoreNumbers(numbers);
}
template <>
bool FbxProperty::Set<FbxDouble4>(const FbxDouble4& v) {
  double numbers[4];
  Spread<4>(v.mData, numbers);
  return StoreNumbers(numbers);
}
template <>
bool FbxProperty::Set<FbxString>(const FbxString& v) {
  if (!info_ || !owner_) return false;
  if (OwnValue() || v != info_->text) MakeOwnValue()->text = v;
  return true;
}

// ---- FbxObject ----

FbxObject::FbxObject(FbxManager& manager, const char* name) : manager_(&manager), name_(name ? name : "") {}

FbxObject::~FbxObject() { DisconnectAll(); }

namespace {
std::atomic<unsigned long long> renameCount{0};
}  // namespace

void FbxObject::SetName(const char* name) {
  name_ = name ? name : "";
  ++renameCount;
}

unsigned long long FbxObject::GetRenameCount() { return renameCount.load(); }

const std::vector<FbxObject*>& FbxObject::SourcesOfType(const std::type_info& type,
                                                        bool (*isOfType)(FbxObject*)) const {
  // Most objects have no sources: nothing to build or keep for them.
  static const std::vector<FbxObject*> kNone;
  if (sources_.empty()) return kNone;
  for (const TypedSources& cached : typedSources_)
    if (*cached.type == type) return cached.objects;
  TypedSources built{&type, isOfType, {}};
  for (const Link& link : sources_)
    if (isOfType(link.object)) built.objects.push_back(link.object);
  typedSources_.push_back(std::move(built));
  return typedSources_.back().objects;
}

// A new source only ever lands at the end, so the lists already built stay in order.
void FbxObject::SourceAdded(FbxObject* object) {
  for (TypedSources& cached : typedSources_)
    if (cached.isOfType(object)) cached.objects.push_back(object);
  ++sourcesVersion_;
}

void FbxObject::SourcesRemoved() {
  typedSources_.clear();
  ++sourcesVersion_;
}

namespace {
// Removes one occurrence, searching from the back where the newest connections are.
void EraseOne(std::vector<FbxObject*>& list, FbxObject* object) {
  auto found = std::find(list.rbegin(), list.rend(), object);
  if (found != list.rend()) list.erase(std::next(found).base());
}
}  // namespace

void FbxObject::DisconnectAll() {
  for (Link& link : sources_) EraseOne(link.object->destinations_, this);
  sources_.clear();
  SourcesRemoved();
  while (!destinations_.empty()) destinations_.back()->DisconnectSrcObject(this);
}

void FbxObject::Destroy(bool recursive) {
  if (recursive) {
    std::vector<FbxObject*> sources;
    for (Link& link : sources_) sources.push_back(link.object);
    DisconnectAll();
    for (FbxObject* source : sources) source->Destroy(true);
  }
  manager_->ReleaseObject(this);
}

bool FbxObject::ConnectSrcObject(FbxObject* object, FbxConnection::EType) {
  return ConnectSrcObjectToProperty(object, "");
}

bool FbxObject::ConnectSrcObjectToProperty(FbxObject* object, const char* property) {
  if (!object || object == this) return false;
  FbxString name(property);
  // The object's own destinations are few where a node's sources are many:
  // only when it is connected here already are the sources searched.
  if (std::find(object->destinations_.begin(), object->destinations_.end(), this) != object->destinations_.end()) {
    for (const Link& link : sources_)
      if (link.object == object && link.property == name) return true;  // already connected
  }
  sources_.push_back({object, name});
  object->destinations_.push_back(this);
  SourceAdded(object);
  return true;
}

void FbxObject::ForgetConnections() {
  sources_.clear();
  destinations_.clear();
  SourcesRemoved();
}

bool FbxObject::DisconnectSrcObject(FbxObject* object) {
  if (!object) return false;
  // The object's few destinations say how many links to look for, so the
  // search of this object's many sources ends at the last one; the newest
  // connections, at the back, are found first.
  std::ptrdiff_t links = std::count(object->destinations_.begin(), object->destinations_.end(), this);
  const bool found = links > 0;
  for (size_t i = sources_.size(); links > 0 && i-- > 0;) {
    if (sources_[i].object != object) continue;
    sources_.erase(sources_.begin() + static_cast<std::ptrdiff_t>(i));
    EraseOne(object->destinations_, this);
    --links;
  }
  if (found) SourcesRemoved();
  return found;
}

FbxObject* FbxObject::GetSrcObject(int index) const {
  return index >= 0 && index < GetSrcObjectCount() ? sources_[static_cast<size_t>(index)].object : nullptr;
}

const char* FbxObject::GetSrcPropertyName(int index) const {
  return index >= 0 && index < GetSrcObjectCount() ? sources_[static_cast<size_t>(index)].property.Buffer() : "";
}

FbxObject* FbxObject::GetDstObject(int index) const {
  return index >= 0 && index < GetDstObjectCount() ? destinations_[static_cast<size_t>(index)] : nullptr;
}

struct FbxObject::PropertyLayout {
  std::vector<std::ptrdiff_t> offsets;
  // The layouts with one property more, which this one owns. The first is found without a lock:
  // the objects of a class take the same steps, one property member at a time.
  mutable std::atomic<const PropertyLayout*> first{nullptr};
  mutable std::vector<std::unique_ptr<PropertyLayout>> extended;  // under the lock
};

const FbxObject::PropertyLayout* FbxObject::Extended(const PropertyLayout* layout, std::ptrdiff_t offset) {
  // The layouts live as long as the library: a program that unloads it gets their memory back.
  static const PropertyLayout kNone;
  if (!layout) layout = &kNone;
  const PropertyLayout* next = layout->first.load(std::memory_order_acquire);
  if (next && next->offsets.back() == offset) return next;
  static std::mutex lock;
  std::lock_guard<std::mutex> locked(lock);
  for (const auto& other : layout->extended)
    if (other->offsets.back() == offset) return other.get();
  auto made = std::make_unique<PropertyLayout>();
  made->offsets = layout->offsets;
  made->offsets.push_back(offset);
  next = made.get();
  layout->extended.push_back(std::move(made));
  if (!layout->first.load(std::memory_order_relaxed)) layout->first.store(next, std::memory_order_release);
  return next;
}

void FbxObject::RegisterProperty(FbxProperty* property) {
  properties_ = Extended(properties_, reinterpret_cast<const char*>(property) - reinterpret_cast<const char*>(this));
}

int FbxObject::GetPropertyCount() const { return properties_ ? static_cast<int>(properties_->offsets.size()) : 0; }

FbxProperty FbxObject::FindProperty(const char* name) const {
  for (int i = 0; i < GetPropertyCount(); ++i)
    if (std::strcmp(GetPropertyAt(i)->GetName(), name ? name : "") == 0) return *GetPropertyAt(i);
  return FbxProperty();
}

FbxProperty* FbxObject::GetPropertyAt(int index) const {
  if (index < 0 || index >= GetPropertyCount()) return nullptr;
  auto* object = reinterpret_cast<char*>(const_cast<FbxObject*>(this));
  return reinterpret_cast<FbxProperty*>(object + properties_->offsets[static_cast<size_t>(index)]);
}

}  // namespace fbxsdk
