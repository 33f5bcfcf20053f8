// The command path: every display command record becomes one operation of the emulated
// volume device, performed with the emulator's rendering context current and the caller's
// context restored afterwards.
#include "api/command_path.h"

#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"
#include "vx.h"

namespace vx::core {

namespace {
CommandObserver g_observer = nullptr;
} // namespace

void setCommandObserver(CommandObserver observer) { g_observer = observer; }

unsigned sendCommand(const CommandRecord &r) {
    if (g_observer) g_observer(r);
    vxEmuLoadGL();
    emu::ContextScope scope; // does nothing when the entry points or the window are missing
    emu::EmulatedVolume &dev = emu::volume();
    const int *a = r.args;
    switch (r.type) {
    case VX_CMD_RESET: dev.execute(VX_DEVOP_NOP, 0, 0, 0, 0, 0, 0); break;
    case VX_CMD_SET_CLEAR_ON_SWAP: dev.execute(VX_DEVOP_CLEAR_ON_SWAP, a[0], 0, 0, 0, 0, 0); break;
    case VX_CMD_SET_SWAP_ON_WRITE: dev.execute(VX_DEVOP_SWAP_ON_WRITE, a[0], 0, 0, 0, 0, 0); break;
    case VX_CMD_SWAP:
        dev.execute(VX_DEVOP_SWAP, 0, 0, 0, 0, 0, 0);
        vxEmuUpdateDisplay();
        break;
    case VX_CMD_FULL_PLANE: dev.execute(VX_DEVOP_FULL_PLANE, 0, 0, 0, 0, 0, 0); break;
    case VX_CMD_SUB_PLANE: dev.execute(VX_DEVOP_SUB_PLANE, a[0], a[1], 0, a[2], a[3], 0); break;
    case VX_CMD_FULL_BLOCK: dev.execute(VX_DEVOP_FULL_BLOCK, 0, 0, 0, 0, 0, 0); break;
    case VX_CMD_SUB_BLOCK: dev.execute(VX_DEVOP_SUB_BLOCK, a[0], a[1], a[2], a[3], a[4], a[5]); break;
    default: break; // no operation
    }
    return VX_OK;
}

} // namespace vx::core
