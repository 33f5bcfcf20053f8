#include <climits>
#include <cstdlib>

#include "core_test_support.h"

namespace {

struct CapacityCase {
    int requested;
    int expected;
};

class Capacity : public ::testing::TestWithParam<CapacityCase> {
  protected:
    void TearDown() override { vxShutdown(); }
};

TEST_P(Capacity, IsClampedBetweenOnePlaneAndTheVolume) {
    ASSERT_EQ(vxInitialize(GetParam().requested), VX_OK);
    int capacity = 0;
    ASSERT_EQ(vxGet(VX_GET_BUFFER_PIXELS, &capacity), VX_OK);
    EXPECT_EQ(capacity, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Requests, Capacity,
                         ::testing::Values(CapacityCase{0, 765952}, CapacityCase{-5, 765952},
                                           CapacityCase{INT_MIN, 765952},
                                           CapacityCase{765951, 765952},
                                           CapacityCase{1000000, 1000000},
                                           CapacityCase{15319040, 15319040},
                                           CapacityCase{15319041, 15319040},
                                           CapacityCase{100000000, 15319040},
                                           CapacityCase{INT_MAX, 15319040}));

TEST(Lifecycle, SecondInitializeIsRefusedAndKeepsTheFirstCapacity) {
    ASSERT_EQ(vxInitialize(1000000), VX_OK);
    EXPECT_EQ(vxInitialize(2000000), VX_ERR_ALREADY_INITIALIZED);
    int capacity = 0, initialised = 0;
    vxGet(VX_GET_BUFFER_PIXELS, &capacity);
    vxGet(VX_GET_INITIALIZED, &initialised);
    EXPECT_EQ(capacity, 1000000);
    EXPECT_EQ(initialised, 1);
    vxShutdown();
}

TEST(Lifecycle, InitializedFlagFollowsTheLifecycleAndShutdownAlwaysSucceeds) {
    EXPECT_EQ(vxShutdown(), VX_OK);
    for (int round = 0; round < 2; ++round) {
        int flag = -1;
        ASSERT_EQ(vxInitialize(0), VX_OK);
        vxGet(VX_GET_INITIALIZED, &flag);
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(vxShutdown(), VX_OK);
        vxGet(VX_GET_INITIALIZED, &flag);
        EXPECT_EQ(flag, 0);
        EXPECT_EQ(vx::core::state().workBuffer, nullptr);
        EXPECT_EQ(vx::core::state().outputBuffer, nullptr);
    }
    EXPECT_EQ(vxShutdown(), VX_OK);
}

TEST(Lifecycle, InitializeReplacesEarlierSettingsWithTheDefaults) {
    vxSetDataFormat(VX_FORMAT_GRAY8);
    vxSetGammaFactor(1.5f);
    vxSetContrast(0.5f);
    vxSetBrightnessOffset(0.25f);
    vxSetNearFarClipPlanes(5.0, 50.0);
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0);
    vxSetMaxDepthFunc(206, 208, 210);
    vxSetMinDepthz(9);
    ASSERT_EQ(vxInitialize(0), VX_OK);

    int i = 0;
    float f = 0;
    double d = 0;
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_DATA_FORMAT), 75);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_RENDER_MODE), 402);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_FLAG_SWAP_ON_WRITE), 1);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_FLAG_CLEAR_ON_SWAP), 1);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_FLAG_LINEARIZE_DEPTH), 0);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_DEPTH_SCAN_METHOD), 201);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_MAX_DEPTH_FUNC1), 205);
    EXPECT_EQ(vxtest::get<decltype(i)>(VX_GET_MAX_DEPTH_FUNC3), 209);
    EXPECT_EQ(vxtest::get<decltype(f)>(VX_GET_GAMMA_FACTOR), 3.0f);
    EXPECT_EQ(vxtest::get<decltype(f)>(VX_GET_CONTRAST), 1.0f);
    EXPECT_EQ(vxtest::get<decltype(f)>(VX_GET_BRIGHTNESS_OFFSET), 0.0f);
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_NEAR_CLIP_PLANE), 1.0);
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_FAR_CLIP_PLANE), 100.0);
    EXPECT_EQ(vxtest::get<decltype(i)>(999), 0);
    const vx::core::LibraryState &s = vx::core::state();
    EXPECT_EQ(s.region.width, 1024);
    EXPECT_EQ(s.region.height, 748);
    EXPECT_EQ(s.region.pixels, 765952);
    EXPECT_EQ(s.userBounds.lo8, 0);
    EXPECT_EQ(s.depthTable16[32768], 32768); // identity again
    EXPECT_EQ(s.intensity[128], 32);         // built from gamma 3
    vxShutdown();
}

int g_callbackCalls = 0;
void countingCallback(unsigned int *) { ++g_callbackCalls; }

TEST(Lifecycle, CallbackInstalledBeforeInitializeIsDropped) {
    vxSetCallBackFunction(countingCallback);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(vx::core::state().callback, &vx::core::noOpCallback);
    vxShutdown();
}

// An allocator that fails its n-th call, counting what it handed out and what came back.
int g_allocations = 0;
int g_failAt = 0;
void *failingAllocator(std::size_t bytes) {
    return ++g_allocations == g_failAt ? nullptr : std::malloc(bytes);
}

class ScratchFailure : public ::testing::TestWithParam<int> {
  protected:
    void TearDown() override {
        vx::core::setScratchAllocator(nullptr);
        vxShutdown();
    }
};

TEST_P(ScratchFailure, LeavesTheLibraryUninitialisedWithDefaults) {
    vxSetGammaFactor(1.0f);
    g_allocations = 0;
    g_failAt = GetParam();
    vx::core::setScratchAllocator(failingAllocator);
    EXPECT_EQ(vxInitialize(0), VX_ERR_NO_MEMORY);

    const vx::core::LibraryState &s = vx::core::state();
    EXPECT_EQ(s.initialized, 0);
    EXPECT_EQ(s.workBuffer, nullptr);
    EXPECT_EQ(s.outputBuffer, nullptr);
    float gamma = 0;
    vxGet(VX_GET_GAMMA_FACTOR, &gamma);
    EXPECT_EQ(gamma, 3.0f);
    // The emulator was not started, and a frame finds no scratch buffers.
    EXPECT_EQ(vxEmuReadPlane(0, 0, std::vector<unsigned char>(VX_PLANE_PIXELS * 3).data()),
              VX_ERR_UNKNOWN);
    std::vector<unsigned> frame(VX_PLANE_PIXELS);
    EXPECT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_ERR_UNKNOWN);

    // The next attempt with memory succeeds.
    vx::core::setScratchAllocator(nullptr);
    EXPECT_EQ(vxInitialize(0), VX_OK);
}

INSTANTIATE_TEST_SUITE_P(OutputThenWork, ScratchFailure, ::testing::Values(1, 2));

TEST(Lifecycle, GlobalResetAndHardwareErrorDoNothing) {
    EXPECT_EQ(vxGlobalReset(), VX_OK);
    EXPECT_EQ(vxGetLastHardwareError(1, 2), VX_OK);
}

} // namespace
