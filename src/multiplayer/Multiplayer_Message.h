// One multiplayer message and its bytes on the wire: a flag telling a
// message from a shared data write, the id or data index, and the value as
// a real or a string (little-endian, no padding):
//   isMessage u8 | id i32 | isString u8 | (length i32 | bytes) or real f64
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "code/Code_Value.h"

namespace px {

// The longest string a message carries; longer ones are cut when sent.
inline constexpr std::size_t kMaxMessageString = 32000;
// Shared data indices run from 0 to this.
inline constexpr std::int32_t kMaxSharedDataIndex = 1000000;

struct MpMessage {
  // The sender of a received message; the addressee of a sent one (0: all).
  std::int32_t player = 0;
  // True: a message for the queue; false: a shared data write.
  bool isMessage = true;
  // The message id, or the shared data index.
  std::int32_t id = 0;
  RValue value;
};

// The payload of a message; the player is not part of it.
std::vector<std::uint8_t> EncodeMessage(const MpMessage& m);

// The message in a received payload, with player 0; nothing when the bytes
// are not exactly one well-formed message (a flag other than 0 or 1, a
// string length outside 0..32000 or not matching the bytes that follow,
// bytes missing or left over).
std::optional<MpMessage> DecodeMessage(std::span<const std::uint8_t> bytes);

}  // namespace px
