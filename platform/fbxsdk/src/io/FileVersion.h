// FBX versions are one number (7400) standing for major.minor.revision (7.4.0).
#pragma once

namespace fbxsdk::io {

struct VersionParts {
  int major, minor, revision;
};

inline VersionParts SplitVersion(int version) { return {version / 1000, version / 100 % 10, version % 100}; }

}  // namespace fbxsdk::io
