#include "datastructures/Support_DS_Grid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace px {

namespace {

// The bounds a maximum and a minimum start from; an area without a real
// cell gives them as its result.
constexpr double kNoMaximum = -100000000.0;
constexpr double kNoMinimum = 100000000.0;

void Count(GridStats& stats, const RValue& v) {
  ++stats.cells;
  if (v.isString()) return;
  stats.sum += v.real;
  if (stats.reals == 0 || v.real > stats.max) stats.max = v.real;
  if (stats.reals == 0 || v.real < stats.min) stats.min = v.real;
  ++stats.reals;
}

GridStats Finish(GridStats stats) {
  if (stats.reals == 0) {
    stats.max = kNoMaximum;
    stats.min = kNoMinimum;
  }
  return stats;
}

}  // namespace

CDS_Grid::CDS_Grid(std::int64_t width, std::int64_t height)
    : width_(width), height_(height), cells_(static_cast<std::size_t>(width * height)) {}

bool CDS_Grid::ValidSize(std::int64_t width, std::int64_t height) {
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return width <= kMaxGridCells && height <= kMaxGridCells;
  return width <= kMaxGridCells / height;
}

RValue* CDS_Grid::cell(std::int64_t x, std::int64_t y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  return &cells_[index(x, y)];
}

const RValue* CDS_Grid::cell(std::int64_t x, std::int64_t y) const {
  return const_cast<CDS_Grid*>(this)->cell(x, y);
}

void CDS_Grid::resize(std::int64_t width, std::int64_t height) {
  std::vector<RValue> cells(static_cast<std::size_t>(width * height));
  const std::int64_t keepWidth = std::min(width, width_);
  const std::int64_t keepHeight = std::min(height, height_);
  for (std::int64_t x = 0; x < keepWidth; ++x) {
    for (std::int64_t y = 0; y < keepHeight; ++y) {
      cells[static_cast<std::size_t>(x * height + y)] = std::move(cells_[index(x, y)]);
    }
  }
  cells_ = std::move(cells);
  width_ = width;
  height_ = height;
}

void CDS_Grid::fill(const RValue& v) {
  std::fill(cells_.begin(), cells_.end(), v);
}

std::optional<GridRect> CDS_Grid::clip(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                                       std::int64_t y2) const {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max<std::int64_t>(x1, 0);
  y1 = std::max<std::int64_t>(y1, 0);
  x2 = std::min(x2, width_ - 1);
  y2 = std::min(y2, height_ - 1);
  if (x1 > x2 || y1 > y2) return std::nullopt;
  return GridRect{x1, y1, x2, y2};
}

template <class F>
void CDS_Grid::forEachInDisk(const GridDisk& d, F&& f) const {
  // Written so that NaN bounds leave the loop empty.
  const double left = std::max(std::floor(d.xm - d.r), 0.0);
  const double right = std::min(std::ceil(d.xm + d.r), static_cast<double>(width_ - 1));
  const double top = std::max(std::floor(d.ym - d.r), 0.0);
  const double bottom = std::min(std::ceil(d.ym + d.r), static_cast<double>(height_ - 1));
  if (!(left <= right) || !(top <= bottom)) return;
  const double r2 = d.r * d.r;
  for (auto x = static_cast<std::int64_t>(left); x <= static_cast<std::int64_t>(right); ++x) {
    const double dx = static_cast<double>(x) - d.xm;
    for (auto y = static_cast<std::int64_t>(top); y <= static_cast<std::int64_t>(bottom); ++y) {
      const double dy = static_cast<double>(y) - d.ym;
      if (dx * dx + dy * dy <= r2) f(x, y);
    }
  }
}

void CDS_Grid::combine(const GridRect& r, const RValue& v, Combination how) {
  for (std::int64_t x = r.x1; x <= r.x2; ++x) {
    for (std::int64_t y = r.y1; y <= r.y2; ++y) Combine(cells_[index(x, y)], v, how);
  }
}

void CDS_Grid::combine(const GridDisk& d, const RValue& v, Combination how) {
  forEachInDisk(d, [&](std::int64_t x, std::int64_t y) { Combine(cells_[index(x, y)], v, how); });
}

GridStats CDS_Grid::stats(const GridRect& r) const {
  GridStats stats;
  for (std::int64_t x = r.x1; x <= r.x2; ++x) {
    for (std::int64_t y = r.y1; y <= r.y2; ++y) Count(stats, cells_[index(x, y)]);
  }
  return Finish(stats);
}

GridStats CDS_Grid::stats(const GridDisk& d) const {
  GridStats stats;
  forEachInDisk(d, [&](std::int64_t x, std::int64_t y) { Count(stats, cells_[index(x, y)]); });
  return Finish(stats);
}

std::optional<GridCell> CDS_Grid::find(const GridRect& r, const RValue& v,
                                       const ElementOrder& order) const {
  for (std::int64_t x = r.x1; x <= r.x2; ++x) {
    for (std::int64_t y = r.y1; y <= r.y2; ++y) {
      if (order.Equal(cells_[index(x, y)], v)) return GridCell{x, y};
    }
  }
  return std::nullopt;
}

std::optional<GridCell> CDS_Grid::find(const GridDisk& d, const RValue& v,
                                       const ElementOrder& order) const {
  std::optional<GridCell> found;
  forEachInDisk(d, [&](std::int64_t x, std::int64_t y) {
    if (!found && order.Equal(cells_[index(x, y)], v)) found = GridCell{x, y};
  });
  return found;
}

void CDS_Grid::combineFrom(const CDS_Grid& source, std::int64_t x1, std::int64_t y1,
                           std::int64_t x2, std::int64_t y2, std::int64_t xpos, std::int64_t ypos,
                           Combination how) {
  // A corner this far out cannot place any cell; leaving it out keeps the
  // arithmetic below within range.
  if (xpos < -kMaxGridCells || xpos > kMaxGridCells || ypos < -kMaxGridCells ||
      ypos > kMaxGridCells) {
    return;
  }
  const std::optional<GridRect> clipped = source.clip(x1, y1, x2, y2);
  if (!clipped) return;
  GridRect r = *clipped;
  // A corner left of or above the grid drops the columns or rows that
  // would land outside it.
  if (xpos < 0) {
    r.x1 -= xpos;
    xpos = 0;
  }
  if (ypos < 0) {
    r.y1 -= ypos;
    ypos = 0;
  }
  r.x2 = std::min(r.x2, r.x1 + (width_ - 1 - xpos));
  r.y2 = std::min(r.y2, r.y1 + (height_ - 1 - ypos));
  if (r.x1 > r.x2 || r.y1 > r.y2) return;

  const std::int64_t columns = r.x2 - r.x1 + 1;
  const std::int64_t rows = r.y2 - r.y1 + 1;
  const bool xDown = r.x1 < xpos;
  const bool yDown = r.y1 < ypos;
  for (std::int64_t i = 0; i < columns; ++i) {
    const std::int64_t dx = xDown ? columns - 1 - i : i;
    for (std::int64_t j = 0; j < rows; ++j) {
      const std::int64_t dy = yDown ? rows - 1 - j : j;
      const RValue v = source.cells_[source.index(r.x1 + dx, r.y1 + dy)];  // may be the target
      Combine(cells_[index(xpos + dx, ypos + dy)], v, how);
    }
  }
}

void CDS_Grid::shuffle(CRandom& random) {
  const auto w = static_cast<std::uint32_t>(width_);
  const auto h = static_cast<std::uint32_t>(height_);
  const std::uint64_t swaps = static_cast<std::uint64_t>(w) * h * 8;
  for (std::uint64_t k = 0; k < swaps; ++k) {
    const std::uint32_t xa = random.NextInt(w);
    const std::uint32_t xb = random.NextInt(w);
    const std::uint32_t ya = random.NextInt(h);
    const std::uint32_t yb = random.NextInt(h);
    std::swap(cells_[index(xa, ya)], cells_[index(xb, yb)]);
  }
}

void CDS_Grid::write(CStream& s) const {
  StreamWriteInt(s, kGridMarker);
  WriteCount(s, static_cast<std::size_t>(width_));
  WriteCount(s, static_cast<std::size_t>(height_));
  for (const RValue& v : cells_) WriteElement(s, v);
}

bool CDS_Grid::read(CStream& s) {
  if (!ReadMarker(s, kGridMarker)) return false;
  const std::int32_t width = StreamReadInt(s);
  const std::int32_t height = StreamReadInt(s);
  if (!ValidSize(width, height) ||
      static_cast<std::size_t>(std::int64_t{width} * height) > s.remaining() / kElementBytes) {
    throw StreamError("grid of " + std::to_string(width) + " by " + std::to_string(height) +
                      " cells does not fit the text");
  }
  std::vector<RValue> cells;
  cells.reserve(static_cast<std::size_t>(std::int64_t{width} * height));
  for (std::int64_t i = 0; i < std::int64_t{width} * height; ++i) cells.push_back(ReadElement(s));
  cells_ = std::move(cells);
  width_ = width;
  height_ = height;
  return true;
}

}  // namespace px
