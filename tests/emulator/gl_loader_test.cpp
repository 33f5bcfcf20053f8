// The OpenGL entry-point table: its names and order, resolution once per process, and the
// two failures with their messages, after which the library still starts and runs without
// calling a missing entry. The table never goes back to pending, so each case needs a process
// in which nothing loaded it yet (CTest runs every case in its own).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <set>
#include <string>

#include "emulator/emulator.h"
#include "emulator/gl_table.h"
#include "emulator_test_support.h"
#include "x11_test_support.h"

namespace {

using emutest::messages;
using vx::emu::glEntryNames;
using vx::emu::glEntryPoints;
using vx::emu::glTableLoaded;

TEST(EntryTable, HoldsTheOpenGL11FunctionsThenTheGlxCoreFunctionsEachInAsciiOrder) {
    ASSERT_EQ(vx::emu::kEntryCount, 375);
    EXPECT_STREQ(glEntryNames[0], "glAccum");
    EXPECT_STREQ(glEntryNames[335], "glViewport");
    EXPECT_STREQ(glEntryNames[336], "glXChooseFBConfig");
    EXPECT_STREQ(glEntryNames[374], "glXWaitX");
    std::set<std::string> unique;
    for (int i = 0; i < vx::emu::kEntryCount; ++i) {
        const std::string name = glEntryNames[i];
        unique.insert(name);
        const bool glx = name.rfind("glX", 0) == 0;
        EXPECT_EQ(glx, i >= 336) << name;
        if (i > 0 && i != 336) {
            EXPECT_LT(std::strcmp(glEntryNames[i - 1], glEntryNames[i]), 0) << name;
        }
        // Core functions only: no extension suffixes.
        for (const char *suffix : {"ARB", "EXT", "MESA", "SGI", "NV"})
            EXPECT_EQ(name.find(suffix), std::string::npos) << name;
    }
    EXPECT_EQ(unique.size(), 375u);
    for (const char *called : {"glClear", "glLoadIdentity", "glMatrixMode", "glOrtho", "glRotatef",
                               "glTranslatef", "glViewport", "glXCreateContext",
                               "glXGetCurrentContext", "glXGetCurrentDisplay",
                               "glXGetCurrentDrawable", "glXMakeCurrent", "glXSwapBuffers"})
        EXPECT_GE(vx::emu::glEntryIndex(called), 0) << called;
}

class Loader : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(glTableLoaded()) << "needs a process of its own";
        messages().clear();
        vxEmuSetMessageHandler(emutest::logMessage);
    }
    void TearDown() override {
        vx::emu::setGLLibraryName(nullptr);
        vxShutdown();
        vxEmuSetMessageHandler(nullptr);
    }
};

TEST_F(Loader, ResolvesEveryEntryFromTheSystemLibraryOnceAndThenLooksUpNothing) {
    EXPECT_EQ(vxEmuLoadGL(), 1);
    EXPECT_TRUE(glTableLoaded());
    void *gl = dlopen("libGL.so.1", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(gl, nullptr);
    for (int i = 0; i < vx::emu::kEntryCount; ++i)
        EXPECT_EQ(glEntryPoints[i], dlsym(gl, glEntryNames[i])) << glEntryNames[i];
    dlclose(gl);
    // Loaded is final: a library that does not exist is not even tried.
    vx::emu::setGLLibraryName("libvx-no-such-opengl.so.1");
    EXPECT_EQ(vxEmuLoadGL(), 1);
    EXPECT_TRUE(messages().empty());
}

// After a failed load the start-up reports that it has no rendering context and the library
// runs without drawing; once the library is found, everything works.
void expectStartWithoutContextThenRecovery(const char *loadMessage) {
    messages().clear();
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              loadMessage, "ERROR|Can't Create A GL Rendering Context."}));
    if (emutest::haveDisplay()) {
        emutest::XConnection x;
        EXPECT_EQ(x.findOwn("Voxtera Emulator"), 0u) << "the failed window is destroyed";
    }
    std::vector<std::uint32_t> frame(VX_PLANE_PIXELS, 0xFF000000u);
    EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(vxSwapBuffers(), VX_OK);
    EXPECT_EQ(vxEmuUpdateDisplay(), 0u);
    EXPECT_EQ(vxEmuRunMenuCommand(vx::emu::kMenuFlatDisplay), VX_OK);
    EXPECT_EQ(vxEmuSaveSnapshot("/tmp/vx-never-written.png"), VX_ERR_UNKNOWN);
    EXPECT_EQ(vxEmuProcessMessages(), 1);
    vxShutdown();

    vx::emu::setGLLibraryName(nullptr);
    messages().clear();
    EXPECT_EQ(vxEmuLoadGL(), 1);
    ASSERT_EQ(vxInitialize(0), VX_OK);
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(vx::emu::activePlatform()->hasContext());
    EXPECT_EQ(vxRender(VX_RENDER_FULL_PLANE, 0, 0, 0, 0, 0, 0, frame.data(), nullptr), VX_OK);
    EXPECT_EQ(vxEmuSaveSnapshot("/dev/null"), VX_OK);
}

TEST_F(Loader, AMissingLibraryIsReportedAtEveryCall) {
    vx::emu::setGLLibraryName("libvx-no-such-opengl.so.1");
    EXPECT_EQ(vxEmuLoadGL(), 0);
    EXPECT_EQ(vxEmuLoadGL(), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Error|Couldn't find OpenGL driver",
                                                    "Error|Couldn't find OpenGL driver"}));
    EXPECT_FALSE(glTableLoaded());
    EXPECT_EQ(vxGetLastHardwareError(0, 0), VX_OK); // loads too
    EXPECT_EQ(messages().size(), 3u);
    expectStartWithoutContextThenRecovery("Error|Couldn't find OpenGL driver");
}

TEST_F(Loader, AMissingEntryIsNamedAndTheEntriesBeforeItStay) {
    // The vendor-neutral OpenGL library has every OpenGL 1.1 function and no GLX.
    vx::emu::setGLLibraryName("libOpenGL.so.0");
    EXPECT_EQ(vxEmuLoadGL(), 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Error|Couldn't GetProcAddress for glXChooseFBConfig\n"}));
    EXPECT_FALSE(glTableLoaded());
    for (int i = 0; i < vx::emu::kGLNameCount; ++i)
        EXPECT_NE(glEntryPoints[i], nullptr) << glEntryNames[i];
    for (int i = vx::emu::kGLNameCount; i < vx::emu::kEntryCount; ++i)
        EXPECT_EQ(glEntryPoints[i], nullptr) << glEntryNames[i];
    expectStartWithoutContextThenRecovery("Error|Couldn't GetProcAddress for glXChooseFBConfig\n");
}

} // namespace
