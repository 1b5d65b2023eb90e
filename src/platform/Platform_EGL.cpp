// The headless game window: geometry is only recorded, and what the window
// would show is kept in a framebuffer of the client size.
#define GL_GLEXT_PROTOTYPES
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "platform/Platform_GameWindow.h"

namespace px {
namespace {

// One EGL display connection with one context, released together.
class EglContext {
 public:
  EglContext() {
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getDisplay) throw PlatformError("cannot open OpenGL: EGL has no platform displays");
    display_ = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr))
      throw PlatformError("cannot open OpenGL: no surfaceless EGL display");
    if (!eglBindAPI(EGL_OPENGL_API) || !create()) {
      eglTerminate(display_);
      throw PlatformError("cannot open OpenGL: no compatibility-profile context");
    }
  }
  // The display stays initialised: EGL shares it across the process, and
  // terminating it would unload the driver under any other context.
  ~EglContext() {
    destroy();
    eglReleaseThread();
  }
  EglContext(const EglContext&) = delete;
  EglContext& operator=(const EglContext&) = delete;

  bool makeCurrent() {
    return context_ != EGL_NO_CONTEXT &&
           eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  }
  bool recreate() {
    destroy();
    return create() && makeCurrent();
  }

 private:
  bool create() {
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    return context_ != EGL_NO_CONTEXT;
  }
  void destroy() {
    if (context_ == EGL_NO_CONTEXT) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    context_ = EGL_NO_CONTEXT;
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
};

class OffscreenGameWindow final : public GameWindow {
 public:
  explicit OffscreenGameWindow(const WindowOptions& options)
      : bounds_{options.x, options.y, std::max(1, options.width), std::max(1, options.height)} {
    context_.makeCurrent();
  }
  ~OffscreenGameWindow() override {
    if (context_.makeCurrent()) releaseFramebuffer();
  }

  Rect clientBounds() const override { return bounds_; }
  void setClientBounds(const Rect& b) override {
    bounds_ = {b.x, b.y, std::max(1, b.width), std::max(1, b.height)};
  }
  Size borderExtra() const override { return {}; }
  void setBorder(BorderStyle, bool) override {}
  void setMinimumClientSize(Size) override {}
  void setStayOnTop(bool) override {}
  void setCaption(const std::string&) override {}
  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  bool visible() const override { return visible_; }
  // Nothing else can take the focus from a window without a desktop.
  bool active() const override { return true; }
  void setCursor(int) override {}
  void setExclusiveMode(const std::optional<DisplayMode>& mode) override {
    if (mode) setClientBounds({0, 0, mode->width, mode->height});
  }
  std::uint64_t nativeId() const override { return 0; }

  bool makeCurrent() override { return context_.makeCurrent(); }
  bool recreateContext() override {
    fbo_ = renderbuffer_ = 0;  // they went with the old context
    fboSize_ = {};
    return context_.recreate();
  }
  unsigned framebuffer() override {
    const Size size{bounds_.width, bounds_.height};
    if (fbo_ && fboSize_ == size) return fbo_;
    releaseFramebuffer();
    glGenRenderbuffers(1, &renderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, size.width, size.height);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer_);
    fboSize_ = size;
    return fbo_;
  }
  void swapBuffers() override { glFlush(); }
  bool offscreen() const override { return true; }
  void setVSync(bool) override {}

 private:
  void releaseFramebuffer() {
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
    if (renderbuffer_) glDeleteRenderbuffers(1, &renderbuffer_);
    fbo_ = renderbuffer_ = 0;
  }

  EglContext context_;
  Rect bounds_;
  bool visible_ = false;
  GLuint fbo_ = 0;
  GLuint renderbuffer_ = 0;
  Size fboSize_;
};

}  // namespace

std::unique_ptr<GameWindow> CreateOffscreenGameWindow(const WindowOptions& options) {
  return std::make_unique<OffscreenGameWindow>(options);
}

}  // namespace px
