// The error text table (17 rows of 60 bytes) and vxHwGetLastErrorString.
#include "error_texts.h"

#include "driver.h"
#include "vxhw.h"

#include <algorithm>
#include <cstring>

namespace vx::hw {

namespace {

constexpr char kErrorTexts[kErrorCount][60] = {
    /*  0 */ "No error",
    /*  1 */ "General error",
    /*  2 */ "Timeout waiting for REQ2 to go high at start of handshake",
    /*  3 */ "Timeout waiting for REQ2 to go low at end of handshake",
    /*  4 */ "Timeout waiting for REQ2 to go high at end of handshake",
    /*  5 */ "Timeout waiting for previous transfer to finish",
    /*  6 */ "Cannot find the card",
    /*  7 */ "Cannot get version",
    /*  8 */ "Cannot get serial number",
    /*  9 */ "Cannot get base address",
    /* 10 */ "Cannot assign ports",
    /* 11 */ "Cannot group ports",
    /* 12 */ "Cannot reverse PCLK",
    /* 13 */ "Cannot unconfigure group",
    /* 14 */ "Timeout waiting for swap",
    /* 15 */ "Cannot perform line out",
    /* 16 */ "Cannot perform block out",
};

// The text for an index outside the table, spelt as applications have always received it.
constexpr char kInvalidIndexText[] = "invlid error";

} // namespace

const char *errorText(uint32_t index) noexcept
{
    return index < kErrorCount ? kErrorTexts[index] : kInvalidIndexText;
}

} // namespace vx::hw

using namespace vx::hw;

extern "C" unsigned int vxHwGetLastErrorString(int size, char *text)
{
    if (size <= 0 || !text)
        return VX_ERR_INVALID_ARGUMENT;
    DriverState &state = driverState();
    const char *message = errorText(state.lastErrorIndex);
    size_t length = std::min(std::strlen(message), size_t(size) - 1);
    std::memcpy(text, message, length);
    text[length] = '\0';
    state.lastErrorIndex = kNoError;
    return VX_OK;
}
