#include "RecordSink.h"

namespace fbxsdk::io {

void EmitRecord(const FbxRecord& record, RecordSink& sink) {
  sink.Begin(record.name);
  for (const FbxValue& value : record.values) sink.Add(value);
  for (const FbxRecord& child : record.children) EmitRecord(child, sink);
  sink.End();
}

RecordSource RecordsOf(const FbxRecord& file) {
  return [&file](RecordSink& sink) {
    for (const FbxRecord& record : file.children) EmitRecord(record, sink);
  };
}

}  // namespace fbxsdk::io
