// Turns the node records of a file into scene objects under a scene's root.
#pragma once

#include <string>

#include "FbxRecord.h"
#include "ReadOptions.h"

namespace fbxsdk {
class FbxScene;
}

namespace fbxsdk::io {

// Consumes the records' arrays. On failure, error says what is wrong and the
// objects created so far are destroyed.
bool BuildScene(FbxRecord& file, FbxScene& scene, std::string& error, const ReadOptions& options = {});

}  // namespace fbxsdk::io
