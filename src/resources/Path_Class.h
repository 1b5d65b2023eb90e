// CPath: a path resource, its points and its derived geometry: the polyline
// actually followed (straight or smoothed, open or closed) with the distance
// of each of its points from the start.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

struct RPathPoint {
  double x = 0;
  double y = 0;
  double speed = 100;
  bool operator==(const RPathPoint&) const = default;
};

struct RComputedPoint {
  double x = 0;
  double y = 0;
  double speed = 0;
  double distance = 0;  // along the polyline from its first point
  bool operator==(const RComputedPoint&) const = default;
};

class CPath {
 public:
  static constexpr int kMaxPrecision = 8;

  int kind = 0;  // 1 smooth curve, 0 straight lines
  bool closed = true;
  int precision = 4;  // 0..8
  std::vector<RPathPoint> points;
  // Derived by ComputeGeometry.
  std::vector<RComputedPoint> computed;
  double length = 0;

  // Resets to the defaults, reads the record and computes the geometry; a
  // wrong version gives false. A kind other than 1 is straight (0), and the
  // precision is clamped to 0..8.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // Rebuilds `computed` and `length` from the points, kind, closed and precision.
  void ComputeGeometry();
  // The interpolated position at pos (0 the start, 1 the end).
  RPathPoint PointAt(double pos) const;

  // Transformations of the points; all but Shift and Reverse work around
  // the centre of the points' bounding box. Each recomputes the geometry.
  void Reverse();
  void Mirror();
  void Flip();
  void Rotate(double degrees);
  void Scale(double xscale, double yscale);
  void Shift(double dx, double dy);
  bool operator==(const CPath&) const = default;
};

}  // namespace px
