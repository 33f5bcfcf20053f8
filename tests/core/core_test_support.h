// Shared fixture of the core suites: an initialised library and the records that reached the
// command path.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "api/command_path.h"
#include "api/library_state.h"
#include "emulator/emulator.h"
#include "vx.h"

namespace vxtest {

inline std::vector<vx::core::CommandRecord> &sentRecords() {
    static std::vector<vx::core::CommandRecord> records;
    return records;
}

inline void recordCommand(const vx::core::CommandRecord &r) { sentRecords().push_back(r); }

// The record as {type, used arguments...}, for comparing with a table.
inline std::vector<int> asList(const vx::core::CommandRecord &r, int used) {
    std::vector<int> v{r.type};
    for (int i = 0; i < used; ++i) v.push_back(r.args[i]);
    return v;
}

// Reads one setting through vxGet as a value of type T.
template <typename T> T get(unsigned id) {
    T value{};
    EXPECT_EQ(vxGet(id, &value), VX_OK) << "query " << id;
    return value;
}

class Initialised : public ::testing::Test {
  protected:
    void SetUp() override {
        vxEmuSetMessageHandler([](const char *, const char *) {});
        ASSERT_EQ(vxInitialize(0), VX_OK);
        sentRecords().clear();
        vx::core::setCommandObserver(recordCommand);
    }
    void TearDown() override {
        vx::core::setCommandObserver(nullptr);
        vxShutdown();
    }
};

} // namespace vxtest
