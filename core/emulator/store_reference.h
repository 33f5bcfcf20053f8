// The straightforward store of the emulated volume: every word read in order and routed one
// pixel at a time, exactly as the device defines its writes. The device uses it where a plane
// buffer is missing; tests and benchmarks compare the device's fast kernels with it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vx::emu::reference {

inline constexpr int kWidth = 1024, kHeight = 748, kPlanes = 20;
inline constexpr int kPlanePixels = kWidth * kHeight;

struct Region {
    int mode = 0; // 1 sub plane, 2 full plane, 3 sub block, 4 full block
    int x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
    bool imageOffset = false;
    bool antiAliasing = false;
};

inline void putPixel(std::uint8_t *px, unsigned r, unsigned g, unsigned b) {
    px[0] = std::uint8_t(r);
    px[1] = std::uint8_t(g);
    px[2] = std::uint8_t(b);
}

// Routes one plane word to its plane (and, anti-aliased, the next one) at byte offset `pos`
// of a row-major plane. Words that name plane 20 or above have no plane and are dropped.
inline void routePlaneWord(std::uint8_t *const *dest, std::size_t pos, std::uint32_t w,
                           bool antiAliased, bool maskPlainBlue) {
    const unsigned b0 = w & 0xFF, b1 = (w >> 8) & 0xFF, g = (w >> 16) & 0xFF, r = w >> 24;
    if (antiAliased) {
        const unsigned p = ((b1 & 3) << 3) | (b0 >> 5);
        const unsigned f = b0 & 31;
        const unsigned b = b1 & 0xF8;
        if (p >= unsigned(kPlanes)) return;
        const unsigned rn = (r * f) >> 5, gn = (g * f) >> 5, bn = (b * f) >> 5;
        if (dest[p]) putPixel(dest[p] + pos, r - rn, g - gn, b - bn);
        if (p < unsigned(kPlanes) - 1 && dest[p + 1]) putPixel(dest[p + 1] + pos, rn, gn, bn);
    } else {
        const unsigned p = b0 & 31;
        if (p >= unsigned(kPlanes) || !dest[p]) return;
        putPixel(dest[p] + pos, r, g, maskPlainBlue ? (b1 & 0xF8) : b1);
    }
}

inline void putBlockWord(std::uint8_t *px, std::uint32_t w) {
    putPixel(px, w >> 24, (w >> 16) & 0xFF, (w >> 8) & 0xFF);
}

// Stores one frame into `dest` (the store or the views of the back store) for the region.
inline void store(std::uint8_t *const *dest, const Region &g, const std::uint32_t *words) {
    const bool aa = g.antiAliasing;
    switch (g.mode) {
    case 2: // full plane
        for (int k = 0; k < kPlanePixels; ++k)
            routePlaneWord(dest, std::size_t(k) * 3, words[k], aa, true);
        break;
    case 1: { // sub plane: rows y0..y1 of columns x0..x1, clipped to the plane
        const long long w = (long long)g.x1 - g.x0 + 1;
        const int ya = std::max(g.y0, 0), yb = std::min(g.y1, kHeight - 1);
        const int xa = std::max(g.x0, 0), xb = std::min(g.x1, kWidth - 1);
        if (w <= 0) break;
        for (int y = ya; y <= yb; ++y) {
            const std::uint32_t *src = words + ((long long)y - g.y0) * w;
            for (int x = xa; x <= xb; ++x)
                routePlaneWord(dest, (std::size_t(y) * kWidth + x) * 3, src[x - g.x0], aa, false);
        }
        break;
    }
    case 4: // full block
        for (int i = 0; i < kPlanes; ++i) {
            if (!dest[i]) continue;
            const std::uint32_t *src = words + std::size_t(i) * kPlanePixels;
            for (int k = 0; k < kPlanePixels; ++k)
                putBlockWord(dest[i] + std::size_t(k) * 3, src[k]);
        }
        break;
    case 3: { // sub block: each plane's source spans y1 - y0 + 1 rows
        const long long w = (long long)g.x1 - g.x0 + 1;
        const long long h = (long long)g.y1 - g.y0 + 1;
        if (w <= 0 || h <= 0) break;
        // Through the views the rows past height - 20 are not written.
        const int rowLimit = (g.imageOffset && g.y1 > kHeight - 20) ? kHeight - 20 : g.y1;
        const int za = std::max(g.z0, 0), zb = std::min(g.z1, kPlanes - 1);
        const int ya = std::max(g.y0, 0), yb = std::min(rowLimit, kHeight - 1);
        const int xa = std::max(g.x0, 0), xb = std::min(g.x1, kWidth - 1);
        for (int z = za; z <= zb; ++z) {
            if (!dest[z]) continue;
            for (int y = ya; y <= yb; ++y) {
                const std::uint32_t *src = words + (((long long)z - g.z0) * h + (y - g.y0)) * w;
                for (int x = xa; x <= xb; ++x)
                    putBlockWord(dest[z] + (std::size_t(y) * kWidth + x) * 3, src[x - g.x0]);
            }
        }
        break;
    }
    default: // no region yet: nothing is stored
        break;
    }
}

} // namespace vx::emu::reference
