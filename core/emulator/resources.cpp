// The menu and dialog tables of the emulator window.
#include "emulator/resources.h"

namespace vx::emu {

namespace {
using M = MenuEntry;
} // namespace

const MenuEntry kMenu[] = {
    {M::Popup, "File", 0, false, false},
    {M::Item, "Exit", kMenuExit, false, false},
    {M::End, nullptr, 0, false, false},
    {M::Popup, "View", 0, false, false},
    {M::Item, "Look From Front", kMenuLookFromFront, true, false},
    {M::Item, "Look From Right", kMenuLookFromRight, true, false},
    {M::Item, "Perspective Projection (broken)", kMenuPerspective, true, true},
    {M::End, nullptr, 0, false, false},
    {M::Popup, "Display", 0, false, false},
    {M::Item, "Normal Display", kMenuNormalDisplay, true, false},
    {M::Item, "Individual Display", kMenuIndividualDisplay, true, false},
    {M::Item, "Flat Display", kMenuFlatDisplay, true, false},
    {M::Item, "No Display", kMenuNoDisplay, true, false},
    {M::Popup, "Choose Planes", 0, false, false},
    {M::Item, "Plane 0", kMenuPlane0 + 0, true, false},
    {M::Item, "Plane 1", kMenuPlane0 + 1, true, false},
    {M::Item, "Plane 2", kMenuPlane0 + 2, true, false},
    {M::Item, "Plane 3", kMenuPlane0 + 3, true, false},
    {M::Item, "Plane 4", kMenuPlane0 + 4, true, false},
    {M::Item, "Plane 5", kMenuPlane0 + 5, true, false},
    {M::Item, "Plane 6", kMenuPlane0 + 6, true, false},
    {M::Item, "Plane 7", kMenuPlane0 + 7, true, false},
    {M::Item, "Plane 8", kMenuPlane0 + 8, true, false},
    {M::Item, "Plane 9", kMenuPlane0 + 9, true, false},
    {M::Item, "Plane 10", kMenuPlane0 + 10, true, false},
    {M::Item, "Plane 11", kMenuPlane0 + 11, true, false},
    {M::Item, "Plane 12", kMenuPlane0 + 12, true, false},
    {M::Item, "Plane 13", kMenuPlane0 + 13, true, false},
    {M::Item, "Plane 14", kMenuPlane0 + 14, true, false},
    {M::Item, "Plane 15", kMenuPlane0 + 15, true, false},
    {M::Item, "Plane 16", kMenuPlane0 + 16, true, false},
    {M::Item, "Plane 17", kMenuPlane0 + 17, true, false},
    {M::Item, "Plane 18", kMenuPlane0 + 18, true, false},
    {M::Item, "Plane 19", kMenuPlane0 + 19, true, false},
    {M::End, nullptr, 0, false, false},
    {M::End, nullptr, 0, false, false},
    {M::Popup, "Options", 0, false, false},
    {M::Item, "Image Offset", kMenuImageOffset, true, true},
    {M::Item, "Draw Bounding Box", kMenuBoundingBox, true, true},
    {M::Item, "Anti-Aliasing", kMenuAntiAliasing, true, true},
    {M::Item, "Keyboard Shortcuts", kMenuKeyboardShortcuts, true, true},
    {M::End, nullptr, 0, false, false},
    {M::Popup, "Debug", 0, false, false},
    {M::Item, "Dump Front Buffer", kMenuDumpFront, false, false},
    {M::Item, "Dump Back Buffer", kMenuDumpBack, false, false},
    {M::End, nullptr, 0, false, false},
    {M::Popup, "Help", 0, false, false},
    {M::Item, "About", kMenuAbout, false, false},
    {M::Item, "Keyboard Controls", kMenuKeyboardControls, false, false},
    {M::End, nullptr, 0, false, false},
};

const int kMenuEntryCount = int(sizeof kMenu / sizeof kMenu[0]);

const MenuEntry *findMenuItem(int id) {
    for (const MenuEntry &e : kMenu)
        if (e.kind == MenuEntry::Item && e.id == id) return &e;
    return nullptr;
}

namespace {

using C = DialogControl;

// The About box names an icon that the library does not carry; its control shows the
// emulator's own icon instead.
const DialogControl kAboutControls[] = {
    {C::Icon, "", 17, 15, 21, 20, 0},
    {C::Text, "Voxtera Emulator 0.1a", 55, 15, 75, 8, 0},
    {C::Button, "OK", 136, 15, 50, 14, 1},
};

const DialogControl kKeyboardControls[] = {
    {C::Group, "Camera keys", 7, 7, 170, 30, 0},
    {C::Text, "Zoom in and out -- Up, Down", 15, 20, 155, 8, 0},
    {C::Group, "Rotation keys", 7, 45, 170, 66, 0},
    {C::Text, "Rotate about local x-axis -- Insert, Delete", 15, 58, 155, 8, 0},
    {C::Text, "Rotate about local y-axis -- Home, End", 15, 70, 155, 8, 0},
    {C::Text, "Rotate about local z-axis -- PgUp, PgDn", 15, 82, 155, 8, 0},
    {C::Text, "Return to default (no rotation) -- Space", 15, 94, 155, 8, 0},
    {C::Group, "View", 7, 119, 170, 42, 0},
    {C::Text, "Toggle front view -- F", 15, 132, 155, 8, 0},
    {C::Text, "Toggle right view -- R", 15, 144, 155, 8, 0},
    {C::Group, "Debug", 7, 169, 170, 42, 0},
    {C::Text, "Dump Front Buffer -- Left Shift", 15, 182, 155, 8, 0},
    {C::Text, "Dump Back Buffer -- Right Shift", 15, 194, 155, 8, 0},
    {C::Button, "OK", 69, 258, 50, 14, 1},
};

} // namespace

const DialogResource kAboutDialog = {"About", 203, 65, kAboutControls,
                                     int(sizeof kAboutControls / sizeof kAboutControls[0])};
const DialogResource kKeyboardDialog = {
    "Keyboard Controls", 184, 290, kKeyboardControls,
    int(sizeof kKeyboardControls / sizeof kKeyboardControls[0])};

} // namespace vx::emu
