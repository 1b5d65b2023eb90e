#include "world/World.h"

#include "resources/Resource_Chunks.h"

namespace px {

namespace {

constexpr auto kCollision = static_cast<std::int32_t>(EventKind::Collision);

// The first object along o's chain that holds the event with actions.
RFoundEvent FindInChain(const GameResources& res, std::int32_t object, std::int32_t kind,
                        std::int32_t number) {
  std::int32_t o = object;
  for (int guard = res.objects.count(); guard >= 0; --guard) {
    const CObject* obj = res.objects.get(o);
    if (!obj) break;
    const CEvent* e = obj->event(kind, number);
    if (e && !e->empty()) return {e, o};
    o = obj->parent;
  }
  return {};
}

}  // namespace

RFoundEvent FindEvent(const GameResources& res, std::int32_t object, std::int32_t kind,
                      std::int32_t number) {
  if (kind < 0 || kind >= kEventKindCount || number < 0) return {};
  if (RFoundEvent found = FindInChain(res, object, kind, number)) return found;
  if (kind != kCollision) return {};
  // Collision events written for the other object's ancestors.
  const CObject* other = res.objects.get(number);
  for (int guard = res.objects.count(); other && guard >= 0; --guard) {
    const std::int32_t p = other->parent;
    other = res.objects.get(p);
    if (!other) break;
    if (RFoundEvent found = FindInChain(res, object, kind, p)) return found;
  }
  return {};
}

}  // namespace px
