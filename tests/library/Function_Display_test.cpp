#include "library/Function_Display.h"

#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::DeviceRun;

namespace {

Rect Geometry(DeviceRun& run) {
  return {static_cast<int>(CallReal(run, "window_get_x", {})),
          static_cast<int>(CallReal(run, "window_get_y", {})),
          static_cast<int>(CallReal(run, "window_get_width", {})),
          static_cast<int>(CallReal(run, "window_get_height", {}))};
}

}  // namespace

TEST(WindowFunctions, GeometryReachesTheWindow) {
  DeviceRun run;
  CallReal(run, "window_set_region_scale", {1, 0});
  CallReal(run, "window_set_rectangle", {100, 50, 320, 240});
  EXPECT_EQ(Geometry(run), (Rect{100, 50, 320, 240}));
  EXPECT_EQ(run.rt.display.window()->clientBounds(), (Rect{100, 50, 320, 240}));
  CallReal(run, "window_set_position", {7, 9});
  CallReal(run, "window_set_size", {200, 100});
  EXPECT_EQ(Geometry(run), (Rect{7, 9, 200, 100}));
  CallReal(run, "window_center", {});  // screen 1920 x 1080
  EXPECT_EQ(Geometry(run), (Rect{860, 490, 200, 100}));
}

TEST(WindowFunctions, FixedScaleKeepsTheClientAtLeastTheScaledRegion) {
  DeviceRun run;  // region 64 x 48
  CallReal(run, "window_set_region_scale", {2, 1});
  EXPECT_EQ(Geometry(run).width, 128);
  EXPECT_EQ(Geometry(run).height, 96);
  CallReal(run, "window_set_size", {50, 500});
  EXPECT_EQ(Geometry(run).width, 128);
  EXPECT_EQ(Geometry(run).height, 500);
  // Without adapting, the client only grows where it is smaller.
  CallReal(run, "window_set_region_size", {100, 20, 0});
  EXPECT_EQ(Geometry(run).width, 200);
  EXPECT_EQ(Geometry(run).height, 500);
  EXPECT_EQ(CallReal(run, "window_get_region_width", {}), 100);
  EXPECT_EQ(CallReal(run, "window_get_region_height", {}), 20);
  // Adapting sets it to the scaled region exactly; a side of 0 stays.
  CallReal(run, "window_set_region_size", {0, 30, 1});
  EXPECT_EQ(Geometry(run).width, 200);
  EXPECT_EQ(Geometry(run).height, 60);
  // window_default: the scaled region, centred.
  CallReal(run, "window_set_region_scale", {1.5, 0});
  CallReal(run, "window_default", {});
  EXPECT_EQ(Geometry(run), (Rect{885, 517, 150, 45}));
  EXPECT_EQ(CallReal(run, "window_get_region_scale", {}), 1.5);
  // Stretching sets no minimum.
  CallReal(run, "window_set_region_scale", {0, 1});
  CallReal(run, "window_set_size", {10, 10});
  EXPECT_EQ(Geometry(run).width, 10);
}

TEST(WindowFunctions, FullScreenCoversTheScreenAndComesBack) {
  DeviceRun run;
  CallReal(run, "window_set_region_scale", {1, 0});
  CallReal(run, "window_set_rectangle", {100, 50, 320, 240});
  CallReal(run, "window_set_fullscreen", {1});
  EXPECT_EQ(CallReal(run, "window_get_fullscreen", {}), 1);
  EXPECT_EQ(Geometry(run), (Rect{0, 0, 1920, 1080}));
  // Window changes while full screen wait for the way back.
  CallReal(run, "window_set_position", {30, 40});
  EXPECT_EQ(Geometry(run), (Rect{0, 0, 1920, 1080}));
  CallReal(run, "window_set_fullscreen", {0});
  EXPECT_EQ(Geometry(run), (Rect{30, 40, 320, 240}));
  run.rt.display.ToggleFullScreen();
  run.rt.display.ToggleFullScreen();
  EXPECT_EQ(Geometry(run), (Rect{30, 40, 320, 240}));
}

TEST(WindowFunctions, FullScreenUnchangedDoesNothing) {
  DeviceRun run;
  CallReal(run, "window_set_rectangle", {100, 50, 320, 240});
  // The user moves the window: nothing records it until the next setter.
  run.rt.display.window()->setClientBounds({5, 6, 320, 240});
  CallReal(run, "window_set_fullscreen", {0});
  EXPECT_EQ(run.rt.display.windowX, 100);            // not recorded
  EXPECT_EQ(Geometry(run), (Rect{5, 6, 320, 240}));  // not applied
}

TEST(WindowFunctions, FlagsAndCaption) {
  DeviceRun run;
  struct Flag {
    const char* set;
    const char* get;
  };
  const Flag flags[] = {{"window_set_showborder", "window_get_showborder"},
                        {"window_set_showicons", "window_get_showicons"},
                        {"window_set_sizeable", "window_get_sizeable"},
                        {"window_set_stayontop", "window_get_stayontop"},
                        {"window_set_visible", "window_get_visible"}};
  for (const Flag& f : flags) {
    CallReal(run, f.set, {0.6});
    EXPECT_EQ(CallReal(run, f.get, {}), 1) << f.set;
    CallReal(run, f.set, {0.4});
    EXPECT_EQ(CallReal(run, f.get, {}), 0) << f.set;
  }
  CallReal(run, "window_set_visible", {1});
  EXPECT_TRUE(run.rt.display.window()->visible());
  Call(run, "window_set_caption", {pxtest::Str("Score: 10")});
  EXPECT_EQ(Call(run, "window_get_caption").str(), "Score: 10");
  CallReal(run, "window_set_color", {0x123456});
  EXPECT_EQ(CallReal(run, "window_get_color", {}), 0x123456);
  CallReal(run, "window_set_cursor", {-1});
  EXPECT_EQ(CallReal(run, "window_get_cursor", {}), -1);
  EXPECT_FALSE(run.rt.settings.showCursor);
  CallReal(run, "window_set_cursor", {-21});
  EXPECT_TRUE(run.rt.settings.showCursor);
}

TEST(DisplayFunctions, ModesChangeForTheProcessAndReset) {
  DeviceRun run;
  EXPECT_EQ(CallReal(run, "display_get_width", {}), 1920);
  EXPECT_EQ(CallReal(run, "display_get_colordepth", {}), 32);
  EXPECT_EQ(CallReal(run, "display_set_size", {800, 600}), 1);
  EXPECT_EQ(CallReal(run, "display_get_width", {}), 800);
  EXPECT_EQ(CallReal(run, "display_get_height", {}), 600);
  EXPECT_EQ(CallReal(run, "display_set_all", {1024, 768, 85, 16}), 1);
  EXPECT_EQ(CallReal(run, "display_get_frequency", {}), 85);
  EXPECT_EQ(CallReal(run, "display_get_colordepth", {}), 16);
  EXPECT_EQ(CallReal(run, "display_set_frequency", {61}), 0);  // no such mode
  EXPECT_EQ(CallReal(run, "display_get_frequency", {}), 85);
  EXPECT_EQ(CallReal(run, "display_set_colordepth", {32}), 1);
  // A test changes nothing.
  EXPECT_EQ(CallReal(run, "display_test_all", {640, 480, 60, 32}), 1);
  EXPECT_EQ(CallReal(run, "display_test_all", {641, 480, 60, 32}), 0);
  EXPECT_EQ(CallReal(run, "display_get_width", {}), 1024);
  EXPECT_EQ(CallReal(run, "display_reset", {}), 0);
  EXPECT_EQ(CallReal(run, "display_get_width", {}), 1920);
  // The device still draws after the resets.
  CallReal(run, "draw_clear", {255});
  EXPECT_EQ(CallReal(run, "draw_getpixel", {3, 3}), 255);
}

TEST(DisplayFunctions, MouseInScreenWindowAndRoom) {
  DeviceRun run;  // region 64 x 48
  CallReal(run, "window_set_region_scale", {2, 1});
  CallReal(run, "window_set_position", {100, 50});
  CallReal(run, "display_mouse_set", {140, 70});
  EXPECT_EQ(CallReal(run, "display_mouse_get_x", {}), 140);
  EXPECT_EQ(CallReal(run, "window_mouse_get_x", {}), 40);
  EXPECT_EQ(CallReal(run, "window_mouse_get_y", {}), 20);
  CallReal(run, "window_mouse_set", {10, 12});
  EXPECT_EQ(CallReal(run, "display_mouse_get_x", {}), 110);
  EXPECT_EQ(CallReal(run, "display_mouse_get_y", {}), 62);
  // No ports: room points are region points.
  CallReal(run, "display_mouse_set", {140, 70});
  EXPECT_EQ(CallReal(run, "window_views_mouse_get_x", {}), 20);
  EXPECT_EQ(CallReal(run, "window_view_mouse_get_y", {3}), 10);
  // Port 2 shows room (1000, 500, 32, 24) in the whole region.
  run.rt.display.ports[2] = {true, 1000, 500, 32, 24, 0, 0, 64, 48, 0};
  EXPECT_EQ(CallReal(run, "window_view_mouse_get_x", {2}), 1010);
  EXPECT_EQ(CallReal(run, "window_views_mouse_get_y", {}), 505);
  EXPECT_EQ(CallReal(run, "window_view_mouse_get_x", {40}), 20);  // no such port
  CallReal(run, "window_views_mouse_set", {1016, 512});
  EXPECT_EQ(CallReal(run, "display_mouse_get_x", {}), 100 + 32 * 2);
  EXPECT_EQ(CallReal(run, "display_mouse_get_y", {}), 50 + 24 * 2);
  CallReal(run, "window_view_mouse_set", {0, 16, 12});  // port 0 inactive: region point
  EXPECT_EQ(CallReal(run, "display_mouse_get_x", {}), 132);
}

TEST(DisplayFunctions, ClearAndReadPixels) {
  DeviceRun run;
  CallReal(run, "draw_clear", {0x10A0FF});
  EXPECT_EQ(CallReal(run, "draw_getpixel", {0, 0}), 0x10A0FF);
  EXPECT_EQ(CallReal(run, "draw_getpixel", {63, 47}), 0x10A0FF);
  EXPECT_EQ(CallReal(run, "draw_getpixel", {64, 0}), 0);         // outside the used back buffer
  EXPECT_EQ(CallReal(run, "draw_getpixel", {-1, 0}), 0x10A0FF);  // cut to 0
  CallReal(run, "draw_clear_alpha", {0x00FF00, 0});
  EXPECT_EQ(CallReal(run, "draw_getpixel", {5, 5}), 0x00FF00);
  // Through the current view's port.
  run.rt.display.ports[0] = {true, 200, 100, 64, 48, 0, 0, 64, 48, 0};
  run.Fill(10, 10, 11, 11, 0xFFFF0000);
  EXPECT_EQ(CallReal(run, "draw_getpixel", {210, 110}), 0x0000FF);
}

TEST(DisplayFunctions, RenderStatesReachTheDevice) {
  DeviceRun run;
  CallReal(run, "draw_set_blend_mode", {3});
  EXPECT_EQ(run.device().states().blendSrc, kBlendZero);
  EXPECT_EQ(run.device().states().blendDest, kBlendInvSrcColor);
  CallReal(run, "draw_set_blend_mode_ext", {9, 11});
  EXPECT_EQ(run.device().states().blendSrc, 9);
  EXPECT_EQ(run.device().states().blendDest, 11);
  CallReal(run, "d3d_set_fog", {1, 0xFF, 10.5, 99});
  EXPECT_TRUE(run.device().states().fogEnabled);
  EXPECT_EQ(run.device().states().fogColor, 0xFFu);
  EXPECT_EQ(run.device().states().fogEnd, 99.0f);
  CallReal(run, "texture_set_interpolation", {1});
  CallReal(run, "texture_set_repeat", {1});
  CallReal(run, "texture_set_blending", {0});
  CallReal(run, "d3d_set_culling", {1});
  CallReal(run, "d3d_set_shading", {0});
  CallReal(run, "d3d_set_lighting", {1});
  const RenderStates& s = run.device().states();
  EXPECT_TRUE(s.interpolation && s.textureRepeat && !s.textureBlending && s.culling && !s.shading &&
              s.lighting);
  CallReal(run, "set_automatic_draw", {0});
  EXPECT_FALSE(run.rt.display.automaticDraw);
  CallReal(run, "set_synchronization", {1});
  EXPECT_TRUE(s.synchronization);
}

TEST(DisplayFunctions, WaitingForTheVerticalBlankEndsOnTheNextOne) {
  DeviceRun run;  // headless: 60 Hz, virtual clock
  run.rt.display.Wait(5000);
  CallReal(run, "screen_wait_vsync", {});
  EXPECT_EQ(run.rt.display.Now() % 16666, 0);
  EXPECT_GT(run.rt.display.Now(), 0);
}

TEST(DisplayClock, WaitPassesTheTimeAsked) {
  pxtest::TestRun run;
  const std::int64_t t0 = run.rt.display.Now();
  run.rt.display.Wait(16667);
  EXPECT_GE(run.rt.display.Now() - t0, 16667);
  EXPECT_LT(run.rt.display.Now() - t0, 16667 + 200);
  run.rt.display.Wait(0);
  run.rt.display.Wait(-5);
  EXPECT_GE(run.rt.display.Now() - t0, 16667);
}
