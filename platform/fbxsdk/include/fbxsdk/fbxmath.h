// Small fixed-size vectors used for control points, UVs and property values.
#pragma once

#include "fbxdefs.h"

namespace fbxsdk {

template <int N>
struct FbxDoubleN {
  double mData[N] = {};
  double& operator[](int i) { return mData[i]; }
  const double& operator[](int i) const { return mData[i]; }
  double* Buffer() { return mData; }
  const double* Buffer() const { return mData; }
  bool operator==(const FbxDoubleN& o) const {
    for (int i = 0; i < N; ++i)
      if (mData[i] != o.mData[i]) return false;
    return true;
  }
  bool operator!=(const FbxDoubleN& o) const { return !(*this == o); }
};

struct FbxDouble2 : FbxDoubleN<2> {
  FbxDouble2() = default;
  FbxDouble2(double x, double y) {
    mData[0] = x;
    mData[1] = y;
  }
};

struct FbxDouble3 : FbxDoubleN<3> {
  FbxDouble3() = default;
  FbxDouble3(double x, double y, double z) {
    mData[0] = x;
    mData[1] = y;
    mData[2] = z;
  }
};

struct FbxDouble4 : FbxDoubleN<4> {
  FbxDouble4() = default;
  FbxDouble4(double x, double y, double z, double w) {
    mData[0] = x;
    mData[1] = y;
    mData[2] = z;
    mData[3] = w;
  }
};

class FbxVector2 : public FbxDouble2 {
public:
  FbxVector2() = default;
  FbxVector2(double x, double y) : FbxDouble2(x, y) {}
  void Set(double x, double y) {
    mData[0] = x;
    mData[1] = y;
  }
};

class FbxVector4 : public FbxDouble4 {
public:
  FbxVector4() = default;
  FbxVector4(double x, double y, double z, double w = 1.0) : FbxDouble4(x, y, z, w) {}
  void Set(double x, double y, double z, double w = 1.0) {
    mData[0] = x;
    mData[1] = y;
    mData[2] = z;
    mData[3] = w;
  }
};

}  // namespace fbxsdk
