#include <GL/glx.h>
#include <X11/Xlib.h>

#include "app_context.h"

namespace {

class GlxContext : public AppContext {
  public:
    GlxContext(Display *dpy, GLXPbuffer pbuffer, GLXContext ctx)
        : dpy_(dpy), pbuffer_(pbuffer), ctx_(ctx) {}
    ~GlxContext() override {
        if (glXGetCurrentContext() == ctx_) glXMakeContextCurrent(dpy_, None, None, nullptr);
        glXDestroyContext(dpy_, ctx_);
        glXDestroyPbuffer(dpy_, pbuffer_);
        XCloseDisplay(dpy_);
    }
    bool isCurrent() const override { return glXGetCurrentContext() == ctx_; }
    const char *name() const override { return "GLX pbuffer"; }

  private:
    Display *dpy_;
    GLXPbuffer pbuffer_;
    GLXContext ctx_;
};

} // namespace

std::unique_ptr<AppContext> createGlxContext(int width, int height) {
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) return nullptr;
    const int attribs[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                           GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                           GLX_DEPTH_SIZE, 16, None};
    int count = 0;
    GLXFBConfig *configs = glXChooseFBConfig(dpy, DefaultScreen(dpy), attribs, &count);
    if (!configs || count == 0) {
        XCloseDisplay(dpy);
        return nullptr;
    }
    const int pbufferAttribs[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
    GLXPbuffer pbuffer = glXCreatePbuffer(dpy, configs[0], pbufferAttribs);
    GLXContext ctx = glXCreateNewContext(dpy, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(configs);
    if (!pbuffer || !ctx || !glXMakeContextCurrent(dpy, pbuffer, pbuffer, ctx)) {
        if (ctx) glXDestroyContext(dpy, ctx);
        if (pbuffer) glXDestroyPbuffer(dpy, pbuffer);
        XCloseDisplay(dpy);
        return nullptr;
    }
    return std::make_unique<GlxContext>(dpy, pbuffer, ctx);
}
