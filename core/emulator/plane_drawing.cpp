// The drawing half of the emulated volume: its graphics set-up at creation, the 20 planes of
// the front store as additively blended textured squares, and the volume's outline. Runs with
// the emulator's rendering context current.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "emulator/emulated_volume.h"
#include "emulator/emulator.h"
#include "vx.h"

namespace vx::emu {

namespace {

constexpr int kTexSize = 1024;
// From this many rows to upload on, a plane goes through the shared texture.
constexpr int kSharedTextureRows = EmulatedVolume::kBufferRows * 3 / 4;

// Zero rows for initialising the per-plane textures; never written, so its pages stay the
// shared zero page until read.
std::uint8_t g_zeroTexture[kTexSize * kTexSize * 3];

void reportGLError(const char *caption) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        messageBox(caption, reinterpret_cast<const char *>(gluErrorString(error)));
}

void setNearestFilters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

} // namespace

void EmulatedVolume::createGraphics(int step) {
    switch (step) {
    case 1: // before anything else: forget errors that are not ours
        glGetError();
        break;
    case 2: // after the stores: the texture names
        glGenTextures(1, &texture_);
        glGenTextures(kPlanes, planeTextures_);
        for (int i = 0; i < kPlanes; ++i) {
            planeTextureReady_[i] = false;
            planeTextureSource_[i] = nullptr;
            planeTextureColoured_[i] = RowRange{};
        }
        break;
    case 3: { // after the display mode: blending and drawing state, the texture, the squares
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glClearColor(0, 0, 0, 0);
        glClearDepth(1.0);
        glAlphaFunc(GL_GREATER, 0);
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthFunc(GL_LEQUAL);
        reportGLError("initialization error");

        texWidth_ = kTexSize;
        texHeight_ = kTexSize;
        texBytes_ = kTexSize * kTexSize * 3;
        glBindTexture(GL_TEXTURE_2D, texture_);
        void *staging = std::calloc(1, std::size_t(texBytes_));
        if (!staging)
            messageBox("Error", "Ran out of memory");
        else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texWidth_, texHeight_, 0, GL_RGB,
                         GL_UNSIGNED_BYTE, staging);
            std::free(staging);
        }
        setNearestFilters();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);

        for (int i = 0; i < kPlanes; ++i) {
            const float z = -float(i) * 0.1f;
            const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
            for (int v = 0; v < 4; ++v) {
                planeQuads_[i][v][0] = corners[v][0];
                planeQuads_[i][v][1] = corners[v][1];
                planeQuads_[i][v][2] = z;
            }
        }
        const float tex[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
        for (int v = 0; v < 4; ++v) {
            quadTexCoords_[v][0] = tex[v][0];
            quadTexCoords_[v][1] = tex[v][1];
        }
        break;
    }
    default:
        break;
    }
}

void EmulatedVolume::drawPlane(int plane, int quad) {
    const std::uint8_t *buffer = frontStore_ ? frontStore_[plane] : nullptr;
    if (!buffer) return;
    // The plane's own texture holds this buffer as it was at its last upload, or another
    // buffer (or black) whose coloured rows are known: only rows that can differ need an
    // upload. A black plane adds nothing to the picture.
    RowRange rows{0, kBufferRows};
    const RowRange coloured = colouredRows(0, plane);
    if (strategy_ == RedrawStrategy::ChangedRows) {
        if (coloured.empty()) return;
        if (!planeTextureReady_[plane]) {
            rows = coloured; // the texture starts black
        } else if (planeTextureSource_[plane] == buffer) {
            rows = changedRows(0, plane);
        } else {
            rows = planeTextureColoured_[plane];
            rows.add(coloured);
        }
    }
    if (strategy_ == RedrawStrategy::FullUpload || rows.size() >= kSharedTextureRows) {
        // (Nearly) every row: all of them through the one shared texture, uploaded right
        // before its square, which is faster than uploading into the plane's own texture (the
        // shared one stays in the cache from plane to plane). The plane's own texture keeps
        // what it held, and its rows stay marked as changed.
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kBufferRows, GL_RGB, GL_UNSIGNED_BYTE,
                        buffer);
        reportGLError("glTexSubImage2D() error");
    } else {
        glBindTexture(GL_TEXTURE_2D, planeTextures_[plane]);
        if (!planeTextureReady_[plane]) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTexSize, kTexSize, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         g_zeroTexture);
            setNearestFilters();
            planeTextureReady_[plane] = true;
            planeTextureSource_[plane] = nullptr;
            planeTextureColoured_[plane] = RowRange{};
        }
        if (!rows.empty()) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, rows.lo, kWidth, rows.size(), GL_RGB,
                            GL_UNSIGNED_BYTE, buffer + std::size_t(rows.lo) * kRowBytes);
            reportGLError("glTexSubImage2D() error");
        }
        planeTextureSource_[plane] = buffer;
        planeTextureColoured_[plane] = coloured;
        clearChangedRows(0, plane);
    }
    glVertexPointer(3, GL_FLOAT, 0, planeQuads_[quad]);
    glTexCoordPointer(2, GL_FLOAT, 0, quadTexCoords_);
    glDrawArrays(GL_QUADS, 0, 4);
}

void EmulatedVolume::drawPlanes() {
    if (texWidth_ == 0) return; // no drawing state (created without a context, or destroyed)
    switch (displayMode_) {
    case VX_EMU_DISPLAY_NORMAL:
        for (int i = 0; i < kPlanes; ++i)
            drawPlane(i, i);
        break;
    case VX_EMU_DISPLAY_FLAT:
        for (int i = 0; i < kPlanes; ++i)
            drawPlane(i, 0);
        break;
    case VX_EMU_DISPLAY_INDIVIDUAL:
        for (int i = 0; i < kPlanes; ++i)
            if (chosenPlanes_[i]) drawPlane(i, i);
        break;
    default: // VX_EMU_DISPLAY_NONE
        break;
    }
}

void EmulatedVolume::drawBoundingBox() {
    static const GLuint kLoopFront[4] = {0, 1, 2, 3};
    static const GLuint kLoopBack[4] = {4, 5, 6, 7};
    static const GLuint kEdges[8] = {0, 4, 1, 5, 2, 6, 3, 7};
    if (!boxCornersFilled_) {
        const float corners[8][3] = {{-1, -0.5f, 0},  {-1, 1, 0},  {1, 1, 0},  {1, -0.5f, 0},
                                     {-1, -0.5f, -2}, {-1, 1, -2}, {1, 1, -2}, {1, -0.5f, -2}};
        for (int i = 0; i < 8; ++i)
            for (int c = 0; c < 3; ++c)
                boxCorners_[i][c] = corners[i][c];
        boxCornersFilled_ = true;
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0, 0);
    glLineWidth(3);
    glVertexPointer(3, GL_FLOAT, 0, boxCorners_);
    glDrawElements(GL_LINE_LOOP, 4, GL_UNSIGNED_INT, kLoopFront);
    glDrawElements(GL_LINE_LOOP, 4, GL_UNSIGNED_INT, kLoopBack);
    glDrawElements(GL_LINES, 8, GL_UNSIGNED_INT, kEdges);
    glLineWidth(1);
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

} // namespace vx::emu
