// Writes an RGB picture as a PNG file (libpng).
#pragma once

#include <cstdint>

namespace vx::emu {

// rgb: height rows top to bottom of width pixels, 3 bytes each. Returns VX_OK,
// VX_ERR_FILE_OPEN when the file cannot be created, VX_ERR_IMAGE_WRITE when writing fails.
unsigned writePng(const char *path, const std::uint8_t *rgb, int width, int height);

} // namespace vx::emu
