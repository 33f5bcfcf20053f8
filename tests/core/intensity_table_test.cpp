#include <cmath>

#include "core_test_support.h"

namespace {

using vxtest::Initialised;

const std::uint8_t *table() { return vx::core::state().intensity; }

struct Settings {
    float gamma, contrast, brightness;
    std::vector<std::pair<int, int>> entries; // index, value
};

class IntensityTable : public Initialised, public ::testing::WithParamInterface<Settings> {};

TEST_P(IntensityTable, ReproducesTheWorkedValues) {
    const Settings &s = GetParam();
    ASSERT_EQ(vxSetGammaFactor(s.gamma), VX_OK);
    ASSERT_EQ(vxSetContrast(s.contrast), VX_OK);
    ASSERT_EQ(vxSetBrightnessOffset(s.brightness), VX_OK);
    for (auto [i, v] : s.entries) EXPECT_EQ(table()[i], v) << "entry " << i;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table()[i] & 7, 0) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, IntensityTable,
    ::testing::Values(
        Settings{3.0f, 1.0f, 0.0f,
                 {{0, 0}, {64, 0}, {100, 8}, {128, 32}, {160, 56}, {192, 104}, {224, 168}, {255, 248}}},
        Settings{1.0f, 1.0f, 0.0f, {{100, 96}, {255, 248}, {7, 0}, {8, 8}, {200, 200}}},
        Settings{1.0f, 1.0f, 0.5f, {{0, 120}, {1, 128}, {127, 248}, {200, 248}}},
        Settings{0.0f, 1.0f, 0.0f, {{0, 248}, {1, 248}, {255, 248}}},
        Settings{1.0f, -1.0f, 1.0f, {{0, 248}, {255, 0}}},
        Settings{3.0f, 1.0f, 2.0f, {{0, 248}, {128, 248}, {255, 248}}},
        Settings{3.0f, 1.0f, -2.0f, {{0, 0}, {128, 0}, {255, 0}}}));

TEST_F(Initialised, TheTableFollowsEverySetterInTurn) {
    // Each setter rebuilds from the two stored settings and its new value.
    vxSetGammaFactor(1.0f);
    EXPECT_EQ(table()[100], 96);
    vxSetBrightnessOffset(0.5f);
    EXPECT_EQ(table()[0], 120);
    vxSetContrast(0.0f);
    EXPECT_EQ(table()[255], 120);
    float v = 0;
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_CONTRAST), 0.0f);
    EXPECT_EQ(vxtest::get<decltype(v)>(VX_GET_BRIGHTNESS_OFFSET), 0.5f);
}

TEST_F(Initialised, NegativeGammaIsRefusedAndChangesNothing) {
    vxSetGammaFactor(2.0f);
    const std::vector<std::uint8_t> before(table(), table() + 256);
    EXPECT_EQ(vxSetGammaFactor(-0.5f), VX_ERR_INVALID_ARGUMENT);
    float gamma = 0;
    vxGet(VX_GET_GAMMA_FACTOR, &gamma);
    EXPECT_EQ(gamma, 2.0f);
    EXPECT_EQ(std::vector<std::uint8_t>(table(), table() + 256), before);
}

TEST_F(Initialised, NotANumberSettingsGiveBlackInsteadOfUndefinedValues) {
    EXPECT_EQ(vxSetContrast(std::nanf("")), VX_OK);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table()[i], 0) << i;
    vxSetContrast(1.0f);
    EXPECT_EQ(vxSetBrightnessOffset(INFINITY), VX_OK);
    EXPECT_EQ(table()[0], 248);
}

void someCallback(unsigned int *) {}

TEST_F(Initialised, CallbackSettersInstallAndNullRestoresTheNoOp) {
    EXPECT_EQ(vxSetCallBackFunction(someCallback), VX_OK);
    EXPECT_EQ(vx::core::state().callback, &someCallback);
    EXPECT_EQ(vxSetCallBackFunction(nullptr), VX_OK);
    EXPECT_EQ(vx::core::state().callback, &vx::core::noOpCallback);
    EXPECT_EQ(vxSetHiddenCallBackFunction(someCallback), VX_OK);
    EXPECT_EQ(vx::core::state().callback, &someCallback);
    // It survives shutdown, but not the next initialise.
    vxShutdown();
    EXPECT_EQ(vx::core::state().callback, &someCallback);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(vx::core::state().callback, &vx::core::noOpCallback);
}

} // namespace
