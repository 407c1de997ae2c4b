#pragma once

#include "Plugin/Export.h"

class HSpline;

// A control point on a spline. It sits on one of its model's control point
// positions; several splines may pass through one position. On a closed spline
// the last control point has the loop flag and its next is the head again.
class PLUGIN_API HCP {
public:
  HCP* GetNext() const { return next_; }
  bool IsLoop() const { return loop_; }
  int GetPositionIndex() const { return position_; }
  float GetInMagnitude() const { return inMagnitude_; }
  float GetOutMagnitude() const { return outMagnitude_; }
  void SetInMagnitude(float value) { inMagnitude_ = value; }
  void SetOutMagnitude(float value) { outMagnitude_ = value; }

private:
  friend class HModelCache;
  int position_ = -1;
  HCP* next_ = nullptr;
  bool loop_ = false;
  float inMagnitude_ = 1.0f;
  float outMagnitude_ = 1.0f;
};

// A chain of control points.
class PLUGIN_API HSpline {
public:
  HSpline* GetNextSpline() const { return next_; }
  HCP* GetHeadCP() const { return head_; }
  bool IsClosed() const;
  // Control points on the chain, the loop point counted once.
  int CountCPs() const;

private:
  friend class HModelCache;
  HCP* head_ = nullptr;
  HSpline* next_ = nullptr;
};
