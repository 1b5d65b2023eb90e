// Sessions over real ENet sockets on 127.0.0.1: finding, joining, messages
// to one player and to all, shared data, a player leaving, the host leaving
// with and without migration, and stray datagrams sent to a host's port.
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "multiplayer/Multiplayer_State.h"

namespace {

using namespace px;
using namespace std::chrono_literals;

constexpr NetGuid kGame{7, 7, 7};

// A port of its own for each test process, so parallel runs do not meet.
std::uint16_t TestPort(int offset) {
  return static_cast<std::uint16_t>(20000 + (getpid() * 7 + offset) % 30000);
}

bool Eventually(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

struct Player {
  MultiplayerState mp{MakeEnetNetwork(), kGame};
  explicit Player(std::uint16_t port) {
    EXPECT_TRUE(mp.initTcpip("127.0.0.1:" + std::to_string(port)));
  }
  void join(const std::string& name) {
    ASSERT_EQ(mp.findSessions(), 1u);
    EXPECT_EQ(mp.sessionName(0), "Room");
    ASSERT_TRUE(mp.joinSession(0, name));
  }
  std::int32_t id() {
    mp.findPlayers();
    return mp.playerId(0);
  }
  // Every queued message as "id value from name".
  std::vector<std::string> takeAll() {
    std::vector<std::string> got;
    while (mp.receiveMessage({0, std::nullopt})) {
      const RValue& v = mp.currentMessage.value;
      got.push_back(std::to_string(mp.currentMessage.id) + " " +
                    (v.isString() ? v.str() : std::to_string(v.real)) + " from " +
                    mp.currentMessageName());
    }
    return got;
  }
  bool awaitMessages(std::size_t n) {
    return Eventually([&] { return mp.countMessages(0) >= n; });
  }
  bool awaitPlayers(std::size_t n) {
    return Eventually([&] { return mp.findPlayers() == n; });
  }
};

void SendDatagrams(std::uint16_t port, const std::vector<std::vector<std::uint8_t>>& datagrams) {
  const ENetSocket s = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
  ASSERT_NE(s, ENET_SOCKET_NULL);
  ENetAddress to{};
  enet_address_set_host_ip(&to, "127.0.0.1");
  to.port = port;
  for (const auto& d : datagrams) {
    ENetBuffer b;
    b.data = const_cast<std::uint8_t*>(d.data());
    b.dataLength = d.size();
    enet_socket_send(s, &to, &b, 1);
  }
  enet_socket_destroy(s);
}

// Connects to the host as a peer that has not joined as a player and sends
// the frames as they are.
void SendFrames(std::uint16_t port, const std::vector<std::vector<std::uint8_t>>& frames) {
  ENetHost* client = enet_host_create(nullptr, 1, 2, 0, 0);
  ASSERT_NE(client, nullptr);
  ENetAddress to{};
  enet_address_set_host_ip(&to, "127.0.0.1");
  to.port = port;
  ENetPeer* peer = enet_host_connect(client, &to, 2, 0);
  ENetEvent event{};
  bool connected = false;
  for (int i = 0; i < 200 && !connected; ++i) {
    connected = enet_host_service(client, &event, 10) > 0 && event.type == ENET_EVENT_TYPE_CONNECT;
  }
  EXPECT_TRUE(connected);
  for (const auto& f : frames) {
    enet_peer_send(peer, 0, enet_packet_create(f.data(), f.size(), ENET_PACKET_FLAG_RELIABLE));
  }
  enet_host_flush(client);
  for (int i = 0; i < 20; ++i) {
    if (enet_host_service(client, &event, 5) > 0 && event.type == ENET_EVENT_TYPE_RECEIVE) {
      enet_packet_destroy(event.packet);
    }
  }
  enet_peer_disconnect_now(peer, 0);
  enet_host_destroy(client);
}

std::vector<std::uint8_t> Le32(std::vector<std::uint8_t> head, std::uint32_t v) {
  for (int s = 0; s < 32; s += 8) head.push_back(static_cast<std::uint8_t>(v >> s));
  return head;
}

TEST(MultiplayerEnet, PlayersFindJoinAndExchangeMessagesAndData) {
  const std::uint16_t port = TestPort(0);
  Player ann(port);
  ASSERT_TRUE(ann.mp.createSession("Room", 0, "Ann"));
  Player bob(port);
  bob.join("Bob");
  ASSERT_TRUE(ann.awaitPlayers(2));
  const std::int32_t annId = ann.id();
  const std::int32_t bobId = bob.id();

  ASSERT_TRUE(bob.mp.sendMessage({annId, std::nullopt}, 1, RValue::FromString("hello"), true));
  ASSERT_TRUE(bob.mp.sendMessage({0, std::nullopt}, 2, RValue::FromReal(2.5), false));
  ASSERT_TRUE(ann.mp.sendMessage({0, "Bob"}, 3, RValue::FromString(std::string(40000, 'x')), true));
  ASSERT_TRUE(ann.mp.writeData(9, RValue::FromString("shared")));
  ASSERT_TRUE(ann.awaitMessages(2));
  EXPECT_EQ(ann.takeAll(), (std::vector<std::string>{"1 hello from Bob", "2 2.500000 from Bob"}));
  ASSERT_TRUE(bob.awaitMessages(1));
  ASSERT_TRUE(bob.mp.receiveMessage({annId, std::nullopt}));
  EXPECT_EQ(bob.mp.currentMessage.value.str(), std::string(32000, 'x'));
  EXPECT_TRUE(Eventually([&] { return bob.mp.readData(9) == RValue::FromString("shared"); }));

  // Datagrams that are not ours, and queries that do not fit, change nothing.
  SendDatagrams(port, {{},
                       {0xFF, 0xFF, 0xFF},
                       {'P', 'X', 'S', 'Q', 1, 2, 3},
                       std::vector<std::uint8_t>(1400, 0xAB),
                       {0x80, 0x00, 0x12, 0x34, 0x06, 0x00, 0x00, 0x00}});

  // A peer that never joined as a player: its frames, even a message that
  // claims to come from Bob, have no effect.
  std::vector<std::uint8_t> spoofed = Le32(Le32({6}, static_cast<std::uint32_t>(bobId)), 0);
  const auto message = EncodeMessage(MpMessage{0, true, 5, RValue::FromReal(5)});
  spoofed.insert(spoofed.end(), message.begin(), message.end());
  SendFrames(port, {{0x63}, {}, spoofed, {1, 2, 3}, Le32({4}, 99), Le32({5}, annId), {7}});

  // A third player joins, is seen, sends to all and leaves.
  Player cid(port);
  cid.join("Cid");
  ASSERT_TRUE(ann.awaitPlayers(3));
  ASSERT_TRUE(bob.awaitPlayers(3));
  ASSERT_TRUE(cid.mp.sendMessage({0, std::nullopt}, 4, RValue::FromReal(4), true));
  ASSERT_TRUE(bob.awaitMessages(1));
  EXPECT_EQ(bob.takeAll(), std::vector<std::string>{"4 4.000000 from Cid"});
  cid.mp.endSession();
  EXPECT_TRUE(ann.awaitPlayers(2));
  EXPECT_TRUE(bob.awaitPlayers(2));
  ASSERT_TRUE(ann.awaitMessages(1));
  EXPECT_EQ(ann.takeAll(), std::vector<std::string>{"4 4.000000 from (unknown)"});
  EXPECT_EQ(ann.mp.droppedPayloads + bob.mp.droppedPayloads, 0u);
  EXPECT_EQ(bobId, bob.id());
}

TEST(MultiplayerEnet, AHostLeavingEndsTheSessionUnlessItMigrates) {
  for (const bool migrate : {false, true}) {
    SCOPED_TRACE(migrate);
    const std::uint16_t port = TestPort(migrate ? 2 : 1);
    auto host = std::make_unique<Player>(port);
    host->mp.migrateHost = migrate;
    ASSERT_TRUE(host->mp.createSession("Room", 0, "Ann"));
    Player bob(port);
    bob.join("Bob");
    Player cid(port);
    cid.join("Cid");
    ASSERT_TRUE(bob.awaitPlayers(3));
    ASSERT_TRUE(cid.awaitPlayers(3));
    host->mp.end();
    host.reset();
    if (!migrate) {
      EXPECT_TRUE(bob.awaitPlayers(1));
      EXPECT_FALSE(bob.mp.sendMessage({0, std::nullopt}, 1, RValue::FromReal(1), true));
      continue;
    }
    ASSERT_TRUE(bob.awaitPlayers(2));
    ASSERT_TRUE(cid.awaitPlayers(2));
    // Bob hosts now; messages go both ways once Cid is back in.
    const std::int32_t bobId = bob.id();
    ASSERT_TRUE(Eventually([&] {
      cid.mp.sendMessage({bobId, std::nullopt}, 5, RValue::FromReal(5), true);
      return bob.mp.countMessages(0) > 0;
    }));
    EXPECT_EQ(bob.takeAll().front(), "5 5.000000 from Cid");
    ASSERT_TRUE(bob.mp.sendMessage({0, std::nullopt}, 6, RValue::FromString("on"), true));
    ASSERT_TRUE(cid.awaitMessages(1));
    EXPECT_EQ(cid.takeAll(), std::vector<std::string>{"6 on from Bob"});
  }
}

}  // namespace
