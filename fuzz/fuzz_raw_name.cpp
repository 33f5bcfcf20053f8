// Fuzzes the RAW file-name parser with the input as the name (cut at its first NUL). Checks
// that the reason code and the status agree, and that a name without a full stop is reason 5.
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "vxUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string name(reinterpret_cast<const char *>(data), size);
    int format = -1, w = -1, h = -1, d = -1, reason = -1;
    const unsigned status = vxUtilParseRAWFilename(name.c_str(), &format, &w, &h, &d, &reason);
    vxfuzz::check(status == VX_OK ? reason == 0
                                  : status == VX_ERR_INVALID_FORMAT && reason >= 1 && reason <= 5);
    vxfuzz::check(std::strchr(name.c_str(), '.') != nullptr || reason == 5);
    vxfuzz::check(format == -1 || format == VX_FORMAT_GRAY8);
    return 0;
}
