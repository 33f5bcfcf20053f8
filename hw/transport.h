// The handshake transport to the card: the REQ2 waits, the busy pause, the wait for the
// previous transfer, sending a block on a strobe line, synchronising and the global reset.
#pragma once

#include <cstdint>

namespace vx::hw {

// Milliseconds the wait for the previous transfer pauses between queries without progress.
inline constexpr uint32_t kTransferPollMs = 10;

// Reads REQ2 until it shows `level`, at most VXHW_WAIT_READS times. Records nothing.
bool waitForReq2(int16_t level) noexcept;

// Busy-waits until the clock has moved on by at least `milliseconds`.
void pause(uint32_t milliseconds) noexcept;

// Waits until the block outputs started earlier have been transferred. On failure records
// error index 14 (the card did not begin to take the last block) or 5 (no progress).
bool waitForPreviousTransfer() noexcept;

// The handshake on `strobeLine` and the block outputs of `count` words from `words`, in
// chunks of at most the block limit, started back to back. Assumes the previous transfer has
// finished. On failure records its error index.
bool handshakeAndSend(int16_t strobeLine, const uint32_t *words, uint32_t count) noexcept;

// Waits for the previous transfer, releases it and waits for the card to be ready; performs
// the global reset when the card does not raise REQ2. VX_OK or VX_ERR_OUTPUT_CARD.
unsigned int synchronise() noexcept;

// Pulses both strobe lines; the board status of the last line change.
int globalReset() noexcept;

} // namespace vx::hw
