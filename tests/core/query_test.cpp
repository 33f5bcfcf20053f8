#include <cstring>

#include "core_test_support.h"

namespace {

using vxtest::Initialised;

struct WidthCase {
    unsigned id;
    int bytes;
    std::uint64_t expected; // the value, as little-endian bytes of the given width
};

class QueryWidth : public Initialised, public ::testing::WithParamInterface<WidthCase> {};

// Every id writes exactly its width: the bytes after it keep the sentinel.
TEST_P(QueryWidth, WritesExactlyItsWidth) {
    unsigned char out[16];
    std::memset(out, 0xAB, sizeof out);
    ASSERT_EQ(vxGet(GetParam().id, out), VX_OK);
    for (int i = GetParam().bytes; i < 16; ++i) EXPECT_EQ(out[i], 0xAB) << "byte " << i;
    std::uint64_t value = 0;
    std::memcpy(&value, out, GetParam().bytes);
    EXPECT_EQ(value, GetParam().expected);
}

std::uint64_t bitsOf(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}
std::uint64_t bitsOf(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    return u;
}

INSTANTIATE_TEST_SUITE_P(
    AfterInitialize, QueryWidth,
    ::testing::Values(WidthCase{250, 4, 1}, WidthCase{251, 4, 1}, WidthCase{253, 4, 0},
                      WidthCase{300, 4, 201}, WidthCase{301, 4, 1024}, WidthCase{302, 4, 748},
                      WidthCase{303, 4, 20}, WidthCase{304, 1, 0}, WidthCase{305, 1, 0},
                      WidthCase{306, 2, 0}, WidthCase{307, 2, 0},
                      WidthCase{308, 4, bitsOf(3.0f)}, WidthCase{309, 4, 402},
                      WidthCase{310, 4, 1}, WidthCase{311, 4, 765952}, WidthCase{312, 4, 205},
                      WidthCase{313, 4, 209}, WidthCase{314, 4, 209}, WidthCase{315, 4, 205},
                      WidthCase{316, 4, 209}, WidthCase{317, 4, 209},
                      WidthCase{318, 8, bitsOf(1.0)}, WidthCase{319, 8, bitsOf(100.0)},
                      WidthCase{320, 4, 75}, WidthCase{321, 4, bitsOf(1.0f)},
                      WidthCase{322, 4, bitsOf(0.0f)}, WidthCase{999, 4, 0}));

TEST_F(Initialised, DepthBoundQueriesWriteTheirWidthWithNonZeroValues) {
    // Under the fixed method the user bounds are in effect: non-zero values show the width.
    vxSetMinDepthFunc(206, 208, 209);
    vxSetMaxDepthFunc(206, 208, 209);
    vxSetMinDepthz(0x12);
    vxSetMaxDepthz(0x34);
    vxSetMinDepths(0x5678);
    vxSetMaxDepths(0x9ABC);
    unsigned char out[4];
    const struct {
        unsigned id;
        std::vector<unsigned char> bytes;
    } cases[] = {{304, {0x12, 0xAB, 0xAB, 0xAB}},
                 {305, {0x34, 0xAB, 0xAB, 0xAB}},
                 {306, {0x78, 0x56, 0xAB, 0xAB}},
                 {307, {0xBC, 0x9A, 0xAB, 0xAB}}};
    for (const auto &c : cases) {
        std::memset(out, 0xAB, sizeof out);
        ASSERT_EQ(vxGet(c.id, out), VX_OK);
        EXPECT_EQ(std::vector<unsigned char>(out, out + 4), c.bytes) << c.id;
    }
}

TEST_F(Initialised, UnknownIdsAndNullStorageAreRefusedWithoutWriting) {
    for (unsigned id : {0u, 249u, 252u, 254u, 299u, 323u, 998u, 1000u, 0xFFFFFFFFu}) {
        unsigned char out[8];
        std::memset(out, 0xAB, sizeof out);
        EXPECT_EQ(vxGet(id, out), VX_ERR_INVALID_ARGUMENT) << id;
        for (unsigned char b : out) EXPECT_EQ(b, 0xAB) << id;
    }
    for (unsigned id : {250u, 301u, 302u, 303u, 318u, 999u})
        EXPECT_EQ(vxGet(id, nullptr), VX_ERR_INVALID_ARGUMENT) << id;
}

} // namespace
