// The mplay_ functions: arguments converted and handed to the multiplayer
// state. None of them reports an error; failures show in the result only.
#include "library/Function_Multiplayer.h"

#include "library/Function_Support.h"
#include "multiplayer/Multiplayer_State.h"
#include "run/Runtime.h"

namespace px {

MultiplayerState& Multiplayer(Runtime& rt) {
  if (!rt.multiplayer) {
    rt.multiplayer = MakeOwnedState<MultiplayerState>(std::shared_ptr<Network>(MakeEnetNetwork()),
                                                      rt.flags.gameGuid);
  }
  return *rt.multiplayer;
}

namespace {

#define PX_MPLAY_HANDLER(name)                                                          \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] const FunctionArgs& args)

// A player named by id or, in a string, by name.
PlayerRef PlayerArg(const RValue& v) {
  if (v.isString()) return {0, v.str()};
  return {IntArg(v), std::nullopt};
}

// IPX, modem and serial links do not exist here: the connection cannot be
// made, as when the link is missing.
PX_MPLAY_HANDLER(InitUnavailable) {
  result.setReal(0);
}

PX_MPLAY_HANDLER(InitTcpip) {
  result.setReal(Truth(Multiplayer(rt).initTcpip(args[0].str())));
}

PX_MPLAY_HANDLER(ConnectStatus) {
  result.setReal(static_cast<double>(Multiplayer(rt).connectionKind));
}

PX_MPLAY_HANDLER(End) {
  Multiplayer(rt).end();
}

PX_MPLAY_HANDLER(SessionMode) {
  Multiplayer(rt).migrateHost = IntArg(args[0]) != 0;
}

PX_MPLAY_HANDLER(SessionCreate) {
  result.setReal(
      Truth(Multiplayer(rt).createSession(args[0].str(), IntArg(args[1]), args[2].str())));
}

PX_MPLAY_HANDLER(SessionFind) {
  result.setReal(static_cast<double>(Multiplayer(rt).findSessions()));
}

PX_MPLAY_HANDLER(SessionName) {
  result.setString(Multiplayer(rt).sessionName(RealToCount(args[0].real)));
}

PX_MPLAY_HANDLER(SessionJoin) {
  result.setReal(Truth(Multiplayer(rt).joinSession(RealToCount(args[0].real), args[1].str())));
}

PX_MPLAY_HANDLER(SessionStatus) {
  result.setReal(static_cast<double>(Multiplayer(rt).sessionStatus));
}

PX_MPLAY_HANDLER(SessionEnd) {
  Multiplayer(rt).endSession();
}

PX_MPLAY_HANDLER(PlayerFind) {
  result.setReal(static_cast<double>(Multiplayer(rt).findPlayers()));
}

PX_MPLAY_HANDLER(PlayerName) {
  result.setString(Multiplayer(rt).playerName(RealToCount(args[0].real)));
}

PX_MPLAY_HANDLER(PlayerId) {
  result.setReal(Multiplayer(rt).playerId(RealToCount(args[0].real)));
}

PX_MPLAY_HANDLER(DataWrite) {
  result.setReal(Truth(Multiplayer(rt).writeData(RealToCount(args[0].real), args[1])));
}

PX_MPLAY_HANDLER(DataRead) {
  result = Multiplayer(rt).readData(RealToCount(args[0].real));
}

PX_MPLAY_HANDLER(DataMode) {
  Multiplayer(rt).guaranteedData = IntArg(args[0]) != 0;
}

template <bool Guaranteed>
PX_MPLAY_HANDLER(MessageSend) {
  result.setReal(
      Truth(Multiplayer(rt).sendMessage(PlayerArg(args[0]), IntArg(args[1]), args[2], Guaranteed)));
}

PX_MPLAY_HANDLER(MessageReceive) {
  result.setReal(Truth(Multiplayer(rt).receiveMessage(PlayerArg(args[0]))));
}

PX_MPLAY_HANDLER(MessageId) {
  result.setReal(Multiplayer(rt).currentMessage.id);
}

PX_MPLAY_HANDLER(MessageValue) {
  result = Multiplayer(rt).currentMessage.value;
}

PX_MPLAY_HANDLER(MessagePlayer) {
  result.setReal(Multiplayer(rt).currentMessage.player);
}

PX_MPLAY_HANDLER(MessageName) {
  result.setString(Multiplayer(rt).currentMessageName());
}

PX_MPLAY_HANDLER(MessageCount) {
  result.setReal(static_cast<double>(Multiplayer(rt).countMessages(IntArg(args[0]))));
}

PX_MPLAY_HANDLER(MessageClear) {
  Multiplayer(rt).clearMessages(IntArg(args[0]));
}

PX_MPLAY_HANDLER(IpAddress) {
  result.setString(LocalIpAddress());
}

#undef PX_MPLAY_HANDLER

constexpr FunctionDef kMultiplayerFunctions[] = {
    {"mplay_init_ipx", InitUnavailable},
    {"mplay_init_tcpip", InitTcpip},
    {"mplay_init_modem", InitUnavailable},
    {"mplay_init_serial", InitUnavailable},
    {"mplay_connect_status", ConnectStatus},
    {"mplay_end", End},
    {"mplay_session_mode", SessionMode},
    {"mplay_session_create", SessionCreate},
    {"mplay_session_find", SessionFind},
    {"mplay_session_name", SessionName},
    {"mplay_session_join", SessionJoin},
    {"mplay_session_status", SessionStatus},
    {"mplay_session_end", SessionEnd},
    {"mplay_player_find", PlayerFind},
    {"mplay_player_name", PlayerName},
    {"mplay_player_id", PlayerId},
    {"mplay_data_write", DataWrite},
    {"mplay_data_read", DataRead},
    {"mplay_data_mode", DataMode},
    {"mplay_message_send", MessageSend<false>},
    {"mplay_message_send_guaranteed", MessageSend<true>},
    {"mplay_message_receive", MessageReceive},
    {"mplay_message_id", MessageId},
    {"mplay_message_value", MessageValue},
    {"mplay_message_player", MessagePlayer},
    {"mplay_message_name", MessageName},
    {"mplay_message_count", MessageCount},
    {"mplay_message_clear", MessageClear},
    {"mplay_ipaddress", IpAddress},
};

}  // namespace

std::span<const FunctionDef> MultiplayerFunctions() {
  return kMultiplayerFunctions;
}

}  // namespace px
