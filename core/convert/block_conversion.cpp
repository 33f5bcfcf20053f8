// Block conversion (render modes 403 and 404, formats 75 to 81): voxels to words through the
// scratch buffers, in chunks of whole planes when the block is larger than one buffer. For a
// chunked block the conversion steers the display itself: swap-on-write off, one region record
// per chunk, then swap-on-write back, one swap and the render region restored.
#include <algorithm>
#include <utility>

#include "api/command_path.h"
#include "api/library_state.h"
#include "convert/conversion.h"
#include "convert/conversion_guard.h"
#include "convert/data_formats.h"
#include "convert/plane_kernels.h"
#include "emulator/emulator.h"
#include "vx.h"

namespace vx::core {

unsigned convertBlockFrame(unsigned format, const void *data) {
    LibraryState &s = state();
    ConversionGuard guard;
    if (!guard.entered()) return VX_ERR_UNKNOWN;
    if (!s.workBuffer || !s.outputBuffer) return VX_ERR_UNKNOWN;
    const RenderRegion r = s.region;
    const int d = r.depth;
    if (d <= 0) return VX_OK; // an empty block sends nothing
    const long long area = static_cast<long long>(r.width) * r.height;
    // A plane of the block that does not fit a scratch buffer could never be sent.
    if (area <= 0 || area > s.bufferPixels) return VX_ERR_OUT_OF_RANGE;
    const int planesPerChunk = static_cast<int>(s.bufferPixels / area);
    const bool chunked = planesPerChunk < d;

    // The region of a chunk: the block's columns and rows, the chunk's planes.
    CommandRecord region{VX_CMD_SUB_BLOCK,
                         {r.x, r.y, r.z, r.x + r.width - 1, r.y + r.height - 1, r.z + d - 1}};
    int savedSwapOnWrite = 0, savedMode = 0;
    if (chunked) {
        vxGet(VX_FLAG_SWAP_ON_WRITE, &savedSwapOnWrite);
        vxGet(VX_GET_RENDER_MODE, &savedMode);
        // The chunks must not become visible one by one.
        vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0);
    }

    const std::size_t voxelBytes = std::size_t(formatBytes(int(format)));
    const auto *src = static_cast<const std::uint8_t *>(data);
    for (int remaining = d; remaining > 0;) {
        const int planes = std::min(planesPerChunk, remaining);
        if (chunked) {
            region.args[2] = r.z + (d - remaining);
            region.args[5] = r.z + (d - remaining) + planes - 1;
            sendCommand(region);
        }
        const std::size_t count = std::size_t(planes) * std::size_t(area);
        buildBlockWords(format, src, count, s.workBuffer, s.intensity, activeKernelLevel());
        src += count * voxelBytes;
        std::swap(s.workBuffer, s.outputBuffer);
        vxEmuPresentFrame(s.outputBuffer);
        remaining -= planes;
    }

    if (chunked) {
        vxSetFlag(VX_FLAG_SWAP_ON_WRITE, savedSwapOnWrite);
        if (savedSwapOnWrite) vxSwapBuffers(); // the whole block appears at once
        if (savedMode == VX_RENDER_FULL_BLOCK) {
            sendCommand({VX_CMD_FULL_BLOCK, {0, 0, 0, 0, 0, 0}});
        } else {
            region.args[2] = r.z;
            region.args[5] = r.z + d - 1;
            sendCommand(region);
        }
    }
    return VX_OK;
}

} // namespace vx::core
