// What an instance keeps for the collision grid: where to note that its
// bounding box changed, and its place in the instance list when the grid
// last looked.
#pragma once

#include <cstdint>
#include <vector>

namespace px {

class CInstance;

struct GridLink {
  // The grid's log of changed instances; null while no grid knows the
  // instance.
  std::vector<CInstance*>* log = nullptr;
  // The instance's index in the instance list.
  std::uint32_t slot = 0;
  // Already in the log.
  bool logged = false;

  void NoteChange(CInstance* self) {
    if (!log || logged) return;
    logged = true;
    log->push_back(self);
  }
};

}  // namespace px
