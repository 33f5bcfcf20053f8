// Fuzzes the allocating TGA loader with the input as the file, in the format the input's
// length picks, and checks the buffer loader against it on a fixed 256 x 256 buffer.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "vxUtil.h"

namespace {
constexpr int kCap = 256;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static vxfuzz::MemFile file;
    static std::vector<std::uint8_t> into(std::size_t(kCap) * kCap * 4);
    file.set(data, size);
    const unsigned format = VX_FORMAT_RGBZ + unsigned(size % 3);

    VXbuffer b;
    vxUtilInitializeVXbuffer(&b);
    int reason = 0;
    const unsigned status = vxUtilLoadTGA(file.path(), format, &b, &reason);
    vxfuzz::check(status == VX_OK || (b.data == nullptr && b.comment == nullptr));
    vxfuzz::check(status != VX_ERR_INVALID_FORMAT || (reason >= 1 && reason <= 7));

    int w = kCap, h = kCap, into_reason = 0;
    char comment[300];
    const unsigned into_status = vxUtilLoadTGANA(file.path(), format, &w, &h, into.data(),
                                                 sizeof comment, comment, &into_reason);
    if (status == VX_OK) {
        const bool fits = b.width <= kCap && b.height <= kCap;
        vxfuzz::check(into_status == (fits ? VX_OK : VX_ERR_OUT_OF_RANGE));
        if (fits) {
            vxfuzz::check(w == b.width && h == b.height);
            vxfuzz::check(std::memcmp(into.data(), b.data, std::size_t(w) * h * 4) == 0);
            // The whole identification field fits the comment buffer.
            vxfuzz::check(std::strcmp(comment, b.comment ? b.comment : "") == 0);
        }
    } else if (status == VX_ERR_INVALID_FORMAT && into_status == VX_ERR_INVALID_FORMAT) {
        vxfuzz::check(reason == into_reason);
    }
    vxUtilFreeVXbuffer(&b);
    return 0;
}
