// Frame conversion entry points that vxRenderBuffer dispatches to: plane conversion of the
// formats 68 to 75 (plane render modes) and block conversion of 75 to 81 (block render modes).
#pragma once

namespace vx::core {

// Converts one frame of `format` (68 to 75) for the current plane render region and hands it
// to the display. Returns the conversion's status.
unsigned convertPlaneFrame(unsigned format, const void *data, unsigned short *depthBuffer);

// Converts one block of `format` (75 to 81) for the current block render region and hands it
// to the display, in chunks when it is larger than a scratch buffer.
unsigned convertBlockFrame(unsigned format, const void *data);

} // namespace vx::core
