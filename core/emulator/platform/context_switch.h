// Saving and restoring the calling thread's current OpenGL context, whether GLX or EGL made
// it current: both platforms use this around every switch to the emulator's own context, so
// that an application's context of either kind is current again afterwards.
#pragma once

#include "emulator/platform/platform.h"

namespace vx::emu::context {

// Records the current GLX context (when the entry-point table is loaded) and EGL context.
void save(SavedContext &saved);
// Makes nothing current through GLX (the table's entries) or EGL, whichever holds the
// saved context, so that the other interface may make its own current.
void releaseGLX(const SavedContext &saved);
void releaseEGL(const SavedContext &saved);
// Makes the saved pair current again (nothing happens for a part that was empty).
void restoreGLX(const SavedContext &saved);
void restoreEGL(const SavedContext &saved);

} // namespace vx::emu::context
