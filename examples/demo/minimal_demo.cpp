// A first program: initialise the kit, choose the full-plane render mode, swap, read a plane
// of the emulated display back, shut down, and say what it saw.
#include <cstdio>
#include <vector>

#include "vx.h"

int main() {
    unsigned status = vxInitialize(0);
    if (status != VX_OK) {
        std::fprintf(stderr, "vxInitialize failed with status %u\n", status);
        return 1;
    }
    vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0);
    vxSwapBuffers();

    std::vector<unsigned char> rgb(VX_PLANE_PIXELS * 3);
    status = vxEmuReadPlane(0, 0, rgb.data());
    std::size_t lit = 0;
    for (unsigned char c : rgb) lit += c != 0;
    std::printf("front plane 0: read status %u, %zu non-zero bytes of %zu\n", status, lit,
                rgb.size());

    int planes = 0, mode = 0;
    vxGet(VX_GET_NUM_PLANES, &planes);
    vxGet(VX_GET_RENDER_MODE, &mode);
    std::printf("planes %d, render mode %d\n", planes, mode);
    vxShutdown();
    return 0;
}
