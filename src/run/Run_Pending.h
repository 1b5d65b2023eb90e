// A change of the game that waits for the end of the step: another room,
// the end of the game, a restart, loading a saved game, or the end after a
// fatal error.
#pragma once

#include <cstdint>

namespace px {

class PendingChange {
 public:
  enum class Kind : std::uint8_t { None, Room, End, Restart, Load, Abort };

  constexpr PendingChange() = default;
  static constexpr PendingChange Room(std::int32_t room) { return {Kind::Room, room}; }
  static constexpr PendingChange Of(Kind kind) { return {kind, -1}; }

  constexpr Kind kind() const { return kind_; }
  // The room to go to, for Kind::Room.
  constexpr std::int32_t room() const { return room_; }
  constexpr bool pending() const { return kind_ != Kind::None; }
  constexpr bool operator==(const PendingChange&) const = default;

 private:
  constexpr PendingChange(Kind kind, std::int32_t room) : kind_(kind), room_(room) {}

  Kind kind_ = Kind::None;
  std::int32_t room_ = -1;
};

inline constexpr PendingChange kNoPendingChange{};
inline constexpr PendingChange kPendingEnd = PendingChange::Of(PendingChange::Kind::End);
inline constexpr PendingChange kPendingRestart = PendingChange::Of(PendingChange::Kind::Restart);
inline constexpr PendingChange kPendingLoad = PendingChange::Of(PendingChange::Kind::Load);
inline constexpr PendingChange kPendingAbort = PendingChange::Of(PendingChange::Kind::Abort);

}  // namespace px
