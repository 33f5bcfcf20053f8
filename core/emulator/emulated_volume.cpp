#include "emulator/emulated_volume.h"

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "emulator/emulator.h"
#include "emulator/store_reference.h"
#include "vx.h"

namespace vx::emu {

namespace {

constexpr int kWidth = EmulatedVolume::kWidth;
constexpr int kHeight = EmulatedVolume::kHeight;
constexpr int kPlanes = EmulatedVolume::kPlanes;
constexpr int kRowBytes = EmulatedVolume::kRowBytes;
constexpr int kPlanePixels = kWidth * kHeight;
constexpr int kPlaneBytes = kPlanePixels * 3;
// 768 rows of 3072 bytes (the image plus 20 rows of room for the image offset), followed by
// width x 20 bytes that are never touched.
constexpr std::size_t kBufferBytes = std::size_t(kPlaneBytes) + kWidth * 20 * 4;
// The stores write a plane row while the same columns two rows further down are fetched:
// a frame's destination rows are rarely in the cache (the store was just cleared).
constexpr std::size_t kPrefetchAhead = 2 * kRowBytes;

EmulatedVolume g_volume;
PlaneAllocator g_allocator = nullptr;

void *allocateZeroed(std::size_t count, std::size_t size) {
    return g_allocator ? g_allocator(count, size) : std::calloc(count, size);
}

inline void put3(std::uint8_t *q, std::uint64_t lanes) {
    q[0] = std::uint8_t(lanes);
    q[1] = std::uint8_t(lanes >> 16);
    q[2] = std::uint8_t(lanes >> 32);
}

inline void prefetch(const std::uint8_t *p) {
    _mm_prefetch(reinterpret_cast<const char *>(p), _MM_HINT_T0);
}

// Bit p, for plane p: a table load instead of a shift by a variable count.
constexpr auto kPlaneBit = [] {
    std::array<std::uint32_t, 32> bits{};
    for (int p = 0; p < 32; ++p) bits[std::size_t(p)] = 1u << p;
    return bits;
}();

// All ones when v is non-zero, else zero.
inline std::uint32_t maskOf(std::uint64_t v) { return 0u - std::uint32_t(v != 0); }

// One row of plane words at byte offset `pos` of the destination planes. The colour is held
// as three 16-bit lanes (red, green, blue at bits 0, 16, 32) so that one multiplication
// splits all three components by the fraction; the products stay below 2^13 and the shift
// by 5 brings at most five stray bits into a lane's top byte, which the mask removes.
// Returns the planes that received a colour other than black (bit p for plane p); the bits
// are gathered in a register, so that pixels of one plane do not wait for each other.
template <bool AntiAliased, bool MaskPlainBlue>
inline std::uint32_t planeWordRow(std::uint8_t *const *dest, const std::uint32_t *src, int count,
                                  std::size_t pos) {
    std::uint32_t coloured = 0;
    for (int x = 0; x < count; ++x, pos += 3) {
        const std::uint32_t v = src[x];
        if (AntiAliased) {
            const unsigned p = (v >> 5) & 31; // the two low bits of byte 1, then byte 0's top 3
            if (p >= unsigned(kPlanes)) continue;
            const unsigned f = v & 31;
            const std::uint64_t c =
                (v >> 24) | (v & 0xFF0000u) | (std::uint64_t(v & 0xF800u) << 24);
            const std::uint64_t next = ((c * f) >> 5) & 0x000000FF00FF00FFull;
            const std::uint64_t own = c - next;
            const std::uint32_t bit = kPlaneBit[p];
            std::uint8_t *q = dest[p] + pos;
            put3(q, own);
            prefetch(q + kPrefetchAhead);
            coloured |= bit & maskOf(own);
            if (p < unsigned(kPlanes) - 1) {
                std::uint8_t *q2 = dest[p + 1] + pos;
                put3(q2, next);
                prefetch(q2 + kPrefetchAhead);
                coloured |= (bit << 1) & maskOf(next);
            }
        } else {
            const unsigned p = v & 31;
            if (p >= unsigned(kPlanes)) continue;
            const std::uint32_t b = MaskPlainBlue ? (v >> 8) & 0xF8 : (v >> 8) & 0xFF;
            std::uint8_t *q = dest[p] + pos;
            q[0] = std::uint8_t(v >> 24);
            q[1] = std::uint8_t(v >> 16);
            q[2] = std::uint8_t(b);
            prefetch(q + kPrefetchAhead);
            coloured |= kPlaneBit[p] & maskOf((v >> 16) | b);
        }
    }
    return coloured;
}

// One row of block words into one plane; true when any of them has a colour.
inline bool blockWordRow(std::uint8_t *q, const std::uint32_t *src, int count) {
    std::uint32_t any = 0;
    for (int x = 0; x < count; ++x, q += 3) {
        const std::uint32_t v = src[x];
        q[0] = std::uint8_t(v >> 24);
        q[1] = std::uint8_t(v >> 16);
        q[2] = std::uint8_t(v >> 8);
        any |= v;
    }
    return (any >> 8) != 0;
}

// Zeroes n bytes with streaming stores: the cleared store is written again only by the next
// frame, so keeping its lines out of the cache costs nothing and halves the memory traffic.
void zeroStreaming(std::uint8_t *p, std::size_t n) {
    while ((reinterpret_cast<std::uintptr_t>(p) & 15) != 0 && n > 0)
        *p++ = 0, --n;
    const __m128i zero = _mm_setzero_si128();
    for (; n >= 64; n -= 64, p += 64) {
        _mm_stream_si128(reinterpret_cast<__m128i *>(p), zero);
        _mm_stream_si128(reinterpret_cast<__m128i *>(p + 16), zero);
        _mm_stream_si128(reinterpret_cast<__m128i *>(p + 32), zero);
        _mm_stream_si128(reinterpret_cast<__m128i *>(p + 48), zero);
    }
    std::memset(p, 0, n);
}

} // namespace

void setPlaneAllocator(PlaneAllocator allocator) {
    g_allocator = allocator;
}

EmulatedVolume &volume() {
    return g_volume;
}

void EmulatedVolume::create(bool graphics) {
    // A second create without destroy would leak the old stores: release them first.
    destroy();
    if (graphics) createGraphics(1);
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
    for (auto &slot : rows_)
        for (Rows &r : slot)
            r = Rows{};
    frontSlot_ = 0;
    if (graphics) createGraphics(2);
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
    if (graphics) createGraphics(3);
}

void EmulatedVolume::destroy() {
    for (std::uint8_t **store : {backStore_, frontStore_}) {
        if (!store) continue;
        for (int i = 0; i < kPlanes; ++i)
            std::free(store[i]);
        std::free(store);
    }
    backStore_ = frontStore_ = nullptr;
    std::free(backView_);
    std::free(frontView_);
    backView_ = frontView_ = nullptr;
    width_ = height_ = planeCount_ = planePixels_ = 0;
    texWidth_ = 0;
    for (int i = 0; i < kPlanes; ++i) {
        planeTextureReady_[i] = false;
        planeTextureSource_[i] = nullptr;
        planeTextureColoured_[i] = RowRange{};
    }
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

RowRange EmulatedVolume::colouredRows(int store, int plane) const {
    if ((store != 0 && store != 1) || plane < 0 || plane >= kPlanes) return {};
    return rows_[frontSlot_ ^ store][plane].coloured;
}

RowRange EmulatedVolume::changedRows(int store, int plane) const {
    if ((store != 0 && store != 1) || plane < 0 || plane >= kPlanes) return {};
    return rows_[frontSlot_ ^ store][plane].changed;
}

void EmulatedVolume::clearChangedRows(int store, int plane) {
    if ((store != 0 && store != 1) || plane < 0 || plane >= kPlanes) return;
    rows_[frontSlot_ ^ store][plane].changed = RowRange{};
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
    frontSlot_ ^= 1;
}

void EmulatedVolume::clearBack() {
    if (!backStore_) return;
    for (int i = 0; i < planeCount_; ++i) {
        if (!backStore_[i]) continue;
        zeroStreaming(backStore_[i], std::size_t(planeBytes_));
        // The image rows that held colour change to black; the 20 rows below keep theirs.
        Rows &r = backRows(i);
        r.changed.add(r.coloured.clipped(0, kHeight));
        r.coloured = r.coloured.clipped(kHeight, kBufferRows);
    }
    _mm_sfence();
}

void EmulatedVolume::noteRow(int plane, int row, bool coloured) {
    Rows &r = backRows(plane);
    if (coloured) {
        r.coloured.add(row);
        r.changed.add(row);
    } else if (r.coloured.contains(row)) {
        r.changed.add(row); // black over what may have been a colour
    }
}

void EmulatedVolume::noteColouredPlanes(int y, std::uint32_t coloured) {
    while (coloured) {
        const int p = __builtin_ctz(coloured);
        coloured &= coloured - 1;
        Rows &r = backRows(p);
        const int row = y + (imageOffset_ ? kOffsetRows - p : 0);
        r.coloured.add(row);
        r.changed.add(row);
    }
}

void EmulatedVolume::noteOverwrites(int y0, int y1) {
    // Rows y0..y1 of every plane may have received black over a colour.
    for (int p = 0; p < kPlanes; ++p) {
        Rows &r = backRows(p);
        const int shift = imageOffset_ ? kOffsetRows - p : 0;
        r.changed.add(r.coloured.clipped(y0 + shift, y1 + 1 + shift));
    }
}

void EmulatedVolume::noteEverythingChanged() {
    for (int p = 0; p < kPlanes; ++p) {
        Rows &r = backRows(p);
        r.coloured = r.changed = RowRange{0, kBufferRows};
    }
}

void EmulatedVolume::storeFullPlane(std::uint8_t *const *dest, const std::uint32_t *words) {
    noteOverwrites(0, kHeight - 1);
    for (int y = 0; y < kHeight; ++y) {
        const std::uint32_t *src = words + std::size_t(y) * kWidth;
        const std::size_t pos = std::size_t(y) * kRowBytes;
        noteColouredPlanes(y, antiAliasing_ ? planeWordRow<true, true>(dest, src, kWidth, pos)
                                            : planeWordRow<false, true>(dest, src, kWidth, pos));
    }
}

void EmulatedVolume::storeSubPlane(std::uint8_t *const *dest, const std::uint32_t *words) {
    // Rows y0..y1 of columns x0..x1, clipped to the plane; the source keeps its full width.
    const long long w = (long long)x1_ - x0_ + 1;
    if (w <= 0) return;
    const int ya = std::max(y0_, 0), yb = std::min(y1_, kHeight - 1);
    const int xa = std::max(x0_, 0), xb = std::min(x1_, kWidth - 1);
    if (xa > xb || ya > yb) return;
    noteOverwrites(ya, yb);
    const int n = xb - xa + 1;
    for (int y = ya; y <= yb; ++y) {
        const std::uint32_t *src = words + ((long long)y - y0_) * w + (xa - x0_);
        const std::size_t pos = (std::size_t(y) * kWidth + xa) * 3;
        noteColouredPlanes(y, antiAliasing_ ? planeWordRow<true, true>(dest, src, n, pos)
                                            : planeWordRow<false, false>(dest, src, n, pos));
    }
}

void EmulatedVolume::storeFullBlock(std::uint8_t *const *dest, const std::uint32_t *words) {
    for (int i = 0; i < kPlanes; ++i) {
        const std::uint32_t *src = words + blockOffset_[i] / 4;
        const int shift = imageOffset_ ? kOffsetRows - i : 0;
        for (int y = 0; y < kHeight; ++y)
            noteRow(i, y + shift,
                    blockWordRow(dest[i] + std::size_t(y) * kRowBytes,
                                 src + std::size_t(y) * kWidth, kWidth));
    }
}

void EmulatedVolume::storeSubBlock(std::uint8_t *const *dest, const std::uint32_t *words) {
    // Each plane's source spans y1 - y0 + 1 rows; through the views the rows past
    // height - 20 are not written but still consumed.
    const long long w = (long long)x1_ - x0_ + 1;
    const long long h = (long long)y1_ - y0_ + 1;
    if (w <= 0 || h <= 0) return;
    const int rowLimit = (imageOffset_ && y1_ > kHeight - 20) ? kHeight - 20 : y1_;
    const int za = std::max(z0_, 0), zb = std::min(z1_, kPlanes - 1);
    const int ya = std::max(y0_, 0), yb = std::min(rowLimit, kHeight - 1);
    const int xa = std::max(x0_, 0), xb = std::min(x1_, kWidth - 1);
    if (xa > xb) return;
    for (int z = za; z <= zb; ++z) {
        const int shift = imageOffset_ ? kOffsetRows - z : 0;
        for (int y = ya; y <= yb; ++y) {
            const std::uint32_t *src =
                words + (((long long)z - z0_) * h + (y - y0_)) * w + (xa - x0_);
            noteRow(z, y + shift,
                    blockWordRow(dest[z] + (std::size_t(y) * kWidth + xa) * 3, src, xb - xa + 1));
        }
    }
}

void EmulatedVolume::write(const std::uint32_t *words) {
    if (displayMode_ == VX_EMU_DISPLAY_NONE) return;
    std::uint8_t *const *dest = imageOffset_ ? backView_ : backStore_;
    if (dest && words && width_ > 0 && regionMode_ >= 1 && regionMode_ <= 4) {
        bool complete = true;
        for (int i = 0; i < kPlanes; ++i)
            complete = complete && dest[i] != nullptr;
        if (!complete) {
            // A plane buffer is missing (allocation failure): the straightforward store skips
            // it word by word.
            reference::Region region{
                regionMode_, x0_, y0_, z0_, x1_, y1_, z1_, imageOffset_ != 0, antiAliasing_ != 0};
            reference::store(dest, region, words);
            noteEverythingChanged();
        } else {
            switch (regionMode_) {
            case 1:
                storeSubPlane(dest, words);
                break;
            case 2:
                storeFullPlane(dest, words);
                break;
            case 3:
                storeSubBlock(dest, words);
                break;
            case 4:
                storeFullBlock(dest, words);
                break;
            }
        }
    }
    if (swapOnWrite_) {
        swap();
        if (clearOnSwap_) clearBack();
    }
}

} // namespace vx::emu
