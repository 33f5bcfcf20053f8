// Depth mapping: clip planes and the depth tables built from them, the user depth bounds, the
// depth functions and the depth scan method they select.
#include "api/depth_mapping.h"

#include <cmath>

#include "api/library_state.h"
#include "vx.h"

namespace vx::core {

namespace {

// Entry i of a table with `last` as its last index: the linear position, between the planes,
// of the eye distance that a perspective projection stores as window depth i / last.
template <typename T> void buildTable(T *table, int last, double n, double f, bool linearize) {
    if (!linearize) {
        for (int i = 0; i <= last; ++i) table[i] = static_cast<T>(i);
        return;
    }
    const double P = n * f;
    const double D = f - n;
    const double E = n - f;
    const double scale = last;
    for (int i = 0; i <= last; ++i) {
        const double t = i / scale;
        const double z = P / (f + E * t);
        double v = scale * ((z - n) / D);
        if (v > scale) v = scale;
        else if (v < 0) v = 0;
        // A near plane of 0 makes the last entry 0 / 0; every entry is 0 then.
        if (std::isnan(v)) v = 0;
        table[i] = static_cast<T>(v);
    }
}

bool sameFunc(const DepthFunc &a, unsigned first, unsigned second, unsigned third) {
    return a.first == first && a.second == second && a.third == third;
}

bool validFunc(unsigned first, unsigned second, unsigned third) {
    return (first == VX_DEPTHFUNC_SCAN || first == VX_DEPTHFUNC_FIXED) &&
           (second >= VX_DEPTHFUNC_SKIP_EXTREME && second <= VX_DEPTHFUNC_NONE) &&
           (third == VX_DEPTHFUNC_NONE || third == VX_DEPTHFUNC_BLANK);
}

unsigned setDepthFunc(DepthFunc &target, unsigned first, unsigned second, unsigned third) {
    if (!validFunc(first, second, third)) return VX_ERR_INVALID_ARGUMENT;
    target = {first, second, third};
    LibraryState &s = state();
    putMethodInForce(selectDepthScanMethod(s.minDepthFunc, s.maxDepthFunc));
    return VX_OK;
}

} // namespace

void buildDepthTables(double nearPlane, double farPlane, int linearize) {
    LibraryState &s = state();
    buildTable(s.depthTable16, 65535, nearPlane, farPlane, linearize != 0);
    buildTable(s.depthTable8, 255, nearPlane, farPlane, linearize != 0);
}

int selectDepthScanMethod(const DepthFunc &nearFunc, const DepthFunc &farFunc) {
    constexpr unsigned SCAN = VX_DEPTHFUNC_SCAN, FIXED = VX_DEPTHFUNC_FIXED,
                       SKIP = VX_DEPTHFUNC_SKIP_EXTREME, CLAMP = VX_DEPTHFUNC_CLAMP,
                       NONE = VX_DEPTHFUNC_NONE, BLANK = VX_DEPTHFUNC_BLANK;
    // near-bound function        far-bound function          method
    if (sameFunc(nearFunc, FIXED, CLAMP, NONE) && sameFunc(farFunc, FIXED, CLAMP, NONE))
        return VX_DEPTHSCAN_FIXED;
    if (sameFunc(nearFunc, SCAN, NONE, NONE) && sameFunc(farFunc, SCAN, NONE, NONE))
        return VX_DEPTHSCAN_MIN_MAX;
    if (sameFunc(nearFunc, SCAN, NONE, NONE) && sameFunc(farFunc, SCAN, SKIP, NONE))
        return VX_DEPTHSCAN_SKIP_FARTHEST;
    if (sameFunc(nearFunc, SCAN, NONE, NONE) && sameFunc(farFunc, FIXED, CLAMP, BLANK))
        return VX_DEPTHSCAN_BLANK_FAR;
    return VX_DEPTHSCAN_UNSUPPORTED;
}

void putMethodInForce(int method) {
    LibraryState &s = state();
    s.depthScanMethod = method;
    s.boundsInEffect = method == VX_DEPTHSCAN_FIXED ? &s.userBounds : &s.computedBounds;
}

} // namespace vx::core

using vx::core::state;

extern "C" {

VX_API unsigned int vxSetNearFarClipPlanes(double nearPlane, double farPlane) {
    if (nearPlane < 0 || farPlane < 0 || nearPlane == farPlane) return VX_ERR_INVALID_ARGUMENT;
    vx::core::buildDepthTables(nearPlane, farPlane, state().linearizeDepth);
    state().nearPlane = nearPlane;
    state().farPlane = farPlane;
    return VX_OK;
}

VX_API unsigned int vxSetMinDepthFunc(unsigned int first, unsigned int second,
                                      unsigned int third) {
    return vx::core::setDepthFunc(state().minDepthFunc, first, second, third);
}

VX_API unsigned int vxSetMaxDepthFunc(unsigned int first, unsigned int second,
                                      unsigned int third) {
    return vx::core::setDepthFunc(state().maxDepthFunc, first, second, third);
}

VX_API unsigned int vxSetMinDepths(unsigned short depth) {
    state().userBounds.lo16 = depth;
    return VX_OK;
}

VX_API unsigned int vxSetMinDepthz(unsigned char depth) {
    state().userBounds.lo8 = depth;
    return VX_OK;
}

VX_API unsigned int vxSetMaxDepths(unsigned short depth) {
    state().userBounds.hi16 = depth;
    return VX_OK;
}

VX_API unsigned int vxSetMaxDepthz(unsigned char depth) {
    state().userBounds.hi8 = depth;
    return VX_OK;
}

} // extern "C"
