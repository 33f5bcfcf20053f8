// The FLTK widgets of the emulator window on X11: the top-level window with its menu bar and
// the OpenGL drawing area. They forward what happens to them to the X11 platform, which turns
// it into window messages.
#pragma once

#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>

namespace vx::emu::x11 {

// What the widgets report.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    virtual void areaResized(int width, int height) = 0;
    virtual void areaExposed() = 0;
    virtual void closeRequested() = 0;
    virtual void keyEvent(int flKey, bool down) = 0;
    virtual void activated(bool active) = 0;
};

// The OpenGL area. It never lets FLTK make a context current: the emulator creates its own
// context for this window's visual and makes it current itself, and FLTK's redraws reach the
// emulator as an expose.
class GlArea final : public Fl_Gl_Window {
  public:
    GlArea(WindowEvents &events, int x, int y, int w, int h)
        : Fl_Gl_Window(x, y, w, h), events_(events) {}
    void draw() override {}
    void flush() override { events_.areaExposed(); }
    void resize(int x, int y, int w, int h) override;
    int handle(int event) override;

  private:
    WindowEvents &events_;
};

class TopWindow final : public Fl_Window {
  public:
    TopWindow(WindowEvents &events, int w, int h, const char *title)
        : Fl_Window(w, h, title), events_(events) {}
    int handle(int event) override;

  private:
    WindowEvents &events_;
};

// The emulator's window icon (a few coloured planes), shared by the window and the About box.
const Fl_RGB_Image &emulatorIcon();

} // namespace vx::emu::x11
