// Shortcuts that select a render mode, or select it and render in one call, passing zeros for
// the arguments the mode ignores. Each returns the core call's status unchanged.
#include "vxUtil.h"

extern "C" {

VXUTIL_API unsigned int vxUtilSetFullPlane(void) {
    return vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0);
}

VXUTIL_API unsigned int vxUtilSetFullBlock(void) {
    return vxSetRenderMode(VX_RENDER_FULL_BLOCK, 0, 0, 0, 0, 0, 0);
}

VXUTIL_API unsigned int vxUtilSetSubPlane(int x, int y, int width, int height) {
    return vxSetRenderMode(VX_RENDER_SUB_PLANE, x, y, 0, width, height, 0);
}

VXUTIL_API unsigned int vxUtilSetSubBlock(int x, int y, int z, int width, int height, int depth) {
    return vxSetRenderMode(VX_RENDER_SUB_BLOCK, x, y, z, width, height, depth);
}

VXUTIL_API unsigned int vxUtilRenderFullPlane(const void *colour, unsigned short *depthBuffer) {
    return vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, colour, depthBuffer);
}

VXUTIL_API unsigned int vxUtilRenderFullBlock(const void *voxels) {
    return vxRender(VX_RENDER_FULL_BLOCK, 0, 0, 0, 0, 0, 0, voxels, nullptr);
}

VXUTIL_API unsigned int vxUtilRenderSubPlane(int x, int y, int width, int height,
                                             const void *colour, unsigned short *depthBuffer) {
    return vxRender(VX_RENDER_SUB_PLANE, x, y, 0, width, height, 0, colour, depthBuffer);
}

VXUTIL_API unsigned int vxUtilRenderSubBlock(int x, int y, int z, int width, int height, int depth,
                                             const void *voxels) {
    return vxRender(VX_RENDER_SUB_BLOCK, x, y, z, width, height, depth, voxels, nullptr);
}

} // extern "C"
