// The depth pass of the plane formats 68 to 73: depths through the depth table, the depth
// scan method's range and its rewrites, and the computed depth bounds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/plane_kernels.h"
#include "convert/word_kernels.h"

namespace vx::core {

bool isSupportedScanMethod(int method);

// Formats 68 to 71: prepares job.depth in place (and, under method 203, zeroes the cut pixels
// of job.frame, `pixelBytes` bytes each). The method must be supported. Returns true when the
// depths still have to be mapped through the depth table, which the word builder then does
// on its way (method 201 with a table that never falls: the range is found from the raw
// depths).
bool depthPass16(const PlaneJob &job, std::size_t pixelBytes, const KernelTable &kernels);

// Formats 72 and 73: scans byte 3 of the 4-byte pixels of job.frame and fills the prepared
// depth of every byte value (prepared[256]); the caller's frame is left alone, since the words
// are built from it and the prepared depths directly. Sets *cutDepth to the depth of cut
// pixels under method 203 and to -1 otherwise. The method must be supported.
void depthPass8(const PlaneJob &job, std::uint8_t prepared[256], int *cutDepth,
                const KernelTable &kernels);

} // namespace vx::core
