// The driver's error indices and their texts, which vxHwGetLastErrorString reports.
#pragma once

#include <cstdint>

namespace vx::hw {

enum ErrorIndex : uint32_t {
    kNoError = 0,
    kGeneralError = 1,
    kReq2HighAtStart = 2,
    kReq2LowAtEnd = 3,
    kReq2HighAtEnd = 4,
    kPreviousTransfer = 5,
    kCardNotFound = 6,
    kNoVersion = 7,
    kNoSerialNumber = 8,
    kNoBaseAddress = 9,
    kAssignPorts = 10,
    kGroupPorts = 11,
    kReversePclk = 12,
    kUnconfigureGroup = 13,
    kSwapTimeout = 14,
    kLineOut = 15,
    kBlockOut = 16,
    kErrorCount = 17,
};

// The text of an error index; "invlid error" for an index outside the table.
const char *errorText(uint32_t index) noexcept;

} // namespace vx::hw
