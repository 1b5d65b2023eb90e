// Extension packages in a running game: their constants, their library
// and script functions called by name, and their initialization and
// finalization functions at game start and end, with the reports of what
// goes wrong.
#include "run/Runner_Extensions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Support_Stream.h"
#include "code/Code_ExecTestSupport.h"
#include "resources/Resource_Chunks.h"
#include "run/Runtime.h"
#include "support/TestSupport.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;

CExtensionFunction Function(std::string name, std::string external, std::int32_t id,
                            std::int32_t argCount, std::vector<std::int32_t> kinds = {},
                            std::int32_t result = kExtensionArgReal) {
  CExtensionFunction f;
  f.name = std::move(name);
  f.externalName = std::move(external);
  f.convention = kExtensionCdecl;
  f.id = id;
  f.argCount = argCount;
  for (std::size_t i = 0; i < kinds.size(); ++i) f.argKinds[i] = kinds[i];
  f.resultKind = result;
  return f;
}

CExtensionFile ScriptFile(std::string name, const std::string& text,
                          std::vector<CExtensionFunction> functions, std::string init = "",
                          std::string final = "") {
  CExtensionFile file;
  file.fileName = std::move(name);
  file.kind = ExtensionFileKind::Script;
  file.contents.assign(text.begin(), text.end());
  file.functions = std::move(functions);
  file.initFunction = std::move(init);
  file.finalFunction = std::move(final);
  return file;
}

CExtensionPackage Package(std::string name, std::string folder, std::vector<CExtensionFile> files) {
  CExtensionPackage p;
  p.name = std::move(name);
  p.folder = std::move(folder);
  p.files = std::move(files);
  p.seed = 77;
  return p;
}

// The test library as a package's library file, with functions named for
// game code, one of them missing from the library.
CExtensionFile LibraryFile() {
  CExtensionFile file;
  file.fileName = "pxtestpkg.so";
  file.kind = ExtensionFileKind::Library;
  file.contents = pxtest::ReadBytes(PXTEST_NATIVE_LIBRARY);
  file.functions = {
      Function("answer", "px_answer", 0, 0),
      Function("weigh", "px_weigh16", 1, 16),
      Function("greet", "px_greet", 2, 1, {kExtensionArgString}, kExtensionArgString),
      // Read back trimmed, and without an external name it is its own.
      Function(" px_twice\t", "", 3, 1),
      Function("lost", "px_not_exported", 4, 0),
  };
  file.constants = {{"PKG_TEN", "5 * 2"}};
  return file;
}

constexpr const char* kScripts =
    "lines before the first section are ignored\r\n"
    "#define pkg_init\r\n"
    "log('init', PKG_TEN, PKG_NAME)\r\n"
    "#define pkg_final\r\n"
    "log('final')\r\n"
    "#define  add3 \r\n"
    "var sum;\r\n"
    "sum = argument0 + argument1 + argument2;\r\n"
    "return sum\r\n"
    "#define broken\r\n"
    "return no_such_variable\r\n"
    "#define say\r\n"
    "log('said', argument0)\r\n";

CExtensionFile ScriptsFile() {
  CExtensionFile file =
      ScriptFile("funcs.txt", kScripts,
                 {Function("pkg_init", "pkg_init", 10, 0),
                  Function("pkg_final", "pkg_final", 11, 0), Function("add3", "add3", 12, 3),
                  Function("add3_copy", "add3", 13, 3), Function("oops", "broken", 14, 0),
                  Function("nocode", "absent", 15, -1), Function("say", "say", 16, 1)},
                 "pkg_init", "pkg_final");
  file.constants = {{"PKG_NAME", "'pkg'"}};
  return file;
}

CExtensionPackage SecondPackage() {
  return Package(
      "Second", "second",
      {ScriptFile("more.txt",
                  "#define second_init\r\nlog('second init')\r\n"
                  "#define second_final\r\nlog('second final')",
                  {Function("second_init", "", 20, 0), Function("second_final", "", 21, 0)},
                  "second_init", "second_final")});
}

// A game with one room holding one instance of `obj`, whose packages are
// read from the stored chunk (so their files land in the temporary folder)
// and prepared.
class ExtensionGame : public ::testing::Test {
 protected:
  ExtensionGame() {
    w.rt.settings.showErrors = false;
    EXPECT_TRUE(w.rt.tempDir.TryCreate(dir.path().string()));
    obj = w.AddObject("obj");
    CRoom room;
    room.instances = {{.x = 0, .y = 0, .object = obj, .id = 100001, .creation_code = ""}};
    w.rt.resources.rooms.add("room", room);
    w.rt.resources.roomOrder = {0};
    w.rt.resources.lastInstanceId = 100001;
  }

  bool Prepare(std::vector<CExtensionPackage> packages) {
    GameResources stored;
    stored.extensions = std::move(packages);
    CStream s;
    WriteExtensionPackages(s, stored);
    s.seek(0);
    EXPECT_TRUE(LoadExtensionPackages(w.rt, s));
    return PrepareExtensionPackages(w.rt);
  }

  void OnCreate(const std::string& code) {
    w.On(obj, EventKind::Create, 0, {pxtest::CodeAction(code)});
  }

  pxtest::ScratchDir dir;
  pxtest::WorldRun w;
  std::int32_t obj = -1;
};

TEST_F(ExtensionGame, FunctionsAndConstantsOfPackagesServeGameCode) {
  ASSERT_TRUE(
      Prepare({Package("Test Package", "pkg", {LibraryFile(), ScriptsFile()}), SecondPackage()}));
  w.AddScript("outer",
              "var r; r = add3(10, 20, 30);"
              "return string(r) + ' ' + string(argument0) + ' ' + string(argument1)");
  w.On(obj, EventKind::Step, 0, {pxtest::FunctionAction("say", {"'from an action'"})});
  OnCreate(
      "log(answer(), weigh(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16), greet('you'),"
      "    px_twice(4), add3(1, 2, 3), add3_copy(4, 5, 6), lost(), nocode(1, 2), PKG_TEN,"
      "    PKG_NAME, outer(7, 8))");
  EXPECT_EQ(w.Play(1),
            "init 10 pkg|second init|"
            "42 1496 hello, you 8 6 15 0 0 10 pkg 60 7 8|said from an action|"
            "final|second final");
  EXPECT_FALSE(w.rt.code.report.occurred) << w.rt.code.report.last;
}

TEST_F(ExtensionGame, ArgumentCountsAreCheckedWhenCompiling) {
  ASSERT_TRUE(Prepare({Package("Test Package", "pkg", {LibraryFile(), ScriptsFile()})}));
  for (const char* text : {"add3(1, 2)", "answer(1)", "greet()"}) {
    CCode code(text, false);
    EXPECT_FALSE(code.Compile(w.rt)) << text;
    EXPECT_NE(w.rt.code.error.message.find("Wrong number of arguments to function or script."),
              std::string::npos)
        << text << ": " << w.rt.code.error.message;
    w.rt.code.error.pending = false;
  }
  CCode any("nocode(); nocode(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16)", false);
  EXPECT_TRUE(any.Compile(w.rt)) << w.rt.code.error.message;
}

TEST_F(ExtensionGame, FailedCallsAreReportedWithTheirMessage) {
  ASSERT_TRUE(Prepare({Package("Test Package", "pkg", {LibraryFile(), ScriptsFile()})}));
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(obj);
  const struct {
    const char* code;
    bool secure;
    std::vector<std::string> parts;
  } cases[] = {
      {"x = oops()", false, {"In extension function oops:\r", "no_such_variable"}},
      {"x = add3(1, 2, 3)", true, {"In secure mode you cannot use extension packages."}},
      {"x = answer()", true, {"In secure mode you cannot use extension packages."}},
  };
  for (const auto& c : cases) {
    w.rt.files.secureMode = c.secure;
    w.rt.code.report.last.clear();
    w.Run(self, c.code);
    const std::string& last = w.rt.code.report.last;
    for (const std::string& part : c.parts)
      EXPECT_NE(last.find(part), std::string::npos) << c.code << ": " << last;
  }
}

TEST_F(ExtensionGame, FatalReportsStopTheGameBeforeItsFirstRoom) {
  const struct {
    const char* what;
    std::string init;
    bool secure;
    std::string report;
  } cases[] = {
      {"missing init", "nowhere", false, "Could not locate initialization function nowhere"},
      // Another file's function is not found either.
      {"other file's", "answer", false, "Could not locate initialization function answer"},
      {"secure mode", "pkg_init", true, "In secure mode you cannot use extension packages."},
  };
  for (const auto& c : cases) {
    pxtest::WorldRun fresh;
    fresh.rt.settings.showErrors = false;
    const std::int32_t o = fresh.AddObject("obj");
    fresh.On(o, EventKind::Create, 0, {pxtest::CodeAction("log('created')")});
    CRoom room;
    room.instances = {{.object = o, .id = 100001, .creation_code = ""}};
    fresh.rt.resources.rooms.add("room", room);
    fresh.rt.resources.roomOrder = {0};
    CExtensionFile scripts = ScriptsFile();
    scripts.initFunction = c.init;
    scripts.finalFunction.clear();
    // A file without contents holds the other file's function.
    CExtensionFile other;
    other.functions = {Function("answer", "", 0, 0)};
    fresh.rt.resources.extensions = {Package("Test Package", "pkg", {other, scripts})};
    ASSERT_TRUE(PrepareExtensionPackages(fresh.rt)) << c.what;
    fresh.rt.files.secureMode = c.secure;
    EXPECT_EQ(fresh.Play(3), "") << c.what;
    EXPECT_TRUE(fresh.rt.code.report.aborting) << c.what;
    EXPECT_EQ(fresh.rt.code.report.last, c.report) << c.what;
  }
}

TEST_F(ExtensionGame, CompileErrorInAPackageIsFatal) {
  EXPECT_FALSE(
      Prepare({Package("Broken Package", "broken",
                       {ScriptFile("bad.txt", "#define fine\r\nreturn 1\r\n#define bad\r\nx = = 1",
                                   {Function("fine", "", 0, 0), Function("bad", "", 1, 0)})})}));
  const std::string& last = w.rt.code.report.last;
  EXPECT_EQ(last.rfind("COMPILATION ERROR in extension package Broken Package\r", 0), 0u) << last;
  EXPECT_TRUE(w.rt.code.report.aborting);
}

TEST_F(ExtensionGame, LibraryFilesAreDefinedFromTheTemporaryFolder) {
  ASSERT_TRUE(Prepare({Package("Test Package", "pkg", {LibraryFile()})}));
  const ExternalFunctionTable& table = Externals(w.rt).table;
  ASSERT_EQ(table.size(), 4u);  // the missing export takes no id
  EXPECT_EQ(table[0].libraryName, w.rt.tempDir.path() + "\\pkg\\pxtestpkg.so");
  EXPECT_EQ(table[0].library, table[3].library);
  EXPECT_EQ(table[2].argKinds, std::vector<NativeKind>{NativeKind::String});
  EXPECT_EQ(table[2].resultKind, NativeKind::String);
}

TEST(NativeCrash, CrashingLibraryStillRemovesTheTemporaryDirectory) {
  namespace fs = std::filesystem;
  pxtest::ScratchDir dir;
  const fs::path base = dir.path() / "temp";
  fs::create_directories(base);
  fs::copy_file(PXTEST_NATIVE_LIBRARY, dir.path() / "pxtestlib.so");
  const auto env = [&](const char* name) -> std::optional<std::string> {
    if (std::string(name) == "temp") return base.string();
    return std::nullopt;
  };
  EXPECT_DEATH(
      {
        pxtest::TestRun run;
        run.rt.gameFile = (dir.path() / "game.exe").string();
        if (!run.rt.tempDir.Create(dir.path(), env)) std::exit(0);
        ExternalFunctionTable& table = Externals(run.rt).table;
        const std::int32_t id =
            table.DefineExternal("pxtestlib.dll", "px_crash", kExternalCdecl, NativeKind::Real, {});
        if (id < 0) std::exit(0);
        RValue result;
        table.CallExternal(id, {}, result);
      },
      "");
  EXPECT_TRUE(fs::is_empty(base));
}

}  // namespace
