// The card driver's state (one instance for the life of the library) and the board and clock
// it talks to. Tests install a board and a clock of their own and reset the state between
// cases; nothing of this is exported.
#pragma once

#include "board/board.h"
#include "clock.h"
#include "vxhw.h"

#include <cstdint>

namespace vx::hw {

struct DriverState {
    uint32_t pendingDataSize = 0; // words the next vxHwSendData sends
    uint32_t lastBlockSize = 0;   // words of the block output started last
    uint32_t blockLimit = VXHW_BLOCK_LIMIT; // largest number of words of one block output
    uint32_t lastErrorIndex = 0;  // index into the error texts; 0: no error
    // The command words the board reads while their block output runs; rewritten only after
    // the next send has waited for that block output to finish.
    int32_t commandBlock[VX_CMD_RECORD_INTS] = {};
};

DriverState &driverState() noexcept;
// Puts the state back to its initial values.
void resetDriverState() noexcept;

Board &board() noexcept;
// Installs the board the driver talks to; null restores the default board.
void installBoard(Board *board) noexcept;

Clock &clock() noexcept;
// Installs the clock of the driver's pauses and waits; null restores the system clock.
void installClock(Clock *clock) noexcept;

} // namespace vx::hw
