#include "FbxFileReader.h"

#include "AsciiReader.h"
#include "BinaryFormat.h"
#include "BinaryReader.h"
#include "SceneReader.h"
#include "fbxsdk/fbxio.h"

namespace fbxsdk::io {

FileHeader SniffHeader(const uint8_t* data, size_t size) {
  FileHeader header;
  if (IsBinaryFbx(data, size)) {
    header.fbx = true;
    header.binary = true;
    header.version = BinaryVersion(data, size);
    return header;
  }
  header.version = AsciiVersion(reinterpret_cast<const char*>(data), size);
  header.fbx = header.version > 0;
  return header;
}

std::string VersionProblem(int version) {
  if (version > FbxImporter::kNewestVersion)
    return "file version " + std::to_string(version) + " is newer than " + std::to_string(FbxImporter::kNewestVersion) +
           ", the newest this library reads";
  if (version < FbxImporter::kOldestVersion)
    return "file version " + std::to_string(version) + " is older than " + std::to_string(FbxImporter::kOldestVersion) +
           ", the oldest this library reads";
  return {};
}

bool ReadFbxMemory(const uint8_t* data, size_t size, FbxScene& scene, std::string& error, const ReadOptions& options) {
  FileHeader header = SniffHeader(data, size);
  if (!header.fbx) {
    error = "not an FBX file: neither a binary header nor an FBXVersion record";
    return false;
  }
  error = VersionProblem(header.version);
  if (!error.empty()) return false;
  auto parse = [&](FbxRecord& file, const ReadOptions& streaming) {
    bool parsed = header.binary ? ParseBinaryRecords(data, size, file, error, streaming)
                                : ParseAsciiRecords(reinterpret_cast<const char*>(data), size, file, error, streaming);
    // The records hold copies of everything; the file's bytes are not needed for the rest.
    if (parsed && options.release) options.release(size);
    return parsed;
  };
  return ReadScene(parse, scene, error, options);
}

}  // namespace fbxsdk::io
