#include <vector>

#include "core_test_support.h"
#include "emulator/emulated_volume.h"

namespace {

using vxtest::asList;
using vxtest::Initialised;
using vxtest::sentRecords;

struct ModeCase {
    int args[7];
    vx::core::RenderRegion stored;
    std::vector<int> record;
};

class RenderModes : public Initialised, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RenderModes, StoreTheRegionAndSendOneRecord) {
    const ModeCase &c = GetParam();
    ASSERT_EQ(vxSetRenderMode(c.args[0], c.args[1], c.args[2], c.args[3], c.args[4], c.args[5],
                              c.args[6]),
              VX_OK);
    const vx::core::RenderRegion &r = vx::core::state().region;
    EXPECT_EQ(r.x, c.stored.x);
    EXPECT_EQ(r.y, c.stored.y);
    EXPECT_EQ(r.z, c.stored.z);
    EXPECT_EQ(r.width, c.stored.width);
    EXPECT_EQ(r.height, c.stored.height);
    EXPECT_EQ(r.depth, c.stored.depth);
    EXPECT_EQ(r.pixels, c.stored.pixels);
    int mode = 0;
    vxGet(VX_GET_RENDER_MODE, &mode);
    EXPECT_EQ(mode, c.args[0]);
    ASSERT_EQ(sentRecords().size(), 1u);
    EXPECT_EQ(asList(sentRecords()[0], int(c.record.size()) - 1), c.record);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RenderModes,
    ::testing::Values(
        ModeCase{{401, 10, 20, 99, 100, 50, 99}, {10, 20, 0, 100, 50, 0, 5000}, {5, 10, 20, 109, 69}},
        ModeCase{{401, 0, 0, -7, 1024, 748, -1}, {0, 0, 0, 1024, 748, 0, 765952}, {5, 0, 0, 1023, 747}},
        ModeCase{{402, 7, 7, 7, 7, 7, 7}, {0, 0, 0, 1024, 748, 0, 765952}, {4}},
        ModeCase{{403, 0, 0, 5, 1024, 748, 3}, {0, 0, 5, 1024, 748, 3, 2297856}, {7, 0, 0, 5, 1023, 747, 7}},
        ModeCase{{403, 1023, 747, 19, 1, 1, 1}, {1023, 747, 19, 1, 1, 1, 1}, {7, 1023, 747, 19, 1023, 747, 19}},
        ModeCase{{404, -1, -1, -1, 0, 0, 0}, {0, 0, 0, 1024, 748, 20, 15319040}, {6}}));

TEST_F(Initialised, SubPlaneKeepsTheStoredOriginZ) {
    ASSERT_EQ(vxSetRenderMode(403, 0, 0, 5, 10, 10, 2), VX_OK);
    ASSERT_EQ(vxSetRenderMode(401, 1, 2, 9, 3, 4, 9), VX_OK);
    EXPECT_EQ(vx::core::state().region.z, 5);
    EXPECT_EQ(vx::core::state().region.depth, 0);
}

struct BadMode {
    int args[7];
    unsigned status;
};

class RefusedModes : public Initialised, public ::testing::WithParamInterface<BadMode> {};

TEST_P(RefusedModes, StoreAndSendNothing) {
    const BadMode &c = GetParam();
    ASSERT_EQ(vxSetRenderMode(403, 1, 2, 3, 4, 5, 6), VX_OK);
    sentRecords().clear();
    const vx::core::RenderRegion before = vx::core::state().region;
    EXPECT_EQ(vxSetRenderMode(c.args[0], c.args[1], c.args[2], c.args[3], c.args[4], c.args[5],
                              c.args[6]),
              c.status);
    int mode = 0;
    vxGet(VX_GET_RENDER_MODE, &mode);
    EXPECT_EQ(mode, 403);
    EXPECT_EQ(vx::core::state().region.pixels, before.pixels);
    EXPECT_EQ(vx::core::state().region.x, before.x);
    EXPECT_TRUE(sentRecords().empty());
}

constexpr unsigned kArg = VX_ERR_INVALID_ARGUMENT, kRange = VX_ERR_OUT_OF_RANGE;
INSTANTIATE_TEST_SUITE_P(
    Table, RefusedModes,
    ::testing::Values(BadMode{{400, 0, 0, 0, 1, 1, 1}, kArg}, BadMode{{405, 0, 0, 0, 1, 1, 1}, kArg},
                      BadMode{{0, 0, 0, 0, 1, 1, 1}, kArg},
                      BadMode{{401, -1, 0, 0, 10, 10, 0}, kRange},
                      BadMode{{401, 0, -1, 0, 10, 10, 0}, kRange},
                      BadMode{{401, 1015, 0, 0, 10, 10, 0}, kRange},
                      BadMode{{401, 0, 740, 0, 10, 10, 0}, kRange},
                      BadMode{{401, 0, 0, 0, 0, 10, 0}, kRange},
                      BadMode{{401, 0, 0, 0, 10, -3, 0}, kRange},
                      BadMode{{401, 2147483000, 0, 0, 2000, 1, 0}, kRange},
                      BadMode{{403, 0, 0, -1, 10, 10, 2}, kRange},
                      BadMode{{403, 0, 0, 19, 10, 10, 2}, kRange},
                      BadMode{{403, 0, 0, 0, 10, 10, 0}, kRange},
                      BadMode{{403, 0, 0, 0, 1025, 1, 1}, kRange},
                      BadMode{{403, 0, 0, 0, 1, 749, 1}, kRange}));

struct Combo {
    int mode;
    unsigned format;
};

class MismatchedFormats : public Initialised, public ::testing::WithParamInterface<Combo> {};

TEST_P(MismatchedFormats, AreRefusedBeforeAnyConversion) {
    ASSERT_EQ(vxSetRenderMode(GetParam().mode, 0, 0, 0, 1, 1, 1), VX_OK);
    ASSERT_EQ(vxSetDataFormat(GetParam().format), VX_OK);
    sentRecords().clear();
    std::vector<unsigned> frame(16, 0x12345678u);
    std::vector<unsigned short> depth(16, 7);
    EXPECT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_ERR_INVALID_FORMAT);
    EXPECT_EQ(frame[0], 0x12345678u);
    EXPECT_EQ(depth[0], 7);
    EXPECT_TRUE(sentRecords().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, MismatchedFormats,
                         ::testing::Values(Combo{401, 76}, Combo{402, 76}, Combo{402, 81},
                                           Combo{401, 80}, Combo{403, 68}, Combo{404, 68},
                                           Combo{404, 74}, Combo{403, 72}));

TEST_F(Initialised, NullFramesAreRefused) {
    unsigned short depth[1] = {0};
    unsigned word = 0;
    for (unsigned format : {68u, 70u, 72u, 74u, 75u}) {
        vxSetDataFormat(format);
        EXPECT_EQ(vxRenderBuffer(nullptr, depth), VX_ERR_INVALID_ARGUMENT) << format;
    }
    for (unsigned format : {68u, 69u, 70u, 71u}) {
        vxSetDataFormat(format);
        EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_ERR_INVALID_ARGUMENT) << format;
    }
    vxSetRenderMode(404, 0, 0, 0, 0, 0, 0);
    vxSetDataFormat(81);
    EXPECT_EQ(vxRenderBuffer(nullptr, nullptr), VX_ERR_INVALID_ARGUMENT);
}

TEST_F(Initialised, RenderBufferAfterShutdownFindsNoScratchBuffers) {
    vxShutdown();
    std::vector<unsigned> frame(VX_PLANE_PIXELS);
    EXPECT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_ERR_UNKNOWN);
    // A mismatched format is still reported as such.
    vxSetDataFormat(76);
    EXPECT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_ERR_INVALID_FORMAT);
}

TEST_F(Initialised, RenderSetsTheModeEvenWhenTheFrameIsRefused) {
    vxSetDataFormat(76);
    unsigned word = 0;
    EXPECT_EQ(vxRender(401, 1, 1, 0, 2, 2, 0, &word, nullptr), VX_ERR_INVALID_FORMAT);
    int mode = 0;
    vxGet(VX_GET_RENDER_MODE, &mode);
    EXPECT_EQ(mode, 401);
    EXPECT_EQ(vxRender(405, 1, 1, 0, 2, 2, 0, &word, nullptr), VX_ERR_INVALID_ARGUMENT);
}

TEST_F(Initialised, DataFormatAcceptsOnly68To81) {
    for (unsigned bad : {0u, 67u, 82u, 100u, 101u, 0xFFFFFFFFu}) {
        EXPECT_EQ(vxSetDataFormat(bad), VX_ERR_INVALID_FORMAT) << bad;
        int format = 0;
        vxGet(VX_GET_DATA_FORMAT, &format);
        EXPECT_EQ(format, 75);
    }
    for (unsigned good = 68; good <= 81; ++good) EXPECT_EQ(vxSetDataFormat(good), VX_OK);
}

TEST_F(Initialised, FlagsStoreTheirValueAndSendTheirRecord) {
    const struct {
        int id, value;
        std::vector<int> record; // empty: nothing sent
        unsigned status;
    } cases[] = {{250, 0, {2, 0}, VX_OK},  {250, 0, {2, 0}, VX_OK}, {250, 7, {2, 7}, VX_OK},
                 {251, 0, {1, 0}, VX_OK},  {251, 1, {1, 1}, VX_OK}, {252, 5, {}, VX_OK},
                 {253, 3, {}, VX_OK},      {254, 1, {}, VX_ERR_INVALID_ARGUMENT},
                 {249, 1, {}, VX_ERR_INVALID_ARGUMENT}};
    for (const auto &c : cases) {
        sentRecords().clear();
        EXPECT_EQ(vxSetFlag(c.id, c.value), c.status) << c.id;
        if (c.record.empty()) {
            EXPECT_TRUE(sentRecords().empty()) << c.id;
        } else {
            ASSERT_EQ(sentRecords().size(), 1u);
            EXPECT_EQ(asList(sentRecords()[0], 1), c.record);
        }
        if (c.status == VX_OK && c.id != 252) {
            int stored = -1;
            vxGet(unsigned(c.id), &stored);
            EXPECT_EQ(stored, c.value) << c.id;
        }
    }
    // The device follows the switches.
    EXPECT_EQ(vx::emu::volume().swapOnWrite(), 7);
    EXPECT_EQ(vx::emu::volume().clearOnSwap(), 1);
}

std::vector<unsigned char> readPlane(int store, int plane) {
    std::vector<unsigned char> rgb(VX_PLANE_PIXELS * 3);
    EXPECT_EQ(vxEmuReadPlane(store, plane, rgb.data()), VX_OK);
    return rgb;
}

TEST_F(Initialised, ClearSendsItsRecordsAndBlanksBothStores) {
    vxSetFlag(VX_FLAG_CLEAR_ON_SWAP, 0);
    vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0);
    vxSetRenderMode(VX_RENDER_FULL_BLOCK, 0, 0, 0, 0, 0, 0);
    // Without the image offset every image row lies in the part of a buffer that a clear
    // blanks (the 20 rows of room for the offset are never cleared).
    vx::emu::volume().setImageOffset(false);
    std::vector<std::uint32_t> volume(VX_VOLUME_PIXELS, 0xFFFFFF00u);
    vx::emu::volume().write(volume.data());
    vxSwapBuffers();
    vx::emu::volume().write(volume.data());
    ASSERT_EQ(readPlane(0, 3)[0], 0xFF);
    ASSERT_EQ(readPlane(1, 3)[0], 0xFF);

    sentRecords().clear();
    EXPECT_EQ(vxClear(), VX_OK);
    ASSERT_EQ(sentRecords().size(), 4u);
    EXPECT_EQ(asList(sentRecords()[0], 1), (std::vector<int>{1, 1}));
    EXPECT_EQ(asList(sentRecords()[1], 1), (std::vector<int>{3, 0}));
    EXPECT_EQ(asList(sentRecords()[2], 1), (std::vector<int>{3, 0}));
    EXPECT_EQ(asList(sentRecords()[3], 1), (std::vector<int>{1, 0}));
    int flag = -1;
    vxGet(VX_FLAG_CLEAR_ON_SWAP, &flag);
    EXPECT_EQ(flag, 0);
    for (int store : {0, 1})
        for (int plane : {0, 3, 19}) {
            const auto rgb = readPlane(store, plane);
            EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 0), long(rgb.size()));
        }
}

TEST_F(Initialised, SwapExchangesTheStores) {
    vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0);
    vxSetRenderMode(VX_RENDER_SUB_BLOCK, 5, 6, 2, 1, 1, 1);
    const std::uint32_t word = 0x11223300u;
    vx::emu::volume().write(&word);
    EXPECT_EQ(readPlane(1, 2)[(6 * 1024 + 5) * 3], 0x11);
    sentRecords().clear();
    EXPECT_EQ(vxSwapBuffers(), VX_OK);
    ASSERT_EQ(sentRecords().size(), 1u);
    EXPECT_EQ(asList(sentRecords()[0], 1), (std::vector<int>{3, 0}));
    const auto front = readPlane(0, 2);
    EXPECT_EQ(front[(6 * 1024 + 5) * 3 + 0], 0x11);
    EXPECT_EQ(front[(6 * 1024 + 5) * 3 + 1], 0x22);
    EXPECT_EQ(front[(6 * 1024 + 5) * 3 + 2], 0x33);
    EXPECT_EQ(readPlane(1, 2)[(6 * 1024 + 5) * 3], 0); // cleared on swap
}

TEST_F(Initialised, DeviceHasNoRegionUntilTheFirstRenderMode) {
    // vxInitialize sends nothing, so a frame is stored nowhere, but the write still swaps.
    EXPECT_EQ(vx::emu::volume().regionMode(), 0);
    vxSetRenderMode(VX_RENDER_SUB_PLANE, 0, 0, 0, 4, 4, 0);
    EXPECT_EQ(vx::emu::volume().regionMode(), 1);
}

TEST_F(Initialised, ReadPlaneShowsRowsAsWrittenAndRefusesBadArguments) {
    std::vector<unsigned char> rgb(VX_PLANE_PIXELS * 3, 0xAB);
    for (auto [store, plane] : {std::pair{-1, 0}, std::pair{2, 0}, std::pair{0, -1}, std::pair{0, 20}})
        EXPECT_EQ(vxEmuReadPlane(store, plane, rgb.data()), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxEmuReadPlane(0, 0, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(rgb[0], 0xAB);

    // Row 0 of plane 7 reads back as row 0, with the image offset on and off.
    vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0);
    vxSetRenderMode(VX_RENDER_SUB_BLOCK, 3, 0, 7, 1, 1, 1);
    const std::uint32_t word = 0x405060FFu;
    for (bool offset : {true, false}) {
        vx::emu::volume().setImageOffset(offset);
        vx::emu::volume().write(&word);
        ASSERT_EQ(vxEmuReadPlane(1, 7, rgb.data()), VX_OK);
        EXPECT_EQ(std::vector<int>(rgb.begin() + 9, rgb.begin() + 12), (std::vector<int>{0x40, 0x50, 0x60}))
            << "offset " << offset;
    }

    vxShutdown();
    EXPECT_EQ(vxEmuReadPlane(0, 0, rgb.data()), VX_ERR_UNKNOWN);
    EXPECT_EQ(vxEmuReadPlane(5, 0, nullptr), VX_ERR_UNKNOWN);
}

} // namespace
