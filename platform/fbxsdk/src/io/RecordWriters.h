// Serialise node records in either encoding.
#pragma once

#include <string>

#include "FbxRecord.h"
#include "OutputFile.h"

namespace fbxsdk::io {

bool WriteAsciiRecords(const FbxRecord& file, int version, OutputFile& out);
bool WriteBinaryRecords(const FbxRecord& file, int version, OutputFile& out);

}  // namespace fbxsdk::io
