// Fixture of the card driver suites: a simulated board on a clock that the tests step, installed
// in place of the default board, and the driver state reset around every case.
#pragma once

#include "board/simulated_board.h"
#include "driver.h"
#include "vxhw.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vx::hw::test {

// A clock that moves on by a millisecond every time it is read, so that busy pauses end and
// transfers progress without real time passing.
class StepClock final : public Clock {
public:
    uint64_t us = 1000000;
    uint64_t microseconds() noexcept override { return us += 1000; }
    // The millisecond reading as the driver sees it (without moving the clock).
    uint32_t ms() const { return uint32_t(us / 1000); }
    // Moves the clock on to the next time its millisecond reading is `reading`.
    void advanceTo(uint32_t reading)
    {
        us += uint64_t(uint32_t(reading - ms())) * 1000;
    }
};

using Record = std::array<int, VX_CMD_RECORD_INTS>;

class HwTest : public ::testing::Test {
protected:
    StepClock clock;
    SimulatedBoard sim{clock};
    // Set by cases that break the handshake on purpose.
    bool expectViolations = false;

    void SetUp() override
    {
        resetDriverState();
        installClock(&clock);
        installBoard(&sim);
    }

    void TearDown() override
    {
        if (!expectViolations) {
            for (const std::string &v : sim.violations())
                ADD_FAILURE() << "handshake breach: " << v;
        }
        installBoard(nullptr);
        installClock(nullptr);
        resetDriverState();
    }

    // Initialises the driver on the simulated board and forgets what that recorded.
    void initialise()
    {
        char info[114];
        ASSERT_EQ(vxHwInitialize(info), VX_OK);
        sim.clearLog();
    }

    unsigned send(const Record &record) { return vxHwSendCommand(record.data()); }

    // Lets the card take every word of the started block outputs.
    void drain()
    {
        uint32_t remaining = 1;
        for (int i = 0; i < 100000 && remaining != 0; ++i)
            sim.blockTransferStatus(kDevice, kGroup, &remaining);
        ASSERT_EQ(remaining, 0u);
    }

    // Reports (and so clears) the last error.
    std::string lastError()
    {
        char text[64];
        EXPECT_EQ(vxHwGetLastErrorString(int(sizeof text), text), VX_OK);
        return text;
    }

    // Repeat count of the last event.
    uint64_t lastRepeats() const { return sim.events().empty() ? 0 : sim.events().back().repeats; }
};

// Words 0, 1, 2, ... mixed so that a shifted or truncated copy gives another checksum.
inline std::vector<uint32_t> pattern(size_t count)
{
    std::vector<uint32_t> words(count);
    for (size_t i = 0; i < count; ++i)
        words[i] = uint32_t(i * 2654435761u) ^ 0x5a5a0000u;
    return words;
}

} // namespace vx::hw::test
