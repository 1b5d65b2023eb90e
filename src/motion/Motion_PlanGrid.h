// Grids for path finding: a rectangle of the room cut into equal cells,
// each free or forbidden, and a breadth-first search from cell to cell that
// writes the way it finds as a list of path points. Grids are numbered by
// their slot in a table that gives out the first empty slot again.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "resources/Path_Class.h"

namespace px {

// Empties a path for a planner to fill: no points, straight lines, open.
inline void BeginPlannedPath(CPath& path) {
  path.points.clear();
  path.kind = 0;
  path.closed = false;
}

// The most cells one grid may hold.
inline constexpr std::int64_t kMaxPlanGridCells = std::int64_t{1} << 26;

// What a cell holds between searches.
enum class CellState : std::int32_t { Free = 0, Forbidden = -1 };

// The columns first..last and rows first..last of the cells a room
// rectangle covers; empty when a last is below its first.
struct CellRange {
  std::int64_t firstColumn = 0, lastColumn = -1;
  std::int64_t firstRow = 0, lastRow = -1;
  bool empty() const { return lastColumn < firstColumn || lastRow < firstRow; }
};

class CPlanGrid {
 public:
  // Negative cell counts make a grid without cells. The count of cells must
  // be at most kMaxPlanGridCells (see ValidSize).
  CPlanGrid(std::int32_t left, std::int32_t top, std::int32_t hcells, std::int32_t vcells,
            std::int32_t cellwidth, std::int32_t cellheight);

  // Whether a grid of hcells × vcells (negatives counting as 0) may be made.
  static bool ValidSize(std::int64_t hcells, std::int64_t vcells);

  std::int32_t left() const { return left_; }
  std::int32_t top() const { return top_; }
  std::int32_t hcells() const { return hcells_; }
  std::int32_t vcells() const { return vcells_; }
  std::int32_t cellwidth() const { return cellwidth_; }
  std::int32_t cellheight() const { return cellheight_; }

  // The value of cell (h, v): 0 free, -1 forbidden. A cell outside the
  // grid reads as forbidden.
  std::int32_t cell(std::int64_t h, std::int64_t v) const;
  // Sets cell (h, v); nothing for a cell outside the grid.
  void SetCell(std::int64_t h, std::int64_t v, CellState state);
  void SetAll(CellState state);
  // The cells of the room rectangle (x1, y1)..(x2, y2): the column of an x
  // is (x - left) div cellwidth, truncated towards zero, then held to the
  // grid; rows likewise. Empty when a cell size is not above 0.
  CellRange CellsOf(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) const;
  void SetRange(const CellRange& range, CellState state);

  // Whether room point (x, y) lies on the grid.
  bool Contains(std::int64_t x, std::int64_t y) const;

  // Searches a way from room point (xs, ys) to (xg, yg), with diagonal
  // moves that cut no corner when allowdiag. On success the path becomes
  // straight and open with the start, the centres of the cells between and
  // the goal, in that order, each of speed 100; on failure it is left
  // alone. Marked cells return to free afterwards; nothing is allocated per
  // cell visited.
  bool FindPath(std::int64_t xs, std::int64_t ys, std::int64_t xg, std::int64_t yg, bool allowdiag,
                CPath& path);

 private:
  // Cells are stored column by column inside a border of forbidden cells,
  // so that a neighbour is always one step away in memory and never needs
  // a bounds check.
  std::size_t stride() const { return static_cast<std::size_t>(vcells_) + 2; }
  std::size_t index(std::int64_t h, std::int64_t v) const {
    return static_cast<std::size_t>(h + 1) * stride() + static_cast<std::size_t>(v + 1);
  }
  bool inside(std::int64_t h, std::int64_t v) const {
    return h >= 0 && v >= 0 && h < hcells_ && v < vcells_;
  }
  // Marks every cell reachable in order of distance until the goal cell
  // is marked; cell values become their step counts (the start 1).
  bool Search(std::size_t start, std::size_t goal, bool allowdiag);
  // The centres of the cells from the goal back to the start, excluding
  // both, appended in that order.
  void TraceBack(std::size_t start, std::size_t goal, bool allowdiag,
                 std::vector<RPathPoint>& points) const;
  // Every cell the last search marked becomes free again.
  void ClearMarks();
  RPathPoint Centre(std::size_t cell) const;

  std::int32_t left_, top_, hcells_, vcells_, cellwidth_, cellheight_;
  std::vector<std::int32_t> cells_;
  // The search queue, one slot per cell, made at the first search and kept;
  // after a search it lists exactly the cells marked.
  std::vector<std::uint32_t> queue_;
  std::size_t queued_ = 0;
};

// The grids of a run by number. A new grid takes the first empty slot or a
// new one at the end.
class PlanGridTable {
 public:
  std::int32_t Add(std::unique_ptr<CPlanGrid> grid);
  // Null for a number that names no grid.
  CPlanGrid* Find(std::int64_t id) const;
  void Destroy(std::int64_t id);

 private:
  std::vector<std::unique_ptr<CPlanGrid>> slots_;
};

}  // namespace px
