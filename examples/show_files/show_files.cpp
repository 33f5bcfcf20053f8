// Loading and showing MVD, TGA and RAW files with the utility library.
//
// Each file kind loads in the data format the kit gives it: an MVD volume holds plane words
// (format 75) and goes to the display as a block; a TGA image is a frame whose alpha byte is
// its depth (format 72) and goes through the depth conversion; a RAW volume holds 8-bit grey
// voxels (format 81) whose size travels in the file name, BASE-WIDTH-HEIGHT-DEPTH-GRAY8.raw.
//
//   show_files [--offscreen] [FILE...]
//
// Without files it first writes one small file of each kind into the current folder. Each
// file is shown in turn and its picture written to show_files-N.png. Without a display
// (DISPLAY unset) or with --offscreen the emulator renders offscreen; with a window each file
// stays up for three seconds, or until the window is closed.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <vx.h>
#include <vxUtil.h>

static bool ok(unsigned status, const std::string &what) {
    if (status == VX_OK) return true;
    char text[64];
    vxUtilErrorString(status, sizeof text, text);
    std::fprintf(stderr, "show_files: %s: %s\n", what.c_str(), text);
    return false;
}

static bool endsWith(const std::string &s, const char *end) {
    std::size_t n = std::strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// One small file of each kind; returns their names.
static std::vector<std::string> writeSamples() {
    std::vector<std::string> names;
    const int n = 128;

    // MVD: a volume of plane words, red rising to the right, green downwards, blue backwards.
    std::vector<unsigned> words(std::size_t(n) * n * VX_NUM_PLANES);
    for (int z = 0; z < VX_NUM_PLANES; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if ((x / 16 + y / 16 + z) % 4 == 0) // a pattern of cubes
                    words[(std::size_t(z) * n + y) * n + x] =
                        unsigned(x * 2) << 24 | unsigned(y * 2) << 16 | unsigned(z * 12) << 8;
    if (ok(vxUtilSaveMVDFile("sample.mvd", MVD_COLOR15_RLE, n, n, VX_NUM_PLANES, words.data(),
                             "cubes"),
           "sample.mvd"))
        names.push_back("sample.mvd");

    // TGA: a frame of format 72, red, green, blue and an 8-bit depth rising from left to right.
    std::vector<unsigned char> frame(std::size_t(n) * n * 4);
    for (int i = 0; i < n * n; ++i) {
        unsigned char *p = &frame[std::size_t(i) * 4];
        p[0] = 255, p[1] = (unsigned char)(i / n * 2), p[2] = 64, p[3] = (unsigned char)(i % n * 2);
    }
    const unsigned short unused = 0; // format 72 carries its depth in the pixel
    if (ok(vxUtilSaveBufferAsTGA("sample.tga", n, n, VX_FORMAT_RGBZ, frame.data(), &unused,
                                 "a slope"),
           "sample.tga"))
        names.push_back("sample.tga");

    // RAW: grey voxels of a ball; the writer puts the size into the name.
    std::vector<unsigned char> grey(std::size_t(n) * n * VX_NUM_PLANES, 0);
    for (int z = 0; z < VX_NUM_PLANES; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                double dx = x - n / 2.0, dy = y - n / 2.0, dz = (z - 9.5) * n / 20.0;
                double r = std::sqrt(dx * dx + dy * dy + dz * dz) / (n / 2.0);
                if (r < 1.0) grey[(std::size_t(z) * n + y) * n + x] = (unsigned char)(255 * (1 - r));
            }
    char name[256];
    if (ok(vxUtilSaveRAW("sample", 0, n, n, VX_NUM_PLANES, grey.data(), sizeof name, name),
           "sample RAW"))
        names.push_back(name);
    return names;
}

// Loads one file and renders it at the top left front of the volume.
static bool show(const std::string &path) {
    if (endsWith(path, ".mvd")) {
        VXbuffer b;
        vxUtilInitializeVXbuffer(&b);
        bool done = ok(vxUtilLoadMVDFile(path.c_str(), &b), path) &&
                    ok(vxSetDataFormat(VX_FORMAT_MVD32), "vxSetDataFormat") &&
                    // A volume goes into its planes as it is; a single plane (depth 0) is a
                    // frame whose words carry their own plane.
                    ok(b.depth > 0 ? vxUtilRenderSubBlock(0, 0, 0, b.width, b.height, b.depth, b.data)
                                   : vxUtilRenderSubPlane(0, 0, b.width, b.height, b.data, nullptr),
                       path);
        vxUtilFreeVXbuffer(&b);
        return done;
    }
    if (endsWith(path, ".tga")) {
        VXbuffer b;
        vxUtilInitializeVXbuffer(&b);
        int reason = 0;
        bool done = ok(vxUtilLoadTGA(path.c_str(), VX_FORMAT_RGBZ, &b, &reason), path) &&
                    ok(vxSetDataFormat(VX_FORMAT_RGBZ), "vxSetDataFormat") &&
                    ok(vxUtilRenderSubPlane(0, 0, b.width, b.height, b.data, nullptr), path);
        vxUtilFreeVXbuffer(&b);
        return done;
    }
    if (endsWith(path, ".raw")) {
        // The size comes from the name; only the part after the last folder is taken apart.
        std::size_t slash = path.rfind('/');
        std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
        int format = 0, w = 0, h = 0, d = 0;
        if (!ok(vxUtilParseRAWFilename(file.c_str(), &format, &w, &h, &d, nullptr), path))
            return false;
        if (format != VX_FORMAT_GRAY8) return ok(VX_ERR_INVALID_FORMAT, path);
        std::vector<unsigned char> grey(std::size_t(w) * h * (d > 0 ? d : 1));
        return ok(vxUtilLoadRAW(path.c_str(), 0, w, h, d, grey.data()), path) &&
               ok(vxSetDataFormat(VX_FORMAT_GRAY8), "vxSetDataFormat") &&
               ok(vxUtilRenderSubBlock(0, 0, 0, w, h, d > 0 ? d : 1, grey.data()), path);
    }
    return ok(VX_ERR_FILE_EXTENSION, path);
}

int main(int argc, char **argv) {
    bool offscreen = !std::getenv("DISPLAY") || !*std::getenv("DISPLAY");
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--offscreen") == 0) offscreen = true;
        else files.push_back(argv[i]);
    }
    if (files.empty()) files = writeSamples();

    if (offscreen && !ok(vxEmuSetOffscreen(1), "vxEmuSetOffscreen")) return 1;
    if (!ok(vxInitialize(VX_VOLUME_PIXELS), "vxInitialize")) return 1;
    vxEmuSetCamera(3.0f, 15.0f, -30.0f, 0.0f);

    int failed = 0;
    bool closed = false; // the user closed the window: stop showing
    for (std::size_t i = 0; i < files.size() && !closed; ++i) {
        vxClear(); // nothing of the previous file stays in the planes
        std::string png = "show_files-" + std::to_string(i + 1) + ".png";
        if (!show(files[i]) || !ok(vxEmuSaveSnapshot(png.c_str()), png)) {
            ++failed;
            continue;
        }
        std::printf("%s -> %s\n", files[i].c_str(), png.c_str());
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!offscreen && std::chrono::steady_clock::now() < until) {
            if (!vxEmuProcessMessages()) {
                closed = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    vxShutdown();
    return failed ? 1 : 0;
}
