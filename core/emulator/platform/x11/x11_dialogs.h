// The modal dialogs and message boxes of the emulator on X11, built with FLTK from the
// emulator's dialog tables.
#pragma once

#include <FL/Fl_Window.H>

#include "emulator/platform/platform.h"

namespace vx::emu::x11 {

// Shows the dialog over `owner` (may be null) and returns once it is closed.
void runDialog(const DialogResource &dialog, Fl_Window *owner);

// A modal message box with an OK button.
void showMessageBox(const char *caption, const char *text, MessageIcon icon);

} // namespace vx::emu::x11
