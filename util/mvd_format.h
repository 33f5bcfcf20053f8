// The MVD volume format: the 18-byte header, the table of packing codes, and the conversions
// between a plane word and the unit that each packing stores for it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::util::mvd {

constexpr std::size_t kHeaderSize = 18;
constexpr unsigned char kVersion = 1;
constexpr int kPackingCount = 7;
constexpr std::uint32_t kMaxDimension = 65535; // the header's 16-bit fields
constexpr std::uint32_t kMaxCommentLength = 65535;

// One row of the packing table.
struct Packing {
    unsigned char bytesPerUnit;
    bool runLength;
};

// Indexed by packing code (MVD_WORD32 .. MVD_WORD32_RLE).
constexpr Packing kPackings[kPackingCount] = {
    {4, false}, // 0 MVD_WORD32
    {2, false}, // 1 MVD_COLOR15
    {2, true},  // 2 MVD_COLOR15_RLE
    {3, false}, // 3 MVD_PACKED24
    {1, false}, // 4 MVD_GRAY8
    {1, true},  // 5 MVD_GRAY5_RLE
    {4, true},  // 6 MVD_WORD32_RLE
};

// The fields of a header as read or about to be written.
struct Header {
    unsigned char magic[3];
    unsigned char version;
    unsigned char packing;
    unsigned char bytesPerUnit;
    std::uint32_t width, height, depth;
    std::uint32_t commentLength;
};

// True when the header names the format, version 1, a known packing and its unit size.
inline bool valid(const Header &h) {
    return h.magic[0] == 'M' && h.magic[1] == 'V' && h.magic[2] == 'D' && h.version == kVersion &&
           h.packing < kPackingCount && h.bytesPerUnit == kPackings[h.packing].bytesPerUnit;
}

void encodeHeader(const Header &h, unsigned char out[kHeaderSize]);
Header decodeHeader(const unsigned char in[kHeaderSize]);

// ---- Plane word -> unit (writing) -----------------------------------------------------------
// v bits 27..31, 19..23 and 11..15 are the colour components.

inline std::uint16_t toColor15(std::uint32_t v) {
    return static_cast<std::uint16_t>(((v >> 27) & 31u) << 10 | ((v >> 19) & 31u) << 5 |
                                      ((v >> 11) & 31u));
}

inline std::uint32_t toPacked24(std::uint32_t v) {
    return ((v >> 27) & 31u) << 19 | ((v >> 19) & 31u) << 14 | ((v >> 11) & 31u) << 9 |
           ((v >> 7) & 15u) << 5 | (v & 31u);
}

inline std::uint8_t toGray8(std::uint32_t v) {
    std::uint32_t c3 = (v >> 24) & 0xF8u, c2 = (v >> 16) & 0xF8u, c1 = (v >> 8) & 0xF8u;
    return static_cast<std::uint8_t>((c3 + c2 + c1) / 3u);
}

inline std::uint8_t toGray5(std::uint32_t v) {
    return static_cast<std::uint8_t>(toGray8(v) >> 3);
}

// Byte 3 moves down one bit so that the run flag (bit 31) is always clear.
inline std::uint32_t toMasked32(std::uint32_t v) {
    std::uint32_t w = v & 0xF8F8FFDFu;
    return (w & 0x00FFFFFFu) | ((w >> 24) >> 1) << 24;
}

// ---- Unit -> plane word (reading); bits the unit does not carry are 0 ----------------------

inline std::uint32_t fromColor15(std::uint32_t u) {
    return ((u >> 10) & 31u) << 27 | ((u >> 5) & 31u) << 19 | (u & 31u) << 11;
}

inline std::uint32_t fromPacked24(std::uint32_t u) {
    return ((u >> 19) & 31u) << 27 | ((u >> 14) & 31u) << 19 | ((u >> 9) & 31u) << 11 |
           ((u >> 5) & 15u) << 7 | (u & 31u);
}

inline std::uint32_t grayWord(std::uint32_t g) {
    return g << 24 | g << 16 | g << 8;
}

inline std::uint32_t fromGray8(std::uint32_t u) {
    return grayWord(u & 0xFFu);
}

// A hostile literal may carry up to 7 bits; the grey byte keeps what fits.
inline std::uint32_t fromGray5(std::uint32_t u) {
    return grayWord((u << 3) & 0xFFu);
}

inline std::uint32_t fromMasked32(std::uint32_t u) {
    return (u & 0x00FFFFFFu) | (((u >> 24) << 1) & 0xFFu) << 24;
}

} // namespace vx::util::mvd
