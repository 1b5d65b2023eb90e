// The grid functions: cells, regions, disks, copies between grids, sums
// and searches.
#include <memory>

#include "library/Function_DS_Common.h"
#include "library/Function_Data_Structures.h"
#include "run/Run_Error.h"

namespace px {

namespace {

using namespace ds;

constexpr std::string_view kNegativeGridSize = "Grid width and height must not be negative.";
constexpr std::string_view kGridTooLarge = "Grid is too large.";

// Whether a grid of w × h may be made; reports why not.
bool CheckSize(Runtime& rt, std::int64_t w, std::int64_t h) {
  if (w < 0 || h < 0) {
    RuntimeError(rt, kNegativeGridSize);
    return false;
  }
  if (!CDS_Grid::ValidSize(w, h)) {
    RuntimeError(rt, kGridTooLarge);
    return false;
  }
  return true;
}

// A grid that cannot be made gives −1, which names no grid.
void GridCreate(Runtime& rt, RValue& result, const FunctionArgs& a) {
  const std::int64_t w = Int(a[0]);
  const std::int64_t h = Int(a[1]);
  if (!CheckSize(rt, w, h)) {
    SetReal(result, -1);
    return;
  }
  SetReal(result, rt.ds.grids.add(std::make_unique<CDS_Grid>(w, h)));
}

void GridResize(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  const std::int64_t w = Int(a[1]);
  const std::int64_t h = Int(a[2]);
  if (CheckSize(rt, w, h)) g->resize(w, h);
}

void GridWidth(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Grid* g = Find<CDS_Grid>(rt, a[0]))
    SetReal(result, static_cast<double>(g->width()));
}

void GridHeight(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) {
    SetReal(result, static_cast<double>(g->height()));
  }
}

void GridClear(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) g->fill(a[1]);
}

void GridGet(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) SetFound(result, g->cell(Int(a[1]), Int(a[2])));
}

void GridShuffle(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) g->shuffle(rt.random);
}

// Arguments from `first` on: x1, y1, x2, y2 of a region.
std::optional<GridRect> RegionArgs(const CDS_Grid& g, const FunctionArgs& a, std::size_t first) {
  return g.clip(Int(a[first]), Int(a[first + 1]), Int(a[first + 2]), Int(a[first + 3]));
}

// Arguments from 1 on: xm, ym, r of a disk.
GridDisk DiskArgs(const FunctionArgs& a) {
  return GridDisk{a[1].real, a[2].real, a[3].real};
}

template <Combination How>
void GridCombineCell(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  if (RValue* cell = g->cell(Int(a[1]), Int(a[2]))) Combine(*cell, a[3], How);
}

template <Combination How>
void GridCombineRegion(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  if (const auto r = RegionArgs(*g, a, 1)) g->combine(*r, a[5], How);
}

template <Combination How>
void GridCombineDisk(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) g->combine(DiskArgs(a), a[4], How);
}

template <Combination How>
void GridCombineGridRegion(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  const CDS_Grid* source = Find<CDS_Grid>(rt, a[1]);
  if (!source) return;
  g->combineFrom(*source, Int(a[2]), Int(a[3]), Int(a[4]), Int(a[5]), Int(a[6]), Int(a[7]), How);
}

enum class Stat { Sum, Max, Min, Mean };

// An area without any cell gives real 0.
void SetStat(RValue& result, const GridStats& s, Stat stat) {
  if (s.cells == 0) return;
  switch (stat) {
    case Stat::Sum:
      SetReal(result, s.sum);
      return;
    case Stat::Max:
      SetReal(result, s.max);
      return;
    case Stat::Min:
      SetReal(result, s.min);
      return;
    case Stat::Mean:
      SetReal(result, s.reals == 0 ? 0 : s.sum / static_cast<double>(s.reals));
      return;
  }
}

template <Stat S>
void GridRegionStat(Runtime& rt, RValue& result, const FunctionArgs& a) {
  const CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  if (const auto r = RegionArgs(*g, a, 1)) SetStat(result, g->stats(*r), S);
}

template <Stat S>
void GridDiskStat(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) SetStat(result, g->stats(DiskArgs(a)), S);
}

enum class Found { Exists, X, Y };

// Nothing found gives 0 for all three.
void SetFoundCell(RValue& result, const std::optional<GridCell>& cell, Found what) {
  if (!cell) return;
  switch (what) {
    case Found::Exists:
      SetReal(result, 1);
      return;
    case Found::X:
      SetReal(result, static_cast<double>(cell->x));
      return;
    case Found::Y:
      SetReal(result, static_cast<double>(cell->y));
      return;
  }
}

template <Found F>
void GridRegionValue(Runtime& rt, RValue& result, const FunctionArgs& a) {
  const CDS_Grid* g = Find<CDS_Grid>(rt, a[0]);
  if (!g) return;
  if (const auto r = RegionArgs(*g, a, 1)) SetFoundCell(result, g->find(*r, a[5], rt.ds.order), F);
}

template <Found F>
void GridDiskValue(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Grid* g = Find<CDS_Grid>(rt, a[0])) {
    SetFoundCell(result, g->find(DiskArgs(a), a[4], rt.ds.order), F);
  }
}

constexpr Combination kSet = Combination::Set;
constexpr Combination kAdd = Combination::Add;
constexpr Combination kMultiply = Combination::Multiply;

constexpr FunctionDef kGridFunctions[] = {
    {"ds_grid_create", Adapt<GridCreate>},
    {"ds_grid_destroy", Adapt<Destroy<CDS_Grid>>},
    {"ds_grid_copy", Adapt<Copy<CDS_Grid>>},
    {"ds_grid_resize", Adapt<GridResize>},
    {"ds_grid_width", Adapt<GridWidth>},
    {"ds_grid_height", Adapt<GridHeight>},
    {"ds_grid_clear", Adapt<GridClear>},
    {"ds_grid_set", Adapt<GridCombineCell<kSet>>},
    {"ds_grid_add", Adapt<GridCombineCell<kAdd>>},
    {"ds_grid_multiply", Adapt<GridCombineCell<kMultiply>>},
    {"ds_grid_set_region", Adapt<GridCombineRegion<kSet>>},
    {"ds_grid_add_region", Adapt<GridCombineRegion<kAdd>>},
    {"ds_grid_multiply_region", Adapt<GridCombineRegion<kMultiply>>},
    {"ds_grid_set_disk", Adapt<GridCombineDisk<kSet>>},
    {"ds_grid_add_disk", Adapt<GridCombineDisk<kAdd>>},
    {"ds_grid_multiply_disk", Adapt<GridCombineDisk<kMultiply>>},
    {"ds_grid_set_grid_region", Adapt<GridCombineGridRegion<kSet>>},
    {"ds_grid_add_grid_region", Adapt<GridCombineGridRegion<kAdd>>},
    {"ds_grid_multiply_grid_region", Adapt<GridCombineGridRegion<kMultiply>>},
    {"ds_grid_get", Adapt<GridGet>},
    {"ds_grid_get_sum", Adapt<GridRegionStat<Stat::Sum>>},
    {"ds_grid_get_max", Adapt<GridRegionStat<Stat::Max>>},
    {"ds_grid_get_min", Adapt<GridRegionStat<Stat::Min>>},
    {"ds_grid_get_mean", Adapt<GridRegionStat<Stat::Mean>>},
    {"ds_grid_get_disk_sum", Adapt<GridDiskStat<Stat::Sum>>},
    {"ds_grid_get_disk_max", Adapt<GridDiskStat<Stat::Max>>},
    {"ds_grid_get_disk_min", Adapt<GridDiskStat<Stat::Min>>},
    {"ds_grid_get_disk_mean", Adapt<GridDiskStat<Stat::Mean>>},
    {"ds_grid_value_exists", Adapt<GridRegionValue<Found::Exists>>},
    {"ds_grid_value_x", Adapt<GridRegionValue<Found::X>>},
    {"ds_grid_value_y", Adapt<GridRegionValue<Found::Y>>},
    {"ds_grid_value_disk_exists", Adapt<GridDiskValue<Found::Exists>>},
    {"ds_grid_value_disk_x", Adapt<GridDiskValue<Found::X>>},
    {"ds_grid_value_disk_y", Adapt<GridDiskValue<Found::Y>>},
    {"ds_grid_shuffle", Adapt<GridShuffle>},
    {"ds_grid_write", Adapt<Write<CDS_Grid>>},
    {"ds_grid_read", Adapt<Read<CDS_Grid>>},
};

}  // namespace

std::span<const FunctionDef> GridFunctions() {
  return kGridFunctions;
}

}  // namespace px
