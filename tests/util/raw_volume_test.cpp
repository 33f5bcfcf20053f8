#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "util_test_support.h"

namespace {

using vxtest::Bytes;
using vxtest::readFile;
using vxtest::writeFile;

class RawTest : public vxtest::TempDirTest {};

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i * 31 + (i >> 8));
    return b;
}

TEST_F(RawTest, SaveNamesTheFileAfterItsDimensions) {
    struct Case {
        int w, h, d;
        const char *suffix;
        std::size_t bytes;
    };
    for (Case c : {Case{1024, 748, 20, "-1024-748-20-GRAY8.raw", 15319040},
                   Case{1024, 748, 0, "-1024-748-0-GRAY8.raw", 1024 * 748},
                   Case{3, 2, 1, "-3-2-1-GRAY8.raw", 6}, Case{0, 5, 5, "-0-5-5-GRAY8.raw", 0}}) {
        const Bytes data = pattern(c.bytes);
        const std::uint8_t none = 0; // an empty volume still needs a data pointer
        const std::string base = path("vol");
        char name[512];
        ASSERT_EQ(vxUtilSaveRAW(base.c_str(), 12345, c.w, c.h, c.d,
                                data.empty() ? &none : data.data(), sizeof name, name),
                  VX_OK);
        EXPECT_EQ(std::string(name), base + c.suffix);
        EXPECT_EQ(readFile(name), data) << name;
    }
}

TEST_F(RawTest, NameBufferMustHoldTheNameAndItsTerminator) {
    const Bytes data = pattern(6);
    const std::string base = path("v");
    const std::string expected = base + "-3-2-1-GRAY8.raw";
    char name[512];
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 3, 2, 1, data.data(), int(expected.size()), name),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(name[0], '#') << "the name is not touched";
    EXPECT_FALSE(vxtest::fileExists(expected)) << "no file is created";
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 3, 2, 1, data.data(), 0, name),
              VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 3, 2, 1, data.data(), -5, name),
              VX_ERR_INVALID_ARGUMENT);
    ASSERT_EQ(vxUtilSaveRAW(base.c_str(), 0, 3, 2, 1, data.data(), int(expected.size()) + 1,
                            name),
              VX_OK);
    EXPECT_EQ(std::string(name), expected);
}

TEST_F(RawTest, LongNamesAndNumbersAreHandled) {
    // A base name of more than 1000 characters (through nested directories).
    std::string dir = dir_.string();
    for (int i = 0; i < 8; ++i) dir += "/" + std::string(120, char('a' + i));
    std::filesystem::create_directories(dir);
    const std::string base = dir + "/scan-with-hyphens.v2";
    const Bytes data = pattern(7);
    std::vector<char> name(base.size() + 64);
    ASSERT_EQ(vxUtilSaveRAW(base.c_str(), 0, 7, 1, 0, data.data(), int(name.size()), name.data()),
              VX_OK);
    EXPECT_EQ(std::string(name.data()), base + "-7-1-0-GRAY8.raw");
    int format = -1, w = -1, h = -1, d = -1, reason = -1;
    ASSERT_EQ(vxUtilParseRAWFilename(name.data(), &format, &w, &h, &d, &reason), VX_OK);
    EXPECT_EQ(format, VX_FORMAT_GRAY8);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(reason, 0);
    Bytes back(7, 0);
    ASSERT_EQ(vxUtilLoadRAW(name.data(), 0, w, h, d, back.data()), VX_OK);
    EXPECT_EQ(back, data);
}

TEST_F(RawTest, SaveRefusesBadArguments) {
    const Bytes data = pattern(8);
    char name[256];
    const std::string base = path("b");
    const unsigned INV = VX_ERR_INVALID_ARGUMENT;
    EXPECT_EQ(vxUtilSaveRAW(nullptr, 0, 2, 2, 2, data.data(), 256, name), INV);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 2, 2, 2, nullptr, 256, name), INV);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 2, 2, 2, data.data(), 256, nullptr), INV);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, -2, 2, 2, data.data(), 256, name), INV);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 2, -2, 2, data.data(), 256, name), INV);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 2, 2, -2, data.data(), 256, name), INV);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
    EXPECT_EQ(vxUtilSaveRAW(path("no/dir/b").c_str(), 0, 2, 2, 2, data.data(), 256, name),
              VX_ERR_FILE_OPEN);
    EXPECT_EQ(std::string(name), path("no/dir/b") + "-2-2-2-GRAY8.raw");
}

TEST_F(RawTest, LoadReadsTheCallersDimensions) {
    const Bytes data = pattern(2 * 3 * 4);
    const std::string file = path("l.raw");
    writeFile(file, data);
    Bytes into(24, 0);
    ASSERT_EQ(vxUtilLoadRAW(file.c_str(), 0, 2, 3, 4, into.data()), VX_OK);
    EXPECT_EQ(into, data);
    // Depth 0 reads one plane; a longer file loads, its extra bytes ignored.
    Bytes plane(7, 0xEE);
    ASSERT_EQ(vxUtilLoadRAW(file.c_str(), 0, 2, 3, 0, plane.data()), VX_OK);
    EXPECT_EQ(Bytes(plane.begin(), plane.begin() + 6), Bytes(data.begin(), data.begin() + 6));
    EXPECT_EQ(plane[6], 0xEE);
}

TEST_F(RawTest, LoadErrors) {
    const std::string file = path("e.raw");
    writeFile(file, pattern(10));
    Bytes into(64, 0xEE);
    const std::string missing = path("missing.raw");
    EXPECT_EQ(vxUtilLoadRAW(missing.c_str(), 0, 2, 2, 2, nullptr), VX_ERR_INVALID_ARGUMENT)
        << "a null data pointer is refused before the file is opened";
    EXPECT_EQ(vxUtilLoadRAW(nullptr, 0, 2, 2, 2, into.data()), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadRAW(file.c_str(), 0, -1, 2, 2, into.data()), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilLoadRAW(missing.c_str(), 0, 2, 2, 2, into.data()), VX_ERR_FILE_OPEN);
    // 11 bytes wanted, 10 there: refused, and the caller's buffer is not touched.
    EXPECT_EQ(vxUtilLoadRAW(file.c_str(), 0, 11, 1, 1, into.data()), VX_ERR_FILE);
    EXPECT_EQ(into, Bytes(64, 0xEE));
    EXPECT_EQ(vxUtilLoadRAW(file.c_str(), 0, 10, 1, 1, into.data()), VX_OK);
}

struct ParseCase {
    const char *name;
    unsigned status;
    int format, width, height, depth, reason; // -1: left as it was
};

class ParseRawName : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseRawName, TakesTheNameApartFromItsEnd) {
    const ParseCase &c = GetParam();
    int format = -1, w = -1, h = -1, d = -1, reason = -1;
    EXPECT_EQ(vxUtilParseRAWFilename(c.name, &format, &w, &h, &d, &reason), c.status);
    EXPECT_EQ(format, c.format);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(d, c.depth);
    EXPECT_EQ(reason, c.reason);
    format = w = h = d = -1;
    EXPECT_EQ(vxUtilParseRAWFilename(c.name, &format, &w, &h, &d, nullptr), c.status);
    EXPECT_EQ(w, c.width);
}

const unsigned OK = VX_OK, BAD = VX_ERR_INVALID_FORMAT;
INSTANTIATE_TEST_SUITE_P(
    Names, ParseRawName,
    ::testing::Values(
        ParseCase{"my-scan-64-32-8-gray8.raw", OK, 81, 64, 32, 8, 0},
        ParseCase{"vol-1024-748-20-GRAY8.raw", OK, 81, 1024, 748, 20, 0},
        ParseCase{"a-64-32-8-RGB.raw", OK, -1, 64, 32, 8, 0},
        ParseCase{"vol-64-32-GRAY8.raw", BAD, 81, -1, 64, 32, 1},
        ParseCase{"noextension", BAD, -1, -1, -1, -1, 5},
        ParseCase{"a-1-2-3-GRAY8", BAD, -1, -1, -1, -1, 5},
        ParseCase{"name.raw", BAD, -1, -1, -1, -1, 4},
        ParseCase{"x-GRAY8.raw", BAD, 81, -1, -1, -1, 3},
        ParseCase{"x-5-GRAY8.raw", BAD, 81, -1, -1, 5, 2},
        ParseCase{"/data/set.v2/my-vol-1-2-3-Gray8.raw", OK, 81, 1, 2, 3, 0},
        ParseCase{"a.b-1-2-3-GRAY8.x.raw", OK, -1, 1, 2, 3, 0}, // type word "GRAY8.x"
        ParseCase{"a-b-c-d-GRAY8.raw", OK, 81, -1, -1, -1, 0},  // fields without numbers
        ParseCase{"a- 12- +7-  3- gray8 .raw", OK, 81, 12, 7, 3, 0},
        ParseCase{"a-1--2-3-GRAY8.raw", OK, 81, -1, 2, 3, 0}, // "-2": its hyphen separates
        ParseCase{"a-12abc-1-1-GRAY8.raw", OK, 81, 12, 1, 1, 0},
        ParseCase{"a-99999999999-1-1-GRAY8.raw", OK, 81, -1, 1, 1, 0}, // does not fit an int
        ParseCase{"a-2147483647-2147483648-0-GRAY8.raw", OK, 81, 2147483647, -1, 0, 0},
        ParseCase{"a-1-2-3-GRAY8X.raw", OK, -1, 1, 2, 3, 0},
        ParseCase{"a-1-2-3-GRAY.raw", OK, -1, 1, 2, 3, 0},
        ParseCase{"a-1-2-3-.raw", OK, -1, 1, 2, 3, 0},
        ParseCase{"-1-2-3-GRAY8.raw", OK, 81, 1, 2, 3, 0},
        ParseCase{"", BAD, -1, -1, -1, -1, 5}));

TEST(ParseRawNameLong, AnyLengthOfNameAndWord) {
    const std::string name = std::string(20000, 'b') + "-640-480-3-" + std::string(5000, 'G') +
                             ".raw";
    int format = -1, w = 0, h = 0, d = 0, reason = -1;
    ASSERT_EQ(vxUtilParseRAWFilename(name.c_str(), &format, &w, &h, &d, &reason), VX_OK);
    EXPECT_EQ(format, -1);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(d, 3);
    const std::string grey = std::string(20000, '-') + "9-8-7-" + "gRaY8" + ".raw";
    ASSERT_EQ(vxUtilParseRAWFilename(grey.c_str(), &format, &w, &h, &d, &reason), VX_OK);
    EXPECT_EQ(format, 81);
    EXPECT_EQ(w, 9);
}

TEST(ParseRawNameNull, NullArgumentsAreRefusedWithReason0) {
    int v = -1, reason = -1;
    const char *name = "a-1-2-3-GRAY8.raw";
    EXPECT_EQ(vxUtilParseRAWFilename(nullptr, &v, &v, &v, &v, &reason), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(reason, 0);
    for (int which = 0; which < 4; ++which) {
        int f = -1, w = -1, h = -1, d = -1;
        reason = -1;
        EXPECT_EQ(vxUtilParseRAWFilename(name, which == 0 ? nullptr : &f, which == 1 ? nullptr : &w,
                                         which == 2 ? nullptr : &h, which == 3 ? nullptr : &d,
                                         &reason),
                  VX_ERR_INVALID_ARGUMENT);
        EXPECT_EQ(reason, 0);
        EXPECT_TRUE(f == -1 && w == -1 && h == -1 && d == -1) << "nothing stored";
    }
}

} // namespace
