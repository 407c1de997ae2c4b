#include "FbxRecord.h"

#include <cmath>
#include <limits>

namespace fbxsdk::io {

FbxValue::FbxValue(const FbxValue& other)
    : type(other.type),
      openList(other.openList),
      integer(other.integer),
      real(other.real),
      text(other.text),
      arrays_(other.arrays_ ? std::make_unique<ArrayData>(*other.arrays_) : nullptr) {}

FbxValue& FbxValue::operator=(const FbxValue& other) {
  if (this != &other) *this = FbxValue(other);
  return *this;
}

FbxValue::ArrayData& FbxValue::Arrays() {
  if (!arrays_) arrays_ = std::make_unique<ArrayData>();
  return *arrays_;
}

const FbxValue::ArrayData& FbxValue::ConstArrays() const {
  static const ArrayData kNone;
  return arrays_ ? *arrays_ : kNone;
}

FbxValue FbxValue::MakeInt(int64_t v, Type t) {
  FbxValue value;
  value.type = t;
  value.integer = v;
  return value;
}

FbxValue FbxValue::MakeDouble(double v) {
  FbxValue value;
  value.type = Double;
  value.real = v;
  return value;
}

FbxValue FbxValue::MakeString(std::string_view s) {
  FbxValue value;
  value.type = String;
  value.text.assign(s);
  return value;
}

FbxValue FbxValue::MakeDoubles(DoubleBuffer v) {
  FbxValue value;
  value.type = DoubleArray;
  value.Doubles() = std::move(v);
  return value;
}

FbxValue FbxValue::MakeInts(std::vector<int32_t> v) {
  FbxValue value;
  value.type = Int32Array;
  value.Ints() = std::move(v);
  return value;
}

FbxValue FbxValue::BorrowDoubles(const double* data, size_t count) {
  FbxValue value;
  value.type = DoubleArray;
  value.Arrays().borrowedDoubles = data;
  value.Arrays().borrowedCount = count;
  return value;
}

FbxValue FbxValue::BorrowInts(const int32_t* data, size_t count) {
  FbxValue value;
  value.type = Int32Array;
  value.Arrays().borrowedInts = data;
  value.Arrays().borrowedCount = count;
  return value;
}

std::span<const double> FbxValue::DoubleData() const {
  const ArrayData& arrays = ConstArrays();
  return arrays.borrowedDoubles ? std::span<const double>(arrays.borrowedDoubles, arrays.borrowedCount)
                                : std::span<const double>(arrays.doubles);
}

std::span<const int32_t> FbxValue::IntData() const {
  const ArrayData& arrays = ConstArrays();
  return arrays.borrowedInts ? std::span<const int32_t>(arrays.borrowedInts, arrays.borrowedCount)
                             : std::span<const int32_t>(arrays.ints);
}

bool FbxValue::IsArray() const {
  return type == BoolArray || type == Int32Array || type == Int64Array || type == FloatArray || type == DoubleArray;
}

bool FbxValue::IsNumber() const {
  return type == Bool || type == Int16 || type == Int32 || type == Int64 || type == Float || type == Double;
}

int64_t FbxValue::AsInt() const {
  if (type == Float || type == Double) {
    if (!(real >= -9.2e18 && real <= 9.2e18)) return 0;
    return static_cast<int64_t>(real);
  }
  return IsNumber() ? integer : 0;
}

double FbxValue::AsDouble() const {
  if (type == Float || type == Double) return real;
  return IsNumber() ? static_cast<double>(integer) : 0.0;
}

size_t FbxValue::ArraySize() const {
  switch (type) {
    case BoolArray:
    case Int32Array: return IntData().size();
    case Int64Array: return Longs().size();
    case FloatArray: return Floats().size();
    case DoubleArray: return DoubleData().size();
    default: return 0;
  }
}

namespace {
int32_t ClampToInt(double v) {
  if (!(v >= -2147483648.0 && v <= 2147483647.0)) return 0;
  return static_cast<int32_t>(v);
}
int32_t ClampToInt(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(v)
                                                                                              : 0;
}
}  // namespace

DoubleBuffer FbxValue::TakeDoubles() {
  DoubleBuffer out;
  switch (type) {
    case DoubleArray:
      out = std::move(Doubles());
      FreeVector(Doubles());
      return out;
    case BoolArray:
    case Int32Array:
      out.assign(Ints().begin(), Ints().end());
      FreeVector(Ints());
      return out;
    case Int64Array:
      out.reserve(Longs().size());
      for (int64_t v : Longs()) out.push_back(static_cast<double>(v));
      FreeVector(Longs());
      return out;
    case FloatArray:
      out.assign(Floats().begin(), Floats().end());
      FreeVector(Floats());
      return out;
    default: return out;
  }
}

std::vector<int32_t> FbxValue::TakeInts() {
  std::vector<int32_t> out;
  switch (type) {
    case BoolArray:
    case Int32Array:
      out = std::move(Ints());
      FreeVector(Ints());
      return out;
    case Int64Array:
      out.reserve(Longs().size());
      for (int64_t v : Longs()) out.push_back(ClampToInt(v));
      FreeVector(Longs());
      return out;
    case FloatArray:
      out.reserve(Floats().size());
      for (float v : Floats()) out.push_back(ClampToInt(static_cast<double>(v)));
      FreeVector(Floats());
      return out;
    case DoubleArray:
      out.reserve(Doubles().size());
      for (double v : Doubles()) out.push_back(ClampToInt(v));
      FreeVector(Doubles());
      return out;
    default: return out;
  }
}

const FbxRecord* FbxRecord::Find(std::string_view child) const {
  for (const FbxRecord& record : children)
    if (record.name == child) return &record;
  return nullptr;
}

FbxRecord* FbxRecord::Find(std::string_view child) {
  for (FbxRecord& record : children)
    if (record.name == child) return &record;
  return nullptr;
}

FbxRecord& FbxRecord::Add(std::string_view child) {
  children.emplace_back();
  children.back().name.assign(child);
  return children.back();
}

FbxRecord& RecordPool::Add(FbxRecord& parent, std::string_view name) {
  if (spare_.empty()) return parent.Add(name);
  parent.children.push_back(std::move(spare_.back()));
  spare_.pop_back();
  FbxRecord& record = parent.children.back();
  record.name.assign(name);
  return record;
}

void RecordPool::RecycleLast(FbxRecord& parent) {
  Recycle(parent.children.back());
  parent.children.pop_back();
}

// Values go (a long text or an array is no use to the next record); the lists keep their capacity.
void RecordPool::Recycle(FbxRecord& record) {
  for (FbxRecord& child : record.children) Recycle(child);
  record.children.clear();
  record.values.clear();
  spare_.push_back(std::move(record));
}

std::string_view FbxRecord::Text(size_t index) const {
  return index < values.size() && values[index].IsText() ? std::string_view(values[index].text) : std::string_view();
}

int64_t FbxRecord::Int(size_t index, int64_t fallback) const {
  return index < values.size() && values[index].IsNumber() ? values[index].AsInt() : fallback;
}

double FbxRecord::Double(size_t index, double fallback) const {
  return index < values.size() && values[index].IsNumber() ? values[index].AsDouble() : fallback;
}

std::string_view FbxRecord::ChildText(std::string_view child) const {
  const FbxRecord* record = Find(child);
  return record ? record->Text() : std::string_view();
}

namespace {

// A child's values as one list: its array when it holds one, else its plain
// numbers one by one. The child's values are handed over, not copied.
template <typename Vector, typename TakeArray, typename Convert>
bool TakeChildValues(FbxRecord* record, Vector& out, TakeArray takeArray, Convert convert) {
  out.clear();
  if (!record) return false;
  if (record->values.size() == 1 && record->values[0].IsArray()) {
    out = takeArray(record->values[0]);
    return true;
  }
  out.reserve(record->values.size());
  for (const FbxValue& value : record->values) {
    if (!value.IsNumber()) return false;
    out.push_back(convert(value));
  }
  record->values.clear();
  return true;
}

}  // namespace

bool FbxRecord::TakeChildNumbers(std::string_view child, DoubleBuffer& out) {
  return TakeChildValues(
      Find(child), out, [](FbxValue& array) { return array.TakeDoubles(); },
      [](const FbxValue& value) { return value.AsDouble(); });
}

bool FbxRecord::TakeChildInts(std::string_view child, std::vector<int32_t>& out) {
  return TakeChildValues(
      Find(child), out, [](FbxValue& array) { return array.TakeInts(); },
      [](const FbxValue& value) { return ClampToInt(value.AsInt()); });
}

}  // namespace fbxsdk::io
