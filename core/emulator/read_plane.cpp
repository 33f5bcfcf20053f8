// vxEmuReadPlane: lets applications and tests see what the emulated device holds.
#include <cstring>

#include "emulator/emulated_volume.h"
#include "vx.h"

extern "C" unsigned int vxEmuReadPlane(int store, int plane, unsigned char *rgb) {
    // Without stores (not initialised, or the emulator could not start) there is nothing to
    // read, whatever the arguments.
    const vx::emu::EmulatedVolume &dev = vx::emu::volume();
    if (!dev.hasStores()) return VX_ERR_UNKNOWN;
    if ((store != 0 && store != 1) || plane < 0 || plane >= VX_NUM_PLANES || !rgb)
        return VX_ERR_INVALID_ARGUMENT;
    const std::uint8_t *buffer = dev.planeBuffer(store, plane);
    if (!buffer) return VX_ERR_UNKNOWN;
    // With the image offset on, the application's row y lives in buffer row y + 20 - plane.
    if (dev.imageOffset())
        buffer += std::size_t(vx::emu::EmulatedVolume::kOffsetRows - plane) *
                  vx::emu::EmulatedVolume::kRowBytes;
    std::memcpy(rgb, buffer, std::size_t(VX_PLANE_PIXELS) * 3);
    return VX_OK;
}
