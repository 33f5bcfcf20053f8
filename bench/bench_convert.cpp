// Frame conversion speed: the full-plane conversion of every plane format (depth pass
// included, method 201, with the identity and with a linearising depth table) and the
// full-volume conversion of every block format, each timed beside memcpy of the same bytes
// (frame plus depth buffer) and beside the straightforward one-pixel-at-a-time conversion,
// all in the same iterations so that the ratios hold on a busy machine.
//
// What is timed is the conversion proper as vxRenderBuffer runs it (buildPlaneWords and
// buildBlockWords: depth pass and words into the work buffer); the frame callback, the buffer
// exchange and the device's store are left out. Counters:
//   x_memcpy          conversion time / memcpy time of the frame's bytes
//   straight_x_memcpy straightforward conversion time / memcpy time
//   speedup           straightforward conversion time / conversion time
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "api/depth_mapping.h"
#include "api/intensity_table.h"
#include "api/library_state.h"
#include "convert/plane_kernels.h"
#include "convert_reference.h"
#include "vx.h"

namespace {

using Clock = std::chrono::steady_clock;
using vx::core::KernelLevel;

double secondsOf(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

int bytesOf(unsigned format) {
    int size = 0;
    vxGetDataFormatSize(int(format), &size);
    return size;
}

struct Tables {
    std::vector<std::uint16_t> t16 = std::vector<std::uint16_t>(65536);
    std::vector<std::uint8_t> t8 = std::vector<std::uint8_t>(256);
    std::vector<std::uint8_t> intensity = std::vector<std::uint8_t>(256);
};

Tables makeTables(bool linearise) {
    Tables t;
    vx::core::buildDepthTables(1.0, 100.0, linearise ? 1 : 0);
    const auto &s = vx::core::state();
    std::memcpy(t.t16.data(), s.depthTable16, 65536 * 2);
    std::memcpy(t.t8.data(), s.depthTable8, 256);
    vx::core::buildIntensityTable(3.0f, 1.0f, 0.0f, t.intensity.data());
    return t;
}

// A frame with random colours and depths.
struct Frame {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint16_t> depth, pristineDepth;
    std::vector<std::uint32_t> words;
    Frame(unsigned format, std::size_t n) : pixels(n * bytesOf(format)), depth(n), words(n) {
        std::mt19937 rng(1234);
        for (auto &b : pixels) b = std::uint8_t(rng());
        for (auto &d : depth) d = std::uint16_t(rng());
        pristineDepth = depth;
    }
};

// Bytes that memcpy moves for a conversion: the frame and, for formats 68 to 71, its depths.
std::size_t frameBytes(unsigned format, std::size_t n) {
    return n * bytesOf(format) + (format <= VX_FORMAT_XBGR_Z16 ? n * 2 : 0);
}

void reportRatios(benchmark::State &state, double conv, double copy, double straight,
                  std::size_t bytes) {
    state.counters["x_memcpy"] = conv / copy;
    state.counters["straight_x_memcpy"] = straight / copy;
    state.counters["speedup"] = straight / conv;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

// Args: format, linearising depth table (0/1), kernel level (0 baseline, 1 widest available).
void BM_PlaneConversion(benchmark::State &state) {
    const unsigned format = unsigned(state.range(0));
    const Tables tables = makeTables(state.range(1) != 0);
    const KernelLevel level = state.range(2) ? vx::core::detectedKernelLevel() : KernelLevel::Baseline;
    const std::size_t n = VX_PLANE_PIXELS;
    Frame mine(format, n), straight(format, n);
    const std::size_t bytes = frameBytes(format, n);
    std::vector<std::uint8_t> copySrc(bytes, 1), copyDst(bytes, 2);
    const vx::core::DepthBounds user{};
    vx::core::DepthBounds computed{};

    auto jobFor = [&](Frame &f) {
        vx::core::PlaneJob job;
        job.format = format;
        job.method = VX_DEPTHSCAN_MIN_MAX;
        job.pixels = n;
        job.frame = f.pixels.data();
        job.depth = f.depth.data();
        job.words = f.words.data();
        job.depthTable16 = tables.t16.data();
        job.depthTable8 = tables.t8.data();
        job.intensity = tables.intensity.data();
        job.userBounds = &user;
        job.computedBounds = &computed;
        job.boundsInEffect = &computed;
        job.level = level;
        return job;
    };
    const vx::core::PlaneJob job = jobFor(mine), straightJob = jobFor(straight);

    double conv = 0, copy = 0, straightTime = 0;
    for (auto _ : state) {
        // The depth pass rewrites the depths in place: every run starts from the same ones.
        std::memcpy(mine.depth.data(), mine.pristineDepth.data(), n * 2);
        std::memcpy(straight.depth.data(), straight.pristineDepth.data(), n * 2);
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(vx::core::buildPlaneWords(job));
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        std::memcpy(copyDst.data(), copySrc.data(), bytes);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(vx::reference::convertPlane(straightJob));
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        conv += secondsOf(t0, t1);
        copy += secondsOf(t1, t2);
        straightTime += secondsOf(t2, t3);
        state.SetIterationTime(secondsOf(t0, t1));
    }
    if (mine.words != straight.words) state.SkipWithError("words differ from the straightforward conversion");
    reportRatios(state, conv, copy, straightTime, bytes);
}

// Args: format, kernel level.
void BM_BlockConversion(benchmark::State &state) {
    const unsigned format = unsigned(state.range(0));
    const KernelLevel level = state.range(1) ? vx::core::detectedKernelLevel() : KernelLevel::Baseline;
    const Tables tables = makeTables(false);
    const std::size_t n = VX_VOLUME_PIXELS;
    std::vector<std::uint8_t> voxels(n * bytesOf(format));
    std::mt19937 rng(77);
    for (auto &b : voxels) b = std::uint8_t(rng());
    std::vector<std::uint32_t> words(n, 0), straightWords(n, 0);
    const std::size_t bytes = voxels.size();
    std::vector<std::uint8_t> copyDst(bytes, 2);

    double conv = 0, copy = 0, straightTime = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        vx::core::buildBlockWords(format, voxels.data(), n, words.data(), tables.intensity.data(), level);
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        std::memcpy(copyDst.data(), voxels.data(), bytes);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        vx::reference::convertBlock(format, voxels.data(), n, straightWords.data(), tables.intensity.data());
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        conv += secondsOf(t0, t1);
        copy += secondsOf(t1, t2);
        straightTime += secondsOf(t2, t3);
        state.SetIterationTime(secondsOf(t0, t1));
    }
    if (words != straightWords) state.SkipWithError("words differ from the straightforward conversion");
    reportRatios(state, conv, copy, straightTime, bytes);
}

void planeArgs(benchmark::internal::Benchmark *b) {
    b->ArgNames({"format", "linear", "wide"});
    for (int level : {1, 0})
        for (int format = VX_FORMAT_RGB_Z16; format <= VX_FORMAT_MVD32; ++format)
            for (int linear : {0, 1}) {
                // 74 and 75 have no depth pass: one table is enough.
                if (format >= VX_FORMAT_RGBP && linear) continue;
                b->Args({format, linear, level});
            }
}

void blockArgs(benchmark::internal::Benchmark *b) {
    b->ArgNames({"format", "wide"});
    for (int level : {1, 0})
        for (int format = VX_FORMAT_MVD32; format <= VX_FORMAT_GRAY8; ++format)
            b->Args({format, level});
}

BENCHMARK(BM_PlaneConversion)->Apply(planeArgs)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockConversion)->Apply(blockArgs)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
