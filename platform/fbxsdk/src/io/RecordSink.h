// Node records handed to a writer one piece at a time, in file order: Begin a record, add its
// values, then its nested records, then End it. Writers stream them to the file as they come,
// so a scene of many objects is never held as a tree of records.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "FbxRecord.h"

namespace fbxsdk::io {

class RecordSink {
public:
  virtual ~RecordSink() = default;
  virtual void Begin(std::string_view name) = 0;
  virtual void End() = 0;
  virtual void Add(const FbxValue& value) = 0;
  // The values scene writers give most, without building an FbxValue for each.
  virtual void AddInt(int64_t value, FbxValue::Type type) = 0;  // Int32 or Int64
  virtual void AddReal(double value) = 0;
  virtual void AddText(std::string_view text) = 0;
};

// Emits a file's top-level records, in order, to the sink given.
using RecordSource = std::function<void(RecordSink&)>;

// Emits record with its values and nested records.
void EmitRecord(const FbxRecord& record, RecordSink& sink);

// The top-level records of file, as a source.
RecordSource RecordsOf(const FbxRecord& file);

// Builds the records as a tree, for callers that want the records themselves.
class RecordTreeSink : public RecordSink {
public:
  RecordTreeSink() : open_{&root_} {}
  void Begin(std::string_view name) override { open_.push_back(&open_.back()->Add(name)); }
  void End() override { open_.pop_back(); }
  void Add(const FbxValue& value) override { open_.back()->values.push_back(value); }
  void AddInt(int64_t value, FbxValue::Type type) override { Add(FbxValue::MakeInt(value, type)); }
  void AddReal(double value) override { Add(FbxValue::MakeDouble(value)); }
  void AddText(std::string_view text) override { Add(FbxValue::MakeString(text)); }
  // The file: a record without a name holding the top-level records.
  FbxRecord Take() { return std::move(root_); }

private:
  FbxRecord root_;
  std::vector<FbxRecord*> open_;  // ancestors keep their place: only the last one gains records
};

}  // namespace fbxsdk::io
