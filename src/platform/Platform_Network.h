// The network service behind multiplayer games: a connection finds, creates
// and joins sessions, creates the local player, lists the remote players,
// and carries payloads between players with or without guaranteed delivery.
// Two implementations: ENet over UDP with discovery on the local network,
// and an in-process loopback hub on which several runs in one process play
// together deterministically.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace px {

// A 16-byte identifier: of a game (its sessions only meet its own) or of
// one session.
using NetGuid = std::array<std::uint8_t, 16>;

// A player id; 0 means all players when sending and the session itself
// (joins, leaves, the end of the session) when receiving.
using NetPlayerId = std::uint32_t;

struct NetSessionDesc {
  NetGuid application{};
  std::string name;
  // 0: no limit.
  int maxPlayers = 0;
  // Whether the host role moves to another player when the host leaves.
  bool migrateHost = false;
};

struct NetSessionInfo {
  NetGuid instance{};
  std::string name;
};

struct NetPlayer {
  NetPlayerId id = 0;
  std::string name;
};

struct NetPacket {
  NetPlayerId from = 0;
  std::vector<std::uint8_t> bytes;
};

// One connection. Every call is made from the game thread; none waits on a
// slow peer longer than a short, fixed time.
class NetworkConnection {
 public:
  virtual ~NetworkConnection() = default;

  // Opens a new session with this connection as its host.
  virtual bool createSession(const NetSessionDesc& desc) = 0;
  // The sessions of the application that still take players.
  virtual std::vector<NetSessionInfo> findSessions(const NetGuid& application) = 0;
  // Joins a session returned by the last findSessions.
  virtual bool joinSession(const NetGuid& application, const NetSessionInfo& session) = 0;
  // Creates the local player in the open session.
  virtual std::optional<NetPlayerId> createPlayer(const std::string& name) = 0;
  // The players of the session other than the local ones.
  virtual std::vector<NetPlayer> remotePlayers() = 0;
  // Sends a payload to a player or, with `to` 0, to every player but the
  // sender; false when the session or the addressee is gone.
  virtual bool send(NetPlayerId from, NetPlayerId to, bool guaranteed,
                    std::span<const std::uint8_t> payload) = 0;
  // The oldest payload that arrived for a local player, if any.
  virtual std::optional<NetPacket> receive() = 0;
  // Leaves the session (a host without migration ends it for everybody).
  virtual void closeSession() = 0;
};

// Makes connections.
class Network {
 public:
  virtual ~Network() = default;
  // A connection over TCP/IP: host names the machine to ask for sessions
  // (empty: every machine of the local network); port is the port sessions
  // are found and played on (none: the default port).
  virtual std::unique_ptr<NetworkConnection> connectTcpip(const std::string& host,
                                                          std::optional<std::uint16_t> port) = 0;
};

// The port sessions are found and played on when no port is named.
inline constexpr std::uint16_t kDefaultSessionPort = 6502;

// ENet over UDP: sessions are found by a datagram sent to the session port
// (broadcast when no host is named) that hosts answer; the host relays the
// players' payloads. The network runs on a thread of its own per connection.
std::unique_ptr<Network> MakeEnetNetwork();

// The local computer's IPv4 address as dotted decimal text; "" on failure.
std::string LocalIpAddress();

}  // namespace px
