// The emulated device's store of one anti-aliased full-plane frame, with the swap and the
// clear that follow it (swap-on-write and clear-on-swap on, as after vxInitialize), timed
// beside memset of the back store's 20 x 748 image rows (the bytes the clear zeroes) and
// beside the straightforward one-word-at-a-time store with a memset clear, all in the same
// iterations so that the ratios hold on a busy machine.
//
// Frames: "ramp", depths rising smoothly from plane 0 at the left edge to plane 19 at the
// right, so that every row of every plane receives colour; "random", every pixel at a random
// depth. Counters:
//   x_memset          device store + swap + clear / memset of the 20 x 748 rows
//   straight_x_memset straightforward store + swap + memset clear / memset
//   speedup           straightforward / device
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "emulator/emulated_volume.h"
#include "emulator/store_reference.h"
#include "vx.h"

namespace {

using Clock = std::chrono::steady_clock;
using vx::emu::EmulatedVolume;

constexpr int W = 1024, H = 748, PLANES = 20;
constexpr std::size_t kPlaneBytes = std::size_t(W) * H * 3;
constexpr std::size_t kBufferBytes = kPlaneBytes + W * 20 * 4;

double secondsOf(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

std::uint32_t planeWord(unsigned r, unsigned g, unsigned b, unsigned z) {
    return (r << 24) | (g << 16) | (((b & 0xF8) | ((z >> 8) & 3)) << 8) | (z & 0xFF);
}

std::vector<std::uint32_t> makeFrame(bool ramp) {
    std::mt19937 rng(99);
    std::vector<std::uint32_t> frame(std::size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned z = ramp ? unsigned(x) * 639 / 1023 : unsigned(rng() % 640);
            frame[std::size_t(y) * W + x] =
                planeWord(40 + (x * 7 + y) % 200, 30 + (y * 3) % 220, 20 + (x ^ y) % 230, z);
        }
    return frame;
}

// Twenty plane buffers, as a store holds them.
struct Store {
    std::vector<std::uint8_t *> planes;
    Store() : planes(PLANES) {
        for (auto &p : planes) p = static_cast<std::uint8_t *>(std::calloc(1, kBufferBytes));
    }
    ~Store() {
        for (auto p : planes) std::free(p);
    }
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
};

void StoreSwapClear(benchmark::State &state, bool ramp) {
    const std::vector<std::uint32_t> frame = makeFrame(ramp);
    EmulatedVolume dev; // defaults: image offset, anti-aliasing, swap-on-write, clear-on-swap
    dev.create();
    dev.execute(VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0);
    Store memsetTarget, front, back;
    std::vector<std::uint8_t *> frontViews(PLANES), backViews(PLANES);
    auto views = [](Store &s, std::vector<std::uint8_t *> &v) {
        for (int i = 0; i < PLANES; ++i) v[i] = s.planes[i] + std::size_t(20 - i) * 3072;
    };
    views(front, frontViews);
    views(back, backViews);
    vx::emu::reference::Region region;
    region.mode = 2;
    region.imageOffset = true;
    region.antiAliasing = true;

    double device = 0, copy = 0, straight = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        dev.write(frame.data());
        const auto t1 = Clock::now();
        for (auto p : memsetTarget.planes) std::memset(p, 0, kPlaneBytes);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        vx::emu::reference::store(backViews.data(), region, frame.data());
        std::swap(front.planes, back.planes);
        std::swap(frontViews, backViews);
        for (auto p : back.planes) std::memset(p, 0, kPlaneBytes);
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        device += secondsOf(t0, t1);
        copy += secondsOf(t1, t2);
        straight += secondsOf(t2, t3);
        state.SetIterationTime(secondsOf(t0, t1));
    }
    state.counters["x_memset"] = device / copy;
    state.counters["straight_x_memset"] = straight / copy;
    state.counters["speedup"] = straight / device;
    state.counters["memset_ms"] = copy * 1e3 / double(state.iterations());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kPlaneBytes) * PLANES);
    dev.destroy();
}

BENCHMARK_CAPTURE(StoreSwapClear, ramp, true)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(StoreSwapClear, random, false)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
