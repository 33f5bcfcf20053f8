// The X11 platform: FLTK 1.3 for the window, its menu and the dialogs, GLX (through the
// entry-point table) for the emulator's own OpenGL context. The display is opened with Xlib
// before FLTK sees it, because FLTK ends the process when it cannot open one itself.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <memory>
#include <new>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/gl_table.h"
#include "emulator/platform/context_switch.h"
#include "emulator/platform/platform.h"
#include "emulator/platform/x11/x11_dialogs.h"
#include "emulator/platform/x11/x11_windows.h"

namespace vx::emu {

namespace {

constexpr int kMenuBarHeight = 25;

using CreateContextFn = GLXContext (*)(Display *, XVisualInfo *, GLXContext, Bool);
using DestroyContextFn = void (*)(Display *, GLXContext);
using MakeCurrentFn = Bool (*)(Display *, GLXDrawable, GLXContext);
using GetCurrentContextFn = GLXContext (*)();
using SwapBuffersFn = void (*)(Display *, GLXDrawable);
using GetConfigFn = int (*)(Display *, XVisualInfo *, int, int *);

// The buffers the emulator asks for: RGBA with 8 bits a colour, double-buffered, 16-bit depth.
const int kVisualAttributes[] = {
    GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
    8,        GLX_DEPTH_SIZE,   16,           None};

int cameraKeyOfKeysym(KeySym sym) {
    switch (sym) {
    case XK_Down:
        return int(CameraKey::Down);
    case XK_Up:
        return int(CameraKey::Up);
    case XK_Insert:
        return int(CameraKey::Insert);
    case XK_Delete:
        return int(CameraKey::Delete);
    case XK_Home:
        return int(CameraKey::Home);
    case XK_End:
        return int(CameraKey::End);
    case XK_Prior:
        return int(CameraKey::PageUp);
    case XK_Next:
        return int(CameraKey::PageDown);
    case XK_f:
    case XK_F:
        return int(CameraKey::F);
    case XK_r:
    case XK_R:
        return int(CameraKey::R);
    case XK_space:
        return int(CameraKey::Space);
    case XK_Shift_L:
        return int(CameraKey::LeftShift);
    case XK_Shift_R:
        return int(CameraKey::RightShift);
    default:
        return -1;
    }
}

int cameraKeyOfFlKey(int key) {
    switch (key) {
    case FL_Down:
        return int(CameraKey::Down);
    case FL_Up:
        return int(CameraKey::Up);
    case FL_Insert:
        return int(CameraKey::Insert);
    case FL_Delete:
        return int(CameraKey::Delete);
    case FL_Home:
        return int(CameraKey::Home);
    case FL_End:
        return int(CameraKey::End);
    case FL_Page_Up:
        return int(CameraKey::PageUp);
    case FL_Page_Down:
        return int(CameraKey::PageDown);
    case 'f':
        return int(CameraKey::F);
    case 'r':
        return int(CameraKey::R);
    case ' ':
        return int(CameraKey::Space);
    case FL_Shift_L:
        return int(CameraKey::LeftShift);
    case FL_Shift_R:
        return int(CameraKey::RightShift);
    default:
        return -1;
    }
}

class X11Platform final : public Platform, public x11::WindowEvents {
  public:
    explicit X11Platform(Display *display) : display_(display) {}

    bool offscreen() const override { return false; }

    bool createWindow(const char *title, const char *windowClass, WindowProcedure procedure,
                      std::string &error) override {
        destroyWindow();
        try {
            window_ = std::make_unique<x11::TopWindow>(*this, 800, 600, title);
            window_->xclass(windowClass);
            window_->icon(&x11::emulatorIcon());
            window_->callback(closeCallback, this);
            menuBar_ = new Fl_Menu_Bar(0, 0, 800, kMenuBarHeight);
            buildMenu();
            area_ = new x11::GlArea(*this, 0, kMenuBarHeight, 800, 600 - kMenuBarHeight);
            area_->mode(kVisualAttributes);
            window_->resizable(area_);
            window_->end();
        } catch (const std::bad_alloc &) {
            destroyWindow();
            error = "Not enough memory for the window.";
            return false;
        }
        procedure_ = procedure;
        forgetKeys();
        return true;
    }

    ContextStep createContext() override {
        const ContextStep injected = contextFailureForTesting();
        // The device context: the drawing area's window on the display, which needs a visual
        // with the requested buffers.
        if (injected == ContextStep::DeviceContext || !window_) return ContextStep::DeviceContext;
        if (!Fl_Gl_Window::can_do(kVisualAttributes)) return ContextStep::PixelFormat;
        window_->show();
        area_->show();
        XSync(display_, False);
        drawable_ = fl_xid(area_);
        if (!drawable_) return ContextStep::DeviceContext;
        // The pixel format: the visual the drawing area's window was created with.
        if (injected == ContextStep::PixelFormat) return ContextStep::PixelFormat;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, drawable_, &attributes))
            return ContextStep::PixelFormat;
        XVisualInfo wanted;
        wanted.visualid = XVisualIDFromVisual(attributes.visual);
        int count = 0;
        visual_ = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
        if (!visual_ || count < 1) return ContextStep::PixelFormat;
        // Setting the pixel format: the window's visual must be an OpenGL one with the buffers.
        if (injected == ContextStep::SetPixelFormat) return ContextStep::SetPixelFormat;
        if (glTableLoaded()) {
            int useGL = 0, doubleBuffer = 0, rgba = 0;
            GetConfigFn getConfig = VX_GL_ENTRY(GetConfigFn, glXGetConfig);
            if (getConfig(display_, visual_, GLX_USE_GL, &useGL) != 0 || !useGL ||
                getConfig(display_, visual_, GLX_DOUBLEBUFFER, &doubleBuffer) != 0 ||
                !doubleBuffer || getConfig(display_, visual_, GLX_RGBA, &rgba) != 0 || !rgba)
                return ContextStep::SetPixelFormat;
        }
        // The rendering context, through the table (none without it).
        if (injected == ContextStep::CreateContext || !glTableLoaded())
            return ContextStep::CreateContext;
        context_ = VX_GL_ENTRY(CreateContextFn, glXCreateContext)(display_, visual_, nullptr, True);
        if (!context_) return ContextStep::CreateContext;
        // (An injected failure of this step comes once the context is current, the hardest
        // case for the caller's context.)
        if (!makeCurrent() || injected == ContextStep::MakeCurrent) return ContextStep::MakeCurrent;
        return ContextStep::Done;
    }

    void destroyWindow() override {
        if (context_ && glTableLoaded()) {
            if (VX_GL_ENTRY(GetCurrentContextFn, glXGetCurrentContext)() == context_)
                VX_GL_ENTRY(MakeCurrentFn, glXMakeCurrent)(display_, None, nullptr);
            VX_GL_ENTRY(DestroyContextFn, glXDestroyContext)(display_, context_);
        }
        context_ = nullptr;
        picture_.clear();
        if (visual_) XFree(visual_);
        visual_ = nullptr;
        drawable_ = 0;
        if (window_) {
            window_->hide();
            window_.reset(); // deletes the menu bar and the drawing area with it
            XSync(display_, False);
        }
        menuBar_ = nullptr;
        area_ = nullptr;
        procedure_ = nullptr;
    }

    bool hasWindow() const override { return window_ != nullptr; }
    bool hasContext() const override { return context_ != nullptr && drawable_ != 0; }

    void moveWindow(int x, int y, int width, int height) override {
        if (window_) window_->resize(x, y, width, height);
        XSync(display_, False);
    }

    void showWindow() override {
        if (!window_) return;
        window_->show();
        XSync(display_, False);
        // Showing and moving reach the window procedure as one size message.
        message(WindowMessage::Size, area_->w(), area_->h());
    }

    void clientSize(int &width, int &height) const override {
        width = area_ ? area_->w() : 0;
        height = area_ ? area_->h() : 0;
    }

    void saveCurrent(SavedContext &saved) override { context::save(saved); }

    bool makeCurrent() override {
        if (!hasContext() || !glTableLoaded()) return false;
        if (VX_GL_ENTRY(GetCurrentContextFn, glXGetCurrentContext)() == context_) return true;
        SavedContext current;
        context::save(current);
        context::releaseEGL(current);
        return VX_GL_ENTRY(MakeCurrentFn, glXMakeCurrent)(display_, drawable_, context_) == True;
    }

    void restoreCurrent(const SavedContext &saved) override {
        if (!glTableLoaded()) return;
        if (context_ && saved.glxContext == context_) return;
        if (saved.glxContext) {
            context::restoreGLX(saved);
        } else if (context_ &&
                   VX_GL_ENTRY(GetCurrentContextFn, glXGetCurrentContext)() == context_) {
            VX_GL_ENTRY(MakeCurrentFn, glXMakeCurrent)(display_, None, nullptr);
        }
        if (saved.eglContext) context::restoreEGL(saved);
    }

    // The picture is kept before the swap: what the front buffer holds afterwards cannot be
    // read back reliably (software rendering keeps no copy of it).
    void swapBuffers() override {
        if (!hasContext() || !glTableLoaded()) return;
        pictureWidth_ = area_->w();
        pictureHeight_ = area_->h();
        try {
            picture_.resize(std::size_t(pictureWidth_) * pictureHeight_ * 3);
            glReadBuffer(GL_BACK);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, pictureWidth_, pictureHeight_, GL_RGB, GL_UNSIGNED_BYTE,
                         picture_.data());
        } catch (const std::bad_alloc &) {
            picture_.clear(); // no snapshot of this picture
        }
        VX_GL_ENTRY(SwapBuffersFn, glXSwapBuffers)(display_, drawable_);
    }

    bool readPicture(std::vector<std::uint8_t> &rgb, int &width, int &height) override {
        if (picture_.empty()) return false;
        width = pictureWidth_;
        height = pictureHeight_;
        rgb.resize(picture_.size());
        const std::size_t stride = std::size_t(width) * 3;
        for (int y = 0; y < height; ++y)
            std::copy_n(picture_.data() + std::size_t(height - 1 - y) * stride, stride,
                        rgb.data() + std::size_t(y) * stride);
        return true;
    }

    void processEvents() override { Fl::check(); }

    void messageBox(const char *caption, const char *text, MessageIcon icon) override {
        x11::showMessageBox(caption, text, icon);
    }

    void collectKeys() override {
        if (!window_) return;
        XSync(display_, False);
        const Window windows[2] = {fl_xid(window_.get()), drawable_};
        for (Window w : windows) {
            if (!w) continue;
            XEvent event;
            while (XCheckTypedWindowEvent(display_, w, KeyPress, &event)) {
                const int key = cameraKeyOfKeysym(XLookupKeysym(&event.xkey, 0));
                if (key >= 0) latches_[key] = true;
            }
            while (XCheckTypedWindowEvent(display_, w, KeyRelease, &event)) {
            }
        }
    }

    bool keyPressed(CameraKey key) override {
        const bool pressed = latches_[int(key)];
        latches_[int(key)] = false;
        return pressed;
    }

    void forgetKeys() override {
        for (bool &latch : latches_)
            latch = false;
    }

    int monitorCount() override { return Fl::screen_count(); }

    int primaryScreenWidth() override {
        int x = 0, y = 0, w = 0, h = 0;
        Fl::screen_xywh(x, y, w, h, 0);
        return w;
    }

    void checkMenuItem(int id, bool checked) override {
        Fl_Menu_Item *item = findItem(id);
        if (!item || !item->checkbox()) return;
        if (checked)
            item->set();
        else
            item->clear();
        menuBar_->redraw();
    }

    bool menuRow(int id, MenuRow &row) const override {
        const Fl_Menu_Item *item = findItem(id);
        if (!item) return false;
        row.label = item->label() ? item->label() : "";
        row.checked = item->checkbox() && item->value() != 0;
        return true;
    }

    bool chooseMenuItem(int id) override {
        Fl_Menu_Item *item = findItem(id);
        if (!item) return false;
        menuBar_->picked(item);
        return true;
    }

    void runDialog(const DialogResource &dialog) override {
        try {
            x11::runDialog(dialog, window_.get());
        } catch (const std::bad_alloc &) {
            // Without memory for its widgets the dialog does not open.
        }
    }

  private:
    static void closeCallback(Fl_Widget *, void *data) {
        // Escape is not a way to close the emulator window.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        static_cast<X11Platform *>(data)->closeRequested();
    }

    static void menuCallback(Fl_Widget *, void *data) {
        X11Platform *self = current_;
        if (self)
            self->message(WindowMessage::Command, long(reinterpret_cast<std::intptr_t>(data)), 0);
    }

    void buildMenu() {
        items_.clear();
        for (int i = 0; i < kMenuEntryCount; ++i) {
            const MenuEntry &e = kMenu[i];
            Fl_Menu_Item item{};
            if (e.kind == MenuEntry::Popup) {
                item.text = e.text;
                item.flags = FL_SUBMENU;
            } else if (e.kind == MenuEntry::Item) {
                item.text = e.text;
                item.callback_ = menuCallback;
                item.user_data_ = reinterpret_cast<void *>(std::intptr_t(e.id));
                item.flags = e.checkable ? (FL_MENU_TOGGLE | (e.checked ? FL_MENU_VALUE : 0)) : 0;
            }
            items_.push_back(item);
        }
        items_.push_back(Fl_Menu_Item{});
        menuBar_->menu(items_.data());
        current_ = this;
    }

    Fl_Menu_Item *findItem(int id) const {
        if (!menuBar_) return nullptr;
        for (Fl_Menu_Item &item : const_cast<std::vector<Fl_Menu_Item> &>(items_))
            if (item.text && item.callback_ == menuCallback &&
                item.user_data_ == reinterpret_cast<void *>(std::intptr_t(id)))
                return &item;
        return nullptr;
    }

    void message(WindowMessage m, long a, long b) {
        if (procedure_) procedure_(m, a, b);
    }

    // WindowEvents
    void areaResized(int width, int height) override {
        message(WindowMessage::Size, width, height);
    }
    void areaExposed() override { message(WindowMessage::Paint, 0, 0); }
    void closeRequested() override { message(WindowMessage::Close, 0, 0); }
    void keyEvent(int flKey, bool down) override {
        const int key = cameraKeyOfFlKey(flKey);
        if (down && key >= 0) latches_[key] = true;
        message(down ? WindowMessage::KeyDown : WindowMessage::KeyUp, flKey, 0);
    }
    void activated(bool active) override { message(WindowMessage::Activate, active ? 1 : 0, 0); }

    static inline X11Platform *current_ = nullptr;

    Display *display_;
    std::unique_ptr<x11::TopWindow> window_;
    Fl_Menu_Bar *menuBar_ = nullptr;
    x11::GlArea *area_ = nullptr;
    std::vector<Fl_Menu_Item> items_;
    XVisualInfo *visual_ = nullptr;
    GLXContext context_ = nullptr;
    Window drawable_ = 0;
    WindowProcedure procedure_ = nullptr;
    bool latches_[kCameraKeyCount] = {};
    std::vector<std::uint8_t> picture_; // the last drawn picture, rows bottom to top
    int pictureWidth_ = 0, pictureHeight_ = 0;
};

// Opens the display named by DISPLAY. A busy server can refuse a connection for a moment
// (its queue of pending connections is full): that is tried again for up to a second; a
// missing or unreachable display is not.
Display *openDisplay() {
    const char *name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    for (int attempt = 0;; ++attempt) {
        errno = 0;
        if (Display *display = XOpenDisplay(nullptr)) return display;
        const bool busy = errno == EAGAIN || errno == ECONNRESET || errno == EINTR;
        if (!busy || attempt >= 50) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

Platform *x11Platform() {
    static X11Platform *platform = nullptr;
    if (!platform) {
        // An application that uses FLTK itself has opened its display already: share it.
        Display *display = fl_display ? fl_display : openDisplay();
        if (!display) return nullptr;
        if (display != fl_display) fl_open_display(display);
        platform = new X11Platform(display);
    }
    return platform;
}

} // namespace vx::emu
