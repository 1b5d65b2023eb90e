// Running game code: operators, statements, the result slot, errors.
#include "code/Code_Exec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Code_ExecTestSupport.h"
#include "code/Code_Operator.h"
#include "run/Run_Error.h"
#include "run/Runner_Code.h"

using namespace px;
using pxtest::ExecWorld;
using pxtest::Show;

namespace {

// The result as text, or the end of the error message after "at position ".
std::string Outcome(ExecWorld& w, const std::string& text) {
  const pxtest::Outcome o = w.Run(text);
  if (o.ok) return Show(o.result);
  const std::size_t at = o.error.rfind("at position ");
  return at == std::string::npos ? o.error : o.error.substr(at);
}

struct Case {
  const char* code;
  const char* expected;
};

void ExpectOutcomes(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    ExecWorld w;
    EXPECT_EQ(Outcome(w, c.code), c.expected) << c.code;
  }
}

// Every operator on operands the compiler cannot fold gives what the shared
// operator routine gives, fast paths included.
TEST(Exec, OperatorsAgreeWithTheOperatorRoutine) {
  const char* ops[] = {"+",  "-",  "*", "/",  "div", "mod", "&&", "||", "^^", "<", "<=",
                       "==", "!=", ">", ">=", "|",   "&",   "^",  "<<", ">>", "="};
  const TokenKind kinds[] = {TokenKind::Plus,      TokenKind::Minus,      TokenKind::Multiply,
                             TokenKind::Divide,    TokenKind::Div,        TokenKind::Mod,
                             TokenKind::And,       TokenKind::Or,         TokenKind::Xor,
                             TokenKind::Less,      TokenKind::LessEqual,  TokenKind::Equal,
                             TokenKind::NotEqual,  TokenKind::Greater,    TokenKind::GreaterEqual,
                             TokenKind::BitOr,     TokenKind::BitAnd,     TokenKind::BitXor,
                             TokenKind::ShiftLeft, TokenKind::ShiftRight, TokenKind::Equal};
  const struct {
    const char* text;
    RValue value;
  } operands[] = {{"7", RValue::FromReal(7)},
                  {"-7.5", RValue::FromReal(-7.5)},
                  {"0", RValue::FromReal(0)},
                  {"2.5", RValue::FromReal(2.5)},
                  {"10000000000", RValue::FromReal(1e10)},
                  {"70", RValue::FromReal(70)},
                  {"'ab'", RValue::FromString("ab")},
                  {"''", RValue::FromString("")}};
  ExecWorld w;
  for (std::size_t o = 0; o < std::size(ops); ++o) {
    for (const auto& l : operands) {
      for (const auto& r : operands) {
        const std::string code =
            std::string("a = ") + l.text + "; b = " + r.text + "; return a " + ops[o] + " b;";
        const pxtest::Outcome got = w.Run(code);
        RValue expected = l.value;
        const char* error = BinaryOperation(kinds[o], expected, r.value);
        if (error) {
          EXPECT_FALSE(got.ok) << code;
          EXPECT_TRUE(got.error.ends_with(std::string(": ") + error)) << code << "\n" << got.error;
        } else {
          EXPECT_TRUE(got.ok) << code << "\n" << got.error;
          EXPECT_EQ(Show(got.result), Show(expected)) << code;
        }
        // A constant right operand takes its own path.
        const std::string withConstant =
            std::string("a = ") + l.text + "; return a " + ops[o] + " " + r.text + ";";
        const pxtest::Outcome got2 = w.Run(withConstant);
        EXPECT_EQ(got2.ok, got.ok) << withConstant;
        if (got.ok) {
          EXPECT_EQ(Show(got2.result), Show(got.result)) << withConstant;
        }
      }
    }
  }
}

TEST(Exec, OperatorResultsAndMessages) {
  ExpectOutcomes({
      {"a = 0.1; return a + 0.2 == 0.3", "1"},
      {"a = 1; return a == 1.0000000000002", "0"},
      {"a = 'a'; return a == 1", "at position 17: Cannot compare arguments."},
      {"a = 3; return a * 'ab'", "'ababab'"},
      {"a = -1; return a * 'ab'", "''"},
      {"a = 'ab'; return a * 3", "at position 18: Wrong type of arguments to *."},
      {"a = -7; return a div 2", "-3"},
      {"a = -7; return a mod 3", "-1"},
      {"a = 7.5; return a mod 2", "1.5"},
      {"a = 10000000000; return a div 1", "1410065408"},
      {"a = 5; return a | 2.5", "7"},
      {"a = 0; return ~a", "-1"},
      {"a = 1; return a << 64", "0"},
      {"a = 1; return a / 0", "at position 15: Division by 0."},
      {"a = 1; return a mod 0", "at position 15: Modulo by 0."},
      {"a = 's'; return -a", "at position 17: Wrong type of arguments to unary operator."},
      {"a = 's'; return !a", "at position 17: Wrong type of arguments to unary operator."},
      {"a = 0.4; return !a", "1"},
      {"a = 2000000000; return a * 'ab'", "at position 24: String too long: more than 1 GiB."},
      {"a = 1; a += 1; a += 'x'", "at position 16: Wrong type of arguments to +."},
  });
}

TEST(Exec, BothOperandsOfLogicalOperatorsAreEvaluated) {
  ExecWorld w;
  ASSERT_TRUE(w.Run("a = true && log(1); b = false && log(2); c = true || log(3)").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"1", "2", "3"}));
}

TEST(Exec, EvaluationOrder) {
  ExecWorld w;
  ASSERT_TRUE(w.Run("a[log(1), log(2)] = log(3) + log(4); log(5, log(6), 7)").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"1", "2", "3", "4", "6", "5 1 7"}));
}

// The unit's value: the last assignment or call statement, a return, or 0.
TEST(Exec, ResultSlot) {
  ExpectOutcomes({
      {"", "0"},
      {"k = 5", "5"},
      {"k = 5; exit", "5"},
      {"k = 5; log(1, 2)", "2"},
      {"return 4; k = 5", "4"},
      {"k = 2; if (k > 1) {}", "2"},
      {"for (i = 0; i < 3; i += 1) {}", "0"},
      {"k = 1; for (i = 0; i < 3; i += 1) m = i * 10", "20"},
      {"repeat (2) k = 9", "9"},
      {"k = 'a'; k += 'b'", "'ab'"},
      {"var a; a = 3; a *= 2", "6"},
      {"k = 1; while (false) {}", "1"},
      {"k = 1; globalvar g", "1"},
      {"k = 1; { break; }; k = 2", "1"},
  });
}

TEST(Exec, Switch) {
  ExpectOutcomes({
      {"switch (2) { case 1: a = 1; case 2: a = 2; case 3: a = 3; } return a", "3"},
      {"a = 0; switch (5) { default: a = 1; case 5: a = a * 10 + 5; } return a", "15"},
      {"a = 0; switch (4) { case 1: a = 1; default: a = 2; } return a", "2"},
      {"a = 0; switch (4) { case 1: a = 1; } return a", "0"},
      {"a = 0; switch ('') { case 0: a = 1; } return a", "0"},
      {"a = 0; switch ('x') { case 'x': a = 1; break; case 'y': a = 2; } return a", "1"},
      {"a = 0; switch (1.0000000000001) { case 1: a = 1; } return a", "0"},
      {"s = 0; for (i = 0; i < 4; i += 1) { switch (i) { case 1: continue; } s += i; } return s",
       "5"},
      {"switch (1) { case 1: exit; } k = 1", "0"},
      {"switch (1) { case 1: return 7; } k = 1", "7"},
  });
  ExecWorld w;
  ASSERT_TRUE(w.Run("switch (log(0)) { case log(1): case log(2): log(9); case log(3): }").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"0", "1", "9"}));
}

TEST(Exec, LoopsAndJumps) {
  ExpectOutcomes({
      {"s = 0; for (i = 0; i < 10; i += 1) { if (i == 3) continue; if (i == 6) break; s += i; } "
       "return s",
       "12"},
      {"s = 0; i = 0; while (i < 5) { i += 1; if (i == 2) continue; s += i; } return s", "13"},
      {"i = 0; do { i += 1; if (i == 3) break; } until (i > 10) return i", "3"},
      {"i = 0; do i += 1 until (i >= 4) return i", "4"},
      {"s = 0; for (i = 0; i < 3; i += 1) for (j = 0; j < 3; j += 1) { if (j == 1) break; s += 1; "
       "} "
       "return s",
       "3"},
      {"s = 0; repeat (2.5) s += 1; return s", "2"},
      {"s = 0; repeat (3.5) s += 1; return s", "4"},
      {"s = 0; repeat (-3) s += 1; return s", "0"},
      {"s = 0; repeat (3) { s += 1; exit; } return s", "1"},
      {"s = 0; for (i = 0; i < 5; i += 1) { s = i; exit; } return 9", "0"},
      {"break; k = 1", "0"},
      {"continue; k = 1", "0"},
  });
}

TEST(Exec, RunTimeErrorsAndTheirPlaces) {
  ExpectOutcomes({
      {"return m", "at position 8: Unknown variable m"},
      {"a[2] = 1; return a[3]", "at position 18: Unknown variable a or array index out of bounds"},
      {"return a['x']", "at position 8: Wrong type of array index"},
      {"a[-1] = 0", "at position 1: Negative array index"},
      {"a[32000] = 0", "at position 1: Array index >= 32000"},
      {"a[1, 32000] = 0", "at position 1: Array index >= 32000"},
      {"s = 'x'; return (s).m", "at position 17: Wrong type of variable index"},
      {"repeat ('x') {}", "at position 8: Repeat count must be a number"},
      {"if ('x') {}", "at position 4: Expression expected"},
      {"while ('x') {}", "at position 7: Boolean expression expected"},
      {"do {} until ('x')", "at position 4: Boolean expression expected"},
      {"for (i = 0; 'x'; i += 1) {}", "at position 5: Expression expected"},
      {"with ('x') {}", "at position 6: Object id expected"},
      {"with (local) {}", "at position 6: Cannot use local in with statement."},
      {"with (global) {}", "at position 6: Cannot use global in with statement."},
      {"case 1: k = 1", "at position 6: Case statement only allowed inside switch statement."},
      {"{ default: k = 1 }",
       "at position 10: Default statement only allowed inside switch statement."},
      {"{ ; k = 1 }", "at position 3: Statement expected."},
      {"argument_relative = 1", "at position 1: Cannot assign to the variable"},
      {"a = 1; a += 'x'; return a", "at position 8: Wrong type of arguments to +."},
      {"k += 1", "at position 1: Unknown variable k"},
      {"var v; return v", "at position 15: Unknown variable v"},
  });
}

TEST(Exec, FailedCombinationLeavesTheVariable) {
  ExecWorld w;
  EXPECT_FALSE(w.Run("a = 1; a += 'x'").ok);
  EXPECT_EQ(Show(w.Run("return a").result), "1");
}

TEST(Exec, FullMessageOfARunTimeError) {
  ExecWorld w;
  EXPECT_EQ(
      w.Run("k = 1;\r\ny = 2 + z").error,
      "Error in code at line 2:\r   \ny = 2 + z\r           ^\rat position 10: Unknown variable z");
  EXPECT_EQ(w.Run("1 + 'a' * q", true).error,
            "Error in expression:1 + 'a' * q\r position 11: Unknown variable q");
}

// Only the first error of an execution is recorded.
TEST(Exec, FirstErrorWins) {
  ExecWorld w;
  w.AddScript("fails", "return nope");
  w.CompileScripts();
  const pxtest::Outcome o = w.Run("a = fails() + missing");
  EXPECT_FALSE(o.ok);
  EXPECT_TRUE(o.error.starts_with("In script fails:\r")) << o.error;
  EXPECT_TRUE(o.error.ends_with("Unknown variable nope")) << o.error;
}

TEST(Exec, UninitializedZeroReadsMissingVariablesAsZero) {
  ExecWorld w;
  w.rt.settings.uninitializedZero = true;
  EXPECT_EQ(Outcome(w, "k += 2; var v; return k + v + a[5] + global.q"), "2");
}

TEST(Exec, VariablesByPrefix) {
  ExecWorld w;
  ASSERT_TRUE(w.Run("k = 1; other.k = 2; global.k = 3; globalvar g; g = 4; var l; l = 5").ok);
  EXPECT_EQ(Outcome(w, "return k * 10000 + other.k * 1000 + global.k * 100 + global.g * 10"),
            "12340");
  // Locals end with their execution.
  EXPECT_EQ(Outcome(w, "var l; return l"), "at position 15: Unknown variable l");
  // A prefix computed at run time reaches the same places.
  EXPECT_EQ(Outcome(w, "p = -2; q = -5; return (p).k * 10 + (q).k"), "23");
  EXPECT_EQ(Outcome(w, "var l; l[3] = 7; p = local; return p.l[3] + l[3]"), "14");
  EXPECT_EQ(Outcome(w, "p = local; p.fresh = 6; return p.fresh"), "6");
  EXPECT_EQ(Outcome(w, "return (100002).k"), "2");
  EXPECT_EQ(Outcome(w, "o = 1; o.k = 8; return other.k"), "8");
}

TEST(Exec, StringAppendKeepsOtherHoldersIntact) {
  ExecWorld w;
  EXPECT_EQ(Outcome(w, "s = 'a'; t = s; s += 'b'; u = s; s += 'c'; return t + u + s"), "'aababc'");
  EXPECT_EQ(Outcome(w,
                    "var s; s = ''; repeat (3) s += 'xy'; global.g = s; s += '!'; "
                    "return global.g + s"),
            "'xyxyxyxyxyxy!'");
}

TEST(Exec, Arrays) {
  ExpectOutcomes({
      {"a[2, 3] = 5; return a[2, 3] + a[0]", "5"},
      {"a = 4; a[1] = 1; return a[0]", "4"},
      {"var b; b[1, 1] = 'q'; return b[1, 1]", "'q'"},
      {"a[0, 1] = 2; return a[1]", "2"},
  });
}

// ---- Scripts ----------------------------------------------------------

TEST(Exec, ScriptsGetTheirArgumentsAndGiveThemBack) {
  ExecWorld w;
  w.AddScript("add", "return argument0 + argument1");
  w.AddScript("last", "k = argument0 * 2");
  w.AddScript("echo", "return argument1");
  w.AddScript("blank", "");
  w.AddScript("broken", "k = 1; return 'a' - 1 * m");
  w.AddScript("outer", "return broken()");
  w.AddScript("count", "log(argument0, argument1, argument2); argument3 = 'changed'");
  w.CompileScripts();
  EXPECT_EQ(Outcome(w, "return add(2, 3)"), "5");
  EXPECT_EQ(Outcome(w, "return last(4)"), "8");
  EXPECT_EQ(Outcome(w, "return blank()"), "0");
  EXPECT_EQ(Outcome(w, "return echo(1)"), "0");
  // The caller's slots are back after each call, also when the script wrote one.
  w.rt.vars.arguments[0] = RValue::FromReal(11);
  w.rt.vars.arguments[3] = RValue::FromString("mine");
  EXPECT_EQ(Outcome(w, "count(1, 2); return argument0"), "11");
  EXPECT_EQ(Show(w.rt.vars.arguments[3]), "'mine'");
  EXPECT_EQ(w.log.back(), "1 2 0");
  // A failing script yields "ERROR" and a message for each level.
  const pxtest::Outcome o = w.Run("v = outer()");
  EXPECT_FALSE(o.ok);
  EXPECT_TRUE(o.error.starts_with("In script outer:\rIn script broken:\rError in code at line 1:"))
      << o.error;
  EXPECT_TRUE(o.error.ends_with("Unknown variable m")) << o.error;
}

TEST(Exec, RecursiveScriptsKeepArgumentsAtEveryLevel) {
  ExecWorld w;
  w.AddScript("down",
              "if (argument0 == 0) return 0; var r; r = down(argument0 - 1, argument1 * 2); "
              "log(argument0, argument1); return r + argument1");
  w.CompileScripts();
  EXPECT_EQ(Outcome(w, "return down(20, 1)"), "1048575");
  ASSERT_EQ(w.log.size(), 20u);
  EXPECT_EQ(w.log.front(), "1 524288");
  EXPECT_EQ(w.log.back(), "20 1");
}

TEST(Exec, UnboundedRecursionIsStoppedWithAMessage) {
  ExecWorld w;
  w.AddScript("forever", "return forever(argument0 + 1)");
  w.CompileScripts();
  const pxtest::Outcome o = w.Run("return forever(0)");
  EXPECT_FALSE(o.ok);
  EXPECT_TRUE(o.error.starts_with("In script forever:\r")) << o.error.substr(0, 100);
  EXPECT_TRUE(o.error.ends_with(kMsgRecursionTooDeep));
  // The run goes on normally afterwards.
  EXPECT_EQ(Outcome(w, "return 1 + 1"), "2");
  EXPECT_EQ(w.rt.code.exec.depth, 0u);
}

TEST(Exec, ScriptExecute) {
  ExecWorld w;
  w.AddScript("add", "return argument0 + argument1 + argument2");
  w.AddScript("bad", "return q");
  w.CompileScripts();
  EXPECT_EQ(Outcome(w, "return script_execute(add, 1, 2, 3)"), "6");
  EXPECT_EQ(Outcome(w, "return script_execute(bad)"), "'ERROR'");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Unknown variable q"));
  EXPECT_NE(w.rt.code.report.last.find("\r\n\r\nIn script bad:\r"), std::string::npos);
  // The report does not hide a later error of the calling code.
  EXPECT_EQ(Outcome(w, "script_execute(bad); return r"), "at position 29: Unknown variable r");
  EXPECT_EQ(Outcome(w, "return script_execute(7)"), "0");
  EXPECT_TRUE(w.rt.code.report.last.ends_with(kMsgNoSuchScript));
  EXPECT_EQ(Outcome(w, "return script_exists(add) + script_exists(2) * 10"), "1");
  EXPECT_EQ(Outcome(w, "return script_get_name(bad) + script_name(9)"), "'bad<undefined>'");
  EXPECT_EQ(Outcome(w, "return script_get_text(add)"),
            "'return argument0 + argument1 + argument2'");
}

TEST(Exec, ScriptCompileErrorIsFatal) {
  ExecWorld w;
  w.AddScript("good", "k = 1");
  w.AddScript("bad", "k = ");
  EXPECT_FALSE(CompileScripts(w.rt));
  EXPECT_TRUE(w.rt.code.report.aborting);
  EXPECT_TRUE(w.rt.code.report.last.starts_with("COMPILATION ERROR in Script: bad\rError in code"))
      << w.rt.code.report.last;
}

// ---- with ---------------------------------------------------------------

TEST(Exec, WithOverEachKindOfTarget) {
  ExecWorld w;
  px::CInstance& third = w.Spawn(1);
  w.Spawn(2).deleted = true;
  const Case cases[] = {
      {"with (all) log(id(), other.n)", "100001 0|100002 0|100003 0"},
      {"with (1) log(id())", "100002|100003"},
      {"with (other) log(id(), (other).n)", "100002 0"},
      {"with (self) log(other.n + 1)", "1"},
      {"with (100003) log(id())", "100003"},
      {"with (100004) log(id())", ""},
      {"with (noone) log(id())", ""},
      {"with (-8) log(id())", ""},
      {"with (7) log(id())", ""},
  };
  for (const Case& c : cases) {
    w.log.clear();
    w.Run("n = 0");
    ASSERT_TRUE(w.Run(c.code).ok) << c.code;
    std::string joined;
    for (const std::string& line : w.log) joined += (joined.empty() ? "" : "|") + line;
    EXPECT_EQ(joined, c.expected) << c.code;
  }
  (void)third;
}

TEST(Exec, WithRestoresSelfAndOtherAndHandlesJumps) {
  ExpectOutcomes({
      {"s = 0; with (all) { if (id() == 100002) break; other.s += 1; } return s", "1"},
      {"s = 0; with (all) { if (id() == 100001) continue; other.s += 10; } return s", "10"},
      {"s = 0; with (all) { exit; } s = 5; return s", "0"},
      {"with (other) k = 3; return k", "at position 28: Unknown variable k"},
      {"with (other) k = 3; return other.k", "3"},
      {"var i; s = 0; for (i = 0; i < 3; i += 1) with (all) { if (i == 1) continue; other.s += 1; "
       "} "
       "return s",
       "4"},
  });
}

TEST(Exec, WithAllVisitsTheInstancesThatExistedAtTheStart) {
  ExecWorld w;
  ASSERT_TRUE(w.Run("with (all) { spawn(0); log(id()); }").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"100001", "100002"}));
  EXPECT_EQ(w.rt.world.instances.size(), 4u);
  // An instance destroyed by an earlier body is skipped.
  w.log.clear();
  ASSERT_TRUE(w.Run("with (all) { log(id()); with (100004) destroy(); }").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"100001", "100002", "100003"}));
  w.log.clear();
  ASSERT_TRUE(w.Run("with (0) { destroy(); log(id()); }").ok);
  EXPECT_EQ(w.log, (std::vector<std::string>{"100001", "100003"}));
}

// ---- Entries ------------------------------------------------------------

TEST(Exec, EntryChecksAndWrappers) {
  ExecWorld w;
  CCode raw("k = 1", false);
  RValue result;
  EXPECT_FALSE(ExecuteCode(w.rt, w.self, w.other, raw, result));
  EXPECT_TRUE(w.rt.code.error.message.ends_with("Internal Error: Executing non-compiled code."));

  CCode code("return 1", false);
  ASSERT_TRUE(code.Compile(w.rt));
  EXPECT_FALSE(ExecuteCode(w.rt, nullptr, w.other, code, result));
  EXPECT_TRUE(
      w.rt.code.error.message.ends_with("Internal Error: Executing code for nil instance."));

  CCode constant("'k' + 'm'", true);
  ASSERT_TRUE(constant.Compile(w.rt));
  EXPECT_TRUE(ExecuteCode(w.rt, nullptr, nullptr, constant, result));
  EXPECT_EQ(Show(result), "'km'");

  CCode failing("k = q", false);
  ASSERT_TRUE(failing.Compile(w.rt));
  EXPECT_FALSE(EvaluateCode(w.rt, w.self, w.other, failing, result));
  EXPECT_EQ(Show(result), "'ERROR'");
  EXPECT_FALSE(RunCode(w.rt, w.self, w.other, failing, result));
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Unknown variable q"));
  EXPECT_FALSE(w.rt.code.error.pending);
}

}  // namespace

namespace {

// Built-in functions reached from code: arguments, counts and results.
TEST(Exec, BuiltinFunctionsThroughCode) {
  ExpectOutcomes({
      {"return string_copy('abcdef', 2, 3) + string(round(2.5)) + chr(65)", "'bcd2A'"},
      {"return max(3, 9, 4) + min(2, -1) + abs(-2)", "10"},
      {"random_set_seed(1); return floor(random(1000))", "31"},
      {"return string_length(string_repeat('ab', 3))", "6"},
  });
}

}  // namespace
