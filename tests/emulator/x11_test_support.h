// The test's own connection to the X server: finding the emulator's windows, reading their
// properties, and sending real key events (XTest) and window-manager messages to them.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <unistd.h>

#include <cstring>
#include <string>

namespace emutest {

// A busy test server may refuse a connection for a moment: try for a second.
inline Display *openDisplay() {
    Display *display = nullptr;
    for (int attempt = 0; attempt < 50 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display) usleep(20000);
    }
    return display;
}

class XConnection {
  public:
    XConnection() : display_(openDisplay()) {}
    ~XConnection() {
        if (display_) XCloseDisplay(display_);
    }
    XConnection(const XConnection &) = delete;
    XConnection &operator=(const XConnection &) = delete;
    Display *get() const { return display_; }

    // This process's window (by _NET_WM_PID) whose name is `title`, or 0. Other test
    // processes share the server and open windows of the same name.
    Window findOwn(const char *title) const {
        XSync(display_, False);
        // Windows of other test processes can vanish while the tree is walked; the errors
        // that raises are expected and must not end this process.
        const XErrorHandler previous = XSetErrorHandler(ignoreErrors);
        const Window found = search(DefaultRootWindow(display_), title);
        XSync(display_, False);
        XSetErrorHandler(previous);
        return found;
    }

    long pidOf(Window w) const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), 0, 1, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
            data && count == 1 && format == 32)
            pid = long(*reinterpret_cast<unsigned long *>(data));
        if (data) XFree(data);
        return pid;
    }

    std::string className(Window w) const {
        XClassHint hint{};
        if (!XGetClassHint(display_, w, &hint)) return "";
        std::string name = hint.res_class ? hint.res_class : "";
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        return name;
    }

    // Gives the window the keyboard focus and presses and releases the key.
    void pressKey(Window focus, KeySym key) const {
        XSetInputFocus(display_, focus, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, 0);
        XTestFakeKeyEvent(display_, code, False, 0);
        XSync(display_, False);
    }

    // What a window manager sends when the user clicks the close box.
    void sendCloseRequest(Window w) const {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &e);
        XSync(display_, False);
    }

  private:
    static int ignoreErrors(Display *, XErrorEvent *) { return 0; }

    Window search(Window w, const char *title) const {
        char *name = nullptr;
        if (XFetchName(display_, w, &name) && name) {
            const bool match = std::strcmp(name, title) == 0 && pidOf(w) == long(getpid());
            XFree(name);
            if (match) return w;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i) found = search(children[i], title);
        if (children) XFree(children);
        return found;
    }

    Display *display_;
};

} // namespace emutest
