// The collision grid: a spatial hash of the active instances' bounding
// boxes, so that a collision test looks only at the instances near the
// place it tests instead of at every instance.
//
// It follows the instances lazily. An instance notes in the grid's log when
// its box changes (a push onto a vector, once until the grid has looked);
// a change of the instance list's membership or order makes the grid start
// again. Both are applied at the next query, so moving instances costs
// nothing until something asks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "world/Instance_Class.h"

namespace px {

class CInstanceList;

class CollisionGrid {
 public:
  // The active instances whose boxes meet left..right × top..bottom
  // (inclusive; possibly a few more), in instance-list order. Afterwards
  // every active instance's grid.slot is its index in the list. The span
  // lives until the next call.
  std::span<CInstance* const> Near(const CInstanceList& list, std::int64_t left, std::int64_t top,
                                   std::int64_t right, std::int64_t bottom);

 private:
  struct Entry {
    CInstance* inst = nullptr;
    // The box the instance is filed under.
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool large = false;
  };

  void Update(const CInstanceList& list);
  void Restart(const CInstanceList& list);
  void FileAll();
  void File(std::uint32_t slot);
  void Unfile(std::uint32_t slot);
  template <class F>
  void ForEachCell(const Entry& e, F&& f);
  std::vector<std::uint32_t>& Bucket(std::int64_t cx, std::int64_t cy);

  std::vector<Entry> entries_;
  std::vector<std::vector<std::uint32_t>> buckets_;
  // Slots of boxes too large to file cell by cell: always looked at.
  std::vector<std::uint32_t> large_;
  std::vector<CInstance*> log_;
  std::uint64_t listChanges_ = ~std::uint64_t{0};
  // Query scratch: a visit mark per slot, the slots found, their instances.
  std::vector<std::uint32_t> mark_;
  std::uint32_t stamp_ = 0;
  std::vector<std::uint32_t> found_;
  std::vector<CInstance*> result_;
};

}  // namespace px
