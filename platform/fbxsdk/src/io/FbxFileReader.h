// Reads a whole FBX file, either encoding, into a scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ReadOptions.h"

namespace fbxsdk {
class FbxScene;
}

namespace fbxsdk::io {

struct FileHeader {
  bool fbx = false;
  bool binary = false;
  int version = 0;
};

FileHeader SniffHeader(const uint8_t* data, size_t size);

// Checks the version, parses and builds the scene. The error says what went wrong and where.
bool ReadFbxMemory(const uint8_t* data, size_t size, FbxScene& scene, std::string& error,
                   const ReadOptions& options = {});

// An error text for a version outside what the library reads, or "" when it is readable.
std::string VersionProblem(int version);

}  // namespace fbxsdk::io
