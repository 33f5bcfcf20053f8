// MVD file speed: saving and loading a full 1024 x 748 x 20 volume in each of the seven
// packings, each timed beside plain file I/O of the same volume in the same iterations, so
// that the ratios hold on a busy machine:
//   save: vxUtilSaveMVDFile beside fopen + fwrite of the header and all voxel bytes + fclose;
//   load: vxUtilLoadMVDFile + vxUtilFreeVXbuffer beside malloc + fopen + fread + fclose + free
//         of the same bytes (the loader allocates its block too);
//   load into: vxUtilLoadMVDFileNA into a reused buffer beside fread into a reused buffer: the
//         decoding proper, without the cost of mapping fresh memory.
// Two volumes: "scene" (shells of colour over an empty background: runs of many lengths, as
// rendered volumes have) and "noise" (every voxel random: the worst case of the run-length
// packings). Counters:
//   x_fwrite / x_fread  time of the library call / time of the plain I/O
//   voxel_GBps          voxel bytes in memory (4 a voxel) produced or consumed per second
//   file_MB             size of the file
//   allocs              heap allocations made by one call (fopen's included); a constant,
//                       since no packing allocates per row
// Files go to $VX_BENCH_DIR, else /dev/shm, else /tmp.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "vxUtil.h"

// Counting allocator: the process's malloc family forwards to glibc's own and counts calls, so
// the benchmark can show how many allocations one save or load makes. Left out under a
// sanitizer, whose runtime owns malloc.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VX_BENCH_NO_COUNTING 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VX_BENCH_NO_COUNTING 1
#endif

namespace {
std::atomic<long> gAllocations{0};
}

#ifndef VX_BENCH_NO_COUNTING
extern "C" {
void *__libc_malloc(std::size_t);
void *__libc_calloc(std::size_t, std::size_t);
void *__libc_realloc(void *, std::size_t);
void __libc_free(void *);

void *malloc(std::size_t n) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void *calloc(std::size_t a, std::size_t b) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(a, b);
}
void *realloc(void *p, std::size_t n) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
void free(void *p) {
    __libc_free(p);
}
}
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int W = VX_PLANE_WIDTH, H = VX_PLANE_HEIGHT, D = VX_NUM_PLANES;
constexpr std::size_t N = std::size_t(W) * H * D;
constexpr std::size_t kFileBytes = 18 + N * 4;

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

std::string benchDir() {
    if (const char *dir = std::getenv("VX_BENCH_DIR")) return dir;
    struct stat st {};
    if (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return "/tmp";
}

std::string filePath(const char *name) {
    return benchDir() + "/vx_bench_" + std::to_string(getpid()) + "_" + name;
}

// Plane word: 5-bit red, green, blue in the high bits of bytes 3, 2, 1; plane z in bits 5..9.
std::uint32_t word(unsigned r, unsigned g, unsigned b, unsigned z) {
    return (r & 31u) << 27 | (g & 31u) << 19 | (b & 31u) << 11 | (z & 31u) << 5;
}

// Shells around the volume's centre; the colour changes every 16 columns and with the plane.
const std::vector<std::uint32_t> &scene() {
    static const std::vector<std::uint32_t> v = [] {
        std::vector<std::uint32_t> out(N, 0);
        for (int z = 0; z < D; ++z)
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    double dx = x - W / 2.0, dy = y - H / 2.0, dz = (z - D / 2.0) * 30.0;
                    double r = std::sqrt(dx * dx + dy * dy + dz * dz);
                    int shell = int(r) / 60;
                    if (shell % 2 == 1 && shell < 9)
                        out[(std::size_t(z) * H + y) * W + x] =
                            word(unsigned(x / 16), unsigned(shell * 3), unsigned(31 - y / 24),
                                 unsigned(z));
                }
        return out;
    }();
    return v;
}

const std::vector<std::uint32_t> &noise() {
    static const std::vector<std::uint32_t> v = [] {
        std::vector<std::uint32_t> out(N);
        std::mt19937 rng(99);
        for (auto &w : out)
            w = rng();
        return out;
    }();
    return v;
}

const std::vector<std::uint32_t> &volumeOf(int which) {
    return which == 0 ? scene() : noise();
}

// The plain I/O that a save and a load are compared with.
void plainWrite(const std::string &path, const std::vector<std::uint32_t> &v) {
    static const unsigned char header[18] = {'M', 'V', 'D', 1};
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(v.data(), 4, v.size(), f);
    std::fclose(f);
}

void plainRead(const std::string &path) {
    void *block = std::malloc(kFileBytes);
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f || !block) std::abort();
    benchmark::DoNotOptimize(std::fread(block, 1, kFileBytes, f));
    std::fclose(f);
    benchmark::ClobberMemory();
    std::free(block);
}

void BM_Save(benchmark::State &state) {
    const int packing = int(state.range(0));
    const auto &v = volumeOf(int(state.range(1)));
    const std::string mvd = filePath("save.mvd"), plain = filePath("save.bin");
    double lib = 0, base = 0;
    long allocations = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        plainWrite(plain, v);
        auto t1 = Clock::now();
        long before = gAllocations.load();
        if (vxUtilSaveMVDFile(mvd.c_str(), packing, W, H, D, v.data(), nullptr) != VX_OK)
            state.SkipWithError("save failed");
        auto t2 = Clock::now();
        allocations = gAllocations.load() - before;
        base += seconds(t0, t1);
        lib += seconds(t1, t2);
        state.SetIterationTime(seconds(t1, t2));
    }
    struct stat st {};
    stat(mvd.c_str(), &st);
    state.counters["x_fwrite"] = lib / base;
    state.counters["voxel_GBps"] = double(N * 4) * double(state.iterations()) / lib / 1e9;
    state.counters["file_MB"] = double(st.st_size) / 1e6;
    state.counters["allocs"] = double(allocations);
    std::remove(mvd.c_str());
    std::remove(plain.c_str());
}

void BM_Load(benchmark::State &state) {
    const int packing = int(state.range(0));
    const auto &v = volumeOf(int(state.range(1)));
    const std::string mvd = filePath("load.mvd"), plain = filePath("load.bin");
    if (vxUtilSaveMVDFile(mvd.c_str(), packing, W, H, D, v.data(), nullptr) != VX_OK) {
        state.SkipWithError("save failed");
        return;
    }
    plainWrite(plain, v);
    double lib = 0, base = 0;
    long allocations = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        plainRead(plain);
        auto t1 = Clock::now();
        long before = gAllocations.load();
        VXbuffer b;
        vxUtilInitializeVXbuffer(&b);
        if (vxUtilLoadMVDFile(mvd.c_str(), &b) != VX_OK) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(b.data);
        allocations = gAllocations.load() - before;
        vxUtilFreeVXbuffer(&b);
        auto t2 = Clock::now();
        base += seconds(t0, t1);
        lib += seconds(t1, t2);
        state.SetIterationTime(seconds(t1, t2));
    }
    struct stat st {};
    stat(mvd.c_str(), &st);
    state.counters["x_fread"] = lib / base;
    state.counters["voxel_GBps"] = double(N * 4) * double(state.iterations()) / lib / 1e9;
    state.counters["file_MB"] = double(st.st_size) / 1e6;
    state.counters["allocs"] = double(allocations);
    std::remove(mvd.c_str());
    std::remove(plain.c_str());
}

// Decoding proper: the loader that fills the caller's buffer, into a buffer that is reused (so
// already mapped), beside fread of the same volume's bytes into a reused buffer.
void BM_LoadInto(benchmark::State &state) {
    const int packing = int(state.range(0));
    const auto &v = volumeOf(int(state.range(1)));
    const std::string mvd = filePath("into.mvd"), plain = filePath("into.bin");
    if (vxUtilSaveMVDFile(mvd.c_str(), packing, W, H, D, v.data(), nullptr) != VX_OK) {
        state.SkipWithError("save failed");
        return;
    }
    plainWrite(plain, v);
    std::vector<std::uint32_t> into(N + 8, 1);
    double lib = 0, base = 0;
    long allocations = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::FILE *f = std::fopen(plain.c_str(), "rb");
        if (!f) std::abort();
        benchmark::DoNotOptimize(std::fread(into.data(), 1, kFileBytes, f));
        std::fclose(f);
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        long before = gAllocations.load();
        int w = W, h = H, d = D;
        if (vxUtilLoadMVDFileNA(mvd.c_str(), &w, &h, &d, into.data(), 0, nullptr) != VX_OK)
            state.SkipWithError("load failed");
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        allocations = gAllocations.load() - before;
        base += seconds(t0, t1);
        lib += seconds(t1, t2);
        state.SetIterationTime(seconds(t1, t2));
    }
    state.counters["x_fread"] = lib / base;
    state.counters["voxel_GBps"] = double(N * 4) * double(state.iterations()) / lib / 1e9;
    state.counters["allocs"] = double(allocations);
    std::remove(mvd.c_str());
    std::remove(plain.c_str());
}

void packingsAndVolumes(benchmark::internal::Benchmark *b) {
    b->ArgNames({"packing", "noise"});
    for (int volume : {0, 1})
        for (int packing = 0; packing < 7; ++packing)
            b->Args({packing, volume});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
}

BENCHMARK(BM_Save)->Apply(packingsAndVolumes);
BENCHMARK(BM_Load)->Apply(packingsAndVolumes);
BENCHMARK(BM_LoadInto)->Apply(packingsAndVolumes);

} // namespace

BENCHMARK_MAIN();
