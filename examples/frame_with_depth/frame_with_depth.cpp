// A two-dimensional frame with a 16-bit depth buffer (data format 70, VX_FORMAT_RGBX_Z16).
//
// Every pixel of the frame carries its own depth in a separate buffer; the kit spreads the
// pixels over the 20 planes of the display by that depth. Here the frame shows a ball: its
// middle is nearest, its rim farthest, so seen from the side the ball's surface curves back
// through the planes.
//
//   frame_with_depth [--offscreen] [OUT.png]
//
// Without a display (DISPLAY unset) or with --offscreen the emulator renders offscreen. The
// program always writes the emulator's picture to OUT.png (default frame_with_depth.png); with
// a window it then keeps the window up for a few seconds, or until it is closed.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <vx.h>
#include <vxUtil.h>

// Prints the text of a status code and says whether it was VX_OK.
static bool ok(unsigned status, const char *what) {
    if (status == VX_OK) return true;
    char text[64];
    vxUtilErrorString(status, sizeof text, text);
    std::fprintf(stderr, "frame_with_depth: %s: %s\n", what, text);
    return false;
}

int main(int argc, char **argv) {
    bool offscreen = !std::getenv("DISPLAY") || !*std::getenv("DISPLAY");
    std::string out = "frame_with_depth.png";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--offscreen") == 0) offscreen = true;
        else out = argv[i];
    }

    // The frame: 4 bytes a pixel (red, green, blue, unused) and one 16-bit depth a pixel.
    const int w = VX_PLANE_WIDTH, h = VX_PLANE_HEIGHT;
    std::vector<unsigned char> rgbx(std::size_t(w) * h * 4, 0);
    std::vector<unsigned short> depth(std::size_t(w) * h, 65535); // background: farthest
    const double cx = w / 2.0, cy = h / 2.0, radius = 300.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double dx = (x - cx) / radius, dy = (y - cy) / radius, r2 = dx * dx + dy * dy;
            if (r2 > 1.0) continue;
            std::size_t i = std::size_t(y) * w + x;
            // Height of the ball's surface: 1 in the middle, 0 at the rim.
            double height = std::sqrt(1.0 - r2);
            rgbx[i * 4 + 0] = (unsigned char)(255 * (0.5 + 0.5 * dx)); // red grows to the right
            rgbx[i * 4 + 1] = (unsigned char)(255 * (0.5 + 0.5 * dy)); // green grows downwards
            rgbx[i * 4 + 2] = 255;
            depth[i] = (unsigned short)(60000 * (1.0 - height));        // middle nearest
        }
    }

    if (offscreen && !ok(vxEmuSetOffscreen(1), "vxEmuSetOffscreen")) return 1;
    if (!ok(vxInitialize(0), "vxInitialize")) return 1;

    // Look at the frame a little from the right so that its depth shows.
    vxEmuSetCamera(3.0f, 0.0f, -35.0f, 0.0f);
    bool done = ok(vxSetDataFormat(VX_FORMAT_RGBX_Z16), "vxSetDataFormat") &&
                // The whole plane; the kit finds the nearest and farthest depth of the frame
                // and spreads that range over the planes. It rewrites the depth buffer.
                ok(vxUtilRenderFullPlane(rgbx.data(), depth.data()), "vxUtilRenderFullPlane") &&
                ok(vxEmuSaveSnapshot(out.c_str()), out.c_str());
    if (done) std::printf("wrote %s\n", out.c_str());

    // With a window: keep it up for five seconds or until the user closes it.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (done && !offscreen && vxEmuProcessMessages() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    vxShutdown();
    return done ? 0 : 1;
}
