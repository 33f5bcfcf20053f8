// vxtool snapshot and view: files rendered by the display emulator. The suite runs without a
// display (DISPLAY is empty), so the emulator renders offscreen into 800 x 600 pictures.
#include "tool_test_support.h"
#include "vxUtil.h"

namespace {

using namespace tooltest;

class VxtoolDisplay : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        // A white block of 64 x 64 x 4 voxels; the tool centres it on planes 8 to 11.
        lit_ = writeMvd("lit.mvd", MVD_WORD32, 64, 64, 4, Words(64 * 64 * 4, word(255, 255, 255)));
        black_ = writeMvd("black.mvd", MVD_WORD32, 64, 64, 4, Words(64 * 64 * 4, 0));
    }
    // Renders a file and reads the picture back; checks the run and the picture's size.
    Png snapshot(const std::string &file, std::vector<std::string> options) {
        std::string out = path("shot" + std::to_string(++count_) + ".png");
        options.insert(options.begin(), "snapshot");
        options.push_back(file);
        options.push_back(out);
        Outcome r = vxtool(options);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.out, "wrote " + out + "\n");
        Png png = readPng(out);
        EXPECT_TRUE(png.ok) << out;
        EXPECT_EQ(png.width, 800);
        EXPECT_EQ(png.height, 600);
        return png;
    }
    std::string lit_, black_;
    int count_ = 0;
};

TEST_F(VxtoolDisplay, ContentShowsOnlyWhereItIsDrawn) {
    struct Case {
        const char *what;
        bool litFile;
        std::vector<std::string> options;
        bool expectLight;
    };
    const Case cases[] = {
        {"lit block", true, {"--no-box"}, true},
        {"display none", true, {"--no-box", "--display", "none"}, false},
        {"black block, outline drawn", false, {}, true},
        {"black block, no outline", false, {"--no-box"}, false},
        {"flat display", true, {"--no-box", "--display", "flat"}, true},
        {"individual display, a lit plane", true, {"--no-box", "--planes", "9"}, true},
        {"individual display, an empty plane", true, {"--no-box", "--planes", "19"}, false},
        {"individual display, no plane", true, {"--no-box", "--display", "individual"}, false},
        {"view from the right", true, {"--no-box", "--view", "right"}, true},
        {"view from the top", true, {"--no-box", "--view", "top"}, true},
        {"camera", true, {"--no-box", "--camera", "5,10,20,0"}, true},
    };
    for (const auto &c : cases) {
        Png png = snapshot(c.litFile ? lit_ : black_, c.options);
        if (c.expectLight) EXPECT_GT(png.nonBlack(), 0u) << c.what;
        else EXPECT_EQ(png.nonBlack(), 0u) << c.what;
    }
}

TEST_F(VxtoolDisplay, TheViewAndCameraChangeThePicture) {
    Png front = snapshot(lit_, {"--no-box"});
    Png right = snapshot(lit_, {"--no-box", "--view", "right"});
    Png near = snapshot(lit_, {"--no-box", "--camera", "2,0,0,0"});
    EXPECT_NE(front.rgb, right.rgb);
    // Seen edge on, four planes cover less of the picture than their faces do.
    EXPECT_LT(right.nonBlack(), front.nonBlack());
    // Nearer, the same block covers more.
    EXPECT_GT(near.nonBlack(), front.nonBlack());
}

TEST_F(VxtoolDisplay, EveryFileKindRenders) {
    Bytes rgbz(64 * 64 * 4);
    for (std::size_t i = 0; i < rgbz.size(); i += 4)
        rgbz[i] = 255, rgbz[i + 1] = 128, rgbz[i + 2] = 0, rgbz[i + 3] = (unsigned char)(i / 4 % 64 * 4);
    std::string tga = writeTga("frame.tga", 64, 64, rgbz);
    std::string raw = writeRaw("grey", 64, 64, 3, Bytes(64 * 64 * 3, 255));
    std::string plane = writeMvd("plane.mvd", MVD_COLOR15_RLE, 64, 64, 0,
                                 Words(64 * 64, word(0, 255, 0, 5 * 32)));
    for (const std::string &file : {tga, raw, plane})
        EXPECT_GT(snapshot(file, {"--no-box"}).nonBlack(), 0u) << file;
}

TEST_F(VxtoolDisplay, APictureLargerThanTheDisplayShowsItsFirstPart) {
    std::string raw = writeRaw("wide", 1100, 8, 1, Bytes(1100 * 8, 200));
    std::string out = path("wide.png");
    Outcome r = vxtool({"snapshot", "--no-box", raw, out});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.errorLine(), "vxtool: snapshot: " + raw + ": showing its first 1024 x 8 x 1 of 1100 x 8 x 1");
    EXPECT_GT(readPng(out).nonBlack(), 0u);
}

TEST_F(VxtoolDisplay, AnEmptyPictureHasNothingToShow) {
    std::string empty = writeMvd("empty.mvd", MVD_WORD32, 0, 5, 1, Words(1, 0));
    Outcome r = vxtool({"snapshot", empty, path("empty.png")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.errorLine(), "vxtool: snapshot: " + empty + ": out of range (the picture is empty; nothing to show)");
    EXPECT_FALSE(exists("empty.png"));
}

TEST_F(VxtoolDisplay, ASnapshotThatCannotBeWrittenIsReported) {
    std::string out = path("no/such/folder/shot.png");
    Outcome r = vxtool({"snapshot", lit_, out});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.errorLine(), "vxtool: snapshot: " + out + ": could not open the file");
}

TEST_F(VxtoolDisplay, ViewForAFewSecondsEndsByItself) {
    // Without a display the emulator runs offscreen; --seconds still ends the view.
    Outcome offscreen = vxtool({"view", "--seconds", "0.2", "--display", "flat", lit_});
    EXPECT_EQ(offscreen.exitStatus, 0) << offscreen.err;
    EXPECT_EQ(offscreen.err, "");

    if (spawn("sh", {"-c", "command -v xvfb-run"}).exitStatus != 0)
        GTEST_SKIP() << "xvfb-run is not installed: no window test";
    Outcome window = spawn("xvfb-run", {"-a", VXTOOL_PATH, "view", "--seconds", "0.5", lit_});
    EXPECT_EQ(window.exitStatus, 0) << window.err;
}

} // namespace
