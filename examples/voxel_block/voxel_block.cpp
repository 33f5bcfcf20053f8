// A voxel block (data format 78, VX_FORMAT_RGBX, in the sub-block render mode).
//
// In the block modes the application hands in voxels that map straight onto the planes:
// voxel (x, y, z) of the block becomes pixel (x0 + x, y0 + y) of plane z0 + z. No depth is
// involved. Here the block is a hollow ball, coloured by plane, computed voxel by voxel.
//
//   voxel_block [--offscreen] [OUT.png]
//
// Without a display (DISPLAY unset) or with --offscreen the emulator renders offscreen. The
// program always writes the emulator's picture to OUT.png (default voxel_block.png); with a
// window it then keeps the window up for a few seconds, or until it is closed.
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

static bool ok(unsigned status, const char *what) {
    if (status == VX_OK) return true;
    char text[64];
    vxUtilErrorString(status, sizeof text, text);
    std::fprintf(stderr, "voxel_block: %s: %s\n", what, text);
    return false;
}

int main(int argc, char **argv) {
    bool offscreen = !std::getenv("DISPLAY") || !*std::getenv("DISPLAY");
    std::string out = "voxel_block.png";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--offscreen") == 0) offscreen = true;
        else out = argv[i];
    }

    // A block of 512 x 512 pixels on all 20 planes, in the middle of the volume.
    const int w = 512, h = 512, d = VX_NUM_PLANES;
    const int x0 = (VX_PLANE_WIDTH - w) / 2, y0 = (VX_PLANE_HEIGHT - h) / 2, z0 = 0;
    std::vector<unsigned char> voxels(std::size_t(w) * h * d * 4, 0); // red, green, blue, unused
    for (int z = 0; z < d; ++z) {
        // The planes are far apart compared with the pixels: one plane spans the ball's
        // radius / 10 here, so that the ball fills the 20 planes.
        double dz = (z - (d - 1) / 2.0) / ((d - 1) / 2.0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
                double r = std::sqrt(dx * dx + dy * dy + dz * dz);
                if (r < 0.85 || r > 1.0) continue; // only the shell
                unsigned char *v = &voxels[((std::size_t(z) * h + y) * w + x) * 4];
                v[0] = (unsigned char)(255 - z * 12); // red in the front planes
                v[1] = 64;
                v[2] = (unsigned char)(z * 12);       // blue in the back planes
            }
        }
    }

    if (offscreen && !ok(vxEmuSetOffscreen(1), "vxEmuSetOffscreen")) return 1;
    // Scratch buffers big enough for the whole block, so it travels in one piece.
    if (!ok(vxInitialize(w * h * d), "vxInitialize")) return 1;

    vxEmuSetCamera(3.0f, 20.0f, -30.0f, 0.0f); // from above and to the right
    bool done = ok(vxSetDataFormat(VX_FORMAT_RGBX), "vxSetDataFormat") &&
                ok(vxUtilRenderSubBlock(x0, y0, z0, w, h, d, voxels.data()), "render") &&
                ok(vxEmuSaveSnapshot(out.c_str()), out.c_str());
    if (done) std::printf("wrote %s\n", out.c_str());

    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (done && !offscreen && vxEmuProcessMessages() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    vxShutdown();
    return done ? 0 : 1;
}
