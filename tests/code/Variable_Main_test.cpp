#include "code/Variable_Main.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "code/Variable_BuiltIn.h"

using namespace px;

TEST(VariableIndex, BuiltInNamesKeepTheirIndexAndUserNamesCountFrom100000) {
  Variables vars;
  EXPECT_EQ(VariableIndexOf(vars, "x"), 0);
  EXPECT_EQ(VariableIndexOf(vars, "score"), FindBuiltinVariable("score"));
  EXPECT_EQ(VariableIndexOf(vars, "ammo"), 100000);
  EXPECT_EQ(VariableIndexOf(vars, "Ammo"), 100001);  // names are case-sensitive
  EXPECT_EQ(VariableIndexOf(vars, "ammo"), 100000);
  EXPECT_EQ(VariableIndexOf(vars, "x"), 0);  // never added as a user name
  EXPECT_EQ(vars.userNames.size(), 2u);
  EXPECT_EQ(vars.userNames.find("Ammo"), 100001);
  EXPECT_EQ(vars.userNames.find("other"), -1);
}

TEST(VariableIndex, NamesForMessages) {
  Variables vars;
  VariableIndexOf(vars, "ammo");
  const auto last = static_cast<std::int32_t>(BuiltinVariables().size()) - 1;
  const struct {
    std::int32_t index;
    const char* name;
  } cases[] = {
      {0, "x"},
      {last, "fps"},
      {last + 1, "<unknown built-in variable>"},
      {99999, "<unknown built-in variable>"},
      {-1, "<unknown built-in variable>"},
      {100000, "ammo"},
      {100001, "<unknown variable>"},
  };
  for (const auto& c : cases) EXPECT_EQ(VariableName(vars, c.index), c.name) << c.index;
}

TEST(GlobalVar, DeclarationCreatesTheVariableAndGrowsTheFlags) {
  Variables vars;
  EXPECT_EQ(vars.globalVarFlags.size(), 10000u);
  DeclareGlobalVar(vars, 100005);
  EXPECT_TRUE(IsGlobalVar(vars, 100005));
  EXPECT_FALSE(IsGlobalVar(vars, 100004));
  ASSERT_NE(vars.globals.find(100005), nullptr);
  EXPECT_EQ(vars.globals.find(100005)->value, RValue::FromReal(0));

  // Declaring again keeps the value.
  vars.globals.set(100005, 0, RValue::FromReal(3));
  DeclareGlobalVar(vars, 100005);
  EXPECT_EQ(vars.globals.find(100005)->value.real, 3);

  DeclareGlobalVar(vars, 100000 + 12000);
  EXPECT_EQ(vars.globalVarFlags.size(), 13000u);
  EXPECT_TRUE(IsGlobalVar(vars, 112000));
  EXPECT_FALSE(IsGlobalVar(vars, 111999));

  DeclareGlobalVar(vars, 3);  // built-in: ignored
  EXPECT_FALSE(IsGlobalVar(vars, 3));
  EXPECT_EQ(vars.globals.find(3), nullptr);
  EXPECT_FALSE(IsGlobalVar(vars, 100000 + 50000));  // beyond the flags
  EXPECT_FALSE(IsGlobalVar(vars, -1));
}

namespace {

Variables SampleGlobals() {
  Variables vars;
  DeclareGlobalVar(vars, 100001);
  vars.globals.set(100002, 0, RValue::FromString("name"));
  vars.globals.set(100002, FlatIndex(3, 2), RValue::FromReal(6));
  vars.globals.set(5, 0, RValue::FromReal(4));  // global.<built-in name>
  vars.globalVarFlags.resize(10500, 0);
  vars.globalVarFlags[10499] = 1;
  return vars;
}

}  // namespace

TEST(GlobalVariablesRecord, RoundTripsTheListAndTheFlags) {
  const Variables original = SampleGlobals();
  CStream s;
  WriteGlobalVariables(original, s);
  s.seek(0);
  Variables copy;
  copy.globals.set(100009, 0, RValue::FromReal(1));
  ASSERT_TRUE(ReadGlobalVariables(copy, s));
  EXPECT_EQ(s.remaining(), 0u);
  EXPECT_EQ(copy.globals, original.globals);
  EXPECT_EQ(copy.globalVarFlags, original.globalVarFlags);
  EXPECT_TRUE(IsGlobalVar(copy, 100001));
}

// Saved games from other builds must load: marker 700, the list record, the
// flag count, then each flag as an int32 that reads true when above 0.
TEST(GlobalVariablesRecord, FieldLayoutAndStoredFlagValues) {
  Variables vars;
  vars.globals.set(100002, 0, RValue::FromReal(1.5));
  vars.globalVarFlags = {0, 1, 0};
  CStream written;
  WriteGlobalVariables(vars, written);

  CStream expected;
  StreamWriteInt(expected, 700);
  vars.globals.write(expected);
  for (std::int32_t v : {3, 0, 1, 0}) StreamWriteInt(expected, v);
  EXPECT_EQ(written.bytes(), expected.bytes());

  CStream stored;
  StreamWriteInt(stored, 700);
  vars.globals.write(stored);
  for (std::int32_t v : {4, 2, -1, 0, 1}) StreamWriteInt(stored, v);
  stored.seek(0);
  Variables loaded;
  ASSERT_TRUE(ReadGlobalVariables(loaded, stored));
  EXPECT_EQ(loaded.globalVarFlags, (std::vector<std::uint8_t>{1, 0, 0, 1}));
  EXPECT_EQ(loaded.globals, vars.globals);
}

TEST(GlobalVariablesRecord, WrongMarkerOrCutRecordChangesNothing) {
  CStream full;
  WriteGlobalVariables(SampleGlobals(), full);

  CStream wrong;
  StreamWriteInt(wrong, 699);
  wrong.writeBytes(full.data() + 4, full.size() - 4);
  wrong.seek(0);
  Variables vars;
  vars.globals.set(100000, 0, RValue::FromReal(8));
  DeclareGlobalVar(vars, 100003);
  const Variables before = vars;
  EXPECT_FALSE(ReadGlobalVariables(vars, wrong));
  EXPECT_EQ(wrong.position(), 4u);
  EXPECT_EQ(vars.globals, before.globals);
  EXPECT_EQ(vars.globalVarFlags, before.globalVarFlags);

  CStream cut(std::vector<std::uint8_t>(full.bytes().begin(), full.bytes().end() - 2));
  EXPECT_THROW(ReadGlobalVariables(vars, cut), StreamError);
  EXPECT_EQ(vars.globals, before.globals);
  EXPECT_EQ(vars.globalVarFlags, before.globalVarFlags);
}

TEST(GlobalVariables, ResetEmptiesTheListAndClearsTheFlags) {
  Variables vars = SampleGlobals();
  VariableIndexOf(vars, "kept");
  ResetGlobalVariables(vars);
  EXPECT_TRUE(vars.globals.empty());
  EXPECT_EQ(vars.globalVarFlags, std::vector<std::uint8_t>(10000, 0));
  EXPECT_EQ(vars.userNames.find("kept"), 100000);  // names outlive a restart
}

TEST(BuiltinTable, RegistrationOrderAndAccess) {
  const CBuiltinTable& table = BuiltinVariables();
  // Anchors of each group: the instance variables, the argument slots, the
  // game's variables.
  const struct {
    const char* name;
    std::int32_t index;
    bool writable;
  } anchors[] = {
      {"x", 0, true},
      {"gravity_direction", 12, true},
      {"object_index", 13, false},
      {"id", 14, false},
      {"alarm", 15, true},
      {"bbox_bottom", 23, false},
      {"timeline_loop", 50, true},
      {"argument_relative", 51, false},
      {"argument", 52, true},
      {"argument0", 53, true},
      {"argument15", 68, true},
      {"room", 69, true},
      {"room_last", 71, false},
      {"game_id", 77, false},
      {"instance_id", 82, false},
      {"view_object", 121, true},
      {"caption_health", 136, true},
      {"error_last", 152, true},
      {"plexamo_version", 153, false},
      {"fps", 154, false},
  };
  EXPECT_EQ(table.size(), 155u);
  for (const auto& a : anchors) {
    EXPECT_EQ(FindBuiltinVariable(a.name), a.index) << a.name;
    ASSERT_GE(a.index, 0);
    EXPECT_EQ(table[static_cast<std::size_t>(a.index)].writable, a.writable) << a.name;
  }
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const RBuiltinVariable& e = table[i];
    EXPECT_TRUE(names.insert(e.name).second) << e.name;
    EXPECT_LE(e.name.size(), kMaxBuiltinNameLength);
    EXPECT_TRUE(!e.set || e.writable) << e.name << ": a read-only variable has no setter";
  }
  EXPECT_EQ(FindBuiltinVariable("X"), -1);
  EXPECT_EQ(FindBuiltinVariable("argument16"), -1);
}

TEST(BuiltinTable, RefusesEntriesBeyond500) {
  CBuiltinTable table;
  std::vector<std::string> names;
  for (std::size_t i = 0; i <= kMaxBuiltinVariables; ++i) names.push_back("v" + std::to_string(i));
  for (std::size_t i = 0; i < kMaxBuiltinVariables; ++i) {
    ASSERT_TRUE(table.Register(names[i], nullptr, nullptr, false));
  }
  EXPECT_FALSE(table.Register(names.back(), nullptr, nullptr, true));
  EXPECT_EQ(table.size(), kMaxBuiltinVariables);
  EXPECT_EQ(table.Find(names.back()), -1);
  EXPECT_EQ(table.Find("v499"), 499);
}
