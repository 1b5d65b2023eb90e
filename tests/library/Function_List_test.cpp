#include "library/Function_List.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "code/Code_TestSupport.h"

namespace {

using namespace px;

TEST(FunctionList, SignaturesAreUniqueWithCountsInRange) {
  std::set<std::string_view> names;
  for (const FunctionSignature& sig : BuiltinFunctionSignatures()) {
    EXPECT_TRUE(names.insert(sig.name).second) << sig.name;
    EXPECT_GE(sig.argCount, kAnyArgumentCount) << sig.name;
    EXPECT_LE(sig.argCount, 16) << sig.name;
  }
  EXPECT_EQ(names.size(), 1252u);
}

// Every implemented function is one of the signatures, implemented once,
// and registered with the signature's count in the signatures' order.
TEST(FunctionList, RegisteredFunctionsFollowTheSignatures) {
  std::set<std::string_view> implemented;
  for (const auto family : BuiltinFunctionFamilies()) {
    for (const FunctionDef& def : family) {
      EXPECT_TRUE(implemented.insert(def.name).second) << "implemented twice: " << def.name;
      EXPECT_NE(def.handler, nullptr) << def.name;
    }
  }
  pxtest::TestRun run;
  const CFunctionRegistry& registry = run.rt.code.functions;
  EXPECT_EQ(registry.size(), implemented.size());
  std::size_t next = 0;
  for (const FunctionSignature& sig : BuiltinFunctionSignatures()) {
    if (!implemented.contains(sig.name)) continue;
    ASSERT_LT(next, registry.size());
    EXPECT_EQ(registry[next].name, sig.name);
    EXPECT_EQ(registry[next].argCount, sig.argCount) << sig.name;
    ++next;
  }
}

}  // namespace
