// The renderer on OpenGL's fixed-function pipeline (compatibility profile).
//
// The back buffer is a framebuffer object kept top row first: row y of the
// device is row y of the framebuffer, so viewports, reads and copies need no
// flipping; the projection turns the y axis over instead and the cull face
// follows. Pixel centres lie on integer coordinates as on the device, so
// every projection is moved by half a pixel. Device depths run from 0 to 1
// and are stretched onto OpenGL's -1 to 1.
//
// Textured quads are gathered into a fixed array and drawn as indexed
// triangles in one call per run of quads with the same texture; every
// other entry point draws the waiting quads first, so the order of drawing
// is kept.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "graphics/Graphics_Renderer.h"

namespace px {
namespace {

// A device blend factor as OpenGL's; nothing for a number outside the list.
std::optional<GLenum> BlendFactor(int factor) {
  switch (factor) {
    case 1:
      return GL_ZERO;
    case 2:
      return GL_ONE;
    case 3:
      return GL_SRC_COLOR;
    case 4:
      return GL_ONE_MINUS_SRC_COLOR;
    case 5:
      return GL_SRC_ALPHA;
    case 6:
      return GL_ONE_MINUS_SRC_ALPHA;
    case 7:
      return GL_DST_ALPHA;
    case 8:
      return GL_ONE_MINUS_DST_ALPHA;
    case 9:
      return GL_DST_COLOR;
    case 10:
      return GL_ONE_MINUS_DST_COLOR;
    case 11:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return std::nullopt;
  }
}

GLenum PrimitiveMode(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList:
      return GL_POINTS;
    case PrimitiveType::LineList:
      return GL_LINES;
    case PrimitiveType::LineStrip:
      return GL_LINE_STRIP;
    case PrimitiveType::TriangleList:
      return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip:
      return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan:
      return GL_TRIANGLE_FAN;
  }
  return GL_POINTS;
}

void ClearColor(std::uint32_t argb) {
  glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
               static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
               static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f);
}

void SetColor(GLfloat out[4], std::uint32_t bgr, float alpha) {
  out[0] = static_cast<float>(bgr & 0xFF) / 255.0f;
  out[1] = static_cast<float>((bgr >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>((bgr >> 16) & 0xFF) / 255.0f;
  out[3] = alpha;
}

// Quads gathered before one draw call; their indices fit 16 bits.
constexpr int kBatchQuads = 16384;

// Two triangles per quad over corners 0 1 2 3 (a fan from corner 0).
const std::vector<GLushort>& QuadIndices() {
  static const std::vector<GLushort> indices = [] {
    std::vector<GLushort> list(kBatchQuads * 6);
    for (int q = 0; q < kBatchQuads; ++q) {
      const auto base = static_cast<GLushort>(q * 4);
      const GLushort quad[6] = {
          base, static_cast<GLushort>(base + 1), static_cast<GLushort>(base + 2),
          base, static_cast<GLushort>(base + 2), static_cast<GLushort>(base + 3)};
      std::copy(quad, quad + 6, list.begin() + q * 6);
    }
    return list;
  }();
  return indices;
}

class OpenGLRenderer final : public Renderer {
 public:
  explicit OpenGLRenderer(GameWindow& window)
      : window_(window), batch_(kBatchQuads * 4), indices_(QuadIndices()) {}
  ~OpenGLRenderer() override { release(); }

  bool create(Size size, bool depth) override {
    // A context made anew took its textures with it.
    if (lost()) textures_ = 0;
    release();
    if (!window_.makeCurrent() && !window_.recreateContext()) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    size_ = size;
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glGenRenderbuffers(1, &color_);
    glBindRenderbuffer(GL_RENDERBUFFER, color_);
    // No alpha channel, as in a desktop-format back buffer: destination
    // alpha reads as 1.
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, size.width, size.height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
    if (depth) {
      glGenRenderbuffers(1, &depth_);
      glBindRenderbuffer(GL_RENDERBUFFER, depth_);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, size.width, size.height);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
        glGetError() != GL_NO_ERROR) {
      release();
      return false;
    }
    glGenFramebuffers(1, &targetFbo_);
    glGenFramebuffers(1, &readFbo_);
    glGenFramebuffers(1, &drawFbo_);
    target_ = 0;
    glGenSamplers(1, &sampler_);
    glGenSamplers(1, &clampSampler_);
    for (const GLuint s : {sampler_, clampSampler_}) {
      glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
      glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindSampler(0, sampler_);
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    caps_ = {true, true, true, maxTexture, true};
    boundTexture_ = 0;
    texturing_ = false;
    texCoords_ = false;
    clampBound_ = false;
    quads_ = 0;
    shown_.reset();

    glDisable(GL_DITHER);
    glEnable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    const GLfloat black[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    world_ = view_ = projection_ = D3DXMatrixIdentity();
    setViewport({0, 0, size.width, size.height});
    return true;
  }

  void release() override {
    quads_ = 0;
    if (!fbo_) return;
    if (window_.makeCurrent()) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glDeleteFramebuffers(1, &fbo_);
      glDeleteRenderbuffers(1, &color_);
      if (depth_) glDeleteRenderbuffers(1, &depth_);
      glDeleteSamplers(1, &sampler_);
      glDeleteSamplers(1, &clampSampler_);
      const GLuint targets[] = {targetFbo_, readFbo_, drawFbo_};
      glDeleteFramebuffers(3, targets);
    }
    fbo_ = color_ = depth_ = sampler_ = clampSampler_ = 0;
    targetFbo_ = readFbo_ = drawFbo_ = 0;
    target_ = 0;
  }

  // A reset reported by the driver, or a context made anew under us (its
  // objects went with the old one).
  bool lost() override {
    return !fbo_ || glGetGraphicsResetStatus() != GL_NO_ERROR || !glIsFramebuffer(fbo_);
  }
  RendererCaps caps() const override { return caps_; }

  bool present(const Rect& source, const Rect& dest, std::uint32_t bandColor,
               bool smooth) override {
    flush();
    if (lost()) return false;
    shown_ = ShownFrame{source, dest, bandColor, smooth};
    if (window_.offscreen()) {
      // Nobody sees this window: the frame is placed only when read back.
      glFlush();
      return true;
    }
    composeWindow(*shown_);
    window_.swapBuffers();
    return true;
  }

  void clear(std::uint32_t argb) override {
    flush();
    glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f);
    clearViewport(GL_COLOR_BUFFER_BIT);
  }
  void clearDepth() override {
    flush();
    if (!depth_) return;
    glClearDepth(1.0);
    clearViewport(GL_DEPTH_BUFFER_BIT);
  }

  void setViewport(const Rect& v) override {
    flush();
    viewport_ = v;
    glViewport(v.x, v.y, std::max(v.width, 0), std::max(v.height, 0));
    loadProjection();
  }

  void setTransform(TransformKind kind, const D3DXMATRIX& m) override {
    flush();
    switch (kind) {
      case TransformKind::World:
        world_ = m;
        break;
      case TransformKind::View:
        view_ = m;
        break;
      case TransformKind::Projection:
        projection_ = m;
        break;
    }
    if (kind == TransformKind::Projection) {
      loadProjection();
    } else {
      glMatrixMode(GL_MODELVIEW);
      glLoadMatrixf(&D3DXMatrixMultiply(world_, view_).m[0][0]);
    }
  }
  D3DXMATRIX transform(TransformKind kind) const override {
    switch (kind) {
      case TransformKind::World:
        return world_;
      case TransformKind::View:
        return view_;
      case TransformKind::Projection:
        break;
    }
    return projection_;
  }

  void setBlendFactors(int source, int dest) override {
    flush();
    std::optional<GLenum> s = BlendFactor(source), d = BlendFactor(dest);
    // The "both" factors set the destination too.
    if (source == 12) s = GL_SRC_ALPHA, d = GL_ONE_MINUS_SRC_ALPHA;
    if (source == 13) s = GL_ONE_MINUS_SRC_ALPHA, d = GL_SRC_ALPHA;
    if (s) blendSource_ = *s;
    if (d) blendDest_ = *d;
    glBlendFunc(blendSource_, blendDest_);
  }
  void setCulling(bool on) override {
    flush();
    Enable(GL_CULL_FACE, on);
  }
  void setLighting(bool on) override {
    flush();
    Enable(GL_LIGHTING, on);
  }
  void setSmoothShading(bool on) override {
    flush();
    glShadeModel(on ? GL_SMOOTH : GL_FLAT);
  }
  void setHiddenSurfaceRemoval(bool on) override {
    flush();
    Enable(GL_DEPTH_TEST, on && depth_);
    Enable(GL_ALPHA_TEST, on);
    glAlphaFunc(GL_GREATER, 0.0f);
  }
  void setFog(FogMode mode, std::uint32_t color, float start, float end) override {
    flush();
    Enable(GL_FOG, mode != FogMode::Off);
    glHint(GL_FOG_HINT, mode == FogMode::Table ? GL_NICEST : GL_FASTEST);
    GLfloat c[4];
    SetColor(c, color, 1.0f);
    glFogfv(GL_FOG_COLOR, c);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
  }
  void setTextureFiltering(bool linear) override {
    flush();
    for (const GLuint s : {sampler_, clampSampler_}) {
      glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
      glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    }
  }
  void setTextureModulation(bool on) override {
    flush();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, on ? GL_MODULATE : GL_REPLACE);
  }
  void setTextureRepeat(bool on) override {
    flush();
    const GLint mode = on ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, mode);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, mode);
  }

  void draw(PrimitiveType type, std::span<const ColorVertex> vertices) override {
    flush();
    if (vertices.empty()) return;
    useTexture(0, false);
    glVertexPointer(3, GL_FLOAT, sizeof(ColorVertex), &vertices[0].x);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(ColorVertex), &vertices[0].color);
    glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(vertices.size()));
  }

  void draw(PrimitiveType type, std::span<const TexturedVertex> vertices,
            TextureHandle texture) override {
    flush();
    if (vertices.empty() || drawsIntoItself(texture)) return;
    useTexture(texture, false);
    texturedPointers(vertices.data());
    glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(vertices.size()));
  }

  void drawQuad(TextureHandle texture, const TexturedVertex (&corners)[4]) override {
    if (drawsIntoItself(texture)) return;
    if (quads_ > 0 && (texture != quadTexture_ || quads_ == kBatchQuads)) flush();
    quadTexture_ = texture;
    std::copy(corners, corners + 4, batch_.begin() + quads_ * 4);
    ++quads_;
  }

  TextureHandle createTexture(int width, int height) override {
    flush();
    if (!fbo_ || width <= 0 || height <= 0 || width > caps_.maxTextureSize ||
        height > caps_.maxTextureSize)
      return 0;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, boundTexture_);
    if (glGetError() != GL_NO_ERROR) {
      glDeleteTextures(1, &name);
      return 0;
    }
    ++textures_;
    return name;
  }

  bool fillTexture(TextureHandle texture, int width, int height, const std::uint32_t* pixels,
                   int pitch) override {
    flush();
    if (!fbo_ || !texture || width <= 0 || height <= 0) return true;
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, boundTexture_);
    return glGetError() == GL_NO_ERROR;
  }

  void deleteTexture(TextureHandle texture) override {
    flush();
    if (!fbo_ || !texture) return;
    if (texture == boundTexture_) useTexture(0, false);
    if (texture == target_) setRenderTarget(0);
    glDeleteTextures(1, &texture);
    textures_ = std::max(textures_ - 1, 0);
  }

  int textureCount() const override { return textures_; }

  bool setRenderTarget(TextureHandle texture) override {
    flush();
    if (!fbo_) return false;
    // The texture left attached would keep its memory after deletion.
    glBindFramebuffer(GL_FRAMEBUFFER, targetFbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    target_ = texture;
    if (texture && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    target_ = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    return texture == 0;
  }

  void clearTexture(TextureHandle texture, std::uint32_t argb) override {
    flush();
    if (!fbo_ || !texture) return;
    if (attach(GL_DRAW_FRAMEBUFFER, drawFbo_, texture)) {
      ClearColor(argb);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    attach(GL_DRAW_FRAMEBUFFER, drawFbo_, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
  }

  std::optional<TBitmap32> readTexturePixels(TextureHandle texture, const Rect& r) override {
    flush();
    if (!fbo_ || !texture || r.width <= 0 || r.height <= 0) return std::nullopt;
    std::optional<TBitmap32> image;
    if (attach(GL_READ_FRAMEBUFFER, readFbo_, texture)) {
      image.emplace(r.width, r.height);
      glPixelStorei(GL_PACK_ALIGNMENT, 4);
      glReadPixels(r.x, r.y, r.width, r.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                   image->pixels());
    }
    attach(GL_READ_FRAMEBUFFER, readFbo_, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
    return image;
  }

  bool copyTexture(TextureHandle source, const Rect& r, TextureHandle dest, Point at) override {
    flush();
    if (!fbo_ || !source || !dest || source == dest || r.width <= 0 || r.height <= 0) return false;
    const bool ready = attach(GL_READ_FRAMEBUFFER, readFbo_, source) &&
                       attach(GL_DRAW_FRAMEBUFFER, drawFbo_, dest);
    if (ready)
      glBlitFramebuffer(r.x, r.y, r.x + r.width, r.y + r.height, at.x, at.y, at.x + r.width,
                        at.y + r.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    attach(GL_READ_FRAMEBUFFER, readFbo_, 0);
    attach(GL_DRAW_FRAMEBUFFER, drawFbo_, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
    return ready;
  }

  void preloadTexture(TextureHandle texture) override {
    flush();
    if (!fbo_ || !texture) return;
    // Binding makes the driver place the texture where drawing reads it.
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindTexture(GL_TEXTURE_2D, boundTexture_);
  }

  void setTexturePriority(TextureHandle texture, float priority) override {
    flush();
    if (!fbo_ || !texture) return;
    const GLclampf p = std::clamp(priority, 0.0f, 1.0f);
    glPrioritizeTextures(1, &texture, &p);
  }

  std::optional<TBitmap32> readPixels(const Rect& r) override {
    flush();
    if (!fbo_ || r.width <= 0 || r.height <= 0) return std::nullopt;
    TBitmap32 image(r.width, r.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(r.x, r.y, r.width, r.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image.pixels());
    return image;
  }

  std::optional<TBitmap32> readWindow() override {
    flush();
    if (!fbo_) return std::nullopt;
    if (window_.offscreen() && shown_) composeWindow(*shown_);
    const Rect client = window_.clientBounds();
    TBitmap32 image(client.width, client.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, window_.framebuffer());
    glReadPixels(0, 0, client.width, client.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 image.pixels());
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
    for (int y = 0; y < client.height / 2; ++y)
      std::swap_ranges(image.row(y), image.row(y) + client.width, image.row(client.height - 1 - y));
    return image;
  }

 private:
  // Where the last frame shown went: the part of the back buffer, its place
  // in the window, the colour of the bands around it and the filter.
  struct ShownFrame {
    Rect source;
    Rect dest;
    std::uint32_t bandColor;
    bool smooth;
  };

  // Copies the back buffer into the window's framebuffer as `frame` places
  // it, over bands of its colour.
  void composeWindow(const ShownFrame& frame) {
    const GLuint target = window_.framebuffer();
    const Rect client = window_.clientBounds();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glDisable(GL_SCISSOR_TEST);
    GLfloat band[4];
    SetColor(band, frame.bandColor, 1.0f);
    glClearColor(band[0], band[1], band[2], band[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    // The window's framebuffer keeps its bottom row first.
    const Rect& source = frame.source;
    const Rect& dest = frame.dest;
    const bool scaled = source.width != dest.width || source.height != dest.height;
    glBlitFramebuffer(source.x, source.y, source.x + source.width, source.y + source.height, dest.x,
                      client.height - dest.y, dest.x + dest.width,
                      client.height - dest.y - dest.height, GL_COLOR_BUFFER_BIT,
                      scaled && frame.smooth ? GL_LINEAR : GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
  }

  // Draws the quads waiting, in one call.
  void flush() {
    if (quads_ == 0) return;
    const int count = quads_;
    quads_ = 0;
    useTexture(quadTexture_, true);
    texturedPointers(batch_.data());
    glDrawElements(GL_TRIANGLES, count * 6, GL_UNSIGNED_SHORT, indices_.data());
  }

  // Binds the texture (0: texturing off) with the clamping sampler or the
  // one that follows the repeat state.
  void useTexture(TextureHandle texture, bool clamp) {
    if (texture != boundTexture_) {
      glBindTexture(GL_TEXTURE_2D, texture);
      boundTexture_ = texture;
    }
    const bool on = texture != 0;
    if (on != texturing_) {
      Enable(GL_TEXTURE_2D, on);
      texturing_ = on;
    }
    if (on && clamp != clampBound_) {
      glBindSampler(0, clamp ? clampSampler_ : sampler_);
      clampBound_ = clamp;
    }
    if (on != texCoords_) {
      if (on)
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      else
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      texCoords_ = on;
    }
  }

  static void texturedPointers(const TexturedVertex* v) {
    glVertexPointer(3, GL_FLOAT, sizeof(TexturedVertex), &v->x);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(TexturedVertex), &v->color);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TexturedVertex), &v->u);
  }

  static void Enable(GLenum cap, bool on) {
    if (on)
      glEnable(cap);
    else
      glDisable(cap);
  }

  // The framebuffer drawing goes to: the back buffer's or the target
  // texture's.
  GLuint targetFramebuffer() const { return target_ ? targetFbo_ : fbo_; }

  // Sampling the texture that is being drawn into is undefined.
  bool drawsIntoItself(TextureHandle texture) const { return texture && texture == target_; }

  // Binds the framebuffer to `binding` with the texture (0: none) as its
  // colour; whether it can be used.
  static bool attach(GLenum binding, GLuint framebuffer, TextureHandle texture) {
    glBindFramebuffer(binding, framebuffer);
    glFramebufferTexture2D(binding, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return texture && glCheckFramebufferStatus(binding) == GL_FRAMEBUFFER_COMPLETE;
  }

  // A clear of the whole back buffer takes the fast path; a smaller
  // viewport, or a surface, is cleared through the scissor.
  void clearViewport(GLbitfield what) {
    if (!target_ && viewport_.x <= 0 && viewport_.y <= 0 && viewport_.x + viewport_.width >= size_.width &&
        viewport_.y + viewport_.height >= size_.height) {
      glClear(what);
      return;
    }
    glScissor(viewport_.x, viewport_.y, std::max(viewport_.width, 0),
              std::max(viewport_.height, 0));
    glEnable(GL_SCISSOR_TEST);
    glClear(what);
    glDisable(GL_SCISSOR_TEST);
  }

  // The device projection, then: y turned over (rows are kept top first),
  // half a pixel towards the bottom right (pixel centres on integers), and
  // depth 0..1 stretched to -1..1.
  void loadProjection() {
    D3DXMATRIX fix = D3DXMatrixIdentity();
    fix(1, 1) = -1.0f;
    fix(2, 2) = 2.0f;
    fix(3, 0) = viewport_.width > 0 ? 1.0f / static_cast<float>(viewport_.width) : 0.0f;
    fix(3, 1) = viewport_.height > 0 ? 1.0f / static_cast<float>(viewport_.height) : 0.0f;
    fix(3, 2) = -1.0f;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&D3DXMatrixMultiply(projection_, fix).m[0][0]);
    glMatrixMode(GL_MODELVIEW);
  }

  GameWindow& window_;
  Size size_;
  GLuint fbo_ = 0, color_ = 0, depth_ = 0, sampler_ = 0, clampSampler_ = 0;
  // Framebuffers for a texture as the target, and for reads and copies.
  GLuint targetFbo_ = 0, readFbo_ = 0, drawFbo_ = 0;
  TextureHandle target_ = 0;
  int textures_ = 0;
  // The texture bound to stage 0, and which client arrays and sampler
  // are in use.
  GLuint boundTexture_ = 0;
  bool texturing_ = false;
  bool texCoords_ = false;
  bool clampBound_ = false;
  // Quads waiting to be drawn with quadTexture_.
  std::vector<TexturedVertex> batch_;
  const std::vector<GLushort>& indices_;
  int quads_ = 0;
  TextureHandle quadTexture_ = 0;
  RendererCaps caps_;
  Rect viewport_;
  std::optional<ShownFrame> shown_;
  D3DXMATRIX world_, view_, projection_;
  GLenum blendSource_ = GL_SRC_ALPHA, blendDest_ = GL_ONE_MINUS_SRC_ALPHA;
};

}  // namespace

std::unique_ptr<Renderer> CreateOpenGLRenderer(GameWindow& window) {
  return std::make_unique<OpenGLRenderer>(window);
}

}  // namespace px
