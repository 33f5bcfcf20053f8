// The demo's scene: a lit, animated group of solids drawn with the application's own
// OpenGL context, read back as colour and depth.
#pragma once

#include <vector>

struct SceneFrame {
    std::vector<unsigned char> rgbx;    // width x height pixels, R, G, B, unused; top row first
    std::vector<unsigned short> depth;  // window depth of each pixel, top row first
};

class Scene {
  public:
    static constexpr double kNear = 2.0;
    static constexpr double kFar = 9.0;

    Scene(int width, int height);
    // Draws the scene at time t (seconds) and reads it back into frame.
    void render(double t, SceneFrame &frame);

  private:
    int width_, height_;
};
