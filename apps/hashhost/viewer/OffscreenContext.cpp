#include "OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstring>

namespace {

// Four samples a pixel smooth edges well; Mesa's software renderer offers them.
constexpr GLsizei kSamples = 4;

std::string EglError(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

}  // namespace

OffscreenContext::~OffscreenContext() { Close(); }

bool OffscreenContext::Open(int width, int height, std::string& problem) {
  Close();
  // glvnd lets a thread have one API's context current: put the GLX one aside.
  if (GLXContext current = glXGetCurrentContext()) {
    glxDisplay_ = glXGetCurrentDisplay();
    glxDrawable_ = glXGetCurrentDrawable();
    glxReadDrawable_ = glXGetCurrentReadDrawable();
    glxContext_ = current;
    glXMakeContextCurrent(static_cast<Display*>(glxDisplay_), None, None, nullptr);
  }
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!extensions || !std::strstr(extensions, "EGL_MESA_platform_surfaceless") || !getPlatformDisplay) {
    problem = "no off-screen OpenGL: Mesa's EGL with the surfaceless platform is not installed (libegl-mesa0)";
    Close();
    return false;
  }
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    problem = "no off-screen OpenGL: " + EglError("eglInitialize");
    Close();
    return false;
  }
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    problem = "no off-screen OpenGL: " + EglError("eglBindAPI");
    Close();
    return false;
  }
  // Without a surface the context needs no config (EGL_KHR_no_config_context).
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    problem = "no off-screen OpenGL: " + EglError("eglCreateContext");
    Close();
    return false;
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    problem = "no off-screen OpenGL: " + EglError("eglMakeCurrent");
    Close();
    return false;
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width <= 0 || height <= 0 || width > largest || height > largest) {
    problem = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels is more than this OpenGL draws (" + std::to_string(largest) + " a side)";
    Close();
    return false;
  }
  // Pictures are drawn multisampled, for smooth edges, and resolved into a
  // plain framebuffer to be read.
  GLint mostSamples = 0;
  glGetIntegerv(GL_MAX_SAMPLES, &mostSamples);
  const GLsizei samples = std::min(kSamples, static_cast<GLsizei>(mostSamples));
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glGenRenderbuffers(1, &colour_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glGenFramebuffers(1, &resolved_);
  glBindFramebuffer(GL_FRAMEBUFFER, resolved_);
  glGenRenderbuffers(1, &resolvedColour_);
  glBindRenderbuffer(GL_RENDERBUFFER, resolvedColour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolvedColour_);
  complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  if (!complete) {
    problem = "no off-screen OpenGL: the framebuffer of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels is incomplete (out of memory?)";
    Close();
    return false;
  }
  width_ = width;
  height_ = height;
  return true;
}

std::vector<std::uint8_t> OffscreenContext::ReadPixels() const {
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  std::vector<std::uint8_t> pixels(row * static_cast<std::size_t>(height_));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved_);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, resolved_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  // OpenGL's first row is the bottom one.
  std::vector<std::uint8_t> line(row);
  for (int y = 0; y < height_ / 2; ++y) {
    std::uint8_t* top = &pixels[static_cast<std::size_t>(y) * row];
    std::uint8_t* bottom = &pixels[static_cast<std::size_t>(height_ - 1 - y) * row];
    std::memcpy(line.data(), top, row);
    std::memcpy(top, bottom, row);
    std::memcpy(bottom, line.data(), row);
  }
  return pixels;
}

void OffscreenContext::Close() {
  if (context_) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_) glDeleteRenderbuffers(1, &colour_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
    if (resolved_) glDeleteFramebuffers(1, &resolved_);
    if (resolvedColour_) glDeleteRenderbuffers(1, &resolvedColour_);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
  // The display stays initialised: Mesa keeps one per process and tearing it
  // down and up again for each picture only costs time.
  framebuffer_ = colour_ = depth_ = resolved_ = resolvedColour_ = 0;
  context_ = nullptr;
  display_ = nullptr;
  width_ = height_ = 0;
  if (glxContext_) {
    glXMakeContextCurrent(static_cast<Display*>(glxDisplay_), glxDrawable_, glxReadDrawable_,
                          static_cast<GLXContext>(glxContext_));
    glxContext_ = nullptr;
  }
}
