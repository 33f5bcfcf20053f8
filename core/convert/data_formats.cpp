// The data formats' byte counts: vxGetDataFormatSize and the lookup the conversions share.
#include "convert/data_formats.h"

#include "vx.h"

namespace vx::core {

namespace {

// Bytes of one pixel, indexed by id - 68. Ids 82 to 99 name no format; 100 and 101 only give
// the element sizes 1 and 2 that the buffer helpers use.
constexpr int kFormatBytes[34] = {
    3, 3,                   // 68 RGB_Z16, 69 BGR_Z16
    4, 4, 4, 4, 4, 4,       // 70 RGBX_Z16, 71 XBGR_Z16, 72 RGBZ, 73 BGRZ, 74 RGBP, 75 MVD32
    3, 3,                   // 76 RGB, 77 BGR
    4, 4,                   // 78 RGBX, 79 XBGR
    2,                      // 80 GRAY16
    1,                      // 81 GRAY8
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 82 to 99
    1,                      // 100
    2,                      // 101
};

constexpr int kFirstId = 68;
constexpr int kLastId = kFirstId + int(sizeof kFormatBytes / sizeof kFormatBytes[0]) - 1;
static_assert(kLastId == 101);

} // namespace

int formatBytes(int format) {
    if (format < kFirstId || format > kLastId) return 0;
    return kFormatBytes[format - kFirstId];
}

} // namespace vx::core

extern "C" VX_API unsigned int vxGetDataFormatSize(int format, int *size) {
    if (format < 68 || format > 101 || !size) return VX_ERR_INVALID_ARGUMENT;
    *size = vx::core::formatBytes(format);
    return VX_OK;
}
