// Shared pieces of the emulator suites: the message log that every test installs (a modal box
// under a test X server would wait forever), an initialised-library fixture, scenes written
// through the public interface, and an independent model of the picture that the emulator
// should draw for the front store, to compare chosen pixels against.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "emulator/emulated_volume.h"
#include "emulator/presentation.h"
#include "emulator/window.h"
#include "vx.h"

namespace emutest {

// Every message box of the emulator, as "caption|text".
inline std::vector<std::string> &messages() {
    static std::vector<std::string> log;
    return log;
}

inline void logMessage(const char *caption, const char *text) {
    messages().push_back(std::string(caption) + "|" + text);
}

inline bool haveDisplay() {
    const char *d = std::getenv("DISPLAY");
    return d && *d;
}

// An initialised library with the message log installed.
class Emulator : public ::testing::Test {
  protected:
    void SetUp() override {
        messages().clear();
        vxEmuSetMessageHandler(logMessage);
        ASSERT_EQ(vxInitialize(0), VX_OK);
        ASSERT_NE(vx::emu::activePlatform(), nullptr);
        ASSERT_EQ(vx::emu::activePlatform()->offscreen(), !haveDisplay());
        ASSERT_TRUE(vx::emu::activePlatform()->hasContext());
    }
    void TearDown() override {
        vxShutdown();
        vxEmuSetMessageHandler(nullptr);
    }
};

// A coloured block on one plane: rows y0..y1 and columns x0..x1 of the application's image.
struct Block {
    int plane;
    int x0, y0, x1, y1;
    unsigned r, g, b;
};

// Writes the blocks into the back store (through the sub-block render mode, one block a
// frame, swap-on-write off) and shows them with one swap.
inline void showBlocks(const std::vector<Block> &blocks) {
    ASSERT_EQ(vxSetFlag(VX_FLAG_SWAP_ON_WRITE, 0), VX_OK);
    ASSERT_EQ(vxSetDataFormat(VX_FORMAT_MVD32), VX_OK);
    for (const Block &k : blocks) {
        const int w = k.x1 - k.x0 + 1, h = k.y1 - k.y0 + 1;
        std::vector<std::uint32_t> words(std::size_t(w) * h, (k.r << 24) | (k.g << 16) | (k.b << 8));
        ASSERT_EQ(vxRender(VX_RENDER_SUB_BLOCK, k.x0, k.y0, k.plane, w, h, 1, words.data(), nullptr),
                  VX_OK);
    }
    ASSERT_EQ(vxSwapBuffers(), VX_OK);
}

// The test scene: planes of different colours, some covering part of the image.
inline std::vector<Block> testScene() {
    return {{0, 0, 0, 1023, 747, 200, 0, 0},
            {5, 0, 0, 511, 747, 0, 150, 0},
            {12, 0, 300, 1023, 747, 0, 0, 180},
            {19, 0, 0, 1023, 747, 60, 60, 60}};
}

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const Rgb &c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The emulator's last picture, rows top to bottom.
struct Picture {
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
    // Pixel x of row y counted from the bottom, as OpenGL counts.
    Rgb at(int x, int yFromBottom) const {
        const std::uint8_t *p = rgb.data() + (std::size_t(height - 1 - yFromBottom) * width + x) * 3;
        return {p[0], p[1], p[2]};
    }
};

inline Picture readPicture() {
    Picture pic;
    EXPECT_TRUE(vx::emu::readPicture(pic.rgb, pic.width, pic.height));
    return pic;
}

// A model of the picture for the current camera (no rotation), projection, display mode and
// front store: each drawn plane is a square at its depth whose texture rows are the plane
// buffer's rows, added up and clamped. Pixels too close to a square's edge or a texel border
// to be sure of are reported as unknown.
class PictureModel {
  public:
    PictureModel(int width, int height) : width_(width), height_(height) {}

    // False when the pixel cannot be predicted exactly.
    bool predict(int px, int py, Rgb &out) const {
        const vx::emu::Camera &c = vx::emu::camera();
        const vx::emu::EmulatedVolume &dev = vx::emu::volume();
        int sum[3] = {0, 0, 0};
        for (int i = 0; i < 20; ++i) {
            bool drawn = false;
            float z = -0.1f * float(i);
            switch (dev.displayMode()) {
            case VX_EMU_DISPLAY_NORMAL: drawn = true; break;
            case VX_EMU_DISPLAY_FLAT: drawn = true, z = 0; break;
            case VX_EMU_DISPLAY_INDIVIDUAL: drawn = dev.planeChosen(i); break;
            default: break;
            }
            if (!drawn) continue;
            const double depth = double(c.eyeZ) - z;
            double x, y;
            if (c.perspective) {
                const double f = 1.0 / std::tan(15.0 * M_PI / 180.0);
                const double aspect = double(width_) / height_;
                const double nx = (px + 0.5) / width_ * 2 - 1, ny = (py + 0.5) / height_ * 2 - 1;
                x = nx * aspect * depth / f;
                y = ny * depth / f + 0.25;
            } else {
                x = px + 0.5;
                y = py + 0.5 + 0.25;
            }
            // Inside the square, and clear of its edges.
            const double edge = c.perspective ? 0.01 : 0.001;
            if (std::fabs(std::fabs(x) - 1) < edge || std::fabs(std::fabs(y) - 1) < edge) return false;
            if (std::fabs(x) > 1 || std::fabs(y) > 1) continue;
            // The texel, which must be the same just either side of the sampling point.
            const double s = (x + 1) / 2 * 1024, t = (1 - y) / 2 * 1024;
            const Rgb a = texel(i, s - 0.02, t - 0.02), b = texel(i, s + 0.02, t + 0.02);
            const Rgb a2 = texel(i, s - 0.02, t + 0.02), b2 = texel(i, s + 0.02, t - 0.02);
            if (!(a == b) || !(a == a2) || !(a == b2)) return false;
            sum[0] += a.r, sum[1] += a.g, sum[2] += a.b;
        }
        out = {std::min(sum[0], 255), std::min(sum[1], 255), std::min(sum[2], 255)};
        return true;
    }

  private:
    static Rgb texel(int plane, double s, double t) {
        const int col = int(std::floor(s)), row = int(std::floor(t));
        if (col < 0 || col > 1023 || row < 0 || row >= 768) return {};
        const std::uint8_t *b = vx::emu::volume().planeBuffer(0, plane);
        if (!b) return {};
        const std::uint8_t *p = b + std::size_t(row) * 3072 + std::size_t(col) * 3;
        return {p[0], p[1], p[2]};
    }

    int width_, height_;
};

// Compares the picture with the model on a grid of pixels; returns how many were compared.
inline int expectPictureMatchesModel(const Picture &pic, int step = 23) {
    PictureModel model(pic.width, pic.height);
    int compared = 0, wrong = 0;
    for (int y = 1; y < pic.height; y += step)
        for (int x = 2; x < pic.width; x += step) {
            Rgb want;
            if (!model.predict(x, y, want)) continue;
            ++compared;
            if (!(pic.at(x, y) == want) && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << pic.at(x, y) << " instead of "
                              << want;
        }
    return compared;
}

// The window position of a point of the volume for the current camera (no rotation,
// perspective), or false when the point is behind the eye.
inline bool project(double x, double y, double z, int width, int height, double &px, double &py) {
    const vx::emu::Camera &c = vx::emu::camera();
    const double depth = double(c.eyeZ) - z;
    if (depth <= 0) return false;
    const double f = 1.0 / std::tan(15.0 * M_PI / 180.0);
    const double aspect = double(width) / height;
    px = (f / aspect * x / depth + 1) / 2 * width;
    py = (f * (y - 0.25) / depth + 1) / 2 * height;
    return true;
}

} // namespace emutest
