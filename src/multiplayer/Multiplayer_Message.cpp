#include "multiplayer/Multiplayer_Message.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace px {

namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

void PutReal(std::vector<std::uint8_t>& out, double v) {
  const auto u = std::bit_cast<std::uint64_t>(v);
  for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

// Reads little-endian fields from the front of the bytes; every read fails
// once the bytes run short.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool atEnd() const { return pos_ == bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - pos_; }

  std::optional<bool> flag() {
    if (remaining() < 1) return std::nullopt;
    const std::uint8_t b = bytes_[pos_++];
    if (b > 1) return std::nullopt;
    return b == 1;
  }
  std::optional<std::uint64_t> unsignedOf(std::size_t size) {
    if (remaining() < size) return std::nullopt;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < size; ++i) v |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
    pos_ += size;
    return v;
  }
  std::optional<std::int32_t> int32() {
    const auto u = unsignedOf(4);
    if (!u) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*u));
  }
  std::optional<double> real() {
    const auto u = unsignedOf(8);
    if (!u) return std::nullopt;
    return std::bit_cast<double>(*u);
  }
  std::optional<std::string> text(std::size_t size) {
    if (remaining() < size) return std::nullopt;
    std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), size);
    pos_ += size;
    return s;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::optional<RValue> ReadValue(Reader& in) {
  const auto isString = in.flag();
  if (!isString) return std::nullopt;
  if (!*isString) {
    const auto v = in.real();
    if (!v) return std::nullopt;
    return RValue::FromReal(*v);
  }
  const auto length = in.int32();
  if (!length || *length < 0 || static_cast<std::size_t>(*length) > kMaxMessageString) {
    return std::nullopt;
  }
  auto text = in.text(static_cast<std::size_t>(*length));
  if (!text) return std::nullopt;
  return RValue::FromString(std::move(*text));
}

}  // namespace

std::vector<std::uint8_t> EncodeMessage(const MpMessage& m) {
  std::vector<std::uint8_t> out;
  out.push_back(m.isMessage ? 1 : 0);
  PutInt32(out, m.id);
  if (m.value.isString()) {
    const std::string& s = m.value.str();
    const std::size_t n = std::min(s.size(), kMaxMessageString);
    out.push_back(1);
    PutInt32(out, static_cast<std::int32_t>(n));
    out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
  } else {
    out.push_back(0);
    PutReal(out, m.value.real);
  }
  return out;
}

std::optional<MpMessage> DecodeMessage(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  const auto isMessage = in.flag();
  if (!isMessage) return std::nullopt;
  const auto id = in.int32();
  if (!id) return std::nullopt;
  auto value = ReadValue(in);
  if (!value || !in.atEnd()) return std::nullopt;
  MpMessage m;
  m.isMessage = *isMessage;
  m.id = *id;
  m.value = std::move(*value);
  return m;
}

}  // namespace px
