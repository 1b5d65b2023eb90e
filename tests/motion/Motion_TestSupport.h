// A small room for motion tests: a 2 × 2 mover, a solid 4 × 4 wall, a 4 × 4
// crate that is not solid and an object without a sprite, in a room of
// 64 × 48.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "run/Runtime.h"
#include "world/Room_State.h"
#include "world/World_TestSupport.h"

namespace pxtest {

struct MotionWorld {
  WorldRun w;
  std::int32_t square = w.AddSprite("spr_square", {"##", "##"});
  std::int32_t block = w.AddSprite("spr_block", {"####", "####", "####", "####"});
  std::int32_t mover = w.AddObject("mover");
  std::int32_t wall = w.AddObject("wall");
  std::int32_t crate = w.AddObject("crate");
  std::int32_t bare = w.AddObject("bare");

  // Gives the objects their sprites and starts the world in the room;
  // false after a compile error.
  bool StartRoom() {
    w.rt.settings.showErrors = false;
    w.object(mover).sprite_index = square;
    w.object(wall).sprite_index = block;
    w.object(wall).solid = true;
    w.object(crate).sprite_index = block;
    if (!w.Start()) return false;
    w.rt.rooms.live.push_back(std::make_unique<px::LiveRoom>());
    w.rt.rooms.current = w.rt.rooms.live.back().get();
    w.rt.rooms.current->data.width = 64;
    w.rt.rooms.current->data.height = 48;
    return true;
  }
};

}  // namespace pxtest
