// The picture of a known volume: chosen pixels against a model of the projection, for every
// display mode, with image offset, bounding box and perspective on and off; and the redraw
// that uploads only changed rows against the one that uploads every plane, pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "emulator_test_support.h"

namespace {

using emutest::Block;
using emutest::Picture;
using emutest::readPicture;
using emutest::Rgb;
using vx::emu::EmulatedVolume;
using vx::emu::RedrawStrategy;

class PictureTest : public emutest::Emulator {
  protected:
    void SetUp() override {
        emutest::Emulator::SetUp();
        ASSERT_EQ(vxEmuSetCamera(3.0f, 0, 0, 0), VX_OK);
        // Most cases look at the planes alone.
        ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuBoundingBox), VX_OK);
        ASSERT_FALSE(vx::emu::volume().boundingBox());
        emutest::showBlocks(emutest::testScene());
    }

    Picture redrawAndRead() {
        EXPECT_EQ(vxEmuUpdateDisplay(), 0u);
        return readPicture();
    }

    // The window pixel where a ray meets the point (x, y) of plane 0.
    void pixelOnFrontPlane(double x, double y, int &px, int &py) {
        const vx::emu::Camera &c = vx::emu::camera();
        double fx = 0, fy = 0;
        ASSERT_TRUE(emutest::project(x, y, 0, c.clientWidth, c.clientHeight, fx, fy));
        px = int(fx), py = int(fy);
    }
};

TEST_F(PictureTest, NormalDisplayStacksThePlanesOneBehindTheOther) {
    const Picture pic = redrawAndRead();
    ASSERT_EQ(pic.width, vx::emu::camera().clientWidth);
    ASSERT_EQ(pic.height, vx::emu::camera().clientHeight);
    EXPECT_GT(emutest::expectPictureMatchesModel(pic), 300);
    // Where all four planes overlap above the blue part and left of the green edge:
    // red 200 + grey 60 saturates, green 150 + 60, blue 60 only.
    int px = 0, py = 0;
    pixelOnFrontPlane(-0.3, 0.45, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{255, 210, 60}));
    // Outside the front plane's square nothing is drawn.
    EXPECT_EQ(pic.at(1, pic.height - 2), (Rgb{0, 0, 0}));
}

TEST_F(PictureTest, FlatDisplayAddsEveryPlaneIntoOneSquare) {
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuFlatDisplay), VX_OK);
    const Picture pic = redrawAndRead();
    EXPECT_GT(emutest::expectPictureMatchesModel(pic), 300);
    // The bottom image rows of every plane coincide: red, green (left half), blue, grey.
    int px = 0, py = 0;
    pixelOnFrontPlane(-0.5, -0.3, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{255, 210, 240}));
    pixelOnFrontPlane(0.5, -0.3, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{255, 60, 240}));
}

TEST_F(PictureTest, IndividualDisplayDrawsOnlyTheChosenPlanes) {
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuIndividualDisplay), VX_OK);
    Picture pic = redrawAndRead();
    // No plane chosen: black.
    EXPECT_TRUE(std::all_of(pic.rgb.begin(), pic.rgb.end(), [](std::uint8_t v) { return v == 0; }));
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuPlane0 + 5), VX_OK);
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuPlane0 + 12), VX_OK);
    pic = redrawAndRead();
    EXPECT_GT(emutest::expectPictureMatchesModel(pic), 300);
    int px = 0, py = 0;
    pixelOnFrontPlane(-0.3, 0.45, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{0, 150, 0}));
}

TEST_F(PictureTest, NoDisplayDrawsNothingAndStoresNothing) {
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuNoDisplay), VX_OK);
    Picture pic = redrawAndRead();
    EXPECT_TRUE(std::all_of(pic.rgb.begin(), pic.rgb.end(), [](std::uint8_t v) { return v == 0; }));
    // Frames are not stored either (swap-on-write is off here): back in normal display, the
    // front store still shows the scene.
    std::vector<std::uint32_t> words(std::size_t(1024) * 748, 0x00006300u);
    ASSERT_EQ(vxRender(VX_RENDER_SUB_BLOCK, 0, 0, 3, 1024, 748, 1, words.data(), nullptr), VX_OK);
    EXPECT_TRUE(vx::emu::volume().colouredRows(0, 3).empty());
    EXPECT_TRUE(vx::emu::volume().colouredRows(1, 3).empty());
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuNormalDisplay), VX_OK);
    pic = redrawAndRead();
    EXPECT_GT(emutest::expectPictureMatchesModel(pic), 300);
}

TEST_F(PictureTest, ImageOffsetMovesEachPlaneDownByTwentyMinusItsIndex) {
    // Near the top of plane 0's square, where no other plane reaches: texture row 7, which
    // holds image row 7 without the offset and nothing with it (plane 0 starts at row 20).
    int px = 0, py = 0;
    pixelOnFrontPlane(0.0, 1.0 - 7.5 / 512.0, px, py);
    Picture pic = redrawAndRead();
    EXPECT_EQ(pic.at(px, py), (Rgb{0, 0, 0}));
    pixelOnFrontPlane(0.0, 1.0 - 27.5 / 512.0, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{200, 0, 0}));

    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuImageOffset), VX_OK);
    ASSERT_FALSE(vx::emu::volume().imageOffset());
    emutest::showBlocks(emutest::testScene());
    pic = redrawAndRead();
    pixelOnFrontPlane(0.0, 1.0 - 7.5 / 512.0, px, py);
    EXPECT_EQ(pic.at(px, py), (Rgb{200, 0, 0}));
    EXPECT_GT(emutest::expectPictureMatchesModel(pic), 300);
}

TEST_F(PictureTest, BoundingBoxIsARedOutlineAddedToThePicture) {
    const vx::emu::Camera &c = vx::emu::camera();
    // Just outside the right edge of the front square, halfway up: the outline's right front
    // edge (three pixels wide) covers it, nothing else does.
    double ex = 0, ey = 0;
    ASSERT_TRUE(emutest::project(1.0, 0.25, 0, c.clientWidth, c.clientHeight, ex, ey));
    // A pixel whose centre lies 0.3 to 1.3 pixels right of the edge.
    const int px = int(std::floor(ex + 0.8)), py = int(ey);
    Picture pic = redrawAndRead();
    EXPECT_EQ(pic.at(px, py), (Rgb{0, 0, 0}));
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuBoundingBox), VX_OK);
    pic = redrawAndRead();
    EXPECT_EQ(pic.at(px, py), (Rgb{255, 0, 0}));
    // On the top front edge over the planes, red is added to what the planes give.
    ASSERT_TRUE(emutest::project(-0.5, 1.0, 0, c.clientWidth, c.clientHeight, ex, ey));
    EXPECT_EQ(pic.at(int(ex), int(ey)).r, 255);
    // Far from every edge the picture is the planes' alone.
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuBoundingBox), VX_OK);
    const Picture without = redrawAndRead();
    int same = 0;
    for (int y = 0; y < pic.height; y += 7)
        for (int x = 0; x < pic.width; x += 7) same += pic.at(x, y) == without.at(x, y);
    EXPECT_GT(same, pic.width * pic.height / 49 * 8 / 10);
}

TEST_F(PictureTest, WithoutPerspectiveTheVolumeShrinksToTheLowerLeftCorner) {
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuPerspective), VX_OK);
    ASSERT_EQ(vx::emu::camera().perspective, 0);
    const Picture pic = redrawAndRead();
    // glOrtho(0, width, 0, height, 1, 100): window pixel (0, 0) sees the point (0.5, 0.75)
    // of every plane, texel column 768, row 128: red 200 + grey 60, grey, grey.
    EXPECT_EQ(pic.at(0, 0), (Rgb{255, 60, 60}));
    int lit = 0;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) lit += !(pic.at(x, y) == Rgb{});
    EXPECT_EQ(lit, 1);
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuPerspective), VX_OK);
    EXPECT_GT(emutest::expectPictureMatchesModel(redrawAndRead()), 300);
}

TEST_F(PictureTest, AResizeToZeroHeightCountsAsOneRow) {
    vxEmuResize(320, 0);
    EXPECT_EQ(vx::emu::camera().clientWidth, 320);
    EXPECT_EQ(vx::emu::camera().clientHeight, 1);
    EXPECT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_TRUE(emutest::messages().empty());
    int w = 0, h = 0;
    vx::emu::activePlatform()->clientSize(w, h);
    vxEmuResize(w, h);
    EXPECT_GT(emutest::expectPictureMatchesModel(redrawAndRead()), 300);
}

// A sequence of scenes drawn with both redraws; the changed-rows one keeps its textures
// from step to step, so every kind of change reaches it.
TEST_F(PictureTest, ChangedRowsRedrawGivesTheSamePixelsAsTheFullUpload) {
    EmulatedVolume &dev = vx::emu::volume();
    auto compare = [&](const char *step) {
        dev.setRedrawStrategy(RedrawStrategy::ChangedRows);
        const Picture changed = redrawAndRead();
        dev.setRedrawStrategy(RedrawStrategy::FullUpload);
        const Picture full = redrawAndRead();
        dev.setRedrawStrategy(RedrawStrategy::ChangedRows);
        ASSERT_EQ(changed.rgb.size(), full.rgb.size());
        EXPECT_TRUE(changed.rgb == full.rgb) << step;
        EXPECT_TRUE(std::any_of(full.rgb.begin(), full.rgb.end(), [](std::uint8_t v) { return v; }))
            << step;
    };
    ASSERT_EQ(vxEmuSetCamera(4.0f, 20.0f, -35.0f, 5.0f), VX_OK);
    compare("test scene");
    emutest::showBlocks({{7, 100, 400, 900, 420, 10, 200, 30}});
    compare("a band on one plane, the rest swapped to black");
    ASSERT_EQ(vxSetFlag(VX_FLAG_CLEAR_ON_SWAP, 0), VX_OK);
    emutest::showBlocks({{7, 100, 400, 900, 420, 10, 200, 30}, {8, 0, 0, 1023, 747, 1, 2, 3}});
    compare("the same band again in the other store, and a full plane");
    ASSERT_EQ(vxSwapBuffers(), VX_OK);
    compare("swapped back without clearing");
    ASSERT_EQ(vxSwapBuffers(), VX_OK);
    compare("and forth");
    ASSERT_EQ(vxSetFlag(VX_FLAG_CLEAR_ON_SWAP, 1), VX_OK);
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuFlatDisplay), VX_OK);
    compare("flat");
    // Full-plane frames of random words with swap-on-write: every plane changes everywhere.
    ASSERT_EQ(vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 1), VX_OK);
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuNormalDisplay), VX_OK);
    std::mt19937 rng(11);
    std::vector<std::uint32_t> frame(VX_PLANE_PIXELS);
    for (int n = 0; n < 2; ++n) {
        for (auto &w : frame) w = rng();
        ASSERT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
        compare("random full-plane frame");
    }
    // A sparse frame: a band of colour, black words (plane 0) elsewhere.
    std::fill(frame.begin(), frame.end(), 0u);
    for (int y = 200; y < 230; ++y)
        for (int x = 0; x < 1024; ++x) frame[std::size_t(y) * 1024 + x] = 0x80808000u | (3 * 32 + 8);
    ASSERT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    compare("sparse full-plane frame");
    ASSERT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuImageOffset), VX_OK);
    ASSERT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    compare("sparse frame without image offset");
}

} // namespace
