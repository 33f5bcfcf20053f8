// Presentation: the camera, the redraws (after a frame, after a swap, when the window system
// lost the picture), the projection that follows the window size, and the picture that was
// drawn last.
#pragma once

#include <cstdint>
#include <vector>

// Sets the viewport and projection for a drawing area of width x height (height 0 counts as 1).
void vxEmuResize(int width, int height);

namespace vx::emu {

// Camera state; lives for the process (vxShutdown and vxInitialize keep it).
struct Camera {
    float eyeX = 0.0f, eyeY = 0.25f, eyeZ = 3.0f;
    float angleX = 0.0f, angleY = 0.0f, angleZ = 0.0f; // degrees
    std::uint8_t keyboardShortcuts = 1;
    std::uint8_t perspective = 1;
    int clientWidth = 1024, clientHeight = 748;
};
Camera &camera();

enum class KeyPolling {
    NoKeys,       // a repaint
    WithoutShift, // vxEmuUpdateDisplay
    WithShift,    // vxEmuPresentFrame
};

// Redraws the window from the front store, storing `words` first when given (null: redraw
// only). Draws nothing, but still stores, when the emulator has no rendering context.
void redraw(const std::uint32_t *words, KeyPolling polling);

// Whether anything was drawn since the window opened, and that picture (rows top to bottom,
// RGB). readPicture switches to the emulator's context and back.
bool pictureDrawn();
void forgetPicture();
bool readPicture(std::vector<std::uint8_t> &rgb, int &width, int &height);

} // namespace vx::emu
