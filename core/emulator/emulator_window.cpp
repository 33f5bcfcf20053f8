// vxEmuOpenWindow, vxEmuShutdown, vxEmuDestroyWindow, the window procedure and the menu
// command handler, and where message boxes go.
#include "emulator/window.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"
#include "emulator/gl_table.h"
#include "emulator/presentation.h"
#include "vx.h"

namespace vx::emu {

namespace {

constexpr const char *kWindowClass = "VXEmulator";
constexpr const char *kWindowTitle = "Voxtera Emulator";

Platform *g_platform = nullptr;
void *g_module = nullptr;
int g_displayMenuItem = kMenuNormalDisplay;
bool g_quitRequested = false;
bool g_offscreenRequested = false;
MenuCommandObserver g_menuObserver = nullptr;
MessageHandler g_messageHandler = nullptr;

// The platform that shows message boxes now: the running one, else the screen if there is
// one (and offscreen was not asked for), else standard error.
Platform &messagePlatform() {
    if (g_platform) return *g_platform;
    if (!g_offscreenRequested)
        if (Platform *p = x11Platform()) return *p;
    return offscreenPlatform();
}

const char *contextStepText(ContextStep step) {
    switch (step) {
    case ContextStep::DeviceContext:
        return "Can't Create A GL Device Context.";
    case ContextStep::PixelFormat:
        return "Can't Find A Suitable PixelFormat.";
    case ContextStep::SetPixelFormat:
        return "Can't Set The PixelFormat.";
    case ContextStep::CreateContext:
        return "Can't Create A GL Rendering Context.";
    case ContextStep::MakeCurrent:
        return "Can't Activate The GL Rendering Context.";
    case ContextStep::Done:
        break;
    }
    return "";
}

void checkItem(int id, bool checked) {
    if (g_platform) g_platform->checkMenuItem(id, checked);
}

// Flips a flag and the item's check mark together.
template <typename Get, typename Set> void toggle(int id, Get get, Set set) {
    const bool on = !get();
    set(on);
    checkItem(id, on);
}

} // namespace

void messageBox(const char *caption, const char *text, MessageIcon icon) {
    if (g_messageHandler)
        g_messageHandler(caption, text);
    else
        messagePlatform().messageBox(caption, text, icon);
}

Platform *activePlatform() {
    return g_platform;
}
bool quitRequested() {
    return g_quitRequested;
}
void setOffscreenRequested(bool on) {
    g_offscreenRequested = on;
}
bool offscreenRequested() {
    return g_offscreenRequested;
}
int displayMenuItem() {
    return g_displayMenuItem;
}
void setMenuCommandObserver(MenuCommandObserver observer) {
    g_menuObserver = observer;
}
void setMessageHandler(MessageHandler handler) {
    g_messageHandler = handler;
}

ContextScope::ContextScope() {
    Platform *p = g_platform;
    if (!p || !p->hasContext() || !glTableLoaded()) return;
    p->saveCurrent(saved_);
    if (p->makeCurrent())
        platform_ = p;
    else
        p->restoreCurrent(saved_);
}

ContextScope::~ContextScope() {
    if (platform_) platform_->restoreCurrent(saved_);
}

} // namespace vx::emu

using namespace vx::emu;

int vxEmuOpenWindow() {
    vxEmuLoadGL();
    // The library's own module.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&vxEmuOpenWindow), &info) && info.dli_fbase)
        g_module = info.dli_fbase;
    else
        messageBox("Error", "GetModuleHandle()");

    // The window, on the screen when there is one.
    Platform *p = g_offscreenRequested ? nullptr : x11Platform();
    if (!p) p = &offscreenPlatform();
    if (g_platform && g_platform != p) g_platform->destroyWindow();
    g_platform = p;
    g_quitRequested = false;
    forgetPicture();
    std::string error;
    if (!p->createWindow(kWindowTitle, kWindowClass, vxEmuWndProc, error)) {
        vxEmuDestroyWindow();
        messageBox("Error in CreateWindowEx(b)", error.c_str());
        return 0;
    }

    // Its rendering context, made current in place of the caller's.
    SavedContext saved;
    p->saveCurrent(saved);
    const ContextStep failed = p->createContext();
    if (failed != ContextStep::Done) {
        vxEmuDestroyWindow();
        messageBox("ERROR", contextStepText(failed), MessageIcon::Exclamation);
        p->restoreCurrent(saved);
        return 0;
    }

    // Just right of the primary screen when there is a second one.
    const int x = p->monitorCount() > 1 ? p->primaryScreenWidth() + 1 : 1;
    p->moveWindow(x, 1, 800, 600);
    p->showWindow();
    checkItem(kMenuLookFromFront, true);
    // The projection and keyboard flags outlive a shutdown: their items show what is in force.
    checkItem(kMenuPerspective, camera().perspective != 0);
    checkItem(kMenuKeyboardShortcuts, camera().keyboardShortcuts != 0);

    volume().create(true);
    p->restoreCurrent(saved);
    return 0;
}

void vxEmuDestroyWindow() {
    if (g_platform) g_platform->destroyWindow();
}

int vxEmuShutdown() {
    vxEmuLoadGL();
    vxEmuDestroyWindow();
    volume().destroy();
    g_platform = nullptr;
    forgetPicture();
    return 0;
}

long vxEmuWndProc(WindowMessage message, long a, long b) {
    switch (message) {
    case WindowMessage::Size:
        vxEmuResize(int(a), int(b));
        return 0;
    case WindowMessage::Activate:
        return 0;
    case WindowMessage::Close:
        g_quitRequested = true;
        return 0; // the window stays open
    case WindowMessage::KeyDown:
    case WindowMessage::KeyUp:
        return 0;
    case WindowMessage::Command:
        vxEmuMenuCommand(int(a), int(b));
        return 0;
    case WindowMessage::Paint:
        redraw(nullptr, KeyPolling::NoKeys);
        return 0;
    }
    return 0;
}

int vxEmuMenuCommand(int id, int) {
    if (g_menuObserver) g_menuObserver(id);
    ContextScope scope;
    EmulatedVolume &dev = volume();
    Camera &cam = camera();
    switch (id) {
    case kMenuLookFromFront:
    case kMenuLookFromRight:
        cam.eyeX = 0, cam.eyeY = 0.25f, cam.eyeZ = 3.0f;
        cam.angleX = 0, cam.angleY = id == kMenuLookFromRight ? -90.0f : 0.0f, cam.angleZ = 0;
        checkItem(kMenuLookFromFront, id == kMenuLookFromFront);
        checkItem(kMenuLookFromRight, id == kMenuLookFromRight);
        break;
    case kMenuNormalDisplay:
    case kMenuIndividualDisplay:
    case kMenuFlatDisplay:
    case kMenuNoDisplay:
        dev.setDisplayMode(id == kMenuNormalDisplay       ? VX_EMU_DISPLAY_NORMAL
                           : id == kMenuIndividualDisplay ? VX_EMU_DISPLAY_INDIVIDUAL
                           : id == kMenuFlatDisplay       ? VX_EMU_DISPLAY_FLAT
                                                          : VX_EMU_DISPLAY_NONE);
        checkItem(g_displayMenuItem, false);
        g_displayMenuItem = id;
        checkItem(id, true);
        break;
    case kMenuImageOffset:
        toggle(
            id, [&] { return dev.imageOffset(); }, [&](bool on) { dev.setImageOffset(on); });
        break;
    case kMenuBoundingBox:
        toggle(
            id, [&] { return dev.boundingBox(); }, [&](bool on) { dev.setBoundingBox(on); });
        break;
    case kMenuAntiAliasing:
        toggle(
            id, [&] { return dev.antiAliasing(); }, [&](bool on) { dev.setAntiAliasing(on); });
        break;
    case kMenuAbout:
        if (g_platform) g_platform->runDialog(kAboutDialog);
        break;
    case kMenuKeyboardControls:
        if (g_platform) g_platform->runDialog(kKeyboardDialog);
        break;
    case kMenuExit:
        std::exit(0);
    case kMenuKeyboardShortcuts:
        toggle(
            id, [&] { return cam.keyboardShortcuts != 0; },
            [&](bool on) { cam.keyboardShortcuts = on; });
        break;
    case kMenuPerspective:
        toggle(
            id, [&] { return cam.perspective != 0; }, [&](bool on) { cam.perspective = on; });
        vxEmuResize(cam.clientWidth, cam.clientHeight);
        break;
    case kMenuDumpFront:
    case kMenuDumpBack:
        break;
    default:
        if (id >= kMenuPlane0 && id < kMenuPlane0 + EmulatedVolume::kPlanes) {
            const int plane = id - kMenuPlane0;
            toggle(
                id, [&] { return dev.planeChosen(plane); },
                [&](bool on) { dev.setPlaneChosen(plane, on); });
            break;
        }
        return 0;
    }
    return 1;
}
