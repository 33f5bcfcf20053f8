// The demo's own OpenGL context: the application renders its scene here, exactly as an
// existing OpenGL program would, and the kit must leave it current after every call.
#pragma once

#include <memory>

class AppContext {
  public:
    virtual ~AppContext() = default;
    // True while this context is the calling thread's current one.
    virtual bool isCurrent() const = 0;
    virtual const char *name() const = 0;
};

// A GLX pbuffer context of width x height on the X display (null when there is none).
std::unique_ptr<AppContext> createGlxContext(int width, int height);
// An EGL surfaceless context drawing into a framebuffer object (null when unavailable).
std::unique_ptr<AppContext> createEglContext(int width, int height);
