#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "vxUtil.h"

namespace {

int renderMode() {
    int mode = 0;
    EXPECT_EQ(vxGet(VX_GET_RENDER_MODE, &mode), VX_OK);
    return mode;
}

// The first words of the last frame that the frame callback saw.
std::vector<std::uint32_t> &seenWords() {
    static std::vector<std::uint32_t> words;
    return words;
}
int &callbackCalls() {
    static int calls = 0;
    return calls;
}
void recordFrame(unsigned int *words) {
    ++callbackCalls();
    seenWords().assign(words, words + 4);
}

class RenderShortcuts : public ::testing::Test {
  protected:
    void SetUp() override {
        vxEmuSetMessageHandler([](const char *, const char *) {});
        ASSERT_EQ(vxInitialize(0), VX_OK);
        callbackCalls() = 0;
        seenWords().clear();
    }
    void TearDown() override { vxShutdown(); }
};

struct SetCase {
    const char *what;
    std::function<unsigned()> call;
    unsigned status;
    int mode; // the render mode in force afterwards (0: the one before is kept)
};

// Regions that reach exactly to the edge of the volume pass; one more in any single argument
// fails, so each argument is known to arrive in its own place.
TEST_F(RenderShortcuts, SetShortcutsSelectTheirModeWithTheirRegion) {
    const unsigned OK = VX_OK, OUT = VX_ERR_OUT_OF_RANGE;
    const std::vector<SetCase> cases = {
        {"full plane", [] { return vxUtilSetFullPlane(); }, OK, 402},
        {"full block", [] { return vxUtilSetFullBlock(); }, OK, 404},
        {"sub plane edge", [] { return vxUtilSetSubPlane(1000, 700, 24, 48); }, OK, 401},
        {"sub plane x+1", [] { return vxUtilSetSubPlane(1001, 700, 24, 48); }, OUT, 0},
        {"sub plane y+1", [] { return vxUtilSetSubPlane(1000, 701, 24, 48); }, OUT, 0},
        {"sub plane w+1", [] { return vxUtilSetSubPlane(1000, 700, 25, 48); }, OUT, 0},
        {"sub plane h+1", [] { return vxUtilSetSubPlane(1000, 700, 24, 49); }, OUT, 0},
        {"sub block edge", [] { return vxUtilSetSubBlock(1000, 700, 15, 24, 48, 5); }, OK, 403},
        {"sub block z+1", [] { return vxUtilSetSubBlock(1000, 700, 16, 24, 48, 5); }, OUT, 0},
        {"sub block d+1", [] { return vxUtilSetSubBlock(1000, 700, 15, 24, 48, 6); }, OUT, 0},
        {"sub block x+1", [] { return vxUtilSetSubBlock(1001, 700, 15, 24, 48, 5); }, OUT, 0},
        {"sub block h+1", [] { return vxUtilSetSubBlock(1000, 700, 15, 24, 49, 5); }, OUT, 0},
    };
    for (const SetCase &c : cases) {
        ASSERT_EQ(vxUtilSetFullPlane(), VX_OK);
        EXPECT_EQ(c.call(), c.status) << c.what;
        EXPECT_EQ(renderMode(), c.mode ? c.mode : 402) << c.what;
    }
}

TEST_F(RenderShortcuts, PlaneRenderShortcutsHandTheFrameOver) {
    ASSERT_EQ(vxSetCallBackFunction(recordFrame), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    const std::vector<std::uint32_t> words = {0x11223344u, 0x55667788u, 0x99AABBCCu, 0x01020304u};
    unsigned short depths[4] = {1, 2, 3, 4};
    ASSERT_EQ(vxUtilRenderSubPlane(1022, 746, 2, 2, words.data(), depths), VX_OK);
    EXPECT_EQ(renderMode(), 401);
    EXPECT_EQ(callbackCalls(), 1);
    EXPECT_EQ(seenWords(), words);
    EXPECT_EQ(vxUtilRenderSubPlane(1023, 746, 2, 2, words.data(), depths), VX_ERR_OUT_OF_RANGE);
    EXPECT_EQ(callbackCalls(), 1);

    std::vector<std::uint32_t> plane(VX_PLANE_PIXELS, 0x08080800u);
    plane[0] = 0xF0F0F000u;
    ASSERT_EQ(vxUtilRenderFullPlane(plane.data(), nullptr), VX_OK);
    EXPECT_EQ(renderMode(), 402);
    EXPECT_EQ(callbackCalls(), 2);
    ASSERT_EQ(seenWords().size(), 4u);
    EXPECT_EQ(seenWords()[0], 0xF0F0F000u);
    vxSetCallBackFunction(nullptr);
}

TEST_F(RenderShortcuts, PlaneShortcutsPassTheDepthBufferThrough) {
    // Format 70 needs a depth buffer: a null one is refused, so it must have been passed on.
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBX_Z16), VX_OK);
    std::vector<std::uint8_t> colour(4 * 4, 200);
    std::vector<unsigned short> depths = {100, 200, 300, 400};
    EXPECT_EQ(vxUtilRenderSubPlane(0, 0, 2, 2, colour.data(), nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilRenderSubPlane(0, 0, 2, 2, colour.data(), depths.data()), VX_OK);
    std::vector<std::uint8_t> full(std::size_t(VX_PLANE_PIXELS) * 4, 100);
    std::vector<unsigned short> fullDepths(VX_PLANE_PIXELS, 500);
    EXPECT_EQ(vxUtilRenderFullPlane(full.data(), nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilRenderFullPlane(full.data(), fullDepths.data()), VX_OK);
}

TEST_F(RenderShortcuts, BlockShortcutsBehaveLikeTheCoreCall) {
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY8), VX_OK);
    std::vector<std::uint8_t> voxels(VX_VOLUME_PIXELS, 7);
    EXPECT_EQ(vxUtilRenderFullBlock(voxels.data()), VX_OK);
    EXPECT_EQ(renderMode(), 404);
    EXPECT_EQ(vxUtilRenderSubBlock(1020, 740, 18, 4, 8, 2, voxels.data()), VX_OK);
    EXPECT_EQ(renderMode(), 403);
    EXPECT_EQ(vxUtilRenderSubBlock(1020, 740, 19, 4, 8, 2, voxels.data()), VX_ERR_OUT_OF_RANGE);
    // A plane-only format is refused by the block modes, as the core call refuses it.
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBZ), VX_OK);
    EXPECT_EQ(vxUtilRenderFullBlock(voxels.data()),
              vxRender(404, 0, 0, 0, 0, 0, 0, voxels.data(), nullptr));
    EXPECT_EQ(vxUtilRenderFullBlock(voxels.data()), VX_ERR_INVALID_FORMAT);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY8), VX_OK);
    EXPECT_EQ(vxUtilRenderSubBlock(0, 0, 0, 1, 1, 1, nullptr),
              vxRender(403, 0, 0, 0, 1, 1, 1, nullptr, nullptr));
}

TEST(RenderShortcutsUninitialised, ReturnTheCoreStatus) {
    vxShutdown();
    std::vector<std::uint32_t> voxels(16, 0);
    EXPECT_EQ(vxUtilRenderFullBlock(voxels.data()),
              vxRender(404, 0, 0, 0, 0, 0, 0, voxels.data(), nullptr));
    EXPECT_EQ(vxUtilRenderSubBlock(0, 0, 0, 2, 2, 2, voxels.data()),
              vxRender(403, 0, 0, 0, 2, 2, 2, voxels.data(), nullptr));
}

} // namespace
