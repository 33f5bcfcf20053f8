// The intensity table (gamma, contrast, brightness offset) and the frame callback setters.
#include "api/intensity_table.h"

#include <cmath>

#include "api/library_state.h"
#include "vx.h"

namespace vx::core {

void buildIntensityTable(float gamma, float contrast, float brightness, std::uint8_t table[256]) {
    for (int i = 0; i < 256; ++i) {
        const float x = static_cast<float>(i) / 255.0f;
        const double y = std::pow(static_cast<double>(x), static_cast<double>(gamma));
        const double vd = y * contrast + brightness;
        float v;
        if (vd > 1.0) {
            v = 1.0f;
        } else {
            v = static_cast<float>(vd);
            // A NaN setting (or an infinite contrast times 0) maps to black, not to an
            // undefined conversion.
            if (v < 0.0f || std::isnan(v)) v = 0.0f;
        }
        const float w = v * 255.0f;
        // Nearest integer, an exact half going down.
        const float f = std::floor(w);
        const int r = static_cast<int>(f) + ((w - f) > 0.5f ? 1 : 0);
        table[i] = static_cast<std::uint8_t>(r & 0xF8);
    }
}

} // namespace vx::core

using vx::core::state;

extern "C" {

VX_API unsigned int vxSetGammaFactor(float gamma) {
    if (gamma < 0.0f) return VX_ERR_INVALID_ARGUMENT;
    vx::core::buildIntensityTable(gamma, state().contrast, state().brightness, state().intensity);
    state().gamma = gamma;
    return VX_OK;
}

VX_API unsigned int vxSetContrast(float contrast) {
    vx::core::buildIntensityTable(state().gamma, contrast, state().brightness, state().intensity);
    state().contrast = contrast;
    return VX_OK;
}

VX_API unsigned int vxSetBrightnessOffset(float offset) {
    vx::core::buildIntensityTable(state().gamma, state().contrast, offset, state().intensity);
    state().brightness = offset;
    return VX_OK;
}

VX_API unsigned int vxSetCallBackFunction(VXframecallback callback) {
    state().callback = callback ? callback : vx::core::noOpCallback;
    return VX_OK;
}

VX_API unsigned int vxSetHiddenCallBackFunction(VXframecallback callback) {
    return vxSetCallBackFunction(callback);
}

} // extern "C"
