#include "emulator/platform/x11/x11_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>

#include <cstdint>

namespace vx::emu::x11 {

void GlArea::resize(int x, int y, int w, int h) {
    const bool sized = w != this->w() || h != this->h();
    Fl_Gl_Window::resize(x, y, w, h);
    if (sized && shown()) events_.areaResized(w, h);
}

int GlArea::handle(int event) {
    switch (event) {
    case FL_FOCUS:
    case FL_UNFOCUS:
        return 1;
    case FL_KEYDOWN:
        events_.keyEvent(Fl::event_key(), true);
        return 1;
    case FL_KEYUP:
        events_.keyEvent(Fl::event_key(), false);
        return 1;
    default:
        return Fl_Gl_Window::handle(event);
    }
}

int TopWindow::handle(int event) {
    switch (event) {
    case FL_KEYDOWN:
    case FL_SHORTCUT:
        // Keys that no widget took (the drawing area may not have the focus).
        if (Fl::event_key() != FL_Escape) events_.keyEvent(Fl::event_key(), true);
        break;
    case FL_KEYUP:
        events_.keyEvent(Fl::event_key(), false);
        break;
    case FL_FOCUS:
        events_.activated(true);
        break;
    case FL_UNFOCUS:
        events_.activated(false);
        break;
    default:
        break;
    }
    return Fl_Window::handle(event);
}

const Fl_RGB_Image &emulatorIcon() {
    // 32 x 32: five stacked planes in different colours on black, drawn once.
    static std::uint8_t pixels[32 * 32 * 3];
    static Fl_RGB_Image *image = [] {
        const std::uint8_t colours[5][3] = {
            {230, 40, 40}, {240, 160, 30}, {60, 200, 60}, {40, 140, 240}, {170, 70, 230}};
        for (int i = 0; i < 5; ++i) {
            const int x0 = 3 + i * 3, y0 = 15 - i * 3;
            for (int y = y0; y < y0 + 14; ++y)
                for (int x = x0; x < x0 + 14; ++x) {
                    const bool edge = y == y0 || y == y0 + 13 || x == x0 || x == x0 + 13;
                    std::uint8_t *p = pixels + (y * 32 + x) * 3;
                    for (int c = 0; c < 3; ++c)
                        p[c] = edge ? colours[i][c] : std::uint8_t(colours[i][c] / 3 + p[c] / 2);
                }
        }
        return new Fl_RGB_Image(pixels, 32, 32, 3);
    }();
    return *image;
}

} // namespace vx::emu::x11
