// The bytes of a message against an encoder written from the field table,
// and the reader's refusal of every payload that is not exactly one message.
#include "multiplayer/Multiplayer_Message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using px::DecodeMessage;
using px::EncodeMessage;
using px::MpMessage;
using px::RValue;
using Bytes = std::vector<std::uint8_t>;

// The table written out field by field: flag byte, id, string flag, then
// length and text or the 8 bytes of the real, little-endian.
Bytes Expected(bool isMessage, std::int32_t id, const RValue& v) {
  Bytes b{static_cast<std::uint8_t>(isMessage ? 1 : 0)};
  auto le = [&](std::uint64_t x, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
  };
  le(static_cast<std::uint32_t>(id), 4);
  if (v.isString()) {
    const std::string s = v.str().substr(0, 32000);
    b.push_back(1);
    le(s.size(), 4);
    b.insert(b.end(), s.begin(), s.end());
  } else {
    b.push_back(0);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v.real, 8);
    le(bits, 8);
  }
  return b;
}

TEST(MultiplayerMessage, BytesFollowTheFieldTable) {
  struct Case {
    bool isMessage;
    std::int32_t id;
    RValue value;
  };
  const Case cases[] = {
      {true, 7, RValue::FromReal(2.5)},
      {false, 1000000, RValue::FromReal(-1e300)},
      {true, -2147483647 - 1, RValue::FromString("")},
      {true, 0x01020304, RValue::FromString(std::string("a\0b", 3))},
      {false, 3, RValue::FromString(std::string(100, 'x'))},
      {true, 9, RValue::FromString(std::string(32000, 'y'))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Bytes bytes = EncodeMessage(MpMessage{42, c.isMessage, c.id, c.value});
    EXPECT_EQ(bytes, Expected(c.isMessage, c.id, c.value));
    const auto back = DecodeMessage(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->isMessage, c.isMessage);
    EXPECT_EQ(back->id, c.id);
    EXPECT_EQ(back->value, c.value);
    EXPECT_EQ(back->player, 0);  // the sender comes from the transport
  }
  // A first byte 1, then id 7 = 07 00 00 00, then 0 and 2.5 = 0x4004000000000000.
  const Bytes literal{1, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x40};
  EXPECT_EQ(EncodeMessage(MpMessage{0, true, 7, RValue::FromReal(2.5)}), literal);
}

TEST(MultiplayerMessage, LongStringsAreCutToTheirFirst32000Bytes) {
  std::string text(40000, 'a');
  text[31999] = 'z';
  const Bytes bytes = EncodeMessage(MpMessage{0, true, 1, RValue::FromString(text)});
  EXPECT_EQ(bytes.size(), 32010u);
  const auto back = DecodeMessage(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->value.str(), text.substr(0, 32000));
}

TEST(MultiplayerMessage, PayloadsThatAreNotOneMessageAreRefused) {
  const Bytes good = Expected(true, 5, RValue::FromString("abc"));
  auto with = [&](std::size_t at, std::uint8_t v) {
    Bytes b = good;
    b[at] = v;
    return b;
  };
  Bytes longer = good;
  longer.push_back(0);
  Bytes tooLong = Expected(true, 5, RValue::FromString(""));
  tooLong[6] = 0x01;  // length 32001
  tooLong[7] = 0x7D;
  tooLong.resize(tooLong.size() + 32001, 'q');
  Bytes realCut = Expected(true, 5, RValue::FromReal(1));
  realCut.pop_back();
  const std::pair<const char*, Bytes> cases[] = {
      {"empty", {}},
      {"flag 2", with(0, 2)},
      {"string flag 2", with(5, 2)},
      {"length past the end", with(6, 4)},
      {"length short of the end", with(6, 2)},
      {"negative length", with(9, 0x80)},
      {"byte left over", longer},
      {"real cut short", realCut},
      {"id cut short", Bytes{1, 5, 0}},
      {"string longer than any sent", tooLong},
  };
  for (const auto& [name, bytes] : cases) {
    EXPECT_FALSE(DecodeMessage(bytes)) << name;
  }
  EXPECT_TRUE(DecodeMessage(good));
}

}  // namespace
