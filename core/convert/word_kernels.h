// The kernels behind plane_kernels.h, in one table per kernel level: depth statistics and
// rewrites of the depth pass, and the builder of plane words from one pixel layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::core {

// Where the three colour bytes of a pixel sit, and how many bytes a pixel has.
enum class Layout {
    RGB3,   // R, G, B
    BGR3,   // B, G, R
    RGBX4,  // R, G, B, byte 3 (ignored, 8-bit depth or plane index)
    XBGR4,  // ignored, B, G, R
    BGRZ4,  // B, G, R, 8-bit depth
    GRAY16, // grey low byte, grey high byte (the high byte is the grey)
    GRAY8,  // grey
};

// Where the packed Z of a word comes from.
enum class ZSource {
    None,        // block words: byte 0 and the two Z bits are 0
    Depth16,     // the prepared 16-bit depth buffer
    Byte3Depth,  // byte 3 of the pixel through the 256-entry prepared-depth table
    PlaneIndex,  // byte 3 of the pixel: (byte 3 AND 0x1F) x 32
};

struct WordParams {
    const std::uint8_t *intensity = nullptr;
    // Packed Z = ((d - lo) x k, as unsigned, >> 11) AND 0x3FF for a prepared depth d.
    int lo = 0;
    int k = 0;
    const std::uint16_t *depth = nullptr;   // Depth16
    // Depth16: when set, each depth is first mapped through this table and the mapped depth
    // written to depthOut[i] (the same buffer), so that the mapping needs no pass of its own.
    const std::uint16_t *depthTable = nullptr;
    std::uint16_t *depthOut = nullptr;
    const std::uint8_t *prepared = nullptr; // Byte3Depth: prepared depth of each byte-3 value
    bool preparedIsIdentity = false;        // prepared[v] == v for every v
    // Byte3Depth under method 203: pixels whose prepared depth equals cutDepth were cut and
    // take the colour I[0] in every component. -1: nothing is cut.
    int cutDepth = -1;
};

struct KernelTable {
    // Smallest and largest value of depth[0..n), n >= 1.
    void (*minMax16)(const std::uint16_t *depth, std::size_t n, unsigned *lo, unsigned *hi);
    // depth[i] = table[depth[i]], then smallest and largest mapped value, n >= 1.
    void (*mapMinMax16)(std::uint16_t *depth, std::size_t n, const std::uint16_t *table,
                        unsigned *lo, unsigned *hi);
    // Largest depth below `limit`, 0 when there is none.
    unsigned (*maxBelow16)(const std::uint16_t *depth, std::size_t n, unsigned limit);
    // Every depth equal to `from` becomes `to`.
    void (*replace16)(std::uint16_t *depth, std::size_t n, unsigned from, unsigned to);
    // Smallest and largest table[byte 3] over n 4-byte pixels (table null: the identity).
    void (*minMaxByte3)(const std::uint8_t *frame, std::size_t n, const std::uint8_t *table,
                        unsigned *lo, unsigned *hi);
    // Largest table[byte 3] below `limit` over n 4-byte pixels, 0 when there is none.
    unsigned (*maxBelowByte3)(const std::uint8_t *frame, std::size_t n,
                              const std::uint8_t *table, unsigned limit);
    // Words of n pixels of `layout`, Z from `z`.
    void (*buildWords)(Layout layout, ZSource z, const std::uint8_t *src, std::size_t n,
                       std::uint32_t *out, const WordParams &params);
};

const KernelTable &baselineKernels();
// Only valid where detectedKernelLevel() is Wide.
const KernelTable &wideKernels();

// The packed Z of a prepared depth, as the plain kernels and the tails compute it.
inline std::uint32_t packedZ(unsigned d, int lo, int k) {
    return ((std::uint32_t(d) - std::uint32_t(lo)) * std::uint32_t(k) >> 11) & 0x3FFu;
}

// The plane scale k for the bounds lo and hi.
inline int planeScale(int lo, int hi) {
    const int span = hi - lo;
    return span == 0 ? 0x130000 : 0x130000 / span;
}

} // namespace vx::core
