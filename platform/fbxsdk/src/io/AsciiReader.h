// Parses the ASCII encoding ("Key: value, value { ... }") into node records.
#pragma once

#include <cstddef>
#include <string>

#include "FbxRecord.h"
#include "ReadOptions.h"

namespace fbxsdk::io {

// The version an ASCII file declares ("FBXVersion: 7400"), or 0 when it declares none.
int AsciiVersion(const char* data, size_t size);

// Adds the file's top-level records to root. On failure, error says what and on which line.
bool ParseAsciiRecords(const char* data, size_t size, FbxRecord& root, std::string& error,
                       const ReadOptions& options = {});

}  // namespace fbxsdk::io
