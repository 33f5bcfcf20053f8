// 32-bit TGA images: writing frames of the plane data formats (68 to 75) with the depth in the
// alpha channel, and reading uncompressed 32-bit images back as formats 72 to 74.
//
// Writers convert a batch of pixels at a time into one block allocated per call, so a frame of
// any size needs no full-size temporary image. Readers read each row straight into its place
// in the frame and reorder its bytes there.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "file_io.h"
#include "vxUtil.h"

namespace vx::util::tga {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr unsigned kMaxDimension = 65535;
constexpr std::size_t kMaxIdLength = 255;
constexpr unsigned char kImageTypeTrueColor = 2;
constexpr unsigned char kOriginMask = 0x30;
constexpr unsigned char kOriginTopLeft = 0x20;
constexpr unsigned char kOriginBottomLeft = 0x00;
constexpr std::size_t kBatchPixels = 16 * 1024;
// 20/19 in single precision: plane index 0..18 stays itself, 19 becomes 20.
constexpr float kPlaneIndexFactor = 1.0526316f;

struct Header {
    unsigned idLength;
    unsigned colorMapType;
    unsigned imageType;
    unsigned width;
    unsigned height;
    unsigned pixelDepth;
    unsigned descriptor;
};

void encodeHeader(unsigned width, unsigned height, unsigned idLength,
                  unsigned char out[kHeaderSize]) {
    std::memset(out, 0, kHeaderSize); // colour map specification and x, y origin are 0
    out[0] = static_cast<unsigned char>(idLength);
    out[1] = 0;
    out[2] = kImageTypeTrueColor;
    put16(out + 12, width);
    put16(out + 14, height);
    out[16] = 32;
    out[17] = kOriginTopLeft;
}

Header decodeHeader(const unsigned char in[kHeaderSize]) {
    return Header{in[0], in[1], in[2], get16(in + 12), get16(in + 14), in[16], in[17]};
}

bool dimensionsFit(int width, int height) {
    return width >= 1 && height >= 1 && static_cast<unsigned>(width) <= kMaxDimension &&
           static_cast<unsigned>(height) <= kMaxDimension;
}

// ---- Writing ---------------------------------------------------------------------------------

inline unsigned char clampByte(int v) {
    return static_cast<unsigned char>(v > 255 ? 255 : v);
}

// The alpha of format 75: the word's bits 0..4 read as plane index and 6..10 as fraction.
inline unsigned char wordAlpha(std::uint32_t v) {
    std::uint32_t d = (v & 31u) * 32u + ((v >> 6) & 31u);
    return clampByte(static_cast<int>(d * 255u / 608u));
}

// Maps a 16-bit depth onto 0..255 across the frame's depth range.
struct DepthScale {
    std::uint16_t min = 0;
    float factor = 0.0f; // 0 when the range is empty (every depth 65535): alpha 0 throughout

    unsigned char alpha(std::uint16_t d) const {
        return clampByte(static_cast<int>(static_cast<float>(d - min) * factor));
    }
};

DepthScale scaleOf(const std::uint16_t *depths, std::uint64_t n) {
    // A plain min/max loop; the compiler turns it into a vector scan.
    std::uint16_t lo = 0xFFFF, hi = 0;
    for (std::uint64_t i = 0; i < n; ++i) {
        lo = std::min(lo, depths[i]);
        hi = std::max(hi, depths[i]);
    }
    DepthScale s;
    s.min = lo;
    int range = std::min(int{hi} + 1, 65535) - int{lo};
    if (range > 0) s.factor = 255.0f / static_cast<float>(range);
    return s;
}

// Writes n pixels through a batch block; convert(i, out) fills the 4 file bytes of pixel i.
template <typename Convert> bool writePixels(File &file, std::uint64_t n, Convert convert) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[kBatchPixels * 4]);
    if (!block) return false;
    for (std::uint64_t start = 0; start < n; start += kBatchPixels) {
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n - start, kBatchPixels));
        for (std::size_t i = 0; i < k; ++i)
            convert(start + i, block.get() + 4 * i);
        file.write(block.get(), 4 * k);
    }
    return true;
}

inline void put(unsigned char *o, unsigned b, unsigned g, unsigned r, unsigned a) {
    o[0] = static_cast<unsigned char>(b);
    o[1] = static_cast<unsigned char>(g);
    o[2] = static_cast<unsigned char>(r);
    o[3] = static_cast<unsigned char>(a);
}

// Opens the file and writes header and identification field.
bool begin(File &file, const char *fileName, int width, int height, const char *comment) {
    if (!file.open(fileName, "wb")) return false;
    std::size_t idLength = comment ? strnlen(comment, kMaxIdLength) : 0;
    unsigned char raw[kHeaderSize];
    encodeHeader(static_cast<unsigned>(width), static_cast<unsigned>(height),
                 static_cast<unsigned>(idLength), raw);
    file.write(raw, kHeaderSize);
    file.write(comment, idLength);
    return true;
}

unsigned finish(File &file, bool converted) {
    bool ok = file.close();
    if (!converted) return VX_ERR_NO_MEMORY;
    return ok ? VX_OK : VX_ERR_IMAGE_WRITE;
}

unsigned saveWords(const char *fileName, int width, int height, const void *words,
                   const char *comment) {
    File file;
    if (!begin(file, fileName, width, height, comment)) return VX_ERR_FILE_OPEN;
    const auto *v = static_cast<const std::uint32_t *>(words);
    const std::uint64_t n = std::uint64_t(width) * std::uint64_t(height);
    bool converted = writePixels(file, n, [v](std::uint64_t i, unsigned char *o) {
        std::uint32_t w = v[i];
        put(o, (w >> 8) & 0xF8u, (w >> 16) & 0xF8u, (w >> 24) & 0xF8u, wordAlpha(w));
    });
    return finish(file, converted);
}

unsigned saveFrame(const char *fileName, int width, int height, unsigned format, const void *data,
                   const std::uint16_t *depths, const char *comment) {
    const auto *p = static_cast<const unsigned char *>(data);
    const std::uint64_t n = std::uint64_t(width) * std::uint64_t(height);
    DepthScale scale;
    if (format <= VX_FORMAT_XBGR_Z16) scale = scaleOf(depths, n);

    File file;
    if (!begin(file, fileName, width, height, comment)) return VX_ERR_FILE_OPEN;
    bool converted = false;
    // Blue, green and red come from the bytes the format keeps them in; alpha carries depth.
    switch (format) {
    case VX_FORMAT_RGB_Z16:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 3 * i;
            put(o, s[2], s[1], s[0], scale.alpha(depths[i]));
        });
        break;
    case VX_FORMAT_BGR_Z16:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 3 * i;
            put(o, s[0], s[1], s[2], scale.alpha(depths[i]));
        });
        break;
    case VX_FORMAT_RGBX_Z16:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 4 * i;
            put(o, s[2], s[1], s[0], scale.alpha(depths[i]));
        });
        break;
    case VX_FORMAT_XBGR_Z16:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 4 * i;
            put(o, s[1], s[2], s[3], scale.alpha(depths[i]));
        });
        break;
    case VX_FORMAT_RGBZ:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 4 * i;
            put(o, s[2], s[1], s[0], s[3]);
        });
        break;
    case VX_FORMAT_BGRZ:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 4 * i;
            put(o, s[0], s[1], s[2], s[3]);
        });
        break;
    case VX_FORMAT_RGBP:
        converted = writePixels(file, n, [&](std::uint64_t i, unsigned char *o) {
            const unsigned char *s = p + 4 * i;
            int alpha = static_cast<int>(static_cast<float>(s[3]) * kPlaneIndexFactor);
            put(o, s[2], s[1], s[0], clampByte(alpha));
        });
        break;
    }
    return finish(file, converted);
}

// ---- Reading ---------------------------------------------------------------------------------

bool formatReadable(unsigned format) {
    return format == VX_FORMAT_RGBZ || format == VX_FORMAT_BGRZ || format == VX_FORMAT_RGBP;
}

// The largest alpha of format 74: the last plane's index.
unsigned char lastPlaneIndex() {
    int planes = 0;
    if (vxGet(VX_GET_NUM_PLANES, &planes) != VX_OK || planes < 1) planes = VX_NUM_PLANES;
    return clampByte(planes - 1);
}

void setReason(int *reason, int code) {
    if (reason) *reason = code;
}

// Opens the file for reading only and reads the header.
unsigned openHeader(File &file, const char *fileName, Header &h, int *reason) {
    if (!file.open(fileName, "rb")) return VX_ERR_FILE_NOT_FOUND;
    unsigned char raw[kHeaderSize];
    if (!file.read(raw, kHeaderSize)) {
        setReason(reason, VXUTIL_TGA_REASON_SHORT_HEADER);
        return VX_ERR_INVALID_FORMAT;
    }
    h = decodeHeader(raw);
    return VX_OK;
}

// The header checks that come before the dimensions are stored: colour map, image type.
int typeReason(const Header &h) {
    if (h.colorMapType != 0) return VXUTIL_TGA_REASON_COLOR_MAP;
    if (h.imageType != kImageTypeTrueColor) return VXUTIL_TGA_REASON_IMAGE_TYPE;
    return 0;
}

// The header checks that come after the dimensions: pixel depth, origin.
int layoutReason(const Header &h) {
    if (h.pixelDepth != 32) return VXUTIL_TGA_REASON_PIXEL_DEPTH;
    unsigned origin = h.descriptor & kOriginMask;
    if (origin != kOriginTopLeft && origin != kOriginBottomLeft) return VXUTIL_TGA_REASON_ORIGIN;
    return 0;
}

// Reads the pixels into out (top row first) in the chosen format.
bool readPixels(File &file, const Header &h, unsigned format, unsigned char *out) {
    const std::size_t rowBytes = std::size_t{h.width} * 4;
    const bool topLeft = (h.descriptor & kOriginMask) == kOriginTopLeft;
    const unsigned char maxPlane = format == VX_FORMAT_RGBP ? lastPlaneIndex() : 0;
    for (unsigned r = 0; r < h.height; ++r) {
        unsigned char *row = out + rowBytes * (topLeft ? r : h.height - 1 - r);
        if (!file.read(row, rowBytes)) return false;
        if (format == VX_FORMAT_BGRZ) continue; // the file's own order
        for (std::size_t i = 0; i < rowBytes; i += 4) {
            std::swap(row[i], row[i + 2]); // blue, green, red -> red, green, blue
            if (format == VX_FORMAT_RGBP) row[i + 3] = std::min(row[i + 3], maxPlane);
        }
    }
    return true;
}

unsigned reasonResult(int *reason, int code) {
    setReason(reason, code);
    return VX_ERR_INVALID_FORMAT;
}

} // namespace

unsigned saveBuffer(const char *fileName, int width, int height, unsigned format, const void *data,
                    const unsigned short *depthBuffer, const char *comment) {
    if (fileName == nullptr || data == nullptr || depthBuffer == nullptr ||
        !dimensionsFit(width, height))
        return VX_ERR_IMAGE_WRITE;
    if (format == VX_FORMAT_MVD32) return saveWords(fileName, width, height, data, comment);
    if (format < VX_FORMAT_RGB_Z16 || format > VX_FORMAT_MVD32) return VX_ERR_INVALID_FORMAT;
    return saveFrame(fileName, width, height, format, data, depthBuffer, comment);
}

unsigned saveMvd32(const char *fileName, int width, int height, const void *words,
                   const char *comment) {
    if (fileName == nullptr || words == nullptr) return VX_ERR_INVALID_ARGUMENT;
    if (!dimensionsFit(width, height)) return VX_ERR_IMAGE_WRITE;
    return saveWords(fileName, width, height, words, comment);
}

unsigned load(const char *fileName, unsigned format, VXbuffer *buffer, int *reason) {
    if (fileName == nullptr || buffer == nullptr || !formatReadable(format))
        return VX_ERR_INVALID_ARGUMENT;
    buffer->data = nullptr;
    buffer->comment = nullptr;

    File file;
    Header h{};
    if (unsigned status = openHeader(file, fileName, h, reason); status != VX_OK) return status;
    if (int r = typeReason(h)) return reasonResult(reason, r);
    if (h.width == 0) return reasonResult(reason, VXUTIL_TGA_REASON_WIDTH);
    buffer->width = static_cast<int>(h.width);
    if (h.height == 0) return reasonResult(reason, VXUTIL_TGA_REASON_HEIGHT);
    buffer->height = static_cast<int>(h.height);
    if (int r = layoutReason(h)) return reasonResult(reason, r);

    const std::uint64_t bytes = std::uint64_t{h.width} * h.height * 4;
    if (bytes > VXUTIL_MAX_BUFFER_BYTES) return VX_ERR_NO_MEMORY;
    if (certainlyShort(file, h.idLength + bytes)) return VX_ERR_FILE;

    std::unique_ptr<unsigned char, decltype(&std::free)> data(
        static_cast<unsigned char *>(std::malloc(bytes)), &std::free);
    std::unique_ptr<char, decltype(&std::free)> text(nullptr, &std::free);
    if (!data) return VX_ERR_NO_MEMORY;
    adviseHugePages(data.get(), bytes);
    if (h.idLength > 0) {
        text.reset(static_cast<char *>(std::malloc(h.idLength + 1)));
        if (!text) return VX_ERR_NO_MEMORY;
        if (!file.read(text.get(), h.idLength)) return VX_ERR_FILE;
        text.get()[h.idLength] = '\0';
    }
    if (!readPixels(file, h, format, data.get())) return VX_ERR_FILE;
    buffer->data = data.release();
    buffer->comment = text.release();
    return VX_OK;
}

unsigned loadInto(const char *fileName, unsigned format, int *width, int *height, void *buffer,
                  int commentSize, char *comment, int *reason) {
    if (fileName == nullptr || width == nullptr || height == nullptr || buffer == nullptr ||
        !formatReadable(format))
        return VX_ERR_INVALID_ARGUMENT;

    File file;
    Header h{};
    if (unsigned status = openHeader(file, fileName, h, reason); status != VX_OK) return status;
    if (int r = typeReason(h)) return reasonResult(reason, r);
    if (h.width == 0) return reasonResult(reason, VXUTIL_TGA_REASON_WIDTH);
    if (h.height == 0) return reasonResult(reason, VXUTIL_TGA_REASON_HEIGHT);
    if (static_cast<int>(h.width) > *width) return VX_ERR_OUT_OF_RANGE;
    *width = static_cast<int>(h.width);
    if (static_cast<int>(h.height) > *height) return VX_ERR_OUT_OF_RANGE;
    *height = static_cast<int>(h.height);
    if (int r = layoutReason(h)) return reasonResult(reason, r);

    const std::uint64_t bytes = std::uint64_t{h.width} * h.height * 4;
    if (certainlyShort(file, h.idLength + bytes)) return VX_ERR_FILE;
    // The whole identification field is consumed, copied or not, so the pixels start right.
    unsigned char id[kMaxIdLength];
    if (!file.read(id, h.idLength)) return VX_ERR_FILE;
    if (commentSize > 0 && comment != nullptr) {
        std::size_t n =
            std::min<std::size_t>(h.idLength, static_cast<std::size_t>(commentSize) - 1);
        std::memcpy(comment, id, n);
        comment[n] = '\0';
    }
    return readPixels(file, h, format, static_cast<unsigned char *>(buffer)) ? VX_OK : VX_ERR_FILE;
}

} // namespace vx::util::tga

extern "C" {

VXUTIL_API unsigned int vxUtilSaveBufferAsTGA(const char *fileName, int width, int height,
                                              unsigned int format, const void *data,
                                              const unsigned short *depthBuffer,
                                              const char *comment) {
    return vx::util::tga::saveBuffer(fileName, width, height, format, data, depthBuffer, comment);
}

VXUTIL_API unsigned int vxUtilSaveMVD32AsTGA(const char *fileName, int width, int height,
                                             const void *words, const char *comment) {
    return vx::util::tga::saveMvd32(fileName, width, height, words, comment);
}

VXUTIL_API unsigned int vxUtilLoadTGA(const char *fileName, unsigned int format, VXbuffer *buffer,
                                      int *reason) {
    return vx::util::tga::load(fileName, format, buffer, reason);
}

} // extern "C"

VXUTIL_API unsigned int vxUtilLoadTGANA(const char *fileName, unsigned int format, int *width,
                                        int *height, void *buffer, int commentSize, char *comment,
                                        int *reason) {
    return vx::util::tga::loadInto(fileName, format, width, height, buffer, commentSize, comment,
                                   reason);
}
