// The multiplayer state of one run: the connection and its kind, the
// session and the local player, the lists of found sessions and players,
// the queue of received messages, the message last taken, and the shared
// data array that every write copies to all players. Failures show only in
// the results (false, "", 0); nothing here reports an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "multiplayer/Multiplayer_Message.h"
#include "multiplayer/Multiplayer_Queue.h"
#include "platform/Platform_Network.h"

namespace px {

enum class ConnectionKind : std::int32_t { None = 0, Ipx = 1, Tcpip = 2, Modem = 3, Serial = 4 };
enum class SessionStatus : std::int32_t { None = 0, Host = 1, Joined = 2 };

// How a function names a player: by id or by name.
struct PlayerRef {
  std::int32_t id = 0;
  std::optional<std::string> name;
};

struct MultiplayerState {
  // `application` is the game's identifier: sessions of other games are
  // neither found nor joined.
  MultiplayerState(std::shared_ptr<Network> network, NetGuid application);
  ~MultiplayerState();
  MultiplayerState(const MultiplayerState&) = delete;
  MultiplayerState& operator=(const MultiplayerState&) = delete;

  // A TCP/IP connection; the address is a host name or IP address,
  // optionally followed by ":" and a port number. False when already
  // connected or the address cannot be used.
  bool initTcpip(std::string_view address);
  // Ends the session if any and drops the connection.
  void end();

  bool connected() const { return connection_ != nullptr; }
  bool inSession() const { return connected() && sessionStatus != SessionStatus::None; }

  bool createSession(const std::string& name, std::int32_t maxPlayers,
                     const std::string& playerName);
  // The number of sessions of this game found; 0 when not connected.
  std::size_t findSessions();
  std::string sessionName(std::int64_t n) const;
  bool joinSession(std::int64_t n, const std::string& playerName);
  void endSession();

  // Refreshes the player list (the local player first); 0 when not in a
  // session.
  std::size_t findPlayers();
  std::string playerName(std::int64_t n) const;
  std::int32_t playerId(std::int64_t n) const;

  bool writeData(std::int64_t index, const RValue& value);
  RValue readData(std::int64_t index);

  bool sendMessage(const PlayerRef& to, std::int32_t id, const RValue& value, bool guaranteed);
  bool receiveMessage(const PlayerRef& from);
  std::size_t countMessages(std::int32_t player);
  void clearMessages(std::int32_t player);
  // The name of the sender of the current message in a fresh player list;
  // "(unknown)" when not there.
  std::string currentMessageName();

  // Moves every payload that arrived into the queue or the shared data.
  void fetch();

  ConnectionKind connectionKind = ConnectionKind::None;
  SessionStatus sessionStatus = SessionStatus::None;
  bool migrateHost = false;
  bool guaranteedData = true;
  MpMessage currentMessage;
  // Received payloads that were not a well-formed message, or wrote shared
  // data outside its indices: dropped unread.
  std::size_t droppedPayloads = 0;

 private:
  bool openLocalPlayer(const std::string& name);
  bool send(NetPlayerId to, const MpMessage& m, bool guaranteed);
  void store(MpMessage m);
  // The player id a name or number stands for; nothing for an unknown name.
  std::optional<std::int32_t> resolve(const PlayerRef& ref);

  std::shared_ptr<Network> network_;
  NetGuid application_;
  std::unique_ptr<NetworkConnection> connection_;
  NetPlayerId localPlayerId_ = 0;
  std::string localPlayerName_;
  std::vector<NetSessionInfo> sessions_;
  std::vector<NetPlayer> players_;
  MessageQueue queue_;
  std::vector<RValue> sharedData_;
};

// The port of a TCP/IP address: the text after its first ":" (at most 99
// characters) as a decimal number from 0 to 65535. Nothing when there is no
// ":"; an empty optional inside when the text is not such a number.
struct SplitAddress {
  std::string host;
  bool hasPort = false;
  std::optional<std::uint16_t> port;
};
SplitAddress SplitTcpipAddress(std::string_view address);

}  // namespace px
