// Serialise node records in either encoding.
#pragma once

#include <string>

#include "FbxRecord.h"
#include "OutputFile.h"

namespace fbxsdk::io {

bool WriteAsciiRecords(const FbxRecord& file, int version, OutputFile& out);
// compressArrays stores arrays zlib-compressed, as other exporters do.
bool WriteBinaryRecords(const FbxRecord& file, int version, OutputFile& out, bool compressArrays = true);

}  // namespace fbxsdk::io
