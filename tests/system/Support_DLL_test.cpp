// Native library functions defined and called through the table: argument
// and result conversion, counts, shared and freed libraries, and where a
// game's library name is looked for.
#include "system/Support_DLL.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "code/Code_ExecTestSupport.h"
#include "support/TestSupport.h"

namespace {

using namespace px;
namespace fs = std::filesystem;
using pxtest::Show;

constexpr NativeKind R = NativeKind::Real;
constexpr NativeKind S = NativeKind::String;

RValue Real(double v) {
  return RValue::FromReal(v);
}
RValue Str(const std::string& s) {
  return RValue::FromString(s);
}

void CopyTestLibrary(const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(PXTEST_NATIVE_LIBRARY, to, fs::copy_options::overwrite_existing);
}

// A table searching one folder that holds the test library as
// "pxtestlib.so", without the system loader.
class NativeTable : public ::testing::Test {
 protected:
  NativeTable() { CopyTestLibrary(dir.path() / "pxtestlib.so"); }

  std::int32_t Define(const std::string& function, std::vector<NativeKind> kinds,
                      NativeKind result = R, const std::string& library = "pxtestlib.dll") {
    return table.DefineExternal(library, function, kExternalCdecl, result, kinds);
  }
  RValue Call(std::int32_t id, std::vector<RValue> args) {
    RValue out = Str("stale");
    table.CallExternal(id, args, out);
    return out;
  }

  pxtest::ScratchDir dir;
  ExternalFunctionTable table{LibrarySearch{{dir.path().string()}, false}};
};

TEST(NativeLibraryNames, AGameNameStandsForSharedLibraryFiles) {
  const struct {
    const char* game;
    std::vector<std::string> names;
  } cases[] = {
      {"sound.dll", {"sound.so", "libsound.so"}},
      {"Plugins\\Fast.DLL", {"Fast.so", "libFast.so"}},
      {"dir/sub/net.Dll", {"net.so", "libnet.so"}},
      {"libm.so.6", {"libm.so.6"}},
      {"Extras\\pack.so", {"pack.so"}},
      {"helper", {"helper", "helper.so", "libhelper.so"}},
      {"..", {}},
      {"folder\\", {}},
      {".dll", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(NativeLibraryNames(c.game), c.names) << c.game;
}

TEST_F(NativeTable, ArgumentsAndResultsConvertByKind) {
  std::vector<NativeKind> sixteen(16, R);
  std::vector<RValue> oneToSixteen;
  for (int i = 1; i <= 16; ++i) oneToSixteen.push_back(Real(i));
  const struct {
    const char* function;
    std::vector<NativeKind> kinds;
    NativeKind result;
    std::vector<RValue> args;
    RValue expected;
  } cases[] = {
      {"px_answer", {}, R, {}, Real(42)},
      {"px_twice", {R}, R, {Real(3.5)}, Real(7)},
      {"px_digits4", {R, R, R, R}, R, {Real(1), Real(2), Real(3), Real(4)}, Real(4321)},
      {"px_weigh16", sixteen, R, oneToSixteen, Real(1496)},
      {"px_length", {S}, R, {Str("abcd")}, Real(4)},
      // A string argument given a real passes its (empty) text, a real
      // argument given a string its real field.
      {"px_length", {S}, R, {Real(5)}, Real(0)},
      {"px_twice", {R}, R, {Str("9")}, Real(0)},
      {"px_greet", {S}, S, {Str("you")}, Str("hello, you")},
      {"px_greet", {S}, S, {Str("")}, Str("hello, ")},
      {"px_mix", {S, R, S, R}, S, {Str("a"), Real(1.5), Str("b"), Real(-2)}, Str("a:1.5:b:-2")},
      {"px_nothing", {}, S, {}, Str("")},
  };
  for (const auto& c : cases) {
    const std::int32_t id = Define(c.function, c.kinds, c.result);
    ASSERT_GE(id, 0) << c.function;
    EXPECT_EQ(Call(id, c.args), c.expected) << c.function << " gave " << Show(Call(id, c.args));
  }
}

TEST_F(NativeTable, StringResultIsCopiedBeforeTheNextCall) {
  const std::int32_t greet = Define("px_greet", {S}, S);
  const RValue first = Call(greet, {Str("first")});
  const RValue second = Call(greet, {Str("second")});
  EXPECT_EQ(first.str(), "hello, first");
  EXPECT_EQ(second.str(), "hello, second");
}

TEST_F(NativeTable, CallsThatDoNotFitGiveRealZero) {
  const std::int32_t twice = Define("px_twice", {R});
  ASSERT_EQ(twice, 0);
  EXPECT_EQ(Call(twice, {}), Real(0));
  EXPECT_EQ(Call(twice, {Real(1), Real(2)}), Real(0));
  EXPECT_EQ(Call(-1, {}), Real(0));
  EXPECT_EQ(Call(1, {Real(1)}), Real(0));
}

TEST_F(NativeTable, RefusedDefinitionsTakeNoId) {
  std::vector<NativeKind> seventeen(17, R);
  EXPECT_EQ(Define("px_weigh16", seventeen), -1);
  EXPECT_EQ(Define("px_weigh16", {R, R, R, R, S}), -1);
  EXPECT_EQ(Define("px_no_such_export", {}), -1);
  EXPECT_TRUE(table.lastTried().empty());
  // The next good definition takes the first id.
  EXPECT_EQ(Define("px_answer", {}), 0);
  EXPECT_EQ(table.size(), 1u);
}

TEST_F(NativeTable, MissingLibraryListsWhatWasTried) {
  EXPECT_EQ(Define("f", {}, R, "Missing.dll"), -1);
  const std::vector<std::string> tried = {(dir.path() / "Missing.so").string(),
                                          (dir.path() / "libMissing.so").string()};
  EXPECT_EQ(table.lastTried(), tried);

  ExternalFunctionTable withSystem{LibrarySearch{{dir.path().string()}, true}};
  EXPECT_EQ(withSystem.DefineExternal("Missing.dll", "f", kExternalCdecl, R, {}), -1);
  EXPECT_EQ(withSystem.lastTried(),
            (std::vector<std::string>{tried[0], tried[1], "Missing.so", "libMissing.so",
                                      "missing.so", "libmissing.so"}));
}

TEST_F(NativeTable, NamesDifferingInCaseShareTheLibraryUntilItIsFreed) {
  const std::int32_t a = Define("px_count", {}, R, "PXTESTLIB.DLL");
  const std::int32_t b = Define("px_count", {}, R, "pxtestlib.dll");
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_EQ(table[0].library, table[1].library);
  EXPECT_EQ(Call(a, {}), Real(1));
  EXPECT_EQ(Call(b, {}), Real(2));

  table.FreeExternalLibrary("PxTestLib.dll");
  EXPECT_EQ(Call(a, {}), Real(0));
  EXPECT_EQ(Call(b, {}), Real(0));
  // A new definition loads the library afresh; the old ids stay unusable.
  const std::int32_t c = Define("px_count", {}, R, "pxtestlib.dll");
  EXPECT_EQ(c, 2);
  EXPECT_EQ(Call(c, {}), Real(1));
  EXPECT_EQ(Call(a, {}), Real(0));
}

TEST(NativeLibrarySearch, GameNamesStayInsideTheSearchFolders) {
  pxtest::ScratchDir dir;
  const fs::path allowed = dir.path() / "allowed";
  fs::create_directories(allowed);
  CopyTestLibrary(dir.path() / "pxtestlib.so");
  CopyTestLibrary(dir.path() / "outside" / "pxtestlib.so");
  ExternalFunctionTable table{LibrarySearch{{allowed.string()}, false}};
  for (const std::string& name :
       {std::string("..\\pxtestlib.dll"), (dir.path() / "pxtestlib.dll").string(),
        std::string("../outside/pxtestlib.so"),
        (dir.path() / "outside" / "pxtestlib.so").string()}) {
    EXPECT_EQ(table.DefineExternal(name, "px_answer", kExternalCdecl, R, {}), -1) << name;
    for (const std::string& tried : table.lastTried())
      EXPECT_EQ(fs::path(tried).parent_path(), allowed) << name << " tried " << tried;
  }
  // The file part alone is found in the folder the search allows.
  CopyTestLibrary(allowed / "pxtestlib.so");
  EXPECT_EQ(table.DefineExternal("..\\pxtestlib.dll", "px_answer", kExternalCdecl, R, {}), 0);
}

TEST(NativeLibrarySearch, SystemLoaderFindsLibrariesByName) {
  ExternalFunctionTable table{LibrarySearch{{}, true}};
  const std::int32_t cosine =
      table.DefineExternal("libm.so.6", "cos", kExternalStdcall, R, std::vector<NativeKind>{R});
  ASSERT_EQ(cosine, 0);
  RValue out;
  const RValue zero = RValue::FromReal(0);
  table.CallExternal(cosine, std::span(&zero, 1), out);
  EXPECT_EQ(out.real, 1.0);
}

}  // namespace
