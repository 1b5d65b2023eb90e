#include "run/Event_Main.h"

#include <memory>
#include <string>

#include "code/Code_Error.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Action.h"
#include "run/Event_Raise.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

void StartWorld(Runtime& rt) {
  rt.world.instances.Clear();
  rt.world.eventLists.Build(rt.resources);
  rt.world.lastInstanceId = rt.resources.lastInstanceId;
}

bool ChangePending(const Runtime& rt) {
  return rt.pendingChange.pending();
}

void RunEvent(Runtime& rt, CInstance* self, CInstance* other, const RFoundEvent& found,
              std::int32_t kind, std::int32_t number) {
  const CurrentEvent saved = rt.event;
  rt.event.object = found.holder;
  rt.event.type = kind;
  rt.event.number = number;
  RunActions(rt, self, other, *found.event);
  const std::int32_t lastAction = rt.event.action;
  rt.event = saved;
  rt.event.action = lastAction;
}

void PerformObjectEvent(Runtime& rt, CInstance* self, CInstance* other, std::int32_t object,
                        std::int32_t kind, std::int32_t number) {
  if (!self || ChangePending(rt)) return;
  const RFoundEvent found = FindEvent(rt.resources, object, kind, number);
  if (found) RunEvent(rt, self, other, found, kind, number);
}

void PerformEvent(Runtime& rt, CInstance* self, CInstance* other, std::int32_t kind,
                  std::int32_t number) {
  if (!self) return;
  PerformObjectEvent(rt, self, other, self->object_index, kind, number);
}

void PerformInherited(Runtime& rt, CInstance* self, CInstance* other) {
  if (rt.event.type == kTimeLineEvent) return;
  const CObject* holder = rt.resources.objects.get(rt.event.object);
  if (!holder || !rt.resources.objects.exists(holder->parent)) return;
  PerformObjectEvent(rt, self, other, holder->parent, rt.event.type, rt.event.number);
}

void PerformEventAll(Runtime& rt, std::int32_t kind, std::int32_t number) {
  CInstanceList& list = rt.world.instances;
  const std::size_t count = list.size();
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    if (ChangePending(rt)) return;
    CInstance& inst = list.at(i);
    if (!inst.deleted) PerformEvent(rt, &inst, &inst, kind, number);
  }
}

void RaiseEvent(Runtime& rt, std::int32_t kind, std::int32_t number) {
  RaiseEventWhere(rt, kind, number, [](const CInstance&) { return true; });
}

// ---- Instances ----

CInstance& CreateInstance(Runtime& rt, std::int32_t object, double x, double y) {
  const std::int32_t id = ++rt.world.lastInstanceId;
  return rt.world.instances.Add(rt.resources,
                                std::make_unique<CInstance>(rt.resources, id, object, x, y));
}

CInstance* CreateInstanceWithEvent(Runtime& rt, std::int32_t object, double x, double y) {
  if (!rt.resources.objects.exists(object)) {
    RuntimeError(rt, "Creating instance for non-existing object: " + std::to_string(object));
    return nullptr;
  }
  CInstance& inst = CreateInstance(rt, object, x, y);
  PerformEvent(rt, &inst, &inst, static_cast<std::int32_t>(EventKind::Create), 0);
  return &inst;
}

void DestroyInstance(Runtime& rt, CInstance& inst) {
  if (!inst.destroying) {
    inst.destroying = true;
    PerformEvent(rt, &inst, &inst, static_cast<std::int32_t>(EventKind::Destroy), 0);
    inst.destroying = false;
  }
  inst.deleted = true;
}

CInstance& ChangeInstance(Runtime& rt, CInstance& inst, std::int32_t object, bool performEvents) {
  if (performEvents)
    PerformEvent(rt, &inst, &inst, static_cast<std::int32_t>(EventKind::Destroy), 0);
  // The change uses up an id although the new instance keeps the old one.
  auto changed =
      std::make_unique<CInstance>(rt.resources, ++rt.world.lastInstanceId, object, inst.x, inst.y);
  changed->CopyFrom(inst);
  changed->SetObject(rt.resources, object);
  changed->deleted = false;
  inst.deleted = true;
  CInstance& added = rt.world.instances.Add(rt.resources, std::move(changed));
  if (performEvents)
    PerformEvent(rt, &added, &added, static_cast<std::int32_t>(EventKind::Create), 0);
  return added;
}

CInstance& CopyInstance(Runtime& rt, CInstance& inst, bool performEvent) {
  const std::int32_t id = ++rt.world.lastInstanceId;
  auto copy = std::make_unique<CInstance>(rt.resources, id, inst.object_index, inst.x, inst.y);
  copy->CopyFrom(inst);
  copy->id = id;
  CInstance& added = rt.world.instances.Add(rt.resources, std::move(copy));
  if (performEvent)
    PerformEvent(rt, &added, &added, static_cast<std::int32_t>(EventKind::Create), 0);
  return added;
}

}  // namespace px
