// Serialise node records in either encoding.
#pragma once

#include <cstddef>
#include <string>

#include "FbxRecord.h"
#include "OutputFile.h"
#include "RecordSink.h"

namespace fbxsdk::io {

struct AsciiWriteOptions {
  // Arrays longer than a block are formatted a block per thread; the text does not depend on either.
  size_t blockValues = size_t(1) << 17;
  unsigned threads = 0;  // 0: one per core
};
bool WriteAsciiRecords(const RecordSource& records, int version, OutputFile& out,
                       const AsciiWriteOptions& options = {});
// compressArrays stores arrays zlib-compressed, as other exporters do.
bool WriteBinaryRecords(const RecordSource& records, int version, OutputFile& out, bool compressArrays = true);

inline bool WriteAsciiRecords(const FbxRecord& file, int version, OutputFile& out,
                              const AsciiWriteOptions& options = {}) {
  return WriteAsciiRecords(RecordsOf(file), version, out, options);
}
inline bool WriteBinaryRecords(const FbxRecord& file, int version, OutputFile& out, bool compressArrays = true) {
  return WriteBinaryRecords(RecordsOf(file), version, out, compressArrays);
}

}  // namespace fbxsdk::io
