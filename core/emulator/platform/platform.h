// The window-system interface of the emulator: one window with its OpenGL context and menu,
// the switch between the caller's and the emulator's current context, events, message boxes,
// polled camera keys, screen metrics, menu check marks and the two modal dialogs. Each window
// system implements it in its own folder; the emulator's logic uses nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/resources.h"

namespace vx::emu {

// The keys that the camera polling asks about, in the order of its table.
enum class CameraKey {
    Down,
    Up,
    Insert,
    Delete,
    Home,
    End,
    PageUp,
    PageDown,
    F,
    R,
    Space,
    LeftShift,
    RightShift,
};
inline constexpr int kCameraKeyCount = 13;

enum class MessageIcon { Plain, Error, Exclamation };

// What the window system tells the window procedure.
enum class WindowMessage {
    Size,     // a = client width, b = client height
    Activate, // a = 1 when activated, 0 when deactivated
    Close,    // the close box
    KeyDown,  // a = the key's window-system code
    KeyUp,    // a = the key's window-system code
    Command,  // a = menu command id, b = notification code
    Paint,    // the window system lost the picture (exposed or resized)
};
using WindowProcedure = long (*)(WindowMessage message, long a, long b);

// The start-up steps that create the window's OpenGL context, in their order; each has its
// own failure text.
enum class ContextStep {
    Done,          // all steps succeeded
    DeviceContext, // the window's drawable and connection
    PixelFormat,   // a visual or configuration with the requested buffers
    SetPixelFormat,
    CreateContext,
    MakeCurrent,
};

// The calling thread's current OpenGL context, whichever window-system interface made it
// current (GLX or EGL), so that it can be made current again.
struct SavedContext {
    void *glxDisplay = nullptr;
    unsigned long glxDraw = 0;
    unsigned long glxRead = 0;
    void *glxContext = nullptr;
    void *eglDisplay = nullptr;
    void *eglDraw = nullptr;
    void *eglRead = nullptr;
    void *eglContext = nullptr;
    unsigned eglApi = 0;
};

// One row of the menu as the window shows it.
struct MenuRow {
    std::string label;
    bool checked = false;
};

// What a modal dialog shows, handed to the dialog observer while it is open.
struct DialogView {
    std::string title;
    std::vector<std::string> texts; // every control's text, in creation order
    unsigned long nativeWindow = 0; // the dialog's window-system handle (0 offscreen)
    int width = 0, height = 0;      // in pixels
};
using DialogObserver = void (*)(const DialogView &view);

class Platform {
  public:
    virtual ~Platform() = default;

    // True for the platform that draws into memory without a window.
    virtual bool offscreen() const = 0;

    // Creates the (still hidden) window with its title, class and menu; `procedure` receives
    // its messages. False when the window system refuses; `error` then says why.
    virtual bool createWindow(const char *title, const char *windowClass, WindowProcedure procedure,
                              std::string &error) = 0;
    // Creates the window's OpenGL context and makes it current. Returns the first step that
    // failed, or ContextStep::Done.
    virtual ContextStep createContext() = 0;
    // Destroys the context (not current afterwards) and the window. Safe to call twice.
    virtual void destroyWindow() = 0;
    virtual bool hasWindow() const = 0;
    virtual bool hasContext() const = 0;

    virtual void moveWindow(int x, int y, int width, int height) = 0;
    virtual void showWindow() = 0;
    // Size of the OpenGL drawing area in pixels.
    virtual void clientSize(int &width, int &height) const = 0;

    // Context switch: save the caller's pair, make the emulator's current, restore.
    virtual void saveCurrent(SavedContext &saved) = 0;
    virtual bool makeCurrent() = 0;
    virtual void restoreCurrent(const SavedContext &saved) = 0;
    // Ends a frame: presents the back buffer (waits until the frame is complete offscreen).
    virtual void swapBuffers() = 0;
    // Reads the last presented picture as rows top to bottom, 3 bytes a pixel (red, green,
    // blue). False when nothing can be read. Needs the emulator's context current.
    virtual bool readPicture(std::vector<std::uint8_t> &rgb, int &width, int &height) = 0;

    // Handles the window's pending events without blocking.
    virtual void processEvents() = 0;
    // A modal message box with an OK button (standard error where there is no screen).
    virtual void messageBox(const char *caption, const char *text, MessageIcon icon) = 0;
    // Moves the key presses that reached the window since the last call into the per-key
    // latches, without handling any other event.
    virtual void collectKeys() = 0;
    // True when the key was pressed since the previous query of the same key (reads and
    // clears its latch).
    virtual bool keyPressed(CameraKey key) = 0;
    // Drops the key presses recorded so far (a new window starts with none).
    virtual void forgetKeys() = 0;
    virtual int monitorCount() = 0;
    virtual int primaryScreenWidth() = 0;

    // Menu check marks and rows; ids that the menu lacks are ignored (false).
    virtual void checkMenuItem(int id, bool checked) = 0;
    virtual bool menuRow(int id, MenuRow &row) const = 0;
    // Chooses a menu item as the user would, so that its command reaches the procedure
    // through the menu's own path. False when the menu has no such item.
    virtual bool chooseMenuItem(int id) = 0;

    // Runs a modal dialog until it is closed.
    virtual void runDialog(const DialogResource &dialog) = 0;
};

// The platforms of this build. The X11 one exists only when a display can be opened.
Platform *x11Platform();
Platform &offscreenPlatform();

// Test hook: called with every dialog once it is on the screen (and modal); the dialog stays
// open until its OK button or the Escape key closes it. Null removes it.
void setDialogObserver(DialogObserver observer);
DialogObserver dialogObserver();

// Test hook: the start-up step that fails on purpose (ContextStep::Done: none), so that
// every failure text can be seen.
void setContextFailureForTesting(ContextStep step);
ContextStep contextFailureForTesting();

} // namespace vx::emu
