// vxtool's command line: help, usage errors, file errors, and what info says about files.
#include <cstring>

#include "tool_test_support.h"
#include "vxUtil.h"

namespace {

using namespace tooltest;

// ---- Help -----------------------------------------------------------------------------------

TEST(VxtoolHelp, EveryCommandHasHelpOnStandardOutput) {
    for (const char *command : {"info", "convert", "view", "snapshot"}) {
        Outcome r = vxtool({command, "--help"});
        EXPECT_EQ(r.exitStatus, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("usage: vxtool ") + command, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
    Outcome top = vxtool({"--help"});
    EXPECT_EQ(top.exitStatus, 0);
    for (const char *command : {"info FILE", "convert IN", "view FILE", "snapshot FILE"})
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
}

// ---- Wrong command lines: exit status 2 and one line naming what was wrong ------------------

struct UsageCase {
    std::vector<std::string> args;
    const char *line;
};

TEST(VxtoolUsage, WrongCommandLinesAreRefusedWithOneLine) {
    const UsageCase cases[] = {
        {{}, "vxtool: invalid argument (no command given); see vxtool --help"},
        {{"frobnicate"}, "vxtool: frobnicate: invalid argument (unknown command); see vxtool --help"},
        {{"info"}, "vxtool: info: FILE: invalid argument (give exactly one file); see vxtool info --help"},
        {{"info", "a.mvd", "b.mvd"}, "vxtool: info: FILE: invalid argument (give exactly one file); see vxtool info --help"},
        {{"info", "--bogus", "a.mvd"}, "vxtool: info: --bogus: invalid argument (unknown option); see vxtool info --help"},
        {{"info", "-x", "a.mvd"}, "vxtool: info: -x: invalid argument (unknown option); see vxtool info --help"},
        {{"convert", "a.mvd"}, "vxtool: convert: IN OUT: invalid argument (give an input and an output file); see vxtool convert --help"},
        {{"convert", "--packing", "7", "a.mvd", "b.mvd"}, "vxtool: convert: --packing 7: invalid argument (expected a whole number from 0 to 6); see vxtool convert --help"},
        {{"convert", "--packing=x", "a.mvd", "b.mvd"}, "vxtool: convert: --packing x: invalid argument (expected a whole number from 0 to 6); see vxtool convert --help"},
        {{"convert", "a.mvd", "b.mvd", "--packing"}, "vxtool: convert: --packing: invalid argument (needs a value); see vxtool convert --help"},
        {{"convert", "--packing", "1", "a.mvd", "b.tga"}, "vxtool: convert: --packing: invalid argument (applies to an .mvd output only); see vxtool convert --help"},
        {{"convert", "--plane", "1", "a.mvd", "b.mvd"}, "vxtool: convert: --plane: invalid argument (applies to a .tga output only); see vxtool convert --help"},
        {{"convert", "a.mvd", "b.tga", "c.mvd"}, "vxtool: convert: a.mvd: invalid argument (several inputs must all be TGA frames); see vxtool convert --help"},
        {{"snapshot", "a.mvd"}, "vxtool: snapshot: FILE OUT.png: invalid argument (give a file and a PNG file); see vxtool snapshot --help"},
        {{"snapshot", "--view", "sideways", "a.mvd", "a.png"}, "vxtool: snapshot: --view sideways: invalid argument (expected front, right, left, back, top or bottom); see vxtool snapshot --help"},
        {{"snapshot", "--camera", "1,2,3", "a.mvd", "a.png"}, "vxtool: snapshot: --camera 1,2,3: invalid argument (expected EYEZ,ANGLEX,ANGLEY,ANGLEZ); see vxtool snapshot --help"},
        {{"snapshot", "--camera", "1,2,x,4", "a.mvd", "a.png"}, "vxtool: snapshot: --camera x: invalid argument (expected a number); see vxtool snapshot --help"},
        {{"snapshot", "--display", "wide", "a.mvd", "a.png"}, "vxtool: snapshot: --display wide: invalid argument (expected normal, flat, individual or none); see vxtool snapshot --help"},
        {{"snapshot", "--planes", "3,20", "a.mvd", "a.png"}, "vxtool: snapshot: --planes 20: invalid argument (expected a whole number from 0 to 19); see vxtool snapshot --help"},
        {{"snapshot", "--no-box=1", "a.mvd", "a.png"}, "vxtool: snapshot: --no-box=1: invalid argument (--no-box takes no value); see vxtool snapshot --help"},
        {{"view", "--seconds", "-1", "a.mvd"}, "vxtool: view: --seconds: invalid argument (expected 0 or more); see vxtool view --help"},
    };
    for (const auto &c : cases) {
        Outcome r = vxtool(c.args);
        std::string shown;
        for (const auto &a : c.args) shown += a + " ";
        EXPECT_EQ(r.exitStatus, 2) << shown;
        EXPECT_EQ(r.errorLine(), c.line) << shown << "\n" << r.err;
        EXPECT_EQ(r.out, "") << shown;
    }
}

// ---- Files that cannot be read or written: exit status 1 and the status text ----------------

class VxtoolFiles : public ToolTest {};

TEST_F(VxtoolFiles, UnreadableFilesAreReportedWithTheirStatusText) {
    Words lit(4 * 3 * 2, word(255, 0, 0));
    std::string volume = writeMvd("volume.mvd", 0, 4, 3, 2, lit);
    std::string text = writeBytes("notes.txt", {'h', 'i'});
    std::string badMagic = writeBytes("magic.mvd", Bytes(40, 'X'));
    std::string shortMvd = writeBytes("short.mvd", {'M', 'V', 'D', 1, 0, 4, 1, 0});
    Bytes rle = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x20};
    std::string packedTga = writeBytes("packed.tga", rle);
    std::string shortRaw = writeBytes("scan-4-4-2-GRAY8.raw", Bytes(31, 7));
    std::string rgbRaw = writeBytes("scan-2-2-1-RGB.raw", Bytes(4, 7));
    std::string namelessRaw = writeBytes("scan.raw", Bytes(4, 7));
    std::string hugeRaw = writeBytes("huge-2000000000-2000000000-20-GRAY8.raw", Bytes(16, 7));

    struct Case {
        std::vector<std::string> args;
        std::string line;
    };
    const Case cases[] = {
        {{"info", path("missing.mvd")}, "vxtool: info: " + path("missing.mvd") + ": file not found"},
        {{"info", path("missing.raw")}, "vxtool: info: " + path("missing.raw") + ": file not found"},
        {{"info", text}, "vxtool: info: " + text + ": invalid file extension (expected .mvd, .tga or .raw)"},
        {{"info", path("")}, "vxtool: info: " + path("") + ": invalid file extension (expected .mvd, .tga or .raw)"},
        {{"info", badMagic}, "vxtool: info: " + badMagic + ": invalid format"},
        {{"info", shortMvd}, "vxtool: info: " + shortMvd + ": unspecified file error"},
        {{"info", packedTga}, "vxtool: info: " + packedTga + ": invalid format (it is not uncompressed true colour)"},
        {{"info", shortRaw}, "vxtool: info: " + shortRaw + ": unspecified file error (the file holds 31 bytes, its name says 4 x 4 x 2)"},
        {{"info", rgbRaw}, "vxtool: info: " + rgbRaw + ": invalid format (the voxel type is not GRAY8)"},
        {{"info", namelessRaw}, "vxtool: info: " + namelessRaw + ": invalid format (no hyphen before the voxel type; names are BASE-WIDTH-HEIGHT-DEPTH-GRAY8.raw)"},
        {{"info", hugeRaw}, "vxtool: info: " + hugeRaw + ": unspecified file error (the file holds 16 bytes, its name says 2000000000 x 2000000000 x 20)"},
        {{"convert", path("missing.tga"), path("out.mvd")}, "vxtool: convert: " + path("missing.tga") + ": file not found"},
        {{"convert", volume, path("out.xyz")}, "vxtool: convert: " + path("out.xyz") + ": invalid file extension (expected .mvd, .tga or .raw)"},
        {{"convert", volume, path("no/such/folder/out.mvd")}, "vxtool: convert: " + path("no/such/folder/out.mvd") + ": could not open the file"},
        {{"convert", "--plane", "2", volume, path("out.tga")}, "vxtool: convert: --plane 2: out of range (the volume has 2 planes)"},
        {{"convert", volume, path("out-9-9-9-GRAY8.raw")}, "vxtool: convert: " + path("out-9-9-9-GRAY8.raw") + ": invalid argument (the name says 9 x 9 x 9, the volume is 4 x 3 x 2)"},
        {{"snapshot", volume, path("out.jpg")}, "vxtool: snapshot: " + path("out.jpg") + ": invalid file extension (expected .png)"},
        {{"snapshot", path("missing.mvd"), path("out.png")}, "vxtool: snapshot: " + path("missing.mvd") + ": file not found"},
        {{"snapshot", badMagic, path("out.png")}, "vxtool: snapshot: " + badMagic + ": invalid format"},
        {{"view", path("missing.mvd")}, "vxtool: view: DISPLAY is not set: invalid argument (no window can open; vxtool snapshot renders without one)"},
    };
    for (const auto &c : cases) {
        Outcome r = vxtool(c.args, {"DISPLAY="});
        EXPECT_EQ(r.exitStatus, 1) << c.line;
        EXPECT_EQ(r.errorLine(), c.line) << r.err;
    }
    // Nothing was written for the failed conversions and snapshots.
    for (const char *name : {"out.mvd", "out.xyz", "out.tga", "out.jpg", "out.png"})
        EXPECT_FALSE(exists(name)) << name;
}

TEST_F(VxtoolFiles, AConversionOfFramesOfDifferentSizesIsRefused) {
    std::string a = writeTga("a.tga", 2, 2, Bytes(16, 9));
    std::string b = writeTga("b.tga", 3, 2, Bytes(24, 9));
    Outcome r = vxtool({"convert", a, b, path("stack.mvd")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.errorLine(),
              "vxtool: convert: " + b + ": invalid argument (is 3 x 2, the first frame 2 x 2)");
    EXPECT_FALSE(exists("stack.mvd"));
}

// ---- info -----------------------------------------------------------------------------------

class VxtoolInfo : public ToolTest {};

TEST_F(VxtoolInfo, DescribesAnMvdVolume) {
    Words words(4 * 3 * 2, 0);
    words[0] = word(255, 255, 255, 5);
    words[7] = word(0, 8, 0);           // the smallest green the packing keeps
    words[9] = 0x07070007u;             // only bits below the colour: black
    words[23] = word(0, 0, 200, 600);
    std::string file = writeMvd("v.mvd", MVD_COLOR15_RLE, 4, 3, 2, words, "two\nlines");
    Outcome r = vxtool({"info", file});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "file:      " + file + "\n"
                     "kind:      MVD volume\n"
                     "size:      4 x 3 x 2 (24 voxels)\n"
                     "format:    75, plane words\n"
                     "packing:   2 MVD_COLOR15_RLE (2-byte 15-bit colour, run-length packed)\n"
                     "comment:   two lines\n"
                     "non-black: 3 of 24 voxels\n");
}

TEST_F(VxtoolInfo, DescribesAOnePlaneMvdWithoutComment) {
    std::string file = writeMvd("p.mvd", MVD_WORD32, 5, 2, 0, Words(10, word(8, 8, 8)));
    Outcome r = vxtool({"info", file});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("size:      5 x 2 x 0 (one plane) (10 voxels)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("packing:   0 MVD_WORD32 (4-byte plane words, lossless)\n"), std::string::npos);
    EXPECT_NE(r.out.find("comment:   (none)\n"), std::string::npos);
    EXPECT_NE(r.out.find("non-black: 10 of 10 voxels\n"), std::string::npos);
}

TEST_F(VxtoolInfo, DescribesATgaFrame) {
    // Three pixels: lit at depth 40, black at depth 7, lit blue at depth 200.
    Bytes rgbz = {10, 20, 30, 40, 0, 0, 0, 7, 0, 0, 1, 200};
    std::string file = writeTga("f.tga", 3, 1, rgbz, "frame");
    Outcome r = vxtool({"info", file});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "file:      " + file + "\n"
                     "kind:      TGA image\n"
                     "size:      3 x 1 (3 pixels)\n"
                     "format:    32-bit true colour, origin top left; loads as data format 72\n"
                     "depth:     alpha 7 to 200\n"
                     "comment:   frame\n"
                     "non-black: 2 of 3 pixels\n");
}

TEST_F(VxtoolInfo, DescribesARawVolumeAndTheBytesAfterIt) {
    Bytes grey = {0, 3, 0, 250, 9, 0, 0, 0};
    std::string file = writeRaw("scan", 2, 2, 2, grey);
    {
        Outcome r = vxtool({"info", file});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.out, "file:      " + file + "\n"
                         "kind:      RAW volume\n"
                         "size:      2 x 2 x 2 (8 voxels)\n"
                         "format:    81, 8-bit grey\n"
                         "grey:      0 to 250\n"
                         "non-black: 3 of 8 voxels\n");
    }
    grey.insert(grey.end(), {1, 2, 3});
    writeBytes("scan-2-2-2-GRAY8.raw", grey);
    Outcome r = vxtool({"info", file});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("extra:     3 bytes after the last voxel (ignored)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("non-black: 3 of 8 voxels\n"), std::string::npos);
}

} // namespace
