// Compile errors: every message with its place, and the line, column and
// caret of the recorded message.
#include "code/Code_Error.h"

#include <gtest/gtest.h>

#include <string>

#include "code/Code_Main.h"
#include "code/Code_TestSupport.h"

using namespace px;

namespace {

void Ignore(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, const FunctionArgs&) {}

// The message of an error in a one-line program at a column.
std::string ProgramError(const std::string& source, int column, const std::string& message) {
  return "Error in code at line 1:\r   " + source + "\r" + std::string(column + 1, ' ') +
         "^\rat position " + std::to_string(column) + ": " + message;
}

std::string Repeated(const std::string& part, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += part;
  return out;
}

TEST(CompileErrors, EachMessageAtItsPlace) {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  RegisterFunction(rt, "f", Ignore, kAnyArgumentCount);
  RegisterFunction(rt, "two", Ignore, 2);
  rt.resources.scripts.add("scr", CScript{});

  const std::string args17 = "1" + Repeated(",1", 16);
  const std::string deepParens = "x = " + Repeated("(", 1100) + "1" + Repeated(")", 1100);
  const std::string longChain = "x = a" + Repeated("+a", 1000);
  struct Case {
    std::string source;
    int column;  // the 1-based position, clamped to the text
    std::string message;
    bool compileTwice = false;
  };
  const Case cases[] = {
      // Lexer.
      {"x = 1 # 2", 7, "Unexpected symbol."},
      {"x = \x80", 5, "Unexpected symbol."},
      {"x = @", 5, "Unexpected symbol."},
      // Names.
      {"x = nofunc(1)", 5, "Unknown function or script: nofunc"},
      {"Nofunc ()", 1, "Unknown function or script: Nofunc"},
      // Calls.
      {"f(1 2)", 5, "Symbol , or ) expected."},
      {"f(1,", 4, "Symbol ) expected."},
      {"f(", 2, "Symbol ) expected."},
      {"two(1)", 1, "Wrong number of arguments to function or script."},
      {"x = 1 + two(1, 2, 3)", 9, "Wrong number of arguments to function or script."},
      {"f(" + args17 + ")", 1, "Wrong number of arguments to function or script."},
      {"scr(" + args17 + ")", 1, "Wrong number of arguments to function or script."},
      // Variables and arrays.
      {"x = a.f(1)", 7, "Variable name expected."},
      {"x = a.", 6, "Variable name expected."},
      {"5 = 3", 1, "Variable name expected."},
      {"c_red = 1", 1, "Variable name expected."},
      {"-x = 1", 1, "Variable name expected."},
      {"x = a[1 2]", 9, "Symbol , or ] expected."},
      {"x = a[1", 7, "Symbol ] expected."},
      {"x = a[1,2,3] + 1", 14, "Only 1- and 2-dimensional arrays are supported."},
      // Expressions.
      {"x = )", 5, "Unexpected symbol in expression."},
      {"x = (1 + 2", 10, "Symbol ) expected."},
      {"x = (1 + 2;", 11, "Symbol ) expected."},
      {"for (;;) {}", 8, "Unexpected symbol in expression."},
      {"x = ", 4, "Unexpected symbol in expression."},
      // Statements.
      {"x 1", 3, "Assignment operator expected."},
      {"x == 1", 3, "Assignment operator expected."},
      {"var a, x", 8, "Cannot redeclare a builtin variable."},
      {"globalvar score", 11, "Cannot redeclare a builtin variable."},
      {"switch a { case 1 x = 1 }", 19, "Symbol : expected."},
      {"switch a { default x = 1 }", 20, "Symbol : expected."},
      {"switch a x = 1", 10, "Symbol { expected."},
      {"switch a { case 1:", 18, "Symbol } expected."},
      {"{ x = 1", 7, "Symbol } expected."},
      {"do x += 1", 9, "Keyword until expected."},
      {"do x += 1 while x < 3", 11, "Keyword until expected."},
      {"for i = 0", 5, "Symbol ( expected."},
      {"for (i = 0; i < 1; i += 1 x = 1", 27, "Symbol ) expected."},
      {"if a", 4, "Unexpected end of code reached."},
      {"repeat 3", 8, "Unexpected end of code reached."},
      {"{ a = 1 } b = 2", 11, "Program ends before end of the code."},
      // Post-pass.
      {"\"abc\".x = 1", 1, "Left hand side must be a real value."},
      {"x = ('a').y", 5, "Left hand side must be a real value."},
      {"x = 1/0", 7, "Division by 0."},
      {"x = 1 div 0", 11, "Division by 0."},
      {"x = 5 mod (2 - 2)", 12, "Modulo by 0."},
      {"x = \"a\" - 1", 11, "Wrong type of arguments to -."},
      {"x = 'a' == 1", 12, "Cannot compare arguments."},
      {"x = -\"a\"", 6, "Wrong type of arguments to unary operator."},
      {"x = 1 + (2 + 'b')", 14, "Wrong type of arguments to +."},
      {"x = 1", 1, "Internal Error: Recompiling compiled code.", true},
      // Nesting guard.
      // The statement and its value take two levels, each "(" one more.
      {deepParens, 4 + 999 + 1, "Code is nested too deeply."},
      {longChain, 5, "Code is nested too deeply."},
  };
  for (const Case& c : cases) {
    CCode code(c.source, false);
    if (c.compileTwice) {
      ASSERT_TRUE(code.Compile(rt));
    }
    EXPECT_FALSE(code.Compile(rt)) << c.source;
    EXPECT_EQ(code.compiled(), c.compileTwice);
    EXPECT_TRUE(rt.code.error.pending);
    EXPECT_EQ(rt.code.error.message, ProgramError(c.source, c.column, c.message)) << c.source;
  }
}

TEST(CompileErrors, ExpressionUnitsShowTheWholeText) {
  pxtest::TestRun run;
  CCode code("1 +\r\n)", true);
  EXPECT_FALSE(code.Compile(run.rt));
  EXPECT_EQ(run.rt.code.error.message,
            "Error in expression:1 +\r\n)\r position 2: Unexpected symbol in expression.");
}

TEST(CompileErrors, OnlyTheFirstErrorIsRecordedUntilTheNextCompilation) {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  const CCode code("x = )", false);
  CodeError(rt, code, 1, "first");
  CodeError(rt, code, 2, "second");
  EXPECT_EQ(rt.code.error.message, ProgramError("x = )", 1, "first"));

  CCode good("x = 1", false);
  EXPECT_TRUE(good.Compile(rt));
  EXPECT_FALSE(rt.code.error.pending);
}

TEST(CodeErrorFormat, LinesColumnsAndCaret) {
  struct Case {
    const char* text;
    int position;
    const char* expected;
  };
  const Case cases[] = {
      // Third line of a CR LF text, fifth character: the LF counts.
      {"a = 1\r\nb = 2\r\nc = 333;\r\nd", 19,
       "Error in code at line 3:\r   \nc = 333;\r       ^\rat position 6: m"},
      {"x\r\ny", 4, "Error in code at line 2:\r   \ny\r   ^\rat position 2: m"},
      // LF alone counts as a line break, but only CRs bound the shown line.
      {"a\nbb\ncc", 4, "Error in code at line 2:\r   a\nbb\ncc\r   ^\rat position 2: m"},
      {"a\r\nb\nc\rd", 6, "Error in code at line 3:\r   \nb\nc\r  ^\rat position 1: m"},
      // An error on a CR (a text that ends in one, the end of code clamped to
      // it) counts the break but shows the line the CR ends.
      {"if a\r", 5, "Error in code at line 2:\r   if a\r ^\rat position 0: m"},
      {"x\ry\r", 99, "Error in code at line 3:\r   y\r ^\rat position 0: m"},
      {"a\rbb\rcc", 3, "Error in code at line 2:\r   bb\r  ^\rat position 1: m"},
      // Positions are clamped to the text.
      {"abc", 0, "Error in code at line 1:\r   abc\r  ^\rat position 1: m"},
      {"abc", 99, "Error in code at line 1:\r   abc\r    ^\rat position 3: m"},
      {"", 5, "Error in code at line 1:\r   \r ^\rat position 0: m"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatCodeError(c.text, true, c.position, "m"), c.expected) << c.text;
  }
  EXPECT_EQ(FormatCodeError("1 +\r\n 2", false, 7, "m"),
            "Error in expression:1 +\r\n 2\r position 3: m");
}

}  // namespace
