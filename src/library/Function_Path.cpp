// Paths made and changed by game code. A function on a missing path does
// nothing unless it has an error message of its own. Every change
// marks the path's geometry changed.
#include "library/Function_Path.h"

#include <algorithm>
#include <string>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "resources/Resource_Chunks.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

CPath* PathArg(Runtime& rt, const RValue& v) {
  return rt.resources.paths.get(IntArg(v));
}

// A handler that changes an existing path: F(path, args).
template <void (*F)(CPath&, Args)>
void OnPath(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (CPath* path = PathArg(rt, a[0])) {
    F(*path, a);
    path->GeometryChanged();
  }
}

// A point number argument, or -1 when it lies outside 0 .. count - 1 + extra.
std::ptrdiff_t PointIndex(const CPath& path, const RValue& v, std::size_t extra = 0) {
  const std::int64_t n = RealToCount(v.real);
  return n >= 0 && n < static_cast<std::int64_t>(path.points.size() + extra)
             ? static_cast<std::ptrdiff_t>(n)
             : -1;
}

int AddPath(Runtime& rt, CPath path) {
  auto& paths = rt.resources.paths;
  const int index = paths.count();
  paths.add("__newpath" + std::to_string(index), std::move(path));
  return index;
}

// ---- Properties ----

void SetKind(CPath& p, Args a) {
  p.kind = IntArg(a[1]) == 1 ? 1 : 0;
}

void SetClosed(CPath& p, Args a) {
  p.closed = FlagArg(a[1]);
}

void SetPrecision(CPath& p, Args a) {
  p.precision = std::clamp(IntArg(a[1]), 0, CPath::kMaxPrecision);
}

// ---- Whole paths ----

void Add(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args) {
  result.setReal(AddPath(rt, CPath{}));
}

void Duplicate(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const CPath* source = PathArg(rt, a[0]);
  if (!source) {
    RuntimeError(rt, "Trying to duplicate non-existing path.");
    return;
  }
  CPath copy = *source;
  copy.GeometryChanged();
  result.setReal(AddPath(rt, std::move(copy)));
}

void Assign(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  auto& paths = rt.resources.paths;
  const std::int32_t index = IntArg(a[0]);
  const CPath* source = PathArg(rt, a[1]);
  if (!source || index < 0 || index >= paths.count()) {
    RuntimeError(rt, "Error assigning a path.");
    return;
  }
  CPath copy = *source;
  copy.GeometryChanged();
  if (CPath* target = paths.get(index))
    *target = std::move(copy);
  else
    paths.set(index, "", std::move(copy));  // an emptied slot keeps no name
}

void Append(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  CPath* target = PathArg(rt, a[0]);
  if (!target) {
    RuntimeError(rt, "Appending to non-existing path.");
    return;
  }
  const CPath* source = PathArg(rt, a[1]);
  if (!source) {
    RuntimeError(rt, "Appending a non-existing path.");
    return;
  }
  // A copy first: the source may be the target itself.
  const std::vector<RPathPoint> points = source->points;
  target->points.insert(target->points.end(), points.begin(), points.end());
  target->GeometryChanged();
}

void Delete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const std::int32_t index = IntArg(a[0]);
  if (!rt.resources.paths.exists(index)) {
    RuntimeError(rt, "Trying to delete non-existing path.");
    return;
  }
  rt.resources.paths.remove(index);
  result.setReal(1);
}

// ---- Points ----

RPathPoint PointArgs(Args a, std::size_t first) {
  return {a[first].real, a[first + 1].real, a[first + 2].real};
}

void AddPoint(CPath& p, Args a) {
  p.points.push_back(PointArgs(a, 1));
}

void InsertPoint(CPath& p, Args a) {
  const std::ptrdiff_t n = PointIndex(p, a[1], 1);
  if (n >= 0) p.points.insert(p.points.begin() + n, PointArgs(a, 2));
}

void ChangePoint(CPath& p, Args a) {
  const std::ptrdiff_t n = PointIndex(p, a[1]);
  if (n >= 0) p.points[static_cast<std::size_t>(n)] = PointArgs(a, 2);
}

void DeletePoint(CPath& p, Args a) {
  const std::ptrdiff_t n = PointIndex(p, a[1]);
  if (n >= 0) p.points.erase(p.points.begin() + n);
}

void ClearPoints(CPath& p, Args) {
  p.points.clear();
}

// ---- Transformations ----

void Reverse(CPath& p, Args) {
  p.Reverse();
}

void Mirror(CPath& p, Args) {
  p.Mirror();
}

void Flip(CPath& p, Args) {
  p.Flip();
}

void Rotate(CPath& p, Args a) {
  p.Rotate(a[1].real);
}

void Scale(CPath& p, Args a) {
  p.Scale(a[1].real, a[2].real);
}

void Shift(CPath& p, Args a) {
  p.Shift(a[1].real, a[2].real);
}

constexpr FunctionDef kPathFunctions[] = {
    {"path_set_kind", OnPath<SetKind>},
    {"path_set_closed", OnPath<SetClosed>},
    {"path_set_precision", OnPath<SetPrecision>},
    {"path_add", Add},
    {"path_duplicate", Duplicate},
    {"path_assign", Assign},
    {"path_append", Append},
    {"path_delete", Delete},
    {"path_add_point", OnPath<AddPoint>},
    {"path_insert_point", OnPath<InsertPoint>},
    {"path_change_point", OnPath<ChangePoint>},
    {"path_delete_point", OnPath<DeletePoint>},
    {"path_clear_points", OnPath<ClearPoints>},
    {"path_reverse", OnPath<Reverse>},
    {"path_mirror", OnPath<Mirror>},
    {"path_flip", OnPath<Flip>},
    {"path_rotate", OnPath<Rotate>},
    {"path_scale", OnPath<Scale>},
    {"path_shift", OnPath<Shift>},
};

}  // namespace

std::span<const FunctionDef> PathFunctions() {
  return kPathFunctions;
}

}  // namespace px
