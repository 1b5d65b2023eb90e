#include "multiplayer/Multiplayer_State.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace px {

namespace {

constexpr std::size_t kMaxPortText = 99;

bool ValidIndex(std::int64_t index) {
  return index >= 0 && index <= kMaxSharedDataIndex;
}

template <class List>
bool InList(const List& list, std::int64_t n) {
  return n >= 0 && static_cast<std::uint64_t>(n) < list.size();
}

}  // namespace

SplitAddress SplitTcpipAddress(std::string_view address) {
  SplitAddress out;
  const std::size_t colon = address.find(':');
  out.host = std::string(address.substr(0, colon));
  if (colon == std::string_view::npos) return out;
  out.hasPort = true;
  const std::string_view text = address.substr(colon + 1, kMaxPortText);
  std::uint16_t port = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (ec == std::errc() && end == text.data() + text.size() && !text.empty()) out.port = port;
  return out;
}

MultiplayerState::MultiplayerState(std::shared_ptr<Network> network, NetGuid application)
    : network_(std::move(network)), application_(application) {}

MultiplayerState::~MultiplayerState() {
  end();
}

bool MultiplayerState::initTcpip(std::string_view address) {
  if (connected()) return false;
  const SplitAddress split = SplitTcpipAddress(address);
  if (split.hasPort && !split.port) return false;
  connection_ = network_->connectTcpip(split.host, split.port);
  if (!connection_) return false;
  connectionKind = ConnectionKind::Tcpip;
  return true;
}

void MultiplayerState::end() {
  if (!connected()) return;
  endSession();
  connection_.reset();
  connectionKind = ConnectionKind::None;
}

bool MultiplayerState::openLocalPlayer(const std::string& name) {
  const auto id = connection_->createPlayer(name);
  if (!id) return false;
  localPlayerId_ = *id;
  localPlayerName_ = name;
  return true;
}

bool MultiplayerState::createSession(const std::string& name, std::int32_t maxPlayers,
                                     const std::string& playerName) {
  if (!connected() || sessionStatus != SessionStatus::None) return false;
  const NetSessionDesc desc{application_, name, std::max(maxPlayers, 0), migrateHost};
  if (!connection_->createSession(desc) || !openLocalPlayer(playerName)) return false;
  sessionStatus = SessionStatus::Host;
  return true;
}

std::size_t MultiplayerState::findSessions() {
  if (!connected()) return 0;
  sessions_ = connection_->findSessions(application_);
  return sessions_.size();
}

std::string MultiplayerState::sessionName(std::int64_t n) const {
  if (!connected() || !InList(sessions_, n)) return "";
  return sessions_[static_cast<std::size_t>(n)].name;
}

bool MultiplayerState::joinSession(std::int64_t n, const std::string& playerName) {
  if (!connected() || sessionStatus != SessionStatus::None || !InList(sessions_, n)) return false;
  if (!connection_->joinSession(application_, sessions_[static_cast<std::size_t>(n)]) ||
      !openLocalPlayer(playerName)) {
    return false;
  }
  sessionStatus = SessionStatus::Joined;
  return true;
}

void MultiplayerState::endSession() {
  if (!inSession()) return;
  connection_->closeSession();
  sessionStatus = SessionStatus::None;
}

std::size_t MultiplayerState::findPlayers() {
  if (!inSession()) return 0;
  players_.assign(1, NetPlayer{localPlayerId_, localPlayerName_});
  for (NetPlayer& p : connection_->remotePlayers()) players_.push_back(std::move(p));
  return players_.size();
}

std::string MultiplayerState::playerName(std::int64_t n) const {
  return InList(players_, n) ? players_[static_cast<std::size_t>(n)].name : "";
}

std::int32_t MultiplayerState::playerId(std::int64_t n) const {
  return InList(players_, n) ? static_cast<std::int32_t>(players_[static_cast<std::size_t>(n)].id)
                             : 0;
}

bool MultiplayerState::send(NetPlayerId to, const MpMessage& m, bool guaranteed) {
  return connection_->send(localPlayerId_, to, guaranteed, EncodeMessage(m));
}

bool MultiplayerState::writeData(std::int64_t index, const RValue& value) {
  if (!inSession() || !ValidIndex(index)) return false;
  const auto needed = static_cast<std::size_t>(index) + 1;
  if (sharedData_.size() < needed) sharedData_.resize(needed);
  if (!send(0, MpMessage{0, false, static_cast<std::int32_t>(index), value}, guaranteedData)) {
    return false;
  }
  sharedData_[static_cast<std::size_t>(index)] = value;
  return true;
}

RValue MultiplayerState::readData(std::int64_t index) {
  if (!inSession()) return {};
  fetch();
  if (!ValidIndex(index) || static_cast<std::size_t>(index) >= sharedData_.size()) return {};
  return sharedData_[static_cast<std::size_t>(index)];
}

std::optional<std::int32_t> MultiplayerState::resolve(const PlayerRef& ref) {
  if (!ref.name) return ref.id;
  findPlayers();
  const auto it = std::find_if(players_.begin(), players_.end(),
                               [&](const NetPlayer& p) { return p.name == *ref.name; });
  if (it == players_.end()) return std::nullopt;
  return static_cast<std::int32_t>(it->id);
}

bool MultiplayerState::sendMessage(const PlayerRef& to, std::int32_t id, const RValue& value,
                                   bool guaranteed) {
  if (!inSession()) return false;
  const auto player = resolve(to);
  if (!player || *player < 0) return false;
  return send(static_cast<NetPlayerId>(*player), MpMessage{*player, true, id, value}, guaranteed);
}

bool MultiplayerState::receiveMessage(const PlayerRef& from) {
  if (!inSession()) return false;
  const auto player = resolve(from);
  if (!player) return false;
  fetch();
  return queue_.take(SenderFilter{*player}, currentMessage);
}

std::size_t MultiplayerState::countMessages(std::int32_t player) {
  if (!inSession()) return 0;
  fetch();
  return queue_.count(SenderFilter{player});
}

void MultiplayerState::clearMessages(std::int32_t player) {
  if (!inSession()) return;
  fetch();
  queue_.clear(SenderFilter{player});
}

std::string MultiplayerState::currentMessageName() {
  if (findPlayers() == 0) return "(unknown)";
  for (const NetPlayer& p : players_) {
    if (static_cast<std::int32_t>(p.id) == currentMessage.player) return p.name;
  }
  return "(unknown)";
}

void MultiplayerState::fetch() {
  if (!connected()) return;
  while (auto packet = connection_->receive()) {
    // Sender 0 is the session itself: joins, leaves, its end.
    if (packet->from == 0) continue;
    auto m = DecodeMessage(packet->bytes);
    if (!m) {
      ++droppedPayloads;
      continue;
    }
    m->player = static_cast<std::int32_t>(packet->from);
    store(std::move(*m));
  }
}

void MultiplayerState::store(MpMessage m) {
  if (m.isMessage) {
    queue_.push(std::move(m));
    return;
  }
  if (!ValidIndex(m.id)) {
    ++droppedPayloads;
    return;
  }
  const auto index = static_cast<std::size_t>(m.id);
  if (sharedData_.size() <= index) sharedData_.resize(index + 1);
  sharedData_[index] = std::move(m.value);
}

}  // namespace px
