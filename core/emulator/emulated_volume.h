// The emulated volume device: front and back stores of 20 RGB plane buffers, the region of
// the last region operation, the device flags, and the writes, swaps and clears that the
// command path and the frame hand-off drive. One global instance stands in for the display.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::emu {

class EmulatedVolume {
  public:
    static constexpr int kPlanes = 20;
    static constexpr int kRowBytes = 1024 * 3;
    static constexpr int kOffsetRows = 20;

    void create();
    void destroy();
    void execute(int op, int a1, int a2, int a3, int a4, int a5, int a6);
    void write(const std::uint32_t *words);
    void swap();
    void clearBack();

    void setDisplayMode(int mode) { displayMode_ = mode; }
    int displayMode() const { return displayMode_; }
    void setImageOffset(bool on) { imageOffset_ = on; }
    bool imageOffset() const { return imageOffset_ != 0; }
    void setAntiAliasing(bool on) { antiAliasing_ = on; }
    bool antiAliasing() const { return antiAliasing_ != 0; }
    void setBoundingBox(bool on) { boundingBox_ = on; }
    bool boundingBox() const { return boundingBox_ != 0; }
    void setPlaneChosen(int plane, bool on);
    bool planeChosen(int plane) const;
    void setSwapOnWrite(int value) { swapOnWrite_ = value; }
    void setClearOnSwap(int value) { clearOnSwap_ = value; }
    int swapOnWrite() const { return swapOnWrite_; }
    int clearOnSwap() const { return clearOnSwap_; }
    int regionMode() const { return regionMode_; }

    bool hasStores() const { return frontStore_ != nullptr && backStore_ != nullptr; }
    // Plane buffer `plane` of the front (store 0) or back (store 1) store; null when missing.
    const std::uint8_t *planeBuffer(int store, int plane) const;

  private:
    int width_ = 0, height_ = 0, planeCount_ = 0, planePixels_ = 0, planeBytes_ = 0;
    std::uint8_t **frontStore_ = nullptr;
    std::uint8_t **backStore_ = nullptr;
    std::uint8_t **frontView_ = nullptr;
    std::uint8_t **backView_ = nullptr;
    int blockOffset_[kPlanes] = {};
    int x0_ = 0, y0_ = 0, z0_ = 0, x1_ = 0, y1_ = 0, z1_ = 0;
    int regionMode_ = 0;
    int swapOnWrite_ = 0;
    int clearOnSwap_ = 0;
    std::uint8_t imageOffset_ = 0;
    std::uint8_t antiAliasing_ = 0;
    std::uint8_t boundingBox_ = 0;
    int displayMode_ = 0;
    std::uint8_t chosenPlanes_[kPlanes] = {};
};

// Replaces calloc for the plane buffers and pointer arrays (tests inject failures); null
// restores calloc.
using PlaneAllocator = void *(*)(std::size_t count, std::size_t size);
void setPlaneAllocator(PlaneAllocator allocator);

// The one device of the process.
EmulatedVolume &volume();

} // namespace vx::emu
