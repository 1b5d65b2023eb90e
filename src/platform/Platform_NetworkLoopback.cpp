#include "platform/Platform_NetworkLoopback.h"

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

namespace px {

namespace {

class LoopbackConnection;

struct LoopbackPlayer {
  NetPlayerId id = 0;
  std::string name;
  LoopbackConnection* owner = nullptr;
};

struct LoopbackSession {
  NetSessionDesc desc;
  NetSessionInfo info;
  LoopbackConnection* host = nullptr;
  std::vector<LoopbackPlayer> players;
  bool open = true;

  bool full() const {
    return desc.maxPlayers > 0 && players.size() >= static_cast<std::size_t>(desc.maxPlayers);
  }
  bool takesPlayers(const NetGuid& application) const {
    return open && desc.application == application && !full();
  }
};

}  // namespace

struct LoopbackHub {
  std::vector<std::shared_ptr<LoopbackSession>> sessions;
  NetPlayerId nextPlayerId = 1;
  std::uint8_t nextInstance = 1;
};

namespace {

// What the session tells its players, from sender 0: the first byte says
// which event it is.
enum class SessionEvent : std::uint8_t { PlayerJoined = 1, PlayerLeft = 2, SessionLost = 3 };

class LoopbackConnection : public NetworkConnection {
 public:
  explicit LoopbackConnection(std::shared_ptr<LoopbackHub> hub) : hub_(std::move(hub)) {}
  ~LoopbackConnection() override { closeSession(); }

  bool createSession(const NetSessionDesc& desc) override {
    if (session_) return false;
    auto s = std::make_shared<LoopbackSession>();
    s->desc = desc;
    s->info.instance[0] = hub_->nextInstance++;
    s->info.name = desc.name;
    s->host = this;
    hub_->sessions.push_back(s);
    session_ = std::move(s);
    return true;
  }

  std::vector<NetSessionInfo> findSessions(const NetGuid& application) override {
    std::vector<NetSessionInfo> found;
    for (const auto& s : hub_->sessions) {
      if (s->takesPlayers(application)) found.push_back(s->info);
    }
    return found;
  }

  bool joinSession(const NetGuid& application, const NetSessionInfo& info) override {
    if (session_) return false;
    for (const auto& s : hub_->sessions) {
      if (s->info.instance == info.instance && s->takesPlayers(application)) {
        session_ = s;
        return true;
      }
    }
    return false;
  }

  std::optional<NetPlayerId> createPlayer(const std::string& name) override {
    if (!session_ || !session_->open || session_->full()) return std::nullopt;
    const NetPlayerId id = hub_->nextPlayerId++;
    tellOthers(id, SessionEvent::PlayerJoined);
    session_->players.push_back({id, name, this});
    return id;
  }

  std::vector<NetPlayer> remotePlayers() override {
    std::vector<NetPlayer> out;
    if (!session_ || !session_->open) return out;
    for (const LoopbackPlayer& p : session_->players) {
      if (p.owner != this) out.push_back({p.id, p.name});
    }
    return out;
  }

  bool send(NetPlayerId from, NetPlayerId to, bool,
            std::span<const std::uint8_t> payload) override {
    if (!session_ || !session_->open || !owns(from)) return false;
    bool delivered = to == 0;
    for (const LoopbackPlayer& p : session_->players) {
      if (to == 0 ? p.id == from : p.id != to) continue;
      p.owner->inbox_.push_back({from, {payload.begin(), payload.end()}});
      delivered = true;
    }
    return delivered;
  }

  std::optional<NetPacket> receive() override {
    if (inbox_.empty()) return std::nullopt;
    NetPacket p = std::move(inbox_.front());
    inbox_.pop_front();
    return p;
  }

  void closeSession() override {
    if (!session_) return;
    const std::shared_ptr<LoopbackSession> s = std::exchange(session_, nullptr);
    std::vector<NetPlayerId> mine;
    for (const LoopbackPlayer& p : s->players) {
      if (p.owner == this) mine.push_back(p.id);
    }
    std::erase_if(s->players, [this](const LoopbackPlayer& p) { return p.owner == this; });
    if (s->open) {
      for (const NetPlayerId id : mine) tellAll(*s, id, SessionEvent::PlayerLeft);
    }
    if (s->host == this) handOver(*s);
  }

 private:
  bool owns(NetPlayerId id) const {
    return std::any_of(session_->players.begin(), session_->players.end(),
                       [&](const LoopbackPlayer& p) { return p.id == id && p.owner == this; });
  }

  // The host left: the oldest remaining player's connection hosts on when
  // the session migrates; otherwise the session ends for everybody.
  void handOver(LoopbackSession& s) {
    if (s.desc.migrateHost && !s.players.empty()) {
      s.host = s.players.front().owner;
      return;
    }
    s.host = nullptr;
    if (s.open) tellAll(s, 0, SessionEvent::SessionLost);
    s.open = false;
    s.players.clear();
    std::erase_if(hub_->sessions, [&](const auto& p) { return p.get() == &s; });
  }

  void tellOthers(NetPlayerId about, SessionEvent event) { tellAll(*session_, about, event); }

  static void tellAll(LoopbackSession& s, NetPlayerId about, SessionEvent event) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(event)};
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<std::uint8_t>(about >> shift));
    for (const LoopbackPlayer& p : s.players) p.owner->inbox_.push_back({0, bytes});
  }

  std::shared_ptr<LoopbackHub> hub_;
  std::shared_ptr<LoopbackSession> session_;
  std::deque<NetPacket> inbox_;
};

}  // namespace

LoopbackNetwork::LoopbackNetwork() : hub_(std::make_shared<LoopbackHub>()) {}
LoopbackNetwork::~LoopbackNetwork() = default;

std::unique_ptr<NetworkConnection> LoopbackNetwork::connectTcpip(const std::string&,
                                                                 std::optional<std::uint16_t>) {
  return std::make_unique<LoopbackConnection>(hub_);
}

}  // namespace px
