// The emulator window's logic, written once for every platform: start-up and teardown, the
// window procedure, the menu command handler and the state they share.
#pragma once

#include "emulator/platform/platform.h"

// Closes the window (and its context) of the current start-up, if any.
void vxEmuDestroyWindow();
// The window procedure: every message of the emulator window arrives here.
long vxEmuWndProc(vx::emu::WindowMessage message, long a, long b);
// Performs a menu command. 1 when the id is one of the menu's, 0 otherwise.
int vxEmuMenuCommand(int id, int notification);

namespace vx::emu {

// The platform of the running emulator (null before the first start-up and after teardown).
Platform *activePlatform();
// True once the user has asked to close the window (until the next start-up).
bool quitRequested();
// Whether the next start-up runs offscreen even when a display exists.
void setOffscreenRequested(bool on);
bool offscreenRequested();
// The display-mode item that carries the check mark.
int displayMenuItem();

// Test hook: sees every menu command id that vxEmuMenuCommand receives. Null removes it.
using MenuCommandObserver = void (*)(int id);
void setMenuCommandObserver(MenuCommandObserver observer);

// The application's message handler (null: message boxes).
using MessageHandler = void (*)(const char *caption, const char *text);
void setMessageHandler(MessageHandler handler);

} // namespace vx::emu
