// The driver's global state and the board and clock in use.
#include "driver.h"

namespace vx::hw {

namespace {

DriverState g_state;
Board *g_board = nullptr;
Clock *g_clock = nullptr;

} // namespace

DriverState &driverState() noexcept
{
    return g_state;
}

void resetDriverState() noexcept
{
    g_state = DriverState{};
}

Board &board() noexcept
{
    return g_board ? *g_board : defaultBoard();
}

void installBoard(Board *board) noexcept
{
    g_board = board;
}

Clock &clock() noexcept
{
    return g_clock ? *g_clock : systemClock();
}

void installClock(Clock *clock) noexcept
{
    g_clock = clock;
}

} // namespace vx::hw
