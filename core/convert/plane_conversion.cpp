// Plane conversion (render modes 401 and 402, formats 68 to 75): depth pass and words into the
// work buffer, the frame callback, the exchange of the scratch buffers and the hand-off of the
// output buffer to the display.
#include <utility>

#include "api/library_state.h"
#include "convert/conversion.h"
#include "convert/conversion_guard.h"
#include "convert/plane_kernels.h"
#include "emulator/emulator.h"
#include "vx.h"

namespace vx::core {

unsigned convertPlaneFrame(unsigned format, const void *data, unsigned short *depthBuffer) {
    LibraryState &s = state();
    // A callback that hands in a frame of its own would overwrite the frame it is looking at.
    ConversionGuard guard;
    if (!guard.entered()) return VX_ERR_UNKNOWN;
    if (!s.workBuffer || !s.outputBuffer) return VX_ERR_UNKNOWN;
    const int n = s.region.pixels;
    if (n < 1 || n > s.bufferPixels) return VX_ERR_OUT_OF_RANGE;

    PlaneJob job;
    job.format = format;
    job.method = s.depthScanMethod;
    job.pixels = std::size_t(n);
    // The frame is the caller's memory: under method 203 its cut pixels (formats 68 to 71)
    // come back zeroed, as vxRenderBuffer documents. Nothing else is written to it.
    job.frame = static_cast<std::uint8_t *>(const_cast<void *>(data));
    job.depth = depthBuffer;
    job.words = s.workBuffer;
    job.depthTable16 = s.depthTable16;
    job.depthTable8 = s.depthTable8;
    job.intensity = s.intensity;
    job.userBounds = &s.userBounds;
    job.computedBounds = &s.computedBounds;
    job.boundsInEffect = &boundsInEffect();
    job.level = activeKernelLevel();

    const unsigned status = buildPlaneWords(job);
    if (status != VX_OK) return status;

    (s.callback ? s.callback : noOpCallback)(s.workBuffer);
    // A callback that shut the library down took the buffers with it.
    if (!s.workBuffer || !s.outputBuffer) return VX_ERR_UNKNOWN;

    std::swap(s.workBuffer, s.outputBuffer);
    return static_cast<unsigned>(vxEmuPresentFrame(s.outputBuffer));
}

} // namespace vx::core
