#include "resources/Path_Class.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "resources/Resource_List.h"

namespace px {

namespace {

constexpr std::int32_t kPathVersion = 530;

RPathPoint Mid(const RPathPoint& a, const RPathPoint& b) {
  return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.speed + b.speed) / 2};
}

double Dist2(const RPathPoint& a, const RPathPoint& b) {
  return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Emits the inner points of the quadratic curve A-B-C, halving it while its
// control legs are longer than 4 pixels, at most `depth` times.
void Subdivide(const RPathPoint& a, const RPathPoint& b, const RPathPoint& c, int depth,
               std::vector<RComputedPoint>& out) {
  if (depth <= 0) return;
  const RPathPoint m{(a.x + 2 * b.x + c.x) / 4, (a.y + 2 * b.y + c.y) / 4,
                     (a.speed + 2 * b.speed + c.speed) / 4};
  if (Dist2(b, a) > 16) Subdivide(a, Mid(a, b), m, depth - 1, out);
  out.push_back({m.x, m.y, m.speed, 0});
  if (Dist2(b, c) > 16) Subdivide(m, Mid(b, c), c, depth - 1, out);
}

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

RComputedPoint Computed(const RPathPoint& p) {
  return {p.x, p.y, p.speed, 0};
}

}  // namespace

bool CPath::LoadFromStream(CStream& s) {
  *this = CPath{};
  if (StreamReadInt(s) != kPathVersion) return false;
  kind = StreamReadInt(s) == 1 ? 1 : 0;
  closed = StreamReadBool(s);
  precision = std::clamp(StreamReadInt(s), 0, kMaxPrecision);
  points.resize(ReadCount(s, 24));
  for (RPathPoint& p : points) {
    p.x = StreamReadReal(s);
    p.y = StreamReadReal(s);
    p.speed = StreamReadReal(s);
  }
  GeometryChanged();
  return true;
}

void CPath::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kPathVersion);
  StreamWriteInt(s, kind);
  StreamWriteBool(s, closed);
  StreamWriteInt(s, precision);
  StreamWriteInt(s, static_cast<std::int32_t>(points.size()));
  for (const RPathPoint& p : points) {
    StreamWriteReal(s, p.x);
    StreamWriteReal(s, p.y);
    StreamWriteReal(s, p.speed);
  }
}

void CPath::ComputeGeometry() const {
  stale_ = false;
  std::vector<RComputedPoint>& computed = computed_;
  computed.clear();
  length_ = 0;
  const std::size_t n = points.size();
  if (n == 0) return;
  if (kind != 1) {
    for (const RPathPoint& p : points) computed.push_back(Computed(p));
  } else {
    if (!closed) computed.push_back(Computed(points.front()));
    const std::size_t corners = closed ? n : (n >= 2 ? n - 2 : 0);
    for (std::size_t c = 0; c < corners; ++c) {
      const RPathPoint& p0 = points[c % n];
      const RPathPoint& p1 = points[(c + 1) % n];
      const RPathPoint& p2 = points[(c + 2) % n];
      Subdivide(Mid(p0, p1), p1, Mid(p1, p2), std::clamp(precision, 0, kMaxPrecision), computed);
    }
    if (!closed) computed.push_back(Computed(points.back()));
  }
  // A closed smooth path of precision 0 has no computed points at all.
  if (computed.empty()) return;
  if (closed) computed.push_back(computed.front());
  for (std::size_t i = 1; i < computed.size(); ++i)
    computed[i].distance = computed[i - 1].distance + std::hypot(computed[i].x - computed[i - 1].x,
                                                                 computed[i].y - computed[i - 1].y);
  length_ = computed.back().distance;
}

RPathPoint CPath::PointAt(double pos) const {
  const std::vector<RComputedPoint>& computed = this->computed();
  const double length = length_;
  if (computed.empty()) return {0, 0, 100};
  auto point = [](const RComputedPoint& c) { return RPathPoint{c.x, c.y, c.speed}; };
  if (computed.size() == 1 || length == 0) return point(computed.front());
  pos = std::clamp(pos, 0.0, 1.0);
  if (pos == 0) return point(computed.front());
  if (pos == 1) return point(computed.back());
  const double at = length * pos;
  // The segment whose end is the first point beyond `at` (the last one at most).
  const auto end =
      std::upper_bound(computed.begin() + 1, computed.end() - 1, at,
                       [](double v, const RComputedPoint& c) { return v < c.distance; });
  const RComputedPoint& b = *end;
  const RComputedPoint& a = *(end - 1);
  if (b.distance == a.distance) return point(a);
  const double t = (at - a.distance) / (b.distance - a.distance);
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.speed + (b.speed - a.speed) * t};
}

namespace {

// Moves every point relative to the centre of the points' bounding box by
// `f(dx, dy)`, then marks the geometry changed.
template <class F>
void AroundCentre(CPath& path, F&& f) {
  if (path.points.empty()) return;
  const auto [minX, maxX] =
      std::minmax_element(path.points.begin(), path.points.end(),
                          [](const RPathPoint& a, const RPathPoint& b) { return a.x < b.x; });
  const auto [minY, maxY] =
      std::minmax_element(path.points.begin(), path.points.end(),
                          [](const RPathPoint& a, const RPathPoint& b) { return a.y < b.y; });
  const double cx = (minX->x + maxX->x) / 2;
  const double cy = (minY->y + maxY->y) / 2;
  for (RPathPoint& p : path.points) {
    const auto [dx, dy] = f(p.x - cx, p.y - cy);
    p.x = cx + dx;
    p.y = cy + dy;
  }
  path.GeometryChanged();
}

}  // namespace

void CPath::Reverse() {
  std::reverse(points.begin(), points.end());
  GeometryChanged();
}

void CPath::Mirror() {
  AroundCentre(*this, [](double x, double y) { return std::pair{-x, y}; });
}

void CPath::Flip() {
  AroundCentre(*this, [](double x, double y) { return std::pair{x, -y}; });
}

void CPath::Rotate(double degrees) {
  const double c = std::cos(degrees * kDegToRad);
  const double s = std::sin(degrees * kDegToRad);
  AroundCentre(*this, [&](double x, double y) { return std::pair{x * c + y * s, y * c - x * s}; });
}

void CPath::Scale(double xscale, double yscale) {
  AroundCentre(*this, [&](double x, double y) { return std::pair{x * xscale, y * yscale}; });
}

void CPath::Shift(double dx, double dy) {
  for (RPathPoint& p : points) {
    p.x += dx;
    p.y += dy;
  }
  GeometryChanged();
}

}  // namespace px
