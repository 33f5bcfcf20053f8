// Finding, describing and configuring the board at start-up, and releasing it at shutdown.
#include "driver.h"
#include "error_texts.h"
#include "transport.h"
#include "vxhw.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace vx::hw {

namespace {

// Bytes of the application's description buffer: 113 characters and the NUL.
constexpr size_t kInfoBytes = 114;

// Appends the pieces of the card description one after another.
class Description {
public:
    explicit Description(char *text) noexcept : text_(text) { text_[0] = '\0'; }

    void append(const char *format, ...) noexcept
    {
        if (length_ + 1 >= kInfoBytes)
            return;
        va_list args;
        va_start(args, format);
        int written = std::vsnprintf(text_ + length_, kInfoBytes - length_, format, args);
        va_end(args);
        if (written > 0)
            length_ = std::min(length_ + size_t(written), kInfoBytes - 1);
    }

private:
    char *text_;
    size_t length_ = 0;
};

unsigned int failWith(uint32_t index) noexcept
{
    driverState().lastErrorIndex = index;
    return VX_ERR_OUTPUT_CARD;
}

} // namespace

} // namespace vx::hw

using namespace vx::hw;

extern "C" unsigned int vxHwInitialize(char *info)
{
    if (!info)
        return VX_ERR_INVALID_ARGUMENT;
    Board &b = board();
    Description description(info);

    uint32_t version = 0;
    b.driverVersion(&version); // only for the description
    description.append("Nidaq Version: %x, ", version);

    int16_t type = 0;
    b.boardType(kDevice, &type);
    if (type != kBoardTypePciDio32Hs) {
        description.append("FATAL ERROR: Voxtera Interface Card not found!, ");
        return failWith(kCardNotFound);
    }
    description.append("National Instruments PCI-DIO-32HS, ");

    uint32_t serial = 0;
    if (b.deviceInformation(kDevice, kInfoSerialNumber, &serial) != 0)
        return failWith(kNoSerialNumber);
    description.append("Serial Number: 0x%x, ", serial);

    uint32_t base = 0;
    if (b.deviceInformation(kDevice, kInfoBaseAddress, &base) != 0)
        return failWith(kNoBaseAddress);
    description.append("Base Address: 0x%x, ", base);

    driverState().blockLimit = VXHW_BLOCK_LIMIT;
    if (b.portAssignment(kDevice, kGroup, 4, 0, 1) != 0)
        return failWith(kAssignPorts);
    if (b.portGrouping(kDevice, kGroup, 3, 0, 0, 0, 0) != 0)
        return failWith(kGroupPorts);
    if (b.deviceParameterWrite(kDevice, kParamClockLine, kParamClockReversed) != 0)
        return failWith(kReversePclk);

    const int reset[VX_CMD_RECORD_INTS] = {VX_CMD_RESET};
    return vxHwSendCommand(reset);
}

extern "C" unsigned int vxHwShutDown(void)
{
    const int reset[VX_CMD_RECORD_INTS] = {VX_CMD_RESET};
    unsigned int status = vxHwSendCommand(reset);
    if (status != VX_OK)
        return status;
    if (!waitForPreviousTransfer())
        return VX_ERR_OUTPUT_CARD;
    Board &b = board();
    b.blockTransferRelease(kDevice, kGroup);
    if (b.portAssignment(kDevice, kGroup, 0, 0, 0) != 0)
        return failWith(kUnconfigureGroup);
    return VX_OK;
}
