// The card transport: the handshake before every block, the block outputs, the waits and
// their limits, and the exported sends, global reset and geometry query.
#include "transport.h"

#include "driver.h"
#include "error_texts.h"
#include "vxhw.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vx::hw {

namespace {

// What each command type sends and how it sets the size of the next data block.
enum class Sizing { Unchanged, Plane, Volume, Rectangle, Box };
struct CommandShape {
    int words; // words sent, type word included
    Sizing sizing;
};
constexpr CommandShape kCommandShapes[] = {
    /* 0 VX_CMD_RESET             */ {0, Sizing::Unchanged}, // synchronises instead
    /* 1 VX_CMD_SET_CLEAR_ON_SWAP */ {2, Sizing::Unchanged},
    /* 2 VX_CMD_SET_SWAP_ON_WRITE */ {2, Sizing::Unchanged},
    /* 3 VX_CMD_SWAP              */ {2, Sizing::Unchanged},
    /* 4 VX_CMD_FULL_PLANE        */ {2, Sizing::Plane},
    /* 5 VX_CMD_SUB_PLANE         */ {5, Sizing::Rectangle},
    /* 6 VX_CMD_FULL_BLOCK        */ {2, Sizing::Volume},
    /* 7 VX_CMD_SUB_BLOCK         */ {7, Sizing::Box},
};
constexpr int kCommandTypes = int(sizeof kCommandShapes / sizeof kCommandShapes[0]);

// Positions from first to last corner coordinate, both included, in either order.
uint64_t span(int32_t first, int32_t last) noexcept
{
    return uint64_t(std::llabs(int64_t(last) - int64_t(first))) + 1;
}

// The pixel count of a region with the given spans, when it is at most `limit`.
bool regionSize(std::initializer_list<uint64_t> spans, uint64_t limit, uint32_t *size) noexcept
{
    uint64_t count = 1;
    for (uint64_t s : spans) {
        if (s > limit)
            return false;
        count *= s; // both factors are at most limit (below 2^24): no overflow
        if (count > limit)
            return false;
    }
    *size = uint32_t(count);
    return true;
}

// The data size a sizing command announces; false for a region larger than the display.
bool announcedSize(const int *command, Sizing sizing, uint32_t *size) noexcept
{
    switch (sizing) {
    case Sizing::Unchanged: return true;
    case Sizing::Plane: *size = VX_PLANE_PIXELS; return true;
    case Sizing::Volume: *size = VX_VOLUME_PIXELS; return true;
    case Sizing::Rectangle:
        return regionSize({span(command[1], command[3]), span(command[2], command[4])},
                          VX_PLANE_PIXELS, size);
    case Sizing::Box:
        return regionSize({span(command[1], command[4]), span(command[2], command[5]),
                           span(command[3], command[6])},
                          VX_VOLUME_PIXELS, size);
    }
    return false;
}

int16_t readReq2() noexcept
{
    int16_t level = 0;
    board().lineInput(kDevice, kControlPort, kReq2Line, &level);
    return level;
}

uint32_t queryRemaining() noexcept
{
    uint32_t remaining = 0;
    board().blockTransferStatus(kDevice, kGroup, &remaining);
    return remaining;
}

bool setLine(int16_t line, int16_t state) noexcept
{
    return board().lineOutput(kDevice, kControlPort, line, state) == 0;
}

bool fail(uint32_t index) noexcept
{
    driverState().lastErrorIndex = index;
    return false;
}

} // namespace

bool waitForReq2(int16_t level) noexcept
{
    for (int read = 0; read < VXHW_WAIT_READS; ++read) {
        if (readReq2() == level)
            return true;
    }
    return false;
}

void pause(uint32_t milliseconds) noexcept
{
    Clock &c = clock();
    uint32_t start = c.milliseconds();
    while (uint32_t(c.milliseconds() - start) < milliseconds) {
    }
}

bool waitForPreviousTransfer() noexcept
{
    const uint32_t lastBlock = driverState().lastBlockSize;
    uint32_t remaining = queryRemaining();
    if (remaining == 0)
        return true;

    // While the count still equals the size of the last block, the card has not begun to
    // take it (it may still be swapping its stores).
    for (int query = 0; remaining == lastBlock; ++query) {
        if (query == VXHW_WAIT_READS)
            return fail(kSwapTimeout);
        remaining = queryRemaining();
    }

    uint32_t lowest = remaining;
    uint32_t lastProgress = clock().milliseconds();
    while (remaining != 0) {
        remaining = queryRemaining();
        if (remaining == 0)
            break;
        if (remaining < lowest) {
            lowest = remaining;
            lastProgress = clock().milliseconds();
            continue;
        }
        if (uint32_t(clock().milliseconds() - lastProgress) > VXHW_TRANSFER_STALL_LIMIT_MS)
            return fail(kPreviousTransfer);
        pause(kTransferPollMs);
    }
    return true;
}

bool handshakeAndSend(int16_t strobeLine, const uint32_t *words, uint32_t count) noexcept
{
    DriverState &state = driverState();
    Board &b = board();
    b.blockTransferRelease(kDevice, kGroup);
    if (!waitForReq2(1))
        return fail(kReq2HighAtStart);
    if (!setLine(strobeLine, 1))
        return fail(kLineOut);
    if (!waitForReq2(0))
        return fail(kReq2LowAtEnd);
    if (!setLine(strobeLine, 0))
        return fail(kLineOut);

    const uint32_t limit = state.blockLimit ? state.blockLimit : VXHW_BLOCK_LIMIT;
    while (count > 0) {
        uint32_t chunk = std::min(count, limit);
        if (b.blockOutput(kDevice, kGroup, words, chunk) != 0)
            return fail(kBlockOut);
        state.lastBlockSize = chunk;
        words += chunk;
        count -= chunk;
    }
    return true;
}

unsigned int synchronise() noexcept
{
    if (!waitForPreviousTransfer())
        return VX_ERR_OUTPUT_CARD;
    board().blockTransferRelease(kDevice, kGroup);
    // A card that does not raise REQ2 is reset, not reported.
    if (!waitForReq2(1))
        globalReset();
    return VX_OK;
}

int globalReset() noexcept
{
    setLine(kCommandStrobeLine, 1);
    setLine(kDataStrobeLine, 1);
    setLine(kCommandStrobeLine, 0);
    return board().lineOutput(kDevice, kControlPort, kDataStrobeLine, 0);
}

} // namespace vx::hw

using namespace vx::hw;

extern "C" unsigned int vxHwSendCommand(const int *command)
{
    if (!command)
        return VX_ERR_INVALID_ARGUMENT;
    const int type = command[0];
    if (type < 0 || type >= kCommandTypes)
        return VX_ERR_INVALID_ARGUMENT;
    if (type == VX_CMD_RESET)
        return synchronise();

    const CommandShape &shape = kCommandShapes[type];
    DriverState &state = driverState();
    uint32_t size = state.pendingDataSize;
    if (!announcedSize(command, shape.sizing, &size))
        return VX_ERR_INVALID_ARGUMENT;
    state.pendingDataSize = size;

    // The previous command's words may still be on their way from the command block: wait
    // for them before the block is rewritten.
    if (!waitForPreviousTransfer())
        return VX_ERR_OUTPUT_CARD;
    std::memcpy(state.commandBlock, command, size_t(shape.words) * sizeof(int32_t));
    const auto *words = reinterpret_cast<const uint32_t *>(state.commandBlock);
    if (!handshakeAndSend(kCommandStrobeLine, words, uint32_t(shape.words)))
        return VX_ERR_OUTPUT_CARD;
    return VX_OK;
}

extern "C" unsigned int vxHwSendData(const unsigned int *data)
{
    if (!data)
        return VX_ERR_INVALID_ARGUMENT;
    if (!waitForPreviousTransfer())
        return VX_ERR_OUTPUT_CARD;
    if (!handshakeAndSend(kDataStrobeLine, data, driverState().pendingDataSize))
        return VX_ERR_OUTPUT_CARD;
    return VX_OK;
}

extern "C" int vxHwDoGlobalReset(void)
{
    return globalReset();
}

extern "C" unsigned int vxHwGet(int id, int *value)
{
    if (!value)
        return VX_ERR_INVALID_ARGUMENT;
    switch (id) {
    case 0: *value = VX_PLANE_WIDTH; return VX_OK;
    case 1: *value = VX_PLANE_HEIGHT; return VX_OK;
    case 2: *value = VX_NUM_PLANES; return VX_OK;
    default: return VX_ERR_INVALID_ARGUMENT;
    }
}
