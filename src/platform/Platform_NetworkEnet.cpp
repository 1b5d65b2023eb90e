// Sessions over ENet. The host binds the session port; a joining player
// connects to it and every payload goes through the host, which relays it
// to its addressee (or to every other player). Channel 0 is reliable and
// carries guaranteed payloads and the session's own frames, channel 1 is
// unreliable. Sessions are found by a datagram sent to the session port
// that the host's socket answers before ENet sees it.
//
// Frames between players start with a kind byte:
//   Hello     application[16] name...           joiner -> host
//   Welcome   id u32, host id u32, migrate u8     host -> joiner
//   Refused                                        host -> joiner
//   Added     id u32, ipv4 u32, port u16, name...  host -> all
//   Removed   id u32                               host -> all
//   Data      from u32, to u32, payload...         both ways
//   End                                            host -> all
//   Rejoin    id u32, name...                      player -> new host
// Every frame is checked before use; a frame that does not parse, or Data
// that claims another sender than its connection's player, is dropped.
#include <enet/enet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <utility>

#include "platform/Platform_Network.h"

namespace px {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPeerLimit = 64;
constexpr std::size_t kChannels = 2;
constexpr std::uint8_t kReliable = 0;
constexpr std::uint8_t kUnreliable = 1;
constexpr auto kConnectWait = std::chrono::milliseconds(2000);
constexpr auto kReplyWait = std::chrono::milliseconds(3000);
constexpr auto kBroadcastFindWait = std::chrono::milliseconds(500);
constexpr auto kUnicastFindWait = std::chrono::milliseconds(1000);
constexpr auto kLeaveWait = std::chrono::milliseconds(300);
constexpr enet_uint32 kPollMs = 5;
constexpr std::array<std::uint8_t, 4> kQueryMagic{'P', 'X', 'S', 'Q'};
constexpr std::array<std::uint8_t, 4> kAnswerMagic{'P', 'X', 'S', 'A'};
constexpr std::size_t kMaxNameBytes = 1024;
// The largest packet a peer may send: a message of the longest string with
// its frame, and room to spare.
constexpr std::size_t kMaxPacketBytes = 64 * 1024;

enum class Frame : std::uint8_t {
  Hello = 1,
  Welcome = 2,
  Refused = 3,
  Added = 4,
  Removed = 5,
  Data = 6,
  End = 7,
  Rejoin = 8,
};

// What the session tells the local player, from sender 0.
enum class SessionEvent : std::uint8_t { PlayerJoined = 1, PlayerLeft = 2, SessionLost = 3 };

class Writer {
 public:
  explicit Writer(Frame kind) { bytes.push_back(static_cast<std::uint8_t>(kind)); }
  Writer() = default;
  Writer& u8(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Writer& u16(std::uint16_t v) {
    for (int s = 0; s < 16; s += 8) bytes.push_back(static_cast<std::uint8_t>(v >> s));
    return *this;
  }
  Writer& u32(std::uint32_t v) {
    for (int s = 0; s < 32; s += 8) bytes.push_back(static_cast<std::uint8_t>(v >> s));
    return *this;
  }
  template <class Range>
  Writer& raw(const Range& r) {
    bytes.insert(bytes.end(), std::begin(r), std::end(r));
    return *this;
  }
  Bytes bytes;
};

class Parser {
 public:
  Parser(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  std::size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  std::uint64_t uint(std::size_t n) {
    if (remaining() < n) {
      ok_ = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{data_[pos_ + i]} << (8 * i);
    pos_ += n;
    return v;
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(uint(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(uint(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(uint(4)); }
  template <std::size_t N>
  std::array<std::uint8_t, N> array() {
    std::array<std::uint8_t, N> a{};
    if (remaining() < N) {
      ok_ = false;
      return a;
    }
    std::memcpy(a.data(), data_ + pos_, N);
    pos_ += N;
    return a;
  }
  // The rest as a name, refused when longer than names may be.
  std::string name() {
    if (remaining() > kMaxNameBytes) ok_ = false;
    return rest<std::string>();
  }
  template <class T>
  T rest() {
    if (!ok_) return T{};
    T out(data_ + pos_, data_ + size_);
    pos_ = size_;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

struct Player {
  NetPlayerId id = 0;
  std::string name;
  ENetAddress address{};
  ENetPeer* peer = nullptr;  // the connection it speaks through (host side)
  bool local = false;
};

struct FoundSession {
  NetSessionInfo info;
  ENetAddress address{};
};

struct HostDeleter {
  void operator()(ENetHost* h) const { enet_host_destroy(h); }
};
using HostPtr = std::unique_ptr<ENetHost, HostDeleter>;

struct SocketOwner {
  ENetSocket socket = ENET_SOCKET_NULL;
  explicit SocketOwner(ENetSocket s) : socket(s) {}
  ~SocketOwner() {
    if (socket != ENET_SOCKET_NULL) enet_socket_destroy(socket);
  }
  SocketOwner(const SocketOwner&) = delete;
  SocketOwner& operator=(const SocketOwner&) = delete;
};

// Names travel with at most kMaxNameBytes bytes.
std::string Cut(const std::string& name) {
  return name.substr(0, kMaxNameBytes);
}

NetGuid RandomGuid() {
  std::random_device rd;
  NetGuid g{};
  for (auto& b : g) b = static_cast<std::uint8_t>(rd());
  return g;
}

Bytes SessionEventBytes(SessionEvent event, NetPlayerId about) {
  return Writer().u8(static_cast<std::uint8_t>(event)).u32(about).bytes;
}

ENetBuffer BufferOf(const Bytes& bytes) {
  ENetBuffer b;
  b.data = const_cast<std::uint8_t*>(bytes.data());
  b.dataLength = bytes.size();
  return b;
}

void SendFrame(ENetPeer* peer, const Bytes& bytes, std::uint8_t channel) {
  if (!peer) return;
  ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(),
                                          channel == kReliable ? ENET_PACKET_FLAG_RELIABLE : 0);
  if (enet_peer_send(peer, channel, packet) < 0) enet_packet_destroy(packet);
}

// The event handed to enet_host_service, with the connection it belongs to,
// so that the raw-datagram hook can answer session queries.
class EnetConnection;
struct ServiceEvent {
  ENetEvent event{};
  EnetConnection* self = nullptr;
};
static_assert(std::is_standard_layout_v<ServiceEvent>);

enum class Role { None, Host, Member };

class EnetConnection : public NetworkConnection {
 public:
  EnetConnection(std::string host, std::uint16_t port) : hostName_(std::move(host)), port_(port) {}
  ~EnetConnection() override { closeSession(); }

  bool createSession(const NetSessionDesc& desc) override {
    if (role_ != Role::None) return false;
    ENetAddress address{ENET_HOST_ANY, port_};
    HostPtr host(enet_host_create(&address, kPeerLimit, kChannels, 0, 0));
    if (!host) return false;
    host->intercept = &EnetConnection::Intercept;
    host->maximumPacketSize = kMaxPacketBytes;
    std::lock_guard lock(mutex_);
    resetSessionLocked();
    host_ = std::move(host);
    desc_ = desc;
    instance_ = RandomGuid();
    role_ = Role::Host;
    startThread();
    return true;
  }

  std::vector<NetSessionInfo> findSessions(const NetGuid& application) override {
    found_.clear();
    SocketOwner s(enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM));
    if (s.socket == ENET_SOCKET_NULL) return {};
    enet_socket_set_option(s.socket, ENET_SOCKOPT_NONBLOCK, 1);
    enet_socket_set_option(s.socket, ENET_SOCKOPT_BROADCAST, 1);
    ENetAddress to{ENET_HOST_BROADCAST, port_};
    const bool unicast = !hostName_.empty();
    if (unicast && enet_address_set_host(&to, hostName_.c_str()) != 0) return {};
    const Bytes query = Writer().raw(kQueryMagic).raw(application).bytes;
    ENetBuffer buffer = BufferOf(query);
    if (enet_socket_send(s.socket, &to, &buffer, 1) < 0) return {};
    const auto deadline = Clock::now() + (unicast ? kUnicastFindWait : kBroadcastFindWait);
    while (Clock::now() < deadline && !(unicast && !found_.empty())) {
      enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
      if (enet_socket_wait(s.socket, &wait, kPollMs * 4) != 0 || wait == 0) continue;
      readAnswers(s.socket);
    }
    std::vector<NetSessionInfo> out;
    for (const FoundSession& f : found_) out.push_back(f.info);
    return out;
  }

  bool joinSession(const NetGuid& application, const NetSessionInfo& session) override {
    if (role_ != Role::None) return false;
    const auto it = std::find_if(found_.begin(), found_.end(), [&](const FoundSession& f) {
      return f.info.instance == session.instance;
    });
    if (it == found_.end()) return false;
    HostPtr host(enet_host_create(nullptr, kPeerLimit, kChannels, 0, 0));
    if (!host) return false;
    host->maximumPacketSize = kMaxPacketBytes;
    ENetPeer* server = enet_host_connect(host.get(), &it->address, kChannels, 0);
    if (!server || !awaitConnect(host.get())) return false;
    std::lock_guard lock(mutex_);
    resetSessionLocked();
    host_ = std::move(host);
    server_ = server;
    application_ = application;
    instance_ = session.instance;
    role_ = Role::Member;
    startThread();
    return true;
  }

  std::optional<NetPlayerId> createPlayer(const std::string& name) override {
    std::unique_lock lock(mutex_);
    if (role_ == Role::Host) {
      if (full()) return std::nullopt;
      localId_ = nextId_++;
      hostId_ = localId_;
      players_.push_back({localId_, name, {}, nullptr, true});
      broadcastLocked(addedFrame(players_.back()), nullptr);
      return localId_;
    }
    if (role_ != Role::Member || localId_ != 0) return std::nullopt;
    SendFrame(server_, Writer(Frame::Hello).raw(application_).raw(Cut(name)).bytes, kReliable);
    enet_host_flush(host_.get());
    localName_ = name;
    replied_.wait_for(lock, kReplyWait, [&] { return localId_ != 0 || refused_ || lost_; });
    if (localId_ == 0) return std::nullopt;
    return localId_;
  }

  std::vector<NetPlayer> remotePlayers() override {
    std::lock_guard lock(mutex_);
    std::vector<NetPlayer> out;
    if (lost_) return out;
    for (const Player& p : players_) {
      if (!p.local) out.push_back({p.id, p.name});
    }
    return out;
  }

  bool send(NetPlayerId from, NetPlayerId to, bool guaranteed,
            std::span<const std::uint8_t> payload) override {
    std::lock_guard lock(mutex_);
    if (role_ == Role::None || lost_ || from == 0 || from != localId_) return false;
    const std::uint8_t channel = guaranteed ? kReliable : kUnreliable;
    const Bytes frame = Writer(Frame::Data).u32(from).u32(to).raw(payload).bytes;
    bool sent = false;
    if (role_ == Role::Host) {
      sent = relayLocked(from, to, frame, payload, channel, nullptr);
    } else if (to == 0 || to == localId_ || findLocked(to)) {
      if (to == localId_) inbox_.push_back({from, Bytes(payload.begin(), payload.end())});
      if (to != localId_) SendFrame(server_, frame, channel);
      sent = true;
    }
    enet_host_flush(host_.get());
    return sent;
  }

  std::optional<NetPacket> receive() override {
    std::lock_guard lock(mutex_);
    if (inbox_.empty()) return std::nullopt;
    NetPacket p = std::move(inbox_.front());
    inbox_.pop_front();
    return p;
  }

  void closeSession() override {
    stopThread();
    if (!host_) return;
    if (role_ == Role::Host && !desc_.migrateHost)
      broadcastLocked(Bytes{static_cast<std::uint8_t>(Frame::End)}, nullptr);
    for (std::size_t i = 0; i < host_->peerCount; ++i) {
      ENetPeer* peer = &host_->peers[i];
      if (peer->state == ENET_PEER_STATE_CONNECTED) enet_peer_disconnect(peer, 0);
    }
    drainDisconnects();
    std::lock_guard lock(mutex_);
    host_.reset();
    role_ = Role::None;
    server_ = nullptr;
    players_.clear();
    localId_ = 0;
  }

  // Frames the host dropped since the connection was made.
  std::size_t dropped() const { return dropped_; }

 private:
  static int Intercept(ENetHost* host, ENetEvent* event) {
    auto* wrapper = reinterpret_cast<ServiceEvent*>(event);
    if (!wrapper || !wrapper->self) return 0;
    return wrapper->self->answerQuery(host) ? 1 : 0;
  }

  // Answers a session query that reached the session port; true when the
  // datagram was one (answered or not), so ENet never sees it.
  bool answerQuery(ENetHost* host) {
    Parser in(host->receivedData, host->receivedDataLength);
    if (in.array<4>() != kQueryMagic) return false;
    const NetGuid application = in.array<16>();
    if (!in.ok() || in.remaining() != 0 || role_ != Role::Host) return true;
    if (application != desc_.application || full()) return true;
    const Bytes answer = Writer()
                             .raw(kAnswerMagic)
                             .raw(instance_)
                             .u32(static_cast<std::uint32_t>(players_.size()))
                             .u32(static_cast<std::uint32_t>(desc_.maxPlayers))
                             .raw(Cut(desc_.name))
                             .bytes;
    ENetBuffer buffer = BufferOf(answer);
    enet_socket_send(host->socket, &host->receivedAddress, &buffer, 1);
    return true;
  }

  void readAnswers(ENetSocket socket) {
    std::array<std::uint8_t, 2048> data{};
    ENetBuffer buffer;
    buffer.data = data.data();
    buffer.dataLength = data.size();
    ENetAddress from{};
    int n = 0;
    while ((n = enet_socket_receive(socket, &from, &buffer, 1)) > 0) {
      Parser in(data.data(), static_cast<std::size_t>(n));
      if (in.array<4>() != kAnswerMagic) continue;
      FoundSession f;
      f.info.instance = in.array<16>();
      in.u32();  // players
      in.u32();  // limit
      f.info.name = in.name();
      f.address = from;
      const bool known = std::any_of(found_.begin(), found_.end(), [&](const FoundSession& s) {
        return s.info.instance == f.info.instance;
      });
      if (in.ok() && !known) found_.push_back(std::move(f));
    }
  }

  // One event of the host, if any comes within the time; the session
  // queries among the datagrams are answered on the way.
  std::optional<ENetEvent> serviceOnce(ENetHost* host, enet_uint32 timeoutMs) {
    ServiceEvent se;
    se.self = this;
    if (enet_host_service(host, &se.event, timeoutMs) <= 0) return std::nullopt;
    return se.event;
  }

  bool awaitConnect(ENetHost* host) {
    const auto deadline = Clock::now() + kConnectWait;
    while (Clock::now() < deadline) {
      const auto event = serviceOnce(host, kPollMs);
      if (!event) continue;
      if (event->type == ENET_EVENT_TYPE_CONNECT) return true;
      if (event->type == ENET_EVENT_TYPE_DISCONNECT) return false;
      if (event->type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event->packet);
    }
    return false;
  }

  // Whether a peer is still connected or on its way out (ENet counts a
  // peer as gone from the moment its disconnection is asked for).
  bool anyPeerOpen() const {
    for (std::size_t i = 0; i < host_->peerCount; ++i) {
      if (host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED) return true;
    }
    return false;
  }

  // Lets the disconnections go out before the socket closes.
  void drainDisconnects() {
    const auto deadline = Clock::now() + kLeaveWait;
    while (Clock::now() < deadline && anyPeerOpen()) {
      const auto event = serviceOnce(host_.get(), kPollMs);
      if (event && event->type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event->packet);
    }
  }

  void startThread() {
    stop_ = false;
    thread_ = std::thread([this] { run(); });
  }

  void stopThread() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  void run() {
    while (!stop_) {
      {
        std::lock_guard lock(mutex_);
        serviceLocked();
      }
      enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
      enet_socket_wait(host_->socket, &wait, kPollMs);
    }
  }

  void serviceLocked() {
    while (const auto event = serviceOnce(host_.get(), 0)) handleLocked(*event);
    enet_host_flush(host_.get());
  }

  void handleLocked(const ENetEvent& e) {
    switch (e.type) {
      case ENET_EVENT_TYPE_RECEIVE:
        frameLocked(e.peer, e.channelID, e.packet->data, e.packet->dataLength);
        enet_packet_destroy(e.packet);
        break;
      case ENET_EVENT_TYPE_DISCONNECT:
        disconnectedLocked(e.peer);
        break;
      case ENET_EVENT_TYPE_CONNECT:
        // After a migration: the new host takes this player back.
        if (role_ == Role::Member && e.peer == server_ && localId_ != 0) {
          SendFrame(server_, Writer(Frame::Rejoin).u32(localId_).raw(localName_).bytes, kReliable);
        }
        break;
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }

  void frameLocked(ENetPeer* peer, std::uint8_t channel, const std::uint8_t* data,
                   std::size_t size) {
    Parser in(data, size);
    const auto kind = static_cast<Frame>(in.u8());
    const bool handled = role_ == Role::Host ? hostFrameLocked(peer, kind, in, channel)
                                             : memberFrameLocked(peer, kind, in);
    if (!handled) ++dropped_;
  }

  bool hostFrameLocked(ENetPeer* peer, Frame kind, Parser& in, std::uint8_t channel) {
    switch (kind) {
      case Frame::Hello: {
        const NetGuid application = in.array<16>();
        const std::string name = in.name();
        if (!in.ok() || playerOfLocked(peer)) return false;
        if (application != desc_.application || full()) {
          SendFrame(peer, Bytes{static_cast<std::uint8_t>(Frame::Refused)}, kReliable);
          return true;
        }
        admitLocked(peer, nextId_++, name);
        return true;
      }
      case Frame::Rejoin: {
        const NetPlayerId id = in.u32();
        const std::string name = in.name();
        if (!in.ok() || id == 0 || playerOfLocked(peer)) return false;
        nextId_ = std::max(nextId_, id + 1);
        if (Player* p = findLocked(id)) {
          p->peer = peer;
          p->address = peer->address;
          return true;
        }
        admitLocked(peer, id, name);
        return true;
      }
      case Frame::Data: {
        const NetPlayerId from = in.u32();
        const NetPlayerId to = in.u32();
        const Bytes payload = in.rest<Bytes>();
        const Player* sender = playerOfLocked(peer);
        if (!in.ok() || !sender || sender->id != from) return false;
        const Bytes frame = Writer(Frame::Data).u32(from).u32(to).raw(payload).bytes;
        relayLocked(from, to, frame, payload, channel == kReliable ? kReliable : kUnreliable, peer);
        return true;
      }
      default:
        return false;
    }
  }

  bool memberFrameLocked(ENetPeer* peer, Frame kind, Parser& in) {
    if (peer != server_) return false;
    switch (kind) {
      case Frame::Welcome: {
        const NetPlayerId id = in.u32();
        const NetPlayerId host = in.u32();
        const bool migrate = in.u8() != 0;
        if (!in.ok() || id == 0 || localId_ != 0) return false;
        localId_ = id;
        hostId_ = host;
        desc_.migrateHost = migrate;
        players_.push_back({id, localName_, {}, nullptr, true});
        replied_.notify_all();
        return true;
      }
      case Frame::Refused:
        refused_ = true;
        replied_.notify_all();
        return true;
      case Frame::Added: {
        Player p;
        p.id = in.u32();
        p.address.host = in.u32();
        p.address.port = in.u16();
        p.name = in.name();
        if (!in.ok() || p.id == 0 || p.id == localId_ || findLocked(p.id)) return in.ok();
        players_.push_back(std::move(p));
        inbox_.push_back({0, SessionEventBytes(SessionEvent::PlayerJoined, players_.back().id)});
        return true;
      }
      case Frame::Removed: {
        const NetPlayerId id = in.u32();
        if (!in.ok()) return false;
        removePlayerLocked(id);
        return true;
      }
      case Frame::Data: {
        const NetPlayerId from = in.u32();
        in.u32();
        Bytes payload = in.rest<Bytes>();
        if (!in.ok() || from == 0) return false;
        inbox_.push_back({from, std::move(payload)});
        return true;
      }
      case Frame::End:
        loseSessionLocked();
        return true;
      default:
        return false;
    }
  }

  void admitLocked(ENetPeer* peer, NetPlayerId id, const std::string& name) {
    Player p{id, name, peer->address, peer, false};
    SendFrame(peer, Writer(Frame::Welcome).u32(id).u32(hostId_).u8(desc_.migrateHost ? 1 : 0).bytes,
              kReliable);
    for (const Player& other : players_) SendFrame(peer, addedFrame(other), kReliable);
    broadcastLocked(addedFrame(p), peer);
    players_.push_back(std::move(p));
    inbox_.push_back({0, SessionEventBytes(SessionEvent::PlayerJoined, id)});
  }

  Bytes addedFrame(const Player& p) const {
    return Writer(Frame::Added)
        .u32(p.id)
        .u32(p.address.host)
        .u16(p.address.port)
        .raw(Cut(p.name))
        .bytes;
  }

  // Delivers a payload from `from` as the host: to the local player and to
  // every connection that holds an addressee, never back to `origin`.
  bool relayLocked(NetPlayerId from, NetPlayerId to, const Bytes& frame,
                   std::span<const std::uint8_t> payload, std::uint8_t channel, ENetPeer* origin) {
    bool delivered = to == 0;
    for (const Player& p : players_) {
      if (to == 0 ? p.id == from : p.id != to) continue;
      delivered = true;
      if (p.local) {
        inbox_.push_back({from, Bytes(payload.begin(), payload.end())});
      } else if (p.peer != origin) {
        SendFrame(p.peer, frame, channel);
      }
    }
    return delivered;
  }

  void broadcastLocked(const Bytes& frame, ENetPeer* except) {
    for (const Player& p : players_) {
      if (!p.local && p.peer != except) SendFrame(p.peer, frame, kReliable);
    }
  }

  void disconnectedLocked(ENetPeer* peer) {
    if (role_ == Role::Host) {
      if (const Player* p = playerOfLocked(peer)) {
        const NetPlayerId id = p->id;
        removePlayerLocked(id);
        broadcastLocked(Writer(Frame::Removed).u32(id).bytes, nullptr);
      }
      return;
    }
    if (peer != server_) return;
    server_ = nullptr;
    if (lost_ || !desc_.migrateHost) {
      loseSessionLocked();
      return;
    }
    migrateLocked();
  }

  // The host is gone and the session moves on: the remaining player with
  // the lowest id becomes the host, the others connect to it.
  void migrateLocked() {
    removePlayerLocked(hostId_);
    const auto next =
        std::min_element(players_.begin(), players_.end(),
                         [](const Player& a, const Player& b) { return a.id < b.id; });
    if (next == players_.end()) {
      loseSessionLocked();
      return;
    }
    hostId_ = next->id;
    if (next->local) {
      role_ = Role::Host;
      nextId_ = localId_ + 1;
      for (Player& p : players_) {
        nextId_ = std::max(nextId_, p.id + 1);
        p.peer = nullptr;
      }
      return;
    }
    server_ = enet_host_connect(host_.get(), &next->address, kChannels, 0);
    if (!server_) loseSessionLocked();
  }

  void loseSessionLocked() {
    if (lost_) return;
    lost_ = true;
    std::erase_if(players_, [](const Player& p) { return !p.local; });
    inbox_.push_back({0, SessionEventBytes(SessionEvent::SessionLost, 0)});
  }

  void removePlayerLocked(NetPlayerId id) {
    const auto n = std::erase_if(players_, [&](const Player& p) { return p.id == id && !p.local; });
    if (n > 0) inbox_.push_back({0, SessionEventBytes(SessionEvent::PlayerLeft, id)});
  }

  Player* findLocked(NetPlayerId id) {
    const auto it =
        std::find_if(players_.begin(), players_.end(), [&](const Player& p) { return p.id == id; });
    return it == players_.end() ? nullptr : &*it;
  }

  const Player* playerOfLocked(const ENetPeer* peer) const {
    const auto it = std::find_if(players_.begin(), players_.end(),
                                 [&](const Player& p) { return !p.local && p.peer == peer; });
    return it == players_.end() ? nullptr : &*it;
  }

  bool full() const {
    return desc_.maxPlayers > 0 && players_.size() >= static_cast<std::size_t>(desc_.maxPlayers);
  }

  void resetSessionLocked() {
    players_.clear();
    localId_ = 0;
    hostId_ = 0;
    nextId_ = 1;
    refused_ = false;
    lost_ = false;
    server_ = nullptr;
    desc_ = {};
  }

  const std::string hostName_;
  const std::uint16_t port_;
  std::vector<FoundSession> found_;

  std::mutex mutex_;
  std::condition_variable replied_;
  std::thread thread_;
  std::atomic<bool> stop_{false};

  // Everything below is guarded by mutex_ while the thread runs.
  HostPtr host_;
  // Written by the game thread while the network thread is stopped, and by
  // the network thread when a migration makes this connection the host.
  std::atomic<Role> role_{Role::None};
  ENetPeer* server_ = nullptr;
  NetSessionDesc desc_;
  NetGuid application_{};
  NetGuid instance_{};
  std::vector<Player> players_;
  std::deque<NetPacket> inbox_;
  NetPlayerId localId_ = 0;
  NetPlayerId hostId_ = 0;
  NetPlayerId nextId_ = 1;
  std::string localName_;
  bool refused_ = false;
  bool lost_ = false;
  std::size_t dropped_ = 0;
};

class EnetNetwork : public Network {
 public:
  EnetNetwork() : ready_(enet_initialize() == 0) {}
  ~EnetNetwork() override {
    if (ready_) enet_deinitialize();
  }
  EnetNetwork(const EnetNetwork&) = delete;
  EnetNetwork& operator=(const EnetNetwork&) = delete;

  std::unique_ptr<NetworkConnection> connectTcpip(const std::string& host,
                                                  std::optional<std::uint16_t> port) override {
    if (!ready_) return nullptr;
    return std::make_unique<EnetConnection>(host, port.value_or(kDefaultSessionPort));
  }

 private:
  bool ready_;
};

}  // namespace

std::unique_ptr<Network> MakeEnetNetwork() {
  return std::make_unique<EnetNetwork>();
}

std::string LocalIpAddress() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return "";
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* result = nullptr;
  if (getaddrinfo(name.data(), nullptr, &hints, &result) != 0 || !result) return "";
  const auto* in = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
  const auto* b = reinterpret_cast<const std::uint8_t*>(&in->sin_addr.s_addr);
  std::string text = std::to_string(b[0]) + "." + std::to_string(b[1]) + "." +
                     std::to_string(b[2]) + "." + std::to_string(b[3]);
  freeaddrinfo(result);
  return text;
}

}  // namespace px
