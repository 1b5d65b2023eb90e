#include "world/Collision_Grid.h"

#include <algorithm>

#include "world/Object_Lists.h"

namespace px {

namespace {

// Cells are 64 pixels square.
constexpr int kCellShift = 6;
// A box over more cells than this is kept in the list of large ones.
constexpr std::int64_t kMaxFiledCells = 64;
// A query over more cells than this walks every instance.
constexpr std::int64_t kMaxQueryCells = 256;

std::int64_t Cell(std::int64_t v) {
  return v >> kCellShift;
}

std::int64_t CellCount(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
  return (Cell(r) - Cell(l) + 1) * (Cell(b) - Cell(t) + 1);
}

}  // namespace

std::vector<std::uint32_t>& CollisionGrid::Bucket(std::int64_t cx, std::int64_t cy) {
  const auto h = static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^
                 static_cast<std::uint64_t>(cy) * 0xC2B2AE3D27D4EB4Full;
  return buckets_[(h >> 32) & (buckets_.size() - 1)];
}

template <class F>
void CollisionGrid::ForEachCell(const Entry& e, F&& f) {
  for (std::int64_t cy = Cell(e.top); cy <= Cell(e.bottom); ++cy)
    for (std::int64_t cx = Cell(e.left); cx <= Cell(e.right); ++cx) f(Bucket(cx, cy));
}

void CollisionGrid::File(std::uint32_t slot) {
  Entry& e = entries_[slot];
  const CInstance& inst = *e.inst;
  e.left = inst.bbox_left, e.top = inst.bbox_top;
  e.right = inst.bbox_right, e.bottom = inst.bbox_bottom;
  e.large = CellCount(e.left, e.top, e.right, e.bottom) > kMaxFiledCells;
  if (e.large) {
    large_.push_back(slot);
    return;
  }
  ForEachCell(e, [&](std::vector<std::uint32_t>& bucket) { bucket.push_back(slot); });
}

void CollisionGrid::Unfile(std::uint32_t slot) {
  const Entry& e = entries_[slot];
  const auto drop = [&](std::vector<std::uint32_t>& v) {
    const auto it = std::find(v.begin(), v.end(), slot);
    if (it == v.end()) return;
    *it = v.back();
    v.pop_back();
  };
  if (e.large) {
    drop(large_);
    return;
  }
  ForEachCell(e, drop);
}

void CollisionGrid::FileAll() {
  for (auto& bucket : buckets_) bucket.clear();
  large_.clear();
  for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) File(slot);
}

void CollisionGrid::Restart(const CInstanceList& list) {
  listChanges_ = list.changes();
  log_.clear();
  for (const auto& inst : list.deactivated()) inst->grid = {};
  entries_.resize(list.size());
  for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
    CInstance& inst = list.at(slot);
    inst.grid = {.log = &log_, .slot = slot, .logged = false};
    entries_[slot].inst = &inst;
  }
  std::size_t buckets = 1024;
  while (buckets < entries_.size() * 2) buckets *= 2;
  buckets_.resize(buckets);
  mark_.assign(entries_.size(), 0);
  stamp_ = 0;
  FileAll();
}

void CollisionGrid::Update(const CInstanceList& list) {
  if (list.changes() != listChanges_) {
    Restart(list);
    return;
  }
  if (log_.empty()) return;
  // Many changes (every moving instance after the motion of a step): file
  // everything again, which is cheaper than moving each one.
  const bool all = log_.size() * 4 > entries_.size();
  for (CInstance* inst : log_) {
    inst->grid.logged = false;
    const std::uint32_t slot = inst->grid.slot;
    if (all || slot >= entries_.size() || entries_[slot].inst != inst) continue;
    Unfile(slot);
    File(slot);
  }
  log_.clear();
  if (all) FileAll();
}

std::span<CInstance* const> CollisionGrid::Near(const CInstanceList& list, std::int64_t left,
                                                std::int64_t top, std::int64_t right,
                                                std::int64_t bottom) {
  Update(list);
  result_.clear();
  if (CellCount(left, top, right, bottom) > kMaxQueryCells) {
    for (const Entry& e : entries_) result_.push_back(e.inst);
    return result_;
  }
  if (++stamp_ == 0) {
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  found_.clear();
  const auto take = [&](std::uint32_t slot) {
    if (mark_[slot] == stamp_) return;
    mark_[slot] = stamp_;
    const Entry& e = entries_[slot];
    if (e.left <= right && left <= e.right && e.top <= bottom && top <= e.bottom)
      found_.push_back(slot);
  };
  for (std::int64_t cy = Cell(top); cy <= Cell(bottom); ++cy)
    for (std::int64_t cx = Cell(left); cx <= Cell(right); ++cx)
      for (std::uint32_t slot : Bucket(cx, cy)) take(slot);
  for (std::uint32_t slot : large_) take(slot);
  std::sort(found_.begin(), found_.end());
  for (std::uint32_t slot : found_) result_.push_back(entries_[slot].inst);
  return result_;
}

}  // namespace px
