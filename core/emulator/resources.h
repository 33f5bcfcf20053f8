// The emulator's resources: the window's menu (ids, texts and initial check marks) and the
// About and Keyboard Controls dialogs, as tables that each platform builds its widgets from.
#pragma once

namespace vx::emu {

// Menu command ids.
enum MenuId : int {
    kMenuLookFromFront = 40002,
    kMenuLookFromRight = 40003,
    kMenuNormalDisplay = 40004,
    kMenuIndividualDisplay = 40006,
    kMenuFlatDisplay = 40007,
    kMenuNoDisplay = 40008,
    kMenuPlane0 = 40010, // "Plane n" is kMenuPlane0 + n, up to 40029
    kMenuImageOffset = 40030,
    kMenuBoundingBox = 40032,
    kMenuAntiAliasing = 40033,
    kMenuAbout = 40034,
    kMenuKeyboardControls = 40035,
    kMenuExit = 40036,
    kMenuKeyboardShortcuts = 40037,
    kMenuPerspective = 40038,
    kMenuDumpFront = 40039,
    kMenuDumpBack = 40040,
};

// One entry of the menu in reading order: a popup opens a level, End closes it.
struct MenuEntry {
    enum Kind { Popup, Item, End } kind;
    const char *text;
    int id;         // items only
    bool checkable; // items whose check mark the commands move
    bool checked;   // the initial check mark
};

extern const MenuEntry kMenu[];
extern const int kMenuEntryCount;

// The entry of a command id, or null.
const MenuEntry *findMenuItem(int id);

// A control of a dialog, in dialog units.
struct DialogControl {
    enum Kind { Icon, Text, Group, Button } kind;
    const char *text;
    int x, y, width, height;
    int id; // buttons: the result the dialog ends with
};

struct DialogResource {
    const char *title;
    int width, height; // dialog units
    const DialogControl *controls;
    int controlCount;
};

extern const DialogResource kAboutDialog;
extern const DialogResource kKeyboardDialog;

// Dialog units of the dialogs' 8-point font in pixels: a quarter of its average character
// width (6 pixels) across, an eighth of its height (13 pixels) down.
constexpr int dialogPixelsX(int units) {
    return units * 6 / 4;
}
constexpr int dialogPixelsY(int units) {
    return units * 13 / 8;
}

} // namespace vx::emu
