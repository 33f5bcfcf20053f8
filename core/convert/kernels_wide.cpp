// The wide kernels: AVX-512 with byte permutes (F, BW, VBMI), compiled for those extensions
// function by function and used only where the processor reports them. A 256-entry byte
// table lives in four registers and is applied to 64 bytes at a time with two two-register
// permutes, so that the intensity and depth lookups cost no memory access per pixel. Each
// kernel handles whole groups of 16 pixels (32 or 64 depths) and leaves the rest of the frame
// to the plain kernel, which computes the same values.
// GCC 12 warns about the deliberately undefined registers inside its own AVX-512 intrinsics.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <algorithm>
#include <array>

#include "convert/word_kernels.h"

#define VX_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define VX_WIDE_INLINE __attribute__((target("avx512f,avx512bw,avx512vbmi"), always_inline)) inline

namespace vx::core {

namespace {

// A 256-entry byte table held in registers.
struct ByteTable {
    __m512i q0, q1, q2, q3;
};

VX_WIDE_INLINE ByteTable loadTable(const std::uint8_t *table) {
    return {_mm512_loadu_si512(table), _mm512_loadu_si512(table + 64),
            _mm512_loadu_si512(table + 128), _mm512_loadu_si512(table + 192)};
}

// table[v] for each of the 64 bytes of v.
VX_WIDE_INLINE __m512i lookup(const ByteTable &t, __m512i v) {
    const __m512i low = _mm512_permutex2var_epi8(t.q0, v, t.q1);  // entries 0 to 127
    const __m512i high = _mm512_permutex2var_epi8(t.q2, v, t.q3); // entries 128 to 255
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
}

// Entries table[d] of 16 depths; the lanes of the last entry are masked off the gather, which
// would read 2 bytes past the table for them, and take that entry directly.
VX_WIDE_INLINE __m512i gatherDepths(const std::uint16_t *table, __m512i d, __m512i lastEntry) {
    const __mmask16 inside = _mm512_cmpneq_epi32_mask(d, _mm512_set1_epi32(65535));
    const __m512i m = _mm512_mask_i32gather_epi32(lastEntry, inside, d, table, 2);
    return _mm512_and_si512(m, _mm512_set1_epi32(0xFFFF));
}

VX_WIDE_INLINE void reduceU16(__m512i vmin, __m512i vmax, unsigned *lo, unsigned *hi) {
    alignas(64) std::uint16_t mins[32], maxs[32];
    _mm512_store_si512(mins, vmin);
    _mm512_store_si512(maxs, vmax);
    unsigned l = mins[0], h = maxs[0];
    for (int j = 1; j < 32; ++j) {
        l = std::min<unsigned>(l, mins[j]);
        h = std::max<unsigned>(h, maxs[j]);
    }
    *lo = l;
    *hi = h;
}

VX_WIDE void minMax16(const std::uint16_t *depth, std::size_t n, unsigned *lo, unsigned *hi) {
    const std::size_t whole = n / 32 * 32;
    if (whole == 0) return baselineKernels().minMax16(depth, n, lo, hi);
    __m512i vmin = _mm512_set1_epi16(-1), vmax = _mm512_setzero_si512();
    for (std::size_t i = 0; i < whole; i += 32) {
        const __m512i v = _mm512_loadu_si512(depth + i);
        vmin = _mm512_min_epu16(vmin, v);
        vmax = _mm512_max_epu16(vmax, v);
    }
    reduceU16(vmin, vmax, lo, hi);
    if (whole < n) {
        unsigned l, h;
        baselineKernels().minMax16(depth + whole, n - whole, &l, &h);
        *lo = std::min(*lo, l);
        *hi = std::max(*hi, h);
    }
}

VX_WIDE void mapMinMax16(std::uint16_t *depth, std::size_t n, const std::uint16_t *table,
                         unsigned *lo, unsigned *hi) {
    const std::size_t whole = n / 16 * 16;
    if (whole == 0) return baselineKernels().mapMinMax16(depth, n, table, lo, hi);
    const __m512i lastEntry = _mm512_set1_epi32(table[65535]);
    __m512i vmin = _mm512_set1_epi32(-1), vmax = _mm512_setzero_si512();
    for (std::size_t i = 0; i < whole; i += 16) {
        const __m512i d = _mm512_cvtepu16_epi32(_mm256_loadu_si256((const __m256i *)(depth + i)));
        const __m512i m = gatherDepths(table, d, lastEntry);
        _mm256_storeu_si256((__m256i *)(depth + i), _mm512_cvtepi32_epi16(m));
        vmin = _mm512_min_epu32(vmin, m);
        vmax = _mm512_max_epu32(vmax, m);
    }
    alignas(64) std::uint32_t mins[16], maxs[16];
    _mm512_store_si512(mins, vmin);
    _mm512_store_si512(maxs, vmax);
    *lo = *std::min_element(mins, mins + 16);
    *hi = *std::max_element(maxs, maxs + 16);
    if (whole < n) {
        unsigned l, h;
        baselineKernels().mapMinMax16(depth + whole, n - whole, table, &l, &h);
        *lo = std::min(*lo, l);
        *hi = std::max(*hi, h);
    }
}

VX_WIDE unsigned maxBelow16(const std::uint16_t *depth, std::size_t n, unsigned limit) {
    const std::size_t whole = n / 32 * 32;
    const __m512i vlimit = _mm512_set1_epi16(short(limit));
    __m512i vmax = _mm512_setzero_si512();
    for (std::size_t i = 0; i < whole; i += 32) {
        const __m512i v = _mm512_loadu_si512(depth + i);
        const __mmask32 below = _mm512_cmplt_epu16_mask(v, vlimit);
        vmax = _mm512_mask_max_epu16(vmax, below, vmax, v);
    }
    unsigned l, best;
    reduceU16(vmax, vmax, &l, &best);
    return std::max(best, baselineKernels().maxBelow16(depth + whole, n - whole, limit));
}

VX_WIDE void replace16(std::uint16_t *depth, std::size_t n, unsigned from, unsigned to) {
    const std::size_t whole = n / 32 * 32;
    const __m512i vfrom = _mm512_set1_epi16(short(from)), vto = _mm512_set1_epi16(short(to));
    for (std::size_t i = 0; i < whole; i += 32) {
        const __m512i v = _mm512_loadu_si512(depth + i);
        _mm512_mask_storeu_epi16(depth + i, _mm512_cmpeq_epu16_mask(v, vfrom), vto);
    }
    baselineKernels().replace16(depth + whole, n - whole, from, to);
}

constexpr __mmask64 kByte3Lanes = 0x8888888888888888ull;

VX_WIDE void minMaxByte3(const std::uint8_t *frame, std::size_t n, const std::uint8_t *table,
                         unsigned *lo, unsigned *hi) {
    const std::size_t whole = n / 16 * 16;
    if (whole == 0) return baselineKernels().minMaxByte3(frame, n, table, lo, hi);
    ByteTable t{};
    if (table) t = loadTable(table);
    // The other bytes of each pixel are forced so that only byte 3 can win.
    const __m512i ones = _mm512_set1_epi8(-1);
    __m512i vmin = ones, vmax = _mm512_setzero_si512();
    for (std::size_t i = 0; i < whole; i += 16) {
        __m512i v = _mm512_loadu_si512(frame + i * 4);
        if (table) v = lookup(t, v);
        vmin = _mm512_min_epu8(vmin, _mm512_mask_blend_epi8(kByte3Lanes, ones, v));
        vmax = _mm512_max_epu8(vmax, _mm512_maskz_mov_epi8(kByte3Lanes, v));
    }
    alignas(64) std::uint8_t mins[64], maxs[64];
    _mm512_store_si512(mins, vmin);
    _mm512_store_si512(maxs, vmax);
    unsigned l = 255, h = 0;
    for (int j = 3; j < 64; j += 4) {
        l = std::min<unsigned>(l, mins[j]);
        h = std::max<unsigned>(h, maxs[j]);
    }
    if (whole < n) {
        unsigned tl, th;
        baselineKernels().minMaxByte3(frame + whole * 4, n - whole, table, &tl, &th);
        l = std::min(l, tl);
        h = std::max(h, th);
    }
    *lo = l;
    *hi = h;
}

VX_WIDE unsigned maxBelowByte3(const std::uint8_t *frame, std::size_t n,
                               const std::uint8_t *table, unsigned limit) {
    const std::size_t whole = n / 16 * 16;
    ByteTable t{};
    if (table) t = loadTable(table);
    const __m512i vlimit = _mm512_set1_epi8(char(limit));
    __m512i vmax = _mm512_setzero_si512();
    for (std::size_t i = 0; i < whole; i += 16) {
        __m512i v = _mm512_loadu_si512(frame + i * 4);
        if (table) v = lookup(t, v);
        const __mmask64 below = _mm512_cmplt_epu8_mask(v, vlimit) & kByte3Lanes;
        vmax = _mm512_mask_max_epu8(vmax, below, vmax, v);
    }
    alignas(64) std::uint8_t maxs[64];
    _mm512_store_si512(maxs, vmax);
    unsigned best = 0;
    for (int j = 3; j < 64; j += 4) best = std::max<unsigned>(best, maxs[j]);
    return std::max(best,
                    baselineKernels().maxBelowByte3(frame + whole * 4, n - whole, table, limit));
}

// Bytes of one pixel of each layout.
constexpr std::size_t bytesPerPixel(Layout l) {
    switch (l) {
    case Layout::RGB3:
    case Layout::BGR3: return 3;
    case Layout::GRAY16: return 2;
    case Layout::GRAY8: return 1;
    default: return 4;
    }
}

// The byte permute that moves the red, green and blue bytes of 16 loaded pixels into bytes
// 3, 2 and 1 of 16 words, and byte 3 of a 4-byte pixel (depth or plane index) into byte 0.
constexpr std::array<std::uint8_t, 64> arrangement(Layout l) {
    std::array<std::uint8_t, 64> idx{};
    const int bpp = int(bytesPerPixel(l));
    for (int j = 0; j < 16; ++j) {
        int r = 0, g = 0, b = 0, z = 0;
        switch (l) {
        case Layout::RGB3: r = 0, g = 1, b = 2, z = 0; break;
        case Layout::BGR3: r = 2, g = 1, b = 0, z = 0; break;
        case Layout::RGBX4: r = 0, g = 1, b = 2, z = 3; break;
        case Layout::XBGR4: r = 3, g = 2, b = 1, z = 0; break;
        case Layout::BGRZ4: r = 2, g = 1, b = 0, z = 3; break;
        case Layout::GRAY16: r = g = b = z = 1; break;
        case Layout::GRAY8: r = g = b = z = 0; break;
        }
        idx[4 * j + 3] = std::uint8_t(bpp * j + r);
        idx[4 * j + 2] = std::uint8_t(bpp * j + g);
        idx[4 * j + 1] = std::uint8_t(bpp * j + b);
        idx[4 * j + 0] = std::uint8_t(bpp * j + z);
    }
    return idx;
}

template <Layout L> VX_WIDE_INLINE __m512i loadGroup(const std::uint8_t *src) {
    if constexpr (bytesPerPixel(L) == 4) return _mm512_loadu_si512(src);
    else if constexpr (bytesPerPixel(L) == 3)
        return _mm512_maskz_loadu_epi8(0x0000FFFFFFFFFFFFull, src); // 48 bytes, no more
    else if constexpr (bytesPerPixel(L) == 2)
        return _mm512_zextsi256_si512(_mm256_loadu_si256((const __m256i *)src));
    else return _mm512_zextsi128_si512(_mm_loadu_si128((const __m128i *)src));
}

template <Layout L, ZSource Z, bool MapDepth = false>
VX_WIDE void wordsOf(const std::uint8_t *src, std::size_t n, std::uint32_t *out,
                     const WordParams &p) {
    if constexpr (Z == ZSource::Depth16 && !MapDepth)
        if (p.depthTable) return wordsOf<L, Z, true>(src, n, out, p);
    constexpr std::size_t bpp = bytesPerPixel(L);
    static constexpr std::array<std::uint8_t, 64> kArrange = arrangement(L);
    const std::size_t whole = n / 16 * 16;
    const __m512i arrange = _mm512_loadu_si512(kArrange.data());
    const ByteTable intensity = loadTable(p.intensity);
    const __m512i colourBytes = _mm512_set1_epi32(int(0xFFFFFF00u));
    const __m512i byte0 = _mm512_set1_epi32(0xFF);
    const __m512i zMask = _mm512_set1_epi32(0x3FF);
    const __m512i lo = _mm512_set1_epi32(p.lo), k = _mm512_set1_epi32(p.k);
    ByteTable prepared{};
    if constexpr (Z == ZSource::Byte3Depth)
        if (!p.preparedIsIdentity) prepared = loadTable(p.prepared);
    const std::uint32_t i0 = p.intensity[0];
    const __m512i black = _mm512_set1_epi32(int((i0 << 24) | (i0 << 16) | (i0 << 8)));
    const __m512i cutDepth = _mm512_set1_epi32(p.cutDepth);
    __m512i lastDepth = _mm512_setzero_si512();
    if constexpr (MapDepth) lastDepth = _mm512_set1_epi32(p.depthTable[65535]);
    // Locals, since the stores below may alias anything the parameters point into.
    const std::uint16_t *const depth = p.depth;
    const std::uint16_t *const depthTable = p.depthTable;
    std::uint16_t *const depthOut = p.depthOut;
    const bool preparedIsIdentity = p.preparedIsIdentity;

    for (std::size_t i = 0; i < whole; i += 16) {
        const __m512i raw = loadGroup<L>(src + i * bpp);
        __m512i arranged;
        if constexpr (L == Layout::XBGR4) arranged = raw; // already in word order
        else arranged = _mm512_permutexvar_epi8(arrange, raw);
        __m512i w = _mm512_and_si512(lookup(intensity, arranged), colourBytes);
        if constexpr (Z == ZSource::Depth16) {
            __m512i d = _mm512_cvtepu16_epi32(_mm256_loadu_si256((const __m256i *)(depth + i)));
            if constexpr (MapDepth) {
                d = gatherDepths(depthTable, d, lastDepth);
                _mm256_storeu_si256((__m256i *)(depthOut + i), _mm512_cvtepi32_epi16(d));
            }
            const __m512i t = _mm512_srli_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(d, lo), k), 11);
            w = _mm512_or_si512(w, _mm512_and_si512(t, zMask));
        } else if constexpr (Z == ZSource::Byte3Depth) {
            __m512i d = preparedIsIdentity ? arranged : lookup(prepared, arranged);
            d = _mm512_and_si512(d, byte0);
            w = _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(d, cutDepth), w, black);
            const __m512i t = _mm512_srli_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(d, lo), k), 11);
            w = _mm512_or_si512(w, _mm512_and_si512(t, zMask));
        } else if constexpr (Z == ZSource::PlaneIndex) {
            const __m512i plane = _mm512_and_si512(arranged, _mm512_set1_epi32(0x1F));
            w = _mm512_or_si512(w, _mm512_slli_epi32(plane, 5));
        }
        _mm512_storeu_si512(out + i, w);
    }
    if (whole < n) {
        WordParams tail = p;
        if (tail.depth) tail.depth += whole;
        if (tail.depthOut) tail.depthOut += whole;
        baselineKernels().buildWords(L, Z, src + whole * bpp, n - whole, out + whole, tail);
    }
}

VX_WIDE void buildWords(Layout layout, ZSource z, const std::uint8_t *src, std::size_t n,
                        std::uint32_t *out, const WordParams &p) {
    switch (layout) {
    case Layout::RGB3:
        return z == ZSource::Depth16 ? wordsOf<Layout::RGB3, ZSource::Depth16>(src, n, out, p)
                                     : wordsOf<Layout::RGB3, ZSource::None>(src, n, out, p);
    case Layout::BGR3:
        return z == ZSource::Depth16 ? wordsOf<Layout::BGR3, ZSource::Depth16>(src, n, out, p)
                                     : wordsOf<Layout::BGR3, ZSource::None>(src, n, out, p);
    case Layout::RGBX4:
        switch (z) {
        case ZSource::Depth16: return wordsOf<Layout::RGBX4, ZSource::Depth16>(src, n, out, p);
        case ZSource::Byte3Depth:
            return wordsOf<Layout::RGBX4, ZSource::Byte3Depth>(src, n, out, p);
        case ZSource::PlaneIndex:
            return wordsOf<Layout::RGBX4, ZSource::PlaneIndex>(src, n, out, p);
        case ZSource::None: return wordsOf<Layout::RGBX4, ZSource::None>(src, n, out, p);
        }
        return;
    case Layout::XBGR4:
        return z == ZSource::Depth16 ? wordsOf<Layout::XBGR4, ZSource::Depth16>(src, n, out, p)
                                     : wordsOf<Layout::XBGR4, ZSource::None>(src, n, out, p);
    case Layout::BGRZ4: return wordsOf<Layout::BGRZ4, ZSource::Byte3Depth>(src, n, out, p);
    case Layout::GRAY16: return wordsOf<Layout::GRAY16, ZSource::None>(src, n, out, p);
    case Layout::GRAY8: return wordsOf<Layout::GRAY8, ZSource::None>(src, n, out, p);
    }
}

const KernelTable kWide = {minMax16,    mapMinMax16,   maxBelow16, replace16,
                           minMaxByte3, maxBelowByte3, buildWords};

} // namespace

const KernelTable &wideKernels() { return kWide; }

} // namespace vx::core
