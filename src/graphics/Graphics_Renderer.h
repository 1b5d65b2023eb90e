// The renderer behind the device: a fixed-function pipeline with one back
// buffer, the device's render states and transforms, and a present that
// shows part of the back buffer in the game window. The back end is
// OpenGL (graphics/opengl/); everything above it speaks the device's own
// terms: left-handed row-vector matrices, the device's blend-factor
// numbers, pixel rectangles with y downwards and pixel centres on integers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/BM32_Bitmap.h"
#include "graphics/Graphics_D3DX8.h"
#include "platform/Platform.h"

namespace px {

// x, y, z and colour 0xAARRGGBB.
struct ColorVertex {
  float x = 0, y = 0, z = 0;
  std::uint32_t color = 0;
};
static_assert(sizeof(ColorVertex) == 16);

// x, y, z, colour 0xAARRGGBB and texture coordinates.
struct TexturedVertex {
  float x = 0, y = 0, z = 0;
  std::uint32_t color = 0;
  float u = 0, v = 0;
};
static_assert(sizeof(TexturedVertex) == 24);

enum class PrimitiveType {
  PointList = 1,
  LineList = 2,
  LineStrip = 3,
  TriangleList = 4,
  TriangleStrip = 5,
  TriangleFan = 6
};

enum class TransformKind { World, View, Projection };

// What the device can do with fog.
struct RendererCaps {
  bool tableFog = false;
  bool vertexFog = false;
  bool rangeFog = false;
  int maxTextureSize = 0;
  // Textures of any size, not only powers of two.
  bool anyTextureSize = false;
};

// A texture made by the renderer; 0 is none.
using TextureHandle = std::uint32_t;

enum class FogMode { Off, Table, Vertex, VertexRange };

class Renderer {
 public:
  virtual ~Renderer() = default;

  // Makes the back buffer (colour, and a depth buffer when `depth`) and
  // puts every state at its starting value; false when that fails. Called
  // again to rebuild it.
  virtual bool create(Size backBuffer, bool depth) = 0;
  // Frees the back buffer and everything made on the context.
  virtual void release() = 0;
  // Whether the context was lost since it was made.
  virtual bool lost() = 0;
  virtual RendererCaps caps() const = 0;

  // Shows the back buffer's rectangle `source` at `dest` in the client area
  // and fills the rest of the client area with `bandColor` (0xBBGGRR);
  // `smooth` filters a scaled image. False when the context was lost.
  virtual bool present(const Rect& source, const Rect& dest, std::uint32_t bandColor,
                       bool smooth) = 0;

  // Clear the viewport's pixels to 0xAARRGGBB, or its depths to 1.
  virtual void clear(std::uint32_t argb) = 0;
  virtual void clearDepth() = 0;
  virtual void setViewport(const Rect& viewport) = 0;
  virtual void setTransform(TransformKind kind, const D3DXMATRIX& m) = 0;
  virtual D3DXMATRIX transform(TransformKind kind) const = 0;

  // Blend factors in the device's numbering (1 zero … 13 inverse both);
  // a number outside it leaves that factor as it was.
  virtual void setBlendFactors(int source, int dest) = 0;
  virtual void setCulling(bool on) = 0;
  virtual void setLighting(bool on) = 0;
  virtual void setSmoothShading(bool on) = 0;
  // Depth test and the alpha test that skips fully transparent pixels.
  virtual void setHiddenSurfaceRemoval(bool on) = 0;
  // Linear fog between start and end (distances from the eye), colour
  // 0xBBGGRR.
  virtual void setFog(FogMode mode, std::uint32_t color, float start, float end) = 0;
  virtual void setTextureFiltering(bool linear) = 0;
  // Texture times vertex colour, or the texture alone.
  virtual void setTextureModulation(bool on) = 0;
  virtual void setTextureRepeat(bool on) = 0;

  virtual void draw(PrimitiveType type, std::span<const ColorVertex> vertices) = 0;
  // Vertices with texture coordinates, with the texture (or none) under
  // the addressing of the repeat state.
  virtual void draw(PrimitiveType type, std::span<const TexturedVertex> vertices,
                    TextureHandle texture) = 0;
  // One textured quad, corners top-left, top-right, bottom-right,
  // bottom-left (a fan of two triangles), the texture clamped at its
  // edges. Quads in a row with the same texture go to the device in one
  // call; every other call on the renderer first draws the quads waiting.
  virtual void drawQuad(TextureHandle texture, const TexturedVertex (&corners)[4]) = 0;

  // A texture of one level, 32 bits per texel, its texels undefined; 0 when
  // the device refuses it.
  virtual TextureHandle createTexture(int width, int height) = 0;
  // Loads a width × height block of 0xAARRGGBB pixels, rows `pitch` pixels
  // apart, into the texture's top-left corner; false when that fails.
  virtual bool fillTexture(TextureHandle texture, int width, int height,
                           const std::uint32_t* pixels, int pitch) = 0;
  virtual void deleteTexture(TextureHandle texture) = 0;
  // Makes the texture resident now rather than at its first use; its
  // priority (0 to 1) decides which textures stay when memory runs short.
  virtual void preloadTexture(TextureHandle texture) = 0;
  virtual void setTexturePriority(TextureHandle texture, float priority) = 0;

  // Textures made and not yet deleted on the current context.
  virtual int textureCount() const = 0;

  // Makes a texture the target of drawing and clearing (0: the back
  // buffer again); a texture has no depth buffer. False, with the back
  // buffer the target, when the texture cannot be drawn into. Drawing with
  // the target's own texture draws nothing.
  virtual bool setRenderTarget(TextureHandle texture) = 0;
  // Sets every texel of the texture to 0xAARRGGBB, whatever the target.
  virtual void clearTexture(TextureHandle texture, std::uint32_t argb) = 0;
  // The texture's texels in the rectangle (inside it), with their alpha.
  virtual std::optional<TBitmap32> readTexturePixels(TextureHandle texture, const Rect& r) = 0;
  // Copies the rectangle `r` of one texture to `at` in another, texels
  // unchanged; false when the device refuses (a texture onto itself).
  virtual bool copyTexture(TextureHandle source, const Rect& r, TextureHandle dest, Point at) = 0;

  // The back buffer's pixels in the rectangle (inside it), opaque.
  virtual std::optional<TBitmap32> readPixels(const Rect& r) = 0;
  // What the window shows now, top row first.
  virtual std::optional<TBitmap32> readWindow() = 0;
};

// The OpenGL back end on the game window's context.
std::unique_ptr<Renderer> CreateOpenGLRenderer(GameWindow& window);

}  // namespace px
