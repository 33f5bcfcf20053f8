#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "app_context.h"

namespace {

class EglContext : public AppContext {
  public:
    EglContext(EGLDisplay dpy, EGLContext ctx) : dpy_(dpy), ctx_(ctx) {}
    ~EglContext() override {
        if (eglGetCurrentContext() == ctx_)
            eglMakeCurrent(dpy_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(dpy_, ctx_);
    }
    bool isCurrent() const override { return eglGetCurrentContext() == ctx_; }
    const char *name() const override { return "EGL surfaceless + framebuffer object"; }

  private:
    EGLDisplay dpy_;
    EGLContext ctx_;
};

} // namespace

std::unique_ptr<AppContext> createEglContext(int width, int height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return nullptr;
    EGLDisplay dpy = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr)) return nullptr;
    if (!eglBindAPI(EGL_OPENGL_API)) return nullptr;
    EGLContext ctx = eglCreateContext(dpy, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (ctx == EGL_NO_CONTEXT) return nullptr;
    if (!eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx)) {
        eglDestroyContext(dpy, ctx);
        return nullptr;
    }
    // Without a surface the scene is drawn into a framebuffer object of the frame's size.
    auto genFramebuffers =
        reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
    auto bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
    auto genRenderbuffers =
        reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
    auto bindRenderbuffer =
        reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
    auto renderbufferStorage = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(
        eglGetProcAddress("glRenderbufferStorage"));
    auto framebufferRenderbuffer = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(
        eglGetProcAddress("glFramebufferRenderbuffer"));
    auto checkStatus = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(
        eglGetProcAddress("glCheckFramebufferStatus"));
    if (!genFramebuffers || !bindFramebuffer || !genRenderbuffers || !bindRenderbuffer ||
        !renderbufferStorage || !framebufferRenderbuffer || !checkStatus) {
        eglDestroyContext(dpy, ctx);
        return nullptr;
    }
    GLuint fbo = 0, rb[2] = {0, 0};
    genFramebuffers(1, &fbo);
    bindFramebuffer(GL_FRAMEBUFFER, fbo);
    genRenderbuffers(2, rb);
    bindRenderbuffer(GL_RENDERBUFFER, rb[0]);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb[0]);
    bindRenderbuffer(GL_RENDERBUFFER, rb[1]);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb[1]);
    if (checkStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        eglDestroyContext(dpy, ctx);
        return nullptr;
    }
    return std::make_unique<EglContext>(dpy, ctx);
}
