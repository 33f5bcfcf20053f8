// Start-up and teardown of the emulator: twice in a row, every start-up failure with its
// message (after which the library runs without drawing), the extensions' statuses, PNG
// snapshots, and "Exit" ending a process of its own with status 0.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "emulator_test_support.h"
#include "spawn_support.h"
#include "x11_test_support.h"

namespace {

using emutest::messages;
using vx::emu::activePlatform;
using vx::emu::ContextStep;

std::vector<std::uint32_t> redFrame() { return std::vector<std::uint32_t>(VX_PLANE_PIXELS, 0xC8000000u); }

TEST(Lifecycle, InitialiseAndShutDownTwiceInARow) {
    vxEmuSetMessageHandler(emutest::logMessage);
    messages().clear();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(vxInitialize(0), VX_OK) << round;
        ASSERT_NE(activePlatform(), nullptr);
        EXPECT_EQ(activePlatform()->offscreen(), !emutest::haveDisplay());
        EXPECT_TRUE(activePlatform()->hasContext());
        EXPECT_TRUE(vx::emu::volume().hasStores());
        if (emutest::haveDisplay()) {
            emutest::XConnection x;
            EXPECT_NE(x.findOwn("Voxtera Emulator"), 0u) << round;
        }
        const auto frame = redFrame();
        EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
        EXPECT_EQ(emutest::readPicture().at(vx::emu::camera().clientWidth / 2,
                                            vx::emu::camera().clientHeight / 2),
                  (emutest::Rgb{200, 0, 0}));
        EXPECT_EQ(vxEmuProcessMessages(), 1);
        EXPECT_EQ(vxShutdown(), VX_OK);
        EXPECT_EQ(activePlatform(), nullptr);
        EXPECT_FALSE(vx::emu::volume().hasStores());
        if (emutest::haveDisplay()) {
            emutest::XConnection x;
            EXPECT_EQ(x.findOwn("Voxtera Emulator"), 0u) << round;
        }
    }
    EXPECT_EQ(vxShutdown(), VX_OK); // also when not initialised
    EXPECT_TRUE(messages().empty());
    vxEmuSetMessageHandler(nullptr);
}

TEST(Lifecycle, ExtensionsAnswerUnknownWhileTheLibraryIsClosed) {
    vxEmuSetMessageHandler(emutest::logMessage);
    EXPECT_EQ(vxEmuProcessMessages(), 0);
    EXPECT_EQ(vxEmuSaveSnapshot("/tmp/vx-never-written.png"), VX_ERR_UNKNOWN);
    EXPECT_EQ(vxEmuRunMenuCommand(40030), VX_ERR_UNKNOWN);
    EXPECT_EQ(vxEmuSetCamera(3, 0, 0, 0), VX_ERR_UNKNOWN);
    EXPECT_EQ(vxEmuSetOffscreen(0), VX_OK);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(vxEmuSetOffscreen(1), VX_ERR_ALREADY_INITIALIZED);
    EXPECT_FALSE(vx::emu::offscreenRequested());
    vxShutdown();
    vxEmuSetMessageHandler(nullptr);
}

// A start-up step that fails: its message (caption "ERROR"), no window, no device; the
// library still initialises and every call works without drawing. The next start-up works.
class StartupFailure : public ::testing::TestWithParam<std::pair<ContextStep, const char *>> {
  protected:
    void SetUp() override {
        messages().clear();
        vxEmuSetMessageHandler(emutest::logMessage);
    }
    void TearDown() override {
        vx::emu::setContextFailureForTesting(ContextStep::Done);
        vxShutdown();
        vxEmuSetMessageHandler(nullptr);
    }
};

TEST_P(StartupFailure, IsReportedAndTheLibraryStillRuns) {
    vx::emu::setContextFailureForTesting(GetParam().first);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string("ERROR|") + GetParam().second}));
    EXPECT_FALSE(activePlatform()->hasContext());
    EXPECT_FALSE(activePlatform()->hasWindow());
    EXPECT_FALSE(vx::emu::volume().hasStores());
    if (emutest::haveDisplay()) {
        emutest::XConnection x;
        EXPECT_EQ(x.findOwn("Voxtera Emulator"), 0u);
    }
    const auto frame = redFrame();
    EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(vxSwapBuffers(), VX_OK);
    EXPECT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(vxEmuRunMenuCommand(40032), VX_OK);
    EXPECT_EQ(vxEmuProcessMessages(), 1);
    EXPECT_EQ(vxEmuSaveSnapshot("/tmp/vx-never-written.png"), VX_ERR_UNKNOWN);
    vxShutdown();

    vx::emu::setContextFailureForTesting(ContextStep::Done);
    messages().clear();
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(activePlatform()->hasContext());
    EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(vxEmuSaveSnapshot("/dev/null"), VX_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StartupFailure,
    ::testing::Values(std::make_pair(ContextStep::DeviceContext, "Can't Create A GL Device Context."),
                      std::make_pair(ContextStep::PixelFormat, "Can't Find A Suitable PixelFormat."),
                      std::make_pair(ContextStep::SetPixelFormat, "Can't Set The PixelFormat."),
                      std::make_pair(ContextStep::CreateContext,
                                     "Can't Create A GL Rendering Context."),
                      std::make_pair(ContextStep::MakeCurrent,
                                     "Can't Activate The GL Rendering Context.")),
    [](const auto &info) { return std::to_string(int(info.param.first)); });

// Decodes a PNG file into rows of RGB.
bool readPng(const char *path, std::vector<std::uint8_t> &rgb, int &width, int &height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    width = int(image.width);
    height = int(image.height);
    rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

class Snapshot : public emutest::Emulator {};

TEST_F(Snapshot, WritesTheLastPictureAsPng) {
    EXPECT_EQ(vxEmuSaveSnapshot("/tmp/vx-never-written.png"), VX_ERR_UNKNOWN); // nothing drawn yet
    emutest::showBlocks(emutest::testScene());
    ASSERT_EQ(vxEmuSetCamera(3.5f, 10.0f, -25.0f, 0.0f), VX_OK);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    const std::string path = ::testing::TempDir() + "vx-snapshot-" + std::to_string(getpid()) + ".png";
    ASSERT_EQ(vxEmuSaveSnapshot(path.c_str()), VX_OK);
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
    ASSERT_TRUE(readPng(path.c_str(), rgb, width, height));
    std::remove(path.c_str());
    const emutest::Picture pic = emutest::readPicture();
    EXPECT_EQ(width, pic.width);
    EXPECT_EQ(height, pic.height);
    if (activePlatform()->offscreen()) {
        EXPECT_EQ(width, 800);
        EXPECT_EQ(height, 600);
    }
    EXPECT_TRUE(rgb == pic.rgb);
    // A later change of the camera shows only at the next redraw.
    ASSERT_EQ(vxEmuSetCamera(9.0f, 0, 0, 0), VX_OK);
    EXPECT_TRUE(emutest::readPicture().rgb == pic.rgb);
}

TEST_F(Snapshot, ReportsBadPathsAndFailedWrites) {
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(vxEmuSaveSnapshot(nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxEmuSaveSnapshot("/nonexistent-folder/picture.png"), VX_ERR_FILE_OPEN);
    EXPECT_EQ(vxEmuSaveSnapshot("/dev/full"), VX_ERR_IMAGE_WRITE);
    EXPECT_TRUE(messages().empty());
}

// "Exit" ends the whole process through the normal exit path (atexit handlers run) with
// status 0, here in a helper process, through the window's menu and through the handler.
TEST(Exit, EndsTheProcessWithStatusZero) {
    for (const char *how : {"menu", "command"}) {
        int status = -1;
        const std::string out = emutest::runProcess({VX_HELPER, how}, status);
        EXPECT_EQ(out, "started\nexit handlers ran\n") << how;
        ASSERT_TRUE(WIFEXITED(status)) << how;
        EXPECT_EQ(WEXITSTATUS(status), 0) << how;
    }
}

} // namespace
