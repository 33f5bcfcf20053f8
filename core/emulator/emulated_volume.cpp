#include "emulator/emulated_volume.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "emulator/emulator.h"
#include "vx.h"

namespace vx::emu {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 748;
constexpr int kPlanePixels = kWidth * kHeight;
constexpr int kPlaneBytes = kPlanePixels * 3;
// 768 rows of 3072 bytes (the image plus 20 rows of room for the image offset), followed by
// width x 20 bytes that are never touched.
constexpr std::size_t kBufferBytes = std::size_t(kPlaneBytes) + kWidth * 20 * 4;

inline void putPixel(std::uint8_t *px, unsigned r, unsigned g, unsigned b) {
    px[0] = std::uint8_t(r);
    px[1] = std::uint8_t(g);
    px[2] = std::uint8_t(b);
}

EmulatedVolume g_volume;
PlaneAllocator g_allocator = nullptr;

void *allocateZeroed(std::size_t count, std::size_t size) {
    return g_allocator ? g_allocator(count, size) : std::calloc(count, size);
}

} // namespace

void setPlaneAllocator(PlaneAllocator allocator) { g_allocator = allocator; }

EmulatedVolume &volume() { return g_volume; }

void EmulatedVolume::create() {
    // A second create without destroy would leak the old stores: release them first.
    destroy();
    imageOffset_ = 1;
    boundingBox_ = 1;
    antiAliasing_ = 1;
    swapOnWrite_ = 1;
    clearOnSwap_ = 1;
    regionMode_ = 0;
    width_ = kWidth;
    height_ = kHeight;
    planeCount_ = kPlanes;
    planePixels_ = kPlanePixels;
    planeBytes_ = kPlaneBytes;

    backStore_ = static_cast<std::uint8_t **>(allocateZeroed(kPlanes, sizeof(std::uint8_t *)));
    frontStore_ = static_cast<std::uint8_t **>(allocateZeroed(kPlanes, sizeof(std::uint8_t *)));
    for (std::uint8_t **store : {backStore_, frontStore_}) {
        if (!store) {
            messageBox("Error", "Ran out of memory");
            continue;
        }
        for (int i = 0; i < kPlanes; ++i) {
            store[i] = static_cast<std::uint8_t *>(allocateZeroed(1, kBufferBytes));
            if (!store[i]) messageBox("Error", "Ran out of memory");
        }
    }
    backView_ = static_cast<std::uint8_t **>(allocateZeroed(kPlanes, sizeof(std::uint8_t *)));
    frontView_ = static_cast<std::uint8_t **>(allocateZeroed(kPlanes, sizeof(std::uint8_t *)));
    for (int i = 0; i < kPlanes; ++i) {
        // A missing buffer has no view either, so that no write can reach it.
        const std::size_t shift = std::size_t(kOffsetRows - i) * kRowBytes;
        if (backView_ && backStore_ && backStore_[i]) backView_[i] = backStore_[i] + shift;
        if (frontView_ && frontStore_ && frontStore_[i]) frontView_[i] = frontStore_[i] + shift;
        blockOffset_[i] = i * kPlanePixels * 4;
    }
    std::memset(chosenPlanes_, 0, sizeof chosenPlanes_);
    displayMode_ = VX_EMU_DISPLAY_NORMAL;
}

void EmulatedVolume::destroy() {
    for (std::uint8_t **store : {backStore_, frontStore_}) {
        if (!store) continue;
        for (int i = 0; i < kPlanes; ++i) std::free(store[i]);
        std::free(store);
    }
    backStore_ = frontStore_ = nullptr;
    std::free(backView_);
    std::free(frontView_);
    backView_ = frontView_ = nullptr;
    width_ = height_ = planeCount_ = planePixels_ = 0;
}

void EmulatedVolume::setPlaneChosen(int plane, bool on) {
    if (plane >= 0 && plane < kPlanes) chosenPlanes_[plane] = on ? 1 : 0;
}

bool EmulatedVolume::planeChosen(int plane) const {
    return plane >= 0 && plane < kPlanes && chosenPlanes_[plane] != 0;
}

const std::uint8_t *EmulatedVolume::planeBuffer(int store, int plane) const {
    if (plane < 0 || plane >= kPlanes) return nullptr;
    std::uint8_t *const *s = store == 0 ? frontStore_ : store == 1 ? backStore_ : nullptr;
    return s ? s[plane] : nullptr;
}

void EmulatedVolume::execute(int op, int a1, int a2, int a3, int a4, int a5, int a6) {
    switch (op) {
    case VX_DEVOP_SUB_PLANE:
        x0_ = a1, y0_ = a2, x1_ = a4, y1_ = a5;
        regionMode_ = 1;
        break;
    case VX_DEVOP_FULL_PLANE:
        regionMode_ = 2;
        break;
    case VX_DEVOP_SUB_BLOCK:
        x0_ = a1, y0_ = a2, z0_ = a3, x1_ = a4, y1_ = a5, z1_ = a6;
        regionMode_ = 3;
        break;
    case VX_DEVOP_FULL_BLOCK:
        regionMode_ = 4;
        break;
    case VX_DEVOP_SWAP:
        swap();
        if (clearOnSwap_) clearBack();
        break;
    case VX_DEVOP_CLEAR_ON_SWAP:
        clearOnSwap_ = a1;
        break;
    case VX_DEVOP_SWAP_ON_WRITE:
        swapOnWrite_ = a1;
        break;
    default: // VX_DEVOP_NOP and unknown codes
        break;
    }
}

void EmulatedVolume::swap() {
    std::swap(frontStore_, backStore_);
    std::swap(frontView_, backView_);
}

void EmulatedVolume::clearBack() {
    if (!backStore_) return;
    for (int i = 0; i < planeCount_; ++i)
        if (backStore_[i]) std::memset(backStore_[i], 0, std::size_t(planeBytes_));
}

namespace {

// Routes one plane word to its plane (and, anti-aliased, the next one) at byte offset `pos`
// of a row-major plane. Words that name plane 20 or above have no plane and are dropped.
inline void routePlaneWord(std::uint8_t *const *dest, std::size_t pos, std::uint32_t w,
                           bool antiAliased, bool maskPlainBlue) {
    const unsigned b0 = w & 0xFF, b1 = (w >> 8) & 0xFF, g = (w >> 16) & 0xFF, r = w >> 24;
    if (antiAliased) {
        const unsigned p = ((b1 & 3) << 3) | (b0 >> 5);
        const unsigned f = b0 & 31;
        const unsigned b = b1 & 0xF8;
        if (p >= EmulatedVolume::kPlanes) return;
        const unsigned rn = (r * f) >> 5, gn = (g * f) >> 5, bn = (b * f) >> 5;
        if (dest[p]) putPixel(dest[p] + pos, r - rn, g - gn, b - bn);
        if (p < EmulatedVolume::kPlanes - 1 && dest[p + 1]) putPixel(dest[p + 1] + pos, rn, gn, bn);
    } else {
        const unsigned p = b0 & 31;
        if (p >= EmulatedVolume::kPlanes || !dest[p]) return;
        putPixel(dest[p] + pos, r, g, maskPlainBlue ? (b1 & 0xF8) : b1);
    }
}

inline void putBlockWord(std::uint8_t *px, std::uint32_t w) {
    putPixel(px, w >> 24, (w >> 16) & 0xFF, (w >> 8) & 0xFF);
}

} // namespace

void EmulatedVolume::write(const std::uint32_t *words) {
    if (displayMode_ == VX_EMU_DISPLAY_NONE) return;
    std::uint8_t *const *dest = imageOffset_ ? backView_ : backStore_;
    if (dest && words && width_ > 0) {
        const bool aa = antiAliasing_ != 0;
        switch (regionMode_) {
        case 2: // full plane
            for (int k = 0; k < kPlanePixels; ++k)
                routePlaneWord(dest, std::size_t(k) * 3, words[k], aa, true);
            break;
        case 1: { // sub plane: rows y0..y1 of columns x0..x1, clipped to the plane
            const long long w = (long long)x1_ - x0_ + 1;
            const int ya = std::max(y0_, 0), yb = std::min(y1_, kHeight - 1);
            const int xa = std::max(x0_, 0), xb = std::min(x1_, kWidth - 1);
            if (w <= 0) break;
            for (int y = ya; y <= yb; ++y) {
                const std::uint32_t *src = words + ((long long)y - y0_) * w;
                for (int x = xa; x <= xb; ++x)
                    routePlaneWord(dest, (std::size_t(y) * kWidth + x) * 3, src[x - x0_], aa,
                                   false);
            }
            break;
        }
        case 4: // full block
            for (int i = 0; i < kPlanes; ++i) {
                if (!dest[i]) continue;
                const std::uint32_t *src = words + blockOffset_[i] / 4;
                for (int k = 0; k < kPlanePixels; ++k) putBlockWord(dest[i] + std::size_t(k) * 3, src[k]);
            }
            break;
        case 3: { // sub block: each plane's source spans y1 - y0 + 1 rows
            const long long w = (long long)x1_ - x0_ + 1;
            const long long h = (long long)y1_ - y0_ + 1;
            if (w <= 0 || h <= 0) break;
            // Through the views the rows past height - 20 are not written.
            const int rowLimit = (imageOffset_ && y1_ > kHeight - 20) ? kHeight - 20 : y1_;
            const int za = std::max(z0_, 0), zb = std::min(z1_, kPlanes - 1);
            const int ya = std::max(y0_, 0), yb = std::min(rowLimit, kHeight - 1);
            const int xa = std::max(x0_, 0), xb = std::min(x1_, kWidth - 1);
            for (int z = za; z <= zb; ++z) {
                if (!dest[z]) continue;
                for (int y = ya; y <= yb; ++y) {
                    const std::uint32_t *src = words + (((long long)z - z0_) * h + (y - y0_)) * w;
                    for (int x = xa; x <= xb; ++x)
                        putBlockWord(dest[z] + (std::size_t(y) * kWidth + x) * 3, src[x - x0_]);
                }
            }
            break;
        }
        default: // no region yet: nothing is stored
            break;
        }
    }
    if (swapOnWrite_) {
        swap();
        if (clearOnSwap_) clearBack();
    }
}

} // namespace vx::emu
