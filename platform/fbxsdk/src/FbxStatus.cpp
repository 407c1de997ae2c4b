#include "fbxsdk/fbxstatus.h"

#include <cstdarg>
#include <cstdio>

namespace fbxsdk {

const char* FbxStatus::GetErrorString() const {
  if (!text_.IsEmpty()) return text_;
  switch (code_) {
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
  code_ = code;
  text_.Clear();
  if (!format) return;
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);  // longer texts are cut, never overflow
  va_end(args);
  text_ = buffer;
}

void FbxStatus::Clear() {
  code_ = eSuccess;
  text_.Clear();
}

}  // namespace fbxsdk
