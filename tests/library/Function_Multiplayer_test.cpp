// The mplay_ functions of three runs in one process that meet on an
// in-process network: their results when not connected, connections,
// sessions, players, messages, shared data, players leaving and the host
// leaving with and without migration.
#include "library/Function_Multiplayer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "code/Function_TestSupport.h"
#include "multiplayer/Multiplayer_State.h"
#include "platform/Platform_NetworkLoopback.h"
#include "run/Runtime.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;
using pxtest::TestRun;

constexpr NetGuid kGame{1, 2, 3};
constexpr NetGuid kOtherGame{9};

void UseNetwork(TestRun& run, std::shared_ptr<Network> network, NetGuid game = kGame) {
  run.rt.multiplayer = MakeOwnedState<MultiplayerState>(std::move(network), game);
}

// A network that remembers the addresses it was asked for.
class RecordingNetwork : public Network {
 public:
  std::vector<std::pair<std::string, std::optional<std::uint16_t>>> asked;
  std::unique_ptr<NetworkConnection> connectTcpip(const std::string& host,
                                                  std::optional<std::uint16_t> port) override {
    asked.emplace_back(host, port);
    return loopback_.connectTcpip(host, port);
  }

 private:
  LoopbackNetwork loopback_;
};

// Three runs on one network, each connected over TCP/IP.
struct Table {
  std::shared_ptr<Network> network = std::make_shared<LoopbackNetwork>();
  TestRun a, b, c;
  Table() {
    for (TestRun* r : {&a, &b, &c}) {
      UseNetwork(*r, network);
      EXPECT_EQ(Call(*r, "mplay_init_tcpip", {Str("")}), Real(1));
    }
  }
  // a hosts "Room" as Ann; b joins as Bob and c as Cid.
  void seat(double migrate = 0) {
    Call(a, "mplay_session_mode", {Real(migrate)});
    ASSERT_EQ(Call(a, "mplay_session_create", {Str("Room"), Real(0), Str("Ann")}), Real(1));
    for (auto [run, name] : {std::pair{&b, "Bob"}, {&c, "Cid"}}) {
      ASSERT_EQ(Call(*run, "mplay_session_find"), Real(1));
      ASSERT_EQ(Call(*run, "mplay_session_join", {Real(0), Str(name)}), Real(1));
    }
  }
  static double Id(TestRun& run) {
    Call(run, "mplay_player_find");
    return Call(run, "mplay_player_id", {Real(0)}).real;
  }
};

// What the last receive took, as one text.
std::string Taken(TestRun& run) {
  const RValue v = Call(run, "mplay_message_value");
  return std::to_string(static_cast<int>(Call(run, "mplay_message_id").real)) + " " +
         (v.isString() ? "\"" + v.str() + "\"" : std::to_string(v.real)) + " from " +
         Call(run, "mplay_message_name").str();
}

TEST(MultiplayerFunctions, WithoutConnectionOrSessionEverythingAnswersNothing) {
  TestRun run;
  auto network = std::make_shared<LoopbackNetwork>();
  UseNetwork(run, network);
  struct Case {
    const char* name;
    std::vector<RValue> args;
    RValue result;
  };
  const std::vector<Case> noSession = {
      {"mplay_session_status", {}, Real(0)},
      {"mplay_player_find", {}, Real(0)},
      {"mplay_player_name", {Real(0)}, Str("")},
      {"mplay_player_id", {Real(0)}, Real(0)},
      {"mplay_data_write", {Real(1), Real(5)}, Real(0)},
      {"mplay_data_read", {Real(1)}, Real(0)},
      {"mplay_message_send", {Real(0), Real(1), Real(1)}, Real(0)},
      {"mplay_message_send_guaranteed", {Str("Ann"), Real(1), Real(1)}, Real(0)},
      {"mplay_message_receive", {Real(0)}, Real(0)},
      {"mplay_message_count", {Real(0)}, Real(0)},
      {"mplay_message_clear", {Real(0)}, Real(0)},
      {"mplay_message_id", {}, Real(0)},
      {"mplay_message_value", {}, Real(0)},
      {"mplay_message_player", {}, Real(0)},
      {"mplay_message_name", {}, Str("(unknown)")},
      {"mplay_session_end", {}, Real(0)},
  };
  std::vector<Case> notConnected = noSession;
  notConnected.insert(
      notConnected.end(),
      {
          {"mplay_connect_status", {}, Real(0)},
          {"mplay_session_find", {}, Real(0)},
          {"mplay_session_name", {Real(0)}, Str("")},
          {"mplay_session_join", {Real(0), Str("Ann")}, Real(0)},
          {"mplay_session_create", {Str("Room"), Real(0), Str("Ann")}, Real(0)},
          // No IPX, modem or serial link can be made here.
          {"mplay_init_ipx", {}, Real(0)},
          {"mplay_init_modem", {Str(""), Str("555 1234")}, Real(0)},
          {"mplay_init_serial", {Real(1), Real(9600), Real(0), Real(0), Real(0)}, Real(0)},
          {"mplay_connect_status", {}, Real(0)},
          {"mplay_end", {}, Real(0)},
      });
  auto check = [&](const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(pxtest::CallWith(run, c.name, c.args), c.result) << c.name;
    }
  };
  check(notConnected);
  // Connected, with a session of this game open elsewhere, but not in it.
  TestRun host;
  UseNetwork(host, network);
  Call(host, "mplay_init_tcpip", {Str("")});
  Call(host, "mplay_session_create", {Str("Room"), Real(0), Str("Ann")});
  ASSERT_EQ(Call(run, "mplay_init_tcpip", {Str("")}), Real(1));
  check(noSession);
  EXPECT_EQ(Call(run, "mplay_session_find"), Real(1));
  // None of this is an error.
  EXPECT_EQ(run.out.str(), "");
}

TEST(MultiplayerFunctions, TcpipAddressesNameTheHostAndThePort) {
  TestRun run;
  auto network = std::make_shared<RecordingNetwork>();
  UseNetwork(run, network);
  struct Case {
    const char* address;
    double result;
  };
  const Case cases[] = {
      {"", 1},      {"192.168.1.20", 1}, {"example.net:2302", 1}, {"h:0", 1}, {"h:", 0},
      {"h:23x", 0}, {"h:-1", 0},         {"h:65536", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Call(run, "mplay_init_tcpip", {Str(c.address)}), Real(c.result)) << c.address;
    EXPECT_EQ(Call(run, "mplay_connect_status"), Real(c.result * 2)) << c.address;
    // A second connection is refused while one is open.
    EXPECT_EQ(Call(run, "mplay_init_tcpip", {Str("")}), Real(c.result == 0)) << c.address;
    Call(run, "mplay_end");
    EXPECT_EQ(Call(run, "mplay_connect_status"), Real(0));
  }
  using Asked = std::pair<std::string, std::optional<std::uint16_t>>;
  const std::vector<Asked> expected = {
      {"", std::nullopt},
      {"192.168.1.20", std::nullopt},
      {"example.net", 2302},
      {"h", 0},
      // The failed addresses ask nothing; the connection after each does.
      {"", std::nullopt},
      {"", std::nullopt},
      {"", std::nullopt},
      {"", std::nullopt},
  };
  EXPECT_EQ(network->asked, expected);
}

TEST(MultiplayerFunctions, SessionsOfTheGameAreFoundJoinedAndListed) {
  Table t;
  TestRun stranger;
  UseNetwork(stranger, t.network, kOtherGame);
  Call(stranger, "mplay_init_tcpip", {Str("")});

  EXPECT_EQ(Call(t.b, "mplay_session_find"), Real(0));
  ASSERT_EQ(Call(t.a, "mplay_session_create", {Str("Room"), Real(2), Str("Ann")}), Real(1));
  EXPECT_EQ(Call(t.a, "mplay_session_create", {Str("Again"), Real(0), Str("Ann")}), Real(0));
  EXPECT_EQ(Call(stranger, "mplay_session_find"), Real(0));
  ASSERT_EQ(Call(t.b, "mplay_session_find"), Real(1));
  EXPECT_EQ(Call(t.b, "mplay_session_name", {Real(0)}), Str("Room"));
  EXPECT_EQ(Call(t.b, "mplay_session_name", {Real(1)}), Str(""));
  EXPECT_EQ(Call(t.b, "mplay_session_join", {Real(1), Str("Bob")}), Real(0));
  EXPECT_EQ(Call(t.b, "mplay_session_join", {Real(-0.4), Str("Bob")}), Real(1));
  EXPECT_EQ(Call(t.a, "mplay_session_status"), Real(1));
  EXPECT_EQ(Call(t.b, "mplay_session_status"), Real(2));

  // Each list starts with the local player.
  EXPECT_EQ(Call(t.a, "mplay_player_find"), Real(2));
  EXPECT_EQ(Call(t.a, "mplay_player_name", {Real(0)}), Str("Ann"));
  EXPECT_EQ(Call(t.a, "mplay_player_name", {Real(1)}), Str("Bob"));
  EXPECT_EQ(Call(t.a, "mplay_player_name", {Real(2)}), Str(""));
  EXPECT_EQ(Call(t.a, "mplay_player_id", {Real(2)}), Real(0));
  EXPECT_EQ(Call(t.b, "mplay_player_find"), Real(2));
  EXPECT_EQ(Call(t.b, "mplay_player_name", {Real(0)}), Str("Bob"));
  EXPECT_EQ(Call(t.b, "mplay_player_id", {Real(1)}), Call(t.a, "mplay_player_id", {Real(0)}));
  EXPECT_GT(Call(t.a, "mplay_player_id", {Real(0)}).real, 0);
  EXPECT_NE(Call(t.a, "mplay_player_id", {Real(0)}), Call(t.a, "mplay_player_id", {Real(1)}));

  // Two players fill the session: it is no longer offered.
  EXPECT_EQ(Call(t.c, "mplay_session_find"), Real(0));
  // The list found last stays after the session ends.
  Call(t.b, "mplay_session_end");
  EXPECT_EQ(Call(t.b, "mplay_session_status"), Real(0));
  EXPECT_EQ(Call(t.b, "mplay_session_name", {Real(0)}), Str("Room"));
  EXPECT_EQ(Call(t.b, "mplay_player_name", {Real(0)}), Str("Bob"));
}

TEST(MultiplayerFunctions, MessagesReachOnePlayerOrAllOthers) {
  Table t;
  t.seat();
  const double ann = Table::Id(t.a);
  const double bob = Table::Id(t.b);
  EXPECT_EQ(Call(t.a, "mplay_message_send_guaranteed", {Real(bob), Real(1), Str("to bob")}),
            Real(1));
  EXPECT_EQ(Call(t.a, "mplay_message_send", {Real(0), Real(2), Real(2.5)}), Real(1));
  EXPECT_EQ(Call(t.a, "mplay_message_send", {Str("Cid"), Real(3), Str("to cid")}), Real(1));
  EXPECT_EQ(Call(t.c, "mplay_message_send", {Str("Ann"), Real(4), Real(-4)}), Real(1));
  EXPECT_EQ(Call(t.b, "mplay_message_send", {Real(0), Real(5), Real(5)}), Real(1));
  // Unknown names and ids send nothing.
  EXPECT_EQ(Call(t.a, "mplay_message_send", {Str("ann"), Real(6), Real(6)}), Real(0));
  EXPECT_EQ(Call(t.a, "mplay_message_send", {Real(-3), Real(6), Real(6)}), Real(0));
  EXPECT_EQ(Call(t.a, "mplay_message_send", {Real(9999), Real(6), Real(6)}), Real(0));

  auto all = [](TestRun& run, const RValue& from) {
    std::vector<std::string> got;
    while (pxtest::CallWith(run, "mplay_message_receive", {{from}}).real == 1) {
      got.push_back(Taken(run));
    }
    return got;
  };
  EXPECT_EQ(Call(t.b, "mplay_message_count", {Real(0)}), Real(2));
  EXPECT_EQ(Call(t.b, "mplay_message_count", {Real(ann)}), Real(2));
  EXPECT_EQ(Call(t.b, "mplay_message_count", {Real(-1)}), Real(0));
  EXPECT_EQ(all(t.b, Real(-1)), std::vector<std::string>{});
  EXPECT_EQ(all(t.b, Real(0)),
            (std::vector<std::string>{"1 \"to bob\" from Ann", "2 2.500000 from Ann"}));
  EXPECT_EQ(Call(t.b, "mplay_message_player"), Real(ann));
  // The sender of a broadcast does not get it back.
  EXPECT_EQ(all(t.a, Real(0)),
            (std::vector<std::string>{"4 -4.000000 from Cid", "5 5.000000 from Bob"}));
  // Taken by name, the others stay; a name nobody has takes nothing.
  EXPECT_EQ(all(t.c, Str("Nobody")), std::vector<std::string>{});
  EXPECT_EQ(all(t.c, Str("Bob")), std::vector<std::string>{"5 5.000000 from Bob"});
  EXPECT_EQ(Call(t.c, "mplay_message_count", {Real(0)}), Real(2));
  Call(t.c, "mplay_message_clear", {Real(ann)});
  EXPECT_EQ(Call(t.c, "mplay_message_count", {Real(0)}), Real(0));
}

TEST(MultiplayerFunctions, SharedDataIsCopiedToEveryPlayer) {
  Table t;
  t.seat();
  EXPECT_EQ(Call(t.a, "mplay_data_write", {Real(5), Str("five")}), Real(1));
  EXPECT_EQ(Call(t.b, "mplay_data_write", {Real(1000000), Real(7)}), Real(1));
  for (TestRun* r : {&t.a, &t.b, &t.c}) {
    EXPECT_EQ(Call(*r, "mplay_data_read", {Real(5)}), Str("five"));
    EXPECT_EQ(Call(*r, "mplay_data_read", {Real(1000000)}), Real(7));
    EXPECT_EQ(Call(*r, "mplay_data_read", {Real(4)}), Real(0));
  }
  struct Case {
    double index;
    double result;
  };
  for (const Case& c : {Case{-1, 0}, {1000001, 0}, {2000000, 0}, {4294967301.0, 0}, {4.5, 1}}) {
    EXPECT_EQ(Call(t.a, "mplay_data_write", {Real(c.index), Real(1)}), Real(c.result)) << c.index;
    EXPECT_EQ(Call(t.c, "mplay_data_read", {Real(c.index)}), Real(c.result)) << c.index;
  }
  // Writes take the delivery the data mode chose; the mode rounds.
  MultiplayerState& mp = Multiplayer(t.a.rt);
  for (const auto& [mode, guaranteed] : {std::pair{0.5, false}, {-1.0, true}, {0.0, false}}) {
    Call(t.a, "mplay_data_mode", {Real(mode)});
    EXPECT_EQ(mp.guaranteedData, guaranteed) << mode;
  }
  Call(t.a, "mplay_session_mode", {Real(0.5)});
  EXPECT_FALSE(mp.migrateHost);
  Call(t.a, "mplay_session_mode", {Real(1.5)});
  EXPECT_TRUE(mp.migrateHost);
}

TEST(MultiplayerFunctions, PlayersWhoLeaveAreGoneFromTheLists) {
  Table t;
  t.seat();
  const double cid = Table::Id(t.c);
  Call(t.c, "mplay_message_send", {Real(0), Real(8), Str("bye")});
  Call(t.c, "mplay_session_end");
  EXPECT_EQ(Call(t.a, "mplay_player_find"), Real(2));
  EXPECT_EQ(Call(t.b, "mplay_player_find"), Real(2));
  // Its message is still there, from a sender now unknown.
  ASSERT_EQ(Call(t.a, "mplay_message_receive", {Real(cid)}), Real(1));
  EXPECT_EQ(Call(t.a, "mplay_message_value"), Str("bye"));
  EXPECT_EQ(Call(t.a, "mplay_message_name"), Str("(unknown)"));
  EXPECT_EQ(Call(t.b, "mplay_message_send", {Real(cid), Real(1), Real(1)}), Real(0));
}

TEST(MultiplayerFunctions, AHostLeavingEndsTheSessionUnlessItMigrates) {
  for (const double migrate : {0.0, 1.0}) {
    SCOPED_TRACE(migrate);
    Table t;
    t.seat(migrate);
    const double cid = Table::Id(t.c);
    ASSERT_EQ(Call(t.b, "mplay_data_write", {Real(5), Real(1)}), Real(1));
    Call(t.a, "mplay_end");
    const double alive = migrate;
    EXPECT_EQ(Call(t.b, "mplay_player_find"), Real(1 + alive));
    EXPECT_EQ(Call(t.b, "mplay_message_send", {Real(cid), Real(1), Real(1)}), Real(alive));
    EXPECT_EQ(Call(t.c, "mplay_message_count", {Real(0)}), Real(alive));
    // A write that cannot be sent leaves the value as it was.
    EXPECT_EQ(Call(t.b, "mplay_data_write", {Real(5), Real(2)}), Real(alive));
    EXPECT_EQ(Call(t.b, "mplay_data_read", {Real(5)}), Real(1 + alive));
    // The others stay in their session until they end it.
    EXPECT_EQ(Call(t.b, "mplay_session_status"), Real(2));
    EXPECT_EQ(Call(t.c, "mplay_session_find"), Real(alive));
  }
}

TEST(MultiplayerFunctions, PayloadsThatAreNotMessagesAreDropped) {
  Table t;
  ASSERT_EQ(Call(t.a, "mplay_session_create", {Str("Room"), Real(0), Str("Ann")}), Real(1));
  const auto raw = t.network->connectTcpip("", std::nullopt);
  const auto sessions = raw->findSessions(kGame);
  ASSERT_EQ(sessions.size(), 1u);
  ASSERT_TRUE(raw->joinSession(kGame, sessions[0]));
  const auto id = raw->createPlayer("Eve");
  ASSERT_TRUE(id);
  const std::vector<std::vector<std::uint8_t>> bad = {
      {},
      {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {1, 1, 0, 0, 0, 1, 200, 0, 0, 0, 'a'},
      // A shared data write to index 2,000,000.
      EncodeMessage(MpMessage{0, false, 2000000, RValue::FromReal(1)}),
  };
  for (const auto& bytes : bad) ASSERT_TRUE(raw->send(*id, 0, true, bytes));
  ASSERT_TRUE(raw->send(*id, 0, true, EncodeMessage(MpMessage{0, true, 3, RValue::FromReal(9)})));
  EXPECT_EQ(Call(t.a, "mplay_message_count", {Real(0)}), Real(1));
  EXPECT_EQ(Multiplayer(t.a.rt).droppedPayloads, bad.size());
  ASSERT_EQ(Call(t.a, "mplay_message_receive", {Real(0)}), Real(1));
  EXPECT_EQ(Taken(t.a), "3 9.000000 from Eve");
}

TEST(MultiplayerFunctions, LocalAddressIsDottedDecimal) {
  TestRun run;
  const std::string address = Call(run, "mplay_ipaddress").str();
  if (!address.empty()) {
    EXPECT_TRUE(std::regex_match(address, std::regex(R"(\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3})")))
        << address;
  }
}

}  // namespace
