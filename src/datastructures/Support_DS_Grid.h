// CDS_Grid: a width × height array of elements, with the region and disk
// operations game code applies to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "datastructures/Support_Data_Structures.h"

namespace px {

// The most cells one grid may have: a game asking for more gets an error
// instead of exhausting the machine's memory.
inline constexpr std::int64_t kMaxGridCells = std::int64_t{1} << 27;

// Cells of a rectangle, both corners included, inside the grid.
struct GridRect {
  std::int64_t x1, y1, x2, y2;
};

// A disk: the cells whose centre lies within r of (xm, ym).
struct GridDisk {
  double xm, ym, r;
};

// Over the real cells of an area; strings are passed over. Without a real
// cell the maximum is −100000000 and the minimum 100000000.
struct GridStats {
  double sum = 0;
  double max = 0;
  double min = 0;
  std::size_t reals = 0;
  std::size_t cells = 0;  // real or not
};

struct GridCell {
  std::int64_t x, y;
};

// Cell (x, y) is element y of column x; new cells are real 0.
class CDS_Grid {
 public:
  // Sizes must already be checked with ValidSize.
  CDS_Grid(std::int64_t width, std::int64_t height);
  // Whether a grid of this size may be made: neither side negative and at
  // most kMaxGridCells cells.
  static bool ValidSize(std::int64_t width, std::int64_t height);

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  // Null outside the grid.
  RValue* cell(std::int64_t x, std::int64_t y);
  const RValue* cell(std::int64_t x, std::int64_t y) const;

  // Cells inside both the old and the new size keep their values.
  void resize(std::int64_t width, std::int64_t height);
  void fill(const RValue& v);

  // The rectangle between two corners given in any order, clipped to the
  // grid; nothing when no cell is left.
  std::optional<GridRect> clip(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                               std::int64_t y2) const;

  void combine(const GridRect& r, const RValue& v, Combination how);
  void combine(const GridDisk& d, const RValue& v, Combination how);
  GridStats stats(const GridRect& r) const;
  GridStats stats(const GridDisk& d) const;
  // The first cell, x before y, that compares equal to v.
  std::optional<GridCell> find(const GridRect& r, const RValue& v, const ElementOrder& order) const;
  std::optional<GridCell> find(const GridDisk& d, const RValue& v, const ElementOrder& order) const;

  // Combines the cells of the source rectangle (corners in any order) into
  // this grid with the rectangle's corner at (xpos, ypos); the parts that
  // fall outside either grid are left out. The source may be this grid: the
  // cells are visited in the order that reads each one before it is written.
  void combineFrom(const CDS_Grid& source, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                   std::int64_t y2, std::int64_t xpos, std::int64_t ypos, Combination how);

  // width × height × 8 swaps, each of two cells drawn as x1, x2, y1, y2.
  void shuffle(CRandom& random);

  void write(CStream& s) const;
  bool read(CStream& s);

 private:
  std::size_t index(std::int64_t x, std::int64_t y) const {
    return static_cast<std::size_t>(x * height_ + y);
  }
  // Calls f(x, y) for each cell of the disk, x before y, both ascending.
  template <class F>
  void forEachInDisk(const GridDisk& d, F&& f) const;

  std::int64_t width_ = 0;
  std::int64_t height_ = 0;
  std::vector<RValue> cells_;  // column by column
};

}  // namespace px
