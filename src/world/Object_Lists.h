// The instance registry of the current room (the instance list, the exact
// and family lists per object, the deactivated list) and the event object
// lists: for each event kind and number, the objects that have it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "code/Variable_Main.h"
#include "resources/Event_Kind.h"
#include "world/Instance_Class.h"

namespace px {

struct GameResources;

class CInstanceList final : public InstanceLookup {
 public:
  // The active instances in order; the list owns them.
  std::span<const std::unique_ptr<CInstance>> active() const { return active_; }
  std::span<const std::unique_ptr<CInstance>> deactivated() const { return deactivated_; }
  std::size_t size() const { return active_.size(); }
  CInstance& at(std::size_t i) const { return *active_[i]; }

  // Instances of exactly this object, in list order (empty for an index
  // without instances).
  std::span<CInstance* const> exact(std::int32_t object) const { return ListOf(exact_, object); }
  // Instances of this object and of its descendants, in list order.
  std::span<CInstance* const> family(std::int32_t object) const { return ListOf(family_, object); }

  // Appends an instance to the list and to its exact and family lists.
  CInstance& Add(const GameResources& res, std::unique_ptr<CInstance> inst);
  // Moves marked active instances to the end of the deactivated list and
  // unmarked deactivated ones to the end of the instance list, in order.
  void ApplyDeactivation(const GameResources& res);
  // Frees the deleted instances, keeping order. True when any was removed.
  bool Purge(const GameResources& res);
  // Rebuilds the exact and family lists from the instance list.
  void RebuildObjectLists(const GameResources& res);
  // Frees every instance.
  void Clear();
  // Orders the instance list by depth, highest first, keeping the order of
  // equal depths; the exact and family lists follow. Nothing changes when
  // the list is in order already.
  void SortByDepth(const GameResources& res);

  // Counts changes of membership or order of the lists.
  std::uint64_t changes() const { return changes_; }

  // The active, not deleted instance with this id, or null.
  CInstance* find(std::int32_t id) const;

  // InstanceLookup: what game code sees.
  CInstanceBase* findInstance(std::int32_t id) override { return find(id); }
  CInstanceBase* nextInstance(std::int32_t target, std::size_t& cursor, std::size_t end) override;
  std::size_t walkEnd(std::int32_t target) override;

 private:
  void Enter(const GameResources& res, CInstance& inst);
  void RebuildIds();

  std::vector<std::unique_ptr<CInstance>> active_;
  std::vector<std::unique_ptr<CInstance>> deactivated_;
  static std::span<CInstance* const> ListOf(const std::vector<std::vector<CInstance*>>& lists,
                                            std::int32_t object) {
    if (object < 0 || static_cast<std::size_t>(object) >= lists.size()) return {};
    return lists[static_cast<std::size_t>(object)];
  }

  std::vector<std::vector<CInstance*>> exact_;
  std::vector<std::vector<CInstance*>> family_;
  // The active instance of each id; after a change of object the new
  // instance, which shares the old one's id.
  std::unordered_map<std::int32_t, CInstance*> byId_;
  std::uint64_t changes_ = 0;
};

class CEventLists {
 public:
  // Records, for every kind but collision and every number of its table,
  // the ascending objects that have the event (parents included), and the
  // ordered collision pairs.
  void Build(const GameResources& res);
  // The objects with this event; empty for numbers outside the table.
  std::span<const std::int32_t> objects(std::int32_t kind, std::int32_t number) const {
    if (kind < 0 || kind >= kEventKindCount || number < 0) return {};
    const auto& lists = lists_[static_cast<std::size_t>(kind)];
    if (static_cast<std::size_t>(number) >= lists.size()) return {};
    return lists[static_cast<std::size_t>(number)];
  }
  // Whether the object has this event (parents included): a binary search of
  // the event's list, cheaper than walking the object's parent chain.
  bool has(std::int32_t kind, std::int32_t number, std::int32_t object) const {
    const auto list = objects(kind, number);
    return std::binary_search(list.begin(), list.end(), object);
  }
  std::span<const std::pair<std::int32_t, std::int32_t>> collisionPairs() const {
    return collisions_;
  }

 private:
  std::array<std::vector<std::vector<std::int32_t>>, kEventKindCount> lists_;
  std::vector<std::pair<std::int32_t, std::int32_t>> collisions_;
};

// The length of a kind's table of numbers for the event object lists.
std::int32_t EventNumberCount(const GameResources& res, std::int32_t kind);

}  // namespace px
