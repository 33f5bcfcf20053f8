// From a frame or a block of voxels to plane words: picks the depth pass, the layout and the
// source of the packed Z of each data format, and the kernel level.
#include <cstring>

#include "convert/depth_pass.h"
#include "convert/plane_kernels.h"
#include "convert/word_kernels.h"
#include "vx.h"

namespace vx::core {

namespace {

const KernelTable &kernelsFor(KernelLevel level) {
    return level == KernelLevel::Wide && detectedKernelLevel() == KernelLevel::Wide
               ? wideKernels()
               : baselineKernels();
}

bool isIdentity(const std::uint8_t table[256]) {
    for (int v = 0; v < 256; ++v)
        if (table[v] != v) return false;
    return true;
}

} // namespace

unsigned buildPlaneWords(const PlaneJob &job) {
    const KernelTable &kernels = kernelsFor(job.level);
    const std::size_t n = job.pixels;
    WordParams params;
    params.intensity = job.intensity;

    switch (job.format) {
    case VX_FORMAT_RGB_Z16:
    case VX_FORMAT_BGR_Z16:
    case VX_FORMAT_RGBX_Z16:
    case VX_FORMAT_XBGR_Z16: {
        if (!isSupportedScanMethod(job.method)) return VX_ERR_DEPTH_SCAN_METHOD;
        if (n == 0) return VX_OK;
        static constexpr Layout kLayouts[] = {Layout::RGB3, Layout::BGR3, Layout::RGBX4,
                                              Layout::XBGR4};
        const Layout layout = kLayouts[job.format - VX_FORMAT_RGB_Z16];
        const bool mapInWords = depthPass16(job, job.format <= VX_FORMAT_BGR_Z16 ? 3 : 4, kernels);
        const DepthBounds &b = *job.boundsInEffect;
        params.lo = b.lo16;
        params.k = planeScale(b.lo16, b.hi16);
        params.depth = job.depth;
        if (mapInWords) {
            params.depthTable = job.depthTable16;
            params.depthOut = job.depth;
        }
        kernels.buildWords(layout, ZSource::Depth16, job.frame, n, job.words, params);
        return VX_OK;
    }
    case VX_FORMAT_RGBZ:
    case VX_FORMAT_BGRZ: {
        if (!isSupportedScanMethod(job.method)) return VX_ERR_DEPTH_SCAN_METHOD;
        if (n == 0) return VX_OK;
        std::uint8_t prepared[256];
        int cutDepth = -1;
        depthPass8(job, prepared, &cutDepth, kernels);
        const DepthBounds &b = *job.boundsInEffect;
        params.lo = b.lo8;
        params.k = planeScale(b.lo8, b.hi8);
        params.prepared = prepared;
        params.preparedIsIdentity = isIdentity(prepared);
        params.cutDepth = cutDepth;
        kernels.buildWords(job.format == VX_FORMAT_RGBZ ? Layout::RGBX4 : Layout::BGRZ4,
                           ZSource::Byte3Depth, job.frame, n, job.words, params);
        return VX_OK;
    }
    case VX_FORMAT_RGBP:
        kernels.buildWords(Layout::RGBX4, ZSource::PlaneIndex, job.frame, n, job.words, params);
        return VX_OK;
    case VX_FORMAT_MVD32:
        if (n) std::memcpy(job.words, job.frame, n * 4);
        return VX_OK;
    default: return VX_ERR_INVALID_FORMAT;
    }
}

void buildBlockWords(unsigned format, const std::uint8_t *voxels, std::size_t count,
                     std::uint32_t *words, const std::uint8_t *intensity, KernelLevel level) {
    if (count == 0) return;
    if (format == VX_FORMAT_MVD32) {
        std::memcpy(words, voxels, count * 4);
        return;
    }
    Layout layout;
    switch (format) {
    case VX_FORMAT_RGB: layout = Layout::RGB3; break;
    case VX_FORMAT_BGR: layout = Layout::BGR3; break;
    case VX_FORMAT_RGBX: layout = Layout::RGBX4; break;
    case VX_FORMAT_XBGR: layout = Layout::XBGR4; break;
    case VX_FORMAT_GRAY16: layout = Layout::GRAY16; break;
    case VX_FORMAT_GRAY8: layout = Layout::GRAY8; break;
    default: return;
    }
    WordParams params;
    params.intensity = intensity;
    kernelsFor(level).buildWords(layout, ZSource::None, voxels, count, words, params);
}

} // namespace vx::core
