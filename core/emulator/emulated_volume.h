// The emulated volume device: front and back stores of 20 RGB plane buffers, the region of
// the last region operation, the device flags, and the writes, swaps and clears that the
// command path and the frame hand-off drive. One global instance stands in for the display.
// It also keeps, per plane buffer, which rows may hold colour and which changed since the
// buffer was last drawn, and (with a rendering context) the drawing state of the planes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::emu {

// A half-open range of buffer rows [lo, hi); empty when lo >= hi.
struct RowRange {
    int lo = 0, hi = 0;
    bool empty() const { return lo >= hi; }
    int size() const { return empty() ? 0 : hi - lo; }
    bool contains(int row) const { return row >= lo && row < hi; }
    void add(int row) { add(RowRange{row, row + 1}); }
    void add(RowRange r) {
        if (r.empty()) return;
        if (empty())
            *this = r;
        else
            lo = r.lo < lo ? r.lo : lo, hi = r.hi > hi ? r.hi : hi;
    }
    RowRange clipped(int a, int b) const {
        RowRange r{lo > a ? lo : a, hi < b ? hi : b};
        return r.empty() ? RowRange{} : r;
    }
    bool operator==(const RowRange &) const = default;
};

// How drawPlanes brings the front store into textures.
enum class RedrawStrategy {
    ChangedRows, // one texture per plane: only rows that changed are uploaded, black planes skipped
    FullUpload,  // one shared texture, every drawn plane uploaded in full before its square
};

class EmulatedVolume {
  public:
    static constexpr int kPlanes = 20;
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 748;
    static constexpr int kRowBytes = 1024 * 3;
    static constexpr int kOffsetRows = 20;
    static constexpr int kBufferRows = kHeight + kOffsetRows; // rows a texture upload covers

    // Creates the stores with their defaults; with `graphics` (the emulator's rendering
    // context current) also the drawing state.
    void create(bool graphics = false);
    void destroy();
    void execute(int op, int a1, int a2, int a3, int a4, int a5, int a6);
    void write(const std::uint32_t *words);
    void swap();
    void clearBack();

    // Drawing (the emulator's context current, created with graphics).
    void drawPlanes();
    void drawBoundingBox();
    void setRedrawStrategy(RedrawStrategy strategy) { strategy_ = strategy; }
    RedrawStrategy redrawStrategy() const { return strategy_; }

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

    // Buffer rows of a plane that may hold a colour other than black (every other row is
    // black), and rows that changed since clearChangedRows, for the front (0) or back (1)
    // store. Both follow the buffer through swaps. Empty for a bad store or plane.
    RowRange colouredRows(int store, int plane) const;
    RowRange changedRows(int store, int plane) const;
    void clearChangedRows(int store, int plane);

  private:
    struct Rows {
        RowRange coloured, changed;
    };

    Rows &backRows(int plane) { return rows_[frontSlot_ ^ 1][plane]; }
    void noteRow(int plane, int row, bool coloured);
    void noteColouredPlanes(int y, std::uint32_t coloured);
    void noteOverwrites(int y0, int y1);
    void noteEverythingChanged();
    void storeFullPlane(std::uint8_t *const *dest, const std::uint32_t *words);
    void storeSubPlane(std::uint8_t *const *dest, const std::uint32_t *words);
    void storeFullBlock(std::uint8_t *const *dest, const std::uint32_t *words);
    void storeSubBlock(std::uint8_t *const *dest, const std::uint32_t *words);
    void createGraphics(int step);
    void drawPlane(int plane, int quad);

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

    Rows rows_[2][kPlanes] = {};
    int frontSlot_ = 0;

    // Drawing state: the shared texture and geometry of the planes, and the per-plane
    // textures with what each of them holds.
    unsigned texture_ = 0;
    int texWidth_ = 0, texHeight_ = 0, texBytes_ = 0;
    float planeQuads_[kPlanes][4][3] = {};
    float quadTexCoords_[4][2] = {};
    float boxCorners_[8][3] = {};
    bool boxCornersFilled_ = false;
    RedrawStrategy strategy_ = RedrawStrategy::ChangedRows;
    unsigned planeTextures_[kPlanes] = {};
    bool planeTextureReady_[kPlanes] = {};
    const std::uint8_t *planeTextureSource_[kPlanes] = {};
    RowRange planeTextureColoured_[kPlanes] = {};
};

// Replaces calloc for the plane buffers and pointer arrays (tests inject failures); null
// restores calloc.
using PlaneAllocator = void *(*)(std::size_t count, std::size_t size);
void setPlaneAllocator(PlaneAllocator allocator);

// The one device of the process.
EmulatedVolume &volume();

} // namespace vx::emu
