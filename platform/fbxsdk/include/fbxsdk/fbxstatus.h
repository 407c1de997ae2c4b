// FbxStatus: result code and error text of an importer or exporter.
#pragma once

#include "fbxstring.h"

namespace fbxsdk {

class FBXSDK_DLL FbxStatus {
public:
  // The numbers are part of the interface: callers test for 5 and 6.
  enum EStatusCode {
    eSuccess = 0,
    eFailure = 1,
    eInsufficientMemory = 2,
    eInvalidParameter = 3,
    eIndexOutOfRange = 4,
    ePasswordError = 5,
    eInvalidFileVersion = 6,
    eInvalidFile = 7,
    eSceneCheckFail = 8
  };

  FbxStatus() = default;
  explicit FbxStatus(EStatusCode code) : code_(code) {}

  EStatusCode GetCode() const { return code_; }
  bool Error() const { return code_ != eSuccess; }
  // The error text, or a generic description of the code when none was set.
  const char* GetErrorString() const;
  void SetCode(EStatusCode code, const char* format = nullptr, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void Clear();

  bool operator==(EStatusCode code) const { return code_ == code; }
  bool operator!=(EStatusCode code) const { return code_ != code; }

private:
  EStatusCode code_ = eSuccess;
  FbxString text_;
};

}  // namespace fbxsdk
