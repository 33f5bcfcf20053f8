// Fuzzes the TGA loader that fills the caller's buffer. The first four input bytes choose the
// call (capacity width and height, comment capacity, format); the rest is the file. The buffer
// has exactly the announced capacity, so AddressSanitizer catches any write past it.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "vxUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static vxfuzz::MemFile file;
    if (size < 4) return 0;
    const int capW = data[0], capH = data[1], commentSize = data[2];
    const unsigned format = VX_FORMAT_RGBZ + data[3] % 3;
    file.set(data + 4, size - 4);

    std::vector<std::uint8_t> into(std::size_t(capW) * capH * 4);
    std::vector<char> comment(commentSize);
    int w = capW, h = capH, reason = 0;
    const unsigned status =
        vxUtilLoadTGANA(file.path(), format, &w, &h, into.empty() ? nullptr : into.data(),
                        commentSize, comment.empty() ? nullptr : comment.data(), &reason);
    if (into.empty()) {
        vxfuzz::check(status == VX_ERR_INVALID_ARGUMENT);
        return 0;
    }
    if (status == VX_OK) {
        vxfuzz::check(w >= 1 && w <= capW && h >= 1 && h <= capH);
        if (commentSize > 0) vxfuzz::check(std::memchr(comment.data(), 0, comment.size()));
    }
    vxfuzz::check(status != VX_ERR_INVALID_FORMAT || (reason >= 1 && reason <= 7));
    return 0;
}
