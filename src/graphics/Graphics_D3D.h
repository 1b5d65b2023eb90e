// The rendering device: its life cycle, the render-state record, the 2D
// transforms and depth, frames and the back-buffer read. Drawing goes
// through the renderer it owns; without a device every call does nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "graphics/Graphics_Renderer.h"
#include "platform/Platform.h"

namespace px {

// The first sentence of each start-up failure is the one the game's players
// know; what follows says what failed here and how to check it.
inline constexpr const char* kMsgColorModeRequired =
    "This program requires 16-bit (High Color) or 32-bit (Full Color) mode. The screen has %d "
    "bits per pixel: run the X server (or Xvfb) at a depth of 16 or 24 bits, and check the depth "
    "with \"xdpyinfo | grep depth\".";
inline constexpr const char* kMsgDirect3DFailed =
    "Failed to initialize Direct3D. No OpenGL context (version 3.3 or later, compatibility "
    "profile) could be made for the game window. Check with \"glxinfo -B\" (Debian's mesa-utils) "
    "that the display offers one; Mesa's software renderer (libgl1-mesa-dri) does.";
// kMsgColorModeRequired with the screen's bits per pixel.
std::string ColorModeRequiredMessage(int bitsPerPixel);
inline constexpr const char* kMsgSurfacesFailed =
    "Failed to initialize drawing surfaces. Please check that your graphics card meets the "
    "minimum requirements and that your drivers are up-to-date. If your graphics card has "
    "little memory, try switching your computer to a lower resolution.";

// Blend factors in the device's numbering.
enum BlendFactor : int {
  kBlendZero = 1,
  kBlendOne = 2,
  kBlendSrcColor = 3,
  kBlendInvSrcColor = 4,
  kBlendSrcAlpha = 5,
  kBlendInvSrcAlpha = 6,
};

struct RenderStates {
  bool interpolation = false;
  bool textureBlending = true;
  bool textureRepeat = false;
  bool synchronization = false;
  bool hidden = false;
  bool perspective = false;
  bool lighting = false;
  bool shading = true;  // smooth
  bool fogEnabled = false;
  std::uint32_t fogColor = 0;  // 0xBBGGRR
  float fogStart = 0;
  float fogEnd = 0;
  bool culling = false;
  int blendSrc = kBlendSrcAlpha;
  int blendDest = kBlendInvSrcAlpha;
};

// The factors of a blend mode: 1 add, 2 max, 3 subtract, anything else
// normal.
std::pair<int, int> BlendModeFactors(int mode);

// The vertex colour 0xAARRGGBB of a colour 0xBBGGRR and an alpha from 0 to 1.
std::uint32_t VertexColor(std::uint32_t bgr, double alpha);

class Device {
 public:
  explicit Device(Platform& platform) : platform_(platform) {}
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // Makes the device on the window with a back buffer of the screen's
  // size, of which width × height (cut to the screen) is used. On failure
  // shows the reason (with `caption`) and gives false.
  bool Create(GameWindow& window, int width, int height, bool synchronization,
              const std::string& caption);
  // Rebuilds the device for the current display mode and 3D mode; a lost
  // context is made again and the textures with it.
  bool Reset();
  void Release();
  bool exists() const { return renderer_ != nullptr; }
  Renderer* renderer() { return renderer_.get(); }

  // Frames. The scene is open between BeginFrame and EndFramePresent;
  // presenting shows the used back buffer at `dest` in the client area,
  // the rest of it in `bandColor`.
  bool BeginFrame();
  bool EndFramePresent(const Rect& dest, std::uint32_t bandColor);
  bool PresentOnly(const Rect& dest, std::uint32_t bandColor);
  bool sceneOpen() const { return sceneOpen_; }

  void ClearTarget(std::uint32_t bgr, double alpha);
  void ClearDepth();
  void SetViewport(int x, int y, int w, int h);
  void SetProjection2D(double x, double y, double w, double h, double angle);
  void SetDepth(double d);
  double depth() const { return depth_; }
  // A copy of a rectangle of the used back buffer; nothing when it is empty.
  std::optional<TBitmap32> ReadBackBuffer(int x, int y, int w, int h);
  // Changes the used part of the back buffer, and then the viewport and
  // the 2D projection to cover it.
  void ResizeBackBuffer(int w, int h);
  Size backBuffer() const { return {backbufferWidth_, backbufferHeight_}; }

  const RenderStates& states() const { return states_; }
  void SetInterpolation(bool on);
  void SetTextureBlending(bool on);
  void SetTextureRepeat(bool on);
  void SetSynchronization(bool on);
  void SetHidden(bool on);
  void SetPerspective(bool on) { states_.perspective = on; }
  void SetLighting(bool on);
  void SetShading(bool smooth);
  void SetFog(bool on, std::uint32_t bgr, float start, float end);
  void SetCulling(bool on);
  void SetBlendFactors(int src, int dest);
  void SetBlendMode(int mode);
  // Sends every state to the device again, in a fixed order.
  void ApplyAllStates();

  bool mode3D() const { return mode3D_; }
  void SetMode3D(bool on) { mode3D_ = on; }

  // Drawing of the other graphics parts: vertices go to the device as they
  // are, z taken from them.
  void Draw(PrimitiveType type, std::span<const ColorVertex> vertices);
  void Draw(PrimitiveType type, std::span<const TexturedVertex> vertices, TextureHandle texture) {
    if (renderer_) renderer_->draw(type, vertices, texture);
  }
  // A textured quad, corners clockwise from the top-left; runs of quads
  // with one texture reach the device together.
  void DrawQuad(TextureHandle texture, const TexturedVertex (&corners)[4]) {
    if (renderer_) renderer_->drawQuad(texture, corners);
  }
  RendererCaps caps() const { return caps_; }

  // Drawing and clearing go into the texture (0: the back buffer); false,
  // with the back buffer the target, when it cannot.
  bool SetRenderTarget(TextureHandle texture) {
    return renderer_ && renderer_->setRenderTarget(texture);
  }

  // Called when a reset throws the drawing surfaces away, and when the
  // context was made again so every texture must be made again.
  std::function<void()> onSurfacesLost;
  std::function<void()> onTexturesLost;

 private:
  bool Present(const Rect& dest, std::uint32_t bandColor);
  void ApplyFog();
  void ApplyHidden();
  void AfterCreate();

  Platform& platform_;
  GameWindow* window_ = nullptr;
  std::unique_ptr<Renderer> renderer_;
  int backbufferWidth_ = 0;
  int backbufferHeight_ = 0;
  RendererCaps caps_;
  RenderStates states_;
  bool mode3D_ = false;
  double depth_ = 0;
  bool sceneOpen_ = false;
  Rect viewport_;
};

}  // namespace px
