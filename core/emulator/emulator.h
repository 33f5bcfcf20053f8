// The emulator's entry points that the rest of the core library calls: start-up and teardown,
// the OpenGL entry-point loader, the frame hand-off, message boxes and the context switch
// around every use of the emulator's rendering context.
#pragma once

#include "emulator/platform/platform.h"

// Starts the emulator: window, rendering context and the emulated volume. Always 0; problems
// are reported in message boxes.
int vxEmuOpenWindow();
// Closes the window and releases the emulated volume's stores. Always 0.
int vxEmuShutdown();
// Binds the OpenGL entry points once per process. 1 when ready, 0 on failure.
int vxEmuLoadGL();
// Stores one converted frame in the device (swapping when swap-on-write is on) and redraws.
// Always 0 (VX_OK).
int vxEmuPresentFrame(const unsigned int *words);

namespace vx::emu {

// Shows a message box with an OK button, or hands it to the application's message handler.
void messageBox(const char *caption, const char *text, MessageIcon icon = MessageIcon::Plain);

// Saves the calling thread's current OpenGL context pair and makes the emulator's current;
// the destructor makes the saved pair current again. Does nothing while the emulator has no
// context (or the entry points are missing).
class ContextScope {
  public:
    ContextScope();
    ~ContextScope();
    ContextScope(const ContextScope &) = delete;
    ContextScope &operator=(const ContextScope &) = delete;
    // True when the emulator's context is current inside the scope.
    bool active() const { return platform_ != nullptr; }

  private:
    SavedContext saved_;
    Platform *platform_ = nullptr;
};

} // namespace vx::emu
