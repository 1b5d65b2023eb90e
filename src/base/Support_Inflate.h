// Inflating data that comes from outside the game: the output is bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace px {

// Inflates one zlib stream; throws StreamError when it is corrupt or cut
// short, or when it would inflate to more than `limit` bytes, so a small
// file cannot claim unbounded memory.
std::vector<std::uint8_t> InflateAtMost(std::span<const std::uint8_t> compressed,
                                        std::size_t limit);

}  // namespace px
