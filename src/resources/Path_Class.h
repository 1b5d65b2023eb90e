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

  // The polyline followed and its length, rebuilt from the points, kind,
  // closed and precision when read after a change.
  const std::vector<RComputedPoint>& computed() const {
    Refresh();
    return computed_;
  }
  double length() const {
    Refresh();
    return length_;
  }

  // Resets to the defaults and reads the record. A wrong version gives
  // false. A kind other than 1 is straight (0), and the precision is
  // clamped to 0..8.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // To be called after the points or settings changed: the geometry is
  // rebuilt when next read, so a path built point by point costs linear
  // time, not quadratic.
  void GeometryChanged() { stale_ = true; }
  // The interpolated position at pos (0 the start, 1 the end).
  RPathPoint PointAt(double pos) const;

  // Transformations of the points; all but Shift and Reverse work around
  // the centre of the points' bounding box.
  void Reverse();
  void Mirror();
  void Flip();
  void Rotate(double degrees);
  void Scale(double xscale, double yscale);
  void Shift(double dx, double dy);
  // Paths are equal when what defines them is; the geometry follows.
  bool operator==(const CPath& o) const {
    return kind == o.kind && closed == o.closed && precision == o.precision && points == o.points;
  }

 private:
  void Refresh() const {
    if (stale_) ComputeGeometry();
  }
  void ComputeGeometry() const;

  mutable std::vector<RComputedPoint> computed_;
  mutable double length_ = 0;
  mutable bool stale_ = true;
};

}  // namespace px
