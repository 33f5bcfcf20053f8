#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "emulator/emulated_volume.h"
#include "vx.h"

namespace {

using vx::emu::EmulatedVolume;

constexpr int W = 1024, H = 748, ROW = 3072;

// A plane word from its parts: plane index and fraction packed into byte 0 and byte 1.
std::uint32_t planeWord(unsigned r, unsigned g, unsigned b, unsigned plane, unsigned fraction) {
    const unsigned z = plane * 32 + fraction;
    return (r << 24) | (g << 16) | ((b | (z >> 8)) << 8) | (z & 0xFF);
}

std::uint32_t bytesWord(unsigned b3, unsigned b2, unsigned b1, unsigned b0) {
    return (b3 << 24) | (b2 << 16) | (b1 << 8) | b0;
}

class Device : public ::testing::Test {
  protected:
    void SetUp() override {
        dev.create();
        dev.setImageOffset(false); // most cases read the plain buffer rows
    }
    void TearDown() override { dev.destroy(); }

    // The pixel at buffer row `row` (not through the view), column x, of a plane.
    std::vector<int> px(int store, int plane, int row, int x) const {
        const std::uint8_t *b = dev.planeBuffer(store, plane) + row * ROW + x * 3;
        return {b[0], b[1], b[2]};
    }
    bool storeIsBlack(int store) const {
        for (int p = 0; p < 20; ++p) {
            const std::uint8_t *b = dev.planeBuffer(store, p);
            for (int i = 0; i < W * 768 * 3; ++i)
                if (b[i]) return false;
        }
        return true;
    }
    void region(int op, int x0 = 0, int y0 = 0, int z0 = 0, int x1 = 0, int y1 = 0, int z1 = 0) {
        dev.execute(op, x0, y0, z0, x1, y1, z1);
    }

    EmulatedVolume dev;
};

TEST_F(Device, CreateSetsTheDefaults) {
    EmulatedVolume fresh;
    EXPECT_EQ(fresh.displayMode(), VX_EMU_DISPLAY_NONE);
    EXPECT_FALSE(fresh.hasStores());
    fresh.create();
    EXPECT_TRUE(fresh.imageOffset());
    EXPECT_TRUE(fresh.antiAliasing());
    EXPECT_TRUE(fresh.boundingBox());
    EXPECT_EQ(fresh.swapOnWrite(), 1);
    EXPECT_EQ(fresh.clearOnSwap(), 1);
    EXPECT_EQ(fresh.regionMode(), 0);
    EXPECT_EQ(fresh.displayMode(), VX_EMU_DISPLAY_NORMAL);
    for (int p = 0; p < 20; ++p) EXPECT_FALSE(fresh.planeChosen(p));
    fresh.destroy();
    EXPECT_FALSE(fresh.hasStores());
}

TEST_F(Device, OperationsSetRegionAndFlags) {
    const struct {
        int op, mode;
    } cases[] = {{VX_DEVOP_SUB_PLANE, 1}, {VX_DEVOP_FULL_PLANE, 2}, {VX_DEVOP_SUB_BLOCK, 3},
                 {VX_DEVOP_FULL_BLOCK, 4}, {VX_DEVOP_NOP, 4}, {99, 4}};
    for (const auto &c : cases) {
        region(c.op, 1, 2, 3, 4, 5, 6);
        EXPECT_EQ(dev.regionMode(), c.mode) << c.op;
    }
    region(VX_DEVOP_CLEAR_ON_SWAP, 0);
    EXPECT_EQ(dev.clearOnSwap(), 0);
    region(VX_DEVOP_SWAP_ON_WRITE, 5);
    EXPECT_EQ(dev.swapOnWrite(), 5);
}

struct AaCase {
    std::uint32_t word;
    // Expected colour in each plane at the word's position; planes not listed stay black.
    std::vector<std::pair<int, std::vector<int>>> planes;
};

class AntiAliased : public Device, public ::testing::WithParamInterface<AaCase> {};

TEST_P(AntiAliased, FullPlaneWordSplitsBetweenItsPlaneAndTheNext) {
    dev.setSwapOnWrite(0);
    region(VX_DEVOP_FULL_PLANE);
    // Fill every plane at the position first, to see which ones a word overwrites.
    std::vector<std::uint32_t> frame(W * H, 0);
    for (int p = 0; p < 20; ++p) std::memset(const_cast<std::uint8_t *>(dev.planeBuffer(1, p)) + 5 * ROW + 7 * 3, 0x77, 3);
    frame[5 * W + 7] = GetParam().word;
    dev.write(frame.data());
    for (int p = 0; p < 20; ++p) {
        std::vector<int> want = {0x77, 0x77, 0x77};
        for (const auto &[plane, colour] : GetParam().planes)
            if (plane == p) want = colour;
        // The zero words of the rest of the frame write black into planes 0 and 1 elsewhere.
        EXPECT_EQ(px(1, p, 5, 7), want) << "plane " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, AntiAliased,
    ::testing::Values(
        AaCase{planeWord(200, 100, 48, 7, 0), {{7, {200, 100, 48}}, {8, {0, 0, 0}}}},
        AaCase{planeWord(200, 100, 48, 3, 16), {{3, {100, 50, 24}}, {4, {100, 50, 24}}}},
        AaCase{planeWord(248, 248, 248, 10, 31), {{10, {8, 8, 8}}, {11, {240, 240, 240}}}},
        AaCase{planeWord(200, 100, 48, 19, 16), {{19, {100, 50, 24}}}},
        // The low bits of blue are Z bits, never colour.
        AaCase{bytesWord(0, 0, 0xF9, 0x40), {{10, {0, 0, 0xF8}}, {11, {0, 0, 0}}}},
        // Planes 20 to 31 do not exist: such a word is dropped.
        AaCase{planeWord(200, 100, 48, 20, 0), {}},
        AaCase{planeWord(200, 100, 48, 31, 31), {}}));

TEST_F(Device, AntiAliasedBlueIsMaskedInBothPlaneModes) {
    dev.setSwapOnWrite(0);
    region(VX_DEVOP_SUB_PLANE, 2, 3, 0, 2, 3, 0);
    const std::uint32_t w = bytesWord(9, 10, 0xF8 | 4 | 0, 2 << 5); // plane 2, fraction 0
    dev.write(&w);
    EXPECT_EQ(px(1, 2, 3, 2), (std::vector<int>{9, 10, 0xF8}));
}

TEST_F(Device, PlainReadingUsesTheLowFiveBitsAsPlaneAndMasksBlueOnlyInFullPlane) {
    dev.setAntiAliasing(false);
    dev.setSwapOnWrite(0);
    region(VX_DEVOP_FULL_PLANE);
    std::vector<std::uint32_t> frame(W * H, bytesWord(0, 0, 0, 25)); // plane 25: dropped
    frame[0] = bytesWord(1, 2, 0xFF, 5);
    dev.write(frame.data());
    EXPECT_EQ(px(1, 5, 0, 0), (std::vector<int>{1, 2, 0xF8}));
    EXPECT_EQ(px(1, 6, 0, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(px(1, 5, 0, 1), (std::vector<int>{0, 0, 0}));

    region(VX_DEVOP_SUB_PLANE, 10, 0, 0, 10, 0, 0);
    const std::uint32_t w = bytesWord(1, 2, 0xFF, 5);
    dev.write(&w);
    EXPECT_EQ(px(1, 5, 0, 10), (std::vector<int>{1, 2, 0xFF}));
}

TEST_F(Device, ImageOffsetShiftsEachPlaneDownByTwentyMinusItsIndex) {
    dev.setSwapOnWrite(0);
    dev.setAntiAliasing(false);
    region(VX_DEVOP_FULL_PLANE);
    std::vector<std::uint32_t> frame(W * H, bytesWord(0, 0, 0, 0));
    frame[3] = bytesWord(50, 0, 0, 19);
    frame[4] = bytesWord(60, 0, 0, 0);
    dev.setImageOffset(true);
    dev.write(frame.data());
    EXPECT_EQ(px(1, 0, 20, 4)[0], 60);
    EXPECT_EQ(px(1, 19, 1, 3)[0], 50);
    EXPECT_EQ(px(1, 19, 0, 3)[0], 0);
    dev.setImageOffset(false);
    dev.write(frame.data());
    EXPECT_EQ(px(1, 0, 0, 4)[0], 60);
    EXPECT_EQ(px(1, 19, 0, 3)[0], 50);
}

TEST_F(Device, FullBlockCopiesEveryPlaneUnmasked) {
    dev.setSwapOnWrite(0);
    region(VX_DEVOP_FULL_BLOCK);
    std::vector<std::uint32_t> volume(std::size_t(W) * H * 20, 0);
    for (int p = 0; p < 20; ++p) volume[std::size_t(p) * W * H + W + 2] = bytesWord(p, 2 * p, 0xFF, 0x55);
    dev.write(volume.data());
    for (int p = 0; p < 20; ++p) EXPECT_EQ(px(1, p, 1, 2), (std::vector<int>{p, 2 * p, 0xFF}));
}

TEST_F(Device, SubBlockThroughTheViewsStopsAtRow728ButConsumesEveryRow) {
    dev.setSwapOnWrite(0);
    dev.setImageOffset(true);
    region(VX_DEVOP_SUB_BLOCK, 0, 700, 4, 1, 747, 5);
    const int w = 2, h = 48;
    std::vector<std::uint32_t> src(std::size_t(w) * h * 2);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = bytesWord(unsigned(i % 251), 1, 2, 0);
    dev.write(src.data());
    // Row y of plane z sits at buffer row y + 20 - z.
    for (int z : {4, 5})
        for (int y : {700, 728, 729, 747}) {
            const std::size_t k = (std::size_t(z - 4) * h + (y - 700)) * w + 1;
            const int want = y <= 728 ? int(k % 251) : 0;
            EXPECT_EQ(px(1, z, y + 20 - z, 1)[0], want) << "plane " << z << " row " << y;
        }
}

TEST_F(Device, RegionsOutsideThePlanesAreClipped) {
    dev.setSwapOnWrite(0);
    dev.setAntiAliasing(false);
    // A sub plane reaching past every edge: the in-plane part comes from the right words.
    region(VX_DEVOP_SUB_PLANE, -2, -1, 0, 1025, 748, 0);
    const int w = 1028, h = 750;
    std::vector<std::uint32_t> src(std::size_t(w) * h, bytesWord(0, 0, 0, 0));
    src[std::size_t(1) * w + 2] = bytesWord(33, 0, 0, 0); // position (0, 0)
    src[std::size_t(748) * w + 1025] = bytesWord(44, 0, 0, 0); // position (1023, 747)
    dev.write(src.data());
    EXPECT_EQ(px(1, 0, 0, 0)[0], 33);
    EXPECT_EQ(px(1, 0, 747, 1023)[0], 44);
    // A sub block past the last plane and with lower bounds above the upper ones.
    region(VX_DEVOP_SUB_BLOCK, 0, 0, 18, 0, 0, 25);
    std::vector<std::uint32_t> col(8, bytesWord(7, 7, 7, 0));
    dev.write(col.data());
    EXPECT_EQ(px(1, 19, 0, 0)[0], 7);
    region(VX_DEVOP_SUB_BLOCK, 5, 5, 5, 1, 1, 1);
    dev.write(col.data());
}

TEST_F(Device, WriteWithDisplayNoneStoresNothingAndDoesNotSwap) {
    dev.setDisplayMode(VX_EMU_DISPLAY_NONE);
    region(VX_DEVOP_FULL_BLOCK);
    std::vector<std::uint32_t> volume(std::size_t(W) * H * 20, 0xFFFFFFFFu);
    const std::uint8_t *back = dev.planeBuffer(1, 0);
    dev.write(volume.data());
    EXPECT_EQ(dev.planeBuffer(1, 0), back);
    EXPECT_TRUE(storeIsBlack(0));
    EXPECT_TRUE(storeIsBlack(1));
    region(VX_DEVOP_SWAP);
    EXPECT_EQ(dev.planeBuffer(0, 0), back); // the operation still swaps
}

TEST_F(Device, WriteWithoutRegionStillSwapsAndClears) {
    const std::uint8_t *back = dev.planeBuffer(1, 0);
    std::memset(const_cast<std::uint8_t *>(dev.planeBuffer(0, 3)), 9, 100);
    const std::uint32_t word = 0xFFFFFFFFu;
    dev.write(&word);
    EXPECT_EQ(dev.planeBuffer(0, 0), back);
    EXPECT_TRUE(storeIsBlack(1)); // the old front, cleared
}

TEST_F(Device, SwapOnWriteOffAccumulatesUntilTheSwapOperation) {
    region(VX_DEVOP_SWAP_ON_WRITE, 0);
    region(VX_DEVOP_SUB_BLOCK, 0, 0, 0, 0, 0, 0);
    const std::uint32_t a = bytesWord(1, 0, 0, 0);
    dev.write(&a);
    region(VX_DEVOP_SUB_BLOCK, 1, 0, 0, 1, 0, 0);
    const std::uint32_t b = bytesWord(2, 0, 0, 0);
    dev.write(&b);
    region(VX_DEVOP_SWAP);
    EXPECT_EQ(px(0, 0, 0, 0)[0], 1);
    EXPECT_EQ(px(0, 0, 0, 1)[0], 2);
    EXPECT_TRUE(storeIsBlack(1));
}

TEST_F(Device, TwoSwapsWithClearOnSwapLeaveBothStoresBlack) {
    region(VX_DEVOP_SWAP_ON_WRITE, 0);
    region(VX_DEVOP_FULL_BLOCK);
    std::vector<std::uint32_t> volume(std::size_t(W) * H * 20, 0xFFFFFFFFu);
    dev.write(volume.data());
    region(VX_DEVOP_SWAP);
    dev.write(volume.data());
    region(VX_DEVOP_SWAP);
    region(VX_DEVOP_SWAP);
    EXPECT_TRUE(storeIsBlack(0));
    EXPECT_TRUE(storeIsBlack(1));
}

TEST_F(Device, ClearLeavesTheTwentyOffsetRowsAlone) {
    std::uint8_t *b = const_cast<std::uint8_t *>(dev.planeBuffer(1, 0));
    b[748 * ROW] = 5;
    b[747 * ROW] = 6;
    dev.clearBack();
    EXPECT_EQ(b[748 * ROW], 5);
    EXPECT_EQ(b[747 * ROW], 0);
}

TEST_F(Device, NothingIsTouchedAfterDestroy) {
    dev.destroy();
    region(VX_DEVOP_FULL_BLOCK);
    std::vector<std::uint32_t> volume(16, 0xFFFFFFFFu);
    dev.write(volume.data());
    region(VX_DEVOP_SWAP);
    dev.clearBack();
    EXPECT_FALSE(dev.hasStores());
    EXPECT_EQ(dev.planeBuffer(0, 0), nullptr);
}

int g_calls = 0;
void *failThird(std::size_t n, std::size_t size) {
    // Calls 1 and 2 are the two pointer arrays; call 3 is plane 0 of the back store.
    return ++g_calls == 3 ? nullptr : std::calloc(n, size);
}

TEST(DeviceAllocation, AMissingPlaneBufferIsReportedAndNeverWritten) {
    std::vector<std::string> messages;
    static std::vector<std::string> *sink;
    sink = &messages;
    vxEmuSetMessageHandler([](const char *caption, const char *text) {
        sink->push_back(std::string(caption) + "|" + text);
    });
    g_calls = 0;
    vx::emu::setPlaneAllocator(failThird);
    EmulatedVolume dev;
    dev.create();
    vx::emu::setPlaneAllocator(nullptr);
    vxEmuSetMessageHandler(nullptr);
    ASSERT_EQ(messages, std::vector<std::string>{"Error|Ran out of memory"});
    EXPECT_EQ(dev.planeBuffer(1, 0), nullptr);
    ASSERT_NE(dev.planeBuffer(1, 1), nullptr);

    dev.setSwapOnWrite(0);
    dev.execute(VX_DEVOP_FULL_BLOCK, 0, 0, 0, 0, 0, 0);
    std::vector<std::uint32_t> volume(std::size_t(W) * H * 20, 0xFFFFFFFFu);
    dev.write(volume.data());
    EXPECT_EQ(dev.planeBuffer(1, 1)[ROW * 30], 0xFF);
    dev.execute(VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0);
    std::vector<std::uint32_t> frame(std::size_t(W) * H, planeWord(8, 8, 8, 0, 16));
    dev.write(frame.data());
    dev.execute(VX_DEVOP_SWAP, 0, 0, 0, 0, 0, 0);
    dev.clearBack();
    dev.destroy();
}

} // namespace
