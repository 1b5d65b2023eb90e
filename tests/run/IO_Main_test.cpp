// Keyboard and mouse input: the window events, the state the step and the
// functions read from it, replayed input and the mouse in the room.
#include "run/IO_Main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;
using pxtest::TestRun;

namespace {

using Kind = InputEvent::Kind;

InputEvent Ev(Kind kind, std::int32_t code = 0, std::int32_t x = 0, std::int32_t y = 0) {
  InputEvent e;
  e.kind = kind;
  e.code = code;
  e.x = x;
  e.y = y;
  return e;
}

double Check(TestRun& run, const char* name, double arg) {
  return Call(run, name, {Real(arg)}).real;
}

TEST(Input, KeyPressedAndReleasedBetweenStepsShowsBothEdgesButIsNotHeld) {
  TestRun run;
  // Injected keys arrive when the messages are handled, not before.
  Call(run, "keyboard_key_press", {Real(37)});
  Call(run, "keyboard_key_release", {Real(37)});
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 37), 0);
  Call(run, "io_handle");
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 37), 1);
  EXPECT_EQ(Check(run, "keyboard_check_released", 37), 1);
  EXPECT_EQ(Check(run, "keyboard_check", 37), 0);
  EXPECT_EQ(run.rt.input.key, 0);
  EXPECT_EQ(run.rt.input.lastKey, 37);

  ClearStepEdges(run.rt.input);
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 37), 0);
  EXPECT_EQ(Check(run, "keyboard_check_released", 37), 0);
  EXPECT_EQ(run.rt.input.lastKey, 37);
}

TEST(Input, HeldKeyRepeatingIsNotPressedAgain) {
  TestRun run;
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 65));
  ClearStepEdges(run.rt.input);
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 65));
  EXPECT_FALSE(run.rt.input.pressed[65]);
  EXPECT_TRUE(run.rt.input.held[65]);
}

TEST(Input, ReleasingAnotherKeyKeepsTheCurrentKey) {
  TestRun run;
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 65));
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 66));
  ApplyInputEvent(run.rt, Ev(Kind::KeyUp, 65));
  EXPECT_EQ(run.rt.input.key, 66);
  ApplyInputEvent(run.rt, Ev(Kind::KeyUp, 66));
  EXPECT_EQ(run.rt.input.key, 0);
  EXPECT_EQ(run.rt.input.lastKey, 66);
}

TEST(Input, KeyCodesOutsideTheTableAreIgnored) {
  TestRun run;
  for (const std::int32_t code : {-1, 256, 100000}) {
    ApplyInputEvent(run.rt, Ev(Kind::KeyDown, code));
    ApplyInputEvent(run.rt, Ev(Kind::KeyUp, code));
  }
  EXPECT_EQ(run.rt.input.lastKey, 0);
  EXPECT_EQ(Check(run, "keyboard_check_released", 1), 0);
}

TEST(Input, KeyMapReplacesThePhysicalKey) {
  TestRun run;
  Call(run, "keyboard_set_map", {Real(37), Real(65)});
  Call(run, "keyboard_set_map", {Real(300), Real(66)});  // outside: nothing
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 37));
  EXPECT_EQ(Check(run, "keyboard_check", 65), 1);
  EXPECT_EQ(Check(run, "keyboard_check", 37), 0);
  EXPECT_EQ(run.rt.input.lastKey, 65);
  ApplyInputEvent(run.rt, Ev(Kind::KeyUp, 37));
  EXPECT_EQ(Check(run, "keyboard_check_released", 65), 1);

  EXPECT_EQ(Check(run, "keyboard_get_map", 37), 65);
  EXPECT_EQ(Check(run, "keyboard_get_map", 300), 300);
  EXPECT_EQ(Check(run, "keyboard_get_map", -5), -5);
  Call(run, "keyboard_unset_map");
  EXPECT_EQ(Check(run, "keyboard_get_map", 37), 37);
}

TEST(Input, KeyboardCheckNoKeyAndAnyKey) {
  struct Case {
    std::vector<int> held;
    double key;
    double expected;
  };
  const Case cases[] =
      {
          {{}, 0, 1},    {{}, 1, 0},      {{65}, 0, 0},    {{65}, 1, 1},
          {{65}, 65, 1}, {{65}, 66, 0},   {{65}, 256, 0},  {{65}, -1, 0},
          {{200}, 1, 1}, {{200}, 200, 1}, {{65}, 64.6, 1},  // rounded to 65
      };
  for (const Case& c : cases) {
    TestRun run;
    for (const int k : c.held) ApplyInputEvent(run.rt, Ev(Kind::KeyDown, k));
    EXPECT_EQ(Check(run, "keyboard_check", c.key), c.expected) << c.key;
  }
}

TEST(Input, TypedCharacters) {
  struct Case {
    std::string before;
    int ch;
    std::string after;
  };
  const std::string full(1024, 'a');
  const std::string over = "b" + full;  // 1025: the front goes first
  const Case cases[] = {
      {"ab", 'c', "abc"},
      {"ab", 8, "a"},
      {"", 8, ""},
      {"ab", 13, "ab"},
      {"ab", 31, "ab"},
      {"ab", 32, "ab "},
      {"ab", 0xE9, "ab\xE9"},
      {full, 'z', full + "z"},
      {over, 'z', full + "z"},
      {over + "cc", 8, std::string(1022, 'a') + "c"},
  };
  for (const Case& c : cases) {
    TestRun run;
    run.rt.input.typed = c.before;
    ApplyInputEvent(run.rt, Ev(Kind::Character, c.ch));
    EXPECT_EQ(run.rt.input.typed, c.after) << c.before.size() << " " << c.ch;
    EXPECT_EQ(run.rt.input.lastChar, std::string(1, static_cast<char>(c.ch)));
  }
}

TEST(Input, MouseButtonsAndWheel) {
  TestRun run;
  ApplyInputEvent(run.rt, Ev(Kind::MouseDown, 2));
  ApplyInputEvent(run.rt, Ev(Kind::MouseDown, 4));  // no such button
  EXPECT_EQ(run.rt.input.mouseButton, 2);
  EXPECT_EQ(run.rt.input.mouseLastButton, 2);
  ApplyInputEvent(run.rt, Ev(Kind::MouseDown, 1));
  ApplyInputEvent(run.rt, Ev(Kind::MouseUp, 1));
  // Releasing any button leaves no button counted as down.
  EXPECT_EQ(run.rt.input.mouseButton, 0);
  EXPECT_EQ(run.rt.input.mouseLastButton, 1);
  ApplyInputEvent(run.rt, Ev(Kind::WheelDown));

  struct Case {
    const char* function;
    double button;
    double expected;
  };
  const Case cases[] = {
      {"mouse_check_button", -1, 1},         {"mouse_check_button", 0, 0},
      {"mouse_check_button", 1, 0},          {"mouse_check_button", 2, 1},
      {"mouse_check_button", 4, 0},          {"mouse_check_button_pressed", 1, 1},
      {"mouse_check_button_pressed", 3, 0},  {"mouse_check_button_released", 1, 1},
      {"mouse_check_button_released", 2, 0}, {"mouse_check_button_released", -1, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Check(run, c.function, c.button), c.expected) << c.function << " " << c.button;
  EXPECT_EQ(Call(run, "mouse_wheel_down").real, 1);
  EXPECT_EQ(Call(run, "mouse_wheel_up").real, 0);

  Call(run, "mouse_clear", {Real(2)});
  EXPECT_EQ(Check(run, "mouse_check_button", 0), 1);
  EXPECT_EQ(Check(run, "mouse_check_button_pressed", 1), 1);
  ClearStepEdges(run.rt.input);
  EXPECT_EQ(Check(run, "mouse_check_button_pressed", -1), 0);
  EXPECT_EQ(Check(run, "mouse_check_button_released", -1), 0);
  EXPECT_EQ(Call(run, "mouse_wheel_down").real, 0);
}

TEST(Input, IoClearClearsEverything) {
  TestRun run;
  for (const InputEvent& e :
       {Ev(Kind::KeyDown, 65), Ev(Kind::Character, 'x'), Ev(Kind::MouseDown, 3), Ev(Kind::WheelUp)})
    ApplyInputEvent(run.rt, e);
  Call(run, "keyboard_set_map", {Real(1), Real(2)});
  Call(run, "io_clear");
  const InputState& in = run.rt.input;
  EXPECT_EQ(Check(run, "keyboard_check", 0), 1);
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 1), 0);
  EXPECT_EQ(Check(run, "mouse_check_button", 0), 1);
  EXPECT_EQ(Check(run, "mouse_check_button_pressed", -1), 0);
  EXPECT_FALSE(in.wheelUp);
  EXPECT_EQ(in.key, 0);
  EXPECT_EQ(in.lastKey, 0);
  EXPECT_EQ(in.lastChar, "");
  EXPECT_EQ(in.typed, "");
  EXPECT_EQ(in.mouseButton, 0);
  EXPECT_EQ(in.mouseLastButton, 0);
  EXPECT_EQ(in.map[1], 2);  // the key map is not input state
}

TEST(Input, KeyboardClearHandlesMessagesFirst) {
  TestRun run;
  ApplyInputEvent(run.rt, Ev(Kind::KeyDown, 66));
  Call(run, "keyboard_key_press", {Real(65)});
  Call(run, "keyboard_clear", {Real(65)});
  EXPECT_EQ(Check(run, "keyboard_check", 65), 0);
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 65), 0);
  EXPECT_EQ(Check(run, "keyboard_check", 66), 1);
  EXPECT_EQ(run.rt.input.lastKey, 65);
}

TEST(Input, WaitsReturnWhatCameIn) {
  TestRun run;
  run.rt.input.lastKey = 40;
  // Nothing can come in headless: the wait looks once and gives up.
  EXPECT_EQ(Call(run, "keyboard_wait").real, 0);
  Call(run, "keyboard_key_press", {Real(90)});
  EXPECT_EQ(Call(run, "keyboard_wait").real, 90);
  EXPECT_EQ(Call(run, "mouse_wait").real, 0);
}

TEST(Input, NumLockIsSwitchedByPressingIt) {
  TestRun run;
  EXPECT_EQ(Call(run, "keyboard_get_numlock").real, 0);
  Call(run, "keyboard_set_numlock", {Real(1)});
  EXPECT_EQ(Call(run, "keyboard_get_numlock").real, 1);
  Call(run, "io_handle");
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 144), 1);
  EXPECT_EQ(Check(run, "keyboard_check_released", 144), 1);
  ClearStepEdges(run.rt.input);
  Call(run, "keyboard_set_numlock", {Real(1)});  // already on: no key
  Call(run, "io_handle");
  EXPECT_EQ(Check(run, "keyboard_check_pressed", 144), 0);
  EXPECT_EQ(Check(run, "keyboard_check_direct", 144), 0);
}

TEST(Input, CloseCountsAsEscapeWhenSetSo) {
  TestRun run;
  run.rt.settings.closeAsEsc = true;
  ApplyInputEvent(run.rt, Ev(Kind::Close));
  EXPECT_TRUE(run.rt.input.held[27]);
  EXPECT_FALSE(run.rt.input.pressed[27]);
  EXPECT_EQ(run.rt.input.key, 27);
  EXPECT_EQ(run.rt.input.lastKey, 27);
}

TEST(Input, CloseRaisesTheCloseButtonEventForAllInstances) {
  pxtest::WorldRun w;
  w.rt.settings.closeAsEsc = false;
  const std::int32_t a = w.AddObject("a");
  const std::int32_t b = w.AddObject("b");
  w.On(a, EventKind::Other, 30, {pxtest::CodeAction("log('a', id)")});
  w.On(b, EventKind::Other, 30, {pxtest::CodeAction("log('b', id)")});
  ASSERT_TRUE(w.Start());
  w.Create(b);
  w.Create(a);
  ApplyInputEvent(w.rt, Ev(Kind::Close));
  EXPECT_EQ(w.TakeLog(), "b 100001|a 100002");
  EXPECT_FALSE(w.rt.input.held[27]);
}

TEST(Input, ReplayAppliesOneStepInFileOrder) {
  TestRun run;
  run.rt.replay = {
      {2, Ev(Kind::KeyDown, 65)},
      {3, Ev(Kind::KeyDown, 66)},
      {3, Ev(Kind::KeyUp, 66)},
      {5, Ev(Kind::MouseDown, 1)},
  };
  ApplyReplay(run.rt, 1);
  EXPECT_EQ(run.rt.input.lastKey, 0);
  ApplyReplay(run.rt, 3);
  EXPECT_FALSE(run.rt.input.held[65]);
  EXPECT_TRUE(run.rt.input.pressed[66]);
  EXPECT_FALSE(run.rt.input.held[66]);
  ApplyReplay(run.rt, 4);
  EXPECT_EQ(run.rt.input.mouseLastButton, 0);
}

TEST(Input, ReplayedMouseIsReadInRoomCoordinates) {
  TestRun run;
  Display& d = run.rt.display;
  d.windowX = 30;
  d.windowY = 40;
  d.regionWidth = d.windowWidth;
  d.regionHeight = d.windowHeight;
  run.rt.replay = {{1, Ev(Kind::MouseMove, 0, 120, 80)}, {2, Ev(Kind::MouseMove, 0, 10, 20)}};

  ApplyReplay(run.rt, 1);
  EXPECT_EQ(run.rt.platform.mousePosition(), (Point{150, 120}));
  ReadMousePosition(run.rt);
  EXPECT_EQ(run.rt.input.mouseX, 120);
  EXPECT_EQ(run.rt.input.mouseY, 80);

  // Through a view showing (100, 50) 320 x 240 in the whole region.
  d.ports[0] = {.active = true,
                .viewX = 100,
                .viewY = 50,
                .viewW = 320,
                .viewH = 240,
                .portX = 0,
                .portY = 0,
                .portW = 640,
                .portH = 480,
                .angle = 0};
  ApplyReplay(run.rt, 2);
  ReadMousePosition(run.rt);
  EXPECT_EQ(run.rt.input.previousMouseX, 120);
  EXPECT_EQ(run.rt.input.previousMouseY, 80);
  EXPECT_EQ(run.rt.input.mouseX, 105);
  EXPECT_EQ(run.rt.input.mouseY, 60);
}

TEST(Input, VariablesKeepTheirWriteRules) {
  pxtest::WorldRun w;
  const std::int32_t obj = w.AddObject("obj");
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(obj);
  ApplyInputEvent(w.rt, Ev(Kind::Character, 'q'));
  struct Case {
    const char* code;
    RValue expected;
  };
  const Case cases[] = {
      {"keyboard_key = 65; return keyboard_key", Real(65)},
      {"keyboard_key = 256; return keyboard_key", Real(65)},
      {"keyboard_lastkey = -1; return keyboard_lastkey", Real(0)},
      {"keyboard_lastkey = 255; return keyboard_lastkey", Real(255)},
      {"mouse_button = 0; return mouse_button", Real(0)},
      {"mouse_button = 3; mouse_button = 0; return mouse_button", Real(3)},
      {"mouse_lastbutton = 4; return mouse_lastbutton", Real(0)},
      {"return keyboard_lastchar", Str("q")},
      {"keyboard_lastchar = 'xyz'; return keyboard_lastchar", Str("x")},
      {"keyboard_lastchar = ''; return keyboard_lastchar", Str("x")},
      {"keyboard_string = 'hello'; return keyboard_string", Str("hello")},
      {"return mouse_x + mouse_y", Real(0)},
  };
  for (const Case& c : cases) EXPECT_EQ(w.Run(self, c.code), c.expected) << c.code;
}

}  // namespace
