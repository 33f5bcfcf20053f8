// The board operations the card driver uses, behind one interface: the transport and the
// initialisation call nothing else. Implementations: the simulated board (simulated_board.h),
// the default where the board's own driver library is not available.
#pragma once

#include <cstdint>

namespace vx::hw {

// Addressing used by the driver. Everything goes to device 1; the 32-bit words travel on port
// group 1; the control lines are on port 4.
inline constexpr int16_t kDevice = 1;
inline constexpr int16_t kGroup = 1;
inline constexpr int16_t kControlPort = 4;
inline constexpr int16_t kCommandStrobeLine = 1; // raised before a command block
inline constexpr int16_t kDataStrobeLine = 3;    // raised before a data block
inline constexpr int16_t kReq2Line = 3;          // reading port 4 line 3 gives REQ2

// Values of the configuration operations.
inline constexpr int16_t kBoardTypePciDio32Hs = 211;
inline constexpr uint32_t kInfoSerialNumber = 15280;
inline constexpr uint32_t kInfoBaseAddress = 12100;
inline constexpr uint32_t kParamClockLine = 13120;     // the PCLK line's polarity
inline constexpr uint32_t kParamClockReversed = 27010; // PCLK reversed

// Status of a board operation: 0 is success, anything else a failure.
using BoardStatus = int16_t;

// One board, as the driver library of the board presents it. The comment of each operation
// names its import ordinal in that library. No operation throws.
class Board {
public:
    virtual ~Board() = default;

    // --- Transfers -------------------------------------------------------------------------
    // (48) Words of the block outputs of `group` not yet transferred; 0 when the group is idle.
    virtual BoardStatus blockTransferStatus(int16_t device, int16_t group,
                                            uint32_t *remaining) noexcept = 0;
    // (49) Ends the finished block output of `group`.
    virtual BoardStatus blockTransferRelease(int16_t device, int16_t group) noexcept = 0;
    // (46) Starts a block output of `count` words from `words` and returns; the board reads
    // the words while it transfers them.
    virtual BoardStatus blockOutput(int16_t device, int16_t group, const uint32_t *words,
                                    uint32_t count) noexcept = 0;
    // (38) Sets one line of `port` to `state` (0 or 1).
    virtual BoardStatus lineOutput(int16_t device, int16_t port, int16_t line,
                                   int16_t state) noexcept = 0;
    // (36) Reads one line of `port` into `state` (0 or 1).
    virtual BoardStatus lineInput(int16_t device, int16_t port, int16_t line,
                                  int16_t *state) noexcept = 0;

    // --- Configuration ---------------------------------------------------------------------
    // (8) Version number of the board's driver library.
    virtual BoardStatus driverVersion(uint32_t *version) noexcept = 0;
    // (2) Type code of the board of `device`.
    virtual BoardStatus boardType(int16_t device, int16_t *code) noexcept = 0;
    // (203) One item of device information (kInfoSerialNumber, kInfoBaseAddress).
    virtual BoardStatus deviceInformation(int16_t device, uint32_t id,
                                          uint32_t *value) noexcept = 0;
    // (40) Assigns ports to `group`: (4, 0, 1) gives it the ports that carry the 32-bit
    // words, (0, 0, 0) dissolves it.
    virtual BoardStatus portAssignment(int16_t device, int16_t group, int16_t groupSize,
                                       int16_t port, int16_t direction) noexcept = 0;
    // (44) Sets the handshake mode of `group`.
    virtual BoardStatus portGrouping(int16_t device, int16_t group, int16_t mode,
                                     int16_t a, int16_t b, int16_t c, int16_t d) noexcept = 0;
    // (202) Writes one device parameter.
    virtual BoardStatus deviceParameterWrite(int16_t device, uint32_t parameter,
                                             uint32_t value) noexcept = 0;
};

// The board the driver uses when none has been installed: the simulated board on every
// platform this build supports.
Board &defaultBoard() noexcept;

} // namespace vx::hw
