// An application that renders with its own OpenGL context on the same thread finds that
// context current after every call of the library, with its state untouched: a GLX context
// (when there is a display), an EGL context, and no context at all.
#include <gtest/gtest.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator_test_support.h"
#include "x11_test_support.h"

namespace {

// The application's context and a piece of its state that the emulator must not touch.
class AppContext {
  public:
    virtual ~AppContext() = default;
    virtual bool current() const = 0;

    void setState() {
        glClearColor(0.125f, 0.25f, 0.5f, 0.75f);
        glMatrixMode(GL_TEXTURE);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glViewport(3, 4, 50, 60);
        glLineWidth(2.0f);
    }
    std::string state() const {
        GLfloat clear[4] = {}, line = 0;
        GLint mode = 0, viewport[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetFloatv(GL_LINE_WIDTH, &line);
        std::string s;
        for (float v : clear) s += std::to_string(v) + " ";
        s += std::to_string(mode) + " " + std::to_string(glIsEnabled(GL_DEPTH_TEST)) + " " +
             std::to_string(glIsEnabled(GL_BLEND)) + " " + std::to_string(line);
        for (int v : viewport) s += " " + std::to_string(v);
        return s;
    }
};

class GlxApp final : public AppContext {
  public:
    GlxApp() : display_(emutest::openDisplay()) {
        if (!display_) return;
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_RED_SIZE, 8, None};
        int count = 0;
        GLXFBConfig *configs = glXChooseFBConfig(display_, DefaultScreen(display_), attributes, &count);
        if (!configs || count == 0) return;
        const int size[] = {GLX_PBUFFER_WIDTH, 64, GLX_PBUFFER_HEIGHT, 64, None};
        pbuffer_ = glXCreatePbuffer(display_, configs[0], size);
        context_ = glXCreateNewContext(display_, configs[0], GLX_RGBA_TYPE, nullptr, True);
        XFree(configs);
        if (context_) glXMakeContextCurrent(display_, pbuffer_, pbuffer_, context_);
    }
    ~GlxApp() override {
        if (!display_) return;
        glXMakeContextCurrent(display_, None, None, nullptr);
        if (context_) glXDestroyContext(display_, context_);
        if (pbuffer_) glXDestroyPbuffer(display_, pbuffer_);
        XCloseDisplay(display_);
    }
    bool ok() const { return context_ != nullptr; }
    bool current() const override {
        return glXGetCurrentContext() == context_ && glXGetCurrentDrawable() == pbuffer_ &&
               glXGetCurrentReadDrawable() == pbuffer_ && glXGetCurrentDisplay() == display_ &&
               eglGetCurrentContext() == EGL_NO_CONTEXT;
    }

  private:
    Display *display_;
    GLXPbuffer pbuffer_ = 0;
    GLXContext context_ = nullptr;
};

class EglApp final : public AppContext {
  public:
    EglApp() {
        display_ = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) return;
        eglBindAPI(EGL_OPENGL_API);
        context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
        if (context_ != EGL_NO_CONTEXT)
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
        // The application leaves the API choice on OpenGL ES; the library must put it back.
        eglBindAPI(EGL_OPENGL_ES_API);
    }
    ~EglApp() override {
        if (context_ == EGL_NO_CONTEXT) return;
        eglBindAPI(EGL_OPENGL_API);
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    bool ok() const { return context_ != EGL_NO_CONTEXT; }
    bool current() const override {
        if (eglQueryAPI() != EGL_OPENGL_ES_API) return false;
        eglBindAPI(EGL_OPENGL_API);
        const bool same = eglGetCurrentContext() == context_ &&
                          eglGetCurrentDisplay() == display_ &&
                          eglGetCurrentSurface(EGL_DRAW) == EGL_NO_SURFACE;
        eglBindAPI(EGL_OPENGL_ES_API);
        return same && glXGetCurrentContext() == nullptr;
    }

  private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
};

// Every call that reaches the emulator, in the order an application makes them.
std::vector<std::pair<const char *, std::function<unsigned()>>> calls() {
    static std::vector<std::uint32_t> frame(VX_PLANE_PIXELS, 0x60606000u | (4 * 32 + 16));
    return {
        {"vxInitialize", [] { return vxInitialize(0); }},
        {"vxSetRenderMode", [] { return vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0); }},
        {"vxRenderBuffer", [] { return vxRenderBuffer(frame.data(), nullptr); }},
        {"vxSetFlag", [] { return vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0); }},
        {"vxRender", [] { return vxRender(VX_RENDER_SUB_PLANE, 10, 10, 0, 100, 100, 0, frame.data(), nullptr); }},
        {"vxSwapBuffers", [] { return vxSwapBuffers(); }},
        {"vxClear", [] { return vxClear(); }},
        {"vxEmuUpdateDisplay", [] { return vxEmuUpdateDisplay(); }},
        {"vxEmuProcessMessages", [] { return unsigned(vxEmuProcessMessages() == 1 ? VX_OK : 99); }},
        {"vxEmuSetCamera", [] { return vxEmuSetCamera(4, 10, 20, 30); }},
        {"Perspective off", [] { return vxEmuRunMenuCommand(vx::emu::kMenuPerspective); }},
        {"Perspective on", [] { return vxEmuRunMenuCommand(vx::emu::kMenuPerspective); }},
        {"Look From Right", [] { return vxEmuRunMenuCommand(vx::emu::kMenuLookFromRight); }},
        {"Flat Display", [] { return vxEmuRunMenuCommand(vx::emu::kMenuFlatDisplay); }},
        {"vxEmuSaveSnapshot", [] { return vxEmuSaveSnapshot("/dev/null"); }},
        {"vxGetLastHardwareError", [] { return vxGetLastHardwareError(0, 0); }},
        {"vxShutdown", [] { return vxShutdown(); }},
        {"vxInitialize again", [] { return vxInitialize(0); }},
        {"vxRender again", [] { return vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr); }},
        {"vxShutdown again", [] { return vxShutdown(); }},
    };
}

class ApplicationContext : public ::testing::Test {
  protected:
    void SetUp() override {
        emutest::messages().clear();
        vxEmuSetMessageHandler(emutest::logMessage);
    }
    void TearDown() override {
        vxShutdown();
        vxEmuSetMessageHandler(nullptr);
    }

    void expectSurvives(AppContext &app) {
        app.setState();
        const std::string state = app.state();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        for (const auto &[name, call] : calls()) {
            EXPECT_EQ(call(), VX_OK) << name;
            EXPECT_TRUE(app.current()) << "after " << name;
            EXPECT_EQ(app.state(), state) << "after " << name;
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "after " << name;
        }
        EXPECT_TRUE(emutest::messages().empty());
    }
};

TEST_F(ApplicationContext, AGlxContextStaysCurrentWithItsState) {
    if (!emutest::haveDisplay()) GTEST_SKIP() << "GLX needs an X display";
    GlxApp app;
    ASSERT_TRUE(app.ok());
    ASSERT_TRUE(app.current());
    expectSurvives(app);
}

// The offscreen emulator's EGL context in place of the application's GLX one and back.
TEST_F(ApplicationContext, AGlxContextStaysCurrentWhenTheEmulatorRunsOffscreen) {
    if (!emutest::haveDisplay()) GTEST_SKIP() << "GLX needs an X display";
    ASSERT_EQ(vxEmuSetOffscreen(1), VX_OK);
    GlxApp app;
    ASSERT_TRUE(app.ok());
    expectSurvives(app);
    ASSERT_EQ(vxEmuSetOffscreen(0), VX_OK);
}

TEST_F(ApplicationContext, AnEglContextStaysCurrentWithItsState) {
    EglApp app;
    ASSERT_TRUE(app.ok());
    ASSERT_TRUE(app.current());
    expectSurvives(app);
}

// A start-up that fails after its context was made current puts the application's back.
TEST_F(ApplicationContext, StaysCurrentThroughAFailedStartUp) {
    EglApp app;
    ASSERT_TRUE(app.ok());
    app.setState();
    const std::string state = app.state();
    for (auto step : {vx::emu::ContextStep::MakeCurrent, vx::emu::ContextStep::CreateContext}) {
        vx::emu::setContextFailureForTesting(step);
        EXPECT_EQ(vxInitialize(0), VX_OK);
        vx::emu::setContextFailureForTesting(vx::emu::ContextStep::Done);
        EXPECT_EQ(emutest::messages().size(), 1u);
        emutest::messages().clear();
        EXPECT_TRUE(app.current()) << int(step);
        EXPECT_EQ(app.state(), state) << int(step);
        vxShutdown();
        EXPECT_TRUE(app.current()) << int(step);
    }
}

TEST_F(ApplicationContext, NoContextStaysNoContext) {
    for (const auto &[name, call] : calls()) {
        EXPECT_EQ(call(), VX_OK) << name;
        EXPECT_EQ(glXGetCurrentContext(), nullptr) << "after " << name;
        EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT) << "after " << name;
    }
    EXPECT_TRUE(emutest::messages().empty());
}

} // namespace
