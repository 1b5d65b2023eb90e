#include "code/Code_Variable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <variant>

#include "Code_TestSupport.h"
#include "code/Variable_BuiltIn.h"

using namespace px;
using pxtest::TestInstance;
using pxtest::TestRun;
using pxtest::TestWorld;

namespace {

// A room whose instance list starts with a destroyed instance, so `all` and
// object lookups must skip it. User variable v holds a different value in
// every place it can live; g is declared globalvar.
class Routing : public ::testing::Test {
 protected:
  Routing() {
    world.room = {&gone, &self, &other, &third};
    rt.vars.instances = &world;
    v = VariableIndexOf(rt.vars, "v");
    g = VariableIndexOf(rt.vars, "g");
    gone.variables.set(v, 0, RValue::FromReal(4));
    self.variables.set(v, 0, RValue::FromReal(1));
    other.variables.set(v, 0, RValue::FromReal(2));
    third.variables.set(v, 0, RValue::FromReal(3));
    rt.vars.globals.set(v, 0, RValue::FromReal(5));
    scope.self = &self;
    scope.other = &other;
    scope.locals = std::make_unique<CVariableList>();
    scope.locals->set(v, 0, RValue::FromReal(7));
    DeclareGlobalVar(rt.vars, g);
    rt.vars.globals.set(g, 0, RValue::FromReal(50));
    self.variables.set(g, 0, RValue::FromReal(10));
  }

  // The value read, or the error message.
  std::variant<double, std::string> Read(std::int32_t prefix, std::int32_t index,
                                         std::int32_t flat = 0) {
    RValue out;
    const VarStatus status = ReadVariable(rt, scope, prefix, index, flat, out);
    if (status == VarStatus::Ok) return out.real;
    return VariableErrorMessage(rt, VarAccess::Read, status, index, flat);
  }
  std::optional<std::string> Write(std::int32_t prefix, std::int32_t index, const RValue& value,
                                   std::int32_t flat = 0) {
    const VarStatus status = WriteVariable(rt, scope, prefix, index, flat, value);
    if (status == VarStatus::Ok) return std::nullopt;
    return VariableErrorMessage(rt, VarAccess::Write, status, index, flat);
  }

  TestRun run;
  Runtime& rt = run.rt;
  TestWorld world;
  TestInstance gone{100004, 2, true};
  TestInstance self{100001, 0};
  TestInstance other{100002, 1};
  TestInstance third{100003, 1};
  VarScope scope;
  std::int32_t v = 0;
  std::int32_t g = 0;
};

using Result = std::variant<double, std::string>;

}  // namespace

TEST_F(Routing, ReadsByPrefix) {
  const std::int32_t w = VariableIndexOf(rt.vars, "w");  // exists nowhere
  const struct {
    std::int32_t prefix;
    std::int32_t index;
    std::int32_t flat;
    Result expected;
  } cases[] = {
      {kSelf, v, 0, 1.0},
      {kOther, v, 0, 2.0},
      {kAll, v, 0, 1.0},  // the first instance not marked destroyed
      {kNoone, v, 0, "Unknown variable v"},
      {kGlobal, v, 0, 5.0},
      {kNoPrefix, v, 0, 1.0},
      {kNoPrefix, g, 0, 50.0},  // globalvar
      {kSelf, g, 0, 10.0},      // a prefix still reaches the instance
      {kLocal, v, 0, 7.0},
      {0, v, 0, 1.0},
      {1, v, 0, 2.0},                        // the first instance of the object
      {2, v, 0, "Unknown variable v"},       // only a destroyed instance
      {3, v, 0, "Unknown variable v"},       // no instance at all
      {100003, v, 0, 3.0},                   // instance id
      {100004, v, 0, "Unknown variable v"},  // destroyed
      {100099, v, 0, "Unknown variable v"},  // no such id
      {-8, v, 0, "Unknown variable v"},
      {-100, v, 0, "Unknown variable v"},
      {kSelf, w, 0, "Unknown variable w"},
      {kSelf, v, 3, "Unknown variable v or array index out of bounds"},
      {kGlobal, v, FlatIndex(1, 0), "Unknown variable v or array index out of bounds"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.prefix, c.index, c.flat), c.expected) << "prefix " << c.prefix;
  }
}

TEST_F(Routing, WritesByPrefix) {
  // Where v holds 42 afterwards, in the order gone, self, other, third, global, local.
  using Places = std::array<bool, 6>;
  const struct {
    std::int32_t prefix;
    std::optional<std::string> error;
    Places changed;
  } cases[] = {
      {kSelf, {}, {0, 1, 0, 0, 0, 0}},
      {kOther, {}, {0, 0, 1, 0, 0, 0}},
      {kAll, {}, {0, 1, 1, 1, 0, 0}},
      {kNoone, "Cannot assign to the variable", {}},
      {kGlobal, {}, {0, 0, 0, 0, 1, 0}},
      {kNoPrefix, {}, {0, 1, 0, 0, 0, 0}},
      {kLocal, {}, {0, 0, 0, 0, 0, 1}},
      {0, {}, {0, 1, 0, 0, 0, 0}},
      {1, {}, {0, 0, 1, 1, 0, 0}},  // every instance of the object
      {2, {}, {}},                  // only a destroyed one: nothing, no error
      {100003, {}, {0, 0, 0, 1, 0, 0}},
      {100004, {}, {}},
      {100099, {}, {}},
      {-8, "Cannot assign to the variable", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prefix);
    const double before[] = {4, 1, 2, 3, 5, 7};
    TestInstance* instances[] = {&gone, &self, &other, &third};
    for (int i = 0; i < 4; ++i) instances[i]->variables.set(v, 0, RValue::FromReal(before[i]));
    rt.vars.globals.set(v, 0, RValue::FromReal(before[4]));
    scope.locals->set(v, 0, RValue::FromReal(before[5]));

    EXPECT_EQ(Write(c.prefix, v, RValue::FromReal(42)), c.error);
    RValue out;
    for (int i = 0; i < 4; ++i) {
      instances[i]->variables.get(v, 0, out);
      EXPECT_EQ(out.real, c.changed[i] ? 42 : before[i]) << "instance " << i;
    }
    rt.vars.globals.get(v, 0, out);
    EXPECT_EQ(out.real, c.changed[4] ? 42 : before[4]) << "global";
    scope.locals->get(v, 0, out);
    EXPECT_EQ(out.real, c.changed[5] ? 42 : before[5]) << "local";
  }
}

TEST_F(Routing, GlobalvarWithoutPrefixUsesTheGlobalList) {
  EXPECT_EQ(Write(kNoPrefix, g, RValue::FromReal(60)), std::nullopt);
  EXPECT_EQ(Read(kGlobal, g), Result(60.0));
  EXPECT_EQ(Read(kSelf, g), Result(10.0));
}

TEST_F(Routing, LocalsAreCreatedByTheFirstWrite) {
  VarScope fresh;
  fresh.self = &self;
  fresh.other = &self;
  RValue out;
  EXPECT_EQ(ReadVariable(rt, fresh, kLocal, v, 0, out), VarStatus::Failed);
  EXPECT_FALSE(fresh.locals);
  EXPECT_EQ(WriteVariable(rt, fresh, kLocal, v, 2, RValue::FromString("s")), VarStatus::Ok);
  ASSERT_TRUE(fresh.locals);
  EXPECT_EQ(ReadVariable(rt, fresh, kLocal, v, 2, out), VarStatus::Ok);
  EXPECT_EQ(out.str(), "s");
  EXPECT_EQ(Read(kSelf, v), Result(1.0));  // the instance is untouched
}

TEST_F(Routing, ArrayFormsShareOneStorageThroughAnyPrefix) {
  EXPECT_EQ(Write(kOther, v, RValue::FromReal(9), FlatIndex(0, 0)), std::nullopt);
  EXPECT_EQ(Read(100002, v), Result(9.0));
  EXPECT_EQ(Write(1, v, RValue::FromReal(8), FlatIndex(0, 5)), std::nullopt);
  EXPECT_EQ(Read(kOther, v, 5), Result(8.0));
  EXPECT_EQ(Read(kOther, v, 4), Result(0.0));
  EXPECT_EQ(Read(100003, v, FlatIndex(0, 5)), Result(8.0));
}

TEST_F(Routing, BuiltinVariablesThroughPrefixes) {
  const std::int32_t arg = FindBuiltinVariable("argument");
  const std::int32_t arg0 = FindBuiltinVariable("argument0");
  const std::int32_t arg3 = FindBuiltinVariable("argument3");
  const std::int32_t gameId = FindBuiltinVariable("game_id");
  const std::int32_t caption = FindBuiltinVariable("caption_health");
  const std::int32_t objectIndex = FindBuiltinVariable("object_index");
  const std::int32_t score = FindBuiltinVariable("score");
  rt.flags.gameId = 4321;

  // Variables of the game as a whole are the same through any instance.
  EXPECT_EQ(Write(1, arg3, RValue::FromReal(33)), std::nullopt);
  EXPECT_EQ(Read(kSelf, arg, 3), Result(33.0));
  EXPECT_EQ(Read(100002, arg3), Result(33.0));
  EXPECT_EQ(Read(kNoone, arg3), Result("Unknown variable argument3"));
  EXPECT_EQ(Read(100099, gameId), Result("Unknown variable game_id"));
  EXPECT_EQ(Read(kNoPrefix, gameId), Result(4321.0));

  // argument[] outside 0..15 is slot 0.
  EXPECT_EQ(Write(kSelf, arg, RValue::FromString("a"), 20), std::nullopt);
  EXPECT_EQ(rt.vars.arguments[0].str(), "a");
  EXPECT_EQ(Write(kSelf, arg, RValue::FromReal(5), FlatIndex(1, 2)), std::nullopt);
  EXPECT_EQ(Read(kSelf, arg0), Result(5.0));
  EXPECT_EQ(Read(kSelf, arg, -1), Result(5.0));

  // global.<built-in name> is a variable of the global list.
  EXPECT_EQ(Write(kGlobal, arg0, RValue::FromReal(77)), std::nullopt);
  EXPECT_EQ(Read(kGlobal, arg0), Result(77.0));
  EXPECT_EQ(Read(kSelf, arg0), Result(5.0));
  EXPECT_EQ(Write(kGlobal, score, RValue::FromReal(1)), std::nullopt);
  EXPECT_EQ(Read(kGlobal, score), Result(1.0));

  // Read-only variables refuse writes; unconnected ones say so.
  EXPECT_EQ(Write(kSelf, gameId, RValue::FromReal(1)), "Cannot assign to the variable");
  EXPECT_EQ(Write(kSelf, objectIndex, RValue::FromReal(1)), "Cannot assign to the variable");
  EXPECT_EQ(Write(kSelf, caption, RValue::FromReal(1)),
            "Variable caption_health is not available yet");
  EXPECT_EQ(Write(kAll, caption, RValue::FromReal(1)),
            "Variable caption_health is not available yet");
  EXPECT_EQ(Read(kOther, caption), Result("Variable caption_health is not available yet"));
  EXPECT_EQ(Read(kSelf, caption), Result("Variable caption_health is not available yet"));
  EXPECT_EQ(Write(3, caption, RValue::FromReal(1)),
            std::nullopt);  // no instance: nothing to refuse
}

TEST_F(Routing, UninitializedZeroTurnsFailedReadsIntoZero) {
  const std::int32_t w = VariableIndexOf(rt.vars, "w");
  const std::int32_t caption = FindBuiltinVariable("caption_health");
  const struct {
    std::int32_t prefix;
    std::int32_t index;
    std::int32_t flat;
  } failing[] = {
      {kSelf, w, 0}, {kSelf, v, 3}, {kNoone, v, 0},  {100099, v, 0},
      {2, v, 0},     {-8, v, 0},    {kGlobal, w, 0},
  };
  for (bool on : {false, true}) {
    rt.settings.uninitializedZero = on;
    for (const auto& c : failing) {
      SCOPED_TRACE(testing::Message() << "on " << on << " prefix " << c.prefix);
      RValue out = RValue::FromString("stale");
      const VarStatus status = ReadVariable(rt, scope, c.prefix, c.index, c.flat, out);
      EXPECT_EQ(status, on ? VarStatus::Ok : VarStatus::Failed);
      if (on) {
        EXPECT_EQ(out, RValue::FromReal(0));
      }
    }
    // The direct list reads behind the variable functions follow the setting.
    RValue out;
    EXPECT_EQ(GetGlobalVariable(rt, w, 0, out), on ? VarStatus::Ok : VarStatus::Failed);
    EXPECT_EQ(GetInstanceVariable(rt, &self, w, 0, out), on ? VarStatus::Ok : VarStatus::Failed);
    // It never makes a write succeed nor hides a variable that is not connected.
    EXPECT_EQ(Write(kNoone, v, RValue::FromReal(1)), "Cannot assign to the variable");
    EXPECT_EQ(Read(kSelf, caption), Result("Variable caption_health is not available yet"));
  }
  // Nothing was created by the reads.
  EXPECT_EQ(self.variables.find(w), nullptr);
  EXPECT_EQ(rt.vars.globals.find(w), nullptr);
}

TEST(RoutingWithoutWorld, ObjectsAndIdsNameNoInstance) {
  TestRun run;
  TestInstance self{100001, 0};
  VarScope scope{&self, &self, {}};
  const std::int32_t v = VariableIndexOf(run.rt.vars, "v");
  RValue out;
  EXPECT_EQ(ReadVariable(run.rt, scope, kAll, v, 0, out), VarStatus::Failed);
  EXPECT_EQ(ReadVariable(run.rt, scope, 100001, v, 0, out), VarStatus::Failed);
  EXPECT_EQ(WriteVariable(run.rt, scope, kAll, v, 0, out), VarStatus::Ok);
  EXPECT_EQ(WriteVariable(run.rt, scope, -9, v, 0, out), VarStatus::Failed);
  EXPECT_TRUE(self.variables.empty());
}

TEST(ArrayIndex, ChecksTheRoundedIndex) {
  const struct {
    RValue value;
    const char* error;
    std::int32_t index;
  } cases[] = {
      {RValue::FromReal(0), nullptr, 0},
      {RValue::FromReal(2.5), nullptr, 2},
      {RValue::FromReal(-0.5), nullptr, 0},
      {RValue::FromReal(31999.4), nullptr, 31999},
      {RValue::FromReal(31999.5), "Array index >= 32000", 0},
      {RValue::FromReal(-0.6), "Negative array index", 0},
      {RValue::FromReal(4294967301.0), "Array index >= 32000", 0},  // would wrap to 5
      {RValue::FromReal(-4294967296.0), "Negative array index", 0},
      {RValue::FromReal(std::nan("")), "Array index >= 32000", 0},
      {RValue::FromString("3"), "Wrong type of array index", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.real);
    std::int32_t index = -1;
    const char* error = CheckArrayIndex(c.value, index);
    if (c.error) {
      EXPECT_STREQ(error, c.error);
    } else {
      EXPECT_EQ(error, nullptr);
      EXPECT_EQ(index, c.index);
    }
  }
}
