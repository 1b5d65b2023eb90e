#include "graphics/Graphics_Display.h"

#include <gtest/gtest.h>

#include <sstream>

#include "graphics/Graphics_TestSupport.h"
#include "resources/Option_Main.h"
#include "run/Runtime.h"

using namespace px;

TEST(RegionPlacement, ScaleModes) {
  struct Case {
    Size client, region;
    double scale;
    Rect expected;
  };
  const Case cases[] = {
      {{100, 100}, {40, 30}, 1.0, {30, 35, 40, 30}},   // fixed factor, centred
      {{100, 100}, {40, 30}, 2.0, {10, 20, 80, 60}},   //
      {{100, 100}, {40, 30}, 3.0, {-10, 5, 120, 90}},  // larger than the client
      {{100, 100}, {40, 30}, 0.0, {0, 0, 100, 100}},   // stretched
      {{100, 100}, {40, 30}, -1.0, {0, 12, 100, 75}},  // aspect kept
      {{90, 200}, {40, 30}, -1.0, {0, 66, 90, 68}},    // 67.5 rounds to even
      {{101, 101}, {40, 30}, 1.5, {20, 28, 60, 45}},
      {{41, 41}, {1, 1}, 2.5, {19, 19, 2, 2}},  // 2.5 rounds to even
  };
  for (const Case& c : cases)
    EXPECT_EQ(RegionPlacement(c.client, c.region, c.scale), c.expected)
        << c.client.width << "x" << c.client.height << " scale " << c.scale;
}

TEST(CoordinateMapping, ClientAndRegion) {
  struct Case {
    Size client, region;
    double scale;
    Point client_point, region_point;
  };
  const Case cases[] = {
      {{100, 100}, {40, 30}, 1.0, {30, 35}, {0, 0}},
      {{100, 100}, {40, 30}, 1.0, {69, 64}, {39, 29}},
      {{100, 100}, {40, 30}, 2.0, {10, 20}, {0, 0}},
      {{100, 100}, {40, 30}, 2.0, {50, 50}, {20, 15}},
      {{200, 100}, {40, 50}, 0.0, {100, 50}, {20, 25}},
      {{200, 100}, {40, 50}, 0.0, {5, 2}, {1, 1}},
      {{100, 125}, {40, 30}, -1.0, {0, 25}, {0, 0}},
      {{100, 125}, {40, 30}, -1.0, {50, 63}, {20, 15}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClientToRegion(c.client_point, c.client, c.region, c.scale), c.region_point)
        << "scale " << c.scale << " at " << c.client_point.x << "," << c.client_point.y;
    EXPECT_EQ(RegionToClient(c.region_point, c.client, c.region, c.scale), c.client_point)
        << "scale " << c.scale << " of " << c.region_point.x << "," << c.region_point.y;
  }
  // Placing the cursor halves the client and the scaled region apart, so
  // with an odd band it lands one pixel lower than the region shows.
  EXPECT_EQ(ClientToRegion({0, 12}, {100, 100}, {40, 30}, -1.0), (Point{0, 0}));
  EXPECT_EQ(RegionToClient({0, 0}, {100, 100}, {40, 30}, -1.0), (Point{0, 13}));
  // Rounding: a client point between two scaled region pixels.
  EXPECT_EQ(ClientToRegion({13, 13}, {100, 100}, {40, 30}, 2.0), (Point{2, -4}));
  EXPECT_EQ(ClientToRegion({5, 5}, {0, 0}, {40, 30}, 0.0), (Point{200, 150}));
}

TEST(CoordinateMapping, RegionAndRoomThroughPorts) {
  PortEntry plain;
  plain.active = true;
  plain.viewX = 100, plain.viewY = 200, plain.viewW = 320, plain.viewH = 240;
  plain.portX = 10, plain.portY = 20, plain.portW = 640, plain.portH = 480;
  PortEntry turned = plain;
  turned.angle = 90;
  PortEntry tiny = plain;
  tiny.angle = 0.005;  // below 0.01: no angle
  PortEntry inactive = plain;
  inactive.active = false;
  PortEntry empty = plain;
  empty.portW = 0;

  struct Case {
    const char* what;
    const PortEntry* port;
    PointD region;
    Point room;
  };
  const Case toRoom[] = {
      {"origin", &plain, {10, 20}, {100, 200}},
      {"scaled", &plain, {650, 500}, {420, 440}},
      {"rounded", &plain, {13, 23}, {102, 202}},  // 101.5 and 201.5 to even
      {"tiny angle", &tiny, {650, 500}, {420, 440}},
      {"inactive", &inactive, {7.5, 8.5}, {8, 8}},
      {"empty port", &empty, {7, 9}, {7, 9}},
      {"centre stays", &turned, {330, 260}, {260, 320}},
      {"turned", &turned, {330 + 64, 260}, {260, 320 + 32}},
      {"turned y", &turned, {330, 260 + 64}, {260 - 32, 320}},
  };
  for (const Case& c : toRoom) EXPECT_EQ(RegionToRoom(*c.port, c.region), c.room) << c.what;

  const Case toRegion[] = {
      {"origin", &plain, {100, 200}, {10, 20}},
      {"scaled", &plain, {420, 440}, {650, 500}},
      {"inactive", &inactive, {7.5, 8.5}, {8, 8}},
      {"centre stays", &turned, {260, 320}, {330, 260}},
      {"turned", &turned, {260, 320 + 32}, {330 + 64, 260}},
      {"turned y", &turned, {260 - 32, 320}, {330, 260 + 64}},
  };
  for (const Case& c : toRegion) EXPECT_EQ(RoomToRegion(*c.port, c.region), c.room) << c.what;
  PortEntry noView = plain;
  noView.viewH = 0;
  EXPECT_EQ(RoomToRegion(noView, {3.5, 4.5}), (Point{4, 4}));
}

TEST(CoordinateMapping, TopmostPortUnderThePoint) {
  PortTable ports{};
  EXPECT_EQ(RegionToRoomTopmost(ports, {5, 6}), (Point{5, 6}));  // no ports
  // Port 1 shows room (0, 0, 100, 100) at the left; port 4 room (1000, 0,
  // 100, 100) at the right, overlapping port 1 by 10 pixels.
  ports[1] = {true, 0, 0, 100, 100, 0, 0, 100, 100, 0};
  ports[4] = {true, 1000, 0, 100, 100, 90, 0, 100, 100, 0};
  EXPECT_EQ(RegionToRoomTopmost(ports, {50, 50}), (Point{50, 50}));
  EXPECT_EQ(RegionToRoomTopmost(ports, {95, 50}), (Point{1005, 50}));  // the higher index wins
  EXPECT_EQ(RegionToRoomTopmost(ports, {150, 50}), (Point{1060, 50}));
  // Outside every view: through the lowest active port.
  EXPECT_EQ(RegionToRoomTopmost(ports, {300, 300}), (Point{300, 300}));
  ports[1].viewX = 500;
  EXPECT_EQ(RegionToRoomTopmost(ports, {300, 300}), (Point{800, 300}));
}

namespace {

struct WindowRun : pxtest::DeviceRun {
  Display& display() { return rt.display; }
  // Shows a used back buffer of w × h in red inside a window of the given
  // client size, the window colour blue; returns what the window shows.
  TBitmap32 Show(int w, int h, double scale, Size client) {
    display().SetWindowColor(0xFF0000);
    display().SetRegionScale(scale, false);
    display().SetRegionSize(w, h, false);
    device().ResizeBackBuffer(w, h);
    display().SetSize(client.width, client.height);
    device().SetViewport(0, 0, w, h);
    device().ClearTarget(0x0000FF, 1);
    EXPECT_TRUE(display().EndFramePresent());
    device().BeginFrame();
    auto image = device().renderer()->readWindow();
    return image ? *image : TBitmap32();
  }
};

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

}  // namespace

TEST(DisplayPresent, RegionPlacedInTheWindowWithBands) {
  struct Case {
    double scale;
    Size client;
    Rect region;  // where the red region must show
  };
  const Case cases[] = {
      {1.0, {100, 100}, {30, 35, 40, 30}}, {2.0, {100, 100}, {10, 20, 80, 60}},
      {0.0, {100, 60}, {0, 0, 100, 60}},   {-1.0, {100, 100}, {0, 12, 100, 75}},
      {-1.0, {200, 60}, {60, 0, 80, 60}},
  };
  for (const Case& c : cases) {
    WindowRun run;
    const TBitmap32 image = run.Show(40, 30, c.scale, c.client);
    ASSERT_EQ(image.width(), c.client.width);
    ASSERT_EQ(image.height(), c.client.height);
    const Rect& r = c.region;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const bool inside = x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
        ASSERT_EQ(image.GetPixel(x, y), inside ? kRed : kBlue)
            << "scale " << c.scale << " at " << x << "," << y;
      }
  }
}

TEST(DisplayPresent, UnevenStretchKeepsEveryPixelInPlace) {
  // A region of 4 × 2 with a white top-left pixel, stretched to 12 × 10.
  WindowRun run;
  run.Show(4, 2, 0.0, {12, 10});
  run.device().ClearTarget(0x000000, 1);
  run.Fill(0, 0, 1, 1, 0xFFFFFFFF);
  ASSERT_TRUE(run.display().EndFramePresent());
  const auto image = run.device().renderer()->readWindow();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->GetPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image->GetPixel(2, 4), 0xFFFFFFFFu);
  EXPECT_EQ(image->GetPixel(3, 0), 0xFF000000u);
  EXPECT_EQ(image->GetPixel(0, 5), 0xFF000000u);
}

TEST(DisplaySetup, SettingsChooseTheModeAndTheWindow) {
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  {
    Runtime rt(*platform);
    GameSettings settings;
    settings.setResolution = true;
    settings.resolution = 3;  // 800 x 600
    settings.colorDepth = 1;  // 16 bits
    settings.frequency = 3;   // 85 Hz
    settings.scaling = 200;
    settings.sizeable = true;
    settings.windowColor = 0x00FF00;
    settings.noBorder = true;
    settings.noButtons = true;
    settings.showCursor = false;
    ASSERT_TRUE(rt.display.Setup(settings, "game"));
    EXPECT_EQ(platform->displayMode(), (DisplayMode{800, 600, 16, 85}));
    EXPECT_EQ(rt.display.regionWidth, 8);
    EXPECT_EQ(rt.display.regionScale, 2.0);
    EXPECT_EQ(rt.display.client().width, 16);  // adapted to the scaled region
    EXPECT_TRUE(rt.display.sizeable);
    EXPECT_FALSE(rt.display.showBorder);
    EXPECT_FALSE(rt.display.showIcons);
    EXPECT_EQ(rt.display.windowColor, 0x00FF00u);
    EXPECT_EQ(rt.display.cursor, -1);
    EXPECT_TRUE(rt.display.device.exists());
    EXPECT_TRUE(rt.display.device.sceneOpen());
    EXPECT_EQ(rt.display.device.backBuffer(), (Size{640, 480}));
    EXPECT_TRUE(out.str().empty());
  }
  // The end of the run gives the screen its mode back.
  EXPECT_EQ(platform->displayMode(), (DisplayMode{1920, 1080, 32, 60}));
}

TEST(DisplaySetup, CodesOutsideTheTablesLeaveTheModeAlone) {
  pxtest::TestRun run;
  GameSettings settings;
  settings.setResolution = true;
  settings.resolution = 9;
  settings.colorDepth = 0;
  settings.frequency = 7;
  settings.fullScreen = true;
  ASSERT_TRUE(run.rt.display.Setup(settings, "game"));
  EXPECT_EQ(run.platform->displayMode(), (DisplayMode{1920, 1080, 32, 60}));
  EXPECT_EQ(run.rt.display.client(), (Rect{0, 0, 1920, 1080}));
}
