// The one set of display state of the process: every setting of the public interface, the
// derived depth and intensity tables and the two scratch buffers that frame conversion uses.
// Only the core library's own modules include this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vx.h"

namespace vx::core {

// The built-in frame callback that does nothing.
void noOpCallback(unsigned int *words);

// The four fields of one depth bounds record.
struct DepthBounds {
    std::uint8_t lo8 = 0;
    std::uint16_t lo16 = 0;
    std::uint8_t hi8 = 0;
    std::uint16_t hi16 = 0;
};

// One depth function: the three values of its three places.
struct DepthFunc {
    unsigned first = VX_DEPTHFUNC_SCAN;
    unsigned second = VX_DEPTHFUNC_NONE;
    unsigned third = VX_DEPTHFUNC_NONE;
};

struct RenderRegion {
    int x = 0, y = 0, z = 0;
    int width = 0, height = 0, depth = 0;
    int pixels = 0;
};

struct LibraryState {
    int initialized = 0;
    unsigned dataFormat = VX_FORMAT_MVD32;
    int renderMode = 400; // no valid mode yet
    RenderRegion region;

    int swapOnWrite = 1;
    int clearOnSwap = 1;
    int linearizeDepth = 0;
    int query999 = 1;

    float gamma = 0.0f;
    float contrast = 0.0f;
    float brightness = 0.0f;

    double nearPlane = 0.0;
    double farPlane = 0.0;

    int depthScanMethod = VX_DEPTHSCAN_MIN_MAX;
    DepthFunc minDepthFunc;
    DepthFunc maxDepthFunc;
    DepthBounds userBounds;
    DepthBounds computedBounds;
    // Which record the conversion and the queries read: null until the first vxInitialize
    // selects one (the queries then answer the user bounds).
    DepthBounds *boundsInEffect = nullptr;

    VXframecallback callback = noOpCallback;

    int bufferPixels = 0;
    std::uint32_t *workBuffer = nullptr;
    std::uint32_t *outputBuffer = nullptr;

    std::uint16_t depthTable16[65536] = {};
    std::uint8_t depthTable8[256] = {};
    std::uint8_t intensity[256] = {};
};

LibraryState &state();

// The bounds the conversion and the depth queries use (the user bounds before any selection).
inline const DepthBounds &boundsInEffect() {
    LibraryState &s = state();
    return s.boundsInEffect ? *s.boundsInEffect : s.userBounds;
}

// Allocator of the scratch buffers (malloc unless a test injects a failing one).
using ScratchAllocator = void *(*)(std::size_t bytes);
void setScratchAllocator(ScratchAllocator allocator);
void *allocateScratch(std::size_t bytes);

// Display geometry lookup: index 0 width, 1 height, 2 number of planes.
unsigned geometry(int index, int *out);

} // namespace vx::core
