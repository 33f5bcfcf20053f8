#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "util_test_support.h"

namespace {

using vxtest::Bytes;
using vxtest::cat;
using vxtest::le16;
using vxtest::le32;
using vxtest::OwnedBuffer;
using vxtest::readFile;
using vxtest::writeFile;
using Words = std::vector<std::uint32_t>;

// Plane words whose units are worked out by hand below.
constexpr std::uint32_t ONES = 0xFFFFFFFFu;  // every bit
constexpr std::uint32_t V1 = 0x08102000u;    // red 1, green 2, blue 4, low bits 0
constexpr std::uint32_t GREY = 0xF8F80000u;  // grey (248 + 248 + 0) / 3 = 165
constexpr std::uint32_t WHITE = 0xF8F8F800u; // grey 248: 5-bit grey 31
constexpr std::uint32_t BLACK = 0u;

const int kBytesPerUnit[7] = {4, 2, 2, 3, 1, 1, 4};

Bytes header(int packing, int width, int height, int depth, const std::string &comment = "") {
    Bytes b = {'M', 'V', 'D', 1, std::uint8_t(packing), std::uint8_t(kBytesPerUnit[packing])};
    le16(b, width);
    le16(b, height);
    le16(b, depth);
    le32(b, 0);
    le16(b, std::uint32_t(comment.size()));
    b.insert(b.end(), comment.begin(), comment.end());
    return b;
}

Words repeat(std::uint32_t v, std::size_t n) { return Words(n, v); }
Words join(std::initializer_list<Words> parts) {
    Words out;
    for (const Words &p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes repeatBytes(const Bytes &packet, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), packet.begin(), packet.end());
    return out;
}

class MvdTest : public vxtest::TempDirTest {};

struct BytesCase {
    const char *name;
    int packing, width, height, depth;
    Words voxels;
    Bytes data; // the file's voxel data after the header
};

class MvdBytes : public vxtest::TempDirTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(MvdBytes, FileHoldsExactlyTheseBytes) {
    const BytesCase &c = GetParam();
    const std::string file = path("v.mvd");
    const std::uint32_t none = 0; // an empty volume still needs a voxel pointer
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), c.packing, c.width, c.height, c.depth,
                                c.voxels.empty() ? &none : c.voxels.data(), nullptr),
              VX_OK);
    EXPECT_EQ(readFile(file), cat({header(c.packing, c.width, c.height, c.depth), c.data}));
}

// 16-bit colour units: ONES -> 0x7FFF, V1 -> 0x0444. 32-bit masked words: ONES -> 0x7CF8FFDF,
// V1 -> 0x04102000. 5-bit grey: WHITE -> 0x1F, BLACK -> 0x00.
INSTANTIATE_TEST_SUITE_P(
    Packings, MvdBytes,
    ::testing::Values(
        BytesCase{"word32", 0, 2, 1, 0, {V1, ONES},
                  {0x00, 0x20, 0x10, 0x08, 0xFF, 0xFF, 0xFF, 0xFF}},
        BytesCase{"color15", 1, 2, 1, 0, {V1, ONES}, {0x44, 0x04, 0xFF, 0x7F}},
        BytesCase{"packed24", 3, 2, 1, 1, {V1, ONES}, {0x00, 0x88, 0x08, 0xFF, 0xFF, 0xFF}},
        BytesCase{"gray8", 4, 3, 1, 0, {V1, ONES, GREY}, {0x12, 0xF8, 0xA5}},
        BytesCase{"gray5_literals", 5, 3, 1, 0, {WHITE, BLACK, WHITE}, {0x1F, 0x00, 0x1F}},
        BytesCase{"gray5_grey_unit", 5, 1, 1, 0, {GREY}, {0x14}},
        BytesCase{"gray5_run2", 5, 3, 1, 0, {WHITE, WHITE, BLACK}, {0x82, 0x1F, 0x00}},
        BytesCase{"gray5_run127", 5, 127, 1, 0, repeat(WHITE, 127), {0xFF, 0x1F}},
        BytesCase{"gray5_run128", 5, 128, 1, 0, repeat(WHITE, 128), {0xFF, 0x1F, 0x81, 0x1F}},
        BytesCase{"gray5_run254", 5, 254, 1, 0, repeat(WHITE, 254), {0xFF, 0x1F, 0xFF, 0x1F}},
        BytesCase{"gray5_run300", 5, 300, 1, 0, repeat(WHITE, 300),
                  {0xFF, 0x1F, 0xFF, 0x1F, 0xAE, 0x1F}},
        // The last voxel of row 0 equals the first of row 1: still two packets.
        BytesCase{"gray5_rows", 5, 3, 2, 0, {WHITE, WHITE, BLACK, BLACK, BLACK, WHITE},
                  {0x82, 0x1F, 0x00, 0x82, 0x00, 0x1F}},
        BytesCase{"gray5_planes", 5, 2, 1, 2, {WHITE, WHITE, WHITE, WHITE},
                  {0x82, 0x1F, 0x82, 0x1F}},
        BytesCase{"color15_run2", 2, 3, 1, 0, {ONES, ONES, V1},
                  {0x02, 0x80, 0xFF, 0x7F, 0x44, 0x04}},
        BytesCase{"color15_literals", 2, 3, 1, 0, {V1, ONES, V1},
                  {0x44, 0x04, 0xFF, 0x7F, 0x44, 0x04}},
        BytesCase{"color15_run300", 2, 300, 1, 0, repeat(ONES, 300), {0x2C, 0x81, 0xFF, 0x7F}},
        BytesCase{"color15_run32767", 2, 32767, 1, 0, repeat(ONES, 32767),
                  {0xFF, 0xFF, 0xFF, 0x7F}},
        BytesCase{"color15_run32768", 2, 32768, 1, 0, repeat(ONES, 32768),
                  {0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x7F}},
        BytesCase{"color15_run40000", 2, 40000, 1, 0, repeat(ONES, 40000),
                  {0xFF, 0xFF, 0xFF, 0x7F, 0x41, 0x9C, 0xFF, 0x7F}},
        BytesCase{"color15_rows", 2, 2, 2, 0, {V1, V1, V1, ONES},
                  {0x02, 0x80, 0x44, 0x04, 0x44, 0x04, 0xFF, 0x7F}},
        BytesCase{"word32_rle_run2", 6, 3, 1, 0, {ONES, ONES, V1},
                  {0x02, 0x00, 0x00, 0x80, 0xDF, 0xFF, 0xF8, 0x7C, 0x00, 0x20, 0x10, 0x04}},
        // A run that ends a row: row 1 is two equal voxels.
        BytesCase{"word32_rle_rows", 6, 2, 2, 0, {V1, ONES, ONES, ONES},
                  {0x00, 0x20, 0x10, 0x04, 0xDF, 0xFF, 0xF8, 0x7C, 0x02, 0x00, 0x00, 0x80, 0xDF,
                   0xFF, 0xF8, 0x7C}},
        BytesCase{"word32_rle_run65535", 6, 65535, 1, 0, repeat(V1, 65535),
                  {0xFF, 0xFF, 0x00, 0x80, 0x00, 0x20, 0x10, 0x04}},
        BytesCase{"gray5_run65535", 5, 65535, 1, 0, repeat(BLACK, 65535),
                  cat({repeatBytes({0xFF, 0x00}, 516), {0x83, 0x00}})},
        BytesCase{"empty_rows", 5, 0, 3, 2, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MvdTest, HeaderOfAFullVolumeWithAComment) {
    Words volume(VX_VOLUME_PIXELS, 0);
    const std::string file = path("full.mvd");
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_COLOR15_RLE, 1024, 748, 20, volume.data(),
                                "abc"),
              VX_OK);
    Bytes bytes = readFile(file);
    ASSERT_GE(bytes.size(), 21u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 21),
              (Bytes{0x4D, 0x56, 0x44, 0x01, 0x02, 0x02, 0x00, 0x04, 0xEC, 0x02, 0x14, 0x00, 0, 0,
                     0, 0, 0x03, 0x00, 'a', 'b', 'c'}));
}

TEST_F(MvdTest, Word32FullVolumeIsTheBufferItself) {
    Words volume(VX_VOLUME_PIXELS);
    for (std::size_t i = 0; i < volume.size(); ++i) volume[i] = std::uint32_t(i * 2654435761u);
    const std::string file = path("full.mvd");
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_WORD32, 1024, 748, 20, volume.data(), nullptr),
              VX_OK);
    Bytes bytes = readFile(file);
    ASSERT_EQ(bytes.size(), 18u + std::size_t(VX_VOLUME_PIXELS) * 4);
    EXPECT_EQ(std::memcmp(bytes.data() + 18, volume.data(), volume.size() * 4), 0);
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_EQ(loaded.b.width, 1024);
    EXPECT_EQ(loaded.b.height, 748);
    EXPECT_EQ(loaded.b.depth, 20);
    EXPECT_EQ(loaded.b.comment, nullptr);
    EXPECT_EQ(std::memcmp(loaded.b.data, volume.data(), volume.size() * 4), 0);
}

// What each packing keeps of a voxel.
struct KeepCase {
    int packing;
    std::uint32_t in, out;
};

TEST_F(MvdTest, EachPackingKeepsItsBits) {
    const KeepCase cases[] = {
        {0, ONES, ONES},        {1, ONES, 0xF8F8F800u}, {2, ONES, 0xF8F8F800u},
        {3, ONES, 0xF8F8FF9Fu}, {4, ONES, 0xF8F8F800u}, {5, ONES, 0xF8F8F800u},
        {6, ONES, 0xF8F8FFDFu}, {4, GREY, 0xA5A5A500u}, {5, GREY, 0xA0A0A000u},
        {1, V1, V1},            {3, 0x00000760u, 0x00000700u}, // bits 5, 6 are dropped
        {3, 0x0007009Fu, 0x0000009Fu},                          // bits 16..18 are dropped
        {6, 0x07000020u, 0x00000000u},                          // bits 5, 24..26 dropped
        {0, 0x12345678u, 0x12345678u}, {6, 0x12345678u, 0x10305658u},
    };
    for (const KeepCase &c : cases) {
        const std::string file = path("k.mvd");
        ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), c.packing, 1, 1, 0, &c.in, nullptr), VX_OK);
        OwnedBuffer loaded;
        ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
        EXPECT_EQ(loaded.words()[0], c.out)
            << "packing " << c.packing << " of " << std::hex << c.in;
    }
}

// The plane word that a packing reads back for v, from the bits each packing keeps.
std::uint32_t kept(int packing, std::uint32_t v) {
    std::uint32_t grey = (((v >> 24) & 0xF8) + ((v >> 16) & 0xF8) + ((v >> 8) & 0xF8)) / 3;
    switch (packing) {
    case 0: return v;
    case 1:
    case 2: return v & 0xF8F8F800u;
    case 3: return v & 0xF8F8FF9Fu;
    case 4: return grey << 24 | grey << 16 | grey << 8;
    case 5: grey &= 0xF8; return grey << 24 | grey << 16 | grey << 8;
    default: return v & 0xF8F8FFDFu;
    }
}

// A volume with runs of many lengths (1 to 700, some across row ends) and noisy stretches.
Words testVolume(int width, int height, int depth) {
    Words v(std::size_t(width) * height * std::max(depth, 1));
    std::uint32_t seed = 12345, value = 0;
    std::size_t left = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (left == 0) {
            seed = seed * 1103515245u + 12345u;
            left = 1 + (seed >> 8) % ((seed & 1) ? 3 : 700);
            value = seed * 2654435761u;
        }
        v[i] = value;
        --left;
    }
    return v;
}

class MvdRoundTrip : public vxtest::TempDirTest, public ::testing::WithParamInterface<int> {};

TEST_P(MvdRoundTrip, LoadGivesBackWhatThePackingKeeps) {
    const int packing = GetParam();
    struct Size {
        int w, h, d;
    };
    for (Size s : {Size{37, 5, 3}, Size{1030, 7, 0}, Size{65535, 2, 1}, Size{1, 1, 1}}) {
        const Words volume = testVolume(s.w, s.h, s.d);
        const std::string file = path("r.mvd");
        ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), packing, s.w, s.h, s.d, volume.data(), "note"),
                  VX_OK);
        OwnedBuffer loaded;
        ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
        EXPECT_EQ(loaded.b.width, s.w);
        EXPECT_EQ(loaded.b.height, s.h);
        EXPECT_EQ(loaded.b.depth, s.d);
        ASSERT_NE(loaded.b.comment, nullptr);
        EXPECT_STREQ(loaded.b.comment, "note");
        Words expected(volume.size());
        for (std::size_t i = 0; i < volume.size(); ++i) expected[i] = kept(packing, volume[i]);
        EXPECT_EQ(Words(loaded.words(), loaded.words() + volume.size()), expected)
            << s.w << "x" << s.h << "x" << s.d;

        std::vector<std::uint32_t> into(volume.size() + 1, 0xDEADBEEFu);
        int w = s.w, h = s.h, d = s.d;
        ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, nullptr), VX_OK);
        EXPECT_EQ(Words(into.begin(), into.end() - 1), expected);
        EXPECT_EQ(into.back(), 0xDEADBEEFu);
    }
}

INSTANTIATE_TEST_SUITE_P(AllPackings, MvdRoundTrip, ::testing::Range(0, 7));

TEST_F(MvdTest, SinglePlaneFileKeepsDepthZero) {
    const Words plane = {1, 2, 3, 4, 5, 6};
    const std::string file = path("p.mvd");
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_WORD32, 3, 2, 0, plane.data(), nullptr), VX_OK);
    EXPECT_EQ(readFile(file).size(), 18u + 6 * 4);
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_EQ(loaded.b.depth, 0);
    EXPECT_EQ(Words(loaded.words(), loaded.words() + 6), plane);
}

TEST_F(MvdTest, CommentIsStoredUpTo65535Characters) {
    const std::string longText(70000, 'c');
    const std::uint32_t voxel = V1;
    const std::string file = path("c.mvd");
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_GRAY8, 1, 1, 0, &voxel, longText.c_str()),
              VX_OK);
    Bytes bytes = readFile(file);
    ASSERT_EQ(bytes.size(), 18u + 65535 + 1);
    EXPECT_EQ(bytes[16], 0xFF);
    EXPECT_EQ(bytes[17], 0xFF);
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_EQ(std::string(loaded.b.comment), std::string(65535, 'c'));
    EXPECT_EQ(loaded.bytes()[3], 0x12); // the voxel after the comment
}

TEST_F(MvdTest, CommentIsCopiedUpToItsFirstNul) {
    const std::string file = path("nul.mvd");
    writeFile(file, cat({header(MVD_GRAY8, 1, 1, 0, std::string("ab\0cd", 5)), {0x40}}));
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_STREQ(loaded.b.comment, "ab");
    EXPECT_EQ(loaded.words()[0], 0x40404000u);
    char comment[16];
    std::memset(comment, '#', sizeof comment);
    int w = 1, h = 1, d = 0;
    std::uint32_t voxel = 0;
    ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, &voxel, 16, comment), VX_OK);
    EXPECT_STREQ(comment, "ab");
}

TEST_F(MvdTest, EmptyCommentGivesANullComment) {
    const std::uint32_t voxel = V1;
    const std::string file = path("e.mvd");
    ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_WORD32, 1, 1, 0, &voxel, ""), VX_OK);
    OwnedBuffer loaded;
    loaded.b.comment = nullptr;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_EQ(loaded.b.comment, nullptr);
}

TEST_F(MvdTest, TrailingDataAfterTheLastVoxelIsIgnored) {
    const std::string file = path("t.mvd");
    // Two voxels, then a packet that would make 127 more.
    writeFile(file, cat({header(MVD_GRAY5_RLE, 2, 1, 0), {0x82, 0x1F, 0xFF, 0x01, 0x02}}));
    OwnedBuffer loaded;
    ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK);
    EXPECT_EQ(Words(loaded.words(), loaded.words() + 2), (Words{WHITE, WHITE}));
}

// Packets from other writers: a run may reach across rows and past the last voxel; it is cut
// at the last voxel. A run of count 0 makes no voxel.
TEST_F(MvdTest, RunsAreClampedToTheVolume) {
    struct Case {
        int packing;
        Bytes data;
        Words expected;
    };
    const Case cases[] = {
        {MVD_GRAY5_RLE, {0xFF, 0x1F}, repeat(WHITE, 6)},
        {MVD_GRAY5_RLE, {0x80, 0x05, 0x01, 0x85, 0x1F}, join({{0x08080800u}, repeat(WHITE, 5)})},
        {MVD_GRAY5_RLE, {0x7F, 0x00, 0x00, 0x00, 0x00, 0x00}, // a 7-bit literal keeps its byte
         join({{0xF8F8F800u}, repeat(BLACK, 5)})},
        {MVD_COLOR15_RLE, {0xFF, 0xFF, 0xFF, 0x7F}, repeat(0xF8F8F800u, 6)},
        {MVD_WORD32_RLE, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x20, 0x10, 0x04}, repeat(V1, 6)},
    };
    for (const Case &c : cases) {
        const std::string file = path("clamp.mvd");
        writeFile(file, cat({header(c.packing, 3, 2, 0), c.data}));
        OwnedBuffer loaded;
        ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_OK) << c.packing;
        EXPECT_EQ(Words(loaded.words(), loaded.words() + 6), c.expected) << c.packing;
        // Into the caller's buffer: nothing past the 6th voxel is written.
        Words into(8, 0xDEADBEEFu);
        int w = 3, h = 2, d = 0;
        ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, nullptr), VX_OK);
        EXPECT_EQ(Words(into.begin(), into.begin() + 6), c.expected);
        EXPECT_EQ(into[6], 0xDEADBEEFu);
        EXPECT_EQ(into[7], 0xDEADBEEFu);
    }
}

TEST_F(MvdTest, SaverRefusesBadArguments) {
    const std::uint32_t voxel = 0;
    const std::string file = path("bad.mvd");
    EXPECT_EQ(vxUtilSaveMVDFile(nullptr, 0, 1, 1, 0, &voxel, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilSaveMVDFile(file.c_str(), 0, 1, 1, 0, nullptr, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    struct Dims {
        int w, h, d;
    };
    for (Dims d : {Dims{65536, 1, 0}, Dims{1, 65536, 0}, Dims{1, 1, 65536}, Dims{-1, 1, 0},
                   Dims{1, -1, 0}, Dims{1, 1, -1}}) {
        EXPECT_EQ(vxUtilSaveMVDFile(file.c_str(), 0, d.w, d.h, d.d, &voxel, nullptr),
                  VX_ERR_INVALID_ARGUMENT);
        EXPECT_FALSE(vxtest::fileExists(file)) << "no file for a size the header cannot hold";
    }
    for (int packing : {7, -1, 255}) {
        EXPECT_EQ(vxUtilSaveMVDFile(file.c_str(), packing, 1, 1, 0, &voxel, nullptr),
                  VX_ERR_INVALID_ARGUMENT);
        ASSERT_TRUE(vxtest::fileExists(file));
        EXPECT_TRUE(readFile(file).empty()) << "an unknown packing leaves an empty file";
    }
    EXPECT_EQ(vxUtilSaveMVDFile(path("no/such/dir.mvd").c_str(), 0, 1, 1, 0, &voxel, nullptr),
              VX_ERR_FILE_OPEN);
}

TEST_F(MvdTest, LoaderRefusesBadHeaders) {
    struct Case {
        const char *what;
        Bytes file;
        unsigned status;
    };
    Bytes good = cat({header(MVD_GRAY8, 2, 1, 0), {1, 2}});
    auto with = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes shortComment = header(MVD_GRAY8, 2, 1, 0, "hello");
    shortComment.resize(shortComment.size() - 2); // 3 of its 5 comment bytes, no voxels
    const Case cases[] = {
        {"first byte not M", with(0, 'X'), VX_ERR_INVALID_FORMAT},
        {"magic D", with(2, 'X'), VX_ERR_INVALID_FORMAT},
        {"version 2", with(3, 2), VX_ERR_INVALID_FORMAT},
        {"version 0", with(3, 0), VX_ERR_INVALID_FORMAT},
        {"packing 7", with(4, 7), VX_ERR_INVALID_FORMAT},
        {"unit size 2 for code 4", with(5, 2), VX_ERR_INVALID_FORMAT},
        {"10-byte file", Bytes(good.begin(), good.begin() + 10), VX_ERR_FILE},
        {"empty file", Bytes{}, VX_ERR_FILE},
        {"17 bytes", Bytes(good.begin(), good.begin() + 17), VX_ERR_FILE},
        {"comment cut short", shortComment, VX_ERR_FILE},
    };
    for (const Case &c : cases) {
        const std::string file = path("h.mvd");
        writeFile(file, c.file);
        OwnedBuffer loaded;
        loaded.b.width = 77;
        const unsigned expected = c.status;
        EXPECT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), expected) << c.what;
        EXPECT_EQ(loaded.b.data, nullptr) << c.what;
        EXPECT_EQ(loaded.b.comment, nullptr) << c.what;
        EXPECT_EQ(loaded.b.width, 77) << c.what;
        int w = 10, h = 10, d = 10;
        std::uint32_t into[4] = {};
        EXPECT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into, 0, nullptr), expected)
            << c.what;
    }
    OwnedBuffer loaded;
    EXPECT_EQ(vxUtilLoadMVDFile(path("missing.mvd").c_str(), &loaded.b), VX_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(vxUtilLoadMVDFile(nullptr, &loaded.b), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFile(path("missing.mvd").c_str(), nullptr), VX_ERR_INVALID_ARGUMENT);
}

class MvdIntoBuffer : public vxtest::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        file = path("na.mvd");
        volume = testVolume(8, 4, 2);
        ASSERT_EQ(vxUtilSaveMVDFile(file.c_str(), MVD_WORD32, 8, 4, 2, volume.data(), "abcdef"),
                  VX_OK);
    }
    std::string file;
    Words volume;
};

TEST_F(MvdIntoBuffer, CapacityIsCheckedDimensionByDimension) {
    struct Case {
        int w, h, d;      // capacity on entry
        unsigned status;
        int ow, oh, od;   // the values afterwards
    };
    const Case cases[] = {
        {7, 4, 2, VX_ERR_OUT_OF_RANGE, 7, 4, 2},  // too narrow: width left alone
        {8, 3, 2, VX_ERR_OUT_OF_RANGE, 8, 3, 2},  // width stored, then height too small
        {9, 3, 5, VX_ERR_OUT_OF_RANGE, 8, 3, 5},
        {9, 9, 1, VX_ERR_OUT_OF_RANGE, 8, 4, 1},
        {-1, 9, 9, VX_ERR_OUT_OF_RANGE, -1, 9, 9}, // negative capacity always fails
        {8, 4, 2, VX_OK, 8, 4, 2},
        {100, 50, 20, VX_OK, 8, 4, 2},
    };
    for (const Case &c : cases) {
        Words into(8 * 4 * 2, 0);
        int w = c.w, h = c.h, d = c.d;
        EXPECT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, nullptr), c.status);
        EXPECT_EQ(w, c.ow);
        EXPECT_EQ(h, c.oh);
        EXPECT_EQ(d, c.od);
        if (c.status == VX_OK) {
            EXPECT_EQ(into, volume);
        }
    }
}

TEST_F(MvdIntoBuffer, VoxelsAreStoredDenselyWithTheFilesWidth) {
    Words into(20 * 10 * 3, 0xDEADBEEFu);
    int w = 20, h = 10, d = 3;
    ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, nullptr), VX_OK);
    EXPECT_EQ(Words(into.begin(), into.begin() + 64), volume);
    EXPECT_EQ(Words(into.begin() + 64, into.end()), Words(into.size() - 64, 0xDEADBEEFu));
}

TEST_F(MvdIntoBuffer, CommentIsCutToItsCapacity) {
    struct Case {
        int size;
        const char *expected;
    };
    for (Case c : {Case{4, "abc"}, Case{1, ""}, Case{6, "abcde"}, Case{7, "abcdef"},
                   Case{100, "abcdef"}}) {
        char comment[100];
        std::memset(comment, '#', sizeof comment);
        Words into(64);
        int w = 8, h = 4, d = 2;
        ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), c.size, comment),
                  VX_OK);
        EXPECT_STREQ(comment, c.expected) << c.size;
        EXPECT_EQ(into, volume);
    }
    char untouched[4] = {'x', 'y', 'z', 'w'};
    Words into(64);
    int w = 8, h = 4, d = 2;
    ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, untouched), VX_OK);
    EXPECT_EQ(std::string(untouched, 4), "xyzw");
}

TEST_F(MvdIntoBuffer, NullArgumentsAreRefusedBeforeOpening) {
    // The file does not exist: an argument error proves it was not opened.
    const std::string missing = path("missing.mvd");
    Words into(64);
    char comment[8];
    int w = 8, h = 4, d = 2;
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, &h, &d, nullptr, 0, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, &h, &d, into.data(), 5, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(nullptr, &w, &h, &d, into.data(), 0, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), nullptr, &h, &d, into.data(), 0, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, nullptr, &d, into.data(), 0, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, &h, nullptr, into.data(), 0, nullptr),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, &h, &d, into.data(), 8, comment),
              VX_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(vxUtilLoadMVDFileNA(missing.c_str(), &w, &h, &d, into.data(), -3, nullptr),
              VX_ERR_FILE_NOT_FOUND);
}

} // namespace
