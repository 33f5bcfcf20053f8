// Fuzzes both MVD loaders with the input as the file. The two must agree: when the allocating
// loader succeeds and the volume fits the fixed buffer, the buffer loader gives the same voxels
// and the same comment (cut to its capacity).
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "vxUtil.h"

namespace {
constexpr int kCapW = 64, kCapH = 64, kCapD = 4;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static vxfuzz::MemFile file;
    static std::vector<std::uint32_t> into(std::size_t(kCapW) * kCapH * kCapD);
    // Volumes between 1 MiB and the loader's limit take milliseconds each to allocate and fill
    // and run the same code as small ones (the unit tests load such volumes); they are skipped
    // so that the fuzzer spends its time on new paths. Larger ones are still loaded: they are
    // refused before anything is allocated.
    if (size >= 12) {
        const std::uint64_t n = std::uint64_t(data[6] | data[7] << 8) * (data[8] | data[9] << 8) *
                                std::max(data[10] | data[11] << 8, 1);
        if (n * 4 > (1u << 20) && n * 4 <= VXUTIL_MAX_BUFFER_BYTES) return 0;
    }
    file.set(data, size);

    VXbuffer b;
    vxUtilInitializeVXbuffer(&b);
    const unsigned status = vxUtilLoadMVDFile(file.path(), &b);
    vxfuzz::check(status == VX_OK || (b.data == nullptr && b.comment == nullptr));

    int w = kCapW, h = kCapH, d = kCapD;
    char comment[16];
    const unsigned into_status =
        vxUtilLoadMVDFileNA(file.path(), &w, &h, &d, into.data(), sizeof comment, comment);
    if (status == VX_OK) {
        const bool fits = b.width <= kCapW && b.height <= kCapH && b.depth <= kCapD;
        vxfuzz::check(into_status == (fits ? VX_OK : VX_ERR_OUT_OF_RANGE));
        if (fits) {
            const std::size_t n = std::size_t(b.width) * b.height * (b.depth > 0 ? b.depth : 1);
            vxfuzz::check(w == b.width && h == b.height && d == b.depth);
            vxfuzz::check(std::memcmp(into.data(), b.data, n * 4) == 0);
            const char *text = b.comment ? b.comment : "";
            vxfuzz::check(std::strncmp(comment, text, sizeof comment - 1) == 0);
        }
    } else if (status != VX_ERR_NO_MEMORY) {
        // Header and data faults are the same for both loaders.
        vxfuzz::check(into_status == status || into_status == VX_ERR_OUT_OF_RANGE);
    }
    vxUtilFreeVXbuffer(&b);
    return 0;
}
