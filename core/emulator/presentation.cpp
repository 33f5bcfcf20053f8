// vxEmuPresentFrame, vxEmuUpdateDisplay and vxEmuResize, and the camera keys they poll.
#include "emulator/presentation.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"
#include "emulator/gl_table.h"
#include "emulator/window.h"
#include "vx.h"

namespace vx::emu {

namespace {

using ClearFn = void (*)(GLbitfield);
using MatrixModeFn = void (*)(GLenum);
using LoadIdentityFn = void (*)();
using TranslatefFn = void (*)(GLfloat, GLfloat, GLfloat);
using RotatefFn = void (*)(GLfloat, GLfloat, GLfloat, GLfloat);
using ViewportFn = void (*)(GLint, GLint, GLsizei, GLsizei);
using OrthoFn = void (*)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);

Camera g_camera;
bool g_pictureDrawn = false;

// The emulator's context made current for the scope, when it has one.
class EmulatorContext {
  public:
    EmulatorContext() {
        Platform *p = activePlatform();
        if (!p || !p->hasContext() || !glTableLoaded()) return;
        p->saveCurrent(saved_);
        if (p->makeCurrent())
            platform_ = p;
        else
            p->restoreCurrent(saved_);
    }
    ~EmulatorContext() {
        if (platform_) platform_->restoreCurrent(saved_);
    }
    Platform *platform() const { return platform_; }

  private:
    SavedContext saved_;
    Platform *platform_ = nullptr;
};

// Keys of a pair are asked in order; the second only when the first did not count.
void pollCameraKeys(Platform &p, bool withShift) {
    Camera &c = g_camera;
    p.collectKeys();
    if (p.keyPressed(CameraKey::Down))
        c.eyeZ += 1;
    else if (p.keyPressed(CameraKey::Up))
        c.eyeZ -= 1;
    if (p.keyPressed(CameraKey::Insert))
        c.angleX += 1;
    else if (p.keyPressed(CameraKey::Delete))
        c.angleX -= 1;
    if (p.keyPressed(CameraKey::Home))
        c.angleY += 1;
    else if (p.keyPressed(CameraKey::End))
        c.angleY -= 1;
    if (p.keyPressed(CameraKey::PageUp))
        c.angleZ += 1;
    else if (p.keyPressed(CameraKey::PageDown))
        c.angleZ -= 1;
    if (p.keyPressed(CameraKey::F))
        vxEmuMenuCommand(kMenuLookFromFront, 0);
    else if (p.keyPressed(CameraKey::R))
        vxEmuMenuCommand(kMenuLookFromRight, 0);
    if (p.keyPressed(CameraKey::Space)) c.angleX = c.angleY = c.angleZ = 0;
    if (withShift) {
        if (p.keyPressed(CameraKey::LeftShift))
            vxEmuMenuCommand(kMenuDumpFront, 0);
        else if (p.keyPressed(CameraKey::RightShift))
            vxEmuMenuCommand(kMenuDumpBack, 0);
    }
}

} // namespace

Camera &camera() {
    return g_camera;
}

namespace {

void redrawInContext(const std::uint32_t *words, KeyPolling polling) {
    EmulatorContext scope;
    Platform *p = scope.platform();
    EmulatedVolume &dev = volume();
    if (!p) {
        // Nothing to draw with: the frame still reaches the device.
        if (words) dev.write(words);
        return;
    }
    if (polling != KeyPolling::NoKeys && g_camera.keyboardShortcuts)
        pollCameraKeys(*p, polling == KeyPolling::WithShift);
    VX_GL_ENTRY(ClearFn, glClear)(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    VX_GL_ENTRY(MatrixModeFn, glMatrixMode)(GL_MODELVIEW);
    VX_GL_ENTRY(LoadIdentityFn, glLoadIdentity)();
    const Camera &c = g_camera;
    gluLookAt(c.eyeX, c.eyeY, c.eyeZ, 0, 0.25, 0, 0, 1, 0);
    // Turn about the volume's centre (0, 0, -1).
    TranslatefFn translate = VX_GL_ENTRY(TranslatefFn, glTranslatef);
    RotatefFn rotate = VX_GL_ENTRY(RotatefFn, glRotatef);
    translate(0, 0, -1);
    rotate(c.angleX, 1, 0, 0);
    rotate(c.angleY, 0, 1, 0);
    rotate(c.angleZ, 0, 0, 1);
    translate(0, 0, 1);
    if (words) dev.write(words);
    dev.drawPlanes();
    if (dev.boundingBox()) dev.drawBoundingBox();
    p->swapBuffers();
    g_pictureDrawn = true;
}

} // namespace

void redraw(const std::uint32_t *words, KeyPolling polling) {
    // Nothing may leave the library: without memory for the picture this redraw is lost.
    try {
        redrawInContext(words, polling);
    } catch (...) {
    }
}

bool pictureDrawn() {
    return g_pictureDrawn;
}
void forgetPicture() {
    g_pictureDrawn = false;
}

bool readPicture(std::vector<std::uint8_t> &rgb, int &width, int &height) {
    EmulatorContext scope;
    if (!scope.platform() || !g_pictureDrawn) return false;
    return scope.platform()->readPicture(rgb, width, height);
}

} // namespace vx::emu

int vxEmuPresentFrame(const unsigned int *words) {
    vxEmuLoadGL();
    vx::emu::redraw(words, vx::emu::KeyPolling::WithShift);
    return 0;
}

unsigned int vxEmuUpdateDisplay() {
    vx::emu::redraw(nullptr, vx::emu::KeyPolling::WithoutShift);
    return 0;
}

void vxEmuResize(int width, int height) {
    using namespace vx::emu;
    EmulatorContext scope;
    if (height == 0) height = 1;
    Camera &c = g_camera;
    c.clientWidth = width;
    c.clientHeight = height;
    if (!scope.platform()) return;
    VX_GL_ENTRY(ViewportFn, glViewport)(0, 0, width, height);
    VX_GL_ENTRY(MatrixModeFn, glMatrixMode)(GL_PROJECTION);
    VX_GL_ENTRY(LoadIdentityFn, glLoadIdentity)();
    if (c.perspective)
        gluPerspective(30, double(width) / double(height), 1, 100);
    else
        VX_GL_ENTRY(OrthoFn, glOrtho)(0, width, 0, height, 1, 100);
    VX_GL_ENTRY(MatrixModeFn, glMatrixMode)(GL_MODELVIEW);
    VX_GL_ENTRY(LoadIdentityFn, glLoadIdentity)();
}
