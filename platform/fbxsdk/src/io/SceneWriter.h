// Turns a scene into the node records of an FBX 7.4 file.
#pragma once

#include "FbxRecord.h"
#include "RecordSink.h"

namespace fbxsdk {
class FbxScene;
}

namespace fbxsdk::io {

inline constexpr int kWrittenVersion = 7400;

// The scene's records, emitted from its objects each time a writer asks. binaryNames picks the
// binary encoding's "Name\0\1Class" over ASCII's "Class::Name". The scene must not change while
// they are written.
RecordSource SceneRecords(FbxScene& scene, bool binaryNames);
// The same records as a tree.
FbxRecord BuildFileRecords(FbxScene& scene, bool binaryNames);

}  // namespace fbxsdk::io
