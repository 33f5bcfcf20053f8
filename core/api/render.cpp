// Render modes, frame submission, swapping, clearing, the display switches and the data
// format: what the next frame covers, how it is laid out, and its dispatch to a conversion.
#include "api/command_path.h"
#include "api/depth_mapping.h"
#include "api/library_state.h"
#include "convert/conversion.h"
#include "vx.h"

using vx::core::CommandRecord;

namespace {

bool isPlaneMode(int mode) { return mode == VX_RENDER_SUB_PLANE || mode == VX_RENDER_FULL_PLANE; }
bool isBlockMode(int mode) { return mode == VX_RENDER_SUB_BLOCK || mode == VX_RENDER_FULL_BLOCK; }

// An extent along one axis lies inside [0, limit) and covers at least one position.
bool spanInside(int origin, int extent, int limit) {
    return origin >= 0 && extent >= 1 && static_cast<long long>(origin) + extent <= limit;
}

} // namespace

extern "C" {

VX_API unsigned int vxSetRenderMode(int mode, int x, int y, int z, int width, int height,
                                    int depth) {
    vx::core::LibraryState &s = vx::core::state();
    vx::core::RenderRegion region = s.region;
    CommandRecord record;
    switch (mode) {
    case VX_RENDER_SUB_PLANE:
        if (!spanInside(x, width, VX_PLANE_WIDTH) || !spanInside(y, height, VX_PLANE_HEIGHT))
            return VX_ERR_OUT_OF_RANGE;
        // The stored origin z keeps its value.
        region = {x, y, region.z, width, height, 0, width * height};
        record = {VX_CMD_SUB_PLANE, {x, y, x + width - 1, y + height - 1, 0, 0}};
        break;
    case VX_RENDER_FULL_PLANE:
        region = {0, 0, 0, VX_PLANE_WIDTH, VX_PLANE_HEIGHT, 0, VX_PLANE_PIXELS};
        record = {VX_CMD_FULL_PLANE, {}};
        break;
    case VX_RENDER_SUB_BLOCK:
        if (!spanInside(x, width, VX_PLANE_WIDTH) || !spanInside(y, height, VX_PLANE_HEIGHT) ||
            !spanInside(z, depth, VX_NUM_PLANES))
            return VX_ERR_OUT_OF_RANGE;
        region = {x, y, z, width, height, depth, width * height * depth};
        record = {VX_CMD_SUB_BLOCK,
                  {x, y, z, x + width - 1, y + height - 1, z + depth - 1}};
        break;
    case VX_RENDER_FULL_BLOCK:
        region = {0, 0, 0, VX_PLANE_WIDTH, VX_PLANE_HEIGHT, VX_NUM_PLANES, VX_VOLUME_PIXELS};
        record = {VX_CMD_FULL_BLOCK, {}};
        break;
    default:
        return VX_ERR_INVALID_ARGUMENT;
    }
    s.region = region;
    s.renderMode = mode;
    return vx::core::sendCommand(record);
}

VX_API unsigned int vxRenderBuffer(const void *data, unsigned short *depthBuffer) {
    const vx::core::LibraryState &s = vx::core::state();
    const unsigned format = s.dataFormat;
    const bool plane = isPlaneMode(s.renderMode);
    const bool block = isBlockMode(s.renderMode);
    // Which formats each group of render modes takes; 75 is the one in both.
    if (plane && !(format >= VX_FORMAT_RGB_Z16 && format <= VX_FORMAT_MVD32))
        return VX_ERR_INVALID_FORMAT;
    if (block && !(format >= VX_FORMAT_MVD32 && format <= VX_FORMAT_GRAY8))
        return VX_ERR_INVALID_FORMAT;
    if (!plane && !block) return VX_ERR_INVALID_FORMAT;

    if (!s.workBuffer || !s.outputBuffer) return VX_ERR_UNKNOWN;
    if (!data) return VX_ERR_INVALID_ARGUMENT;
    if (format <= VX_FORMAT_XBGR_Z16 && !depthBuffer) return VX_ERR_INVALID_ARGUMENT;

    return plane ? vx::core::convertPlaneFrame(format, data, depthBuffer)
                 : vx::core::convertBlockFrame(format, data);
}

VX_API unsigned int vxRender(int mode, int x, int y, int z, int width, int height, int depth,
                             const void *data, unsigned short *depthBuffer) {
    const unsigned status = vxSetRenderMode(mode, x, y, z, width, height, depth);
    if (status != VX_OK) return status;
    return vxRenderBuffer(data, depthBuffer);
}

VX_API unsigned int vxSwapBuffers(void) {
    return vx::core::sendCommand({VX_CMD_SWAP, {0, 0, 0, 0, 0, 0}});
}

VX_API unsigned int vxClear(void) {
    int saved = 0;
    vxGet(VX_FLAG_CLEAR_ON_SWAP, &saved);
    // Two swaps with clear-on-swap on leave both stores empty.
    unsigned status = vxSetFlag(VX_FLAG_CLEAR_ON_SWAP, 1);
    if (status == VX_OK) status = vxSwapBuffers();
    if (status == VX_OK) status = vxSwapBuffers();
    vxSetFlag(VX_FLAG_CLEAR_ON_SWAP, saved);
    return status;
}

VX_API unsigned int vxSetFlag(int id, int value) {
    vx::core::LibraryState &s = vx::core::state();
    switch (id) {
    case VX_FLAG_SWAP_ON_WRITE:
        s.swapOnWrite = value;
        return vx::core::sendCommand({VX_CMD_SET_SWAP_ON_WRITE, {value, 0, 0, 0, 0, 0}});
    case VX_FLAG_CLEAR_ON_SWAP:
        s.clearOnSwap = value;
        return vx::core::sendCommand({VX_CMD_SET_CLEAR_ON_SWAP, {value, 0, 0, 0, 0, 0}});
    case 252:
        return VX_OK;
    case VX_FLAG_LINEARIZE_DEPTH:
        if (value != s.linearizeDepth)
            vx::core::buildDepthTables(s.nearPlane, s.farPlane, value);
        s.linearizeDepth = value;
        return VX_OK;
    default:
        return VX_ERR_INVALID_ARGUMENT;
    }
}

VX_API unsigned int vxSetDataFormat(unsigned int format) {
    if (format < VX_FORMAT_RGB_Z16 || format > VX_FORMAT_GRAY8) return VX_ERR_INVALID_FORMAT;
    vx::core::state().dataFormat = format;
    return VX_OK;
}

} // extern "C"
