// The board the driver talks to when nobody installed another. Only the simulated board is
// built here: the board's own driver library exists for Windows alone, and its binding
// belongs to the Windows build.
#include "board.h"
#include "simulated_board.h"

namespace vx::hw {

Board &defaultBoard() noexcept
{
    // Constructed on first use, so that loading the library touches nothing.
    static SimulatedBoard board(systemClock());
    return board;
}

} // namespace vx::hw
