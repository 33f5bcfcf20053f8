// vxGet: the one query through which an application reads any setting back. Each id writes
// exactly the width of its field.
#include <cstring>

#include "api/library_state.h"
#include "vx.h"

namespace {

template <typename T> unsigned put(void *out, T value) {
    std::memcpy(out, &value, sizeof value);
    return VX_OK;
}

unsigned putGeometry(int index, void *out) {
    int value = 0;
    const unsigned status = vx::core::geometry(index, &value);
    return status == VX_OK ? put(out, value) : status;
}

} // namespace

extern "C" VX_API unsigned int vxGet(unsigned int id, void *out) {
    if (!out) return VX_ERR_INVALID_ARGUMENT;
    const vx::core::LibraryState &s = vx::core::state();
    const vx::core::DepthBounds &b = vx::core::boundsInEffect();
    switch (id) {
    case VX_FLAG_SWAP_ON_WRITE: return put<int>(out, s.swapOnWrite);
    case VX_FLAG_CLEAR_ON_SWAP: return put<int>(out, s.clearOnSwap);
    case VX_FLAG_LINEARIZE_DEPTH: return put<int>(out, s.linearizeDepth);
    case VX_GET_DEPTH_SCAN_METHOD: return put<int>(out, s.depthScanMethod);
    case VX_GET_PLANE_WIDTH: return putGeometry(0, out);
    case VX_GET_PLANE_HEIGHT: return putGeometry(1, out);
    case VX_GET_NUM_PLANES: return putGeometry(2, out);
    case VX_GET_MIN_DEPTHZ: return put<std::uint8_t>(out, b.lo8);
    case VX_GET_MAX_DEPTHZ: return put<std::uint8_t>(out, b.hi8);
    case VX_GET_MIN_DEPTHS: return put<std::uint16_t>(out, b.lo16);
    case VX_GET_MAX_DEPTHS: return put<std::uint16_t>(out, b.hi16);
    case VX_GET_GAMMA_FACTOR: return put<float>(out, s.gamma);
    case VX_GET_RENDER_MODE: return put<int>(out, s.renderMode);
    case VX_GET_INITIALIZED: return put<int>(out, s.initialized);
    case VX_GET_BUFFER_PIXELS: return put<int>(out, s.bufferPixels);
    case VX_GET_MIN_DEPTH_FUNC1: return put<unsigned>(out, s.minDepthFunc.first);
    case VX_GET_MIN_DEPTH_FUNC2: return put<unsigned>(out, s.minDepthFunc.second);
    case VX_GET_MIN_DEPTH_FUNC3: return put<unsigned>(out, s.minDepthFunc.third);
    case VX_GET_MAX_DEPTH_FUNC1: return put<unsigned>(out, s.maxDepthFunc.first);
    case VX_GET_MAX_DEPTH_FUNC2: return put<unsigned>(out, s.maxDepthFunc.second);
    case VX_GET_MAX_DEPTH_FUNC3: return put<unsigned>(out, s.maxDepthFunc.third);
    case VX_GET_NEAR_CLIP_PLANE: return put<double>(out, s.nearPlane);
    case VX_GET_FAR_CLIP_PLANE: return put<double>(out, s.farPlane);
    case VX_GET_DATA_FORMAT: return put<int>(out, int(s.dataFormat));
    case VX_GET_CONTRAST: return put<float>(out, s.contrast);
    case VX_GET_BRIGHTNESS_OFFSET: return put<float>(out, s.brightness);
    case 999: return put<int>(out, s.query999);
    default: return VX_ERR_INVALID_ARGUMENT; // 252 included: it has no stored value
    }
}
