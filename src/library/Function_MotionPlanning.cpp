// Motion planning for game code: the straight-line and potential-field
// steppers and their path forms, the potential settings, the planning
// grids, and the two planning actions. A step or path function called
// without an instance does nothing and gives 0.
#include "library/Function_MotionPlanning.h"

#include <algorithm>
#include <memory>

#include "graphics/Graphics_Draw.h"
#include "library/Function_Support.h"
#include "motion/Motion_Planning.h"
#include "motion/Sprite_Mask.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Match.h"

namespace px {

namespace {

using Args = const FunctionArgs&;

constexpr std::string_view kMissingPath = "Trying to assign to a non-existing path.";
constexpr std::string_view kGridTooLarge = "Grid is too large.";

// Blocked by solid instances, or by all of them when checkall is set.
PlanBlockers CheckAll(const RValue& checkall) {
  return {FlagArg(checkall) ? PlanBlockers::Kind::All : PlanBlockers::Kind::Solid, 0, nullptr};
}

// Blocked by the instances obj names, as for place_meeting.
PlanBlockers Object(const RValue& obj, CInstanceBase* other) {
  return {PlanBlockers::Kind::Object, IntArg(obj), AsInstance(other)};
}

// Builds the blockers from the argument at index I: checkall, or an object
// for the _object forms.
template <bool ForObject, std::size_t I>
PlanBlockers BlockersArg(Args a, CInstanceBase* other) {
  return ForObject ? Object(a[I], other) : CheckAll(a[I]);
}

// ---- Steps ----

template <bool ForObject>
void LinearStepFn(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                  RValue& result, Args a) {
  if (CInstance* inst = AsInstance(self))
    result.setReal(Truth(LinearStep(rt, *inst, a[0].real, a[1].real, a[2].real,
                                    BlockersArg<ForObject, 3>(a, other))));
}

template <bool ForObject>
void PotentialStepFn(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                     RValue& result, Args a) {
  if (CInstance* inst = AsInstance(self))
    result.setReal(Truth(PotentialStep(rt, rt.planning.potential, *inst, a[0].real, a[1].real,
                                       a[2].real, BlockersArg<ForObject, 3>(a, other))));
}

void PotentialSettingsFn(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                         Args a) {
  PotentialSettings& s = rt.planning.potential;
  // 1 first, so that NaN gives 1 as well.
  s.maxrot = std::max(1.0, a[0].real);
  s.rotstep = std::max(1.0, a[1].real);
  s.ahead = std::max(1.0, a[2].real);
  s.onspot = FlagArg(a[3]);
}

// ---- Paths ----

// The path argument as a path to write into; reports a missing one.
CPath* TargetPath(Runtime& rt, const RValue& v) {
  CPath* path = rt.resources.paths.get(IntArg(v));
  if (!path) RuntimeError(rt, kMissingPath);
  return path;
}

// Runs plan(instance, path) when both exist; it gives the result.
template <class Plan>
void PlanInto(Runtime& rt, CInstanceBase* self, const RValue& pathArg, RValue& result,
              Plan&& plan) {
  CPath* path = TargetPath(rt, pathArg);
  CInstance* inst = AsInstance(self);
  if (path && inst) result.setReal(Truth(plan(*inst, *path)));
}

template <bool ForObject>
void LinearPathFn(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                  RValue& result, Args a) {
  PlanInto(rt, self, a[0], result, [&](CInstance& inst, CPath& path) {
    return LinearPath(rt, inst, path, a[1].real, a[2].real, a[3].real,
                      BlockersArg<ForObject, 4>(a, other));
  });
}

template <bool ForObject>
void PotentialPathFn(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                     RValue& result, Args a) {
  PlanInto(rt, self, a[0], result, [&](CInstance& inst, CPath& path) {
    return PotentialPath(rt, rt.planning.potential, inst, path, a[1].real, a[2].real, a[3].real,
                         a[4].real, BlockersArg<ForObject, 5>(a, other));
  });
}

// ---- Grids ----

void GridCreate(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const std::int32_t hcells = IntArg(a[2]), vcells = IntArg(a[3]);
  if (!CPlanGrid::ValidSize(hcells, vcells)) {
    RuntimeError(rt, kGridTooLarge);
    result.setReal(-1);
    return;
  }
  result.setReal(rt.planning.grids.Add(std::make_unique<CPlanGrid>(
      IntArg(a[0]), IntArg(a[1]), hcells, vcells, IntArg(a[4]), IntArg(a[5]))));
}

void GridDestroy(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  rt.planning.grids.Destroy(RealToCount(a[0].real));
}

// A handler that acts on an existing grid: F(rt, grid, self, other, args).
template <void (*F)(Runtime&, CPlanGrid&, CInstanceBase*, CInstanceBase*, Args)>
void OnGrid(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&, Args a) {
  if (CPlanGrid* grid = rt.planning.grids.Find(RealToCount(a[0].real)))
    F(rt, *grid, self, other, a);
}

void ClearAll(Runtime&, CPlanGrid& g, CInstanceBase*, CInstanceBase*, Args) {
  g.SetAll(CellState::Free);
}

template <CellState S>
void SetCell(Runtime&, CPlanGrid& g, CInstanceBase*, CInstanceBase*, Args a) {
  g.SetCell(RealToCount(a[1].real), RealToCount(a[2].real), S);
}

template <CellState S>
void SetRectangle(Runtime&, CPlanGrid& g, CInstanceBase*, CInstanceBase*, Args a) {
  g.SetRange(g.CellsOf(RealToCount(a[1].real), RealToCount(a[2].real), RealToCount(a[3].real),
                       RealToCount(a[4].real)),
             S);
}

void AddInstances(Runtime& rt, CPlanGrid& g, CInstanceBase* self, CInstanceBase* other, Args a) {
  std::int32_t obj = IntArg(a[1]);
  if (obj == kSelf || obj == kOther) {
    const CInstance* named = AsInstance(obj == kSelf ? self : other);
    if (!named) return;
    obj = named->id;
  }
  const bool precise = FlagArg(a[2]);
  ForEachMatch(rt.world.instances, obj, [&](CInstance& inst) {
    const CellRange cells =
        g.CellsOf(inst.bbox_left, inst.bbox_top, inst.bbox_right, inst.bbox_bottom);
    if (!precise) {
      g.SetRange(cells, CellState::Forbidden);
      return true;
    }
    for (std::int64_t h = cells.firstColumn; h <= cells.lastColumn; ++h) {
      for (std::int64_t v = cells.firstRow; v <= cells.lastRow; ++v) {
        if (g.cell(h, v) < 0) continue;
        const double x1 = g.left() + static_cast<double>(h) * g.cellwidth();
        const double y1 = g.top() + static_cast<double>(v) * g.cellheight();
        if (RectInInstance(rt.resources, inst, true, x1, y1, x1 + g.cellwidth() - 1,
                           y1 + g.cellheight() - 1))
          g.SetCell(h, v, CellState::Forbidden);
      }
    }
    return true;
  });
}

void GridPath(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  CPlanGrid* grid = rt.planning.grids.Find(RealToCount(a[0].real));
  if (!grid) return;
  CPath* path = TargetPath(rt, a[1]);
  if (!path) return;
  result.setReal(
      Truth(grid->FindPath(RealToCount(a[2].real), RealToCount(a[3].real), RealToCount(a[4].real),
                           RealToCount(a[5].real), FlagArg(a[6]), *path)));
}

void Draw(Runtime& rt, CPlanGrid& g, CInstanceBase*, CInstanceBase*, Args) {
  Drawing& d = rt.display.draw;
  const std::uint32_t forbidden = d.WithAlpha(0x0000FF);
  const std::uint32_t free = d.WithAlpha(0x008000);
  for (std::int32_t h = 0; h < g.hcells(); ++h) {
    const double x1 = g.left() + static_cast<double>(h) * g.cellwidth();
    for (std::int32_t v = 0; v < g.vcells(); ++v) {
      const double y1 = g.top() + static_cast<double>(v) * g.cellheight();
      const std::uint32_t c = g.cell(h, v) < 0 ? forbidden : free;
      d.Rectangle(x1, y1, x1 + g.cellwidth(), y1 + g.cellheight(), c, c, c, c, false);
    }
  }
}

// ---- Actions ----

// The goal of a planning action: x and y relative to self when asked.
template <bool (*Step)(Runtime&, CInstance&, double, double, double, const PlanBlockers&)>
void StepAction(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                Args a) {
  CInstance* inst = AsInstance(self);
  if (!inst) return;
  const bool relative = rt.vars.argumentRelative;
  const double x = relative ? inst->x + a[0].real : a[0].real;
  const double y = relative ? inst->y + a[1].real : a[1].real;
  result.setReal(Truth(Step(rt, *inst, x, y, a[2].real, CheckAll(a[3]))));
}

bool LinearActionStep(Runtime& rt, CInstance& i, double x, double y, double step,
                      const PlanBlockers& b) {
  return LinearStep(rt, i, x, y, step, b);
}

bool PotentialActionStep(Runtime& rt, CInstance& i, double x, double y, double step,
                         const PlanBlockers& b) {
  return PotentialStep(rt, rt.planning.potential, i, x, y, step, b);
}

constexpr FunctionDef kMotionPlanningFunctions[] = {
    {"mp_linear_step", LinearStepFn<false>},
    {"mp_linear_path", LinearPathFn<false>},
    {"mp_linear_step_object", LinearStepFn<true>},
    {"mp_linear_path_object", LinearPathFn<true>},
    {"mp_potential_settings", PotentialSettingsFn},
    {"mp_potential_step", PotentialStepFn<false>},
    {"mp_potential_path", PotentialPathFn<false>},
    {"mp_potential_step_object", PotentialStepFn<true>},
    {"mp_potential_path_object", PotentialPathFn<true>},
    {"mp_grid_create", GridCreate},
    {"mp_grid_destroy", GridDestroy},
    {"mp_grid_clear_all", OnGrid<ClearAll>},
    {"mp_grid_clear_cell", OnGrid<SetCell<CellState::Free>>},
    {"mp_grid_clear_rectangle", OnGrid<SetRectangle<CellState::Free>>},
    {"mp_grid_add_cell", OnGrid<SetCell<CellState::Forbidden>>},
    {"mp_grid_add_rectangle", OnGrid<SetRectangle<CellState::Forbidden>>},
    {"mp_grid_add_instances", OnGrid<AddInstances>},
    {"mp_grid_path", GridPath},
    {"mp_grid_draw", OnGrid<Draw>},
    {"action_linear_step", StepAction<LinearActionStep>},
    {"action_potential_step", StepAction<PotentialActionStep>},
};

}  // namespace

std::span<const FunctionDef> PlanningFunctions() {
  return kMotionPlanningFunctions;
}

}  // namespace px
