// Emulator start-up and teardown without a window: the emulated volume is created directly so
// that every display command and frame reaches a real device. The window and its rendering
// context replace this when the platform layer is built.
#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"

#include "vx.h"

#include <cstdio>

int vxEmuLoadGL() { return 1; }

int vxEmuOpenWindow() {
    vx::emu::volume().create();
    return 0;
}

int vxEmuShutdown() {
    vxEmuLoadGL();
    vx::emu::volume().destroy();
    return 0;
}

int vxEmuPresentFrame(const unsigned int *words) {
    vxEmuLoadGL();
    vx::emu::volume().write(words);
    return 0;
}

unsigned int vxEmuUpdateDisplay() { return 0; }

namespace {
void (*g_messageHandler)(const char *, const char *) = nullptr;
} // namespace

extern "C" VX_API void vxEmuSetMessageHandler(void (*handler)(const char *, const char *)) {
    g_messageHandler = handler;
}

namespace vx::emu {
void messageBox(const char *caption, const char *text) {
    if (g_messageHandler) g_messageHandler(caption, text);
    else std::fprintf(stderr, "%s: %s\n", caption, text);
}
ContextScope::ContextScope() = default;
ContextScope::~ContextScope() = default;
} // namespace vx::emu
