// The GLX calls here go through the entry-point table; EGL's are plain imports.
#include "emulator/platform/context_switch.h"

#include <EGL/egl.h>
#include <GL/glx.h>

#include "emulator/gl_table.h"

namespace vx::emu::context {

namespace {

using GetContextFn = GLXContext (*)();
using GetDisplayFn = Display *(*)();
using GetDrawableFn = GLXDrawable (*)();
using MakeCurrentFn = Bool (*)(Display *, GLXDrawable, GLXContext);
using MakeContextCurrentFn = Bool (*)(Display *, GLXDrawable, GLXDrawable, GLXContext);

} // namespace

void save(SavedContext &saved) {
    saved = SavedContext{};
    if (glTableLoaded()) {
        saved.glxContext = VX_GL_ENTRY(GetContextFn, glXGetCurrentContext)();
        if (saved.glxContext) {
            saved.glxDisplay = VX_GL_ENTRY(GetDisplayFn, glXGetCurrentDisplay)();
            saved.glxDraw = VX_GL_ENTRY(GetDrawableFn, glXGetCurrentDrawable)();
            saved.glxRead = VX_GL_ENTRY(GetDrawableFn, glXGetCurrentReadDrawable)();
        }
    }
    saved.eglApi = eglQueryAPI();
    saved.eglContext = eglGetCurrentContext();
    if (saved.eglContext != EGL_NO_CONTEXT) {
        saved.eglDisplay = eglGetCurrentDisplay();
        saved.eglDraw = eglGetCurrentSurface(EGL_DRAW);
        saved.eglRead = eglGetCurrentSurface(EGL_READ);
    }
}

void releaseGLX(const SavedContext &saved) {
    if (saved.glxContext && glTableLoaded())
        VX_GL_ENTRY(MakeCurrentFn, glXMakeCurrent)
        (static_cast<Display *>(saved.glxDisplay), None, nullptr);
}

void releaseEGL(const SavedContext &saved) {
    if (saved.eglContext == EGL_NO_CONTEXT) return;
    eglBindAPI(saved.eglApi);
    eglMakeCurrent(saved.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void restoreGLX(const SavedContext &saved) {
    if (!saved.glxContext || !glTableLoaded()) return;
    Display *dpy = static_cast<Display *>(saved.glxDisplay);
    auto ctx = static_cast<GLXContext>(saved.glxContext);
    if (saved.glxRead == saved.glxDraw)
        VX_GL_ENTRY(MakeCurrentFn, glXMakeCurrent)(dpy, saved.glxDraw, ctx);
    else
        VX_GL_ENTRY(MakeContextCurrentFn, glXMakeContextCurrent)
        (dpy, saved.glxDraw, saved.glxRead, ctx);
}

void restoreEGL(const SavedContext &saved) {
    if (saved.eglContext != EGL_NO_CONTEXT) {
        eglBindAPI(saved.eglApi);
        eglMakeCurrent(saved.eglDisplay, saved.eglDraw, saved.eglRead, saved.eglContext);
    } else {
        eglBindAPI(saved.eglApi);
    }
}

} // namespace vx::emu::context
