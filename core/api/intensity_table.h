// The 256-entry intensity table every colour component passes through: gamma, contrast and
// brightness offset, with the three low bits of each entry cleared.
#pragma once

#include <cstdint>

namespace vx::core {

void buildIntensityTable(float gamma, float contrast, float brightness, std::uint8_t table[256]);

} // namespace vx::core
