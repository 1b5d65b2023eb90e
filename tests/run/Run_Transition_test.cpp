// Room transitions: the frames of the built-in kinds, a room change that
// plays one, transitions of game code, and the surfaces they use.
#include "run/Run_Transition.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/Graphics_TestSupport.h"
#include "graphics/Graphics_Transition.h"
#include "run/Run_Room.h"
#include "run/Runner_Extensions.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::DeviceRun;
using pxtest::Near;
using pxtest::WorldRun;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t A = kRed, B = kBlue;

TBitmap32 Plain(int w, int h, std::uint32_t argb) {
  return pxtest::MakeImage(w, h, [argb](int, int) { return argb; });
}

}  // namespace

TEST(TransitionFrames, EachKindAtItsStartMiddleAndEnd) {
  DeviceRun run;  // 64 × 48
  TextureTable& textures = run.rt.display.textures;
  const int a = textures.TextureFromImage(Plain(64, 48, A));
  const int b = textures.TextureFromImage(Plain(64, 48, B));
  constexpr int kSteps = 10;
  const struct {
    int kind;
    double f;
    std::vector<std::tuple<int, int, std::uint32_t>> samples;
  } cases[] = {
      {1, 0, {{0, 24, A}, {63, 24, A}}},
      {1, 0.5, {{31, 24, B}, {32, 24, A}}},
      {1, 1, {{63, 47, B}}},
      {2, 0.5, {{31, 24, A}, {32, 24, B}}},
      {3, 0.5, {{32, 23, B}, {32, 24, A}}},
      {4, 0.5, {{32, 23, A}, {32, 24, B}}},
      {4, 1, {{0, 0, B}}},
      {5, 0.5, {{16, 12, B}, {47, 35, B}, {15, 12, A}, {48, 36, A}}},
      {5, 1, {{0, 0, B}, {63, 47, B}}},
      // B slides in; at the start it lies wholly outside.
      {6, 0, {{63, 24, A}}},
      {6, 0.5, {{31, 24, B}, {32, 24, A}}},
      {7, 0.5, {{31, 24, A}, {32, 24, B}}},
      {8, 0.5, {{32, 23, B}, {32, 24, A}}},
      {9, 0.5, {{32, 23, A}, {32, 24, B}}},
      {9, 1, {{0, 0, B}, {63, 47, B}}},
      // Interlaced with ten steps: strips of 6 (or 5) pixels every 12 (10).
      {10, 0, {{2, 24, B}, {8, 24, A}, {14, 24, A}}},
      {10, 0.5, {{14, 24, B}, {20, 24, A}, {61, 24, B}}},
      {10, 0.8, {{37, 24, B}, {45, 24, A}, {50, 24, B}}},
      {10, 1, {{20, 24, B}}},
      {11, 0, {{61, 24, B}, {2, 24, A}}},
      {12, 0.5, {{32, 12, B}, {32, 17, A}}},
      {13, 0, {{32, 2, A}, {32, 45, A}}},
      // Push: A leaves as B comes.
      {14, 0.5, {{31, 24, B}, {32, 24, A}}},
      {15, 0.5, {{31, 24, A}, {32, 24, B}}},
      {16, 0.5, {{32, 23, B}, {32, 24, A}}},
      {17, 0.5, {{32, 23, A}, {32, 24, B}}},
      {17, 1, {{0, 0, B}}},
      // Turning: B grows about the centre.
      {18, 0, {{32, 24, A}}},
      {18, 0.25, {{32, 24, B}, {2, 2, A}}},
      {19, 0.25, {{32, 24, B}, {62, 46, A}}},
      {18, 1, {{1, 1, B}, {62, 46, B}}},
      {19, 1, {{1, 1, B}, {62, 46, B}}},
      // Blend, and fade through black.
      {20, 0, {{32, 24, A}}},
      {20, 0.5, {{32, 24, 0xFF80007F}}},
      {20, 1, {{32, 24, B}}},
      {21, 0, {{32, 24, A}}},
      {21, 0.25, {{32, 24, 0xFF800000}}},
      {21, 0.5, {{32, 24, kBlack}}},
      {21, 0.75, {{32, 24, 0xFF000080}}},
      {21, 1, {{32, 24, B}}},
  };
  for (const auto& c : cases) {
    run.device().ClearTarget(0x00FF00, 1);  // green: neither A nor B
    DrawTransitionFrame(run.device(), run.rt.display.draw, c.kind, a, b, 64, 48, c.f, kSteps);
    for (const auto& [x, y, colour] : c.samples)
      EXPECT_TRUE(Near(run.Pixel(x, y), colour, 1))
          << "kind " << c.kind << " at f = " << c.f << ", pixel " << x << "," << y;
  }
}

// Two 64 × 48 rooms, red and blue, with a device of that size.
class TransitionTest : public ::testing::Test {
 protected:
  TransitionTest() {
    w.rt.settings.showErrors = false;
    w.UseDevice(64, 48);
    obj = w.AddObject("obj");
    for (const std::uint32_t colour : {0x0000FFu, 0xFF0000u}) {
      CRoom room;
      room.width = 64;
      room.height = 48;
      room.background_color = static_cast<std::int32_t>(colour);
      w.rt.resources.rooms.add("rm" + std::to_string(colour), room);
    }
    w.rt.resources.roomOrder = {0, 1};
  }

  // Starts the game in the red room and goes to the blue one after `code`.
  void ChangeRoomAfter(const std::string& code) {
    ASSERT_TRUE(w.Start());
    GameStart(w.rt);
    CInstance& inst = w.Create(obj);
    w.Run(inst, code + "; room_goto(1)");
    ASSERT_TRUE(CarryOutPendingChange(w.rt));
    ASSERT_EQ(w.rt.rooms.index, 1);
  }

  std::uint32_t Pixel(int x, int y) { return w.Pixel(x, y); }
  bool SurfacesLeft() {
    const SurfaceTable& s = w.rt.display.surfaces;
    for (int id = 0; id < s.slotCount(); ++id)
      if (s.Exists(id)) return true;
    return s.currentTarget() != -1;
  }

  WorldRun w;
  std::int32_t obj = -1;
};

TEST_F(TransitionTest, ARoomChangePlaysTheKindAndEndsOnTheNewRoom) {
  ChangeRoomAfter("transition_kind = 20; transition_steps = 3");
  EXPECT_EQ(Pixel(10, 10), kBlue);
  EXPECT_FALSE(SurfacesLeft());
  EXPECT_EQ(w.rt.rooms.transitionKind, 0);
  EXPECT_EQ(w.rt.code.report.last, "");
}

TEST_F(TransitionTest, AFunctionOfGameCodeDrawsEveryFrame) {
  w.AddScript("fade",
              "log(argument0, argument1, argument2, argument3, argument4);"
              "draw_surface(argument0, 0, 0);"
              "draw_surface_ext(argument1, 0, 0, 1, 1, 0, c_white, argument4)");
  ChangeRoomAfter(
      "transition_define(30, 'fade'); transition_kind = 30; transition_steps = 2;"
      "log(transition_exists(30), transition_exists(31))");
  // Two surfaces of the back buffer's size, the old room's and the new's.
  EXPECT_EQ(w.TakeLog(), "1 0|0 1 64 48 0|0 1 64 48 0.5|0 1 64 48 1");
  EXPECT_EQ(Pixel(10, 10), kBlue);
  EXPECT_FALSE(SurfacesLeft());
}

TEST_F(TransitionTest, AFailingFunctionIsReportedOnceAndTheNewRoomShown) {
  w.AddScript("broken", "log(argument4); return no_such_variable_here");
  ChangeRoomAfter("transition_define(40, 'broken'); transition_kind = 40");
  EXPECT_EQ(w.TakeLog(), "0");
  EXPECT_TRUE(w.rt.code.report.last.starts_with("ERROR in transition function broken\r\n"))
      << w.rt.code.report.last;
  EXPECT_EQ(Pixel(10, 10), kBlue);
  EXPECT_FALSE(SurfacesLeft());
}

TEST_F(TransitionTest, AnExtensionFunctionCanBeTheTransition) {
  CExtensionFunction fade;
  fade.name = fade.externalName = "ext_fade";
  fade.argCount = 5;
  CExtensionFile file;
  file.kind = ExtensionFileKind::Script;
  const std::string text = "#define ext_fade\r\nlog(argument4); return no_such_variable_here";
  file.contents.assign(text.begin(), text.end());
  file.functions = {fade};
  CExtensionPackage package;
  package.name = "Fades";
  package.files = {file};
  w.rt.resources.extensions = {package};
  ASSERT_TRUE(PrepareExtensionPackages(w.rt));
  ChangeRoomAfter("transition_define(41, 'ext_fade'); transition_kind = 41");
  EXPECT_EQ(w.TakeLog(), "0");
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "ERROR in transition function ext_fade\r\nIn extension function ext_fade:\r"))
      << w.rt.code.report.last;
  EXPECT_EQ(Pixel(10, 10), kBlue);
}

TEST_F(TransitionTest, DefinitionsAndTheKindsThatExist) {
  w.AddScript("mine", "");
  ASSERT_TRUE(w.Start());
  GameStart(w.rt);
  CInstance& inst = w.Create(obj);
  w.Run(inst,
        "transition_define(22, 'mine');"
        "transition_define(23, 'nothing_of_that_name');"
        "transition_define(24, 'draw_clear');"  // not a script
        "transition_define(1000000, 'mine');"
        "log(transition_exists(0), transition_exists(1), transition_exists(21),"
        " transition_exists(22), transition_exists(23), transition_exists(24),"
        " transition_exists(1000000))");
  EXPECT_EQ(w.TakeLog(), "0 1 1 1 0 0 0");
}

TEST_F(TransitionTest, NoTransitionWithoutAKindOrWithoutAutomaticDrawing) {
  ChangeRoomAfter("transition_kind = 55");  // no such kind
  EXPECT_FALSE(SurfacesLeft());
  EXPECT_EQ(w.rt.code.report.last, "");
  // Captured, but the new room draws no first frame: dropped.
  CInstance& inst = w.Create(obj);
  w.Run(inst, "transition_kind = 5; set_automatic_draw(0); room_goto(0)");
  ASSERT_TRUE(CarryOutPendingChange(w.rt));
  EXPECT_EQ(w.rt.rooms.index, 0);
  EXPECT_FALSE(SurfacesLeft());
  EXPECT_EQ(w.rt.rooms.transitionKind, 5);
}
