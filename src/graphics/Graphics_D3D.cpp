#include "graphics/Graphics_D3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Rounding.h"

namespace px {

std::pair<int, int> BlendModeFactors(int mode) {
  switch (mode) {
    case 1:
      return {kBlendSrcAlpha, kBlendOne};
    case 2:
      return {kBlendSrcAlpha, kBlendInvSrcColor};
    case 3:
      return {kBlendZero, kBlendInvSrcColor};
    default:
      return {kBlendSrcAlpha, kBlendInvSrcAlpha};
  }
}

std::uint32_t VertexColor(std::uint32_t bgr, double alpha) {
  const double a = std::clamp(RoundHalfEven(alpha * 255.0), 0.0, 255.0);
  const std::uint32_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
  return static_cast<std::uint32_t>(a) << 24 | r << 16 | g << 8 | b;
}

std::string ColorModeRequiredMessage(int bitsPerPixel) {
  std::string text = kMsgColorModeRequired;
  text.replace(text.find("%d"), 2, std::to_string(bitsPerPixel));
  return text;
}

bool Device::Create(GameWindow& window, int width, int height, bool synchronization,
                    const std::string& caption) {
  Release();
  states_.synchronization = synchronization;
  const DisplayMode mode = platform_.displayMode();
  backbufferWidth_ = std::min(width, mode.width);
  backbufferHeight_ = std::min(height, mode.height);
  auto fail = [&](const std::string& text) {
    renderer_.reset();
    platform_.messageBox(text, caption, Buttons::Ok, MessageIcon::Error);
    return false;
  };
  if (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 32)
    return fail(ColorModeRequiredMessage(mode.bitsPerPixel));
  if (!window.makeCurrent()) return fail(kMsgDirect3DFailed);
  window_ = &window;
  renderer_ = CreateOpenGLRenderer(window);
  // The back buffer has the screen's size, so region changes never need a
  // new one; a second try starts from a fresh context.
  if (!renderer_->create({mode.width, mode.height}, mode3D_) &&
      !(window.recreateContext() && renderer_->create({mode.width, mode.height}, mode3D_)))
    return fail(kMsgSurfacesFailed);
  window.setVSync(synchronization);
  AfterCreate();
  SetViewport(0, 0, backbufferWidth_, backbufferHeight_);
  SetProjection2D(0, 0, backbufferWidth_, backbufferHeight_, 0);
  if (onTexturesLost) onTexturesLost();  // the texture table starts empty
  ApplyAllStates();
  return true;
}

void Device::AfterCreate() {
  caps_ = renderer_->caps();
  sceneOpen_ = false;
  const Rect whole = viewport_;
  SetViewport(0, 0, platform_.displayMode().width, platform_.displayMode().height);
  renderer_->clear(0xFF000000);
  SetViewport(whole.x, whole.y, whole.width, whole.height);
}

bool Device::Reset() {
  if (!renderer_) return false;
  const DisplayMode mode = platform_.displayMode();
  if (onSurfacesLost) onSurfacesLost();
  const bool lost = renderer_->lost();
  const D3DXMATRIX world = renderer_->transform(TransformKind::World);
  const D3DXMATRIX view = renderer_->transform(TransformKind::View);
  const D3DXMATRIX projection = renderer_->transform(TransformKind::Projection);
  if (lost) window_->recreateContext();
  if (!renderer_->create({mode.width, mode.height}, mode3D_) &&
      !(window_->recreateContext() && renderer_->create({mode.width, mode.height}, mode3D_)))
    return false;
  if (lost && onTexturesLost) onTexturesLost();
  backbufferWidth_ = std::min(backbufferWidth_, mode.width);
  backbufferHeight_ = std::min(backbufferHeight_, mode.height);
  window_->setVSync(states_.synchronization);
  AfterCreate();
  // The transforms and viewport stay as they were, so drawing by scripts
  // goes on until the next room draw sets them again.
  renderer_->setTransform(TransformKind::World, world);
  renderer_->setTransform(TransformKind::View, view);
  renderer_->setTransform(TransformKind::Projection, projection);
  ApplyAllStates();
  return true;
}

void Device::Release() {
  renderer_.reset();
  window_ = nullptr;
  sceneOpen_ = false;
}

bool Device::BeginFrame() {
  if (!renderer_) return false;
  sceneOpen_ = true;
  return true;
}

bool Device::EndFramePresent(const Rect& dest, std::uint32_t bandColor) {
  if (!renderer_) return false;
  sceneOpen_ = false;
  if (Present(dest, bandColor)) return true;
  Reset();
  return false;
}

bool Device::PresentOnly(const Rect& dest, std::uint32_t bandColor) {
  return renderer_ && Present(dest, bandColor);
}

bool Device::Present(const Rect& dest, std::uint32_t bandColor) {
  return renderer_->present({0, 0, backbufferWidth_, backbufferHeight_}, dest, bandColor,
                            states_.interpolation);
}

void Device::ClearTarget(std::uint32_t bgr, double alpha) {
  if (renderer_) renderer_->clear(VertexColor(bgr, alpha));
}

void Device::ClearDepth() {
  if (renderer_ && mode3D_) renderer_->clearDepth();
}

void Device::SetViewport(int x, int y, int w, int h) {
  viewport_ = {x, y, w, h};
  if (renderer_) renderer_->setViewport(viewport_);
}

void Device::SetProjection2D(double x, double y, double w, double h, double angle) {
  if (!renderer_) return;
  const double a = angle * std::numbers::pi / 180.0;
  const auto cx = static_cast<float>(x + w / 2), cy = static_cast<float>(y + h / 2);
  const D3DXVECTOR3 up{static_cast<float>(std::sin(-a)), static_cast<float>(std::cos(-a)), 0};
  if (mode3D_ && states_.perspective) {
    renderer_->setTransform(TransformKind::View,
                            D3DXMatrixLookAtLH({cx, cy, static_cast<float>(-w)}, {cx, cy, 0}, up));
    renderer_->setTransform(
        TransformKind::Projection,
        D3DXMatrixPerspectiveLH(1.0f, static_cast<float>(h / w), 1.0f, 32000.0f));
  } else {
    renderer_->setTransform(TransformKind::View,
                            D3DXMatrixLookAtLH({cx, cy, -16000.0f}, {cx, cy, 0}, up));
    renderer_->setTransform(
        TransformKind::Projection,
        D3DXMatrixOrthoLH(static_cast<float>(w), static_cast<float>(-h), 1.0f, 32000.0f));
  }
}

void Device::SetDepth(double d) {
  depth_ = mode3D_ ? std::clamp(d, -16000.0, 16000.0) : 0.0;
}

std::optional<TBitmap32> Device::ReadBackBuffer(int x, int y, int w, int h) {
  if (!renderer_) return std::nullopt;
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = std::min(w, backbufferWidth_ - x);
  h = std::min(h, backbufferHeight_ - y);
  if (w <= 0 || h <= 0) return std::nullopt;
  return renderer_->readPixels({x, y, w, h});
}

void Device::ResizeBackBuffer(int w, int h) {
  const DisplayMode mode = platform_.displayMode();
  w = std::min(w, mode.width);
  h = std::min(h, mode.height);
  if (w == backbufferWidth_ && h == backbufferHeight_) return;
  backbufferWidth_ = w;
  backbufferHeight_ = h;
  SetViewport(0, 0, w, h);
  SetProjection2D(0, 0, w, h, 0);
}

void Device::SetInterpolation(bool on) {
  states_.interpolation = on;
  if (renderer_) renderer_->setTextureFiltering(on);
}
void Device::SetTextureBlending(bool on) {
  states_.textureBlending = on;
  if (renderer_) renderer_->setTextureModulation(on);
}
void Device::SetTextureRepeat(bool on) {
  states_.textureRepeat = on;
  if (renderer_) renderer_->setTextureRepeat(on);
}
void Device::SetSynchronization(bool on) {
  states_.synchronization = on;
  if (window_) window_->setVSync(on);
}
void Device::SetHidden(bool on) {
  states_.hidden = on;
  ApplyHidden();
}
void Device::SetLighting(bool on) {
  states_.lighting = on;
  if (renderer_) renderer_->setLighting(on);
}
void Device::SetShading(bool smooth) {
  states_.shading = smooth;
  if (renderer_) renderer_->setSmoothShading(smooth);
}
void Device::SetFog(bool on, std::uint32_t bgr, float start, float end) {
  states_.fogEnabled = on;
  states_.fogColor = bgr;
  states_.fogStart = start;
  states_.fogEnd = end;
  ApplyFog();
}
void Device::SetCulling(bool on) {
  states_.culling = on;
  if (renderer_) renderer_->setCulling(on);
}
void Device::SetBlendFactors(int src, int dest) {
  states_.blendSrc = src;
  states_.blendDest = dest;
  if (renderer_) renderer_->setBlendFactors(src, dest);
}
void Device::SetBlendMode(int mode) {
  const auto [src, dest] = BlendModeFactors(mode);
  SetBlendFactors(src, dest);
}

// Hidden-surface removal needs the depth buffer of 3D mode.
void Device::ApplyHidden() {
  if (renderer_) renderer_->setHiddenSurfaceRemoval(states_.hidden && mode3D_);
}

// Per-pixel fog where the device has it, else per-vertex; neither: none.
void Device::ApplyFog() {
  if (!renderer_) return;
  FogMode mode = FogMode::Off;
  if (states_.fogEnabled) {
    if (caps_.tableFog)
      mode = FogMode::Table;
    else if (caps_.vertexFog)
      mode = caps_.rangeFog ? FogMode::VertexRange : FogMode::Vertex;
  }
  renderer_->setFog(mode, states_.fogColor, states_.fogStart, states_.fogEnd);
}

void Device::ApplyAllStates() {
  if (!renderer_) return;
  renderer_->setCulling(states_.culling);
  renderer_->setBlendFactors(states_.blendSrc, states_.blendDest);
  renderer_->setLighting(states_.lighting);
  renderer_->setSmoothShading(states_.shading);
  ApplyHidden();
  ApplyFog();
  renderer_->setTextureFiltering(states_.interpolation);
  renderer_->setTextureModulation(states_.textureBlending);
  renderer_->setTextureRepeat(states_.textureRepeat);
}

void Device::Draw(PrimitiveType type, std::span<const ColorVertex> vertices) {
  if (renderer_) renderer_->draw(type, vertices);
}

}  // namespace px
