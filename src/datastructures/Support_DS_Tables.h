// The handle tables of the containers: one per kind, so a stack and a list
// may share a handle number.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <queue>
#include <vector>

#include "datastructures/Support_DS_Grid.h"
#include "datastructures/Support_DS_Map.h"
#include "datastructures/Support_Data_Structures.h"

namespace px {

// Slots of containers. A new container takes the lowest empty slot, or a
// new slot at the end; destroying empties the slot, which is given out
// again, and the number of slots never shrinks.
template <class T>
class CDSTable {
 public:
  std::int32_t add(std::unique_ptr<T> item) {
    if (!free_.empty()) {
      const std::int32_t handle = free_.top();
      free_.pop();
      slots_[static_cast<std::size_t>(handle)] = std::move(item);
      return handle;
    }
    slots_.push_back(std::move(item));
    return static_cast<std::int32_t>(slots_.size() - 1);
  }
  // Null for a handle that names no container.
  T* find(std::int64_t handle) const {
    if (handle < 0 || static_cast<std::uint64_t>(handle) >= slots_.size()) return nullptr;
    return slots_[static_cast<std::size_t>(handle)].get();
  }
  bool destroy(std::int64_t handle) {
    if (!find(handle)) return false;
    slots_[static_cast<std::size_t>(handle)].reset();
    free_.push(static_cast<std::int32_t>(handle));
    return true;
  }
  std::size_t slotCount() const { return slots_.size(); }

 private:
  std::vector<std::unique_ptr<T>> slots_;
  // The empty slots, lowest on top.
  std::priority_queue<std::int32_t, std::vector<std::int32_t>, std::greater<>> free_;
};

// Every container of a run and the precision of the comparison rule. They
// last the whole run: restarting or loading a game leaves them alone.
struct DataStructures {
  ElementOrder order;
  CDSTable<CDS_Stack> stacks;
  CDSTable<CDS_Queue> queues;
  CDSTable<CDS_List> lists;
  CDSTable<CDS_Map> maps;
  CDSTable<CDS_Priority> priorities;
  CDSTable<CDS_Grid> grids;
};

}  // namespace px
