#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vxUtil.h"

namespace {

std::string message(unsigned code, int size = 64) {
    char text[80];
    std::memset(text, '#', sizeof text);
    vxUtilErrorString(code, size, text);
    return text;
}

TEST(ErrorStrings, EveryCodeHasItsText) {
    const char *expected[16] = {"no error",
                                "could not allocate memory",
                                "generic image writing error",
                                "error with the output card",
                                "file not found",
                                "could not open the file",
                                "unspecified file error",
                                "unknown error",
                                "invalid file extension",
                                "already initialized",
                                "invalid format",
                                "invalid argument",
                                "out of range",
                                "invalid depth scan method",
                                "invalid format and mode combo",
                                "command queue overflow"};
    for (unsigned code = 0; code < 16; ++code) EXPECT_EQ(message(code), expected[code]) << code;
    EXPECT_EQ(message(VX_ERR_QUEUE_OVERFLOW), "command queue overflow");
}

TEST(ErrorStrings, CodesOutsideTheTable) {
    for (unsigned code : {16u, 17u, 1000u, 0xFFFFFFFFu, static_cast<unsigned>(-1)})
        EXPECT_EQ(message(code), "invalid error code") << code;
}

TEST(ErrorStrings, TextIsCutToTheBufferSize) {
    EXPECT_EQ(message(0, 5), "no e");
    EXPECT_EQ(message(0, 1), "");
    EXPECT_EQ(message(0, 9), "no error");
    EXPECT_EQ(message(0, 8), "no erro");
    EXPECT_EQ(message(16, 8), "invalid");
}

TEST(ErrorStrings, NoCapacityWritesNothing) {
    for (int size : {0, -1, -100}) {
        char text[4] = {'a', 'b', 'c', 'd'};
        vxUtilErrorString(1, size, text);
        EXPECT_EQ(std::string(text, 4), "abcd") << size;
    }
    vxUtilErrorString(1, 64, nullptr); // ignored, must not crash
}

TEST(ErrorStrings, CountsAndEveryTextFitsTheMaximum) {
    EXPECT_EQ(vxUtilGetMaxLengthOfErrorString(), 64);
    EXPECT_EQ(vxUtilGetNumberOfErrorCodes(), 16);
    for (unsigned code = 0; code <= 16; ++code) {
        char text[64];
        vxUtilErrorString(code, vxUtilGetMaxLengthOfErrorString(), text);
        EXPECT_EQ(message(code, 80), text);
        EXPECT_LT(std::strlen(text), 64u);
    }
}

} // namespace
