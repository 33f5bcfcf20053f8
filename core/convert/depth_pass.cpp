// The depth pass: table checks (identity, rising) that let the common cases skip lookups, and
// the four depth scan methods for 16-bit depth buffers and for byte-3 depths.
#include "convert/depth_pass.h"

#include <emmintrin.h>

#include <cstring>

#include "vx.h"

namespace vx::core {

namespace {

// Checked on every frame, eight entries at a time, so that unmapped depths need no rewrite.
bool isIdentity16(const std::uint16_t *table) {
    __m128i expected = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i step = _mm_set1_epi16(8);
    for (unsigned i = 0; i < 65536; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(table + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(v, expected)) != 0xFFFF) return false;
        expected = _mm_add_epi16(expected, step);
    }
    return true;
}

// Whether entry i + 1 >= entry i everywhere, eight pairs at a time (SSE2 compares signed
// 16-bit values: the sign bit is flipped on the way in).
bool isRising16(const std::uint16_t *table) {
    const __m128i bias = _mm_set1_epi16(short(0x8000));
    for (unsigned i = 0; i + 9 <= 65536; i += 8) {
        const __m128i a = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(table + i)), bias);
        const __m128i b = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(table + i + 1)), bias);
        if (_mm_movemask_epi8(_mm_cmplt_epi16(b, a))) return false;
    }
    for (unsigned i = 65536 - 8; i < 65535; ++i)
        if (table[i + 1] < table[i]) return false;
    return true;
}

bool isIdentity8(const std::uint8_t *table) {
    for (unsigned i = 0; i < 256; ++i)
        if (table[i] != i) return false;
    return true;
}

bool isRising8(const std::uint8_t *table) {
    for (unsigned i = 1; i < 256; ++i)
        if (table[i] < table[i - 1]) return false;
    return true;
}

// Smallest and largest mapped byte-3 depth of the frame. Through a table that never falls
// (the identity, a linearising table) they are the mapped smallest and largest raw depths, so
// the scan needs no lookups.
void minMaxMapped8(const PlaneJob &job, const KernelTable &kernels, unsigned *lo, unsigned *hi) {
    const std::uint8_t *table = job.depthTable8;
    if (isRising8(table)) {
        unsigned rawLo = 0, rawHi = 0;
        kernels.minMaxByte3(job.frame, job.pixels, nullptr, &rawLo, &rawHi);
        *lo = table[rawLo];
        *hi = table[rawHi];
    } else {
        kernels.minMaxByte3(job.frame, job.pixels, table, lo, hi);
    }
}

// Method 200: a mapped depth below the near bound becomes it; otherwise one above the far
// bound becomes that.
inline unsigned clampFixed(unsigned m, unsigned lo, unsigned hi) {
    if (m < lo) return lo;
    if (m > hi) return hi;
    return m;
}

} // namespace

bool isSupportedScanMethod(int method) {
    return method >= VX_DEPTHSCAN_FIXED && method <= VX_DEPTHSCAN_BLANK_FAR;
}

bool depthPass16(const PlaneJob &job, std::size_t pixelBytes, const KernelTable &kernels) {
    std::uint16_t *depth = job.depth;
    const std::size_t n = job.pixels;
    const std::uint16_t *table = job.depthTable16;
    const DepthBounds &user = *job.userBounds;
    DepthBounds &computed = *job.computedBounds;
    switch (job.method) {
    case VX_DEPTHSCAN_FIXED:
        for (std::size_t i = 0; i < n; ++i)
            depth[i] = std::uint16_t(clampFixed(table[depth[i]], user.lo16, user.hi16));
        break;
    case VX_DEPTHSCAN_MIN_MAX:
    case VX_DEPTHSCAN_SKIP_FARTHEST: {
        // With the identity table the mapped depths are the depths themselves: nothing to
        // rewrite, only the range to find.
        unsigned lo = 0, hi = 0;
        bool deferred = false;
        if (isIdentity16(table)) {
            kernels.minMax16(depth, n, &lo, &hi);
        } else if (job.method == VX_DEPTHSCAN_MIN_MAX && isRising16(table)) {
            unsigned rawLo = 0, rawHi = 0;
            kernels.minMax16(depth, n, &rawLo, &rawHi);
            lo = table[rawLo];
            hi = table[rawHi];
            deferred = true;
        } else {
            kernels.mapMinMax16(depth, n, table, &lo, &hi);
        }
        if (job.method == VX_DEPTHSCAN_SKIP_FARTHEST) {
            // The farthest depth moves onto the largest one below it (0 if there is none).
            const unsigned below = kernels.maxBelow16(depth, n, hi);
            kernels.replace16(depth, n, hi, below);
            hi = below;
        }
        computed.lo16 = std::uint16_t(lo);
        computed.hi16 = std::uint16_t(hi);
        return deferred;
    }
    case VX_DEPTHSCAN_BLANK_FAR: {
        // Depths at or beyond the user's far bound are cut: clamped to it and blacked.
        const unsigned far = user.hi16;
        unsigned lo = table[depth[0]];
        for (std::size_t i = 0; i < n; ++i) {
            unsigned m = table[depth[i]];
            if (m < lo) lo = m;
            if (m >= far) {
                m = far;
                std::memset(job.frame + i * pixelBytes, 0, pixelBytes);
            }
            depth[i] = std::uint16_t(m);
        }
        computed.lo16 = std::uint16_t(lo);
        computed.hi16 = std::uint16_t(far);
        break;
    }
    default: break;
    }
    return false;
}

void depthPass8(const PlaneJob &job, std::uint8_t prepared[256], int *cutDepth,
                const KernelTable &kernels) {
    const std::uint8_t *table = job.depthTable8;
    const std::uint8_t *scanTable = isIdentity8(table) ? nullptr : table;
    const DepthBounds &user = *job.userBounds;
    DepthBounds &computed = *job.computedBounds;
    const std::size_t n = job.pixels;
    *cutDepth = -1;
    // Every rewrite depends only on the mapped value of the byte, so it becomes a table of
    // 256 prepared depths that the word builder applies.
    for (int v = 0; v < 256; ++v) prepared[v] = table[v];
    switch (job.method) {
    case VX_DEPTHSCAN_FIXED:
        for (int v = 0; v < 256; ++v)
            prepared[v] = std::uint8_t(clampFixed(table[v], user.lo8, user.hi8));
        break;
    case VX_DEPTHSCAN_MIN_MAX:
    case VX_DEPTHSCAN_SKIP_FARTHEST: {
        unsigned lo = 0, hi = 0;
        minMaxMapped8(job, kernels, &lo, &hi);
        if (job.method == VX_DEPTHSCAN_SKIP_FARTHEST) {
            const unsigned below = kernels.maxBelowByte3(job.frame, n, scanTable, hi);
            for (int v = 0; v < 256; ++v)
                if (prepared[v] == hi) prepared[v] = std::uint8_t(below);
            hi = below;
        }
        computed.lo8 = std::uint8_t(lo);
        computed.hi8 = std::uint8_t(hi);
        break;
    }
    case VX_DEPTHSCAN_BLANK_FAR: {
        const unsigned far = user.hi8;
        unsigned lo = 0, hi = 0;
        minMaxMapped8(job, kernels, &lo, &hi);
        for (int v = 0; v < 256; ++v)
            if (prepared[v] >= far) prepared[v] = std::uint8_t(far);
        // A prepared depth equal to the far bound is exactly a mapped depth at or beyond it.
        *cutDepth = int(far);
        computed.lo8 = std::uint8_t(lo);
        computed.hi8 = std::uint8_t(far);
        break;
    }
    default: break;
    }
}

} // namespace vx::core
