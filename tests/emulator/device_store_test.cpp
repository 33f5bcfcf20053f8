// The device's store kernels against the straightforward store, bit for bit, on random frames
// in every region mode and reading, and the row bookkeeping that the redraw relies on: rows
// outside a plane's coloured rows are black, and every row that changed is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "emulator/emulated_volume.h"
#include "emulator/store_reference.h"
#include "vx.h"

namespace {

using vx::emu::EmulatedVolume;
using vx::emu::RowRange;

constexpr int W = 1024, H = 748, PLANES = 20;
constexpr std::size_t kBufferBytes = std::size_t(W) * H * 3 + W * 20 * 4;
constexpr std::size_t kCompared = std::size_t(W) * 768 * 3; // the rows a buffer ever holds

struct Case {
    const char *name;
    int op;
    int x0, y0, z0, x1, y1, z1;
    bool imageOffset, antiAliasing;
    // How the random words look: plane words with any Z (planes 20 to 31 included), or with
    // a colour in few of them.
    bool sparse;
};

std::ostream &operator<<(std::ostream &os, const Case &c) { return os << c.name; }

std::size_t wordCount(const Case &c) {
    switch (c.op) {
    case VX_DEVOP_FULL_PLANE: return std::size_t(W) * H;
    case VX_DEVOP_FULL_BLOCK: return std::size_t(W) * H * PLANES;
    case VX_DEVOP_SUB_PLANE: return std::size_t(c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1);
    default: return std::size_t(c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) * (c.z1 - c.z0 + 1);
    }
}

std::vector<std::uint32_t> randomWords(std::size_t n, bool sparse, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> words(n);
    for (auto &w : words) {
        w = rng();
        if (sparse && (rng() % 16) != 0) w &= 0x3FF; // black, any Z
    }
    return words;
}

// The plane buffers of a reference copy of the back store, filled like the device's.
struct ReferenceStore {
    std::vector<std::vector<std::uint8_t>> planes;
    std::uint8_t *ptrs[PLANES];
    std::uint8_t *views[PLANES];
    ReferenceStore() : planes(PLANES, std::vector<std::uint8_t>(kBufferBytes)) {
        for (int i = 0; i < PLANES; ++i) {
            ptrs[i] = planes[i].data();
            views[i] = ptrs[i] + std::size_t(20 - i) * 3072;
        }
    }
};

class StoreKernels : public ::testing::TestWithParam<Case> {};

TEST_P(StoreKernels, StoreExactlyWhatTheStraightforwardStoreStores) {
    const Case c = GetParam();
    EmulatedVolume dev;
    dev.create();
    dev.setSwapOnWrite(0);
    dev.setImageOffset(c.imageOffset);
    dev.setAntiAliasing(c.antiAliasing);
    ReferenceStore ref;
    // Start from a store that already holds colour, so that what a frame overwrites shows.
    std::mt19937 rng(7);
    for (int i = 0; i < PLANES; ++i) {
        auto *b = const_cast<std::uint8_t *>(dev.planeBuffer(1, i));
        for (std::size_t k = 0; k < kCompared; k += 97) b[k] = ref.planes[i][k] = std::uint8_t(rng());
    }
    dev.execute(c.op, c.x0, c.y0, c.z0, c.x1, c.y1, c.z1);
    vx::emu::reference::Region region{dev.regionMode(), c.x0, c.y0, c.z0, c.x1, c.y1, c.z1,
                                      c.imageOffset, c.antiAliasing};
    for (unsigned frame = 0; frame < 2; ++frame) {
        const auto words = randomWords(wordCount(c), c.sparse, 100 + frame);
        dev.write(words.data());
        vx::emu::reference::store(c.imageOffset ? ref.views : ref.ptrs, region, words.data());
        for (int i = 0; i < PLANES; ++i)
            ASSERT_EQ(std::memcmp(dev.planeBuffer(1, i), ref.planes[i].data(), kCompared), 0)
                << "plane " << i << " after frame " << frame;
    }
    dev.destroy();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StoreKernels,
    ::testing::Values(
        Case{"FullPlaneAntiAliased", VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0, false, true, false},
        Case{"FullPlaneAntiAliasedOffset", VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0, true, true, false},
        Case{"FullPlaneAntiAliasedSparse", VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0, true, true, true},
        Case{"FullPlanePlain", VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0, false, false, false},
        Case{"FullPlanePlainOffset", VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0, true, false, false},
        Case{"SubPlaneAntiAliased", VX_DEVOP_SUB_PLANE, 17, 30, 0, 900, 700, 0, true, true, false},
        Case{"SubPlanePlain", VX_DEVOP_SUB_PLANE, 0, 0, 0, 1023, 747, 0, false, false, false},
        Case{"SubPlaneClipped", VX_DEVOP_SUB_PLANE, -5, -3, 0, 1030, 750, 0, true, false, false},
        Case{"FullBlock", VX_DEVOP_FULL_BLOCK, 0, 0, 0, 0, 0, 0, false, true, false},
        Case{"FullBlockOffset", VX_DEVOP_FULL_BLOCK, 0, 0, 0, 0, 0, 0, true, true, true},
        Case{"SubBlockOffsetPastRow728", VX_DEVOP_SUB_BLOCK, 3, 650, 2, 500, 747, 6, true, true,
             false},
        Case{"SubBlockClipped", VX_DEVOP_SUB_BLOCK, 1000, 740, 17, 1040, 760, 24, false, true,
             false}),
    [](const auto &info) { return std::string(info.param.name); });

// Rows outside colouredRows are black; rows that differ from the previous content are inside
// changedRows. Checked after writes, clears and swaps of random sparse frames.
TEST(RowBookkeeping, CoversEveryColouredAndEveryChangedRow) {
    EmulatedVolume dev;
    dev.create();
    dev.setSwapOnWrite(0);
    // The content of every buffer before a step, by buffer: a swap moves them between stores.
    std::map<const std::uint8_t *, std::vector<std::uint8_t>> before;
    auto snapshot = [&] {
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < PLANES; ++i) {
                const std::uint8_t *b = dev.planeBuffer(s, i);
                before[b].assign(b, b + kCompared);
            }
    };
    auto check = [&](const char *step) {
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < PLANES; ++i) {
                const std::uint8_t *b = dev.planeBuffer(s, i);
                const RowRange coloured = dev.colouredRows(s, i), changed = dev.changedRows(s, i);
                for (int row = 0; row < 768; ++row) {
                    const std::uint8_t *r = b + std::size_t(row) * 3072;
                    const bool black =
                        std::all_of(r, r + 3072, [](std::uint8_t v) { return v == 0; });
                    if (!black) {
                        ASSERT_TRUE(coloured.contains(row))
                            << step << " store " << s << " plane " << i << " row " << row;
                    }
                    const bool same =
                        std::memcmp(r, before[b].data() + std::size_t(row) * 3072, 3072) == 0;
                    if (!same) {
                        ASSERT_TRUE(changed.contains(row))
                            << step << " store " << s << " plane " << i << " row " << row;
                    }
                }
            }
    };
    std::mt19937 rng(3);
    for (int round = 0; round < 6; ++round) {
        snapshot();
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < PLANES; ++i) dev.clearChangedRows(s, i);
        dev.setImageOffset(round % 2 == 0);
        dev.setAntiAliasing(round % 3 != 1);
        // A band of colour on a few planes, the rest black words.
        const int y0 = int(rng() % 600), y1 = y0 + int(rng() % 140);
        std::vector<std::uint32_t> frame(std::size_t(W) * H, 0);
        for (int y = y0; y <= y1; ++y)
            for (int x = 0; x < W; x += 1 + int(rng() % 5)) frame[std::size_t(y) * W + x] = rng();
        if (round == 4) {
            dev.execute(VX_DEVOP_SUB_BLOCK, 10, y0, 3, 300, y1, 8);
        } else {
            dev.execute(VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0);
        }
        dev.write(frame.data());
        check("write");
        snapshot();
        if (round % 2) dev.execute(VX_DEVOP_SWAP, 0, 0, 0, 0, 0, 0); // swaps and clears
        else dev.clearBack();
        check("swap or clear");
    }
    dev.destroy();
}

TEST(RowBookkeeping, BlackFramesOnABlackStoreLeaveNoColouredRows) {
    EmulatedVolume dev;
    dev.create();
    dev.setSwapOnWrite(0);
    dev.execute(VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0);
    std::vector<std::uint32_t> frame(std::size_t(W) * H, 0x3FFu & (7 * 32 + 3)); // plane 7
    frame[100 * W + 5] = 0xFF000000u | (9 * 32); // one red pixel on plane 9, row 100
    dev.write(frame.data());
    for (int i = 0; i < PLANES; ++i) {
        const RowRange c = dev.colouredRows(1, i);
        if (i == 9) EXPECT_EQ(c, (RowRange{120 - 9, 121 - 9})) << "row 100 through the view";
        else EXPECT_TRUE(c.empty()) << "plane " << i;
    }
    dev.destroy();
}

} // namespace
