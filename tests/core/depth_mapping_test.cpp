#include "core_test_support.h"

namespace {

using vxtest::Initialised;

const vx::core::LibraryState &S() { return vx::core::state(); }

TEST_F(Initialised, LinearisedTablesReproduceTheWorkedValues) {
    ASSERT_EQ(vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1), VX_OK);
    const std::pair<int, int> table16[] = {{0, 0}, {100, 1}, {1000, 10}, {32768, 648}, {65535, 65535}};
    for (auto [i, v] : table16) EXPECT_EQ(S().depthTable16[i], v) << i;
    const std::pair<int, int> table8[] = {{0, 0}, {128, 2}, {200, 8}, {250, 84}, {254, 182}, {255, 255}};
    for (auto [i, v] : table8) EXPECT_EQ(S().depthTable8[i], v) << i;

    ASSERT_EQ(vxSetNearFarClipPlanes(100.0, 1.0), VX_OK);
    EXPECT_EQ(S().depthTable16[1], 99);
    EXPECT_EQ(S().depthTable16[0], 0);
    EXPECT_EQ(S().depthTable16[65535], 65535);
}

TEST_F(Initialised, TablesRiseMonotonicallyWhenLinearised) {
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    for (auto planes : {std::pair{1.0, 100.0}, std::pair{100.0, 1.0}, std::pair{0.5, 3.0}}) {
        ASSERT_EQ(vxSetNearFarClipPlanes(planes.first, planes.second), VX_OK);
        for (int i = 1; i < 65536; ++i) ASSERT_LE(S().depthTable16[i - 1], S().depthTable16[i]) << i;
        for (int i = 1; i < 256; ++i) ASSERT_LE(S().depthTable8[i - 1], S().depthTable8[i]) << i;
    }
}

TEST_F(Initialised, NearPlaneZeroGivesAllZeroTables) {
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    ASSERT_EQ(vxSetNearFarClipPlanes(0.0, 10.0), VX_OK);
    for (int i = 0; i < 65536; ++i) ASSERT_EQ(S().depthTable16[i], 0) << i;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(S().depthTable8[i], 0) << i;
    // The same with the far plane at 0.
    ASSERT_EQ(vxSetNearFarClipPlanes(10.0, 0.0), VX_OK);
    EXPECT_EQ(S().depthTable16[0], 0);
}

TEST_F(Initialised, FlagOffMeansIdentityWhateverThePlanes) {
    ASSERT_EQ(vxSetNearFarClipPlanes(3.0, 7.0), VX_OK);
    for (int i : {0, 1, 1000, 32768, 65535}) EXPECT_EQ(S().depthTable16[i], i);
    for (int i : {0, 128, 255}) EXPECT_EQ(S().depthTable8[i], i);
    vxSetNearFarClipPlanes(1.0, 100.0);
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    EXPECT_EQ(S().depthTable16[32768], 648);
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 0);
    EXPECT_EQ(S().depthTable16[32768], 32768);
}

TEST_F(Initialised, FlagRebuildsOnlyWhenItsValueChanges) {
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    vx::core::state().depthTable16[32768] = 1234; // a rebuild would put 648 back
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    EXPECT_EQ(S().depthTable16[32768], 1234);
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 2);
    EXPECT_EQ(S().depthTable16[32768], 648);
    int flag = 0;
    vxGet(VX_FLAG_LINEARIZE_DEPTH, &flag);
    EXPECT_EQ(flag, 2);
}

TEST_F(Initialised, BadClipPlanesChangeNothing) {
    vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1);
    for (auto planes : {std::pair{-1.0, 10.0}, std::pair{1.0, -1.0}, std::pair{5.0, 5.0},
                        std::pair{0.0, 0.0}}) {
        EXPECT_EQ(vxSetNearFarClipPlanes(planes.first, planes.second), VX_ERR_INVALID_ARGUMENT);
        double n = 0, f = 0;
        vxGet(VX_GET_NEAR_CLIP_PLANE, &n);
        vxGet(VX_GET_FAR_CLIP_PLANE, &f);
        EXPECT_EQ(n, 1.0);
        EXPECT_EQ(f, 100.0);
        EXPECT_EQ(S().depthTable16[32768], 648);
    }
    EXPECT_EQ(vxSetNearFarClipPlanes(10.0, 1.0), VX_OK);
}

TEST_F(Initialised, DepthFunctionValuesOutsideTheirSetsAreRefused) {
    const unsigned bad[][3] = {{205, 206, 209}, {204, 209, 209}, {205, 209, 211}, {207, 209, 209},
                               {205, 210, 209}, {206, 208, 208}, {0, 0, 0}};
    for (const auto &f : bad) {
        EXPECT_EQ(vxSetMinDepthFunc(f[0], f[1], f[2]), VX_ERR_INVALID_ARGUMENT);
        EXPECT_EQ(vxSetMaxDepthFunc(f[0], f[1], f[2]), VX_ERR_INVALID_ARGUMENT);
    }
    int v = 0;
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_MIN_DEPTH_FUNC1), 205);
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_MAX_DEPTH_FUNC2), 209);
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_DEPTH_SCAN_METHOD), 201);
}

TEST_F(Initialised, ThePairOfFunctionsSelectsTheMethod) {
    // Each step sets one function; the method is chosen from the pair stored afterwards.
    const struct {
        bool nearFunc;
        unsigned f[3];
        int method;
    } steps[] = {{false, {206, 208, 210}, 203}, {true, {206, 208, 209}, 204},
                 {false, {206, 208, 209}, 200}, {true, {205, 209, 209}, 204},
                 {false, {205, 207, 209}, 202}, {false, {205, 209, 209}, 201},
                 {true, {205, 207, 209}, 204}, {true, {205, 209, 210}, 204},
                 {true, {205, 209, 209}, 201}};
    for (const auto &s : steps) {
        const unsigned status = s.nearFunc ? vxSetMinDepthFunc(s.f[0], s.f[1], s.f[2])
                                           : vxSetMaxDepthFunc(s.f[0], s.f[1], s.f[2]);
        EXPECT_EQ(status, VX_OK);
        int method = 0, first = 0, second = 0, third = 0;
        vxGet(VX_GET_DEPTH_SCAN_METHOD, &method);
        EXPECT_EQ(method, s.method) << s.f[0] << "," << s.f[1] << "," << s.f[2];
        const unsigned base = s.nearFunc ? VX_GET_MIN_DEPTH_FUNC1 : VX_GET_MAX_DEPTH_FUNC1;
        vxGet(base, &first), vxGet(base + 1, &second), vxGet(base + 2, &third);
        EXPECT_EQ(unsigned(first), s.f[0]);
        EXPECT_EQ(unsigned(second), s.f[1]);
        EXPECT_EQ(unsigned(third), s.f[2]);
    }
}

TEST_F(Initialised, BoundsInEffectFollowTheMethod) {
    vx::core::state().computedBounds = {1, 2, 3, 4};
    vxSetMinDepthz(10);
    vxSetMinDepths(1000);
    vxSetMaxDepthz(20);
    vxSetMaxDepths(2000);
    std::uint8_t z = 0;
    std::uint16_t d = 0;
    EXPECT_EQ(vxtest::get<decltype(z)>(VX_GET_MIN_DEPTHZ), 1);   // 201: computed
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_MAX_DEPTHS), 4);
    vxSetMinDepthFunc(206, 208, 209);
    vxSetMaxDepthFunc(206, 208, 209);                 // 200: user
    EXPECT_EQ(vxtest::get<decltype(z)>(VX_GET_MIN_DEPTHZ), 10);
    EXPECT_EQ(vxtest::get<decltype(z)>(VX_GET_MAX_DEPTHZ), 20);
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_MIN_DEPTHS), 1000);
    EXPECT_EQ(vxtest::get<decltype(d)>(VX_GET_MAX_DEPTHS), 2000);
    vxSetMaxDepthFunc(206, 208, 210);                 // 204: computed again
    EXPECT_EQ(vxtest::get<decltype(z)>(VX_GET_MIN_DEPTHZ), 1);
    // A near bound above the far one is accepted.
    EXPECT_EQ(vxSetMinDepthz(255), VX_OK);
    EXPECT_EQ(vxSetMaxDepthz(0), VX_OK);
}

TEST_F(Initialised, InitializeBringsTheFunctionsBackWithMethod201) {
    vxSetMinDepthFunc(206, 208, 209);
    vxSetMaxDepthFunc(206, 208, 209);
    vxShutdown();
    ASSERT_EQ(vxInitialize(0), VX_OK);
    int v = 0;
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_DEPTH_SCAN_METHOD), 201);
    for (unsigned id = VX_GET_MIN_DEPTH_FUNC1; id <= VX_GET_MAX_DEPTH_FUNC3; ++id) {
        vxGet(id, &v);
        EXPECT_EQ(v, (id == 312 || id == 315) ? 205 : 209) << id;
    }
}

} // namespace
