#include "world/Object_Lists.h"

#include <algorithm>

#include "resources/Resource_Chunks.h"
#include "world/Object_Parents.h"
#include "world/World.h"

namespace px {

namespace {

template <class List>
void GrowTo(List& lists, std::int32_t object) {
  if (object >= 0 && static_cast<std::size_t>(object) >= lists.size())
    lists.resize(static_cast<std::size_t>(object) + 1);
}

}  // namespace

// ---- The instance registry ----

void CInstanceList::Enter(const GameResources& res, CInstance& inst) {
  const std::int32_t own = inst.object_index;
  if (own < 0) return;
  GrowTo(exact_, own);
  exact_[static_cast<std::size_t>(own)].push_back(&inst);
  // The object's own family list takes the instance even when the object
  // no longer exists; the ancestors' lists follow the parent chain.
  GrowTo(family_, own);
  family_[static_cast<std::size_t>(own)].push_back(&inst);
  ForEachInChain(res, own, [&](std::int32_t o, const CObject&) {
    if (o == own) return;
    GrowTo(family_, o);
    family_[static_cast<std::size_t>(o)].push_back(&inst);
  });
}

CInstance& CInstanceList::Add(const GameResources& res, std::unique_ptr<CInstance> inst) {
  CInstance& added = *inst;
  ++changes_;
  active_.push_back(std::move(inst));
  byId_[added.id] = &added;
  Enter(res, added);
  return added;
}

void CInstanceList::RebuildObjectLists(const GameResources& res) {
  ++changes_;
  for (auto& list : exact_) list.clear();
  for (auto& list : family_) list.clear();
  for (const auto& inst : active_) Enter(res, *inst);
}

void CInstanceList::RebuildIds() {
  byId_.clear();
  // Later entries win: after a change of object the new instance is last.
  for (const auto& inst : active_) byId_[inst->id] = inst.get();
}

void CInstanceList::ApplyDeactivation(const GameResources& res) {
  std::vector<std::unique_ptr<CInstance>> stay;
  std::vector<std::unique_ptr<CInstance>> rest;
  bool moved = false;
  for (auto& inst : active_) {
    moved |= inst->deactivated;
    (inst->deactivated ? deactivated_ : stay).push_back(std::move(inst));
  }
  // The newly deactivated ones, now at the end, keep their mark and stay.
  for (auto& inst : deactivated_) {
    if (inst->deactivated) {
      rest.push_back(std::move(inst));
    } else {
      moved = true;
      stay.push_back(std::move(inst));
    }
  }
  active_ = std::move(stay);
  deactivated_ = std::move(rest);
  if (!moved) return;
  RebuildIds();
  RebuildObjectLists(res);
}

bool CInstanceList::Purge(const GameResources& res) {
  const auto gone = std::remove_if(active_.begin(), active_.end(),
                                   [](const std::unique_ptr<CInstance>& i) { return i->deleted; });
  if (gone == active_.end()) return false;
  active_.erase(gone, active_.end());
  RebuildIds();
  RebuildObjectLists(res);
  return true;
}

void CInstanceList::Clear() {
  ++changes_;
  exact_.clear();
  family_.clear();
  byId_.clear();
  active_.clear();
  deactivated_.clear();
}

CInstance* CInstanceList::find(std::int32_t id) const {
  const auto it = byId_.find(id);
  if (it == byId_.end() || it->second->deleted) return nullptr;
  return it->second;
}

CInstanceBase* CInstanceList::nextInstance(std::int32_t target, std::size_t& cursor,
                                           std::size_t end) {
  if (target == kAll) {
    end = std::min(end, active_.size());
    while (cursor < end) {
      CInstance* inst = active_[cursor++].get();
      if (!inst->deleted) return inst;
    }
    return nullptr;
  }
  const auto list = family(target);
  end = std::min(end, list.size());
  while (cursor < end) {
    CInstance* inst = list[cursor++];
    if (!inst->deleted) return inst;
  }
  return nullptr;
}

std::size_t CInstanceList::walkEnd(std::int32_t target) {
  return target == kAll ? active_.size() : family(target).size();
}

// ---- The event object lists ----

std::int32_t EventNumberCount(const GameResources& res, std::int32_t kind) {
  switch (static_cast<EventKind>(kind)) {
    case EventKind::Create:
    case EventKind::Destroy:
    case EventKind::Draw:
      return 1;
    case EventKind::Alarm:
      return 13;
    case EventKind::Step:
      return 17;
    case EventKind::Keyboard:
    case EventKind::Mouse:
    case EventKind::Other:
    case EventKind::KeyPress:
    case EventKind::KeyRelease:
      return 129;
    case EventKind::Trigger:
      return res.triggers.count();
    case EventKind::Collision:
      break;
  }
  return 0;
}

void CEventLists::Build(const GameResources& res) {
  for (std::int32_t kind = 0; kind < kEventKindCount; ++kind) {
    auto& lists = lists_[static_cast<std::size_t>(kind)];
    lists.assign(static_cast<std::size_t>(EventNumberCount(res, kind)), {});
  }
  collisions_.clear();
  const std::int32_t count = res.objects.count();
  std::vector<std::pair<std::int32_t, std::int32_t>> present;
  std::vector<std::int32_t> colliding;
  for (std::int32_t o = 0; o < count; ++o) {
    if (!res.objects.exists(o)) continue;
    // Every (kind, number) stored with actions along the chain, each once.
    present.clear();
    bool collides = false;
    ForEachInChain(res, o, [&](std::int32_t, const CObject& obj) {
      for (std::int32_t kind = 0; kind < kEventKindCount; ++kind) {
        for (const RNumberedEvent& e : obj.events[static_cast<std::size_t>(kind)]) {
          if (e.event.empty()) continue;
          if (kind == static_cast<std::int32_t>(EventKind::Collision)) {
            collides = true;
          } else if (e.number >= 0 && e.number < EventNumberCount(res, kind)) {
            present.emplace_back(kind, e.number);
          }
        }
      }
    });
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    for (const auto& [kind, number] : present)
      lists_[static_cast<std::size_t>(kind)][static_cast<std::size_t>(number)].push_back(o);
    if (collides) colliding.push_back(o);
  }
  // Pairs a <= b where either has a collision event with the other.
  constexpr auto kCollision = static_cast<std::int32_t>(EventKind::Collision);
  for (std::int32_t a = 0; a < count; ++a) {
    if (!res.objects.exists(a)) continue;
    const bool aCollides = std::binary_search(colliding.begin(), colliding.end(), a);
    for (std::int32_t b = a; b < count; ++b) {
      if (!res.objects.exists(b)) continue;
      const bool bCollides = std::binary_search(colliding.begin(), colliding.end(), b);
      if ((aCollides && HasEvent(res, a, kCollision, b)) ||
          (bCollides && HasEvent(res, b, kCollision, a)))
        collisions_.emplace_back(a, b);
    }
  }
}

void CInstanceList::SortByDepth(const GameResources& res) {
  const auto deeper = [](const std::unique_ptr<CInstance>& a, const std::unique_ptr<CInstance>& b) {
    return a->depth > b->depth;
  };
  if (std::is_sorted(active_.begin(), active_.end(), deeper)) return;
  // Insertion sort: stable, and cheap on a list that is nearly in order.
  for (std::size_t i = 1; i < active_.size(); ++i) {
    for (std::size_t j = i; j > 0 && deeper(active_[j], active_[j - 1]); --j)
      std::swap(active_[j], active_[j - 1]);
  }
  RebuildObjectLists(res);
}

}  // namespace px
