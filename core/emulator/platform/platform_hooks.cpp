// The test hooks that every platform reads.
#include "emulator/platform/platform.h"

namespace vx::emu {

namespace {
DialogObserver g_dialogObserver = nullptr;
ContextStep g_contextFailure = ContextStep::Done;
} // namespace

void setDialogObserver(DialogObserver observer) {
    g_dialogObserver = observer;
}
DialogObserver dialogObserver() {
    return g_dialogObserver;
}
void setContextFailureForTesting(ContextStep step) {
    g_contextFailure = step;
}
ContextStep contextFailureForTesting() {
    return g_contextFailure;
}

} // namespace vx::emu
