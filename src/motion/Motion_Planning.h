// Planned motion towards a goal around other instances: a straight-line
// stepper, a potential-field stepper that turns aside from obstacles, and
// their path forms, which simulate the steps to fill a path and then put
// the instance back where it stood. The grids of grid planning live here
// too, in the planning state of a run.
#pragma once

#include <cstdint>

#include "motion/Motion_PlanGrid.h"
#include "resources/Path_Class.h"
#include "world/Instance_Class.h"

namespace px {

struct WorldCore;

// How the potential-field stepper looks for a way: the most it turns in
// one step, the angle between the directions it tries, how many steps
// ahead it looks, and whether it turns on the spot when every way is shut.
struct PotentialSettings {
  double maxrot = 30;
  double rotstep = 10;
  double ahead = 3;
  bool onspot = true;
};

// The planning state of a run: the potential settings and the grids.
struct MotionPlanning {
  PotentialSettings potential;
  PlanGridTable grids;
};

// Which instances stand in a planner's way.
struct PlanBlockers {
  enum class Kind { Solid, All, Object };
  Kind kind = Kind::Solid;
  // For Kind::Object: as place_meeting names instances, with other for
  // the other instance.
  std::int32_t obj = 0;
  CInstance* other = nullptr;
};

// One step of at most stepsize straight towards (xg, yg), taken only when
// the place is free. True when the goal was within reach (even if that
// place was not free).
bool LinearStep(WorldCore& rt, CInstance& inst, double xg, double yg, double stepsize,
                const PlanBlockers& blockers);
// One step of stepsize towards (xg, yg), turning aside as the settings
// allow when the straight way is shut. True when the goal was within reach.
bool PotentialStep(WorldCore& rt, const PotentialSettings& settings, CInstance& inst, double xg,
                   double yg, double stepsize, const PlanBlockers& blockers);

// Fill the path with the places the steps would pass through, straight and
// open, ending at the goal when it is reached. The instance's position and
// direction are as before. False when no way was found (stepsize not above
// 0, the steps stuck, or for the potential path, longer than factor times
// the distance to the goal); the path then holds the places so far.
bool LinearPath(WorldCore& rt, CInstance& inst, CPath& path, double xg, double yg, double stepsize,
                const PlanBlockers& blockers);
bool PotentialPath(WorldCore& rt, const PotentialSettings& settings, CInstance& inst, CPath& path,
                   double xg, double yg, double stepsize, double factor,
                   const PlanBlockers& blockers);

}  // namespace px
