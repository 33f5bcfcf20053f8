// vxtool info FILE: what an MVD, TGA or RAW file holds.
#include <algorithm>
#include <cstdio>

#include "vxUtil.h"
#include "vxtool.h"

namespace vxtool {

namespace {

const char *kInfoHelp =
    "usage: vxtool info FILE\n"
    "\n"
    "Says what an MVD volume, a TGA image or a RAW volume holds: its size, its packing or\n"
    "pixel format, its comment and how many of its voxels or pixels are not black.\n"
    "RAW files carry their size in their name: BASE-WIDTH-HEIGHT-DEPTH-GRAY8.raw.\n";

struct Packing {
    const char *name;
    const char *unit;
};

// The MVD packing codes, as the file's header names them.
const Packing kPackings[] = {
    {"MVD_WORD32", "4-byte plane words, lossless"},
    {"MVD_COLOR15", "2-byte 15-bit colour"},
    {"MVD_COLOR15_RLE", "2-byte 15-bit colour, run-length packed"},
    {"MVD_PACKED24", "3-byte colour and plane bits"},
    {"MVD_GRAY8", "1-byte grey"},
    {"MVD_GRAY5_RLE", "1-byte 5-bit grey, run-length packed"},
    {"MVD_WORD32_RLE", "4-byte masked plane words, run-length packed"},
};

// A comment on one line: line breaks and other control characters become blanks.
std::string oneLine(std::string text) {
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

std::string sizeLine(const Picture &p) {
    std::string s = std::to_string(p.width) + " x " + std::to_string(p.height);
    if (p.kind == FileKind::Tga) return s;
    if (p.depth == 0) return s + " x 0 (one plane)";
    return s + " x " + std::to_string(p.depth);
}

} // namespace

int runInfo(const std::vector<std::string> &args) {
    Arguments a(args, {}, {});
    if (a.wantsHelp()) {
        std::fputs(kInfoHelp, stdout);
        return kExitOk;
    }
    if (a.positional().size() != 1) failUsage("FILE", "give exactly one file");

    Picture p = loadPicture(a.positional()[0]);
    const char *unit = p.kind == FileKind::Tga ? "pixels" : "voxels";
    std::size_t count = p.pixelCount();
    std::size_t lit = 0;
    unsigned lo = 255, hi = 0; // range of the depth byte (TGA) or the grey level (RAW)
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char *px = p.pixels.data() + i * std::size_t(p.bytesPerPixel);
        switch (p.kind) {
        case FileKind::Mvd: lit += (px[1] | px[2] | px[3]) & 0xF8 ? 1 : 0; break; // colour bits
        case FileKind::Tga:
            lit += (px[0] | px[1] | px[2]) != 0;
            lo = std::min<unsigned>(lo, px[3]);
            hi = std::max<unsigned>(hi, px[3]);
            break;
        case FileKind::Raw:
            lit += px[0] != 0;
            lo = std::min<unsigned>(lo, px[0]);
            hi = std::max<unsigned>(hi, px[0]);
            break;
        }
    }

    std::printf("file:      %s\n", p.path.c_str());
    std::printf("kind:      %s\n", kindName(p.kind));
    std::printf("size:      %s (%zu %s)\n", sizeLine(p).c_str(), count, unit);
    switch (p.kind) {
    case FileKind::Mvd:
        std::printf("format:    75, plane words\n");
        if (p.mvdPacking >= 0 && p.mvdPacking <= 6)
            std::printf("packing:   %d %s (%s)\n", p.mvdPacking, kPackings[p.mvdPacking].name,
                        kPackings[p.mvdPacking].unit);
        break;
    case FileKind::Tga:
        std::printf("format:    32-bit true colour, origin %s; loads as data format 72\n",
                    p.tgaBottomUp ? "bottom left" : "top left");
        if (count) std::printf("depth:     alpha %u to %u\n", lo, hi);
        break;
    case FileKind::Raw:
        std::printf("format:    81, 8-bit grey\n");
        if (count) std::printf("grey:      %u to %u\n", lo, hi);
        if (p.rawExtraBytes)
            std::printf("extra:     %llu bytes after the last voxel (ignored)\n",
                        (unsigned long long)p.rawExtraBytes);
        break;
    }
    if (p.kind != FileKind::Raw)
        std::printf("comment:   %s\n", p.comment.empty() ? "(none)" : oneLine(p.comment).c_str());
    std::printf("non-black: %zu of %zu %s\n", lit, count, unit);
    return kExitOk;
}

} // namespace vxtool
