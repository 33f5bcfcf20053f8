// The offscreen platform: an EGL context on Mesa's surfaceless platform (compatibility
// profile) that draws into a framebuffer object of 800 x 600 pixels. There is no window and
// no keyboard; the menu is a table of check marks, dialogs and message boxes go to standard
// error (the emulator hands them to the application's message handler first).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <new>

#include "emulator/emulator.h"
#include "emulator/gl_table.h"
#include "emulator/platform/context_switch.h"
#include "emulator/platform/platform.h"

namespace vx::emu {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool load() {
        genFramebuffers =
            reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
        bindFramebuffer =
            reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
        deleteFramebuffers = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(
            eglGetProcAddress("glDeleteFramebuffers"));
        genRenderbuffers =
            reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
        bindRenderbuffer =
            reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
        deleteRenderbuffers = reinterpret_cast<PFNGLDELETERENDERBUFFERSPROC>(
            eglGetProcAddress("glDeleteRenderbuffers"));
        renderbufferStorage = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(
            eglGetProcAddress("glRenderbufferStorage"));
        framebufferRenderbuffer = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(
            eglGetProcAddress("glFramebufferRenderbuffer"));
        checkFramebufferStatus = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(
            eglGetProcAddress("glCheckFramebufferStatus"));
        return genFramebuffers && bindFramebuffer && deleteFramebuffers && genRenderbuffers &&
               bindRenderbuffer && deleteRenderbuffers && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus;
    }
};

class OffscreenPlatform final : public Platform {
  public:
    bool offscreen() const override { return true; }

    bool createWindow(const char *, const char *, WindowProcedure procedure,
                      std::string &error) override {
        checks_.clear();
        try {
            for (int i = 0; i < kMenuEntryCount; ++i)
                if (kMenu[i].kind == MenuEntry::Item) checks_[kMenu[i].id] = kMenu[i].checked;
        } catch (const std::bad_alloc &) {
            checks_.clear();
            error = "Not enough memory for the menu.";
            return false;
        }
        procedure_ = procedure;
        open_ = true;
        return true;
    }

    ContextStep createContext() override {
        const ContextStep injected = contextFailureForTesting();
        // The device context: the surfaceless display of the default device.
        if (injected == ContextStep::DeviceContext) return ContextStep::DeviceContext;
        display_ =
            eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display_ == EGL_NO_DISPLAY) return ContextStep::DeviceContext;
        EGLint major = 0, minor = 0;
        if (!eglInitialize(display_, &major, &minor)) {
            display_ = EGL_NO_DISPLAY;
            return ContextStep::DeviceContext;
        }
        // The pixel format: contexts without a configuration draw into framebuffer objects.
        if (injected == ContextStep::PixelFormat) return ContextStep::PixelFormat;
        const char *extensions = eglQueryString(display_, EGL_EXTENSIONS);
        if (!extensions || !std::strstr(extensions, "EGL_KHR_no_config_context") ||
            !std::strstr(extensions, "EGL_KHR_surfaceless_context"))
            return ContextStep::PixelFormat;
        if (injected == ContextStep::SetPixelFormat) return ContextStep::SetPixelFormat;
        const EGLenum previousApi = eglQueryAPI();
        if (!eglBindAPI(EGL_OPENGL_API)) return ContextStep::SetPixelFormat;
        // The rendering context.
        if (injected == ContextStep::CreateContext || !glTableLoaded()) {
            eglBindAPI(previousApi);
            return ContextStep::CreateContext;
        }
        const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
        eglBindAPI(previousApi);
        if (context_ == EGL_NO_CONTEXT) return ContextStep::CreateContext;
        // Activation: current, with the framebuffer object complete and bound.
        // (An injected failure of this step comes once the context is current, the hardest
        // case for the caller's context.)
        if (!makeCurrent()) return ContextStep::MakeCurrent;
        if (!createFramebuffer() || injected == ContextStep::MakeCurrent)
            return ContextStep::MakeCurrent;
        return ContextStep::Done;
    }

    void destroyWindow() override {
        if (context_ != EGL_NO_CONTEXT) {
            SavedContext saved;
            saveCurrent(saved);
            if (makeCurrent()) {
                if (framebuffer_) {
                    calls_.bindFramebuffer(GL_FRAMEBUFFER, 0);
                    calls_.deleteFramebuffers(1, &framebuffer_);
                    calls_.deleteRenderbuffers(2, renderbuffers_);
                }
            }
            framebuffer_ = 0;
            restoreCurrent(saved);
            if (eglGetCurrentContext() == context_)
                eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            eglDestroyContext(display_, context_);
            context_ = EGL_NO_CONTEXT;
        }
        // The display stays initialised: the application may use the same one.
        open_ = false;
        procedure_ = nullptr;
    }

    bool hasWindow() const override { return false; }
    bool hasContext() const override { return context_ != EGL_NO_CONTEXT && framebuffer_ != 0; }

    void moveWindow(int, int, int, int) override {}
    void showWindow() override {
        if (procedure_) procedure_(WindowMessage::Size, kWidth, kHeight);
    }
    void clientSize(int &width, int &height) const override {
        width = kWidth;
        height = kHeight;
    }

    void saveCurrent(SavedContext &saved) override { context::save(saved); }

    bool makeCurrent() override {
        if (context_ == EGL_NO_CONTEXT) return false;
        if (eglGetCurrentContext() == context_) return true;
        SavedContext current;
        context::save(current);
        context::releaseGLX(current);
        eglBindAPI(EGL_OPENGL_API);
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
    }

    void restoreCurrent(const SavedContext &saved) override {
        if (saved.eglContext == context_ && context_ != EGL_NO_CONTEXT) return;
        if (context_ != EGL_NO_CONTEXT && eglGetCurrentContext() == context_) {
            eglBindAPI(EGL_OPENGL_API);
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        context::restoreEGL(saved);
        context::restoreGLX(saved);
    }

    void swapBuffers() override { glFinish(); }

    bool readPicture(std::vector<std::uint8_t> &rgb, int &width, int &height) override {
        if (!hasContext()) return false;
        width = kWidth;
        height = kHeight;
        rgb.resize(std::size_t(kWidth) * kHeight * 3);
        std::vector<std::uint8_t> rows(rgb.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
        const std::size_t stride = std::size_t(kWidth) * 3;
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(rgb.data() + std::size_t(y) * stride,
                        rows.data() + std::size_t(kHeight - 1 - y) * stride, stride);
        return glGetError() == GL_NO_ERROR;
    }

    void processEvents() override {}

    void messageBox(const char *caption, const char *text, MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }

    void collectKeys() override {}
    bool keyPressed(CameraKey) override { return false; }
    void forgetKeys() override {}
    int monitorCount() override { return 1; }
    int primaryScreenWidth() override { return kWidth; }

    void checkMenuItem(int id, bool checked) override {
        auto it = checks_.find(id);
        if (it != checks_.end()) it->second = checked;
    }
    bool menuRow(int id, MenuRow &row) const override {
        const MenuEntry *entry = findMenuItem(id);
        auto it = checks_.find(id);
        if (!entry || it == checks_.end()) return false;
        row.label = entry->text;
        row.checked = it->second;
        return true;
    }
    bool chooseMenuItem(int id) override {
        if (!findMenuItem(id) || !procedure_) return false;
        procedure_(WindowMessage::Command, id, 0);
        return true;
    }

    // Without a screen a dialog cannot wait for the user: its text goes out as a message.
    void runDialog(const DialogResource &dialog) override {
        try {
            DialogView view;
            view.title = dialog.title;
            std::string text;
            for (int i = 0; i < dialog.controlCount; ++i) {
                const DialogControl &c = dialog.controls[i];
                view.texts.push_back(c.text);
                if (c.kind == DialogControl::Text) text += std::string(c.text) + "\n";
            }
            if (DialogObserver observer = dialogObserver()) observer(view);
            vx::emu::messageBox(dialog.title, text.c_str(), MessageIcon::Plain);
        } catch (const std::bad_alloc &) {
        }
    }

  private:
    bool createFramebuffer() {
        if (!calls_.load()) return false;
        calls_.genFramebuffers(1, &framebuffer_);
        calls_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        calls_.genRenderbuffers(2, renderbuffers_);
        calls_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        calls_.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        calls_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                       renderbuffers_[0]);
        calls_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        calls_.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kWidth, kHeight);
        calls_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                       renderbuffers_[1]);
        if (calls_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            calls_.bindFramebuffer(GL_FRAMEBUFFER, 0);
            calls_.deleteFramebuffers(1, &framebuffer_);
            calls_.deleteRenderbuffers(2, renderbuffers_);
            framebuffer_ = 0;
            return false;
        }
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        return true;
    }

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    FramebufferCalls calls_;
    GLuint framebuffer_ = 0;
    GLuint renderbuffers_[2] = {0, 0};
    WindowProcedure procedure_ = nullptr;
    std::map<int, bool> checks_;
    bool open_ = false;
};

} // namespace

Platform &offscreenPlatform() {
    static OffscreenPlatform platform;
    return platform;
}

} // namespace vx::emu
