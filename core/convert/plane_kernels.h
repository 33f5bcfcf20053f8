// Frame conversion proper, without the library state: the depth pass and the word builders
// that turn a frame or a block of voxels into plane words. Each runs either the plain kernels
// that every x86-64 processor runs or the wide ones (AVX-512 byte permutes) that are picked at
// run time where the processor has them; both give the same words bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "api/library_state.h"

namespace vx::core {

enum class KernelLevel {
    Baseline, // scalar code and SSE2
    Wide,     // AVX-512 F, BW and VBMI
};

// The widest level this processor runs.
KernelLevel detectedKernelLevel();
// The level a conversion uses: the detected one unless a test or benchmark chose another
// (a request for Wide on a processor without it stays Baseline).
KernelLevel activeKernelLevel();
void chooseKernelLevel(KernelLevel level);

// Everything one plane conversion reads and writes.
struct PlaneJob {
    unsigned format = 0;  // 68 to 75
    int method = 0;       // depth scan method in force, 200 to 204
    std::size_t pixels = 0;
    // The caller's frame: under method 203 the cut pixels of formats 68 to 71 are zeroed here.
    std::uint8_t *frame = nullptr;
    // The caller's depth buffer (formats 68 to 71): rewritten with the prepared depths.
    std::uint16_t *depth = nullptr;
    std::uint32_t *words = nullptr; // receives `pixels` plane words
    const std::uint16_t *depthTable16 = nullptr;
    const std::uint8_t *depthTable8 = nullptr;
    const std::uint8_t *intensity = nullptr;
    const DepthBounds *userBounds = nullptr;
    DepthBounds *computedBounds = nullptr;
    // The record the packed Z reads after the depth pass (the user bounds under method 200,
    // the computed ones otherwise).
    const DepthBounds *boundsInEffect = nullptr;
    KernelLevel level = KernelLevel::Baseline;
};

// Runs the depth pass (formats 68 to 73) and writes the frame's plane words. Returns VX_OK, or
// VX_ERR_DEPTH_SCAN_METHOD for formats 68 to 73 under a method other than 200 to 203, with
// nothing written anywhere.
unsigned buildPlaneWords(const PlaneJob &job);

// Writes the words of `count` voxels of block format `format` (75 to 81). Byte 0 of a block
// word is 0 except for format 75, whose words pass unchanged.
void buildBlockWords(unsigned format, const std::uint8_t *voxels, std::size_t count,
                     std::uint32_t *words, const std::uint8_t *intensity, KernelLevel level);

} // namespace vx::core
