// The bytes per pixel of every data format id (68 to 101), shared by vxGetDataFormatSize and
// the conversions.
#pragma once

namespace vx::core {

// Bytes of one pixel of `format`; 0 for ids without a size (82 to 99 and outside 68 to 101).
int formatBytes(int format);

} // namespace vx::core
