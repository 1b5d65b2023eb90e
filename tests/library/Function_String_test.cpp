// Conversions and string functions as game code calls them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;

RValue Bytes(std::string s) {
  return RValue::FromString(std::move(s));
}

struct Case {
  const char* name;
  std::vector<RValue> args;
  RValue expected;
};

// Each case in a fresh run, which must report nothing.
void ExpectResults(std::span<const Case> cases) {
  for (const Case& c : cases) {
    pxtest::TestRun run;
    EXPECT_EQ(pxtest::CallWith(run, c.name, c.args), c.expected)
        << c.name << "(" << (c.args.empty() ? "" : c.args[0].str()) << ")";
    EXPECT_FALSE(run.rt.code.report.occurred) << c.name << ": " << run.rt.code.report.last;
  }
}

TEST(StringFunctions, PiecesByPosition) {
  const Case cases[] = {
      {"string_copy", {Str("hello"), Real(0), Real(2)}, Str("he")},
      {"string_copy", {Str("hello"), Real(4), Real(10)}, Str("lo")},
      {"string_copy", {Str("hello"), Real(-5), Real(3)}, Str("hel")},
      {"string_copy", {Str("hello"), Real(5), Real(1)}, Str("o")},
      {"string_copy", {Str("hello"), Real(6), Real(1)}, Str("")},
      {"string_copy", {Str("hello"), Real(2), Real(-1)}, Str("")},
      {"string_copy", {Str("hello"), Real(2), Real(0)}, Str("")},
      {"string_copy", {Str("hello"), Real(2.5), Real(2)}, Str("el")},  // 2.5 rounds to 2
      {"string_copy", {Str("hello"), Real(1), Real(1e300)}, Str("hello")},
      {"string_copy", {Str("hello"), Real(1e300), Real(1)}, Str("")},
      {"string_copy", {Str(""), Real(1), Real(1)}, Str("")},
      {"string_char_at", {Str("hello"), Real(1)}, Str("h")},
      {"string_char_at", {Str("hello"), Real(5)}, Str("o")},
      {"string_char_at", {Str("hello"), Real(0)}, Str("h")},
      {"string_char_at", {Str("hello"), Real(6)}, Str("")},
      {"string_delete", {Str("hello"), Real(2), Real(100)}, Str("h")},
      {"string_delete", {Str("hello"), Real(1), Real(2)}, Str("llo")},
      {"string_delete", {Str("hello"), Real(5), Real(1)}, Str("hell")},
      // Nothing is removed from an index below 1 or past the end, or for a
      // count of 0 or less.
      {"string_delete", {Str("hello"), Real(0), Real(2)}, Str("hello")},
      {"string_delete", {Str("hello"), Real(6), Real(1)}, Str("hello")},
      {"string_delete", {Str("hello"), Real(2), Real(0)}, Str("hello")},
      {"string_delete", {Str("hello"), Real(2), Real(-3)}, Str("hello")},
      {"string_insert", {Str("XY"), Str("hello"), Real(3)}, Str("heXYllo")},
      {"string_insert", {Str("XY"), Str("hello"), Real(1)}, Str("XYhello")},
      {"string_insert", {Str("XY"), Str("hello"), Real(-4)}, Str("XYhello")},
      {"string_insert", {Str("XY"), Str("hello"), Real(6)}, Str("helloXY")},
      {"string_insert", {Str("XY"), Str("hello"), Real(1e12)}, Str("helloXY")},
      {"string_insert", {Str("XY"), Str(""), Real(1)}, Str("XY")},
      {"string_pos", {Str("c"), Str("abcabc")}, Real(3)},
      {"string_pos", {Str("ab"), Str("abab")}, Real(1)},
      {"string_pos", {Str("d"), Str("abc")}, Real(0)},
      {"string_pos", {Str(""), Str("abc")}, Real(0)},
      {"string_pos", {Str("abcd"), Str("abc")}, Real(0)},
      {"string_length", {Str("")}, Real(0)},
      {"string_length", {Str("h\xE9llo")}, Real(5)},
      {"string_length", {Bytes(std::string("a\0b", 3))}, Real(3)},
  };
  ExpectResults(cases);
}

TEST(StringFunctions, CharactersAndCase) {
  const Case cases[] = {
      {"string_lower", {Str("AbC \xC9z1")}, Str("abc \xC9z1")},
      {"string_upper", {Str("aBc \xE9Z1")}, Str("ABC \xE9Z1")},
      {"string_letters", {Str("a1B2\xE9_c Z")}, Str("aBcZ")},
      {"string_digits", {Str("a1B2\xE9_c9")}, Str("129")},
      {"string_lettersdigits", {Str("a1B2\xE9_c")}, Str("a1B2c")},
      {"string_letters", {Str("")}, Str("")},
      {"chr", {Real(65)}, Str("A")},
      {"chr", {Real(321)}, Str("A")},   // modulo 256
      {"chr", {Real(-191)}, Str("A")},  // −191 mod 256 = 65
      {"chr", {Real(65.5)}, Str("B")},  // halves to even
      {"chr", {Real(233)}, Str("\xE9")},
      {"chr", {Real(0)}, Bytes(std::string(1, '\0'))},
      {"ord", {Str("A")}, Real(65)},
      {"ord", {Str("\xE9")}, Real(233)},
      {"ord", {Str("")}, Real(0)},
      {"ord", {Real(65)}, Real(0)},  // a real's text is empty
  };
  ExpectResults(cases);
}

TEST(StringFunctions, RepeatReplaceAndCount) {
  const Case cases[] = {
      {"string_repeat", {Str("ab"), Real(3)}, Str("ababab")},
      {"string_repeat", {Str("ab"), Real(2.5)}, Str("abab")},
      {"string_repeat", {Str("ab"), Real(0)}, Str("")},
      {"string_repeat", {Str("ab"), Real(-2)}, Str("")},
      {"string_repeat", {Str(""), Real(1e15)}, Str("")},
      {"string_replace", {Str("aXbXc"), Str("X"), Str("--")}, Str("a--bXc")},
      {"string_replace", {Str("abc"), Str(""), Str("Z")}, Str("abc")},
      {"string_replace", {Str("abc"), Str("d"), Str("Z")}, Str("abc")},
      {"string_replace", {Str("Abc"), Str("a"), Str("Z")}, Str("Abc")},  // case-sensitive
      {"string_replace_all", {Str("aaa"), Str("a"), Str("aa")}, Str("aaaaaa")},
      {"string_replace_all", {Str("aaaa"), Str("aa"), Str("b")}, Str("bb")},
      {"string_replace_all", {Str("aaa"), Str("aa"), Str("b")}, Str("ba")},
      {"string_replace_all", {Str("abcabc"), Str("bc"), Str("")}, Str("aa")},
      {"string_replace_all", {Str("abc"), Str(""), Str("Z")}, Str("abc")},
      {"string_count", {Str("aa"), Str("aaaa")}, Real(2)},
      {"string_count", {Str("aa"), Str("aaa")}, Real(1)},
      {"string_count", {Str("aba"), Str("ababa")}, Real(1)},
      {"string_count", {Str("b"), Str("abcb")}, Real(2)},
      {"string_count", {Str(""), Str("abc")}, Real(0)},
  };
  ExpectResults(cases);
}

// Results that would not fit in memory are refused with an error and give
// the empty string, rather than ending the game.
TEST(StringFunctions, HugeResultsAreRefused) {
  const struct {
    const char* name;
    std::vector<RValue> args;
    const char* message;
  } cases[] = {
      {"string_repeat", {Str("ab"), Real(1e12)}, "Error in function string_repeat()."},
      {"string_repeat", {Str("ab"), Real(1e300)}, "Error in function string_repeat()."},
      {"string_replace_all",
       {Bytes(std::string(1 << 16, 'a')), Str("a"), Bytes(std::string(1 << 13, 'b'))},
       "Error in function string_replace_all()."},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    EXPECT_EQ(pxtest::CallWith(run, c.name, c.args), Str("")) << c.name;
    EXPECT_THAT(run.rt.code.report.last, testing::EndsWith(c.message));
  }
}

TEST(Conversions, RealAndString) {
  const Case cases[] = {
      {"string", {Real(5)}, Str("5")},
      {"string", {Real(0.1)}, Str("0.10")},
      {"string", {Real(-1e-3)}, Str("0.00")},
      {"string", {Real(1e20)}, Str("ERROR")},
      {"string", {Str("abc")}, Str("abc")},
      {"string_format", {Real(3.14159), Real(8), Real(3)}, Str("   3.142")},
      {"string_format", {Real(-3.5), Real(4), Real(0)}, Str("  -4")},
      {"string_format", {Real(5), Real(2), Real(2)}, Str("5.00")},  // never cut
      {"string_format", {Real(5), Real(-3), Real(-1)}, Str("5")},
      {"string_format", {Real(1.0 / 3), Real(0), Real(20)}, Str("0.33333333333333331500")},
      {"string_format", {Str("abc"), Real(10), Real(2)}, Str("abc")},
      {"string_format", {Real(1), Real(1e12), Real(0)}, Str("ERROR")},
      {"string_format", {Real(1), Real(0), Real(1e12)}, Str("ERROR")},
      {"real", {Str("12.5")}, Real(12.5)},
      {"real", {Str(" -2e2 ")}, Real(-200)},
      {"real", {Str("")}, Real(0)},
      {"real", {Str("   ")}, Real(0)},
      {"real", {Real(7.25)}, Real(7.25)},
  };
  ExpectResults(cases);
}

TEST(Conversions, TextThatIsNoNumberIsReported) {
  for (const char* text : {"abc", "1,5", "12abc", "1e400"}) {
    pxtest::TestRun run;
    EXPECT_EQ(Call(run, "real", {Str(text)}), Real(0)) << text;
    EXPECT_THAT(run.rt.code.report.last, testing::EndsWith("Error in function real()."));
    EXPECT_FALSE(run.rt.code.report.aborting);
  }
}

}  // namespace
