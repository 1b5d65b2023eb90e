// Registry values in a scratch database, the registry functions, and
// secure mode decided from the preferences.
#include "library/Function_Registry.h"

#include <gtest/gtest.h>

#include "code/Code_ExecTestSupport.h"
#include "code/Function_TestSupport.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;

struct RegistryRun {
  pxtest::ScratchDir dir;
  pxtest::TestRun run;
  RegistryRun() {
    run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
    run.rt.flags.gameId = 4711;
  }
};

TEST(RegistryFunctions, GameKeyValuesKeepTheirTypes) {
  RegistryRun r;
  Call(r.run, "registry_write_string", {Str("Name"), Str("Ann")});
  Call(r.run, "registry_write_real", {Str("score"), Real(-12.75)});
  EXPECT_EQ(Call(r.run, "registry_read_string", {Str("NAME")}), Str("Ann"));
  EXPECT_EQ(Call(r.run, "registry_read_real", {Str("Score")}), Real(-12.75));
  // A value of the other type reads as unreadable.
  EXPECT_EQ(Call(r.run, "registry_read_string", {Str("score")}), Str(""));
  EXPECT_EQ(Call(r.run, "registry_read_real", {Str("name")}), Real(0));
  EXPECT_EQ(Call(r.run, "registry_read_string", {Str("missing")}), Str(""));
  EXPECT_EQ(Call(r.run, "registry_exists", {Str("name")}), Real(1));
  EXPECT_EQ(Call(r.run, "registry_exists", {Str("missing")}), Real(0));
  // The real is stored as its 8 bytes in the game's key.
  Registry& reg = r.run.rt.files.registry;
  const auto stored = reg.read(RegistryRoot::CurrentUser, "software\\PLEXAMO\\4711\\", "SCORE");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, RegistryType::Binary);
  EXPECT_EQ(stored->data.size(), 8u);
  // Another game's key is another key; exists creates the key.
  r.run.rt.flags.gameId = 5;
  EXPECT_EQ(Call(r.run, "registry_read_string", {Str("name")}), Str(""));
  EXPECT_FALSE(reg.keyExists(RegistryRoot::CurrentUser, "\\Software\\Plexamo\\5"));
  EXPECT_EQ(Call(r.run, "registry_exists", {Str("name")}), Real(0));
  EXPECT_TRUE(reg.keyExists(RegistryRoot::CurrentUser, "\\Software\\Plexamo\\5"));
  EXPECT_TRUE(reg.keyExists(RegistryRoot::CurrentUser, "Software"));
  // The values outlive the process's connection.
  Registry again((r.dir / "registry.sqlite").string());
  EXPECT_EQ(
      ValueAsString(again.read(RegistryRoot::CurrentUser, "\\Software\\Plexamo\\4711", "name")),
      "Ann");
}

TEST(RegistryFunctions, RootsAndSystemValues) {
  RegistryRun r;
  Call(r.run, "registry_set_root", {Real(1)});
  Call(r.run, "registry_write_string_ext", {Str("\\Software\\Test"), Str("v"), Str("machine")});
  Call(r.run, "registry_write_real_ext", {Str("Software\\\\Test\\"), Str("r"), Real(2.5)});
  EXPECT_EQ(Call(r.run, "registry_read_string_ext", {Str("SOFTWARE\\TEST"), Str("V")}),
            Str("machine"));
  EXPECT_EQ(Call(r.run, "registry_read_real_ext", {Str("software\\test"), Str("r")}), Real(2.5));
  EXPECT_EQ(Call(r.run, "registry_read_string_ext",
                 {Str("Software\\Microsoft\\Windows\\CurrentVersion"), Str("programfilesdir")}),
            Str("C:\\Program Files"));
  const struct {
    double root;
    double sees;
  } roots[] = {{1, 1}, {2, 0}, {3, 0}, {0, 0}, {7, 0}, {0.5, 0}, {1.4, 1}};
  for (const auto& c : roots) {
    Call(r.run, "registry_set_root", {Real(c.root)});
    EXPECT_EQ(Call(r.run, "registry_exists_ext", {Str("Software\\Test"), Str("v")}), Real(c.sees))
        << c.root;
  }
  Call(r.run, "registry_set_root", {Real(7)});
  EXPECT_EQ(r.run.rt.files.registryRoot, RegistryRoot::CurrentUser);
}

TEST(SecureMode, DecidedFromThePreferences) {
  const char* key = "\\Software\\Plexamo\\Version 8\\Preferences";
  const auto dword = [](std::uint32_t n) {
    return RegistryValue{RegistryType::Dword, std::string(reinterpret_cast<const char*>(&n), 4)};
  };
  const struct {
    std::optional<RegistryValue> warning, running;
    bool keyOnly;
    bool secure;
  } cases[] = {
      {std::nullopt, std::nullopt, false, false},
      {std::nullopt, std::nullopt, true, false},
      {dword(1), std::nullopt, false, true},
      {dword(0), std::nullopt, false, false},
      {dword(7), dword(1), false, true},
      {dword(1), dword(0), false, false},
      {dword(0), dword(1), false, false},
      {std::nullopt, dword(1), false, false},
      {RegistryValue{RegistryType::String, "1"}, std::nullopt, false, false},
  };
  for (const auto& c : cases) {
    pxtest::ScratchDir dir;
    Registry reg((dir / "r.sqlite").string());
    if (c.keyOnly) reg.createKey(RegistryRoot::CurrentUser, key);
    if (c.warning) reg.write(RegistryRoot::CurrentUser, key, "Warning", *c.warning);
    if (c.running) reg.write(RegistryRoot::CurrentUser, key, "PlexamoRunning", *c.running);
    EXPECT_EQ(SecureModeFromRegistry(reg), c.secure) << &c - cases;
  }
  // A missing database decides "not secure" and is not created.
  pxtest::ScratchDir dir;
  Registry none((dir / "none.sqlite").string());
  EXPECT_FALSE(SecureModeFromRegistry(none));
  EXPECT_FALSE(std::filesystem::exists(dir / "none.sqlite"));
}

TEST(SecureMode, RefusesRegistryWritesOutsideTheGameKey) {
  RegistryRun r;
  r.run.rt.files.secureMode = true;
  r.run.rt.code.report.last.clear();
  Call(r.run, "registry_write_string_ext", {Str("Software\\X"), Str("v"), Str("s")});
  EXPECT_NE(r.run.rt.code.report.last.find(
                "In Secure mode you cannot write registry entries in Software\\X"),
            std::string::npos);
  r.run.rt.code.report.last.clear();
  Call(r.run, "registry_write_real_ext", {Str("Software\\Y"), Str("v"), Real(1)});
  EXPECT_NE(r.run.rt.code.report.last.find(
                "In Secure mode you cannot write registry entries in Software\\Y"),
            std::string::npos);
  EXPECT_EQ(Call(r.run, "registry_exists_ext", {Str("Software\\X"), Str("v")}), Real(0));
  r.run.rt.code.report.last.clear();
  Call(r.run, "registry_write_string", {Str("v"), Str("s")});
  EXPECT_EQ(r.run.rt.code.report.last, "");
  EXPECT_EQ(Call(r.run, "registry_read_string", {Str("v")}), Str("s"));
}

TEST(SecureMode, GameCodeSeesTheFlag) {
  pxtest::ExecWorld w;
  EXPECT_EQ(pxtest::Show(w.Run("return secure_mode").result), "0");
  w.rt.files.secureMode = true;
  EXPECT_EQ(pxtest::Show(w.Run("return secure_mode").result), "1");
}

}  // namespace
