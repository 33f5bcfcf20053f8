// vxInitialize, vxShutdown, vxGlobalReset and vxGetLastHardwareError: the life of the one set
// of display state.
#include <cstdlib>
#include <cstring>

#include "api/depth_mapping.h"
#include "api/intensity_table.h"
#include "api/library_state.h"
#include "emulator/emulator.h"
#include "vx.h"

using vx::core::LibraryState;

namespace {

// Puts every field back to the value that vxInitialize leaves, before anything can fail.
void resetToDefaults(LibraryState &s) {
    s.initialized = 0;
    s.dataFormat = VX_FORMAT_MVD32;
    s.renderMode = VX_RENDER_FULL_PLANE;
    s.region = {0, 0, 0, VX_PLANE_WIDTH, VX_PLANE_HEIGHT, 0, VX_PLANE_PIXELS};
    s.swapOnWrite = 1;
    s.clearOnSwap = 1;
    s.linearizeDepth = 0;
    s.query999 = 0;
    s.gamma = 3.0f;
    s.contrast = 1.0f;
    s.brightness = 0.0f;
    s.nearPlane = 1.0;
    s.farPlane = 100.0;
    // The depth functions go back to their defaults too, so that the method put in force
    // (201) is the one the stored functions select.
    s.minDepthFunc = {};
    s.maxDepthFunc = {};
    s.userBounds = {};
    s.computedBounds = {};
    vx::core::putMethodInForce(VX_DEPTHSCAN_MIN_MAX);
    s.callback = vx::core::noOpCallback;
    s.bufferPixels = 0;
    s.workBuffer = nullptr;
    s.outputBuffer = nullptr;
}

void freeScratch(LibraryState &s) {
    std::free(s.outputBuffer);
    std::free(s.workBuffer);
    s.outputBuffer = nullptr;
    s.workBuffer = nullptr;
}

} // namespace

extern "C" {

VX_API unsigned int vxInitialize(int bufferPixels) {
    LibraryState &s = vx::core::state();
    if (s.initialized) return VX_ERR_ALREADY_INITIALIZED;

    resetToDefaults(s);

    int width = 0, height = 0, planes = 0;
    vx::core::geometry(0, &width);
    vx::core::geometry(1, &height);
    vx::core::geometry(2, &planes);
    const int planePixels = width * height;
    const int volumePixels = planePixels * planes;

    int capacity = bufferPixels;
    if (capacity < planePixels) capacity = planePixels;
    if (capacity > volumePixels) capacity = volumePixels;
    s.bufferPixels = capacity;

    s.callback = vx::core::noOpCallback;
    vx::core::buildIntensityTable(s.gamma, s.contrast, s.brightness, s.intensity);

    unsigned status = VX_OK;
    const std::size_t bytes = std::size_t(capacity) * 4;
    s.outputBuffer = static_cast<std::uint32_t *>(vx::core::allocateScratch(bytes));
    if (!s.outputBuffer) {
        status = VX_ERR_NO_MEMORY;
    } else {
        std::memset(s.outputBuffer, 0, std::size_t(planePixels) * 4);
        s.workBuffer = static_cast<std::uint32_t *>(vx::core::allocateScratch(bytes));
        if (!s.workBuffer) status = VX_ERR_NO_MEMORY;
        else std::memset(s.workBuffer, 0, std::size_t(planePixels) * 4);
    }

    if (status == VX_OK) {
        vxSetNearFarClipPlanes(1.0, 100.0);
        status = static_cast<unsigned>(vxEmuOpenWindow());
    }
    if (status != VX_OK) {
        freeScratch(s);
        return status;
    }
    s.initialized = 1;
    return VX_OK;
}

VX_API unsigned int vxShutdown(void) {
    LibraryState &s = vx::core::state();
    s.initialized = 0;
    freeScratch(s);
    vxEmuShutdown();
    return VX_OK;
}

VX_API unsigned int vxGlobalReset(void) { return VX_OK; }

VX_API unsigned int vxGetLastHardwareError(int, int) {
    vxEmuLoadGL();
    return VX_OK;
}

} // extern "C"
