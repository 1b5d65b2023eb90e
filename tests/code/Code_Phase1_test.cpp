// The lexer's tokens and the values of number literals.
#include "code/Code_Phase1.h"

#include <gtest/gtest.h>

#include "code/Code_Phase2.h"
#include "code/Code_TestSupport.h"

using namespace px;

namespace {

std::vector<RToken1> Lex(Runtime& rt, const std::string& text) {
  const CCode code(text, false);
  std::vector<RToken1> tokens;
  EXPECT_TRUE(LexCode(CompileContext{rt, code}, text, tokens)) << text;
  return tokens;
}

std::vector<std::int32_t> Kinds(const std::vector<RToken1>& tokens) {
  std::vector<std::int32_t> out;
  for (const RToken1& t : tokens) out.push_back(static_cast<std::int32_t>(t.kind));
  return out;
}

TEST(Lexer, OperatorsTakeTwoCharactersFirst) {
  pxtest::TestRun run;
  const auto tokens = Lex(run.rt,
                          ":= += -= *= /= && || <= == != <> >= |= &= ^= << >> ^^ "
                          "! & ( ) * + , - . / : ; < = > [ ] ^ { | } ~");
  const std::vector<std::int32_t> expected = {101, 102, 103, 104, 105, 201, 202, 205, 206, 207, 207,
                                              208, 114, 115, 116, 221, 222, 216, 203, 218, 106, 107,
                                              212, 210, 109, 211, 112, 213, 113, 108, 204, 101, 209,
                                              110, 111, 219, 11,  217, 12,  220, -2};
  EXPECT_EQ(Kinds(tokens), expected);
}

TEST(Lexer, KeywordsAreExactAndCaseSensitive) {
  pxtest::TestRun run;
  const auto tokens =
      Lex(run.rt,
          "begin end if then else while do for until repeat exit break continue with "
          "return switch case default var globalvar and or not div mod xor IF Begin _x1");
  const std::vector<std::int32_t> expected = {11,  12,  13,  14,  15,  16,  17, 18, 19, 20,
                                              21,  22,  23,  24,  25,  26,  27, 28, 29, 30,
                                              201, 202, 203, 214, 215, 216, 0,  0,  0,  -2};
  EXPECT_EQ(Kinds(tokens), expected);
}

TEST(Lexer, TextsAndPositions) {
  pxtest::TestRun run;
  const std::string text = std::string("a.b 1.2.3 $fF .5 'x\"y' \"q") + "   ";
  const auto tokens = Lex(run.rt, text);
  const struct {
    TokenKind kind;
    const char* text;
    std::int32_t position;
  } expected[] = {
      {TokenKind::Identifier, "a", 1}, {TokenKind::Dot, ".", 2},
      {TokenKind::Identifier, "b", 3}, {TokenKind::Number, "1.2.3", 5},
      {TokenKind::Number, "$fF", 11},  {TokenKind::Number, ".5", 15},
      {TokenKind::String, "x\"y", 18}, {TokenKind::String, "q   ", 24},
      {TokenKind::EndOfText, "", 29},
  };
  ASSERT_EQ(tokens.size(), std::size(expected));
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    EXPECT_EQ(tokens[i].kind, expected[i].kind) << i;
    EXPECT_EQ(tokens[i].text, expected[i].text) << i;
    EXPECT_EQ(tokens[i].position, expected[i].position) << i;
  }
}

TEST(Lexer, NumberValues) {
  const struct {
    const char* digits;
    double value;
  } cases[] = {{"0", 0},    {"42", 42},   {"1.2.3", 1.23}, {".5", 0.5},    {"5.", 5},
               {"$1F", 31}, {"$ff", 255}, {"$", 0},        {"0.25", 0.25}, {"007", 7}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumberValue(c.digits), c.value) << c.digits;
}

}  // namespace
