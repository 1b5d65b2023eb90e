#include "motion/Motion_PlanGrid.h"

#include <algorithm>

namespace px {

namespace {

constexpr std::int32_t kFree = static_cast<std::int32_t>(CellState::Free);
constexpr std::int32_t kForbidden = static_cast<std::int32_t>(CellState::Forbidden);

}  // namespace

CPlanGrid::CPlanGrid(std::int32_t left, std::int32_t top, std::int32_t hcells, std::int32_t vcells,
                     std::int32_t cellwidth, std::int32_t cellheight)
    : left_(left),
      top_(top),
      hcells_(std::max(hcells, 0)),
      vcells_(std::max(vcells, 0)),
      cellwidth_(cellwidth),
      cellheight_(cellheight) {
  if (hcells_ > 0 && vcells_ > 0) {
    cells_.assign((static_cast<std::size_t>(hcells_) + 2) * stride(), kForbidden);
    SetAll(CellState::Free);
  }
}

bool CPlanGrid::ValidSize(std::int64_t hcells, std::int64_t vcells) {
  const std::int64_t h = std::max<std::int64_t>(hcells, 0) + 2;
  const std::int64_t v = std::max<std::int64_t>(vcells, 0) + 2;
  return h <= kMaxPlanGridCells && v <= kMaxPlanGridCells / h;
}

std::int32_t CPlanGrid::cell(std::int64_t h, std::int64_t v) const {
  return inside(h, v) ? cells_[index(h, v)] : kForbidden;
}

void CPlanGrid::SetCell(std::int64_t h, std::int64_t v, CellState state) {
  if (inside(h, v)) cells_[index(h, v)] = static_cast<std::int32_t>(state);
}

void CPlanGrid::SetAll(CellState state) {
  SetRange({0, hcells_ - 1, 0, vcells_ - 1}, state);
}

CellRange CPlanGrid::CellsOf(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                             std::int64_t y2) const {
  if (cellwidth_ <= 0 || cellheight_ <= 0) return {};
  // Integer division truncates towards zero, so a coordinate a little left
  // of or above the grid still falls in the first column or row.
  return {std::max<std::int64_t>((std::min(x1, x2) - left_) / cellwidth_, 0),
          std::min<std::int64_t>((std::max(x1, x2) - left_) / cellwidth_, hcells_ - 1),
          std::max<std::int64_t>((std::min(y1, y2) - top_) / cellheight_, 0),
          std::min<std::int64_t>((std::max(y1, y2) - top_) / cellheight_, vcells_ - 1)};
}

void CPlanGrid::SetRange(const CellRange& range, CellState state) {
  if (range.empty()) return;
  const auto value = static_cast<std::int32_t>(state);
  for (std::int64_t h = range.firstColumn; h <= range.lastColumn; ++h) {
    const auto column = cells_.begin() + static_cast<std::ptrdiff_t>(index(h, 0));
    std::fill(column + range.firstRow, column + range.lastRow + 1, value);
  }
}

bool CPlanGrid::Contains(std::int64_t x, std::int64_t y) const {
  return x >= left_ && x < left_ + std::int64_t{hcells_} * cellwidth_ && y >= top_ &&
         y < top_ + std::int64_t{vcells_} * cellheight_;
}

bool CPlanGrid::FindPath(std::int64_t xs, std::int64_t ys, std::int64_t xg, std::int64_t yg,
                         bool allowdiag, CPath& path) {
  if (!Contains(xs, ys) || !Contains(xg, yg)) return false;
  const std::size_t start = index((xs - left_) / cellwidth_, (ys - top_) / cellheight_);
  const std::size_t goal = index((xg - left_) / cellwidth_, (yg - top_) / cellheight_);
  if (cells_[start] == kForbidden || cells_[goal] == kForbidden) return false;
  const bool found = Search(start, goal, allowdiag);
  if (found) {
    BeginPlannedPath(path);
    path.points.push_back({static_cast<double>(xg), static_cast<double>(yg), 100});
    TraceBack(start, goal, allowdiag, path.points);
    path.points.push_back({static_cast<double>(xs), static_cast<double>(ys), 100});
    std::reverse(path.points.begin(), path.points.end());
    path.GeometryChanged();
  }
  ClearMarks();
  return found;
}

bool CPlanGrid::Search(std::size_t start, std::size_t goal, bool allowdiag) {
  // At most every cell is queued once: it is marked when queued.
  if (queue_.empty()) queue_.resize(static_cast<std::size_t>(hcells_) * vcells_);
  std::int32_t* const cells = cells_.data();
  std::uint32_t* const queue = queue_.data();
  const std::size_t across = stride();
  std::size_t tail = 0;
  cells[start] = 1;
  queue[tail++] = static_cast<std::uint32_t>(start);
  // A cell's step count is final once it is queued, and later cells count
  // no fewer steps, so the search may stop when the goal is queued: the
  // cells the way back reads are the same as when the goal leaves the queue.
  bool found = start == goal;
  for (std::size_t head = 0; head < tail && !found; ++head) {
    const std::size_t c = queue[head];
    const std::int32_t next = cells[c] + 1;
    // Which neighbours are free is decided before any of them is marked.
    const bool left = cells[c - across] == kFree;
    const bool right = cells[c + across] == kFree;
    const bool up = cells[c - 1] == kFree;
    const bool down = cells[c + 1] == kFree;
    const bool downLeft = allowdiag & down & left & (cells[c - across + 1] == kFree);
    const bool upLeft = allowdiag & up & left & (cells[c - across - 1] == kFree);
    const bool downRight = allowdiag & down & right & (cells[c + across + 1] == kFree);
    const bool upRight = allowdiag & up & right & (cells[c + across - 1] == kFree);
    const auto mark = [&](bool free, std::size_t n) {
      if (!free) return false;
      queue[tail++] = static_cast<std::uint32_t>(n);
      cells[n] = next;
      return n == goal;
    };
    // Cells marked after the goal by the same cell count as many steps as
    // the goal, so the way back never reads them.
    found = mark(left, c - across);
    found |= mark(right, c + across);
    found |= mark(up, c - 1);
    found |= mark(down, c + 1);
    found |= mark(downLeft, c - across + 1);
    found |= mark(upLeft, c - across - 1);
    found |= mark(downRight, c + across + 1);
    found |= mark(upRight, c + across - 1);
  }
  queued_ = tail;
  return found;
}

void CPlanGrid::TraceBack(std::size_t start, std::size_t goal, bool allowdiag,
                          std::vector<RPathPoint>& points) const {
  const std::size_t across = stride();
  std::size_t c = goal;
  while (c != start) {
    const std::int32_t previous = cells_[c] - 1;
    const auto counts = [&](std::size_t n) { return cells_[n] == previous; };
    // A diagonal step back must not cut a corner either: both cells beside
    // it must be open. A diagonal neighbour reached another way may count
    // one less too and lie past forbidden cells.
    const auto open = [&](std::size_t a, std::size_t b) {
      return cells_[a] != kForbidden && cells_[b] != kForbidden;
    };
    const std::size_t l = c - across, r = c + across, u = c - 1, d = c + 1;
    if (counts(l))
      c = l;
    else if (counts(r))
      c = r;
    else if (counts(u))
      c = u;
    else if (counts(d))
      c = d;
    else if (allowdiag && counts(l + 1) && open(l, d))
      c = l + 1;
    else if (allowdiag && counts(r + 1) && open(r, d))
      c = r + 1;
    else if (allowdiag && counts(l - 1) && open(l, u))
      c = l - 1;
    else if (allowdiag && counts(r - 1) && open(r, u))
      c = r - 1;
    else
      return;  // cannot happen: the cell it was marked from counts one less
    if (c != start) points.push_back(Centre(c));
  }
}

void CPlanGrid::ClearMarks() {
  for (std::size_t k = 0; k < queued_; ++k) cells_[queue_[k]] = kFree;
  queued_ = 0;
}

RPathPoint CPlanGrid::Centre(std::size_t cell) const {
  const auto h = static_cast<std::int64_t>(cell / stride()) - 1;
  const auto v = static_cast<std::int64_t>(cell % stride()) - 1;
  return {static_cast<double>(left_ + h * cellwidth_ + cellwidth_ / 2),
          static_cast<double>(top_ + v * cellheight_ + cellheight_ / 2), 100};
}

std::int32_t PlanGridTable::Add(std::unique_ptr<CPlanGrid> grid) {
  const auto empty = std::find(slots_.begin(), slots_.end(), nullptr);
  if (empty != slots_.end()) {
    *empty = std::move(grid);
    return static_cast<std::int32_t>(empty - slots_.begin());
  }
  slots_.push_back(std::move(grid));
  return static_cast<std::int32_t>(slots_.size() - 1);
}

CPlanGrid* PlanGridTable::Find(std::int64_t id) const {
  if (id < 0 || static_cast<std::uint64_t>(id) >= slots_.size()) return nullptr;
  return slots_[static_cast<std::size_t>(id)].get();
}

void PlanGridTable::Destroy(std::int64_t id) {
  if (Find(id)) slots_[static_cast<std::size_t>(id)].reset();
}

}  // namespace px
