// The emulator's menu: every item with its text and initial check mark, and every command
// with what it changes in the camera, the device and the check marks of its rows. Commands
// go through vxEmuRunMenuCommand, which chooses the item in the window's own menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator_test_support.h"
#include "x11_test_support.h"

namespace {

using vx::emu::activePlatform;
using vx::emu::camera;
using vx::emu::volume;

class Menu : public emutest::Emulator {
  protected:
    vx::emu::MenuRow row(int id) {
        vx::emu::MenuRow r;
        EXPECT_TRUE(activePlatform()->menuRow(id, r)) << id;
        return r;
    }
    bool checked(int id) { return row(id).checked; }
    unsigned run(int id) { return vxEmuRunMenuCommand(id); }

    // Every item's check mark, to see which ones a command moved.
    std::vector<bool> allChecks() {
        std::vector<bool> v;
        for (int i = 0; i < vx::emu::kMenuEntryCount; ++i)
            if (vx::emu::kMenu[i].kind == vx::emu::MenuEntry::Item) v.push_back(checked(vx::emu::kMenu[i].id));
        return v;
    }
};

TEST_F(Menu, HasEveryItemWithItsTextAndInitialCheckMark) {
    struct Row {
        int id;
        const char *text;
        bool checked;
    };
    std::vector<Row> rows = {
        {40036, "Exit", false},
        {40002, "Look From Front", true}, // checked by the start-up
        {40003, "Look From Right", false},
        {40038, "Perspective Projection (broken)", true},
        {40004, "Normal Display", false},
        {40006, "Individual Display", false},
        {40007, "Flat Display", false},
        {40008, "No Display", false},
        {40030, "Image Offset", true},
        {40032, "Draw Bounding Box", true},
        {40033, "Anti-Aliasing", true},
        {40037, "Keyboard Shortcuts", true},
        {40039, "Dump Front Buffer", false},
        {40040, "Dump Back Buffer", false},
        {40034, "About", false},
        {40035, "Keyboard Controls", false},
    };
    static const std::string planeNames[20] = {"Plane 0",  "Plane 1",  "Plane 2",  "Plane 3",
                                               "Plane 4",  "Plane 5",  "Plane 6",  "Plane 7",
                                               "Plane 8",  "Plane 9",  "Plane 10", "Plane 11",
                                               "Plane 12", "Plane 13", "Plane 14", "Plane 15",
                                               "Plane 16", "Plane 17", "Plane 18", "Plane 19"};
    for (int n = 0; n < 20; ++n) rows.push_back({40010 + n, planeNames[n].c_str(), false});
    for (const Row &r : rows) {
        const vx::emu::MenuRow shown = row(r.id);
        EXPECT_EQ(shown.label, r.text) << r.id;
        EXPECT_EQ(shown.checked, r.checked) << r.id;
    }
    vx::emu::MenuRow none;
    for (int id : {40000, 40001, 40005, 40009, 40031, 40041})
        EXPECT_FALSE(activePlatform()->menuRow(id, none)) << id;
}

TEST_F(Menu, ViewCommandsPlaceTheCameraAndMoveTheCheckMark) {
    ASSERT_EQ(vxEmuSetCamera(7.0f, 1.0f, 2.0f, 3.0f), VX_OK);
    ASSERT_EQ(run(40003), VX_OK);
    const vx::emu::Camera &c = camera();
    EXPECT_EQ((std::vector<float>{c.eyeX, c.eyeY, c.eyeZ, c.angleX, c.angleY, c.angleZ}),
              (std::vector<float>{0, 0.25f, 3, 0, -90, 0}));
    EXPECT_TRUE(checked(40003));
    EXPECT_FALSE(checked(40002));
    ASSERT_EQ(vxEmuSetCamera(7.0f, 1.0f, 2.0f, 3.0f), VX_OK);
    ASSERT_EQ(run(40002), VX_OK);
    EXPECT_EQ((std::vector<float>{c.eyeX, c.eyeY, c.eyeZ, c.angleX, c.angleY, c.angleZ}),
              (std::vector<float>{0, 0.25f, 3, 0, 0, 0}));
    EXPECT_TRUE(checked(40002));
    EXPECT_FALSE(checked(40003));
}

TEST_F(Menu, DisplayCommandsSetTheModeAndMoveOneCheckMark) {
    const struct {
        int id, mode;
    } cases[] = {{40007, VX_EMU_DISPLAY_FLAT},
                 {40006, VX_EMU_DISPLAY_INDIVIDUAL},
                 {40008, VX_EMU_DISPLAY_NONE},
                 {40004, VX_EMU_DISPLAY_NORMAL},
                 {40004, VX_EMU_DISPLAY_NORMAL}};
    for (const auto &c : cases) {
        ASSERT_EQ(run(c.id), VX_OK);
        EXPECT_EQ(volume().displayMode(), c.mode) << c.id;
        EXPECT_EQ(vx::emu::displayMenuItem(), c.id);
        for (int other : {40004, 40006, 40007, 40008}) EXPECT_EQ(checked(other), other == c.id) << c.id;
    }
}

TEST_F(Menu, PlaneCommandsToggleTheirPlaneAndCheckMark) {
    for (int n = 0; n < 20; ++n) {
        ASSERT_EQ(run(40010 + n), VX_OK);
        for (int p = 0; p < 20; ++p) {
            EXPECT_EQ(volume().planeChosen(p), p <= n) << "after plane " << n;
            EXPECT_EQ(checked(40010 + p), p <= n) << "after plane " << n;
        }
    }
    ASSERT_EQ(run(40013), VX_OK);
    EXPECT_FALSE(volume().planeChosen(3));
    EXPECT_FALSE(checked(40013));
    EXPECT_TRUE(volume().planeChosen(4));
}

TEST_F(Menu, OptionCommandsToggleTheirFlagAndCheckMark) {
    const struct {
        int id;
        bool (*flag)();
    } cases[] = {
        {40030, [] { return volume().imageOffset(); }},
        {40032, [] { return volume().boundingBox(); }},
        {40033, [] { return volume().antiAliasing(); }},
        {40037, [] { return camera().keyboardShortcuts != 0; }},
        {40038, [] { return camera().perspective != 0; }},
    };
    for (const auto &c : cases) {
        const std::vector<bool> before = allChecks();
        ASSERT_TRUE(c.flag()) << c.id;
        ASSERT_EQ(run(c.id), VX_OK);
        EXPECT_FALSE(c.flag()) << c.id;
        EXPECT_FALSE(checked(c.id)) << c.id;
        std::vector<bool> after = allChecks(), expected = before;
        int changed = 0;
        for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
        EXPECT_EQ(changed, 1) << c.id << " moves only its own check mark";
        ASSERT_EQ(run(c.id), VX_OK);
        EXPECT_TRUE(c.flag()) << c.id;
        EXPECT_TRUE(checked(c.id)) << c.id;
    }
}

TEST_F(Menu, DumpCommandsAreHandledAndChangeNothing) {
    ASSERT_EQ(vxEmuSetCamera(5.0f, 1.0f, 2.0f, 3.0f), VX_OK);
    const vx::emu::Camera before = camera();
    const std::vector<bool> checks = allChecks();
    for (int id : {40039, 40040}) {
        EXPECT_EQ(vxEmuMenuCommand(id, 0), 1);
        EXPECT_EQ(run(id), VX_OK);
    }
    const vx::emu::Camera &c = camera();
    EXPECT_EQ((std::vector<float>{c.eyeZ, c.angleX, c.angleY, c.angleZ}),
              (std::vector<float>{before.eyeZ, before.angleX, before.angleY, before.angleZ}));
    EXPECT_EQ(allChecks(), checks);
    EXPECT_EQ(volume().displayMode(), VX_EMU_DISPLAY_NORMAL);
}

TEST_F(Menu, OtherIdsAreNotHandledAndExitIsRefused) {
    for (int id : {0, -1, 40000, 40001, 40005, 40009, 40031, 40041, 99999}) {
        EXPECT_EQ(run(id), VX_ERR_INVALID_ARGUMENT) << id;
        EXPECT_EQ(vxEmuMenuCommand(id, 0), 0) << id;
    }
    EXPECT_EQ(run(40036), VX_ERR_INVALID_ARGUMENT); // would end this process
}

// The Help commands open modal dialogs. On the screen the observer closes each by pressing
// Return (its OK button) in it; offscreen their text goes to the message handler.
std::vector<vx::emu::DialogView> g_dialogs;

void closeWithReturn(const vx::emu::DialogView &view) {
    g_dialogs.push_back(view);
    if (view.nativeWindow) {
        emutest::XConnection x;
        x.pressKey(view.nativeWindow, XK_Return);
    }
}

TEST_F(Menu, HelpCommandsShowTheAboutAndKeyboardControlsDialogs) {
    g_dialogs.clear();
    vx::emu::setDialogObserver(closeWithReturn);
    EXPECT_EQ(run(40034), VX_OK);
    EXPECT_EQ(run(40035), VX_OK);
    vx::emu::setDialogObserver(nullptr);
    ASSERT_EQ(g_dialogs.size(), 2u);
    EXPECT_EQ(g_dialogs[0].title, "About");
    EXPECT_EQ(g_dialogs[0].texts, (std::vector<std::string>{"", "Voxtera Emulator 0.1a", "OK"}));
    EXPECT_EQ(g_dialogs[1].title, "Keyboard Controls");
    EXPECT_EQ(g_dialogs[1].texts,
              (std::vector<std::string>{"Camera keys", "Zoom in and out -- Up, Down", "Rotation keys",
                                        "Rotate about local x-axis -- Insert, Delete",
                                        "Rotate about local y-axis -- Home, End",
                                        "Rotate about local z-axis -- PgUp, PgDn",
                                        "Return to default (no rotation) -- Space", "View",
                                        "Toggle front view -- F", "Toggle right view -- R", "Debug",
                                        "Dump Front Buffer -- Left Shift",
                                        "Dump Back Buffer -- Right Shift", "OK"}));
    if (activePlatform()->offscreen()) {
        EXPECT_EQ(emutest::messages(),
                  (std::vector<std::string>{
                      "About|Voxtera Emulator 0.1a\n",
                      "Keyboard Controls|Zoom in and out -- Up, Down\n"
                      "Rotate about local x-axis -- Insert, Delete\n"
                      "Rotate about local y-axis -- Home, End\n"
                      "Rotate about local z-axis -- PgUp, PgDn\n"
                      "Return to default (no rotation) -- Space\n"
                      "Toggle front view -- F\nToggle right view -- R\n"
                      "Dump Front Buffer -- Left Shift\nDump Back Buffer -- Right Shift\n"}));
    } else {
        // 203 x 65 and 184 x 290 dialog units of the 8-point font.
        EXPECT_EQ(g_dialogs[0].width, 304);
        EXPECT_EQ(g_dialogs[0].height, 105);
        EXPECT_EQ(g_dialogs[1].width, 276);
        EXPECT_EQ(g_dialogs[1].height, 471);
        EXPECT_TRUE(emutest::messages().empty());
    }
}

// The projection and keyboard flags outlive a shutdown; a new window's menu shows them as
// they are.
TEST_F(Menu, ANewWindowShowsTheFlagsThatOutlivedTheOldOne) {
    ASSERT_EQ(run(40038), VX_OK);
    ASSERT_EQ(run(40037), VX_OK);
    ASSERT_EQ(run(40030), VX_OK);
    vxShutdown();
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(camera().perspective, 0);
    EXPECT_EQ(camera().keyboardShortcuts, 0);
    EXPECT_FALSE(checked(40038));
    EXPECT_FALSE(checked(40037));
    // The device's options start afresh.
    EXPECT_TRUE(volume().imageOffset());
    EXPECT_TRUE(checked(40030));
    ASSERT_EQ(run(40038), VX_OK);
    ASSERT_EQ(run(40037), VX_OK);
}

TEST(MenuClosed, CommandsNeedAnInitialisedLibrary) {
    vxEmuSetMessageHandler(emutest::logMessage);
    EXPECT_EQ(vxEmuRunMenuCommand(40030), VX_ERR_UNKNOWN);
    vxEmuSetMessageHandler(nullptr);
}

} // namespace
