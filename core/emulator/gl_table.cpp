// vxEmuLoadGL: opens the system OpenGL library and resolves every entry of the table, once per
// process. Until one attempt resolves all of them, every call tries again from the start and
// reports its failure again.
#include "emulator/gl_table.h"

#include <dlfcn.h>

#include <cstdio>

#include "emulator/emulator.h"

namespace vx::emu {

namespace {

static_assert(glEntryIndex("glAccum") == 0);
static_assert(glEntryIndex("glViewport") == kGLNameCount - 1);
static_assert(glEntryIndex("glXChooseFBConfig") == kGLNameCount);
static_assert(glEntryIndex("glXWaitX") == kEntryCount - 1);

// The system OpenGL library by its registered name; the dynamic loader takes it from the
// system's library directories.
constexpr const char *kSystemGLLibrary = "libGL.so.1";

int glLoadPending = 1;
void *glLibrary = nullptr;
const char *glLibraryName = kSystemGLLibrary;

} // namespace

void *glEntryPoints[kEntryCount] = {};

bool glTableLoaded() {
    return glLoadPending == 0;
}

void setGLLibraryName(const char *name) {
    glLibraryName = name ? name : kSystemGLLibrary;
}

} // namespace vx::emu

int vxEmuLoadGL() {
    using namespace vx::emu;
    if (glLoadPending == 0) return 1;
    glLibrary = dlopen(glLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!glLibrary) {
        messageBox("Error", "Couldn't find OpenGL driver", MessageIcon::Error);
        return 0;
    }
    for (int i = 0; i < kEntryCount; ++i) {
        void *address = dlsym(glLibrary, glEntryNames[i]);
        if (!address) {
            char message[128];
            std::snprintf(message, sizeof message, "Couldn't GetProcAddress for %s\n",
                          glEntryNames[i]);
            messageBox("Error", message, MessageIcon::Error);
            return 0;
        }
        glEntryPoints[i] = address;
    }
    glLoadPending = 0;
    return 1;
}
