#include "fbxsdk/fbxtexture.h"

#include "FbxObjectFactory.h"

namespace fbxsdk {

FbxFileTexture::FbxFileTexture(FbxManager& manager, const char* name) : FbxTexture(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxFileTexture)

bool FbxFileTexture::SetFileName(const char* path) {
  fileName_ = path ? path : "";
  return true;
}

bool FbxFileTexture::SetRelativeFileName(const char* path) {
  relativeFileName_ = path ? path : "";
  return true;
}

}  // namespace fbxsdk
