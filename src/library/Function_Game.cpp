// Script functions that change rooms, end or restart the game and save or
// load it, and the actions built on them.
#include "library/Function_Game.h"

#include "code/Code_Value.h"
#include "library/Function_Support.h"
#include "run/Run_Room.h"
#include "run/Run_SaveGame.h"
#include "run/Runtime.h"

namespace px {

namespace {

void RoomGoto(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  RequestRoom(rt, IntArg(args[0]));
}

void RoomGotoPrevious(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs&) {
  RequestPreviousRoom(rt);
}

void RoomGotoNext(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs&) {
  RequestNextRoom(rt);
}

void RoomRestart(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                 const FunctionArgs&) {
  RequestRoomRestart(rt);
}

void RoomPreviousOf(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  result.setReal(PreviousRoom(rt, IntArg(args[0])));
}

void RoomNextOf(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  result.setReal(NextRoom(rt, IntArg(args[0])));
}

void GameEndRequest(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs&) {
  RequestGameEnd(rt);
}

void GameRestartRequest(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                        const FunctionArgs&) {
  RequestGameRestart(rt);
}

// ---- Saved games ----

void GameSave(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  SaveGame(rt, args[0].str());
}

void GameLoad(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  RequestGameLoad(rt, args[0].str());
}

// ---- Actions ----

void ActionAnotherRoom(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                       const FunctionArgs& args) {
  rt.rooms.transitionKind = IntArg(args[1]);
  RequestRoom(rt, IntArg(args[0]));
}

// The transition kind, then the request.
template <void (*Request)(Runtime&)>
void ActionRoomWithTransition(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                              const FunctionArgs& args) {
  rt.rooms.transitionKind = IntArg(args[0]);
  Request(rt);
}

void ActionIfPreviousRoom(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                          const FunctionArgs&) {
  const auto& order = rt.resources.roomOrder;
  result.setReal(Truth(order.empty() || rt.rooms.index != order.front()));
}

void ActionIfNextRoom(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs&) {
  const auto& order = rt.resources.roomOrder;
  result.setReal(Truth(order.empty() || rt.rooms.index != order.back()));
}

constexpr FunctionDef kGameFunctions[] = {
    {"room_goto", RoomGoto},
    {"room_goto_previous", RoomGotoPrevious},
    {"room_goto_next", RoomGotoNext},
    {"room_restart", RoomRestart},
    {"room_previous", RoomPreviousOf},
    {"room_next", RoomNextOf},
    {"game_end", GameEndRequest},
    {"game_restart", GameRestartRequest},
    {"game_save", GameSave},
    {"game_load", GameLoad},
    {"action_another_room", ActionAnotherRoom},
    {"action_current_room", ActionRoomWithTransition<RequestRoomRestart>},
    {"action_previous_room", ActionRoomWithTransition<RequestPreviousRoom>},
    {"action_next_room", ActionRoomWithTransition<RequestNextRoom>},
    {"action_if_previous_room", ActionIfPreviousRoom},
    {"action_if_next_room", ActionIfNextRoom},
    {"action_end_game", GameEndRequest},
    {"action_restart_game", GameRestartRequest},
    {"action_save_game", GameSave},
    {"action_load_game", GameLoad},
};

}  // namespace

std::span<const FunctionDef> GameFunctions() {
  return kGameFunctions;
}

}  // namespace px
