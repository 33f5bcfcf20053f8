#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "util_test_support.h"

namespace {

using vxtest::Bytes;
using vxtest::cat;
using vxtest::le16;
using vxtest::OwnedBuffer;
using vxtest::readFile;
using vxtest::writeFile;

// The 18 header bytes of a 32-bit image.
Bytes tgaHeader(int width, int height, int idLength = 0, std::uint8_t descriptor = 0x20) {
    Bytes b = {std::uint8_t(idLength), 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    le16(b, width);
    le16(b, height);
    b.push_back(32);
    b.push_back(descriptor);
    return b;
}

class TgaTest : public vxtest::TempDirTest {};

// ---- Writing ---------------------------------------------------------------------------------

struct SaveCase {
    const char *name;
    unsigned format;
    int width;
    Bytes frame;
    std::vector<unsigned short> depths;
    Bytes pixels; // blue, green, red, alpha per pixel in the file
};

class TgaSave : public vxtest::TempDirTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(TgaSave, WritesHeaderAndPixels) {
    const SaveCase &c = GetParam();
    const std::string file = path("s.tga");
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), c.width, 1, c.format, c.frame.data(),
                                    c.depths.data(), nullptr),
              VX_OK);
    EXPECT_EQ(readFile(file), cat({tgaHeader(c.width, 1), c.pixels}));
}

// Depths 100, 200, 300: min 100, range 201, alpha 0, 126, 253.
INSTANTIATE_TEST_SUITE_P(
    Formats, TgaSave,
    ::testing::Values(
        SaveCase{"rgb_z16", 68, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {100, 200, 300},
                 {3, 2, 1, 0, 6, 5, 4, 126, 9, 8, 7, 253}},
        SaveCase{"bgr_z16", 69, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {100, 200, 300},
                 {1, 2, 3, 0, 4, 5, 6, 126, 7, 8, 9, 253}},
        SaveCase{"rgbx_z16", 70, 3, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99}, {300, 100, 200},
                 {3, 2, 1, 253, 6, 5, 4, 0, 9, 8, 7, 126}},
        SaveCase{"xbgr_z16", 71, 3, {99, 1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9}, {100, 200, 300},
                 {1, 2, 3, 0, 4, 5, 6, 126, 7, 8, 9, 253}},
        // Every depth 65535: the range is empty and every alpha is 0.
        SaveCase{"rgb_z16_flat", 68, 2, {1, 2, 3, 4, 5, 6}, {65535, 65535},
                 {3, 2, 1, 0, 6, 5, 4, 0}},
        // One depth only: range 1, alpha 0.
        SaveCase{"rgb_z16_single", 68, 1, {1, 2, 3}, {40000}, {3, 2, 1, 0}},
        SaveCase{"rgbz", 72, 2, {10, 20, 30, 40, 1, 2, 3, 4}, {0, 0},
                 {30, 20, 10, 40, 3, 2, 1, 4}},
        SaveCase{"bgrz", 73, 2, {10, 20, 30, 40, 1, 2, 3, 4}, {0, 0},
                 {10, 20, 30, 40, 1, 2, 3, 4}},
        // Plane index x 20/19, truncated: 5 stays 5, 18 stays 18, 19 becomes 20, 255 is cut to 255.
        SaveCase{"rgbp", 74, 4, {10, 20, 30, 19, 1, 2, 3, 5, 4, 5, 6, 18, 7, 8, 9, 255},
                 {0, 0, 0, 0}, {30, 20, 10, 20, 3, 2, 1, 5, 6, 5, 4, 18, 9, 8, 7, 255}},
        // Plane words: colour bytes masked to 0xF8; alpha from bits 0..4 (x 32) + bits 6..10.
        SaveCase{"mvd32", 75, 4,
                 {0x13, 0x38, 0x2F, 0x1F,  // plane 19, fraction 0 -> 255
                  0xD3, 0x87, 0x00, 0xFF,  // plane 19, fraction 31 -> still 255
                  0x0A, 0x04, 0x00, 0x00,  // plane 10, fraction 16: 336 x 255 / 608 = 140
                  0x20, 0x00, 0x00, 0x00}, // bit 5 alone -> 0
                 {0, 0, 0, 0},
                 {0x38, 0x28, 0x18, 0xFF, 0x80, 0x00, 0xF8, 0xFF, 0x00, 0x00, 0x00, 140, 0, 0, 0,
                  0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TgaTest, TheExampleFrameOfFormat73) {
    const Bytes frame = {10, 20, 30, 40, 1, 2, 3, 4};
    const unsigned short depth = 0;
    const std::string file = path("f.tga");
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), 2, 1, 73, frame.data(), &depth, nullptr), VX_OK);
    EXPECT_EQ(readFile(file), (Bytes{0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x20, 0x20, 0x0A, 0x14,
                                     0x1E, 0x28, 0x01, 0x02, 0x03, 0x04}));
}

TEST_F(TgaTest, PlaneWordsSaveTheSameBothWays) {
    std::vector<std::uint32_t> words(7 * 3);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = std::uint32_t(i * 0x9E3779B9u);
    const unsigned short depth = 0;
    ASSERT_EQ(vxUtilSaveBufferAsTGA(path("a.tga").c_str(), 7, 3, 75, words.data(), &depth, "w"),
              VX_OK);
    ASSERT_EQ(vxUtilSaveMVD32AsTGA(path("b.tga").c_str(), 7, 3, words.data(), "w"), VX_OK);
    EXPECT_EQ(readFile(path("a.tga")), readFile(path("b.tga")));
    EXPECT_EQ(readFile(path("a.tga")).size(), 18u + 1 + 7 * 3 * 4);
}

TEST_F(TgaTest, CommentBecomesTheIdentificationField) {
    const Bytes frame = {1, 2, 3, 4};
    const unsigned short depth = 0;
    const std::string file = path("c.tga");
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), 1, 1, 72, frame.data(), &depth, "hi"), VX_OK);
    EXPECT_EQ(readFile(file), cat({tgaHeader(1, 1, 2), {'h', 'i', 3, 2, 1, 4}}));

    const std::string longText(300, 'x');
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), 1, 1, 72, frame.data(), &depth,
                                    longText.c_str()),
              VX_OK);
    Bytes bytes = readFile(file);
    ASSERT_EQ(bytes.size(), 18u + 255 + 4);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(std::string(bytes.begin() + 18, bytes.begin() + 18 + 255), std::string(255, 'x'));
}

TEST_F(TgaTest, SaversRefuseBadArguments) {
    const Bytes frame(16, 1);
    const unsigned short depths[4] = {};
    const std::string file = path("bad.tga");
    struct Case {
        const char *what;
        const char *name;
        int w, h;
        unsigned format;
        const void *data;
        const unsigned short *depth;
        unsigned status;
    };
    const Case cases[] = {
        {"format 76", file.c_str(), 1, 1, 76, frame.data(), depths, VX_ERR_INVALID_FORMAT},
        {"format 67", file.c_str(), 1, 1, 67, frame.data(), depths, VX_ERR_INVALID_FORMAT},
        {"null depth buffer", file.c_str(), 1, 1, 72, frame.data(), nullptr, VX_ERR_IMAGE_WRITE},
        {"null data", file.c_str(), 1, 1, 72, nullptr, depths, VX_ERR_IMAGE_WRITE},
        {"null name", nullptr, 1, 1, 72, frame.data(), depths, VX_ERR_IMAGE_WRITE},
        {"width 0", file.c_str(), 0, 1, 72, frame.data(), depths, VX_ERR_IMAGE_WRITE},
        {"height -1", file.c_str(), 1, -1, 72, frame.data(), depths, VX_ERR_IMAGE_WRITE},
        {"width 65536", file.c_str(), 65536, 1, 72, frame.data(), depths, VX_ERR_IMAGE_WRITE},
        {"height 65536", file.c_str(), 1, 65536, 75, frame.data(), depths, VX_ERR_IMAGE_WRITE},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(vxUtilSaveBufferAsTGA(c.name, c.w, c.h, c.format, c.data, c.depth, nullptr),
                  c.status)
            << c.what;
        EXPECT_FALSE(vxtest::fileExists(file)) << c.what;
    }
    EXPECT_EQ(vxUtilSaveMVD32AsTGA(file.c_str(), 1, 1, nullptr, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilSaveMVD32AsTGA(nullptr, 1, 1, frame.data(), nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilSaveMVD32AsTGA(file.c_str(), 65536, 1, frame.data(), nullptr),
              VX_ERR_IMAGE_WRITE);
    EXPECT_EQ(vxUtilSaveMVD32AsTGA(file.c_str(), 1, 0, frame.data(), nullptr), VX_ERR_IMAGE_WRITE);
    EXPECT_FALSE(vxtest::fileExists(file));
    EXPECT_EQ(vxUtilSaveBufferAsTGA(path("no/dir.tga").c_str(), 1, 1, 72, frame.data(), depths,
                                    nullptr),
              VX_ERR_FILE_OPEN);
    EXPECT_EQ(vxUtilSaveMVD32AsTGA(path("no/dir.tga").c_str(), 1, 1, frame.data(), nullptr),
              VX_ERR_FILE_OPEN);
}

// ---- Reading ---------------------------------------------------------------------------------

// A 2 x 2 image; file pixel (row r, column c) is blue 10r+c, green 100+r, red 200+c, alpha
// 17 + 2r + c (the last over 19, to see format 74's limit).
Bytes filePixels() {
    Bytes p;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            p.insert(p.end(), {std::uint8_t(10 * r + c), std::uint8_t(100 + r),
                               std::uint8_t(200 + c), std::uint8_t(17 + 2 * r + c)});
    return p;
}

struct LoadCase {
    const char *name;
    unsigned format;
    std::uint8_t descriptor;
    Bytes frame; // the loaded frame, top row first
};

class TgaLoad : public vxtest::TempDirTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(TgaLoad, PlacesBytesAndRows) {
    const LoadCase &c = GetParam();
    const std::string file = path("l.tga");
    writeFile(file, cat({tgaHeader(2, 2, 3, c.descriptor), {'i', 'd', '!'}, filePixels()}));
    OwnedBuffer loaded;
    loaded.b.depth = 42;
    int reason = -1;
    ASSERT_EQ(vxUtilLoadTGA(file.c_str(), c.format, &loaded.b, &reason), VX_OK);
    EXPECT_EQ(reason, -1);
    EXPECT_EQ(loaded.b.width, 2);
    EXPECT_EQ(loaded.b.height, 2);
    EXPECT_EQ(loaded.b.depth, 42);
    EXPECT_STREQ(loaded.b.comment, "id!");
    EXPECT_EQ(Bytes(loaded.bytes(), loaded.bytes() + 16), c.frame);

    Bytes into(16, 0xEE);
    int w = 2, h = 2;
    char comment[8];
    ASSERT_EQ(vxUtilLoadTGANA(file.c_str(), c.format, &w, &h, into.data(), 8, comment, &reason),
              VX_OK);
    EXPECT_EQ(into, c.frame);
    EXPECT_STREQ(comment, "id!");
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndOrigins, TgaLoad,
    ::testing::Values(
        LoadCase{"rgbz_top", 72, 0x20,
                 {200, 100, 0, 17, 201, 100, 1, 18, 200, 101, 10, 19, 201, 101, 11, 20}},
        LoadCase{"bgrz_top", 73, 0x20,
                 {0, 100, 200, 17, 1, 100, 201, 18, 10, 101, 200, 19, 11, 101, 201, 20}},
        LoadCase{"rgbp_top", 74, 0x20,
                 {200, 100, 0, 17, 201, 100, 1, 18, 200, 101, 10, 19, 201, 101, 11, 19}},
        // Bottom-left origin: the file's first row becomes the frame's last.
        LoadCase{"rgbz_bottom", 72, 0x00,
                 {200, 101, 10, 19, 201, 101, 11, 20, 200, 100, 0, 17, 201, 100, 1, 18}},
        LoadCase{"bgrz_bottom", 73, 0x00,
                 {10, 101, 200, 19, 11, 101, 201, 20, 0, 100, 200, 17, 1, 100, 201, 18}},
        LoadCase{"rgbp_bottom", 74, 0x00,
                 {200, 101, 10, 19, 201, 101, 11, 19, 200, 100, 0, 17, 201, 100, 1, 18}},
        // Attribute bits (0..3) are ignored.
        LoadCase{"bgrz_attributes", 73, 0x28,
                 {0, 100, 200, 17, 1, 100, 201, 18, 10, 101, 200, 19, 11, 101, 201, 20}}),
    [](const auto &info) { return std::string(info.param.name); });

struct ReasonCase {
    const char *what;
    std::size_t at; // header byte changed
    std::uint8_t value;
    int reason;
};

TEST_F(TgaTest, RefusedHeadersGiveTheirReason) {
    const Bytes good = cat({tgaHeader(2, 2), filePixels()});
    const ReasonCase cases[] = {
        {"width 0", 12, 0, 1},          {"height 0", 14, 0, 2},
        {"24 bits", 16, 24, 3},         {"16 bits", 16, 16, 3},
        {"right origin", 17, 0x10, 4},  {"top right origin", 17, 0x30, 4},
        {"colour map", 1, 1, 5},        {"run-length packed", 2, 10, 6},
        {"colour mapped", 2, 1, 6},     {"grey", 2, 3, 6},
    };
    for (const ReasonCase &c : cases) {
        Bytes bytes = good;
        bytes[c.at] = c.value;
        if (c.at == 12 || c.at == 14) bytes[c.at + 1] = 0;
        const std::string file = path("r.tga");
        writeFile(file, bytes);
        OwnedBuffer loaded;
        int reason = 0;
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, &reason), VX_ERR_INVALID_FORMAT)
            << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        EXPECT_EQ(loaded.b.data, nullptr);
        EXPECT_EQ(loaded.b.comment, nullptr);
        Bytes into(16);
        int w = 2, h = 2;
        reason = 0;
        EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, &w, &h, into.data(), 0, nullptr, &reason),
                  VX_ERR_INVALID_FORMAT)
            << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        // A null reason pointer is allowed.
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, nullptr), VX_ERR_INVALID_FORMAT);
    }
}

TEST_F(TgaTest, ReasonsAreCheckedInOrder) {
    struct Case {
        Bytes header;
        int reason;
        int width, height; // the record's afterwards (the width is stored before the height
                           // is checked)
    };
    auto header = [](std::uint8_t cmap, std::uint8_t type, int w, int h, std::uint8_t bits) {
        Bytes b = tgaHeader(w, h);
        b[1] = cmap, b[2] = type, b[16] = bits;
        return b;
    };
    const Case cases[] = {
        {header(1, 10, 0, 0, 24), 5, -7, -7}, {header(0, 10, 0, 0, 24), 6, -7, -7},
        {header(0, 2, 0, 0, 24), 1, -7, -7},  {header(0, 2, 3, 0, 24), 2, 3, -7},
        {header(0, 2, 3, 4, 24), 3, 3, 4},
    };
    for (const Case &c : cases) {
        const std::string file = path("o.tga");
        writeFile(file, cat({c.header, Bytes(3 * 4 * 4, 0)}));
        OwnedBuffer loaded;
        loaded.b.width = loaded.b.height = -7;
        int reason = 0;
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 73, &loaded.b, &reason), VX_ERR_INVALID_FORMAT);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(loaded.b.width, c.width);
        EXPECT_EQ(loaded.b.height, c.height);
    }
}

TEST_F(TgaTest, FileShorterThanTheHeaderIsRefusedWithReason7) {
    for (std::size_t size : {0u, 1u, 10u, 17u}) {
        const std::string file = path("short.tga");
        Bytes b = tgaHeader(1, 1);
        b.resize(size);
        writeFile(file, b);
        OwnedBuffer loaded;
        int reason = 0;
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, &reason), VX_ERR_INVALID_FORMAT);
        EXPECT_EQ(reason, VXUTIL_TGA_REASON_SHORT_HEADER);
        EXPECT_EQ(loaded.b.data, nullptr);
        std::uint32_t pixel = 0;
        int w = 1, h = 1;
        reason = 0;
        EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, &w, &h, &pixel, 0, nullptr, &reason),
                  VX_ERR_INVALID_FORMAT);
        EXPECT_EQ(reason, 7);
    }
}

TEST_F(TgaTest, LoaderArgumentsAndMissingFiles) {
    const std::string file = path("a.tga");
    writeFile(file, cat({tgaHeader(2, 2), filePixels()}));
    OwnedBuffer loaded;
    int reason = -1;
    for (unsigned format : {71u, 75u, 0u}) {
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), format, &loaded.b, &reason), VX_ERR_INVALID_ARGUMENT);
        Bytes into(16);
        int w = 2, h = 2;
        EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), format, &w, &h, into.data(), 0, nullptr, &reason),
                  VX_ERR_INVALID_ARGUMENT);
    }
    EXPECT_EQ(reason, -1) << "the reason is only set for a refused header";
    EXPECT_EQ(vxUtilLoadTGA(nullptr, 72, &loaded.b, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, nullptr, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadTGA(path("missing.tga").c_str(), 72, &loaded.b, nullptr),
              VX_ERR_FILE_NOT_FOUND);
    Bytes into(16);
    int w = 2, h = 2;
    EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, &w, &h, nullptr, 0, nullptr, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, nullptr, &h, into.data(), 0, nullptr, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, &w, nullptr, into.data(), 0, nullptr, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadTGANA(path("missing.tga").c_str(), 72, &w, &h, into.data(), 0, nullptr,
                              nullptr),
              VX_ERR_FILE_NOT_FOUND);
}

TEST_F(TgaTest, EmptyIdentificationGivesANullComment) {
    const std::string file = path("n.tga");
    writeFile(file, cat({tgaHeader(2, 2), filePixels()}));
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadTGA(file.c_str(), 73, &loaded.b, nullptr), VX_OK);
    EXPECT_EQ(loaded.b.comment, nullptr);
    EXPECT_EQ(Bytes(loaded.bytes(), loaded.bytes() + 16), filePixels());
}

class TgaIntoBuffer : public vxtest::TempDirTest {
  protected:
    // A 4 x 3 image with a 10-character identification field.
    void SetUp() override {
        TempDirTest::SetUp();
        file = path("na.tga");
        for (int i = 0; i < 4 * 3 * 4; ++i) pixels.push_back(std::uint8_t(i));
        writeFile(file, cat({tgaHeader(4, 3, 10), Bytes{'0', '1', '2', '3', '4', '5', '6', '7',
                                                        '8', '9'},
                             pixels}));
    }
    std::string file;
    Bytes pixels;
};

TEST_F(TgaIntoBuffer, CapacityChecksStoreTheWidthFirst) {
    struct Case {
        int w, h;
        unsigned status;
        int ow, oh;
    };
    for (Case c : {Case{3, 3, VX_ERR_OUT_OF_RANGE, 3, 3}, Case{4, 2, VX_ERR_OUT_OF_RANGE, 4, 2},
                   Case{-1, 100, VX_ERR_OUT_OF_RANGE, -1, 100}, Case{4, 3, VX_OK, 4, 3},
                   Case{9, 9, VX_OK, 4, 3}}) {
        Bytes into(9 * 9 * 4, 0xEE);
        int w = c.w, h = c.h;
        EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 73, &w, &h, into.data(), 0, nullptr, nullptr),
                  c.status);
        EXPECT_EQ(w, c.ow);
        EXPECT_EQ(h, c.oh);
        if (c.status == VX_OK) {
            // Dense rows with the image's own width; nothing after them.
            EXPECT_EQ(Bytes(into.begin(), into.begin() + 48), pixels);
            EXPECT_EQ(Bytes(into.begin() + 48, into.end()), Bytes(into.size() - 48, 0xEE));
        }
    }
}

TEST_F(TgaIntoBuffer, CommentIsCutAndThePixelsStillStartRight) {
    struct Case {
        int size;
        const char *expected;
    };
    for (Case c : {Case{1, ""}, Case{4, "012"}, Case{10, "012345678"}, Case{11, "0123456789"},
                   Case{64, "0123456789"}}) {
        char comment[64];
        std::memset(comment, '#', sizeof comment);
        Bytes into(48);
        int w = 4, h = 3;
        ASSERT_EQ(vxUtilLoadTGANA(file.c_str(), 73, &w, &h, into.data(), c.size, comment,
                                  nullptr),
                  VX_OK);
        EXPECT_STREQ(comment, c.expected);
        EXPECT_EQ(into, pixels);
    }
    // No capacity, or no buffer: the comment is left alone and the pixels still load.
    char comment[4] = {'a', 'b', 'c', 'd'};
    Bytes into(48);
    int w = 4, h = 3;
    ASSERT_EQ(vxUtilLoadTGANA(file.c_str(), 73, &w, &h, into.data(), 0, comment, nullptr), VX_OK);
    EXPECT_EQ(std::string(comment, 4), "abcd");
    ASSERT_EQ(vxUtilLoadTGANA(file.c_str(), 73, &w, &h, into.data(), 5, nullptr, nullptr), VX_OK);
    EXPECT_EQ(into, pixels);
}

TEST_F(TgaTest, RoundTripOfFormat72) {
    Bytes frame(13 * 5 * 4);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = std::uint8_t(i * 7 + 3);
    const unsigned short depth = 0;
    const std::string file = path("rt.tga");
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), 13, 5, 72, frame.data(), &depth, "round"),
              VX_OK);
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, nullptr), VX_OK);
    EXPECT_EQ(loaded.b.width, 13);
    EXPECT_EQ(loaded.b.height, 5);
    EXPECT_STREQ(loaded.b.comment, "round");
    EXPECT_EQ(Bytes(loaded.bytes(), loaded.bytes() + frame.size()), frame);
}

TEST_F(TgaTest, PlaneIndex19SurvivesSaveAndLoadOfFormat74) {
    const Bytes frame = {1, 2, 3, 19, 4, 5, 6, 7};
    const unsigned short depth = 0;
    const std::string file = path("p.tga");
    ASSERT_EQ(vxUtilSaveBufferAsTGA(file.c_str(), 2, 1, 74, frame.data(), &depth, nullptr), VX_OK);
    EXPECT_EQ(readFile(file)[18 + 3], 20);
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadTGA(file.c_str(), 74, &loaded.b, nullptr), VX_OK);
    EXPECT_EQ(Bytes(loaded.bytes(), loaded.bytes() + 8), frame);
}

// Loading opens the file for reading only. Root may write any file, so the test takes the
// override capability away from this thread while it loads.
class WithoutWriteOverride {
  public:
    WithoutWriteOverride() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        reduced[0].effective &= ~(1u << CAP_DAC_READ_SEARCH);
        reduced[0].effective &= ~(1u << CAP_FOWNER);
        active_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutWriteOverride() {
        if (active_) syscall(SYS_capset, &header_, saved_);
    }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

TEST_F(TgaTest, ReadOnlyFilesLoad) {
    const std::string file = path("ro.tga");
    writeFile(file, cat({tgaHeader(2, 2, 2), {'r', 'o'}, filePixels()}));
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    WithoutWriteOverride guard;
    // The setup really makes the file unwritable for this thread.
    std::FILE *probe = std::fopen(file.c_str(), "rb+");
    EXPECT_EQ(probe, nullptr);
    if (probe) std::fclose(probe);

    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadTGA(file.c_str(), 73, &loaded.b, nullptr), VX_OK);
    EXPECT_EQ(Bytes(loaded.bytes(), loaded.bytes() + 16), filePixels());
    Bytes into(16);
    int w = 2, h = 2;
    ASSERT_EQ(vxUtilLoadTGANA(file.c_str(), 73, &w, &h, into.data(), 0, nullptr, nullptr), VX_OK);
    EXPECT_EQ(into, filePixels());
}

} // namespace
