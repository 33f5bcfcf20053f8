// The values a process sees before its first vxInitialize. These tests must run in a fresh
// process: CTest runs every test case in its own process.
#include "core_test_support.h"

#include <cstring>

namespace {

TEST(AtLoad, QueriesAnswerTheValuesBeforeTheFirstInitialize) {
    int i = -1;
    float f = -1;
    double d = -1;
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_RENDER_MODE), 400);
    EXPECT_EQ(vxtest::get<decltype(i)>(999), 1);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_INITIALIZED), 0);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_BUFFER_PIXELS), 0);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_DATA_FORMAT), 75);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_DEPTH_SCAN_METHOD), 201);
    EXPECT_EQ(vxtest::get<decltype(f)>(VX_GET_GAMMA_FACTOR), 0.0f);
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_NEAR_CLIP_PLANE), 0.0);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_MIN_DEPTH_FUNC1), 205);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_MAX_DEPTH_FUNC2), 209);
    // No pair selected yet: the user bounds answer.
    vxSetMinDepthz(7);
    std::uint8_t z = 0;
    EXPECT_EQ(vxtest::get<decltype(z)>(VX_GET_MIN_DEPTHZ), 7);
    EXPECT_EQ(vx::core::state().intensity[255], 0);
    EXPECT_EQ(vx::core::state().depthTable16[5], 0);
}

TEST(AtLoad, RenderBufferBeforeInitializeRefusesTheFormat) {
    unsigned word = 0;
    EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_ERR_INVALID_FORMAT);
    // Once a valid mode is set it finds no scratch buffers.
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_ERR_UNKNOWN);
}

TEST(AtLoad, QueryAfterFirstInitializeAndShutdownReadsZero) {
    int i = -1;
    ASSERT_EQ(vxInitialize(0), VX_OK);
    vxShutdown();
    EXPECT_EQ(vxtest::get<decltype(i)>(999), 0);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_RENDER_MODE), 402);
}

} // namespace
