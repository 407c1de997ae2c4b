// Turns a scene into the node records of an FBX 7.4 file.
#pragma once

#include "FbxRecord.h"

namespace fbxsdk {
class FbxScene;
}

namespace fbxsdk::io {

inline constexpr int kWrittenVersion = 7400;

// binaryNames picks the binary encoding's "Name\0\1Class" over ASCII's "Class::Name".
FbxRecord BuildFileRecords(FbxScene& scene, bool binaryNames);

}  // namespace fbxsdk::io
