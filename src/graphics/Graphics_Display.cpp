#include "graphics/Graphics_Display.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Rounding.h"
#include "resources/Option_Main.h"

namespace px {

inline constexpr const char* kMsgColorModeQuestion =
    "This application requires 16-bit or 32-bit color mode. Should I switch to a valid color "
    "mode?";

namespace {

int Round(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

// The factor of a fixed or aspect-keeping placement; 0 when the region is
// empty.
double PlacementScale(Size client, Size region, double scale) {
  if (scale > 0) return scale;
  if (region.width <= 0 || region.height <= 0) return 0;
  return std::min(static_cast<double>(client.width) / region.width,
                  static_cast<double>(client.height) / region.height);
}

bool InView(const PortEntry& e, Point p) {
  return p.x >= e.viewX && p.x < e.viewX + e.viewW && p.y >= e.viewY && p.y < e.viewY + e.viewH;
}

}  // namespace

Rect RegionPlacement(Size client, Size region, double scale) {
  if (scale == 0) return {0, 0, client.width, client.height};
  const double s = PlacementScale(client, region, scale);
  const int w = Round(region.width * s), h = Round(region.height * s);
  return {(client.width - w) / 2, (client.height - h) / 2, w, h};
}

Point ClientToRegion(Point p, Size client, Size region, double scale) {
  if (scale == 0)
    return {Round(static_cast<double>(p.x) * region.width / std::max(client.width, 1)),
            Round(static_cast<double>(p.y) * region.height / std::max(client.height, 1))};
  const double s = PlacementScale(client, region, scale);
  if (s == 0) return {0, 0};
  const int offsetX = (client.width - Round(region.width * s)) / 2;
  const int offsetY = (client.height - Round(region.height * s)) / 2;
  return {Round((p.x - offsetX) / s), Round((p.y - offsetY) / s)};
}

Point RegionToClient(Point p, Size client, Size region, double scale) {
  if (scale == 0)
    return {region.width ? Round(static_cast<double>(p.x) * client.width / region.width) : 0,
            region.height ? Round(static_cast<double>(p.y) * client.height / region.height) : 0};
  const double s = PlacementScale(client, region, scale);
  return {client.width / 2 - Round(region.width * s) / 2 + Round(p.x * s),
          client.height / 2 - Round(region.height * s) / 2 + Round(p.y * s)};
}

Point RegionToRoom(const PortEntry& e, PointD p) {
  if (!e.active || e.portW == 0 || e.portH == 0) return {Round(p.x), Round(p.y)};
  const double t = (p.x - e.portX) * e.viewW / e.portW;
  const double u = (p.y - e.portY) * e.viewH / e.portH;
  if (std::abs(e.angle) < 0.01) return {Round(t + e.viewX), Round(u + e.viewY)};
  const double a = -e.angle * std::numbers::pi / 180.0;
  const double t2 = t - e.viewW / 2, u2 = u - e.viewH / 2;
  return {Round(std::cos(a) * t2 + e.viewW / 2 + e.viewX + std::sin(a) * u2),
          Round(e.viewH / 2 + e.viewY - t2 * std::sin(a) + u2 * std::cos(a))};
}

Point RoomToRegion(const PortEntry& e, PointD p) {
  if (!e.active || e.viewW == 0 || e.viewH == 0) return {Round(p.x), Round(p.y)};
  const double o = (p.x - e.viewX) * e.portW / e.viewW;
  const double r = (p.y - e.viewY) * e.portH / e.viewH;
  if (std::abs(e.angle) < 0.01) return {Round(o + e.portX), Round(r + e.portY)};
  const double a = e.angle * std::numbers::pi / 180.0;
  const double o2 = o - e.portW / 2, r2 = r - e.portH / 2;
  return {Round(std::cos(a) * o2 + e.portW / 2 + e.portX + std::sin(a) * r2),
          Round(e.portH / 2 + e.portY - o2 * std::sin(a) + r2 * std::cos(a))};
}

Point RegionToRoomTopmost(const PortTable& ports, PointD p) {
  std::optional<Point> last;
  for (int i = kPortCount - 1; i >= 0; --i) {
    const PortEntry& e = ports[static_cast<std::size_t>(i)];
    if (!e.active) continue;
    last = RegionToRoom(e, p);
    if (InView(e, *last)) return *last;
  }
  return last ? *last : Point{Round(p.x), Round(p.y)};
}

Display::Display(Platform& platform)
    : device(platform), platform_(platform), clockStart_(platform.nowMicros()) {
  // A new device starts with an empty table; a context made anew lost
  // every texture, so the resources' textures are made again.
  device.onTexturesLost = [this] {
    textures.Clear(false);
    if (texturesMade_ && onCreateTextures) onCreateTextures();
  };
  device.onSurfacesLost = [this] { surfaces.Lost(); };
}

Display::~Display() {
  device.Release();
  if (modeChanged_) platform_.restoreDisplayMode();
}

GameWindow* Display::window() {
  if (window_ || windowFailed_) return window_.get();
  try {
    window_ = platform_.createGameWindow(
        {caption, windowX, windowY, windowWidth, windowHeight, false, std::nullopt});
  } catch (const PlatformError&) {
    windowFailed_ = true;
    return nullptr;
  }
  window_->onResized = [this] {
    Record();
    Paint();
  };
  window_->onExposed = [this] { Paint(); };
  window_->setCaption(caption);
  window_->setStayOnTop(stayOnTop);
  window_->setCursor(cursor);
  Apply();
  if (visible) window_->show();
  return window_.get();
}

bool Display::Setup(const GameSettings& settings, const std::string& messageCaption) {
  DisplayMode request;
  if (settings.setResolution) {
    static constexpr Size kResolutions[] = {{320, 240},  {640, 480},   {800, 600},
                                            {1024, 768}, {1280, 1024}, {1600, 1200}};
    static constexpr int kFrequencies[] = {60, 70, 85, 100, 120};
    if (settings.colorDepth == 1) request.bitsPerPixel = 16;
    if (settings.colorDepth == 2) request.bitsPerPixel = 32;
    if (settings.resolution >= 1 && settings.resolution <= 6) {
      request.width = kResolutions[settings.resolution - 1].width;
      request.height = kResolutions[settings.resolution - 1].height;
    }
    if (settings.frequency >= 1 && settings.frequency <= 5)
      request.frequency = kFrequencies[settings.frequency - 1];
  }
  const int depth = platform_.displayMode().bitsPerPixel;
  if (request.bitsPerPixel <= 0 && depth != 16 && depth != 32) {
    if (platform_.messageBox(kMsgColorModeQuestion, messageCaption, Buttons::YesNo,
                             MessageIcon::Question) != Answer::Yes)
      return false;
    request.bitsPerPixel = 16;
  }
  if (request.width > 0 || request.height > 0 || request.bitsPerPixel > 0 ||
      request.frequency > 0) {
    if (platform_.changeDisplayMode(request, false)) modeChanged_ = true;
  }

  GameWindow* w = window();
  if (!w) {
    platform_.messageBox(kMsgDirect3DFailed, messageCaption, Buttons::Ok, MessageIcon::Error);
    return false;
  }
  SetRegionSize(8, 8, true);
  SetRegionScale(settings.scaling / 100.0, true);
  SetSizeable(settings.sizeable);
  SetStayOnTop(settings.stayOnTop);
  SetWindowColor(static_cast<std::uint32_t>(settings.windowColor));
  SetShowBorder(!settings.noBorder);
  SetShowIcons(!settings.noButtons);
  SetFullScreen(settings.fullScreen);
  SetCursor(settings.showCursor ? 0 : -1);
  if (!device.Create(*w, 640, 480, settings.vsync, messageCaption)) return false;
  device.SetInterpolation(settings.interpolate);
  if (onCreateTextures) onCreateTextures();
  texturesMade_ = true;
  device.BeginFrame();
  return true;
}

Rect Display::client() const {
  if (window_) return window_->clientBounds();
  return {windowX, windowY, windowWidth, windowHeight};
}

Rect Display::placement() const {
  const Rect c = client();
  return RegionPlacement({c.width, c.height}, {regionWidth, regionHeight}, regionScale);
}

void Display::Record() {
  if (fullScreen || applying || !window_) return;
  const Rect c = window_->clientBounds();
  windowX = c.x;
  windowY = c.y;
  windowWidth = c.width;
  windowHeight = c.height;
  const Size extra = window_->borderExtra();
  borderExtraWidth = extra.width;
  borderExtraHeight = extra.height;
}

void Display::Apply() {
  if (!window_) return;
  applying = true;
  if (fullScreen) {
    window_->setBorder(BorderStyle::None, false);
    if (modeChanged_) window_->setExclusiveMode(platform_.displayMode());
    const Size screen = platform_.screenSize();
    window_->setClientBounds({0, 0, screen.width, screen.height});
  } else {
    window_->setExclusiveMode(std::nullopt);
    window_->setBorder(
        showBorder ? (sizeable ? BorderStyle::Sizeable : BorderStyle::Single) : BorderStyle::None,
        showIcons);
    window_->setClientBounds({windowX, windowY, windowWidth, windowHeight});
  }
  UpdateMinimumSize();
  applying = false;
}

// The user cannot drag a fixed-scale window smaller than the scaled region.
void Display::UpdateMinimumSize() {
  if (!window_) return;
  if (regionScale > 0 && !fullScreen)
    window_->setMinimumClientSize(
        {Round(regionScale * regionWidth), Round(regionScale * regionHeight)});
  else
    window_->setMinimumClientSize({1, 1});
}

void Display::SetFullScreen(bool on) {
  if (on == fullScreen) return;
  Record();
  fullScreen = on;
  Apply();
  Paint();
}

void Display::SetShowBorder(bool on) {
  Record();
  showBorder = on;
  Apply();
}

void Display::SetShowIcons(bool on) {
  Record();
  showIcons = on;
  Apply();
}

void Display::SetSizeable(bool on) {
  Record();
  sizeable = on;
  Apply();
}

void Display::SetStayOnTop(bool on) {
  stayOnTop = on;
  if (window_) window_->setStayOnTop(on);
}

void Display::SetVisible(bool on) {
  visible = on;
  if (GameWindow* w = on ? window() : window_.get()) {
    if (on)
      w->show();
    else
      w->hide();
  }
  Record();
}

void Display::SetCaption(const std::string& text) {
  caption = text;
  if (window_) window_->setCaption(text);
}

void Display::SetCursor(int code) {
  cursor = code;
  if (window_) window_->setCursor(code);
}

void Display::SetWindowColor(std::uint32_t bgr) {
  windowColor = bgr & 0xFFFFFF;
  Paint();
}

void Display::SetPosition(int x, int y) {
  Record();
  windowX = x;
  windowY = y;
  Apply();
}

void Display::SetSize(int w, int h) {
  Record();
  if (regionScale > 0) {
    w = std::max(w, Round(regionWidth * regionScale));
    h = std::max(h, Round(regionHeight * regionScale));
  }
  windowWidth = std::max(w, 1);
  windowHeight = std::max(h, 1);
  Apply();
  Paint();
}

void Display::Center() {
  Record();
  const Size screen = platform_.screenSize();
  windowX = (screen.width - windowWidth) / 2;
  windowY = (screen.height - windowHeight) / 2;
  Apply();
}

void Display::Default() {
  Record();
  const double s = regionScale > 0 ? regionScale : 1.0;
  windowWidth = std::max(Round(regionWidth * s), 1);
  windowHeight = std::max(Round(regionHeight * s), 1);
  const Size screen = platform_.screenSize();
  windowX = (screen.width - windowWidth) / 2;
  windowY = (screen.height - windowHeight) / 2;
  Apply();
  Paint();
}

// With a fixed scale, the client grows to the scaled region: to exactly
// that size with `adapt`, else only where it is smaller.
void Display::ScaledClientAtLeast(bool adapt) {
  if (regionScale <= 0) return;
  const int w = Round(regionScale * regionWidth), h = Round(regionScale * regionHeight);
  if (adapt) {
    Record();
    windowWidth = std::max(w, 1);
    windowHeight = std::max(h, 1);
    Apply();
  } else if (windowWidth < w || windowHeight < h) {
    Record();
    windowWidth = std::max(windowWidth, w);
    windowHeight = std::max(windowHeight, h);
    Apply();
  }
}

void Display::SetRegionSize(int w, int h, bool adapt) {
  if (w > 0) regionWidth = w;
  if (h > 0) regionHeight = h;
  ScaledClientAtLeast(adapt);
  UpdateMinimumSize();
  Paint();
}

void Display::SetRegionScale(double scale, bool adapt) {
  regionScale = scale;
  ScaledClientAtLeast(adapt);
  UpdateMinimumSize();
  Paint();
}

void Display::AdaptRegionToRoom(int w, int h) {
  const Size screen = platform_.screenSize();
  w = std::min(w, screen.width);
  h = std::min(h, screen.height);
  if (w == regionWidth && h == regionHeight) return;
  SetRegionSize(w, h, true);
  Default();
  device.ResizeBackBuffer(w, h);
}

bool Display::SetDisplayMode(const DisplayMode& request) {
  const bool ok = platform_.changeDisplayMode(request, false);
  if (ok) modeChanged_ = true;
  if (fullScreen) Apply();
  device.Reset();
  return ok;
}

bool Display::TestDisplayMode(const DisplayMode& request) {
  return platform_.changeDisplayMode(request, true);
}

void Display::ResetDisplayMode() {
  platform_.restoreDisplayMode();
  modeChanged_ = false;
  if (fullScreen) Apply();
  device.Reset();
}

Point Display::WindowToRegion(Point screen) const {
  const Rect c = client();
  return ClientToRegion({screen.x - c.x, screen.y - c.y}, {c.width, c.height},
                        {regionWidth, regionHeight}, regionScale);
}

Point Display::RegionToWindow(Point region) const {
  const Rect c = client();
  const Point p =
      RegionToClient(region, {c.width, c.height}, {regionWidth, regionHeight}, regionScale);
  return {c.x + p.x, c.y + p.y};
}

bool Display::EndFramePresent() {
  return device.EndFramePresent(placement(), windowColor);
}

bool Display::PresentOnly() {
  return device.PresentOnly(placement(), windowColor);
}

void Display::Paint() {
  if (!applying) PresentOnly();
}

void Display::WaitVerticalBlank() {
  if (window_ && window_->waitVerticalBlank()) return;
  const int rate = std::max(platform_.displayMode().frequency, 1);
  const std::int64_t period = 1000000 / rate;
  const std::int64_t now = Now();
  Wait(period - now % period);
}

std::int64_t Display::Now() {
  return platform_.nowMicros() - clockStart_;
}

// Sleeps for all but the last millisecond, then handles events in short
// waits until the time has passed (or the clock went back).
void Display::Wait(std::int64_t micros) {
  if (micros <= 0) return;
  const std::int64_t t0 = Now();
  if (micros >= 2000) platform_.waitMicros((micros - 1000) / 1000 * 1000);
  for (;;) {
    platform_.pumpEvents();
    const std::int64_t t = Now();
    if (t < t0 || t >= t0 + micros) break;
    platform_.waitMicros(std::min<std::int64_t>(t0 + micros - t, 200));
  }
}

}  // namespace px
