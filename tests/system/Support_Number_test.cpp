// The number texts of text files and INI files.
#include "system/Support_Number.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace px;

TEST(TextFileNumbers, ReaderStopsAfterTheFirstOtherCharacter) {
  const struct {
    const char* text;
    double value;
    const char* rest;
  } cases[] = {
      {"  -3,25xyz", -3.25, "yz"},   {"--5", 5, ""},        {"0 7", 7, ""},
      {"1.2.3", 1.203, ""},          {"12 34", 12, "34"},   {"4-2", 4, "2"},
      {"\t.5\r\nnext", 0.5, "\r\nnext"}, {"1e5", 1, "5"},   {"", 0, ""},
      {"abc", 0, "bc"},              {"-0-1", 1, ""},       {"7\n8", 7, "\n8"},
  };
  for (const auto& c : cases) {
    TextCursor cursor{c.text, 0};
    EXPECT_DOUBLE_EQ(ReadTextFileReal(cursor), c.value) << c.text;
    EXPECT_EQ(cursor.text.substr(cursor.pos), c.rest) << c.text;
  }
}

TEST(TextFileNumbers, WriterTruncatesToSixDecimals) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {2.5, " 2.500000"},  {3, " 3"},          {0.0000001, " 0"}, {-1.5, " -1.500000"},
      {1.0 / 3, " 0.333333"}, {100, " 100"},   {-0.0000001, " 0"}, {-2, " -2"},
      {0.9999999, " 0.999999"}, {1e20, " 100000000000000000000"}, {NAN, " 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextFileRealText(c.x), c.text) << c.x;
  // Whatever is written reads back as a number.
  const std::string text = TextFileRealText(INFINITY);
  TextCursor cursor{text, 0};
  EXPECT_TRUE(std::isfinite(ReadTextFileReal(cursor)));
}

TEST(IniNumbers, ReaderKeepsWhatItReadBeforeStopping) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1.5e3", 1500}, {"2E-2", 0.02}, {"+4", 0},      {"", 0},        {"-12,5", -12.5},
      {"3.1.4", 3.1},  {"1e2e3", 100}, {"7 8", 7},     {"-e-1", -0.0}, {"1-", -1},
      {"0e999", 0},    {"5e-999", 0},  {"1e400", INFINITY}, {"2.5E1x", 25},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(IniTextToReal(c.text), c.value) << c.text;
}

TEST(IniNumbers, SystemFormatReadsBack) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {0, "0"},        {1.5, "1.5"},    {-2, "-2"},     {0.1, "0.1"},   {1e20, "1E20"},
      {1.5e-7, "1.5E-7"}, {123456789012345, "123456789012345"}, {NAN, "NAN"}, {-INFINITY, "-INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemRealText(c.x), c.text) << c.x;
  for (const double x : {1.5, -0.25, 1e20, 3.14159265358979, 1.5e-7, -7e100})
    EXPECT_DOUBLE_EQ(IniTextToReal(SystemRealText(x)), x) << x;
}

}  // namespace
