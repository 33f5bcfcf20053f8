// The conversion kernels against the straightforward conversion: random frames and blocks of
// every format, under every depth scan method, with identity, linearising and arbitrary depth
// tables, at sizes around the kernels' group widths, on every kernel level this processor
// runs. Words, prepared depths, blanked frames and computed bounds must agree bit for bit, and
// nothing may be written past the frame's words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "api/depth_mapping.h"
#include "api/intensity_table.h"
#include "api/library_state.h"
#include "convert/plane_kernels.h"
#include "convert_reference.h"
#include "vx.h"

namespace {

using vx::core::DepthBounds;
using vx::core::KernelLevel;
using vx::core::PlaneJob;

constexpr std::uint32_t kSentinel = 0xA5C3E1F7u;

std::vector<KernelLevel> levels() {
    std::vector<KernelLevel> l{KernelLevel::Baseline};
    if (vx::core::detectedKernelLevel() == KernelLevel::Wide) l.push_back(KernelLevel::Wide);
    return l;
}

const char *levelName(KernelLevel l) { return l == KernelLevel::Wide ? "wide" : "baseline"; }

int bytesOf(unsigned format) {
    int size = 0;
    vxGetDataFormatSize(int(format), &size);
    return size;
}

// The tables a conversion reads.
struct Tables {
    std::string name;
    std::vector<std::uint16_t> t16 = std::vector<std::uint16_t>(65536);
    std::vector<std::uint8_t> t8 = std::vector<std::uint8_t>(256);
};

std::vector<Tables> depthTables(std::mt19937 &rng) {
    std::vector<Tables> all;
    auto fromLibrary = [&](const char *name, double n, double f, int linearize) {
        vx::core::buildDepthTables(n, f, linearize);
        Tables t{name};
        const auto &s = vx::core::state();
        std::copy(s.depthTable16, s.depthTable16 + 65536, t.t16.begin());
        std::copy(s.depthTable8, s.depthTable8 + 256, t.t8.begin());
        all.push_back(std::move(t));
    };
    fromLibrary("identity", 1.0, 100.0, 0);
    fromLibrary("linear 1..100", 1.0, 100.0, 1);
    fromLibrary("linear 100..1", 100.0, 1.0, 1);
    Tables random{"arbitrary"};
    for (auto &e : random.t16) e = std::uint16_t(rng());
    for (auto &e : random.t8) e = std::uint8_t(rng());
    all.push_back(std::move(random));
    vx::core::buildDepthTables(1.0, 100.0, 0);
    return all;
}

std::vector<std::vector<std::uint8_t>> intensityTables(std::mt19937 &rng) {
    std::vector<std::uint8_t> gamma3(256), raw(256);
    vx::core::buildIntensityTable(3.0f, 1.0f, 0.0f, gamma3.data());
    // Entries with low bits set too: the words must still agree with the plain OR.
    for (auto &e : raw) e = std::uint8_t(rng());
    return {gamma3, raw};
}

// How the raw depths of a frame are spread.
enum class Spread { Uniform, FewValues, AllEqual, FarBackground };

unsigned drawDepth(Spread spread, std::mt19937 &rng, unsigned maxValue, unsigned a, unsigned b,
                   unsigned c) {
    switch (spread) {
    case Spread::Uniform: return rng() % (maxValue + 1);
    case Spread::FewValues: {
        const unsigned pick = rng() % 3;
        return pick == 0 ? a : pick == 1 ? b : c;
    }
    case Spread::AllEqual: return a;
    case Spread::FarBackground: return rng() % 4 ? maxValue : rng() % (maxValue + 1);
    }
    return 0;
}

struct PlaneCase {
    unsigned format;
    int method;
    KernelLevel level;
    const Tables *tables;
    const std::vector<std::uint8_t> *intensity;
    std::size_t pixels;
    Spread spread;
    DepthBounds user;
};

std::string describe(const PlaneCase &c) {
    std::ostringstream s;
    s << "format " << c.format << ", method " << c.method << ", " << levelName(c.level) << ", "
      << c.tables->name << " table, " << c.pixels << " pixels, spread " << int(c.spread)
      << ", user bounds " << int(c.user.lo8) << ".." << int(c.user.hi8) << " / " << c.user.lo16
      << ".." << c.user.hi16;
    return s.str();
}

// Runs one case through the kernels and through the straightforward conversion, on identical
// copies of the inputs, and compares everything either may write.
testing::AssertionResult sameAsReference(const PlaneCase &c, std::mt19937 &rng) {
    const std::size_t n = c.pixels;
    const int bpp = bytesOf(c.format);
    std::vector<std::uint8_t> frame(n * bpp);
    for (std::size_t i = 0; i < frame.size(); i += 4) {
        const std::uint32_t r = rng();
        std::memcpy(frame.data() + i, &r, std::min<std::size_t>(4, frame.size() - i));
    }
    std::vector<std::uint16_t> depth(n);
    const bool eightBit = c.format == VX_FORMAT_RGBZ || c.format == VX_FORMAT_BGRZ;
    const unsigned maxValue = eightBit ? 255 : 65535;
    const unsigned a = rng() % (maxValue + 1), b = rng() % (maxValue + 1), d = rng() % (maxValue + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned v = drawDepth(c.spread, rng, maxValue, a, b, d);
        if (eightBit) frame[i * 4 + 3] = std::uint8_t(v);
        else depth[i] = std::uint16_t(v);
    }
    const DepthBounds computedStart{std::uint8_t(rng()), std::uint16_t(rng()), std::uint8_t(rng()),
                                    std::uint16_t(rng())};

    struct Side {
        std::vector<std::uint8_t> frame;
        std::vector<std::uint16_t> depth;
        std::vector<std::uint32_t> words;
        DepthBounds user, computed;
        unsigned status = 0;
    } mine{frame, depth, std::vector<std::uint32_t>(n + 16, kSentinel), c.user, computedStart},
        ref{frame, depth, std::vector<std::uint32_t>(n + 16, kSentinel), c.user, computedStart};

    auto run = [&](Side &side, bool reference) {
        PlaneJob job;
        job.format = c.format;
        job.method = c.method;
        job.pixels = n;
        job.frame = side.frame.data();
        job.depth = side.depth.data();
        job.words = side.words.data();
        job.depthTable16 = c.tables->t16.data();
        job.depthTable8 = c.tables->t8.data();
        job.intensity = c.intensity->data();
        job.userBounds = &side.user;
        job.computedBounds = &side.computed;
        job.boundsInEffect = c.method == VX_DEPTHSCAN_FIXED ? &side.user : &side.computed;
        job.level = c.level;
        side.status = reference ? vx::reference::convertPlane(job) : vx::core::buildPlaneWords(job);
    };
    run(mine, false);
    run(ref, true);

    auto fail = [&](const std::string &what) {
        return testing::AssertionFailure() << what << " differs (" << describe(c) << ")";
    };
    if (mine.status != ref.status)
        return fail("status " + std::to_string(mine.status) + " vs " + std::to_string(ref.status));
    if (mine.frame != ref.frame) return fail("caller's frame");
    if (mine.depth != ref.depth) return fail("prepared depth buffer");
    auto sameBounds = [](const DepthBounds &x, const DepthBounds &y) {
        return x.lo8 == y.lo8 && x.hi8 == y.hi8 && x.lo16 == y.lo16 && x.hi16 == y.hi16;
    };
    if (!sameBounds(mine.computed, ref.computed)) return fail("computed bounds");
    if (!sameBounds(mine.user, c.user)) return fail("user bounds");
    for (std::size_t i = n; i < n + 16; ++i)
        if (mine.words[i] != kSentinel) return fail("word past the frame " + std::to_string(i));
    if (mine.status == VX_OK) {
        for (std::size_t i = 0; i < n; ++i)
            if (mine.words[i] != ref.words[i]) {
                std::ostringstream s;
                s << "word " << i << " (0x" << std::hex << mine.words[i] << " vs 0x"
                  << ref.words[i] << ")";
                return fail(s.str());
            }
    } else {
        // A refused frame leaves every buffer and both bound records as they were.
        if (mine.frame != frame || mine.depth != depth) return fail("refused frame's buffers");
        if (!sameBounds(mine.computed, computedStart)) return fail("refused frame's bounds");
        for (std::size_t i = 0; i < n; ++i)
            if (mine.words[i] != kSentinel) return fail("refused frame's words");
    }
    return testing::AssertionSuccess();
}

DepthBounds randomBounds(std::mt19937 &rng) {
    return {std::uint8_t(rng()), std::uint16_t(rng()), std::uint8_t(rng()), std::uint16_t(rng())};
}

TEST(ConvertKernels, PlaneFramesMatchTheStraightforwardConversion) {
    std::mt19937 rng(20240611);
    const auto tables = depthTables(rng);
    const auto intensities = intensityTables(rng);
    const std::size_t sizes[] = {1, 2, 15, 16, 17, 31, 32, 33, 48, 1031};
    const int methods[] = {200, 201, 202, 203, 204, 199, 205};
    const Spread spreads[] = {Spread::Uniform, Spread::FewValues, Spread::AllEqual,
                              Spread::FarBackground};
    // User bounds: ordinary, reversed, both zero, the full range.
    std::vector<DepthBounds> userBounds = {randomBounds(rng), {200, 60000, 20, 100}, {}, {0, 0, 255, 65535}};
    userBounds[0].lo8 = 40, userBounds[0].hi8 = 180, userBounds[0].lo16 = 1000,
    userBounds[0].hi16 = 50000;
    int cases = 0;
    for (unsigned format = 68; format <= 75; ++format)
        for (int method : methods)
            for (KernelLevel level : levels())
                for (const auto &t : tables)
                    for (const auto &intensity : intensities)
                        for (std::size_t n : sizes)
                            for (Spread spread : spreads) {
                                const DepthBounds &u = userBounds[(cases++) % userBounds.size()];
                                const PlaneCase c{format, method, level, &t, &intensity,
                                                  n,      spread, u};
                                const auto result = sameAsReference(c, rng);
                                ASSERT_TRUE(result);
                            }
}

TEST(ConvertKernels, FullPlaneFramesMatchTheStraightforwardConversion) {
    std::mt19937 rng(7);
    const auto tables = depthTables(rng);
    const auto intensities = intensityTables(rng);
    const DepthBounds user{30, 2000, 220, 60000};
    // Every format under the measured range and under the far cut; the other two methods on
    // one format of each depth width (the small frames above cover every combination).
    for (unsigned format = 68; format <= 75; ++format)
        for (int method : {200, 201, 202, 203})
            for (KernelLevel level : levels())
                for (int t = 0; t < 2; ++t) {
                    const bool sampled = method == 201 || method == 203 || format == 70 ||
                                         format == 72;
                    if (!sampled) continue;
                    const PlaneCase c{format, method, level, &tables[t], &intensities[0],
                                      VX_PLANE_PIXELS, Spread::Uniform, user};
                    ASSERT_TRUE(sameAsReference(c, rng));
                }
}

TEST(ConvertKernels, BlockVoxelsMatchTheStraightforwardConversion) {
    std::mt19937 rng(99);
    const auto intensities = intensityTables(rng);
    for (unsigned format = 75; format <= 81; ++format)
        for (KernelLevel level : levels())
            for (const auto &intensity : intensities)
                for (std::size_t n : {std::size_t(1), std::size_t(15), std::size_t(16),
                                      std::size_t(17), std::size_t(100003)}) {
                    SCOPED_TRACE("format " + std::to_string(format) + ", " + levelName(level) +
                                 ", " + std::to_string(n) + " voxels");
                    std::vector<std::uint8_t> voxels(n * bytesOf(format));
                    for (auto &b : voxels) b = std::uint8_t(rng());
                    const auto original = voxels;
                    std::vector<std::uint32_t> mine(n + 16, kSentinel), ref(n + 16, kSentinel);
                    vx::core::buildBlockWords(format, voxels.data(), n, mine.data(),
                                              intensity.data(), level);
                    vx::reference::convertBlock(format, voxels.data(), n, ref.data(),
                                                intensity.data());
                    ASSERT_EQ(mine, ref);
                    ASSERT_EQ(voxels, original);
                }
}

// The plain kernels must stay reachable where the wide ones exist, and a request for the wide
// ones on a processor without them must not run them.
TEST(ConvertKernels, KernelLevelChoice) {
    const KernelLevel detected = vx::core::detectedKernelLevel();
    vx::core::chooseKernelLevel(KernelLevel::Baseline);
    EXPECT_EQ(vx::core::activeKernelLevel(), KernelLevel::Baseline);
    vx::core::chooseKernelLevel(KernelLevel::Wide);
    EXPECT_EQ(vx::core::activeKernelLevel(), detected);
}

} // namespace
