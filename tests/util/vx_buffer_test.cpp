#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "vxUtil.h"

extern "C" int vxtest_c_header_record_ok(void);

namespace {

TEST(VXbuffer, HeaderWorksFromC) { EXPECT_EQ(vxtest_c_header_record_ok(), 1); }

TEST(VXbuffer, InitializeZeroesEveryField) {
    VXbuffer b;
    std::memset(&b, 0x5A, sizeof b);
    ASSERT_EQ(vxUtilInitializeVXbuffer(&b), VX_OK);
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(b.height, 0);
    EXPECT_EQ(b.depth, 0);
    EXPECT_EQ(b.data, nullptr);
    EXPECT_EQ(b.comment, nullptr);
}

TEST(VXbuffer, FreeReleasesAndZeroesAndIsHarmlessTwice) {
    VXbuffer b{4, 5, 6, std::malloc(16), static_cast<char *>(std::malloc(8))};
    ASSERT_EQ(vxUtilFreeVXbuffer(&b), VX_OK);
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(b.height, 0);
    EXPECT_EQ(b.depth, 0);
    EXPECT_EQ(b.data, nullptr);
    EXPECT_EQ(b.comment, nullptr);
    EXPECT_EQ(vxUtilFreeVXbuffer(&b), VX_OK);
}

TEST(VXbuffer, NullRecordIsRefused) {
    EXPECT_EQ(vxUtilInitializeVXbuffer(nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxUtilFreeVXbuffer(nullptr), VX_ERR_INVALID_ARGUMENT);
}

} // namespace
