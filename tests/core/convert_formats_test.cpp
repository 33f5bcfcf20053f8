// vxGetDataFormatSize: the 34-entry size table and the ids around it.
#include <gtest/gtest.h>

#include "vx.h"

namespace {

TEST(DataFormatSize, AnswersEveryIdOfTheTable) {
    struct Row {
        int first, last, bytes;
    };
    const Row rows[] = {{68, 69, 3}, {70, 75, 4}, {76, 77, 3}, {78, 79, 4}, {80, 80, 2},
                        {81, 81, 1}, {82, 99, 0}, {100, 100, 1}, {101, 101, 2}};
    for (const Row &row : rows)
        for (int id = row.first; id <= row.last; ++id) {
            int size = -1;
            EXPECT_EQ(vxGetDataFormatSize(id, &size), VX_OK) << id;
            EXPECT_EQ(size, row.bytes) << id;
        }
}

TEST(DataFormatSize, RefusesIdsOutsideTheTableAndLeavesTheSizeAlone) {
    for (int id : {67, 102, 0, -1, -68, 1000, 0x7FFFFFFF, int(0x80000000u)}) {
        int size = 12345;
        EXPECT_EQ(vxGetDataFormatSize(id, &size), VX_ERR_INVALID_ARGUMENT) << id;
        EXPECT_EQ(size, 12345) << id;
    }
    EXPECT_EQ(vxGetDataFormatSize(70, nullptr), VX_ERR_INVALID_ARGUMENT);
}

TEST(DataFormatSize, WorksBeforeAndAfterTheLibraryRuns) {
    int size = 0;
    ASSERT_EQ(vxShutdown(), VX_OK);
    EXPECT_EQ(vxGetDataFormatSize(81, &size), VX_OK);
    EXPECT_EQ(size, 1);
}

} // namespace
