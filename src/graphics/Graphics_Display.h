// The game window and the screen: the window's geometry and style, full
// screen, the display mode, the drawing region and its placement in the
// client area, the port table, the mapping between window, region and room
// coordinates, frames shown in the window, and the clock of the step loop.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_Draw.h"
#include "graphics/Graphics_Surface.h"
#include "graphics/Graphics_Text.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/Graphics_Transition.h"
#include "platform/Platform.h"

namespace px {

struct GameSettings;

// One view as last drawn: the room rectangle it shows, where it shows it in
// the region, and its angle in degrees.
struct PortEntry {
  bool active = false;
  double viewX = 0, viewY = 0, viewW = 0, viewH = 0;
  double portX = 0, portY = 0, portW = 0, portH = 0;
  double angle = 0;
};
inline constexpr int kPortCount = 32;
using PortTable = std::array<PortEntry, kPortCount>;

struct PointD {
  double x = 0;
  double y = 0;
};

// The region's rectangle in a client area of the given size: stretched
// (scale 0), a fixed factor (above 0) or the largest that keeps its aspect
// (below 0), centred.
Rect RegionPlacement(Size client, Size region, double scale);
// A point of the client area (origin subtracted) as a region point.
Point ClientToRegion(Point p, Size client, Size region, double scale);
// A region point as a point of the client area (origin not added).
Point RegionToClient(Point p, Size client, Size region, double scale);
// A region point as a room point through a port, and back; an inactive or
// empty port passes the point through.
Point RegionToRoom(const PortEntry& port, PointD p);
Point RoomToRegion(const PortEntry& port, PointD p);
// The room point under a region point through the topmost port whose view
// holds it, else through the lowest active port; with none, the region point.
Point RegionToRoomTopmost(const PortTable& ports, PointD p);

class Display {
 public:
  explicit Display(Platform& platform);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // The window record: geometry as last applied and the window's style.
  int windowX = 0, windowY = 0, windowWidth = 640, windowHeight = 480;
  int regionWidth = 8, regionHeight = 8;
  double regionScale = 1.0;
  bool applying = false;
  int borderExtraWidth = 0, borderExtraHeight = 0;
  bool fullScreen = false;
  bool showBorder = true;
  bool showIcons = true;
  bool sizeable = false;
  bool stayOnTop = false;
  bool visible = false;
  std::uint32_t windowColor = 0;  // 0xBBGGRR
  std::string caption;
  int cursor = 0;
  // Whether the step loop draws and presents by itself.
  bool automaticDraw = true;
  // The port through which room points are read back (draw_getpixel).
  int currentView = 0;
  PortTable ports{};

  Device device;
  // The device's textures; emptied whenever the device is made.
  TextureTable textures{device};
  // Drawing colour, primitives and textured quads.
  Drawing draw{device, textures};
  // Off-screen images drawing can go into; lost with the device.
  SurfaceTable surfaces{device, textures};
  // The room transitions game code defined, and the one under way.
  TransitionState transition;
  // Fonts and alignment of text drawing, and its layout buffers.
  TextState text;

  // The game's main window, made (hidden) on first use; nothing when the
  // platform cannot make one.
  GameWindow* window();
  bool hasWindow() const { return window_ != nullptr; }

  // The display set-up of start-up: display mode, window style from the
  // settings and the device; false (after a message) when the game cannot
  // start. The window stays hidden until the game shows it.
  bool Setup(const GameSettings& settings, const std::string& messageCaption);
  // Makes the textures of backgrounds, sprites and fonts at the end of the
  // set-up, and again when the device lost them.
  std::function<void()> onCreateTextures;

  // The client area: the window's when there is one, else the record's.
  Rect client() const;
  Rect placement() const;
  void Record();
  void Apply();
  // Every setter of a window property records, changes, then applies.
  void SetFullScreen(bool on);
  void ToggleFullScreen() { SetFullScreen(!fullScreen); }
  void SetShowBorder(bool on);
  void SetShowIcons(bool on);
  void SetSizeable(bool on);
  void SetStayOnTop(bool on);
  void SetVisible(bool on);
  void SetCaption(const std::string& text);
  void SetCursor(int code);
  void SetWindowColor(std::uint32_t bgr);
  void SetPosition(int x, int y);
  void SetSize(int w, int h);
  void Center();
  void Default();
  void SetRegionSize(int w, int h, bool adapt);
  void SetRegionScale(double scale, bool adapt);
  // The region and back buffer of a starting room of w × h.
  void AdaptRegionToRoom(int w, int h);

  // Display mode changes (fields above 0 only), then a device reset.
  bool SetDisplayMode(const DisplayMode& request);
  bool TestDisplayMode(const DisplayMode& request);
  void ResetDisplayMode();

  // Screen point to region point and back.
  Point WindowToRegion(Point screen) const;
  Point RegionToWindow(Point region) const;

  // Frames in the window.
  bool EndFramePresent();
  bool PresentOnly();
  // Repaints the client area: bands in the window colour around the last
  // frame.
  void Paint();
  // Waits for the next vertical blank: the screen's own where the window
  // can wait for it, else the next one of the display's refresh rate on
  // the clock.
  void WaitVerticalBlank();

  // Microseconds since the display was made, and a wait that keeps the
  // window's events handled.
  std::int64_t Now();
  void Wait(std::int64_t micros);

 private:
  void UpdateMinimumSize();
  void ScaledClientAtLeast(bool adapt);

  Platform& platform_;
  std::unique_ptr<GameWindow> window_;
  bool windowFailed_ = false;
  bool modeChanged_ = false;
  bool texturesMade_ = false;
  std::int64_t clockStart_ = 0;
};

}  // namespace px
