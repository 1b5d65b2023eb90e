#include "platform/Platform_CodePage.h"

#include <gtest/gtest.h>

namespace {

using namespace px;

TEST(CodePage, BytesToUtf8AndBack) {
  const struct {
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"plain", "plain"},
      {"caf\xE9", "caf\xC3\xA9"},
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
      {"\x80", "\xE2\x82\xAC"},          // euro sign
      {"\x9F", "\xC5\xB8"},              // Y with diaeresis
      {"\x81\x8D", "\xC2\x81\xC2\x8D"},  // undefined bytes keep their number
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CodePageToUtf8(c.bytes), c.utf8);
    EXPECT_EQ(Utf8ToCodePage(c.utf8), c.bytes);
  }
}

TEST(CodePage, WhatTheCodePageLacksBecomesAQuestionMark) {
  const struct {
    std::string utf8;
    std::string bytes;
  } cases[] = {
      {"\xE4\xB8\xAD", "?"},        // a CJK character
      {"\xF0\x9F\x98\x80!", "?!"},  // beyond the basic plane
      {"a\xC3", "a?"},              // cut short
      {"\xC3\x28", "?("},           // bad continuation
      {"\xC0\xAF", "?"},            // overlong form of '/'
      {"\xFF", "?"},
      {"\xED\xA0\x80", "?"},  // a lone surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCodePage(c.utf8), c.bytes) << c.utf8;
}

}  // namespace
