// The emulator's redraw on the offscreen platform (software OpenGL here): the full upload of
// every plane into one shared texture before its square, against the redraw that keeps one
// texture per plane, uploads only rows that can have changed and skips black planes. Both run
// in the same iterations, each after a new frame was stored and swapped in, so that their
// ratio holds on a busy machine.
//
// Scenes (full-plane frames, anti-aliased, as an application sends them):
//   sparse  colour in a band of 40 rows, on planes 3, 9 and 15; black words elsewhere
//   full    depths rising from plane 0 at the left to plane 19 at the right: every row of
//           every plane holds colour
// Counters: full_ms and changed_ms per redraw, speedup = full_ms / changed_ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "emulator/emulated_volume.h"
#include "emulator/window.h"
#include "vx.h"

namespace {

using Clock = std::chrono::steady_clock;
using vx::emu::RedrawStrategy;

constexpr int W = 1024, H = 748;

std::uint32_t planeWord(unsigned r, unsigned g, unsigned b, unsigned z) {
    return (r << 24) | (g << 16) | (((b & 0xF8) | ((z >> 8) & 3)) << 8) | (z & 0xFF);
}

std::vector<std::uint32_t> makeFrame(bool sparse) {
    std::vector<std::uint32_t> frame(std::size_t(W) * H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned r = 40 + (x * 7 + y) % 200, g = 30 + (y * 3) % 220, b = 20 + (x ^ y) % 230;
            std::uint32_t &w = frame[std::size_t(y) * W + x];
            if (!sparse) w = planeWord(r, g, b, unsigned(x) * 639 / 1023);
            else if (y >= 300 && y < 340) w = planeWord(r, g, b, (x < 341 ? 3 : x < 682 ? 9 : 15) * 32);
        }
    return frame;
}

double redrawSeconds(RedrawStrategy strategy, const std::vector<std::uint32_t> &frame) {
    vx::emu::EmulatedVolume &dev = vx::emu::volume();
    dev.write(frame.data()); // store, swap, clear: a new front store for this redraw
    dev.setRedrawStrategy(strategy);
    const auto t0 = Clock::now();
    vxEmuUpdateDisplay(); // ends with the frame finished (offscreen)
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void Redraw(benchmark::State &state, bool sparse) {
    const std::vector<std::uint32_t> frame = makeFrame(sparse);
    vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0);
    double full = 0, changed = 0;
    bool fullFirst = true;
    for (auto _ : state) {
        // Alternate which redraw goes first, so that neither gains from the other's traces.
        double f = 0, c = 0;
        if (fullFirst) {
            f = redrawSeconds(RedrawStrategy::FullUpload, frame);
            c = redrawSeconds(RedrawStrategy::ChangedRows, frame);
        } else {
            c = redrawSeconds(RedrawStrategy::ChangedRows, frame);
            f = redrawSeconds(RedrawStrategy::FullUpload, frame);
        }
        fullFirst = !fullFirst;
        full += f;
        changed += c;
        state.SetIterationTime(f + c);
    }
    const double n = double(state.iterations());
    state.counters["full_ms"] = full * 1e3 / n;
    state.counters["changed_ms"] = changed * 1e3 / n;
    state.counters["speedup"] = full / changed;
    vx::emu::volume().setRedrawStrategy(RedrawStrategy::ChangedRows);
}

BENCHMARK_CAPTURE(Redraw, sparse, true)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Redraw, full, false)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv) {
    vxEmuSetMessageHandler([](const char *caption, const char *text) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    });
    vxEmuSetOffscreen(1);
    if (vxInitialize(0) != VX_OK || !vx::emu::activePlatform() ||
        !vx::emu::activePlatform()->hasContext()) {
        std::fprintf(stderr, "bench_redraw: the offscreen emulator did not start\n");
        return 1;
    }
    vxEmuSetCamera(3.0f, 15.0f, -30.0f, 0.0f);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vxShutdown();
    return 0;
}
