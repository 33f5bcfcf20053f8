// Helper process of the emulator tests, for what a test cannot do in its own process:
//   menu       starts the library and chooses "Exit" through the window's menu
//   command    starts the library and hands "Exit" to the menu handler
//   placement  starts the library and prints its window's x, y, width and height
// It prints what it reached; exit handlers print too, so a test sees that the normal exit
// path ran.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emulator/window.h"
#include "vx.h"
#include "x11_test_support.h"

int main(int argc, char **argv) {
    const char *mode = argc > 1 ? argv[1] : "";
    vxEmuSetMessageHandler([](const char *, const char *) {});
    if (vxInitialize(0) != VX_OK) return 2;
    if (std::strcmp(mode, "placement") == 0) {
        emutest::XConnection x;
        const Window w = x.get() ? x.findOwn("Voxtera Emulator") : 0;
        XWindowAttributes a{};
        if (!w || !XGetWindowAttributes(x.get(), w, &a)) return 5;
        std::printf("%d %d %d %d\n", a.x, a.y, a.width, a.height);
        vxShutdown();
        return 0;
    }
    std::atexit([] { std::fputs("exit handlers ran\n", stdout); });
    std::fputs("started\n", stdout);
    std::fflush(stdout);
    if (std::strcmp(mode, "menu") == 0) {
        vx::emu::Platform *p = vx::emu::activePlatform();
        if (!p || !p->chooseMenuItem(vx::emu::kMenuExit)) return 4;
    } else {
        vxEmuMenuCommand(vx::emu::kMenuExit, 0);
    }
    std::fputs("still running\n", stdout);
    return 3;
}
