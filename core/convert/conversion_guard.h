// Marks a conversion in progress, so that a frame callback calling back into vxRenderBuffer
// is refused instead of overwriting the scratch buffer it is being shown.
#pragma once

namespace vx::core {

class ConversionGuard {
  public:
    ConversionGuard() : entered_(!active()) {
        if (entered_) active() = true;
    }
    ~ConversionGuard() {
        if (entered_) active() = false;
    }
    ConversionGuard(const ConversionGuard &) = delete;
    ConversionGuard &operator=(const ConversionGuard &) = delete;
    bool entered() const { return entered_; }

  private:
    static bool &active() {
        static bool flag = false;
        return flag;
    }
    bool entered_;
};

} // namespace vx::core
