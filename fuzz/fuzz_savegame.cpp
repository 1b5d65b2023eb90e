// libFuzzer target over the saved-game reader. The input is a saved-game
// file loaded into a small game in play. A refused file must leave the
// game exactly as it was; an accepted one must round-trip: what the game
// writes after the load loads into a fresh game and is written back the
// same, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "run/Run_SaveGame.h"
#include "run/Runtime.h"

namespace {

constexpr std::int32_t kFuzzGameId = 5;

void Check(bool condition) {
  if (!condition) std::abort();
}

// A game of two objects and three rooms, playing in the second room with
// three instances.
struct FuzzGame {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt{*platform};

  FuzzGame() {
    rt.settings.showErrors = false;
    rt.flags.gameId = kFuzzGameId;
    // Few globalvar flags keep the files, and so the inputs, small.
    rt.vars.globalVarFlags.assign(8, 0);
    rt.resources.objects.add("obj_a", px::CObject{});
    rt.resources.objects.add("obj_b", px::CObject{});
    for (const char* name : {"rm_a", "rm_b", "rm_c"}) rt.resources.rooms.add(name, px::CRoom{});
    rt.rooms.live.resize(3);
    rt.rooms.live[1] = std::make_unique<px::LiveRoom>();
    rt.rooms.index = 1;
    rt.rooms.current = rt.rooms.live[1].get();
    for (std::int32_t k = 0; k < 3; ++k) {
      auto inst =
          std::make_unique<px::CInstance>(rt.resources, 100001 + k, k % 2, 10.0 * k, 20.0 * k);
      rt.world.instances.Add(rt.resources, std::move(inst));
    }
    rt.world.lastInstanceId = 100003;
  }
};

std::vector<std::uint8_t> Image(const px::Runtime& rt) {
  return px::WriteSavedGame(rt).bytes();
}

// Game-wide values, globals with an array, a kept persistent room with
// active and deactivated instances, tiles, layers and views, an instance
// with a path, a time line and variables.
void MakeRich(px::Runtime& rt) {
  rt.world.score = 120;
  rt.world.lives = 3;
  rt.world.health = 42.5;
  rt.rooms.transitionKind = 4;
  rt.run.cursorFrame = 99;
  rt.vars.globals.set(100000, 0, px::RValue::FromString("text"));
  rt.vars.globals.set(100001, 32001, px::RValue::FromReal(7));
  px::DeclareGlobalVar(rt.vars, 100002);

  auto kept = std::make_unique<px::LiveRoom>();
  px::CRoom& room = kept->data;
  room.persistent = true;
  room.caption = "kept";
  room.views_enabled = true;
  room.views[0].visible = true;
  room.layers[2].visible = true;
  room.layers[2].hspeed = 1.5;
  room.tiles.push_back(px::RTile{.x = 4, .y = 8, .width = 16, .height = 16, .id = 10000001});
  for (std::int32_t k = 0; k < 2; ++k) {
    auto inst = std::make_unique<px::CInstance>(rt.resources, 100010 + k, 0, 5.0, 6.0);
    inst->deactivated = k == 1;
    inst->path_index = 0;
    inst->path_position = 0.25;
    inst->timeline_index = 0;
    inst->timeline_running = true;
    inst->alarm[2] = 9;
    inst->variables.set(100003, 1, px::RValue::FromString("row"));
    kept->keptInstances.Add(rt.resources, std::move(inst));
  }
  kept->keptInstances.ApplyDeactivation(rt.resources);
  rt.rooms.live[2] = std::move(kept);
}

}  // namespace

int FuzzSavedGame(const std::uint8_t* data, std::size_t size) {
  FuzzGame game;
  const std::vector<std::uint8_t> before = Image(game.rt);
  px::CStream file(std::vector<std::uint8_t>(data, data + size));
  if (!px::LoadSavedGameImage(game.rt, file, "fuzz.sav")) {
    Check(Image(game.rt) == before);
    return 0;
  }
  const std::vector<std::uint8_t> first = Image(game.rt);
  FuzzGame fresh;
  px::CStream again(first);
  Check(px::LoadSavedGameImage(fresh.rt, again, "fuzz.sav"));
  Check(Image(fresh.rt) == first);
  return 0;
}

// Saved games of the fuzz game, plain and rich, as game_save writes them.
int WriteSavedGameSeeds(const std::filesystem::path& dir) {
  const auto write = [&dir](const std::string& name, const px::Runtime& rt) {
    const std::vector<std::uint8_t> bytes = Image(rt);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  };
  FuzzGame plain;
  write("plain.sav", plain.rt);
  FuzzGame rich;
  MakeRich(rich.rt);
  write("rich.sav", rich.rt);
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzSavedGame(data, size);
}
#endif
