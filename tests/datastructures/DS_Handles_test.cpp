// Handles: lowest-first reuse per kind, and the report every function gives
// for a handle that names nothing.
#include <gtest/gtest.h>

#include <string>

#include "datastructures/DS_TestSupport.h"
#include "library/Function_Data_Structures.h"

namespace {

using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

// "stack" for ds_stack_push.
std::string KindOf(std::string_view name) {
  const std::size_t start = name.find('_') + 1;
  return std::string(name.substr(start, name.find('_', start) - start));
}

px::RValue CreateOf(DsRun& run, const std::string& kind) {
  if (kind == "grid") return run.Call("ds_grid_create", {Real(2), Real(2)});
  return run.Call("ds_" + kind + "_create");
}

TEST(DataStructureHandles, FreedHandlesAreReusedLowestFirstPerKind) {
  DsRun run;
  for (const std::string kind : {"stack", "queue", "list", "map", "priority", "grid"}) {
    SCOPED_TRACE(kind);
    for (double expected : {0, 1, 2, 3}) EXPECT_EQ(CreateOf(run, kind).real, expected);
    run.Call("ds_" + kind + "_destroy", {Real(2)});
    run.Call("ds_" + kind + "_destroy", {Real(0)});
    EXPECT_EQ(CreateOf(run, kind).real, 0);
    EXPECT_EQ(CreateOf(run, kind).real, 2);
    EXPECT_EQ(CreateOf(run, kind).real, 4);
  }
  EXPECT_EQ(run.TakeError(), "");
  // A fresh run starts without containers.
  DsRun fresh;
  EXPECT_EQ(fresh.Num("ds_list_create"), 0);
}

// Every function that takes a handle, given one that names nothing (never
// made, destroyed, or the wrong kind's), reports and returns real 0.
TEST(DataStructureHandles, EveryFunctionReportsAMissingHandle) {
  std::size_t checked = 0;
  for (const px::FunctionDef& def : px::DataStructureFunctions()) {
    const std::string name(def.name);
    if (name == "ds_set_precision" || name.ends_with("_create")) continue;
    SCOPED_TRACE(name);
    const std::string kind = KindOf(name);
    for (const px::RValue& handle : {Real(0), Real(-1), Real(0.5), Real(7), Real(1e30)}) {
      DsRun run;
      // Handle 0 existed and was destroyed; a list 0 exists beside it,
      // except when lists are the kind under test.
      CreateOf(run, kind);
      run.Call("ds_" + kind + "_destroy", {Real(0)});
      if (kind != "list") run.Call("ds_list_create");
      const std::int32_t index = run.rt.code.functions.Find(name);
      ASSERT_GE(index, 0);
      const px::BuiltinFunctionEntry& entry =
          run.rt.code.functions[static_cast<std::size_t>(index)];
      px::FunctionArgs args{};
      args[0] = handle;
      for (std::int32_t i = 1; i < entry.argCount; ++i) args[static_cast<std::size_t>(i)] = Real(1);
      px::RValue result;
      entry.handler(run.rt, nullptr, nullptr, entry.argCount, result, args);
      EXPECT_TRUE(pxtest::EndsWith(run.TakeError(), pxtest::kNoSuchStructure))
          << pxtest::Describe(handle);
      EXPECT_EQ(result, Real(0));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 110u - 1 - 6);
}

TEST(DataStructureHandles, HandleArgumentsRoundHalvesToEven) {
  DsRun run;
  run.Num("ds_stack_create");
  run.Num("ds_stack_create");
  run.Num("ds_stack_create");
  run.Call("ds_stack_push", {Real(1.5), Str("two")});
  run.Call("ds_stack_push", {Real(0.5), Str("zero")});
  run.Call("ds_stack_push", {Real(-0.4), Str("zero again")});
  EXPECT_EQ(run.Num("ds_stack_size", {Real(2)}), 1);
  EXPECT_EQ(run.Num("ds_stack_size", {Real(0)}), 2);
  EXPECT_EQ(run.TakeError(), "");
}

// A copy or a grid-region combination whose second handle is missing
// reports it and leaves the first container alone.
TEST(DataStructureHandles, MissingSourceOfACopyIsReported) {
  for (const std::string kind : {"stack", "queue", "list", "map", "priority", "grid"}) {
    SCOPED_TRACE(kind);
    DsRun run;
    const px::RValue target = CreateOf(run, kind);
    const std::string before = run.Text("ds_" + kind + "_write", {target});
    run.Call("ds_" + kind + "_copy", {target, Real(5)});
    EXPECT_TRUE(pxtest::EndsWith(run.TakeError(), pxtest::kNoSuchStructure));
    EXPECT_EQ(run.Text("ds_" + kind + "_write", {target}), before);
  }
  for (const char* name :
       {"ds_grid_set_grid_region", "ds_grid_add_grid_region", "ds_grid_multiply_grid_region"}) {
    DsRun run;
    const px::RValue grid = CreateOf(run, "grid");
    run.Call(name, {grid, Real(3), Real(0), Real(0), Real(1), Real(1), Real(0), Real(0)});
    EXPECT_TRUE(pxtest::EndsWith(run.TakeError(), pxtest::kNoSuchStructure)) << name;
  }
}

}  // namespace
