// Object names as files store them: binary files write "Name\0\1Class", ASCII files "Class::Name".
#pragma once

#include <string>
#include <string_view>

namespace fbxsdk::io {

std::string EncodeObjectName(std::string_view name, std::string_view cls, bool binary);

struct ObjectName {
  std::string_view cls;  // empty when the stored name carries none
  std::string_view name;
};

// Splits a stored name of either encoding; a name without a class comes back whole.
ObjectName DecodeObjectName(std::string_view stored);

// One spelling for both encodings ("Class::Name"), so that 6100 files, which connect objects
// by name, find them whichever encoding wrote the name.
std::string CanonicalObjectName(std::string_view stored);

}  // namespace fbxsdk::io
