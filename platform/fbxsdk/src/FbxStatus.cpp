#include "fbxsdk/fbxstatus.h"

#include <cstdarg>
#include <cstdio>

namespace fbxsdk {

const char* FbxStatus::GetErrorString() const {
  if (!mText.IsEmpty()) return mText;
  switch (mCode) {
    case eSuccess: return "Success";
    case eFailure: return "Failure";
    case eInsufficientMemory: return "Out of memory";
    case eInvalidParameter: return "Invalid parameter";
    case eIndexOutOfRange: return "Index out of range";
    case ePasswordError: return "File is protected by a password";
    case eInvalidFileVersion: return "Unsupported file version";
    case eInvalidFile: return "Invalid file";
    case eSceneCheckFail: return "Scene check failed";
  }
  return "Unknown error";
}

void FbxStatus::SetCode(EStatusCode code, const char* format, ...) {
  mCode = code;
  mText.Clear();
  if (!format) return;
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);  // longer texts are cut, never overflow
  va_end(args);
  mText = buffer;
}

void FbxStatus::Clear() {
  mCode = eSuccess;
  mText.Clear();
}

}  // namespace fbxsdk
