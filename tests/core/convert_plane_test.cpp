// Plane conversion through vxRenderBuffer, up to what the emulated device holds: byte placement
// of every format, packed Z, the depth scan methods and their bounds, method 203's blanking,
// method 204's refusal, the frame callback, the exchange of the scratch buffers and format 75.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "convert_test_support.h"

namespace {

using convtest::CallbackLog;
using convtest::get;
using convtest::readPlane;
using convtest::Rgb;

// Puts the depth scan method `method` in force through the pair of depth functions.
void setMethod(int method) {
    struct Pair {
        unsigned near[3], far[3];
    };
    Pair p{};
    switch (method) {
    case 200: p = {{206, 208, 209}, {206, 208, 209}}; break;
    case 201: p = {{205, 209, 209}, {205, 209, 209}}; break;
    case 202: p = {{205, 209, 209}, {205, 207, 209}}; break;
    case 203: p = {{205, 209, 209}, {206, 208, 210}}; break;
    default: p = {{206, 208, 209}, {205, 209, 209}}; break; // 204
    }
    ASSERT_EQ(vxSetMinDepthFunc(p.near[0], p.near[1], p.near[2]), VX_OK);
    ASSERT_EQ(vxSetMaxDepthFunc(p.far[0], p.far[1], p.far[2]), VX_OK);
    ASSERT_EQ(get<int>(VX_GET_DEPTH_SCAN_METHOD), method);
}

void setUserBounds16(unsigned lo, unsigned hi) {
    vxSetMinDepths(std::uint16_t(lo));
    vxSetMaxDepths(std::uint16_t(hi));
}

void setUserBounds8(unsigned lo, unsigned hi) {
    vxSetMinDepthz(std::uint8_t(lo));
    vxSetMaxDepthz(std::uint8_t(hi));
}

int bytesOf(unsigned format) {
    int size = 0;
    vxGetDataFormatSize(int(format), &size);
    return size;
}

class PlaneConversion : public convtest::Library {};

// One pixel of each format, with gamma 1 (each entry of the intensity table is its index with
// the three low bits cleared) and fixed bounds 0 to 19, so that depth 13 is plane 13, fraction 0.
TEST_F(PlaneConversion, EveryFormatPlacesItsBytes) {
    struct Row {
        unsigned format;
        std::vector<std::uint8_t> pixel;
        std::uint32_t word;
        // What planes 12, 13 and 14 show at the pixel.
        Rgb plane12, plane13, plane14;
    };
    const Rgb black{0, 0, 0};
    const Row rows[] = {
        {68, {0x11, 0x53, 0x9F}, 0x105099A0, black, {0x10, 0x50, 0x98}, black},
        {69, {0x11, 0x53, 0x9F}, 0x985011A0, black, {0x98, 0x50, 0x10}, black},
        {70, {0x11, 0x53, 0x9F, 0xE5}, 0x105099A0, black, {0x10, 0x50, 0x98}, black},
        {71, {0x11, 0x53, 0x9F, 0xE5}, 0xE09851A0, black, {0xE0, 0x98, 0x50}, black},
        {72, {0x11, 0x53, 0x9F, 13}, 0x105099A0, black, {0x10, 0x50, 0x98}, black},
        {73, {0x11, 0x53, 0x9F, 13}, 0x985011A0, black, {0x98, 0x50, 0x10}, black},
        // Plane index 13 in the low five bits of byte 3; its high bits do not count.
        {74, {0x11, 0x53, 0x9F, 0xED}, 0x105099A0, black, {0x10, 0x50, 0x98}, black},
        // Passed on as written: plane 12, fraction 10, low colour bits kept in the word.
        {75, {0x8A, 0x51, 0x9F, 0xE5}, 0xE59F518A, {158, 110, 55}, {71, 49, 25}, black},
    };
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    setMethod(200);
    setUserBounds16(0, 19);
    setUserBounds8(0, 19);
    vxSetCallBackFunction(CallbackLog::callback);
    const int x = 700, y = 500;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.format);
        ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, x, y, 0, 1, 1, 0), VX_OK);
        ASSERT_EQ(vxSetDataFormat(row.format), VX_OK);
        std::vector<std::uint8_t> pixel = row.pixel;
        std::uint16_t depth = 13;
        CallbackLog::reset(1);
        ASSERT_EQ(vxRenderBuffer(pixel.data(), &depth), VX_OK);
        ASSERT_EQ(CallbackLog::calls, 1);
        EXPECT_EQ(CallbackLog::words[0], row.word);
        EXPECT_EQ(lib().outputBuffer[0], row.word);
        EXPECT_EQ(pixel, row.pixel) << "the caller's frame is left alone";
        EXPECT_EQ(convtest::pixelOf(readPlane(0, 12), x, y), row.plane12);
        EXPECT_EQ(convtest::pixelOf(readPlane(0, 13), x, y), row.plane13);
        EXPECT_EQ(convtest::pixelOf(readPlane(0, 14), x, y), row.plane14);
    }
}

// Packed Z of single depths under fixed bounds (method 200), for the 16-bit and the 8-bit
// formats, at the bounds, between them and on plane boundaries.
TEST_F(PlaneConversion, PackedZAtTheBoundsAndOnPlaneBoundaries) {
    struct Row {
        unsigned format, lo, hi, depth, z;
    };
    const Row rows[] = {
        {70, 0, 65535, 0, 0},      {70, 0, 65535, 32768, 304}, {70, 0, 65535, 65535, 607},
        {70, 0, 19, 0, 0},         {70, 0, 19, 1, 32},          {70, 0, 19, 7, 224},
        {70, 0, 19, 19, 608},      {68, 100, 101, 100, 0},      {68, 100, 101, 101, 608},
        {72, 0, 255, 0, 0},        {72, 0, 255, 14, 33},        {72, 0, 255, 128, 305},
        {73, 0, 255, 255, 607},    {72, 0, 19, 5, 160},
        // Outside the fixed range the depth is clamped first.
        {71, 1000, 2000, 10, 0},   {71, 1000, 2000, 65535, 607}, {69, 0, 0, 40000, 0},
        {72, 16, 32, 200, 608},
    };
    setMethod(200);
    vxSetCallBackFunction(CallbackLog::callback);
    const int x = 3, y = 747;
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "format " << row.format << " bounds " << row.lo << ".."
                                        << row.hi << " depth " << row.depth);
        ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, x, y, 0, 1, 1, 0), VX_OK);
        ASSERT_EQ(vxSetDataFormat(row.format), VX_OK);
        setUserBounds16(row.lo, row.hi);
        setUserBounds8(row.lo, row.hi);
        std::vector<std::uint8_t> pixel(bytesOf(row.format), 0xFF);
        if (row.format == 72 || row.format == 73) pixel[3] = std::uint8_t(row.depth);
        std::uint16_t depth = std::uint16_t(row.depth);
        CallbackLog::reset(1);
        ASSERT_EQ(vxRenderBuffer(pixel.data(), &depth), VX_OK);
        // Under method 200 the depth queries answer the user bounds.
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MIN_DEPTHS), row.lo);
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MAX_DEPTHS), row.hi);
        EXPECT_EQ(depth, row.format <= 71 ? std::min(std::max(row.depth, row.lo), row.hi) : row.depth)
            << "the prepared depth is clamped into the fixed range";
        const std::uint32_t w = CallbackLog::words.at(0);
        EXPECT_EQ(w & 0xFF, row.z & 0xFF);
        EXPECT_EQ((w >> 8) & 7, row.z >> 8) << "two Z bits, then a zero bit, under blue";
        // The device puts the pixel on plane z / 32 with the fraction's share on the next.
        const int plane = int(row.z / 32);
        EXPECT_EQ(convtest::pixelOf(readPlane(0, plane), x, y), convtest::deviceColour(w, plane));
        EXPECT_NE(convtest::pixelOf(readPlane(0, plane), x, y), (Rgb{0, 0, 0}));
    }
}

// The depth scan methods: prepared depths, computed bounds read back through vxGet, and the
// packed Z that follows from them.
TEST_F(PlaneConversion, ScanMethodsPrepareDepthsAndComputeTheirBounds) {
    struct Row {
        const char *what;
        int method;
        unsigned userFar;
        std::vector<std::uint16_t> depths, prepared;
        unsigned lo, hi; // computed bounds afterwards
        std::vector<unsigned> z;
    };
    const Row rows[] = {
        {"min-max", 201, 0, {500, 100, 900, 300}, {500, 100, 900, 300}, 100, 900,
         {303, 0, 607, 151}},
        {"min-max, one depth", 201, 0, {4000, 4000, 4000}, {4000, 4000, 4000}, 4000, 4000,
         {0, 0, 0}},
        {"skip farthest", 202, 0, {65535, 1000, 65535, 2000}, {2000, 1000, 2000, 2000}, 1000,
         2000, {607, 0, 607, 607}},
        {"skip farthest, one depth 2", 202, 0, {2, 2}, {0, 0}, 2, 0, {608, 608}},
        {"skip farthest, one depth 500", 202, 0, {500, 500, 500}, {0, 0, 0}, 500, 0,
         {607, 607, 607}},
        {"blank far", 203, 3000, {1000, 5000, 3000, 2000}, {1000, 3000, 3000, 2000}, 1000, 3000,
         {0, 607, 607, 303}},
        {"blank far at 0", 203, 0, {7, 0, 65535}, {0, 0, 0}, 0, 0, {0, 0, 0}},
    };
    vxSetCallBackFunction(CallbackLog::callback);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        setMethod(row.method);
        setUserBounds16(0, row.userFar);
        const int n = int(row.depths.size());
        ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, 10, 10, 0, n, 1, 0), VX_OK);
        ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBX_Z16), VX_OK);
        std::vector<std::uint8_t> frame(n * 4, 0xFF);
        std::vector<std::uint16_t> depth = row.depths;
        CallbackLog::reset(n);
        ASSERT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_OK);
        EXPECT_EQ(depth, row.prepared);
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MIN_DEPTHS), row.lo);
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MAX_DEPTHS), row.hi);
        for (int i = 0; i < n; ++i) EXPECT_EQ(CallbackLog::words[i] & 0x3FF, row.z[i]) << i;
        EXPECT_TRUE(convtest::frontShowsRegion(CallbackLog::words, 10, 10, n, 1));
    }
}

// The same for the 8-bit depths of formats 72 and 73, which live in the frame's byte 3; the
// caller's frame itself is never changed.
TEST_F(PlaneConversion, ScanMethodsOfByteDepths) {
    struct Row {
        int method;
        unsigned format, userFar;
        std::vector<std::uint8_t> depths;
        unsigned lo, hi;
        std::vector<unsigned> z;
        std::vector<bool> cut;
    };
    const Row rows[] = {
        {201, 72, 0, {42, 10, 74, 26}, 10, 74, {304, 0, 608, 152}, {}},
        {202, 73, 0, {255, 10, 255, 26}, 10, 26, {608, 0, 608, 608}, {}},
        {203, 72, 42, {10, 50, 42, 26}, 10, 42, {0, 608, 608, 304}, {false, true, true, false}},
    };
    vxSetCallBackFunction(CallbackLog::callback);
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.method);
        setMethod(row.method);
        setUserBounds8(0, row.userFar);
        const int n = int(row.depths.size());
        ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, 0, 0, 0, n, 1, 0), VX_OK);
        ASSERT_EQ(vxSetDataFormat(row.format), VX_OK);
        std::vector<std::uint8_t> frame;
        for (int i = 0; i < n; ++i) frame.insert(frame.end(), {0x80, 0x40, 0x20, row.depths[i]});
        const auto original = frame;
        CallbackLog::reset(n);
        ASSERT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_OK);
        EXPECT_EQ(frame, original);
        EXPECT_EQ(get<std::uint8_t>(VX_GET_MIN_DEPTHZ), row.lo);
        EXPECT_EQ(get<std::uint8_t>(VX_GET_MAX_DEPTHZ), row.hi);
        for (int i = 0; i < n; ++i) {
            const std::uint32_t w = CallbackLog::words[i];
            EXPECT_EQ(w & 0x3FF, row.z[i]) << i;
            const bool cut = !row.cut.empty() && row.cut[i];
            // A cut pixel takes I[0] = 0 in every component.
            if (cut) {
                EXPECT_EQ(w & 0xFFFFF800u, 0u) << i;
            } else {
                EXPECT_NE(w & 0xFFFFF800u, 0u) << i;
            }
        }
        EXPECT_TRUE(convtest::frontShowsRegion(CallbackLog::words, 0, 0, n, 1));
    }
}

// Method 203 zeroes the cut pixels in the caller's frame for the formats with a depth buffer
// (three or four bytes a pixel); the byte-depth formats work on a copy.
TEST_F(PlaneConversion, BlankFarZeroesCutPixelsOfTheCallersFrame) {
    setMethod(203);
    setUserBounds16(0, 500);
    setUserBounds8(0, 50);
    vxSetCallBackFunction(CallbackLog::callback);
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, 0, 0, 0, 3, 1, 0), VX_OK);
    for (unsigned format = 68; format <= 73; ++format) {
        SCOPED_TRACE(format);
        ASSERT_EQ(vxSetDataFormat(format), VX_OK);
        const int bpp = bytesOf(format);
        std::vector<std::uint8_t> frame(3 * bpp, 0xC7);
        std::vector<std::uint16_t> depth = {100, 600, 500};
        if (format >= 72)
            for (int i = 0; i < 3; ++i) frame[i * 4 + 3] = std::uint8_t(depth[i] / 10);
        const auto original = frame;
        CallbackLog::reset(3);
        ASSERT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_OK);
        std::vector<std::uint8_t> expected = original;
        if (format <= 71) {
            std::fill(expected.begin() + bpp, expected.end(), 0); // pixels 1 and 2 are cut
            EXPECT_EQ(depth, (std::vector<std::uint16_t>{100, 500, 500}));
        }
        EXPECT_EQ(frame, expected);
        EXPECT_NE(CallbackLog::words[0] & 0xFFFFF800u, 0u);
        EXPECT_EQ(CallbackLog::words[1] & 0xFFFFF800u, 0u);
        EXPECT_EQ(CallbackLog::words[2] & 0xFFFFF800u, 0u);
    }
}

// Under method 204 the formats with a depth pass are refused before anything changes: no
// callback, the same buffers in the same roles, the same bounds, nothing sent to the display.
// Formats 74 and 75 do not look at the method.
TEST_F(PlaneConversion, UnsupportedMethodRefusesAndChangesNothing) {
    vxSetCallBackFunction(CallbackLog::callback);
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    const std::size_t n = VX_PLANE_PIXELS;
    std::mt19937 rng(5);
    std::vector<std::uint8_t> frame(n * 4);
    for (auto &b : frame) b = std::uint8_t(rng());
    std::vector<std::uint16_t> depth(n);
    for (auto &d : depth) d = std::uint16_t(rng() % 60000 + 100);
    // A first frame under method 201 leaves computed bounds and a picture on the display.
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBX_Z16), VX_OK);
    ASSERT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_OK);
    const auto lo16 = get<std::uint16_t>(VX_GET_MIN_DEPTHS), hi16 = get<std::uint16_t>(VX_GET_MAX_DEPTHS);
    const auto lo8 = get<std::uint8_t>(VX_GET_MIN_DEPTHZ), hi8 = get<std::uint8_t>(VX_GET_MAX_DEPTHZ);
    setMethod(204);
    const auto front = readPlane(0, 5);
    const auto back = readPlane(1, 5);
    std::uint32_t *work = lib().workBuffer, *output = lib().outputBuffer;
    const std::vector<std::uint32_t> workWords(work, work + n), outputWords(output, output + n);
    for (unsigned format = 68; format <= 73; ++format) {
        SCOPED_TRACE(format);
        ASSERT_EQ(vxSetDataFormat(format), VX_OK);
        const auto frameBefore = frame;
        const auto depthBefore = depth;
        CallbackLog::reset(0);
        convtest::records().clear();
        EXPECT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_ERR_DEPTH_SCAN_METHOD);
        EXPECT_EQ(CallbackLog::calls, 0);
        EXPECT_EQ(frame, frameBefore);
        EXPECT_EQ(depth, depthBefore);
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MIN_DEPTHS), lo16);
        EXPECT_EQ(get<std::uint16_t>(VX_GET_MAX_DEPTHS), hi16);
        EXPECT_EQ(get<std::uint8_t>(VX_GET_MIN_DEPTHZ), lo8);
        EXPECT_EQ(get<std::uint8_t>(VX_GET_MAX_DEPTHZ), hi8);
        EXPECT_EQ(lib().workBuffer, work);
        EXPECT_EQ(lib().outputBuffer, output);
        EXPECT_TRUE(std::equal(workWords.begin(), workWords.end(), work));
        EXPECT_TRUE(std::equal(outputWords.begin(), outputWords.end(), output));
        EXPECT_TRUE(convtest::records().empty());
        EXPECT_EQ(readPlane(0, 5), front);
        EXPECT_EQ(readPlane(1, 5), back);
    }
    for (unsigned format : {74u, 75u}) {
        SCOPED_TRACE(format);
        ASSERT_EQ(vxSetDataFormat(format), VX_OK);
        CallbackLog::reset(1);
        EXPECT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_OK);
        EXPECT_EQ(CallbackLog::calls, 1);
    }
}

// A full-plane frame of format 70 under the default settings reaches the device as the words
// the callback saw, and swap-on-write decides when it shows.
TEST_F(PlaneConversion, FullPlaneFrameReachesTheDevice) {
    const std::size_t n = VX_PLANE_PIXELS;
    std::mt19937 rng(11);
    std::vector<std::uint8_t> frame(n * 4);
    for (auto &b : frame) b = std::uint8_t(rng());
    std::vector<std::uint16_t> depth(n);
    for (auto &d : depth) d = std::uint16_t(rng());
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBX_Z16), VX_OK);
    vxSetCallBackFunction(CallbackLog::callback);
    CallbackLog::reset(n);
    ASSERT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_OK);
    ASSERT_EQ(CallbackLog::calls, 1);
    EXPECT_TRUE(convtest::frontHoldsFullPlane(CallbackLog::words));
    // The bounds of the frame were measured: its smallest depth is on plane 0, fraction 0.
    const auto lo = get<std::uint16_t>(VX_GET_MIN_DEPTHS);
    EXPECT_EQ(lo, *std::min_element(depth.begin(), depth.end()));
    const std::size_t nearest = std::size_t(std::find(depth.begin(), depth.end(), lo) - depth.begin());
    EXPECT_EQ(CallbackLog::words[nearest] & 0x3FF, 0u);

    // With swap-on-write off the next frame waits in the back store until a swap.
    const std::vector<std::uint32_t> first = CallbackLog::words;
    ASSERT_EQ(vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0), VX_OK);
    std::reverse(frame.begin(), frame.end());
    CallbackLog::reset(n);
    ASSERT_EQ(vxRenderBuffer(frame.data(), depth.data()), VX_OK);
    EXPECT_TRUE(convtest::frontHoldsFullPlane(first));
    ASSERT_EQ(vxSwapBuffers(), VX_OK);
    EXPECT_TRUE(convtest::frontHoldsFullPlane(CallbackLog::words));
}

// The callback sees the work buffer with the converted frame; what it leaves there is what the
// display receives.
std::uint32_t g_replacement = 0;
void replaceEveryWord(unsigned *words) {
    CallbackLog::callback(words);
    std::fill(words, words + CallbackLog::count, g_replacement);
}

TEST_F(PlaneConversion, CallbackSeesTheWorkBufferAndItsChangesReachTheDisplay) {
    const std::size_t n = VX_PLANE_PIXELS;
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_RGBP), VX_OK);
    ASSERT_EQ(vxSetGammaFactor(1.0f), VX_OK);
    std::vector<std::uint8_t> frame(n * 4);
    for (std::size_t i = 0; i < n; ++i) {
        frame[i * 4 + 0] = std::uint8_t(i);
        frame[i * 4 + 1] = std::uint8_t(i >> 8);
        frame[i * 4 + 2] = std::uint8_t(i >> 16);
        frame[i * 4 + 3] = std::uint8_t(i % 20);
    }
    // White on plane 7, fraction 0, in every word.
    g_replacement = 0xF8F8F8E0u;
    vxSetCallBackFunction(replaceEveryWord);
    std::uint32_t *const work = lib().workBuffer;
    CallbackLog::reset(n);
    ASSERT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_OK);
    ASSERT_EQ(CallbackLog::calls, 1);
    EXPECT_EQ(CallbackLog::address, work);
    for (std::size_t i : {std::size_t(0), std::size_t(1), std::size_t(12345), n - 1}) {
        const std::uint32_t plane = i % 20;
        const std::uint32_t expected = ((i & 0xF8) << 24) | (((i >> 8) & 0xF8) << 16) |
                                       (((i >> 16) & 0xF8) << 8) | (plane * 32);
        EXPECT_EQ(CallbackLog::words[i], expected) << i;
    }
    EXPECT_EQ(lib().outputBuffer, work);
    EXPECT_TRUE(convtest::frontHoldsFullPlane(std::vector<std::uint32_t>(n, g_replacement)));

    // The default callback again: the frame itself is shown.
    vxSetCallBackFunction(nullptr);
    CallbackLog::reset(n);
    ASSERT_EQ(vxRenderBuffer(frame.data(), nullptr), VX_OK);
    EXPECT_EQ(CallbackLog::calls, 0);
    EXPECT_EQ(convtest::pixelOf(readPlane(0, 7), 7 + 40, 0), (Rgb{40, 0, 0})); // pixel 47
}

// Every conversion writes the work buffer and then exchanges the roles, so the words handed to
// the display stay intact through the next conversion.
TEST_F(PlaneConversion, ScratchBuffersExchangeAndKeepTheLastFrame) {
    const std::size_t n = VX_PLANE_PIXELS;
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    std::mt19937 rng(3);
    std::vector<std::uint32_t> a(n), b(n);
    for (auto &w : a) w = rng();
    for (auto &w : b) w = rng();
    std::vector<std::uint16_t> depth(n, 1);
    std::uint32_t *const first = lib().workBuffer, *const second = lib().outputBuffer;
    for (unsigned format : {VX_FORMAT_MVD32, VX_FORMAT_RGBX_Z16}) {
        SCOPED_TRACE(format);
        ASSERT_EQ(vxSetDataFormat(format), VX_OK);
        ASSERT_EQ(vxRenderBuffer(a.data(), depth.data()), VX_OK);
        const std::vector<std::uint32_t> wordsA = outputWords(n);
        const std::uint32_t *outA = lib().outputBuffer;
        EXPECT_TRUE(outA == first || outA == second);
        if (format == VX_FORMAT_MVD32) {
            EXPECT_EQ(wordsA, a);
        }
        ASSERT_EQ(vxRenderBuffer(b.data(), depth.data()), VX_OK);
        EXPECT_EQ(lib().workBuffer, outA);
        EXPECT_TRUE(std::equal(wordsA.begin(), wordsA.end(), lib().workBuffer))
            << "the frame before the last is still intact";
        if (format == VX_FORMAT_MVD32) {
            EXPECT_EQ(outputWords(n), b);
        }
    }
}

// Format 75 words reach the display bit for bit, whatever the colour and depth settings.
TEST_F(PlaneConversion, Mvd32WordsPassUntouchedByEverySetting) {
    const std::size_t n = VX_PLANE_PIXELS;
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    std::mt19937 rng(75);
    std::vector<std::uint32_t> words(n);
    for (auto &w : words) w = rng();
    const auto original = words;
    vxSetCallBackFunction(CallbackLog::callback);
    struct Setting {
        const char *what;
        void (*apply)();
    };
    const Setting settings[] = {
        {"defaults", [] {}},
        {"gamma 0.2", [] { vxSetGammaFactor(0.2f); }},
        {"inverted contrast", [] { vxSetContrast(-1.0f), vxSetBrightnessOffset(1.0f); }},
        {"brightness -2", [] { vxSetBrightnessOffset(-2.0f); }},
        {"linearised depth", [] { vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1); }},
        {"fixed bounds", [] { setMethod(200), setUserBounds16(5, 9), setUserBounds8(5, 9); }},
        {"skip farthest", [] { setMethod(202); }},
        {"blank far at 0", [] { setMethod(203), setUserBounds16(0, 0), setUserBounds8(0, 0); }},
        {"unsupported method", [] { setMethod(204); }},
    };
    for (const Setting &s : settings) {
        SCOPED_TRACE(s.what);
        s.apply();
        CallbackLog::reset(n);
        ASSERT_EQ(vxRenderBuffer(words.data(), nullptr), VX_OK);
        EXPECT_EQ(words, original);
        EXPECT_EQ(CallbackLog::words, original);
        EXPECT_EQ(outputWords(n), original);
    }
    EXPECT_TRUE(convtest::frontHoldsFullPlane(original));
}

// A frame callback that hands in a frame of its own is refused, and one that shuts the library
// down leaves nothing to hand off; neither touches freed or in-use memory.
unsigned g_nestedStatus = 0;
void renderFromCallback(unsigned *) {
    std::uint32_t word = 0;
    g_nestedStatus = vxRenderBuffer(&word, nullptr);
}
void shutDownFromCallback(unsigned *) { vxShutdown(); }

TEST_F(PlaneConversion, CallbacksThatCallBackIntoRendering) {
    ASSERT_EQ(vxSetRenderMode(VX_RENDER_SUB_PLANE, 0, 0, 0, 1, 1, 0), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    std::uint32_t word = 0xF8F8F800u;
    vxSetCallBackFunction(renderFromCallback);
    g_nestedStatus = VX_OK;
    EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_OK);
    EXPECT_EQ(g_nestedStatus, VX_ERR_UNKNOWN);
    EXPECT_EQ(lib().outputBuffer[0], word);

    vxSetCallBackFunction(shutDownFromCallback);
    EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_ERR_UNKNOWN);
    EXPECT_EQ(get<int>(VX_GET_INITIALIZED), 0);
}

// Regions that vxSetRenderMode never stores are refused by the conversion itself rather than
// read or written past the buffers.
TEST_F(PlaneConversion, RegionsBeyondTheScratchBuffersAreRefused) {
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    std::uint32_t word = 0;
    for (int pixels : {0, -1, VX_PLANE_PIXELS + 1}) {
        lib().region.pixels = pixels;
        EXPECT_EQ(vxRenderBuffer(&word, nullptr), VX_ERR_OUT_OF_RANGE) << pixels;
    }
}

} // namespace
