// Operations on frames in memory: the vertical flip of a two-dimensional image and the copy
// of a box out of a larger buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "file_io.h"
#include "vxUtil.h"

extern "C" {

VXUTIL_API unsigned int vxUtilInvertBufferY(int format, int width, int height, void *data) {
    if (data == nullptr) return VX_ERR_INVALID_ARGUMENT;
    if (width <= 0 || height <= 0) return VX_ERR_OUT_OF_RANGE;
    int bytesPerPixel = 0;
    if (unsigned status = vxGetDataFormatSize(format, &bytesPerPixel); status != VX_OK)
        return status;
    auto total = vx::util::checkedProduct(static_cast<std::uint64_t>(width),
                                          static_cast<std::uint64_t>(height),
                                          static_cast<std::uint64_t>(bytesPerPixel));
    if (!total) return VX_ERR_OUT_OF_RANGE;

    // Rows are exchanged byte range against byte range, so rows of any length need no scratch
    // storage.
    const std::size_t row =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
    auto *bytes = static_cast<unsigned char *>(data);
    std::size_t top = 0;
    std::size_t bottom = static_cast<std::size_t>(height - 1) * row;
    while (top < bottom) {
        std::swap_ranges(bytes + top, bytes + top + row, bytes + bottom);
        top += row;
        bottom -= row;
    }
    return VX_OK;
}

VXUTIL_API unsigned int vxUtilCopySubBuffer(int format, int sourceWidth, int sourceHeight,
                                            int sourceDepth, const void *source, int x, int y,
                                            int z, int width, int height, int depth,
                                            void *destination) {
    if (source == nullptr || destination == nullptr) return VX_ERR_INVALID_ARGUMENT;
    if (width < 1 || height < 1 || depth < 1 || x < 0 || y < 0 || z < 0)
        return VX_ERR_INVALID_ARGUMENT;
    // 64-bit sums: x + width must not wrap around for offsets near INT_MAX.
    if (std::int64_t{x} + width > sourceWidth || std::int64_t{y} + height > sourceHeight ||
        std::int64_t{z} + depth > sourceDepth)
        return VX_ERR_INVALID_ARGUMENT;
    int bytesPerPixel = 0;
    if (unsigned status = vxGetDataFormatSize(format, &bytesPerPixel); status != VX_OK)
        return status;

    const std::size_t pixel = static_cast<std::size_t>(bytesPerPixel);
    const std::size_t sourceRow = static_cast<std::size_t>(sourceWidth) * pixel;
    const std::size_t sourcePlane = sourceRow * static_cast<std::size_t>(sourceHeight);
    const std::size_t copied = static_cast<std::size_t>(width) * pixel;
    const auto *from = static_cast<const unsigned char *>(source);
    auto *to = static_cast<unsigned char *>(destination);
    for (int k = z; k < z + depth; ++k) {
        for (int j = y; j < y + height; ++j) {
            std::memcpy(to,
                        from + static_cast<std::size_t>(k) * sourcePlane +
                            static_cast<std::size_t>(j) * sourceRow +
                            static_cast<std::size_t>(x) * pixel,
                        copied);
            to += copied;
        }
    }
    return VX_OK;
}

} // extern "C"
