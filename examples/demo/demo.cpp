// The kit's demo: an OpenGL application with its own context renders an animated, lit scene,
// reads back colour and depth, and hands each frame to the kit as format 70 (R, G, B, unused
// with a 16-bit depth buffer), with depth linearised from its own near and far planes. That
// is all it takes to bring an existing OpenGL program to the volumetric display.
//
// With an X display the volume is shown in the emulator window until the window is closed;
// without one (or with --offscreen) the demo runs offscreen for a few seconds and writes PNG
// snapshots of the emulator's picture into a folder.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app_context.h"
#include "scene.h"
#include "vx.h"

namespace {

struct Options {
    bool offscreen = false;
    double seconds = 0; // 0: until the window is closed (offscreen: 4 seconds)
    std::string outDir = "demo-snapshots";
};

void usage() {
    std::puts("usage: vx_demo [--offscreen] [--seconds S] [--out DIR]\n"
              "  --offscreen  run without a window even when a display exists\n"
              "  --seconds S  stop after S seconds (offscreen default 4)\n"
              "  --out DIR    folder for the offscreen snapshots (default demo-snapshots)");
}

bool parse(int argc, char **argv, Options &o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--offscreen") o.offscreen = true;
        else if (a == "--seconds" && i + 1 < argc) o.seconds = std::atof(argv[++i]);
        else if (a == "--out" && i + 1 < argc) o.outDir = argv[++i];
        else if (a == "--help" || a == "-h") return usage(), std::exit(0), true;
        else return std::fprintf(stderr, "vx_demo: unknown option %s\n", a.c_str()), usage(), false;
    }
    return true;
}

// The kit must hand the application its own context back after every call.
void checkContext(const AppContext &ctx, const char *call) {
    if (!ctx.isCurrent()) {
        std::fprintf(stderr, "vx_demo: the application's context was not current after %s\n", call);
        std::exit(1);
    }
}

bool failed(unsigned status, const char *call) {
    if (status == VX_OK) return false;
    std::fprintf(stderr, "vx_demo: %s failed with status %u\n", call, status);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    Options opt;
    if (!parse(argc, argv, opt)) return 2;

    const char *display = std::getenv("DISPLAY");
    bool windowed = !opt.offscreen && display && *display;
    std::unique_ptr<AppContext> ctx;
    if (windowed) ctx = createGlxContext(VX_PLANE_WIDTH, VX_PLANE_HEIGHT);
    if (!ctx) {
        windowed = false;
        ctx = createEglContext(VX_PLANE_WIDTH, VX_PLANE_HEIGHT);
    }
    if (!ctx) {
        std::fprintf(stderr, "vx_demo: could not create an OpenGL context of its own\n");
        return 1;
    }
    if (!windowed) {
        vxEmuSetOffscreen(1);
        if (opt.seconds <= 0) opt.seconds = 4;
    }
    std::printf("vx_demo: rendering with its own %s context, emulator %s\n", ctx->name(),
                windowed ? "in a window (close it to quit)" : "offscreen");

    if (failed(vxInitialize(0), "vxInitialize")) return 1;
    checkContext(*ctx, "vxInitialize");

    // Frames of colour plus 16-bit window depth, linearised between the scene's own planes.
    // Method 202 spreads the scene between its nearest and farthest surface: the background,
    // at the far plane, is moved onto the farthest surface and stays black.
    if (failed(vxSetDataFormat(VX_FORMAT_RGBX_Z16), "vxSetDataFormat") ||
        failed(vxSetNearFarClipPlanes(Scene::kNear, Scene::kFar), "vxSetNearFarClipPlanes") ||
        failed(vxSetFlag(VX_FLAG_LINEARIZE_DEPTH, 1), "vxSetFlag") ||
        failed(vxSetMaxDepthFunc(VX_DEPTHFUNC_SCAN, VX_DEPTHFUNC_SKIP_EXTREME, VX_DEPTHFUNC_NONE),
               "vxSetMaxDepthFunc") ||
        failed(vxSetRenderMode(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0), "vxSetRenderMode"))
        return vxShutdown(), 1;
    // Look at the volume a little from the side, so that its depth shows.
    vxEmuSetCamera(4.0f, 15.0f, -30.0f, 0.0f);
    checkContext(*ctx, "the settings");

    if (!windowed) std::filesystem::create_directories(opt.outDir);
    Scene scene(VX_PLANE_WIDTH, VX_PLANE_HEIGHT);
    SceneFrame frame;
    const auto start = std::chrono::steady_clock::now();
    int frames = 0, snapshots = 0;
    double nextSnapshot = 0.5;
    for (;;) {
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (opt.seconds > 0 && t >= opt.seconds) break;
        scene.render(t, frame);
        if (failed(vxRenderBuffer(frame.rgbx.data(), frame.depth.data()), "vxRenderBuffer")) break;
        checkContext(*ctx, "vxRenderBuffer");
        ++frames;
        if (windowed) {
            if (!vxEmuProcessMessages()) break;
            checkContext(*ctx, "vxEmuProcessMessages");
        } else if (t >= nextSnapshot) {
            char path[512];
            std::snprintf(path, sizeof path, "%s/frame-%02d.png", opt.outDir.c_str(), snapshots);
            if (!failed(vxEmuSaveSnapshot(path), "vxEmuSaveSnapshot")) {
                std::printf("vx_demo: wrote %s\n", path);
                ++snapshots;
            }
            checkContext(*ctx, "vxEmuSaveSnapshot");
            nextSnapshot += 1.0;
        }
    }
    vxShutdown();
    checkContext(*ctx, "vxShutdown");
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("vx_demo: %d frames in %.1f s", frames, secs);
    if (!windowed)
        std::printf(", %d snapshots in %s", snapshots,
                    std::filesystem::absolute(opt.outDir).string().c_str());
    std::printf("\n");
    return 0;
}
