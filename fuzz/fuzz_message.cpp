// libFuzzer target over the reader of received multiplayer messages: any
// bytes either decode to one message, which encodes back to exactly the
// same bytes, or are refused.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "multiplayer/Multiplayer_Message.h"

int FuzzMessage(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto m = px::DecodeMessage(bytes);
  if (!m) return 0;
  const auto again = px::EncodeMessage(*m);
  if (again.size() != size || !std::equal(again.begin(), again.end(), bytes.begin())) std::abort();
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzMessage(data, size);
}
#endif
