// vxtool convert: what each conversion writes, read back through the utility library.
#include "tool_test_support.h"
#include "vxUtil.h"

namespace {

using namespace tooltest;

class VxtoolConvert : public ToolTest {
protected:
    // Loads an MVD file; fails the test when it does not load.
    Words loadMvd(const std::string &file, int *w, int *h, int *d, std::string *comment = nullptr) {
        VXbuffer b;
        vxUtilInitializeVXbuffer(&b);
        EXPECT_EQ(vxUtilLoadMVDFile(file.c_str(), &b), VX_OK) << file;
        *w = b.width, *h = b.height, *d = b.depth;
        Words words;
        if (b.data) {
            auto *p = static_cast<const std::uint32_t *>(b.data);
            words.assign(p, p + std::size_t(b.width) * b.height * (b.depth > 0 ? b.depth : 1));
        }
        if (comment) *comment = b.comment ? b.comment : "";
        vxUtilFreeVXbuffer(&b);
        return words;
    }
    Bytes loadTga(const std::string &file, std::string *comment = nullptr) {
        VXbuffer b;
        vxUtilInitializeVXbuffer(&b);
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), VX_FORMAT_RGBZ, &b, nullptr), VX_OK) << file;
        Bytes px;
        if (b.data) {
            auto *p = static_cast<const unsigned char *>(b.data);
            px.assign(p, p + std::size_t(b.width) * b.height * 4);
        }
        if (comment) *comment = b.comment ? b.comment : "";
        vxUtilFreeVXbuffer(&b);
        return px;
    }
};

TEST_F(VxtoolConvert, RepacksAnMvdVolumeAndKeepsItsPackingByDefault) {
    Words words = {0xFFFFFFFFu, word(8, 16, 248, 77), 0, word(200, 100, 50, 300)};
    std::string in = writeMvd("in.mvd", MVD_WORD32, 2, 1, 2, words, "kept");
    Outcome r = vxtool({"convert", "--packing", "1", in, path("c15.mvd")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + path("c15.mvd") + "\n");
    EXPECT_EQ(readBytes("c15.mvd").at(4), MVD_COLOR15);
    int w, h, d;
    std::string comment;
    Words back = loadMvd(path("c15.mvd"), &w, &h, &d, &comment);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(d, 2);
    EXPECT_EQ(comment, "kept");
    ASSERT_EQ(back.size(), words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(back[i], words[i] & 0xF8F8F800u) << i; // 15-bit colour keeps the colour only

    // Without --packing an MVD input's packing stays; --comment replaces the comment.
    r = vxtool({"convert", "--comment", "new", path("c15.mvd"), path("again.mvd")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(readBytes("again.mvd").at(4), MVD_COLOR15);
    EXPECT_EQ(loadMvd(path("again.mvd"), &w, &h, &d, &comment), back);
    EXPECT_EQ(comment, "new");
}

TEST_F(VxtoolConvert, RawGreyBecomesPlaneWordsOnTheirPlanes) {
    Bytes grey = {0, 255, 17, 128, 9, 200};
    std::string in = writeRaw("scan", 2, 1, 3, grey);
    Outcome r = vxtool({"convert", in, path("scan.mvd")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(readBytes("scan.mvd").at(4), MVD_WORD32); // the default packing for non-MVD input
    int w, h, d;
    Words words = loadMvd(path("scan.mvd"), &w, &h, &d);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(d, 3);
    ASSERT_EQ(words.size(), grey.size());
    for (std::size_t i = 0; i < grey.size(); ++i)
        EXPECT_EQ(words[i], word(grey[i], grey[i], grey[i], unsigned(i / 2) * 32)) << i;
}

TEST_F(VxtoolConvert, MvdBecomesRawGreyUnderANameThatCarriesItsSize) {
    Words words = {word(248, 248, 0), word(30, 60, 90), 0, word(255, 255, 255)};
    std::string in = writeMvd("v.mvd", MVD_WORD32, 2, 2, 0, words);
    Outcome r = vxtool({"convert", in, path("out.raw")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + path("out-2-2-0-GRAY8.raw") + "\n");
    // (248 + 248 + 0) / 3 = 165; (24 + 56 + 88) / 3 = 56; 0; 248.
    EXPECT_EQ(readBytes("out-2-2-0-GRAY8.raw"), (Bytes{165, 56, 0, 248}));

    // A name that already gives the volume's size is used as it is.
    r = vxtool({"convert", in, path("same-2-2-0-gray8.raw")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + path("same-2-2-0-GRAY8.raw") + "\n");
    EXPECT_EQ(readBytes("same-2-2-0-GRAY8.raw"), (Bytes{165, 56, 0, 248}));
}

TEST_F(VxtoolConvert, ATgaFrameBecomesOnePlaneWithItsDepthAndComesBack) {
    // One pixel for every depth 0 to 255, with changing colours.
    Bytes rgbz;
    for (int a = 0; a < 256; ++a)
        rgbz.insert(rgbz.end(), {(unsigned char)a, (unsigned char)(255 - a), (unsigned char)(a * 7), (unsigned char)a});
    std::string in = writeTga("frame.tga", 16, 16, rgbz, "slope");
    Outcome r = vxtool({"convert", in, path("frame.mvd")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    int w, h, d;
    std::string comment;
    Words words = loadMvd(path("frame.mvd"), &w, &h, &d, &comment);
    EXPECT_EQ(d, 0); // one plane: a frame that the display spreads by depth
    EXPECT_EQ(comment, "slope");
    ASSERT_EQ(words.size(), 256u);
    // The 8-bit depth spread over the planes as the kit does with bounds 0 and 255.
    EXPECT_EQ(packedZOf(words[0]), 0u);
    EXPECT_EQ(packedZOf(words[14]), 33u);
    EXPECT_EQ(packedZOf(words[128]), 305u);
    EXPECT_EQ(packedZOf(words[255]), 607u);
    EXPECT_EQ(words[200] & 0xF8F8F800u, word(200, 55, 200 * 7 & 255));

    r = vxtool({"convert", path("frame.mvd"), path("back.tga")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    Bytes back = loadTga(path("back.tga"), &comment);
    EXPECT_EQ(comment, "slope");
    ASSERT_EQ(back.size(), rgbz.size());
    for (std::size_t i = 0; i < back.size(); ++i)
        EXPECT_EQ(back[i], i % 4 == 3 ? rgbz[i] : rgbz[i] & 0xF8) << "byte " << i; // depth exact
}

TEST_F(VxtoolConvert, SeveralFramesBecomeThePlanesOfAVolumeAndAVolumeWritesAFrameAPlane) {
    std::vector<std::string> args = {"convert"};
    for (int i = 0; i < 3; ++i) {
        Bytes rgbz = {(unsigned char)(48 * i + 8), 16, 24, 99, 0, 0, 0, 0};
        args.push_back(writeTga("f" + std::to_string(i) + ".tga", 2, 1, rgbz, i == 0 ? "first" : "other"));
    }
    args.push_back(path("stack.mvd"));
    Outcome r = vxtool(args);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    int w, h, d;
    std::string comment;
    Words words = loadMvd(path("stack.mvd"), &w, &h, &d, &comment);
    EXPECT_EQ(d, 3);
    EXPECT_EQ(comment, "first");
    ASSERT_EQ(words.size(), 6u);
    for (unsigned z = 0; z < 3; ++z) {
        EXPECT_EQ(words[z * 2], word(48 * z + 8, 16, 24, z * 32)) << z; // frame z on plane z
        EXPECT_EQ(words[z * 2 + 1], word(0, 0, 0, z * 32)) << z;
    }

    r = vxtool({"convert", path("stack.mvd"), path("plane.tga")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + path("plane-00.tga") + "\nwrote " + path("plane-01.tga") +
                         "\nwrote " + path("plane-02.tga") + "\n");
    EXPECT_FALSE(exists("plane.tga"));
    // Plane 2: packed Z 64 is depth 64 x 255 / 608 = 26.8, rounded 27.
    EXPECT_EQ(loadTga(path("plane-02.tga")), (Bytes{104, 16, 24, 27, 0, 0, 0, 27}));

    r = vxtool({"convert", "--plane", "1", path("stack.mvd"), path("one.tga")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + path("one.tga") + "\n");
    EXPECT_EQ(loadTga(path("one.tga")), (Bytes{56, 16, 24, 13, 0, 0, 0, 13}));
}

} // namespace
