// The function registry, constant table and their name look-ups.
#include "code/Code_Function.h"

#include <gtest/gtest.h>

#include "code/Code_Constant.h"
#include "code/Code_TestSupport.h"
#include "code/Constant_Main.h"

using namespace px;

namespace {

void Ignore(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, const FunctionArgs&) {}

CExtensionPackage PackageWith(const char* name, std::int32_t id, std::int32_t argCount) {
  CExtensionFunction f;
  f.name = name;
  f.id = id;
  f.argCount = argCount;
  CExtensionFile file;
  file.functions.push_back(f);
  CExtensionPackage package;
  package.files.push_back(file);
  return package;
}

TEST(FunctionRegistry, LookUpScriptsThenExtensionsThenBuiltIns) {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  // The built-in families come first; these entries follow them.
  const auto base = static_cast<std::int32_t>(rt.code.functions.size());
  RegisterFunction(rt, "alpha", Ignore, 2);
  RegisterFunction(rt, "shared", Ignore, kAnyArgumentCount);
  RegisterFunction(rt, "both", Ignore, 0);
  RegisterFunction(rt, "alpha", Ignore, 5);  // a second entry; the first keeps the name
  rt.resources.scripts.addEmpty();
  rt.resources.scripts.add("shared", CScript{});
  rt.resources.extensions.push_back(PackageWith("both", 7, 3));
  rt.resources.extensions.push_back(PackageWith("both", 9, 1));
  rt.resources.extensions.push_back(PackageWith("huge", INT32_MAX, 1));

  EXPECT_EQ(FindFunction(rt, "alpha"), base);
  EXPECT_EQ(FindFunction(rt, "shared"), 100001);
  EXPECT_EQ(FindFunction(rt, "both"), 500007);
  EXPECT_EQ(FindFunction(rt, "Alpha"), -1);
  EXPECT_EQ(FindFunction(rt, "huge"), -1);  // its index would not fit

  const struct {
    std::int32_t index;
    std::int32_t count;
  } counts[] = {{base, 2},   {base + 1, -1}, {base + 3, 5}, {base + 4, -100},
                {-1, -100},  {99999, -100},  {100001, -1},  {499999, -1},
                {500007, 3}, {500009, 1},    {500008, -100}};
  for (const auto& c : counts) EXPECT_EQ(FunctionArgCount(rt, c.index), c.count) << c.index;
}

TEST(Constants, BuiltInTableInItsOrder) {
  CConstantTable table;
  AddBuiltinConstants(table);
  ASSERT_EQ(table.size(), kBuiltinConstantCount);
  EXPECT_EQ(table.name(0), "self");
  EXPECT_EQ(table.value(0), RValue::FromReal(-1));
  EXPECT_EQ(table.name(8), "pi");
  EXPECT_EQ(table.name(kBuiltinConstantCount - 1), "ef_snow");
  EXPECT_EQ(table.value(kBuiltinConstantCount - 1), RValue::FromReal(11));
  const struct {
    const char* name;
    double value;
  } spot[] = {{"local", -7},           {"c_orange", 4235519},   {"bm_src_alpha_sat", 11},
              {"vk_ralt", 165},        {"ev_close_button", 30}, {"ev_step_end", 2},
              {"cr_arrrow", -2},       {"cr_size_all", -22},    {"fa_archive", 32},
              {"ps_change_motion", 2}, {"dll_stdcall", 1},      {"ty_string", 1}};
  for (const auto& c : spot) {
    const RValue* v = table.Find(c.name);
    ASSERT_NE(v, nullptr) << c.name;
    EXPECT_EQ(*v, RValue::FromReal(c.value)) << c.name;
  }
}

TEST(Constants, ResourceNamesComeFirstThenTheNewestConstant) {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  rt.resources.sprites.add("thing", CSprite{});
  rt.resources.objects.addEmpty();
  rt.resources.objects.addEmpty();
  rt.resources.objects.add("thing", CObject{});
  rt.resources.rooms.add("c_red", CRoom{});
  CTrigger trigger;
  trigger.constantName = "tr_open";
  rt.resources.triggers.addEmpty();
  rt.resources.triggers.add("opener", trigger);
  AddConstant(rt, "answer", RValue::FromReal(41));
  AddConstant(rt, "answer", RValue::FromString("42"));

  const struct {
    const char* name;
    RValue value;
  } cases[] = {
      {"thing", RValue::FromReal(2)},    // objects before sprites
      {"c_red", RValue::FromReal(0)},    // a room shadows the built-in colour
      {"tr_open", RValue::FromReal(1)},  // triggers by their constant name
      {"answer", RValue::FromString("42")}, {"c_blue", RValue::FromReal(16711680)},
  };
  for (const auto& c : cases) {
    RValue out;
    ASSERT_TRUE(FindConstant(rt, c.name, out)) << c.name;
    EXPECT_EQ(out, c.value) << c.name;
  }
  RValue out;
  EXPECT_FALSE(FindConstant(rt, "opener", out));
  EXPECT_FALSE(FindConstant(rt, "C_RED", out));
}

}  // namespace
