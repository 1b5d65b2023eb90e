#include "run/Run_Room.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "run/Event_Action.h"
#include "run/Event_Main.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Run_SaveGame.h"
#include "run/Run_Transition.h"
#include "run/Runner_Extensions.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr auto kOtherKind = static_cast<std::int32_t>(EventKind::Other);
constexpr auto kCreate = static_cast<std::int32_t>(EventKind::Create);

void Fatal(Runtime& rt, const std::string& message) {
  RuntimeError(rt, message, true);
  rt.pendingChange = kPendingAbort;
}

// The position of a room in the room order, or -1.
std::ptrdiff_t OrderPosition(const Runtime& rt, std::int32_t room) {
  const auto& order = rt.resources.roomOrder;
  const auto it = std::find(order.begin(), order.end(), room);
  return it == order.end() ? -1 : it - order.begin();
}

// Compiles and runs a creation code for self = other = inst; failures are
// reported under `place` and the room goes on starting.
void RunCreationCode(Runtime& rt, CInstance& inst, const std::string& text,
                     const std::string& place) {
  CCode code(text, false);
  if (!code.Compile(rt)) {
    ReportError(rt, "COMPILATION ERROR in " + place + "\r" + rt.code.error.message, false);
    rt.code.error.pending = false;
    return;
  }
  RValue result;
  if (!ExecuteCode(rt, &inst, &inst, code, result)) {
    ReportError(rt, "EXECUTION ERROR in " + place + "\r" + rt.code.error.message, false);
    rt.code.error.pending = false;
  }
}

// A new live room from the resource: its fields and tiles, and an
// instance for each placed one (with its id and creation code).
std::unique_ptr<LiveRoom> MakeLiveRoom(Runtime& rt, std::int32_t room) {
  auto live = std::make_unique<LiveRoom>();
  if (const CRoom* resource = rt.resources.rooms.get(room)) live->data = *resource;
  for (const RRoomInstance& placed : live->data.instances) {
    auto inst =
        std::make_unique<CInstance>(rt.resources, placed.id, placed.object, placed.x, placed.y);
    inst->creation_code = placed.creation_code;
    rt.world.instances.Add(rt.resources, std::move(inst));
  }
  // The placed instances live in the world now; the copy keeps no list.
  live->data.instances.clear();
  return live;
}

// Puts the carried persistent instances into the room: each replaces a
// room instance with its id and uses up an id of its own; no event runs.
void PutCarriedInstances(Runtime& rt) {
  CInstanceList& list = rt.world.instances;
  for (std::unique_ptr<CInstance>& copy : rt.rooms.carryOver) {
    for (const auto& inst : list.active())
      if (inst->id == copy->id) inst->deleted = true;
    ++rt.world.lastInstanceId;
    list.Add(rt.resources, std::move(copy));
  }
  rt.rooms.carryOver.clear();
}

// Creation code, then create event, instance by instance, for the first
// `count` instances (those that came with the room).
void StartRoomInstances(Runtime& rt, std::size_t count, const std::string& roomName) {
  CInstanceList& list = rt.world.instances;
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    CInstance& inst = list.at(i);
    if (inst.deleted) continue;
    if (!inst.creation_code.empty()) {
      const std::string text = inst.creation_code;
      RunCreationCode(
          rt, inst, text,
          "creation code for instance " + std::to_string(inst.id) + " in room " + roomName);
    }
    PerformEvent(rt, &inst, &inst, kCreate, 0);
  }
}

// Takes the persistent instances out of the room as free copies.
void TakePersistentInstances(Runtime& rt) {
  rt.rooms.carryOver.clear();
  for (const auto& inst : rt.world.instances.active()) {
    if (inst->deleted || !inst->persistent) continue;
    auto copy =
        std::make_unique<CInstance>(rt.resources, inst->id, inst->object_index, inst->x, inst->y);
    copy->CopyFrom(*inst);
    rt.rooms.carryOver.push_back(std::move(copy));
    inst->deleted = true;
  }
}

void RunEventsWithoutPending(Runtime& rt, bool gameEnds) {
  const PendingChange saved = rt.pendingChange;
  rt.pendingChange = kNoPendingChange;
  PerformEventAll(rt, kOtherKind, kEvRoomEnd);
  if (gameEnds) PerformEventAll(rt, kOtherKind, kEvGameEnd);
  rt.pendingChange = saved;
  // A fatal error in these events still ends the game.
  if (rt.code.report.aborting) rt.pendingChange = kPendingAbort;
}

}  // namespace

LiveRoom* CurrentLiveRoom(Runtime& rt) {
  return rt.rooms.current;
}

std::int32_t PreviousRoom(const Runtime& rt, std::int32_t room) {
  if (!rt.resources.rooms.exists(room)) return -1;
  const std::ptrdiff_t pos = OrderPosition(rt, room);
  return pos > 0 ? rt.resources.roomOrder[static_cast<std::size_t>(pos - 1)] : -1;
}

std::int32_t NextRoom(const Runtime& rt, std::int32_t room) {
  if (!rt.resources.rooms.exists(room)) return -1;
  const std::ptrdiff_t pos = OrderPosition(rt, room);
  const auto& order = rt.resources.roomOrder;
  if (pos < 0 || static_cast<std::size_t>(pos) + 1 >= order.size()) return -1;
  return order[static_cast<std::size_t>(pos + 1)];
}

void RequestRoom(Runtime& rt, std::int32_t room) {
  rt.pendingChange = PendingChange::Room(room);
  if (!rt.resources.rooms.exists(room))
    Fatal(rt, "Unexisting room number: " + std::to_string(room));
}

void RequestPreviousRoom(Runtime& rt) {
  const auto& order = rt.resources.roomOrder;
  if (!order.empty() && rt.rooms.index == order.front()) {
    Fatal(rt, "Moving to previous room before the first room.");
    return;
  }
  RequestRoom(rt, PreviousRoom(rt, rt.rooms.index));
}

void RequestNextRoom(Runtime& rt) {
  const auto& order = rt.resources.roomOrder;
  if (!order.empty() && rt.rooms.index == order.back()) {
    Fatal(rt, "Moving to next room after the last room.");
    return;
  }
  RequestRoom(rt, NextRoom(rt, rt.rooms.index));
}

void RequestRoomRestart(Runtime& rt) {
  RequestRoom(rt, rt.rooms.index);
}

void RequestGameEnd(Runtime& rt) {
  rt.pendingChange = kPendingEnd;
}

void RequestGameRestart(Runtime& rt) {
  rt.pendingChange = kPendingRestart;
}

void RoomEnd(Runtime& rt, bool gameEnds) {
  if (!gameEnds) CaptureTransition(rt);
  rt.world.instances.Purge(rt.resources);
  RunEventsWithoutPending(rt, gameEnds);
  TakePersistentInstances(rt);
  LiveRoom* live = rt.rooms.current;
  if (!live) return;
  if (live->data.persistent) {
    live->keptInstances = std::move(rt.world.instances);
    rt.world.instances = CInstanceList();
  } else {
    rt.world.instances.Clear();
    const auto slot = static_cast<std::size_t>(rt.rooms.index);
    if (slot < rt.rooms.live.size()) rt.rooms.live[slot].reset();
  }
  rt.rooms.current = nullptr;
}

void RoomStart(Runtime& rt, std::int32_t room, bool gameStarts) {
  rt.pendingChange = kNoPendingChange;
  rt.particles.effects.DestroySystems();
  const auto slot = static_cast<std::size_t>(room);
  if (rt.rooms.live.size() <= slot) rt.rooms.live.resize(slot + 1);
  rt.rooms.index = room;
  std::unique_ptr<LiveRoom>& live = rt.rooms.live[slot];
  const bool kept = live != nullptr;
  rt.world.instances.Clear();
  if (kept) {
    rt.world.instances = std::move(live->keptInstances);
    live->keptInstances = CInstanceList();
  } else {
    live = MakeLiveRoom(rt, room);
  }
  rt.rooms.current = live.get();
  SizeGameArea(rt);
  if (gameStarts && rt.display.hasWindow()) rt.display.SetVisible(true);

  const std::size_t roomInstances = rt.world.instances.size();
  PutCarriedInstances(rt);
  const std::string roomName = rt.resources.rooms.name(room);
  if (!kept) StartRoomInstances(rt, roomInstances, roomName);
  rt.rooms.carryOver.clear();
  if (gameStarts) PerformEventAll(rt, kOtherKind, kEvGameStart);
  const std::string roomCode = rt.rooms.current ? rt.rooms.current->data.creation_code : "";
  if (!kept && !roomCode.empty()) {
    CInstance temporary(rt.resources, 0, 0, 0, 0);
    RunCreationCode(rt, temporary, roomCode, "creation code of room " + roomName);
  }
  PerformEventAll(rt, kOtherKind, kEvRoomStart);
  // The room is drawn and shown before its first step, so that the first
  // step sees views followed, the list in depth order and draw events run;
  // a transition captured at the room's end plays into it.
  if (ChangePending(rt) || !rt.display.automaticDraw) {
    DropTransition(rt);
    return;
  }
  DrawRoom(rt);
  if (TransitionCaptured(rt)) {
    PlayTransition(rt);
    rt.display.device.BeginFrame();
  } else {
    ShowFrame(rt);
  }
  rt.rooms.transitionKind = 0;
}

bool GameStart(Runtime& rt) {
  rt.world.instances.Clear();
  rt.world.eventLists.Build(rt.resources);
  ResetGlobalVariables(rt.vars);
  rt.world.score = 0;
  rt.world.lives = -1;
  rt.rooms.transitionKind = 0;
  // Surfaces of the game before a restart go with it.
  DropTransition(rt);
  rt.display.surfaces.FreeAll();
  ResetCaption(rt.rooms);
  rt.random.SeedFromClock(rt.platform);
  rt.particles.Reset();
  if (!RunLibraryInitCode(rt)) return false;
  if (!RunExtensionInitFunctions(rt)) return false;
  rt.display.SetCursor(rt.settings.showCursor ? 0 : -1);
  rt.rooms.live.clear();
  rt.rooms.live.resize(static_cast<std::size_t>(std::max(0, rt.resources.rooms.count())));
  rt.rooms.current = nullptr;
  rt.rooms.carryOver.clear();
  const auto& order = rt.resources.roomOrder;
  const std::int32_t first = order.empty() ? -1 : order.front();
  if (!rt.resources.rooms.exists(first)) {
    ReportError(rt, "Unexisting room number: " + std::to_string(first), true);
    rt.pendingChange = kPendingAbort;
    return false;
  }
  RoomStart(rt, first, true);
  return true;
}

void GameEnd(Runtime& rt) {
  RoomEnd(rt, true);
  rt.world.instances.Clear();
  rt.rooms.live.clear();
  rt.rooms.current = nullptr;
  if (RunExtensionFinalFunctions(rt)) rt.display.SetCursor(0);
}

bool CarryOutPendingChange(Runtime& rt) {
  const PendingChange pending = rt.pendingChange;
  switch (pending.kind()) {
    case PendingChange::Kind::None:
      return true;
    case PendingChange::Kind::End:
    case PendingChange::Kind::Abort:
      GameEnd(rt);
      return false;
    case PendingChange::Kind::Load:
      rt.pendingChange = kNoPendingChange;
      ClearInput(rt.input);
      LoadGame(rt, rt.rooms.loadFile);
      return true;
    case PendingChange::Kind::Restart:
      GameEnd(rt);
      rt.pendingChange = kNoPendingChange;
      if (GameStart(rt)) return true;
      GameEnd(rt);
      return false;
    case PendingChange::Kind::Room:
      RoomEnd(rt, false);
      if (rt.pendingChange == kPendingAbort) {
        GameEnd(rt);
        return false;
      }
      RoomStart(rt, pending.room(), false);
      return true;
  }
  return true;
}

void SizeGameArea(Runtime& rt) {
  const CRoom* room = CurrentRoomData(rt);
  if (!room) return;
  std::int64_t w = room->width;
  std::int64_t h = room->height;
  if (room->views_enabled) {
    w = 8;
    h = 8;
    // Ports far out (from game code or a saved game) must not overflow.
    for (const CView& v : room->views) {
      if (!v.visible) continue;
      w = std::max(w, std::int64_t{v.xport} + v.wport);
      h = std::max(h, std::int64_t{v.yport} + v.hport);
    }
  }
  const auto toInt = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  };
  rt.display.AdaptRegionToRoom(toInt(w), toInt(h));
}

}  // namespace px
