// The plain kernels: scalar code with SSE2 (part of every x86-64 processor) where a depth scan
// vectorises without table lookups. Also the tails of the wide kernels.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "convert/word_kernels.h"

// Keeps the compiler from emulating gathers with SSE2, which is slower than scalar lookups.
#if defined(__clang__)
#define VX_SCALAR_LOOP _Pragma("clang loop vectorize(disable) interleave(disable)")
#else
#define VX_SCALAR_LOOP
#endif

namespace vx::core {

namespace {

void minMax16(const std::uint16_t *depth, std::size_t n, unsigned *lo, unsigned *hi) {
    // SSE2 has only signed 16-bit minimum and maximum: flip the sign bit on the way in and out.
    const __m128i bias = _mm_set1_epi16(short(0x8000));
    __m128i vmin = _mm_set1_epi16(0x7FFF), vmax = _mm_set1_epi16(short(0x8000));
    __m128i vmin2 = vmin, vmax2 = vmax;
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_xor_si128(_mm_loadu_si128((const __m128i *)(depth + i)), bias);
        const __m128i b = _mm_xor_si128(_mm_loadu_si128((const __m128i *)(depth + i + 8)), bias);
        vmin = _mm_min_epi16(vmin, a);
        vmax = _mm_max_epi16(vmax, a);
        vmin2 = _mm_min_epi16(vmin2, b);
        vmax2 = _mm_max_epi16(vmax2, b);
    }
    vmin = _mm_xor_si128(_mm_min_epi16(vmin, vmin2), bias);
    vmax = _mm_xor_si128(_mm_max_epi16(vmax, vmax2), bias);
    std::uint16_t mins[8], maxs[8];
    _mm_storeu_si128((__m128i *)mins, vmin);
    _mm_storeu_si128((__m128i *)maxs, vmax);
    unsigned l = depth[0], h = depth[0];
    if (i > 0) {
        for (int j = 0; j < 8; ++j) {
            l = std::min<unsigned>(l, mins[j]);
            h = std::max<unsigned>(h, maxs[j]);
        }
    }
    for (; i < n; ++i) {
        l = std::min<unsigned>(l, depth[i]);
        h = std::max<unsigned>(h, depth[i]);
    }
    *lo = l;
    *hi = h;
}

void mapMinMax16(std::uint16_t *depth, std::size_t n, const std::uint16_t *table, unsigned *lo,
                 unsigned *hi) {
    unsigned l0 = table[depth[0]], h0 = l0, l1 = l0, h1 = l0;
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const unsigned a = table[depth[i]], b = table[depth[i + 1]];
        depth[i] = std::uint16_t(a);
        depth[i + 1] = std::uint16_t(b);
        l0 = std::min(l0, a);
        h0 = std::max(h0, a);
        l1 = std::min(l1, b);
        h1 = std::max(h1, b);
    }
    for (; i < n; ++i) {
        const unsigned a = table[depth[i]];
        depth[i] = std::uint16_t(a);
        l0 = std::min(l0, a);
        h0 = std::max(h0, a);
    }
    *lo = std::min(l0, l1);
    *hi = std::max(h0, h1);
}

unsigned maxBelow16(const std::uint16_t *depth, std::size_t n, unsigned limit) {
    unsigned best = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (depth[i] < limit) best = std::max<unsigned>(best, depth[i]);
    return best;
}

void replace16(std::uint16_t *depth, std::size_t n, unsigned from, unsigned to) {
    for (std::size_t i = 0; i < n; ++i)
        if (depth[i] == from) depth[i] = std::uint16_t(to);
}

void minMaxByte3(const std::uint8_t *frame, std::size_t n, const std::uint8_t *table,
                 unsigned *lo, unsigned *hi) {
    std::size_t i = 0;
    unsigned l = 255, h = 0;
    if (!table) {
        // Byte-wise minimum and maximum over whole pixels; the other bytes are forced so that
        // only byte 3 can win.
        const __m128i keep3 = _mm_set1_epi32(int(0xFF000000u));
        const __m128i fill = _mm_set1_epi32(0x00FFFFFF);
        __m128i vmin = _mm_set1_epi8(-1), vmax = _mm_setzero_si128();
        for (; i + 4 <= n; i += 4) {
            const __m128i v = _mm_loadu_si128((const __m128i *)(frame + i * 4));
            vmin = _mm_min_epu8(vmin, _mm_or_si128(v, fill));
            vmax = _mm_max_epu8(vmax, _mm_and_si128(v, keep3));
        }
        std::uint8_t mins[16], maxs[16];
        _mm_storeu_si128((__m128i *)mins, vmin);
        _mm_storeu_si128((__m128i *)maxs, vmax);
        for (int j = 3; j < 16; j += 4) {
            l = std::min<unsigned>(l, mins[j]);
            h = std::max<unsigned>(h, maxs[j]);
        }
        for (; i < n; ++i) {
            l = std::min<unsigned>(l, frame[i * 4 + 3]);
            h = std::max<unsigned>(h, frame[i * 4 + 3]);
        }
    } else {
        for (; i < n; ++i) {
            const unsigned m = table[frame[i * 4 + 3]];
            l = std::min(l, m);
            h = std::max(h, m);
        }
    }
    *lo = l;
    *hi = h;
}

unsigned maxBelowByte3(const std::uint8_t *frame, std::size_t n, const std::uint8_t *table,
                       unsigned limit) {
    unsigned best = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned v = frame[i * 4 + 3];
        const unsigned m = table ? table[v] : v;
        if (m < limit) best = std::max(best, m);
    }
    return best;
}

// The intensity table shifted into the red, green and blue bytes of a word, so that a word
// is three lookups ORed together.
struct ColourTables {
    std::uint32_t r[256], g[256], b[256];
    explicit ColourTables(const std::uint8_t *intensity) {
        for (int v = 0; v < 256; ++v) {
            r[v] = std::uint32_t(intensity[v]) << 24;
            g[v] = std::uint32_t(intensity[v]) << 16;
            b[v] = std::uint32_t(intensity[v]) << 8;
        }
    }
};

template <Layout L> constexpr std::size_t bytesPerPixel() {
    switch (L) {
    case Layout::RGB3:
    case Layout::BGR3: return 3;
    case Layout::GRAY16: return 2;
    case Layout::GRAY8: return 1;
    default: return 4;
    }
}

// Offsets of red, green and blue inside a pixel.
template <Layout L> struct Offsets;
template <> struct Offsets<Layout::RGB3> { static constexpr int r = 0, g = 1, b = 2; };
template <> struct Offsets<Layout::BGR3> { static constexpr int r = 2, g = 1, b = 0; };
template <> struct Offsets<Layout::RGBX4> { static constexpr int r = 0, g = 1, b = 2; };
template <> struct Offsets<Layout::XBGR4> { static constexpr int r = 3, g = 2, b = 1; };
template <> struct Offsets<Layout::BGRZ4> { static constexpr int r = 2, g = 1, b = 0; };
template <> struct Offsets<Layout::GRAY16> { static constexpr int r = 1, g = 1, b = 1; };
template <> struct Offsets<Layout::GRAY8> { static constexpr int r = 0, g = 0, b = 0; };

// MapDepth: Depth16 with a table to map the depths through on the way. Cut: Byte3Depth under
// method 203. Both are chosen once per frame, not per pixel.
template <Layout L, ZSource Z, bool MapDepth = false, bool Cut = false>
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
void wordsOf(const std::uint8_t *src, std::size_t n, std::uint32_t *out, const WordParams &p) {
    if constexpr (Z == ZSource::Depth16 && !MapDepth)
        if (p.depthTable) return wordsOf<L, Z, true>(src, n, out, p);
    if constexpr (Z == ZSource::Byte3Depth && !Cut)
        if (p.cutDepth >= 0) return wordsOf<L, Z, false, true>(src, n, out, p);
    constexpr std::size_t bpp = bytesPerPixel<L>();
    using O = Offsets<L>;
    const ColourTables c(p.intensity);
    std::uint32_t zOfByte[256] = {};
    std::uint32_t black = 0;
    if constexpr (Z == ZSource::Byte3Depth) {
        for (int v = 0; v < 256; ++v) zOfByte[v] = packedZ(p.prepared[v], p.lo, p.k);
        black = c.r[0] | c.g[0] | c.b[0];
    }
    // Locals, since the words written could otherwise alias the parameters' ints.
    const int lo = p.lo, k = p.k, cutDepth = p.cutDepth;
    const std::uint16_t *const depth = p.depth;
    const std::uint16_t *const depthTable = p.depthTable;
    std::uint16_t *const depthOut = p.depthOut;
    const std::uint8_t *const prepared = p.prepared;
    // Table lookups do not vectorise with SSE2: one pixel at a time, in scalar registers.
    VX_SCALAR_LOOP
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t *px = src + i * bpp;
        // A 4-byte pixel is read with one load and split in registers, which leaves the load
        // ports to the table lookups.
        unsigned byte[4] = {0, 0, 0, 0};
        if constexpr (bpp == 4) {
            std::uint32_t v;
            std::memcpy(&v, px, 4);
            byte[0] = v & 0xFF, byte[1] = (v >> 8) & 0xFF, byte[2] = (v >> 16) & 0xFF,
            byte[3] = v >> 24;
        } else {
            for (std::size_t j = 0; j < bpp; ++j) byte[j] = px[j];
        }
        std::uint32_t w = c.r[byte[O::r]] | c.g[byte[O::g]] | c.b[byte[O::b]];
        if constexpr (Z == ZSource::Depth16) {
            unsigned d = depth[i];
            if constexpr (MapDepth) {
                d = depthTable[d];
                depthOut[i] = std::uint16_t(d);
            }
            w |= packedZ(d, lo, k);
        } else if constexpr (Z == ZSource::Byte3Depth) {
            const unsigned d = byte[3];
            if constexpr (Cut)
                if (int(prepared[d]) == cutDepth) w = black;
            w |= zOfByte[d];
        } else if constexpr (Z == ZSource::PlaneIndex) {
            w |= std::uint32_t(byte[3] & 0x1F) << 5;
        }
        out[i] = w;
    }
}

void buildWords(Layout layout, ZSource z, const std::uint8_t *src, std::size_t n,
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

const KernelTable kBaseline = {minMax16,    mapMinMax16,   maxBelow16, replace16,
                               minMaxByte3, maxBelowByte3, buildWords};

} // namespace

const KernelTable &baselineKernels() { return kBaseline; }

} // namespace vx::core
