// The command path: turns a display command record into one operation of the emulated volume
// device, with the emulator's OpenGL context made current around it.
#pragma once

namespace vx::core {

// A display command record: the type, then up to six arguments.
struct CommandRecord {
    int type = 0;
    int args[6] = {0, 0, 0, 0, 0, 0};
};

// Performs the record on the display backend. Always VX_OK.
unsigned sendCommand(const CommandRecord &record);

// Observer that sees every record the command path performs, in order (tests use it to check
// the records a function sends). Null removes it.
using CommandObserver = void (*)(const CommandRecord &record);
void setCommandObserver(CommandObserver observer);

} // namespace vx::core
