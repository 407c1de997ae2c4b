// Basic types and the export macro of the FBX library.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && defined(FBXSDK_BUILDING)
#define FBXSDK_DLL __declspec(dllexport)
#elif defined(_WIN32)
// Users of the DLL reach its classes through the linker's automatic imports.
#define FBXSDK_DLL
#else
#define FBXSDK_DLL __attribute__((visibility("default")))
#endif

#define IOSROOT "IOSRoot"

namespace fbxsdk {

using FbxChar = char;
using FbxBool = bool;
using FbxInt = int;
using FbxUInt = unsigned int;
using FbxLongLong = long long;
using FbxFloat = float;
using FbxDouble = double;

// Data types of property values and layer element arrays.
enum EFbxType {
  eFbxUndefined,
  eFbxChar,
  eFbxUChar,
  eFbxShort,
  eFbxUShort,
  eFbxUInt,
  eFbxLongLong,
  eFbxULongLong,
  eFbxHalfFloat,
  eFbxBool,
  eFbxInt,
  eFbxFloat,
  eFbxDouble,
  eFbxDouble2,
  eFbxDouble3,
  eFbxDouble4,
  eFbxDouble4x4,
  eFbxEnum,
  eFbxString,
  eFbxTime,
  eFbxReference,
  eFbxBlob,
  eFbxDistance,
  eFbxDateTime,
  eFbxTypeCount
};

// Memory that callers hand back and forth with the library.
FBXSDK_DLL void* FbxMalloc(size_t size);
FBXSDK_DLL void* FbxRealloc(void* memory, size_t size);
FBXSDK_DLL void FbxFree(void* memory);

}  // namespace fbxsdk
