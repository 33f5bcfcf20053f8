// The emulator window on an X display: its title, class and placement, the close box, the
// camera keys sent as real key events (XTest) while the application never dispatches
// events, the modal dialogs, and running offscreen on request although a display exists.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "emulator_test_support.h"
#include "spawn_support.h"
#include "x11_test_support.h"

namespace {

using vx::emu::camera;
using vx::emu::kMenuKeyboardShortcuts;

class EmulatorWindow : public emutest::Emulator {
  protected:
    void SetUp() override {
        if (!emutest::haveDisplay()) GTEST_SKIP() << "needs an X display (make test starts one)";
        emutest::Emulator::SetUp();
        window_ = x_.findOwn("Voxtera Emulator");
        ASSERT_NE(window_, 0u);
    }

    std::vector<float> cameraState() const {
        const vx::emu::Camera &c = camera();
        return {c.eyeX, c.eyeY, c.eyeZ, c.angleX, c.angleY, c.angleZ};
    }

    emutest::XConnection x_;
    ::Window window_ = 0;
};

TEST_F(EmulatorWindow, HasItsTitleClassAndPlacement) {
    EXPECT_EQ(x_.className(window_), "VXEmulator");
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(x_.get(), window_, &a));
    EXPECT_EQ(a.map_state, IsViewable);
    // One monitor: at (1, 1), 800 x 600 (no window manager adds a frame here).
    EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}), (std::vector<int>{1, 1, 800, 600}));
    // The drawing area below the menu bar is what the projection was set for.
    int w = 0, h = 0;
    vx::emu::activePlatform()->clientSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_GT(h, 500);
    EXPECT_LT(h, 600);
    EXPECT_EQ(camera().clientWidth, w);
    EXPECT_EQ(camera().clientHeight, h);
}

TEST_F(EmulatorWindow, TheCloseBoxAsksToQuitAndLeavesTheWindowOpen) {
    EXPECT_EQ(vxEmuProcessMessages(), 1);
    x_.sendCloseRequest(window_);
    int result = 1;
    for (int i = 0; i < 100 && result == 1; ++i) {
        result = vxEmuProcessMessages();
        if (result == 1) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(vxEmuProcessMessages(), 0);
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(x_.get(), window_, &a));
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_EQ(x_.findOwn("Voxtera Emulator"), window_);
    EXPECT_EQ(vxEmuUpdateDisplay(), 0u); // still drawn into
    vxShutdown();
    EXPECT_EQ(x_.findOwn("Voxtera Emulator"), 0u);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(vxEmuProcessMessages(), 1); // a new window has not been asked to close
}

struct KeyCase {
    KeySym key;
    std::vector<float> after; // eyeX, eyeY, eyeZ, angleX, angleY, angleZ from (0, .25, 5, 10, 20, 30)
};

TEST_F(EmulatorWindow, CameraKeysMoveTheCameraAtTheNextRedrawWithoutEventDispatch) {
    const KeyCase cases[] = {
        {XK_Down, {0, 0.25f, 6, 10, 20, 30}},   {XK_Up, {0, 0.25f, 4, 10, 20, 30}},
        {XK_Insert, {0, 0.25f, 5, 11, 20, 30}}, {XK_Delete, {0, 0.25f, 5, 9, 20, 30}},
        {XK_Home, {0, 0.25f, 5, 10, 21, 30}},   {XK_End, {0, 0.25f, 5, 10, 19, 30}},
        {XK_Prior, {0, 0.25f, 5, 10, 20, 31}},  {XK_Next, {0, 0.25f, 5, 10, 20, 29}},
        {XK_space, {0, 0.25f, 5, 0, 0, 0}},     {XK_r, {0, 0.25f, 3, 0, -90, 0}},
        {XK_f, {0, 0.25f, 3, 0, 0, 0}},
    };
    for (const KeyCase &c : cases) {
        ASSERT_EQ(vxEmuSetCamera(5, 10, 20, 30), VX_OK);
        x_.pressKey(window_, c.key);
        EXPECT_EQ(cameraState(), (std::vector<float>{0, 0.25f, 5, 10, 20, 30})) << c.key;
        ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
        EXPECT_EQ(cameraState(), c.after) << XKeysymToString(c.key);
        ASSERT_EQ(vxEmuUpdateDisplay(), 0u); // pressed once counts once
        EXPECT_EQ(cameraState(), c.after) << XKeysymToString(c.key);
    }
    vx::emu::MenuRow row;
    ASSERT_TRUE(vx::emu::activePlatform()->menuRow(vx::emu::kMenuLookFromFront, row));
    EXPECT_TRUE(row.checked); // F went through the menu command
}

TEST_F(EmulatorWindow, DownBeforeUpAtOneRedrawAndUpAtTheNext) {
    ASSERT_EQ(vxEmuSetCamera(5, 0, 0, 0), VX_OK);
    x_.pressKey(window_, XK_Up);
    x_.pressKey(window_, XK_Down);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(camera().eyeZ, 6);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(camera().eyeZ, 5);
}

TEST_F(EmulatorWindow, KeysCountAlsoWhenTheApplicationDispatchesEvents) {
    ASSERT_EQ(vxEmuSetCamera(5, 0, 0, 0), VX_OK);
    x_.pressKey(window_, XK_Home);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(vxEmuProcessMessages(), 1);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(camera().angleY, 1);
}

std::vector<int> g_commands;

TEST_F(EmulatorWindow, ShiftKeysReachTheMenuFromFramesButNotFromPlainRedraws) {
    g_commands.clear();
    vx::emu::setMenuCommandObserver([](int id) { g_commands.push_back(id); });
    std::vector<std::uint32_t> frame(VX_PLANE_PIXELS, 0);
    x_.pressKey(window_, XK_Shift_L);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_TRUE(g_commands.empty());
    ASSERT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(g_commands, (std::vector<int>{vx::emu::kMenuDumpFront}));
    x_.pressKey(window_, XK_Shift_R);
    ASSERT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(g_commands, (std::vector<int>{vx::emu::kMenuDumpFront, vx::emu::kMenuDumpBack}));
    vx::emu::setMenuCommandObserver(nullptr);
}

TEST_F(EmulatorWindow, WithoutKeyboardShortcutsTheKeysWaitUntilTheyAreOnAgain) {
    ASSERT_EQ(vxEmuRunMenuCommand(kMenuKeyboardShortcuts), VX_OK);
    ASSERT_EQ(vxEmuSetCamera(5, 0, 0, 0), VX_OK);
    x_.pressKey(window_, XK_Down);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(camera().eyeZ, 5);
    // Like a key state that nobody asked for, the press is still there when asked again.
    ASSERT_EQ(vxEmuRunMenuCommand(kMenuKeyboardShortcuts), VX_OK);
    ASSERT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(camera().eyeZ, 6);
}

// The dialog observer runs while the dialog is open and modal; it checks what the server
// knows of it, then presses a key in it.
struct DialogSeen {
    std::string title;
    ::Window transientFor = 0;
    int mapState = 0;
};
std::vector<DialogSeen> g_seen;
KeySym g_closeKey = XK_Return;

void inspectAndClose(const vx::emu::DialogView &view) {
    emutest::XConnection x;
    DialogSeen seen{view.title, 0, 0};
    XGetTransientForHint(x.get(), view.nativeWindow, &seen.transientFor);
    XWindowAttributes a{};
    if (XGetWindowAttributes(x.get(), view.nativeWindow, &a)) seen.mapState = a.map_state;
    g_seen.push_back(seen);
    x.pressKey(view.nativeWindow, g_closeKey);
}

TEST_F(EmulatorWindow, DialogsAreModalOverTheWindowAndCloseWithOkOrEscape) {
    g_seen.clear();
    vx::emu::setDialogObserver(inspectAndClose);
    g_closeKey = XK_Return;
    EXPECT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuAbout), VX_OK);
    g_closeKey = XK_Escape;
    EXPECT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuKeyboardControls), VX_OK);
    vx::emu::setDialogObserver(nullptr);
    ASSERT_EQ(g_seen.size(), 2u);
    for (const DialogSeen &s : g_seen) {
        EXPECT_EQ(s.mapState, IsViewable) << s.title;
        EXPECT_EQ(s.transientFor, window_) << s.title << " belongs to the emulator window";
    }
    EXPECT_EQ(g_seen[0].title, "About");
    EXPECT_EQ(g_seen[1].title, "Keyboard Controls");
    // The emulator window works on afterwards.
    EXPECT_EQ(vxEmuProcessMessages(), 1);
}

// With two monitors the window opens just right of the primary one: a server of its own
// with two screens side by side (Xinerama) for a helper process.
TEST(Placement, WithTwoMonitorsTheWindowOpensRightOfThePrimaryScreen) {
    int status = -1;
    const std::string out = emutest::runProcess(
        {"xvfb-run", "-a", "-s", "-screen 0 640x480x24 -screen 1 640x480x24 +xinerama", VX_HELPER,
         "placement"},
        status);
    EXPECT_EQ(out, "641 1 800 600\n");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(OffscreenOnRequest, RunsWithoutAWindowAlthoughADisplayExists) {
    if (!emutest::haveDisplay()) GTEST_SKIP() << "needs an X display";
    vxEmuSetMessageHandler(emutest::logMessage);
    ASSERT_EQ(vxEmuSetOffscreen(1), VX_OK);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_TRUE(vx::emu::activePlatform()->offscreen());
    emutest::XConnection x;
    EXPECT_EQ(x.findOwn("Voxtera Emulator"), 0u);
    std::vector<std::uint32_t> frame(VX_PLANE_PIXELS, 0xFF000000u);
    EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(emutest::readPicture().width, 800);
    vxShutdown();
    ASSERT_EQ(vxEmuSetOffscreen(0), VX_OK);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_FALSE(vx::emu::activePlatform()->offscreen());
    EXPECT_NE(x.findOwn("Voxtera Emulator"), 0u);
    vxShutdown();
    vxEmuSetMessageHandler(nullptr);
}

} // namespace
