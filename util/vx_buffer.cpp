// The VXbuffer record: zeroing it for a loader and releasing what a loader put into it.
// The loaders allocate with std::malloc, so the release here uses std::free.
#include <cstdlib>

#include "vxUtil.h"

extern "C" {

VXUTIL_API unsigned int vxUtilInitializeVXbuffer(VXbuffer *buffer) {
    if (buffer == nullptr) return VX_ERR_INVALID_ARGUMENT;
    *buffer = VXbuffer{0, 0, 0, nullptr, nullptr};
    return VX_OK;
}

VXUTIL_API unsigned int vxUtilFreeVXbuffer(VXbuffer *buffer) {
    if (buffer == nullptr) return VX_ERR_INVALID_ARGUMENT;
    std::free(buffer->data);
    std::free(buffer->comment);
    *buffer = VXbuffer{0, 0, 0, nullptr, nullptr};
    return VX_OK;
}

} // extern "C"
