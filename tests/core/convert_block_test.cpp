// Block conversion through vxRenderBuffer: the chunks, records, flag changes and swaps of
// blocks larger than a scratch buffer, the words of every block format, and what the emulated
// device holds afterwards.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "convert_test_support.h"

namespace {

using convtest::CallbackLog;
using convtest::get;
using convtest::readPlane;
using convtest::recordList;
using convtest::Rgb;

using Records = std::vector<std::vector<int>>;

std::vector<int> swapOnWrite(int value) { return {VX_CMD_SET_SWAP_ON_WRITE, value, 0, 0, 0, 0, 0}; }
const std::vector<int> kSwap = {VX_CMD_SWAP, 0, 0, 0, 0, 0, 0};
const std::vector<int> kFullBlock = {VX_CMD_FULL_BLOCK, 0, 0, 0, 0, 0, 0};
std::vector<int> subBlock(int z0, int z1) { return {VX_CMD_SUB_BLOCK, 0, 0, z0, 1023, 747, z1}; }

// Grey voxel of a test block at (x, y, z) of the volume.
std::uint8_t greyAt(int x, int y, int z) { return std::uint8_t(x + 3 * y + 7 * z); }

struct ChunkRow {
    const char *name;
    int capacity;               // scratch buffer capacity asked for
    int mode, z, depth;         // render mode and the block's planes (whole rows and columns)
    int swapOnWriteBefore;
    Records records;            // what the conversion sends, in order
    int chunks;                 // hand-offs
    int rowsShown;              // rows of each plane the device stores (see below)
};

void PrintTo(const ChunkRow &row, std::ostream *os) { *os << row.name; }

class ChunkedBlocks : public convtest::Library, public testing::WithParamInterface<ChunkRow> {
  protected:
    int capacity() const override { return GetParam().capacity; }
};

// A whole-plane block of grey voxels goes through the scratch buffers in chunks of whole
// planes; the records steer the device, and in the end the block shows at once.
TEST_P(ChunkedBlocks, SendTheirChunksAndShowTheBlockAtOnce) {
    const ChunkRow &row = GetParam();
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY8), VX_OK);
    ASSERT_EQ(vxSetFlag(VX_FLAG_SWAP_ON_WRITE, row.swapOnWriteBefore), VX_OK);
    ASSERT_EQ(vxSetRenderMode(row.mode, 0, 0, row.z, VX_PLANE_WIDTH, VX_PLANE_HEIGHT, row.depth),
              VX_OK);
    std::vector<std::uint8_t> block(std::size_t(VX_PLANE_PIXELS) * row.depth);
    for (int z = 0; z < row.depth; ++z)
        for (int y = 0; y < VX_PLANE_HEIGHT; ++y)
            for (int x = 0; x < VX_PLANE_WIDTH; ++x)
                block[(std::size_t(z) * VX_PLANE_HEIGHT + y) * VX_PLANE_WIDTH + x] =
                    greyAt(x, y, row.z + z);
    vxSetCallBackFunction(CallbackLog::callback);
    CallbackLog::reset(0);
    convtest::records().clear();
    std::uint32_t *const work = lib().workBuffer;

    ASSERT_EQ(vxRenderBuffer(block.data(), nullptr), VX_OK);

    EXPECT_EQ(recordList(), row.records);
    EXPECT_EQ(CallbackLog::calls, 0) << "block conversions do not call the frame callback";
    EXPECT_EQ(get<int>(VX_FLAG_SWAP_ON_WRITE), row.swapOnWriteBefore);
    EXPECT_EQ(get<int>(VX_GET_RENDER_MODE), row.mode);
    EXPECT_EQ(lib().workBuffer == work, row.chunks % 2 == 0) << "one exchange per chunk";
    // The last chunk's words are the output buffer: grey of the block's last planes.
    const int lastPlanes = row.depth - (row.chunks - 1) * (lib().bufferPixels / VX_PLANE_PIXELS);
    const std::size_t lastStart = std::size_t(row.depth - lastPlanes) * VX_PLANE_PIXELS;
    const std::uint8_t g = block[lastStart] & 0xF8;
    EXPECT_EQ(lib().outputBuffer[0], (std::uint32_t(g) << 24) | (g << 16) | (g << 8));

    // With swap-on-write on the block is in the front store, otherwise still in the back.
    const int store = row.swapOnWriteBefore ? 0 : 1;
    for (int plane = 0; plane < VX_NUM_PLANES; ++plane) {
        SCOPED_TRACE("plane " + std::to_string(plane));
        const auto p = readPlane(store, plane);
        const bool inBlock = plane >= row.z && plane < row.z + row.depth;
        int wrong = 0;
        for (int y = 0; y < (inBlock ? row.rowsShown : VX_PLANE_HEIGHT); ++y)
            for (int x = 0; x < VX_PLANE_WIDTH; ++x) {
                const int v = inBlock ? (greyAt(x, y, plane) & 0xF8) : 0;
                if (convtest::pixelOf(p, x, y) != Rgb{v, v, v}) ++wrong;
            }
        EXPECT_EQ(wrong, 0);
    }
}

Records chunkRecords(int first, int last, int planesPerChunk) {
    Records r;
    for (int z = first; z <= last; z += planesPerChunk)
        r.push_back(subBlock(z, std::min(z + planesPerChunk - 1, last)));
    return r;
}

Records concat(std::initializer_list<Records> parts) {
    Records all;
    for (const Records &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Through the device's image offset, a sub-block region stores rows 0 to 728 only; a full-block
// region stores all 748.
INSTANTIATE_TEST_SUITE_P(
    Capacities, ChunkedBlocks,
    testing::Values(
        ChunkRow{"OnePlaneFullBlock", 0, VX_RENDER_FULL_BLOCK, 0, 20, 1,
                 concat({{swapOnWrite(0)}, chunkRecords(0, 19, 1),
                         {swapOnWrite(1), kSwap, kFullBlock}}),
                 20, 729},
        ChunkRow{"TwoAndAHalfPlanesSubBlock", VX_PLANE_PIXELS * 5 / 2, VX_RENDER_SUB_BLOCK, 10, 5,
                 1,
                 {swapOnWrite(0), subBlock(10, 11), subBlock(12, 13), subBlock(14, 14),
                  swapOnWrite(1), kSwap, subBlock(10, 14)},
                 3, 729},
        ChunkRow{"WholeVolumeFullBlock", VX_VOLUME_PIXELS, VX_RENDER_FULL_BLOCK, 0, 20, 1, {}, 1,
                 748},
        ChunkRow{"SwapOnWriteOffStaysOff", 0, VX_RENDER_FULL_BLOCK, 0, 20, 0,
                 concat({{swapOnWrite(0)}, chunkRecords(0, 19, 1), {swapOnWrite(0), kFullBlock}}),
                 20, 729},
        ChunkRow{"TwoPlanesInOneChunk", VX_PLANE_PIXELS * 2, VX_RENDER_SUB_BLOCK, 3, 2, 1, {}, 1,
                 729}),
    [](const testing::TestParamInfo<ChunkRow> &info) { return std::string(info.param.name); });

class BlockConversion : public convtest::Library {};

// A small sub block fits one chunk: no records of its own, one hand-off.
TEST_F(BlockConversion, SmallSubBlockIsOneChunkWithoutRecords) {
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_BLOCK, 200, 300, 4, 100, 100, 3), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY8), VX_OK);
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    std::vector<std::uint8_t> block(100 * 100 * 3);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = std::uint8_t(i * 7);
    convtest::records().clear();
    ASSERT_EQ(vxRenderBuffer(block.data(), nullptr), VX_OK);
    EXPECT_TRUE(recordList().empty());
    for (int z = 0; z < 3; ++z) {
        const auto p = readPlane(0, 4 + z);
        for (int y : {0, 57, 99})
            for (int x : {0, 31, 99}) {
                const int v = block[(std::size_t(z) * 100 + y) * 100 + x] & 0xF8;
                EXPECT_EQ(convtest::pixelOf(p, 200 + x, 300 + y), (Rgb{v, v, v}));
            }
        EXPECT_EQ(convtest::pixelOf(p, 199, 300), (Rgb{0, 0, 0}));
        EXPECT_EQ(convtest::pixelOf(p, 300, 300), (Rgb{0, 0, 0}));
    }
}

// One voxel of every block format, gamma 1, into plane 7 at (5, 6).
TEST_F(BlockConversion, EveryFormatPlacesItsBytes) {
    struct Row {
        unsigned format;
        std::vector<std::uint8_t> voxel;
        std::uint32_t word;
        Rgb shown;
    };
    const Row rows[] = {
        {75, {0x8A, 0x51, 0x9F, 0xE5}, 0xE59F518A, {0xE5, 0x9F, 0x51}}, // blue unmasked
        {76, {0x11, 0x53, 0x9F}, 0x10509800, {0x10, 0x50, 0x98}},
        {77, {0x11, 0x53, 0x9F}, 0x98501000, {0x98, 0x50, 0x10}},
        {78, {0x11, 0x53, 0x9F, 0xE5}, 0x10509800, {0x10, 0x50, 0x98}},
        {79, {0x11, 0x53, 0x9F, 0xE5}, 0xE0985000, {0xE0, 0x98, 0x50}},
        {80, {0x34, 0x12}, 0x10101000, {0x10, 0x10, 0x10}}, // the high byte is the grey
        {81, {200}, 0xC8C8C800, {0xC8, 0xC8, 0xC8}},
    };
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_BLOCK, 5, 6, 7, 1, 1, 1), VX_OK);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.format);
        ASSERT_EQ(vxSetDataFormat(row.format), VX_OK);
        std::vector<std::uint8_t> voxel = row.voxel;
        ASSERT_EQ(vxRenderBuffer(voxel.data(), nullptr), VX_OK);
        EXPECT_EQ(lib().outputBuffer[0], row.word);
        EXPECT_EQ(voxel, row.voxel);
        EXPECT_EQ(convtest::pixelOf(readPlane(0, 7), 5, 6), row.shown);
        EXPECT_EQ(convtest::pixelOf(readPlane(0, 8), 5, 6), (Rgb{0, 0, 0}));
    }
}

// Grey 16-bit voxels take their high byte through the intensity table (default gamma here).
TEST_F(BlockConversion, Gray16UsesTheHighByte) {
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_BLOCK, 0, 0, 0, 4, 1, 1), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY16), VX_OK);
    const std::uint8_t voxels[] = {0x34, 0x12, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0xC0};
    ASSERT_EQ(vxRenderBuffer(voxels, nullptr), VX_OK);
    const std::uint8_t *I = lib().intensity;
    const unsigned greys[] = {I[0x12], I[0x00], I[0xFF], I[0xC0]};
    for (int i = 0; i < 4; ++i) {
        const unsigned g = greys[i];
        EXPECT_EQ(lib().outputBuffer[i], (g << 24) | (g << 16) | (g << 8)) << i;
    }
    EXPECT_EQ(greys[2], 248u);
    EXPECT_EQ(greys[1], 0u);
}

// Format 75 voxels reach the display bit for bit, whatever the colour settings.
TEST_F(BlockConversion, Mvd32VoxelsPassUntouched) {
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_BLOCK, 0, 0, 2, 1024, 748, 1), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    std::mt19937 rng(8);
    std::vector<std::uint32_t> words(VX_PLANE_PIXELS);
    for (auto &w : words) w = rng();
    const auto original = words;
    ASSERT_EQ(vxSetGammaFactor(0.3f), VX_OK);
    ASSERT_EQ(vxSetContrast(-1.0f), VX_OK);
    ASSERT_EQ(vxSetBrightnessOffset(0.7f), VX_OK);
    ASSERT_EQ(vxRenderBuffer(words.data(), nullptr), VX_OK);
    EXPECT_EQ(words, original);
    EXPECT_EQ(outputWords(words.size()), original);
    const auto p = readPlane(0, 2);
    int wrong = 0;
    for (int y = 0; y <= 728; ++y)
        for (int x = 0; x < VX_PLANE_WIDTH; ++x) {
            const std::uint32_t w = original[std::size_t(y) * VX_PLANE_WIDTH + x];
            const Rgb want{int(w >> 24), int((w >> 16) & 0xFF), int((w >> 8) & 0xFF)};
            if (convtest::pixelOf(p, x, y) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

// Regions that vxSetRenderMode never stores: an empty block sends nothing, and a plane larger
// than a scratch buffer is refused instead of looping or writing past the buffer.
TEST_F(BlockConversion, EmptyAndOversizedRegions) {
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_BLOCK, 0, 0, 0, 10, 10, 1), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_GRAY8), VX_OK);
    std::vector<std::uint8_t> block(100, 9);
    std::uint32_t *const work = lib().workBuffer;
    convtest::records().clear();
    lib().region.depth = 0;
    EXPECT_EQ(vxRenderBuffer(block.data(), nullptr), VX_OK);
    EXPECT_TRUE(recordList().empty());
    EXPECT_EQ(lib().workBuffer, work);
    lib().region = {0, 0, 0, 2048, 748, 1, 2048 * 748};
    EXPECT_EQ(vxRenderBuffer(block.data(), nullptr), VX_ERR_OUT_OF_RANGE);
    lib().region = {0, 0, 0, 0, 748, 3, 0};
    EXPECT_EQ(vxRenderBuffer(block.data(), nullptr), VX_ERR_OUT_OF_RANGE);
    EXPECT_TRUE(recordList().empty());
    EXPECT_EQ(lib().workBuffer, work);
}

} // namespace
