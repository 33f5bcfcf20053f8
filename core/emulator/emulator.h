// The emulator's entry points that the rest of the core library calls: start-up and teardown,
// the OpenGL entry-point loader, the frame hand-off and the context switch around every use of
// the emulator's rendering context.
#pragma once

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

// Shows a message box with an OK button (or hands it to the application's message handler).
void messageBox(const char *caption, const char *text);

// Saves the calling thread's current OpenGL context pair and makes the emulator's current;
// the destructor makes the saved pair current again.
class ContextScope {
  public:
    ContextScope();
    ~ContextScope();
    ContextScope(const ContextScope &) = delete;
    ContextScope &operator=(const ContextScope &) = delete;

  private:
    void *savedDisplay_ = nullptr;
    void *savedDrawable_ = nullptr;
    void *savedContext_ = nullptr;
    bool switched_ = false;
};

} // namespace vx::emu
