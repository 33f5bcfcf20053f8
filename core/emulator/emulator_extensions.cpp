// The emulator's functions for applications and tools beyond the display interface: the
// message loop step, snapshots, the message handler, menu commands, the camera and the choice
// of running offscreen.
#include <new>
#include <vector>

#include "api/library_state.h"
#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"
#include "emulator/png_writer.h"
#include "emulator/presentation.h"
#include "emulator/resources.h"
#include "emulator/window.h"
#include "vx.h"

namespace {

bool initialised() {
    return vx::core::state().initialized != 0;
}

} // namespace

extern "C" {

VX_API int vxEmuProcessMessages(void) {
    if (!initialised()) return 0;
    if (vx::emu::Platform *p = vx::emu::activePlatform()) p->processEvents();
    return vx::emu::quitRequested() ? 0 : 1;
}

VX_API unsigned int vxEmuSaveSnapshot(const char *path) {
    if (!initialised()) return VX_ERR_UNKNOWN;
    if (!path) return VX_ERR_INVALID_ARGUMENT;
    try {
        std::vector<std::uint8_t> rgb;
        int width = 0, height = 0;
        if (!vx::emu::readPicture(rgb, width, height)) return VX_ERR_UNKNOWN;
        return vx::emu::writePng(path, rgb.data(), width, height);
    } catch (const std::bad_alloc &) {
        return VX_ERR_NO_MEMORY;
    }
}

VX_API void vxEmuSetMessageHandler(void (*handler)(const char *caption, const char *text)) {
    vx::emu::setMessageHandler(handler);
}

VX_API unsigned int vxEmuRunMenuCommand(int id) {
    if (!initialised()) return VX_ERR_UNKNOWN;
    // "Exit" would end the caller's process.
    if (id == vx::emu::kMenuExit || !vx::emu::findMenuItem(id)) return VX_ERR_INVALID_ARGUMENT;
    vx::emu::Platform *p = vx::emu::activePlatform();
    // Through the menu itself where there is one, so that it sees the command as chosen.
    if (!p || !p->chooseMenuItem(id)) vxEmuWndProc(vx::emu::WindowMessage::Command, id, 0);
    return VX_OK;
}

VX_API unsigned int vxEmuSetCamera(float eyeZ, float angleX, float angleY, float angleZ) {
    if (!initialised()) return VX_ERR_UNKNOWN;
    vx::emu::Camera &c = vx::emu::camera();
    c.eyeX = 0.0f;
    c.eyeY = 0.25f;
    c.eyeZ = eyeZ;
    c.angleX = angleX;
    c.angleY = angleY;
    c.angleZ = angleZ;
    return VX_OK;
}

VX_API unsigned int vxEmuSetOffscreen(int on) {
    if (initialised()) return VX_ERR_ALREADY_INITIALIZED;
    vx::emu::setOffscreenRequested(on != 0);
    return VX_OK;
}

} // extern "C"
