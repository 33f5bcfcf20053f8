// vxtool view FILE and vxtool snapshot FILE OUT.png: a file shown by the display emulator, in
// its window or rendered offscreen into a PNG file.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "vxUtil.h"
#include "vxtool.h"

namespace vxtool {

namespace {

const char *kViewOptionsHelp =
    "  --view NAME        front, right (the emulator's menu views), left, back, top, bottom\n"
    "  --camera Z,AX,AY,AZ  eye distance and the volume's turn about x, y, z in degrees\n"
    "                     (the front view is 3,0,0,0); applied after --view\n"
    "  --display MODE     normal, flat (all planes on one), individual, none\n"
    "  --planes LIST      planes shown by the individual mode, such as 0,5,19\n"
    "                     (implies --display individual)\n"
    "  --no-box           do not draw the volume's red outline\n";

const char *kViewHelp =
    "usage: vxtool view [options] FILE\n"
    "\n"
    "Shows an MVD, TGA or RAW file in the emulator window until the window is closed.\n"
    "A volume (an MVD of one or more planes, a RAW file) goes straight into the planes; a\n"
    "one-plane MVD and a TGA frame are spread over the planes by their depth. Pictures larger\n"
    "than the display (1024 x 748 x 20) show their first part; smaller ones are centred.\n"
    "\n"
    "options:\n";
const char *kViewOnlyHelp = "  --seconds S        close the window after S seconds\n";

const char *kSnapshotHelp =
    "usage: vxtool snapshot [options] FILE OUT.png\n"
    "\n"
    "Renders an MVD, TGA or RAW file with the display emulator offscreen (no window and no\n"
    "display needed) and writes the emulator's picture, 800 x 600 pixels, as a PNG file.\n"
    "\n"
    "options:\n";

// Commands of the emulator's menu that the view options run.
constexpr int kMenuLookFromFront = 40002;
constexpr int kMenuLookFromRight = 40003;
constexpr int kMenuNormalDisplay = 40004;
constexpr int kMenuIndividualDisplay = 40006;
constexpr int kMenuFlatDisplay = 40007;
constexpr int kMenuNoDisplay = 40008;
constexpr int kMenuPlane0 = 40010; // "Plane n" is 40010 + n
constexpr int kMenuBoundingBox = 40032;

struct NamedView {
    const char *name;
    int menu;                  // a menu view, or 0
    float angleX, angleY, angleZ; // otherwise the camera, from the front distance
};
const NamedView kViews[] = {
    {"front", kMenuLookFromFront, 0, 0, 0}, {"right", kMenuLookFromRight, 0, -90, 0},
    {"left", 0, 0, 90, 0},                  {"back", 0, 0, 180, 0},
    {"top", 0, 90, 0, 0},                   {"bottom", 0, -90, 0, 0},
};
constexpr float kFrontEyeZ = 3.0f;

struct NamedDisplay {
    const char *name;
    int menu;
};
const NamedDisplay kDisplays[] = {{"normal", kMenuNormalDisplay},
                                  {"flat", kMenuFlatDisplay},
                                  {"individual", kMenuIndividualDisplay},
                                  {"none", kMenuNoDisplay}};

const std::vector<std::string> kFlags = {"--no-box"};
const std::vector<std::string> kValued = {"--view", "--camera", "--display", "--planes"};

// The view options, read and checked before the emulator starts.
struct ViewOptions {
    const NamedView *view = nullptr;
    bool hasCamera = false;
    float camera[4] = {};
    const NamedDisplay *display = nullptr;
    std::vector<int> planes;
    bool noBox = false;
};

std::vector<std::string> splitCommas(const std::string &text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    if (!text.empty() && text.back() == ',') parts.push_back("");
    return parts;
}

ViewOptions readViewOptions(const Arguments &a) {
    ViewOptions o;
    if (a.has("--view")) {
        std::string name = a.value("--view");
        for (const auto &v : kViews)
            if (name == v.name) o.view = &v;
        if (!o.view) failUsage("--view " + name, "expected front, right, left, back, top or bottom");
    }
    if (a.has("--camera")) {
        auto parts = splitCommas(a.value("--camera"));
        if (parts.size() != 4)
            failUsage("--camera " + a.value("--camera"), "expected EYEZ,ANGLEX,ANGLEY,ANGLEZ");
        for (int i = 0; i < 4; ++i) o.camera[i] = parseFloat(parts[i], "--camera");
        o.hasCamera = true;
    }
    if (a.has("--display")) {
        std::string name = a.value("--display");
        for (const auto &d : kDisplays)
            if (name == d.name) o.display = &d;
        if (!o.display) failUsage("--display " + name, "expected normal, flat, individual or none");
    }
    if (a.has("--planes")) {
        for (const auto &part : splitCommas(a.value("--planes"))) {
            int plane = parseInt(part, "--planes", 0, VX_NUM_PLANES - 1);
            if (std::find(o.planes.begin(), o.planes.end(), plane) == o.planes.end())
                o.planes.push_back(plane); // each menu command toggles: run it once a plane
        }
        if (!o.display) o.display = &kDisplays[2];
    }
    o.noBox = a.has("--no-box");
    return o;
}

// What goes to the display: one frame in a data format, for a render mode and region.
struct Frame {
    unsigned format = 0;
    int mode = 0;
    int x = 0, y = 0, z = 0, width = 0, height = 0, depth = 0;
    std::vector<unsigned char> data;
};

Frame frameFor(const Picture &p, const char *command) {
    if (p.width == 0 || p.height == 0)
        fail(VX_ERR_OUT_OF_RANGE, p.path, "the picture is empty; nothing to show");
    bool block = p.kind == FileKind::Raw || p.depth > 0;
    Frame f;
    f.format = p.format;
    f.width = std::min(p.width, VX_PLANE_WIDTH);
    f.height = std::min(p.height, VX_PLANE_HEIGHT);
    f.depth = block ? std::min(p.planes(), VX_NUM_PLANES) : 1;
    // Centred in the volume.
    f.x = (VX_PLANE_WIDTH - f.width) / 2;
    f.y = (VX_PLANE_HEIGHT - f.height) / 2;
    f.z = block ? (VX_NUM_PLANES - f.depth) / 2 : 0;
    bool whole = f.width == VX_PLANE_WIDTH && f.height == VX_PLANE_HEIGHT &&
                 (!block || f.depth == VX_NUM_PLANES);
    f.mode = block ? (whole ? VX_RENDER_FULL_BLOCK : VX_RENDER_SUB_BLOCK)
                   : (whole ? VX_RENDER_FULL_PLANE : VX_RENDER_SUB_PLANE);
    if (f.width == p.width && f.height == p.height && f.depth == p.planes()) {
        f.data = p.pixels;
        return f;
    }
    std::fprintf(stderr, "vxtool: %s: %s: showing its first %d x %d x %d of %d x %d x %d\n",
                 command, p.path.c_str(), f.width, f.height, f.depth, p.width, p.height,
                 p.planes());
    f.data.resize(std::size_t(f.width) * f.height * f.depth * std::size_t(p.bytesPerPixel));
    check(vxUtilCopySubBuffer(int(p.format), p.width, p.height, p.planes(), p.pixels.data(), 0, 0,
                              0, f.width, f.height, f.depth, f.data.data()),
          p.path);
    return f;
}

void reportMessage(const char *caption, const char *text) {
    std::fprintf(stderr, "vxtool: emulator: %s: %s\n", caption ? caption : "",
                 text ? text : "");
}

// The core library with its emulator, started for one command and shut down after it.
class EmulatorSession {
public:
    EmulatorSession(bool offscreen, const Frame &frame) {
        vxEmuSetMessageHandler(reportMessage);
        if (offscreen) check(vxEmuSetOffscreen(1), "vxEmuSetOffscreen");
        check(vxInitialize(frame.width * frame.height * frame.depth), "vxInitialize");
    }
    ~EmulatorSession() {
        vxShutdown();
        vxEmuSetMessageHandler(nullptr);
    }
    EmulatorSession(const EmulatorSession &) = delete;
    EmulatorSession &operator=(const EmulatorSession &) = delete;
};

void runMenu(int id) {
    check(vxEmuRunMenuCommand(id), "menu command " + std::to_string(id));
}

void applyViewOptions(const ViewOptions &o) {
    if (o.display) runMenu(o.display->menu);
    for (int plane : o.planes) runMenu(kMenuPlane0 + plane);
    if (o.noBox) runMenu(kMenuBoundingBox);
    if (o.view && o.view->menu) runMenu(o.view->menu);
    if (o.view && !o.view->menu)
        check(vxEmuSetCamera(kFrontEyeZ, o.view->angleX, o.view->angleY, o.view->angleZ),
              "--view");
    if (o.hasCamera)
        check(vxEmuSetCamera(o.camera[0], o.camera[1], o.camera[2], o.camera[3]), "--camera");
}

void show(const Frame &f, const std::string &path) {
    check(vxSetDataFormat(f.format), path);
    check(vxRender(f.mode, f.x, f.y, f.z, f.width, f.height, f.depth, f.data.data(), nullptr),
          path);
    vxEmuUpdateDisplay(); // the picture now shows the final camera and stores
}

std::string help(const char *head, const char *extra) {
    return std::string(head) + kViewOptionsHelp + extra;
}

} // namespace

int runView(const std::vector<std::string> &args) {
    std::vector<std::string> valued = kValued;
    valued.push_back("--seconds");
    Arguments a(args, kFlags, valued);
    if (a.wantsHelp()) {
        std::fputs(help(kViewHelp, kViewOnlyHelp).c_str(), stdout);
        return kExitOk;
    }
    if (a.positional().size() != 1) failUsage("FILE", "give exactly one file");
    ViewOptions options = readViewOptions(a);
    float seconds = a.has("--seconds") ? parseFloat(a.value("--seconds"), "--seconds") : -1.0f;
    if (a.has("--seconds") && seconds < 0) failUsage("--seconds", "expected 0 or more");
    const char *display = std::getenv("DISPLAY");
    if ((!display || !*display) && seconds < 0)
        fail(VX_ERR_INVALID_ARGUMENT, "DISPLAY is not set",
             "no window can open; vxtool snapshot renders without one");

    Picture picture = loadPicture(a.positional()[0]);
    Frame frame = frameFor(picture, "view");
    EmulatorSession session(false, frame);
    applyViewOptions(options);
    show(frame, picture.path);

    auto start = std::chrono::steady_clock::now();
    while (vxEmuProcessMessages()) {
        std::chrono::duration<float> elapsed = std::chrono::steady_clock::now() - start;
        if (seconds >= 0 && elapsed.count() >= seconds) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return kExitOk;
}

int runSnapshot(const std::vector<std::string> &args) {
    Arguments a(args, kFlags, kValued);
    if (a.wantsHelp()) {
        std::fputs(help(kSnapshotHelp, "").c_str(), stdout);
        return kExitOk;
    }
    if (a.positional().size() != 2) failUsage("FILE OUT.png", "give a file and a PNG file");
    ViewOptions options = readViewOptions(a);
    const std::string &out = a.positional()[1];
    if (extensionOf(out) != ".png") fail(VX_ERR_FILE_EXTENSION, out, "expected .png");

    Picture picture = loadPicture(a.positional()[0]);
    Frame frame = frameFor(picture, "snapshot");
    EmulatorSession session(true, frame);
    applyViewOptions(options);
    show(frame, picture.path);
    check(vxEmuSaveSnapshot(out.c_str()), out);
    std::printf("wrote %s\n", out.c_str());
    return kExitOk;
}

} // namespace vxtool
