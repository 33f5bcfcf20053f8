#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <numeric>
#include <vector>

#include "vxUtil.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes counting(std::size_t n) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), std::uint8_t{0});
    return b;
}

// The rows of an image in reverse order, built independently of the library.
Bytes flipped(const Bytes &image, std::size_t rowBytes) {
    Bytes out;
    for (std::size_t r = image.size() / rowBytes; r-- > 0;)
        out.insert(out.end(), image.begin() + r * rowBytes, image.begin() + (r + 1) * rowBytes);
    return out;
}

struct FlipCase {
    int format;
    int bytesPerPixel;
    int width;
    int height;
};

class InvertBufferY : public ::testing::TestWithParam<FlipCase> {};

TEST_P(InvertBufferY, ReversesTheRows) {
    const FlipCase c = GetParam();
    const std::size_t row = std::size_t(c.width) * c.bytesPerPixel;
    Bytes image = counting(row * c.height);
    const Bytes expected = flipped(image, row);
    ASSERT_EQ(vxUtilInvertBufferY(c.format, c.width, c.height, image.data()), VX_OK);
    EXPECT_EQ(image, expected);
}

// Heights 1 to 4 (odd heights keep the middle row); rows far wider than 4096 bytes.
INSTANTIATE_TEST_SUITE_P(Table, InvertBufferY,
                         ::testing::Values(FlipCase{VX_FORMAT_MVD32, 4, 5, 1},
                                           FlipCase{VX_FORMAT_MVD32, 4, 5, 2},
                                           FlipCase{VX_FORMAT_RGB_Z16, 3, 7, 3},
                                           FlipCase{VX_FORMAT_GRAY16, 2, 3, 4},
                                           FlipCase{VX_FORMAT_GRAY8, 1, 1, 5},
                                           FlipCase{VX_FORMAT_RGBX, 4, 1024, 748},
                                           FlipCase{VX_FORMAT_MVD32, 4, 5000, 3},
                                           FlipCase{VX_FORMAT_RGB, 3, 20001, 2}));

TEST(InvertBufferYErrors, LeaveTheBufferUnchanged) {
    const Bytes original = counting(64);
    struct Bad {
        int format, width, height;
        unsigned status;
    };
    for (Bad b : {Bad{75, 0, 4, VX_ERR_OUT_OF_RANGE}, Bad{75, 4, 0, VX_ERR_OUT_OF_RANGE},
                  Bad{75, -1, 4, VX_ERR_OUT_OF_RANGE}, Bad{75, 4, -3, VX_ERR_OUT_OF_RANGE},
                  Bad{67, 4, 4, VX_ERR_INVALID_ARGUMENT},
                  Bad{102, 4, 4, VX_ERR_INVALID_ARGUMENT}}) {
        Bytes image = original;
        EXPECT_EQ(vxUtilInvertBufferY(b.format, b.width, b.height, image.data()), b.status)
            << b.format << " " << b.width << "x" << b.height;
        EXPECT_EQ(image, original);
    }
    EXPECT_EQ(vxUtilInvertBufferY(75, 4, 4, nullptr), VX_ERR_INVALID_ARGUMENT);
}

// A source of 4 x 3 x 2 pixels whose pixel (x, y, z) holds the bytes x, y, z, 0xAB.
class CopySubBuffer : public ::testing::Test {
  protected:
    static constexpr int W = 4, H = 3, D = 2;
    CopySubBuffer() : source(W * H * D * 4) {
        for (int z = 0; z < D; ++z)
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    std::uint8_t *p = &source[((z * H + y) * W + x) * 4];
                    p[0] = std::uint8_t(x), p[1] = std::uint8_t(y), p[2] = std::uint8_t(z);
                    p[3] = 0xAB;
                }
    }
    Bytes box(int x, int y, int z, int w, int h, int d) const {
        Bytes out;
        for (int k = z; k < z + d; ++k)
            for (int j = y; j < y + h; ++j)
                for (int i = x; i < x + w; ++i)
                    out.insert(out.end(), &source[((k * H + j) * W + i) * 4],
                               &source[((k * H + j) * W + i) * 4] + 4);
        return out;
    }
    Bytes source;
};

TEST_F(CopySubBuffer, CopiesTheBoxPacked) {
    struct Box {
        int x, y, z, w, h, d;
    };
    for (Box b : {Box{2, 0, 0, 2, 1, 1}, Box{0, 0, 0, W, H, D}, Box{1, 1, 1, 3, 2, 1},
                  Box{3, 2, 1, 1, 1, 1}, Box{0, 1, 0, 2, 2, 2}}) {
        Bytes out(std::size_t(b.w) * b.h * b.d * 4 + 4, 0xEE);
        ASSERT_EQ(vxUtilCopySubBuffer(VX_FORMAT_MVD32, W, H, D, source.data(), b.x, b.y, b.z, b.w,
                                      b.h, b.d, out.data()),
                  VX_OK);
        Bytes expected = box(b.x, b.y, b.z, b.w, b.h, b.d);
        expected.insert(expected.end(), 4, 0xEE); // nothing past the box
        EXPECT_EQ(out, expected) << b.x << "," << b.y << "," << b.z;
    }
}

TEST_F(CopySubBuffer, ColumnsTwoAndThreeOfAFourPixelRow) {
    Bytes out(2 * 4);
    ASSERT_EQ(vxUtilCopySubBuffer(VX_FORMAT_MVD32, W, H, D, source.data(), 2, 0, 0, 2, 1, 1,
                                  out.data()),
              VX_OK);
    EXPECT_EQ(out, (Bytes{2, 0, 0, 0xAB, 3, 0, 0, 0xAB}));
}

TEST_F(CopySubBuffer, UsesTheFormatsPixelSize) {
    // The same bytes seen as 16 x 3 x 2 pixels of one byte (format 81).
    Bytes out(3);
    ASSERT_EQ(vxUtilCopySubBuffer(VX_FORMAT_GRAY8, W * 4, H, D, source.data(), 5, 2, 1, 3, 1, 1,
                                  out.data()),
              VX_OK);
    const std::size_t at = (1 * H + 2) * W * 4 + 5;
    EXPECT_EQ(out, Bytes(source.begin() + at, source.begin() + at + 3));
}

TEST_F(CopySubBuffer, RefusesBoxesOutsideTheSourceAndCopiesNothing) {
    struct Bad {
        int format, x, y, z, w, h, d;
        unsigned status;
    };
    const unsigned INV = VX_ERR_INVALID_ARGUMENT;
    for (Bad b : {Bad{75, 3, 0, 0, 2, 1, 1, INV},  // one pixel wider than the source
                  Bad{75, 0, 2, 0, 1, 2, 1, INV}, Bad{75, 0, 0, 1, 1, 1, 2, INV},
                  Bad{75, -1, 0, 0, 1, 1, 1, INV}, Bad{75, 0, -1, 0, 1, 1, 1, INV},
                  Bad{75, 0, 0, -1, 1, 1, 1, INV}, Bad{75, 0, 0, 0, 0, 1, 1, INV},
                  Bad{75, 0, 0, 0, 1, 0, 1, INV}, Bad{75, 0, 0, 0, 1, 1, 0, INV},
                  Bad{75, INT_MAX, 0, 0, 1, 1, 1, INV}, Bad{75, 1, 0, 0, INT_MAX, 1, 1, INV},
                  Bad{66, 0, 0, 0, 1, 1, 1, INV}}) {
        Bytes out(8, 0xEE);
        EXPECT_EQ(vxUtilCopySubBuffer(b.format, W, H, D, source.data(), b.x, b.y, b.z, b.w, b.h,
                                      b.d, out.data()),
                  b.status)
            << b.x << "," << b.y << "," << b.z << " " << b.w << "x" << b.h << "x" << b.d;
        EXPECT_EQ(out, Bytes(8, 0xEE));
    }
    Bytes out(4);
    EXPECT_EQ(vxUtilCopySubBuffer(75, W, H, D, nullptr, 0, 0, 0, 1, 1, 1, out.data()), INV);
    EXPECT_EQ(vxUtilCopySubBuffer(75, W, H, D, source.data(), 0, 0, 0, 1, 1, 1, nullptr), INV);
}

TEST_F(CopySubBuffer, BoxReachingTheSourceEdgeIsAccepted) {
    Bytes out(4);
    EXPECT_EQ(vxUtilCopySubBuffer(75, W, H, D, source.data(), 3, 2, 1, 1, 1, 1, out.data()), VX_OK);
    EXPECT_EQ(out, (Bytes{3, 2, 1, 0xAB}));
}

} // namespace
