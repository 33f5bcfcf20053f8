#include "emulator/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "vx.h"

namespace vx::emu {

namespace {

// libpng reports errors by a long jump back into encode(); nothing with a destructor lives
// in that function's frame.
bool encode(std::FILE *file, const std::uint8_t *rgb, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb + std::size_t(y) * std::size_t(width) * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

unsigned writePng(const char *path, const std::uint8_t *rgb, int width, int height) {
    std::FILE *file = std::fopen(path, "wb");
    if (!file) return VX_ERR_FILE_OPEN;
    const bool encoded = encode(file, rgb, width, height);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    return encoded && flushed && closed ? VX_OK : VX_ERR_IMAGE_WRITE;
}

} // namespace vx::emu
