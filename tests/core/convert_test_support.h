// Helpers of the conversion suites: an initialised library with a chosen scratch capacity,
// the records that reach the command path, and what the emulated device holds.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "api/command_path.h"
#include "api/library_state.h"
#include "vx.h"

namespace convtest {

inline std::vector<vx::core::CommandRecord> &records() {
    static std::vector<vx::core::CommandRecord> r;
    return r;
}

inline void recordCommand(const vx::core::CommandRecord &r) { records().push_back(r); }

// The records as {type, the six arguments}, which is what a table of expected records holds.
inline std::vector<std::vector<int>> recordList() {
    std::vector<std::vector<int>> out;
    for (const auto &r : records())
        out.push_back({r.type, r.args[0], r.args[1], r.args[2], r.args[3], r.args[4], r.args[5]});
    return out;
}

template <typename T> T get(unsigned id) {
    T value{};
    EXPECT_EQ(vxGet(id, &value), VX_OK) << "query " << id;
    return value;
}

// One plane of a store, 1024 x 748 pixels of red, green, blue.
using Plane = std::vector<std::uint8_t>;

inline Plane readPlane(int store, int plane) {
    Plane p(std::size_t(VX_PLANE_PIXELS) * 3);
    EXPECT_EQ(vxEmuReadPlane(store, plane, p.data()), VX_OK);
    return p;
}

using Rgb = std::array<int, 3>;

inline Rgb pixelOf(const Plane &p, int x, int y) {
    const std::size_t at = (std::size_t(y) * VX_PLANE_WIDTH + x) * 3;
    return {p[at], p[at + 1], p[at + 2]};
}

// What plane `plane` of the device holds at a position where a plane word was stored (plane
// modes, the device's defaults: anti-aliased, the colour shared with the next plane by the
// fraction, a cleared store underneath).
inline Rgb deviceColour(std::uint32_t w, int plane) {
    const unsigned b0 = w & 0xFF, b1 = (w >> 8) & 0xFF;
    const int p = int(((b1 & 3) << 3) | (b0 >> 5)), f = int(b0 & 31);
    const int c[3] = {int(w >> 24), int((w >> 16) & 0xFF), int(b1 & 0xF8)};
    Rgb out{0, 0, 0};
    if (p >= VX_NUM_PLANES) return out;
    for (int i = 0; i < 3; ++i) {
        const int next = (c[i] * f) >> 5;
        if (plane == p) out[i] = c[i] - next;
        else if (plane == p + 1) out[i] = next;
    }
    return out;
}

// Checks that the front store holds exactly the full-plane frame `words`, plane by plane.
inline testing::AssertionResult frontHoldsFullPlane(const std::vector<std::uint32_t> &words) {
    for (int plane = 0; plane < VX_NUM_PLANES; ++plane) {
        const Plane p = readPlane(0, plane);
        for (int k = 0; k < VX_PLANE_PIXELS; ++k) {
            const Rgb want = deviceColour(words[k], plane);
            const Rgb got = {p[k * 3], p[k * 3 + 1], p[k * 3 + 2]};
            if (got != want)
                return testing::AssertionFailure()
                       << "plane " << plane << " pixel " << k << ": (" << got[0] << ", " << got[1]
                       << ", " << got[2] << ") instead of (" << want[0] << ", " << want[1] << ", "
                       << want[2] << ")";
        }
    }
    return testing::AssertionSuccess();
}

// Checks that the front store shows the sub-plane frame `words` (a width x height rectangle at
// x0, y0) on every plane.
inline testing::AssertionResult frontShowsRegion(const std::vector<std::uint32_t> &words, int x0,
                                                 int y0, int width, int height) {
    for (int plane = 0; plane < VX_NUM_PLANES; ++plane) {
        const Plane p = readPlane(0, plane);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb want = deviceColour(words[std::size_t(y) * width + x], plane);
                const Rgb got = pixelOf(p, x0 + x, y0 + y);
                if (got != want)
                    return testing::AssertionFailure()
                           << "plane " << plane << " at (" << x0 + x << ", " << y0 + y << "): ("
                           << got[0] << ", " << got[1] << ", " << got[2] << ") instead of ("
                           << want[0] << ", " << want[1] << ", " << want[2] << ")";
            }
    }
    return testing::AssertionSuccess();
}

// An initialised library with `capacity()` pixels of scratch buffer and the command path
// watched.
class Library : public testing::Test {
  protected:
    virtual int capacity() const { return 0; }
    void SetUp() override {
        vxEmuSetMessageHandler([](const char *, const char *) {});
        ASSERT_EQ(vxInitialize(capacity()), VX_OK);
        records().clear();
        vx::core::setCommandObserver(recordCommand);
    }
    void TearDown() override {
        vx::core::setCommandObserver(nullptr);
        vxSetCallBackFunction(nullptr);
        vxShutdown();
    }
    static vx::core::LibraryState &lib() { return vx::core::state(); }
    // The words last handed to the display.
    static std::vector<std::uint32_t> outputWords(std::size_t n) {
        return {lib().outputBuffer, lib().outputBuffer + n};
    }
};

// Frame callback that keeps a copy of what it was shown.
struct CallbackLog {
    static inline int calls = 0;
    static inline unsigned *address = nullptr;
    static inline std::vector<std::uint32_t> words;
    static inline std::size_t count = 0; // how many words to copy
    static void reset(std::size_t n) {
        calls = 0;
        address = nullptr;
        words.clear();
        count = n;
    }
    static void callback(unsigned *w) {
        ++calls;
        address = w;
        words.assign(w, w + count);
    }
};

} // namespace convtest
