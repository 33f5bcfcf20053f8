// Straightforward frame conversion, one pixel at a time in the order the conversion is
// described: copy, depth pass, then each word byte by byte. The tests hold the library's
// kernels to these words bit for bit, and the benchmark measures the kernels against them.
#pragma once

#include <cstdint>
#include <cstring>

#include "convert/plane_kernels.h"
#include "vx.h"

namespace vx::reference {

using core::DepthBounds;
using core::PlaneJob;

inline std::uint32_t wordOf(unsigned byte0, unsigned byte1, unsigned byte2, unsigned byte3) {
    const std::uint8_t b[4] = {std::uint8_t(byte0), std::uint8_t(byte1), std::uint8_t(byte2),
                               std::uint8_t(byte3)};
    std::uint32_t w;
    std::memcpy(&w, b, 4);
    return w;
}

// The depth pass over n depths, read and written through get/set, mapped through map; blank
// zeroes the colour bytes of one pixel. lo/hi are the user bounds of the width in use, clo/chi
// the computed bounds of that width.
template <typename Get, typename Set, typename Map, typename Blank, typename T>
unsigned depthPass(int method, std::size_t n, Get get, Set set, Map map, Blank blank, T ulo,
                   T uhi, T &clo, T &chi) {
    switch (method) {
    case VX_DEPTHSCAN_FIXED:
        for (std::size_t i = 0; i < n; ++i) {
            unsigned m = map(get(i));
            if (m < ulo) m = ulo;
            else if (m > uhi) m = uhi;
            set(i, m);
        }
        return VX_OK;
    case VX_DEPTHSCAN_MIN_MAX:
    case VX_DEPTHSCAN_SKIP_FARTHEST: {
        clo = chi = T(map(get(0)));
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned m = map(get(i));
            set(i, m);
            if (m < clo) clo = T(m);
            else if (m > chi) chi = T(m);
        }
        if (method == VX_DEPTHSCAN_SKIP_FARTHEST) {
            unsigned s = 0;
            for (std::size_t i = 0; i < n; ++i)
                if (get(i) < chi && get(i) > s) s = get(i);
            for (std::size_t i = 0; i < n; ++i)
                if (get(i) == chi) set(i, s);
            chi = T(s);
        }
        return VX_OK;
    }
    case VX_DEPTHSCAN_BLANK_FAR:
        clo = T(map(get(0)));
        chi = uhi;
        for (std::size_t i = 0; i < n; ++i) {
            unsigned m = map(get(i));
            if (m < clo) clo = T(m);
            if (m >= chi) {
                m = chi;
                blank(i);
            }
            set(i, m);
        }
        return VX_OK;
    default: return VX_ERR_DEPTH_SCAN_METHOD;
    }
}

// (d - lo) x k in signed 32-bit arithmetic (computed wide and wrapped, which gives the same
// bits), as unsigned, shifted right by 11.
inline std::uint32_t zBits(unsigned d, int lo, int k) {
    const long long product = (static_cast<long long>(d) - lo) * k;
    return static_cast<std::uint32_t>(product) >> 11;
}

inline int scaleOf(int lo, int hi) {
    const int span = hi - lo;
    return span == 0 ? 0x130000 : 0x130000 / span;
}

// Plane conversion of one frame, as PlaneJob describes it (job.level is not looked at).
inline unsigned convertPlane(const PlaneJob &job) {
    const std::size_t n = job.pixels;
    const std::uint8_t *I = job.intensity;
    std::uint8_t *frame = job.frame;
    std::uint32_t *work = job.words;
    auto *work8 = reinterpret_cast<std::uint8_t *>(work);
    const unsigned f = job.format;
    DepthBounds &c = *job.computedBounds;
    const DepthBounds &u = *job.userBounds;

    if (f >= VX_FORMAT_RGB_Z16 && f <= VX_FORMAT_XBGR_Z16) {
        const std::size_t bytes = f <= VX_FORMAT_BGR_Z16 ? 3 : 4;
        std::uint16_t *depth = job.depth;
        const unsigned status = depthPass(
            job.method, n, [&](std::size_t i) -> unsigned { return depth[i]; },
            [&](std::size_t i, unsigned v) { depth[i] = std::uint16_t(v); },
            [&](unsigned d) -> unsigned { return job.depthTable16[d]; },
            [&](std::size_t i) {
                for (std::size_t j = 0; j < bytes; ++j) frame[i * bytes + j] = 0;
            },
            u.lo16, u.hi16, c.lo16, c.hi16);
        if (status != VX_OK) return status;
        const int lo = job.boundsInEffect->lo16, hi = job.boundsInEffect->hi16;
        const int k = scaleOf(lo, hi);
        if (bytes == 4) std::memcpy(work, frame, n * 4);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t *px = bytes == 3 ? frame + i * 3 : work8 + i * 4;
            unsigned r, g, b;
            switch (f) {
            case VX_FORMAT_RGB_Z16: r = px[0], g = px[1], b = px[2]; break;
            case VX_FORMAT_BGR_Z16: r = px[2], g = px[1], b = px[0]; break;
            case VX_FORMAT_RGBX_Z16: r = px[0], g = px[1], b = px[2]; break;
            default: r = px[3], g = px[2], b = px[1]; break;
            }
            const std::uint32_t t = zBits(depth[i], lo, k);
            work[i] = wordOf(t & 0xFF, I[b] | ((t >> 8) & 3), I[g], I[r]);
        }
        return VX_OK;
    }
    if (f == VX_FORMAT_RGBZ || f == VX_FORMAT_BGRZ) {
        std::memcpy(work, frame, n * 4);
        const unsigned status = depthPass(
            job.method, n, [&](std::size_t i) -> unsigned { return work8[i * 4 + 3]; },
            [&](std::size_t i, unsigned v) { work8[i * 4 + 3] = std::uint8_t(v); },
            [&](unsigned d) -> unsigned { return job.depthTable8[d]; },
            [&](std::size_t i) { work8[i * 4] = work8[i * 4 + 1] = work8[i * 4 + 2] = 0; },
            u.lo8, u.hi8, c.lo8, c.hi8);
        if (status != VX_OK) return status;
        const int lo = job.boundsInEffect->lo8, hi = job.boundsInEffect->hi8;
        const int k = scaleOf(lo, hi);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t *px = work8 + i * 4;
            const unsigned r = f == VX_FORMAT_RGBZ ? px[0] : px[2];
            const unsigned g = px[1];
            const unsigned b = f == VX_FORMAT_RGBZ ? px[2] : px[0];
            const std::uint32_t t = zBits(px[3], lo, k);
            work[i] = wordOf(t & 0xFF, I[b] | ((t >> 8) & 3), I[g], I[r]);
        }
        return VX_OK;
    }
    if (f == VX_FORMAT_RGBP) {
        std::memcpy(work, frame, n * 4);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t *px = work8 + i * 4;
            const unsigned p = px[3];
            work[i] = wordOf((p & 7) << 5, I[px[2]] | ((p & 0x18) >> 3), I[px[1]], I[px[0]]);
        }
        return VX_OK;
    }
    if (f == VX_FORMAT_MVD32) {
        std::memcpy(work, frame, n * 4);
        return VX_OK;
    }
    return VX_ERR_INVALID_FORMAT;
}

// Block words of `count` voxels; byte 0 of a converted word is 0.
inline void convertBlock(unsigned format, const std::uint8_t *v, std::size_t count,
                         std::uint32_t *words, const std::uint8_t *I) {
    for (std::size_t i = 0; i < count; ++i) {
        switch (format) {
        case VX_FORMAT_MVD32: std::memcpy(words + i, v + i * 4, 4); break;
        case VX_FORMAT_RGB: {
            const std::uint8_t *px = v + i * 3;
            words[i] = wordOf(0, I[px[2]], I[px[1]], I[px[0]]);
            break;
        }
        case VX_FORMAT_BGR: {
            const std::uint8_t *px = v + i * 3;
            words[i] = wordOf(0, I[px[0]], I[px[1]], I[px[2]]);
            break;
        }
        case VX_FORMAT_RGBX: {
            const std::uint8_t *px = v + i * 4;
            words[i] = wordOf(0, I[px[2]], I[px[1]], I[px[0]]);
            break;
        }
        case VX_FORMAT_XBGR: {
            const std::uint8_t *px = v + i * 4;
            words[i] = wordOf(0, I[px[1]], I[px[2]], I[px[3]]);
            break;
        }
        case VX_FORMAT_GRAY16: {
            const unsigned g = I[v[i * 2 + 1]];
            words[i] = wordOf(0, g, g, g);
            break;
        }
        case VX_FORMAT_GRAY8: {
            const unsigned g = I[v[i]];
            words[i] = wordOf(0, g, g, g);
            break;
        }
        default: break;
        }
    }
}

} // namespace vx::reference
