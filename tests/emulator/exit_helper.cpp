// Helper process of the "Exit" test: starts the library, then chooses "Exit" through the
// window's menu ("menu") or hands the command to the menu handler ("command"). Prints what it
// reached; exit handlers print too, so the test sees that the normal exit path ran.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emulator/window.h"
#include "vx.h"

int main(int argc, char **argv) {
    vxEmuSetMessageHandler([](const char *, const char *) {});
    if (vxInitialize(0) != VX_OK) return 2;
    std::atexit([] { std::fputs("exit handlers ran\n", stdout); });
    std::fputs("started\n", stdout);
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "menu") == 0) {
        vx::emu::Platform *p = vx::emu::activePlatform();
        if (!p || !p->chooseMenuItem(vx::emu::kMenuExit)) return 4;
    } else {
        vxEmuMenuCommand(vx::emu::kMenuExit, 0);
    }
    std::fputs("still running\n", stdout);
    return 3;
}
