// The node records of an FBX file, as both encodings store them: a name, a list
// of typed values and nested records. Readers build them, writers consume them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fbxsdk::io {

// Both readers refuse records nested deeper than this: real files nest a handful of levels.
inline constexpr int kMaxRecordDepth = 64;

// Allocates without zero-filling: the readers overwrite every element at once.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  using value_type = T;
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using DoubleBuffer = std::vector<double, UninitializedAllocator<double>>;

// Frees a vector's memory; "v = {}" would keep its capacity.
template <class Vector>
void FreeVector(Vector& v) {
  Vector().swap(v);
}

struct FbxValue {
  // The binary encoding's type codes; Symbol is an unquoted ASCII word (T, Y, ...).
  enum Type : char {
    Bool = 'C',
    Int16 = 'Y',
    Int32 = 'I',
    Int64 = 'L',
    Float = 'F',
    Double = 'D',
    String = 'S',
    Raw = 'R',
    Symbol = 'W',
    BoolArray = 'b',
    Int32Array = 'i',
    Int64Array = 'l',
    FloatArray = 'f',
    DoubleArray = 'd'
  };

  Type type = Int32;
  // An array the ASCII reader gathered from a plain value list; more numbers may join it.
  bool openList = false;
  int64_t integer = 0;
  double real = 0.0;
  std::string text;

  FbxValue() = default;
  FbxValue(const FbxValue& other);
  FbxValue& operator=(const FbxValue& other);
  FbxValue(FbxValue&&) noexcept = default;
  FbxValue& operator=(FbxValue&&) noexcept = default;

  // Array contents, held apart (created on first use): most values are one number or name, and a
  // file of many objects holds millions of them.
  std::vector<int32_t>& Ints() { return Arrays().ints; }  // Int32Array, BoolArray
  std::vector<int64_t>& Longs() { return Arrays().longs; }
  std::vector<float>& Floats() { return Arrays().floats; }
  DoubleBuffer& Doubles() { return Arrays().doubles; }
  const std::vector<int32_t>& Ints() const { return ConstArrays().ints; }
  const std::vector<int64_t>& Longs() const { return ConstArrays().longs; }
  const std::vector<float>& Floats() const { return ConstArrays().floats; }
  const DoubleBuffer& Doubles() const { return ConstArrays().doubles; }

  static FbxValue MakeInt(int64_t v, Type t = Int32);
  static FbxValue MakeDouble(double v);
  static FbxValue MakeString(std::string_view s);
  static FbxValue MakeDoubles(DoubleBuffer v);
  static FbxValue MakeInts(std::vector<int32_t> v);
  static FbxValue BorrowDoubles(const double* data, size_t count);
  static FbxValue BorrowInts(const int32_t* data, size_t count);
  // The values of a DoubleArray or of an Int32Array/BoolArray, owned or borrowed.
  std::span<const double> DoubleData() const;
  std::span<const int32_t> IntData() const;

  bool IsArray() const;
  bool IsNumber() const;
  bool IsText() const { return type == String || type == Raw || type == Symbol; }
  int64_t AsInt() const;
  double AsDouble() const;
  size_t ArraySize() const;
  // Array contents converted; the moving forms leave this value empty.
  DoubleBuffer TakeDoubles();
  std::vector<int32_t> TakeInts();

private:
  struct ArrayData {
    std::vector<int32_t> ints;
    std::vector<int64_t> longs;
    std::vector<float> floats;
    DoubleBuffer doubles;
    // Writers borrow large arrays from the scene instead of copying them; the scene outlives the records.
    const double* borrowedDoubles = nullptr;
    const int32_t* borrowedInts = nullptr;
    size_t borrowedCount = 0;
  };
  ArrayData& Arrays();
  const ArrayData& ConstArrays() const;

  std::unique_ptr<ArrayData> arrays_;
};

struct FbxRecord {
  std::string name;
  std::vector<FbxValue> values;
  std::vector<FbxRecord> children;

  const FbxRecord* Find(std::string_view child) const;
  FbxRecord* Find(std::string_view child);
  FbxRecord& Add(std::string_view child);
  // Convenience for readers: first value as text / number, with a fallback.
  std::string_view Text(size_t index = 0) const;
  int64_t Int(size_t index = 0, int64_t fallback = 0) const;
  double Double(size_t index = 0, double fallback = 0.0) const;
  // Text of a child's first value, or "" when the child is absent.
  std::string_view ChildText(std::string_view child) const;
  // Moves a child's numbers out as one array: its array value, or its scalar values. The child
  // is left without them.
  bool TakeChildNumbers(std::string_view child, DoubleBuffer& out);
  bool TakeChildInts(std::string_view child, std::vector<int32_t>& out);
};

// Records the scene has taken, kept with their lists' memory for the records read next: a file of
// many objects would otherwise allocate and free every record, value list and child list of each.
// It holds no more than the largest object read so far.
class RecordPool {
public:
  // A new last child of parent, named name and empty.
  FbxRecord& Add(FbxRecord& parent, std::string_view name);
  // Takes back the last child of parent and everything below it.
  void RecycleLast(FbxRecord& parent);

private:
  void Recycle(FbxRecord& record);

  std::vector<FbxRecord> spare_;
};

}  // namespace fbxsdk::io
