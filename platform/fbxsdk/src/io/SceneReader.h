// Turns the node records of a file into scene objects under a scene's root.
#pragma once

#include <functional>
#include <string>

#include "FbxRecord.h"
#include "ReadOptions.h"

namespace fbxsdk {
class FbxScene;
}

namespace fbxsdk::io {

// Parses a file's records into file, with the options given; false with the error set.
using RecordParser = std::function<bool(FbxRecord& file, const ReadOptions& options)>;

// Builds the scene while parse reads: each object is made as soon as its record is read, and the
// record, its arrays consumed, dropped. On failure, error says what is wrong and the objects
// created so far are destroyed.
bool ReadScene(const RecordParser& parse, FbxScene& scene, std::string& error, const ReadOptions& options = {});

}  // namespace fbxsdk::io
