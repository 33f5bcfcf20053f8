#include "scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>

namespace {

void solidCube(float s) {
    static const float n[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    static const int f[6][4][3] = {
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}},
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 6; ++i) {
        glNormal3fv(n[i]);
        for (int v = 0; v < 4; ++v) glVertex3f(f[i][v][0] * s, f[i][v][1] * s, f[i][v][2] * s);
    }
    glEnd();
}

void torus(float major, float minor, int rings, int sides) {
    const float pi2 = 6.2831853f;
    for (int i = 0; i < rings; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= sides; ++j) {
            for (int k = 1; k >= 0; --k) {
                const float s = (i + k) % rings * pi2 / rings, t = j % sides * pi2 / sides;
                const float cx = std::cos(s), cy = std::sin(s);
                const float nx = std::cos(t) * cx, ny = std::cos(t) * cy, nz = std::sin(t);
                glNormal3f(nx, ny, nz);
                glVertex3f((major + minor * std::cos(t)) * cx, (major + minor * std::cos(t)) * cy,
                           minor * nz);
            }
        }
        glEnd();
    }
}

} // namespace

Scene::Scene(int width, int height) : width_(width), height_(height) {}

void Scene::render(double t, SceneFrame &frame) {
    glViewport(0, 0, width_, height_);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glShadeModel(GL_SMOOTH);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, double(width_) / height_, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float light[] = {2.0f, 3.0f, 4.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    gluLookAt(0, 0.8, 5.5, 0, 0, 0, 0, 1, 0);

    const float a = float(t * 40.0);
    // A torus turning about two axes in the middle of the volume.
    glPushMatrix();
    glRotatef(a, 0, 1, 0);
    glRotatef(a * 0.7f, 1, 0, 0);
    glColor3f(1.0f, 0.55f, 0.1f);
    torus(0.9f, 0.3f, 48, 24);
    glPopMatrix();
    // Four cubes circling it, from the front of the volume to the back.
    const float colours[4][3] = {{0.2f, 0.6f, 1.0f}, {0.3f, 1.0f, 0.4f}, {1.0f, 0.3f, 0.6f}, {1.0f, 1.0f, 0.3f}};
    for (int i = 0; i < 4; ++i) {
        glPushMatrix();
        glRotatef(-a * 0.8f + i * 90.0f, 0, 1, 0);
        glTranslatef(2.0f, std::sin(float(t) * 1.5f + i) * 0.4f, 0);
        glRotatef(a * 2, 1, 1, 0);
        glColor3fv(colours[i]);
        solidCube(0.3f);
        glPopMatrix();
    }
    glFinish();

    // Read back colour and depth; OpenGL's rows run bottom up, the kit's top down.
    const std::size_t pixels = std::size_t(width_) * height_;
    frame.rgbx.resize(pixels * 4);
    frame.depth.resize(pixels);
    std::vector<unsigned char> rgba(pixels * 4);
    std::vector<unsigned short> depth(pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, depth.data());
    for (int y = 0; y < height_; ++y) {
        const int src = height_ - 1 - y;
        std::memcpy(&frame.rgbx[std::size_t(y) * width_ * 4], &rgba[std::size_t(src) * width_ * 4],
                    std::size_t(width_) * 4);
        std::memcpy(&frame.depth[std::size_t(y) * width_], &depth[std::size_t(src) * width_],
                    std::size_t(width_) * 2);
    }
}
