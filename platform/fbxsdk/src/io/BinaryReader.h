// Parses the binary encoding into node records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "FbxRecord.h"
#include "ReadOptions.h"

namespace fbxsdk::io {

// The version from a binary header, handling big-endian files; 0 when not binary FBX.
int BinaryVersion(const uint8_t* data, size_t size);

// Adds the file's top-level records to root. On failure, error says what and at which byte offset.
bool ParseBinaryRecords(const uint8_t* data, size_t size, FbxRecord& root, std::string& error,
                        const ReadOptions& options = {});

}  // namespace fbxsdk::io
