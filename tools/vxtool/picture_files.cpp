// Reading and writing the kit's three file kinds for vxtool, through the utility library, and
// turning what they hold into plane words and back.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "vxUtil.h"
#include "vxtool.h"

namespace fs = std::filesystem;

namespace vxtool {

namespace {

std::string lower(std::string s) {
    for (char &c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A VXbuffer that releases its blocks however the load ends.
struct LoadedBuffer {
    VXbuffer record;
    LoadedBuffer() { vxUtilInitializeVXbuffer(&record); }
    ~LoadedBuffer() { vxUtilFreeVXbuffer(&record); }
    LoadedBuffer(const LoadedBuffer &) = delete;
    LoadedBuffer &operator=(const LoadedBuffer &) = delete;
};

// The first bytes of a file (the loaders have already accepted it).
std::vector<unsigned char> headerOf(const std::string &path, std::size_t size) {
    std::vector<unsigned char> bytes(size, 0);
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        std::size_t got = std::fread(bytes.data(), 1, size, f);
        bytes.resize(got);
        std::fclose(f);
    }
    return bytes;
}

const char *tgaReason(int reason) {
    switch (reason) {
    case VXUTIL_TGA_REASON_WIDTH: return "its width is 0";
    case VXUTIL_TGA_REASON_HEIGHT: return "its height is 0";
    case VXUTIL_TGA_REASON_PIXEL_DEPTH: return "it is not 32 bits a pixel";
    case VXUTIL_TGA_REASON_ORIGIN: return "its origin is on the right";
    case VXUTIL_TGA_REASON_COLOR_MAP: return "it has a colour map";
    case VXUTIL_TGA_REASON_IMAGE_TYPE: return "it is not uncompressed true colour";
    case VXUTIL_TGA_REASON_SHORT_HEADER: return "it ends inside its 18-byte header";
    default: return "its header is refused";
    }
}

const char *rawReason(int reason) {
    switch (reason) {
    case VXUTIL_RAW_REASON_WIDTH: return "no hyphen before the width";
    case VXUTIL_RAW_REASON_HEIGHT: return "no hyphen before the height";
    case VXUTIL_RAW_REASON_DEPTH: return "no hyphen before the depth";
    case VXUTIL_RAW_REASON_TYPE: return "no hyphen before the voxel type";
    case VXUTIL_RAW_REASON_EXTENSION: return "no full stop before the extension";
    default: return "the name cannot be taken apart";
    }
}

const char *kRawNameForm = "names are BASE-WIDTH-HEIGHT-DEPTH-GRAY8.raw";

// The dimensions a RAW file name gives; false when the name does not follow the convention.
struct RawName {
    int width = -1, height = -1, depth = -1;
    unsigned status = VX_OK;
    int reason = 0;
    bool gray8 = false;
    bool complete() const {
        return status == VX_OK && gray8 && width >= 0 && height >= 0 && depth >= 0;
    }
};

RawName parseRawName(const std::string &path) {
    RawName name;
    int format = 0;
    // Only the file's own name: a folder may hold hyphens and full stops of its own.
    std::string file = fs::path(path).filename().string();
    name.status = vxUtilParseRAWFilename(file.c_str(), &format, &name.width, &name.height,
                                         &name.depth, &name.reason);
    name.gray8 = format == VX_FORMAT_GRAY8;
    return name;
}

Picture loadMvd(const std::string &path) {
    LoadedBuffer buffer;
    check(vxUtilLoadMVDFile(path.c_str(), &buffer.record), path);
    Picture p;
    p.width = buffer.record.width;
    p.height = buffer.record.height;
    p.depth = buffer.record.depth;
    p.format = VX_FORMAT_MVD32;
    p.bytesPerPixel = 4;
    const auto *data = static_cast<const unsigned char *>(buffer.record.data);
    p.pixels.assign(data, data + p.pixelCount() * 4);
    if (buffer.record.comment) p.comment = buffer.record.comment;
    auto header = headerOf(path, 18);
    p.mvdPacking = header.size() > 4 ? header[4] : -1;
    return p;
}

Picture loadTga(const std::string &path) {
    LoadedBuffer buffer;
    int reason = 0;
    unsigned status = vxUtilLoadTGA(path.c_str(), VX_FORMAT_RGBZ, &buffer.record, &reason);
    if (status == VX_ERR_INVALID_FORMAT) fail(status, path, tgaReason(reason));
    check(status, path);
    Picture p;
    p.width = buffer.record.width;
    p.height = buffer.record.height;
    p.depth = 0;
    p.format = VX_FORMAT_RGBZ;
    p.bytesPerPixel = 4;
    const auto *data = static_cast<const unsigned char *>(buffer.record.data);
    p.pixels.assign(data, data + p.pixelCount() * 4);
    if (buffer.record.comment) p.comment = buffer.record.comment;
    auto header = headerOf(path, 18);
    p.tgaBottomUp = header.size() > 17 && (header[17] & 0x30) == 0;
    return p;
}

Picture loadRaw(const std::string &path) {
    RawName name = parseRawName(path);
    if (name.status != VX_OK) fail(name.status, path, std::string(rawReason(name.reason)) +
                                                          "; " + kRawNameForm);
    if (!name.gray8) fail(VX_ERR_INVALID_FORMAT, path, "the voxel type is not GRAY8");
    if (!name.complete())
        fail(VX_ERR_INVALID_FORMAT, path, std::string("the name gives no size; ") + kRawNameForm);

    // Compare the size the name gives with the file before anything is allocated.
    std::uint64_t need = 1;
    for (int n : {name.width, name.height, std::max(name.depth, 1)}) {
        if (n != 0 && need > (std::uint64_t(1) << 40) / std::uint64_t(n)) {
            need = std::uint64_t(1) << 40; // beyond any buffer; the file check still applies
            break;
        }
        need *= std::uint64_t(n);
    }
    std::error_code ec;
    std::uint64_t have = fs::file_size(path, ec);
    if (ec) fail(VX_ERR_FILE_OPEN, path, ec.message());
    if (have < need)
        fail(VX_ERR_FILE, path,
             "the file holds " + std::to_string(have) + " bytes, its name says " +
                 std::to_string(name.width) + " x " + std::to_string(name.height) + " x " +
                 std::to_string(std::max(name.depth, 1)));
    if (need > VXUTIL_MAX_BUFFER_BYTES) fail(VX_ERR_NO_MEMORY, path, "the volume is too large");

    Picture p;
    p.width = name.width;
    p.height = name.height;
    p.depth = name.depth;
    p.format = VX_FORMAT_GRAY8;
    p.bytesPerPixel = 1;
    p.pixels.resize(p.pixelCount());
    p.rawExtraBytes = have - need;
    unsigned char dummy = 0; // the loader wants a buffer even for an empty volume
    check(vxUtilLoadRAW(path.c_str(), 0, p.width, p.height, p.depth,
                        p.pixels.empty() ? &dummy : p.pixels.data()),
          path);
    return p;
}

// Packed Z (plane index x 32 + fraction) of a plane word, and back into the word.
unsigned packedZ(std::uint32_t word) { return ((word >> 8) & 3u) << 8 | (word & 0xFFu); }
std::uint32_t withPackedZ(std::uint32_t colour, unsigned z) {
    return colour | ((z >> 8) & 3u) << 8 | (z & 0xFFu);
}
std::uint32_t colourWord(unsigned r, unsigned g, unsigned b) {
    return std::uint32_t(r & 0xF8u) << 24 | std::uint32_t(g & 0xF8u) << 16 |
           std::uint32_t(b & 0xF8u) << 8;
}
// An 8-bit depth spread over the 19 plane intervals as the core does with bounds 0 and 255:
// depth 0 is packed Z 0, depth 255 is 607.
unsigned packedZFromDepth(unsigned depth) { return (depth * (0x130000u / 255u)) >> 11; }
// The reverse, rounded, so that a depth survives a trip through a plane word.
unsigned depthFromPackedZ(unsigned z) { return std::min(255u, (z * 255u + 304u) / 608u); }

} // namespace

std::string extensionOf(const std::string &path) {
    return lower(fs::path(path).extension().string());
}

FileKind kindOf(const std::string &path) {
    std::string ext = extensionOf(path);
    if (ext == ".mvd") return FileKind::Mvd;
    if (ext == ".tga") return FileKind::Tga;
    if (ext == ".raw") return FileKind::Raw;
    fail(VX_ERR_FILE_EXTENSION, path, "expected .mvd, .tga or .raw");
}

const char *kindName(FileKind kind) {
    switch (kind) {
    case FileKind::Mvd: return "MVD volume";
    case FileKind::Tga: return "TGA image";
    case FileKind::Raw: return "RAW volume";
    }
    return "file";
}

Picture loadPicture(const std::string &path) {
    FileKind kind = kindOf(path);
    std::error_code ec;
    if (!fs::exists(path, ec)) fail(VX_ERR_FILE_NOT_FOUND, path);
    if (!fs::is_regular_file(path, ec)) fail(VX_ERR_FILE_OPEN, path, "not a regular file");
    Picture p = kind == FileKind::Mvd ? loadMvd(path)
                : kind == FileKind::Tga ? loadTga(path)
                                        : loadRaw(path);
    p.kind = kind;
    p.path = path;
    return p;
}

Volume toVolume(const Picture &p) {
    Volume v;
    v.width = p.width;
    v.height = p.height;
    v.depth = p.depth;
    v.comment = p.comment;
    v.words.resize(p.pixelCount());
    const unsigned char *px = p.pixels.data();
    switch (p.kind) {
    case FileKind::Mvd:
        if (!v.words.empty()) std::memcpy(v.words.data(), px, v.words.size() * 4);
        break;
    case FileKind::Tga: // format 72: red, green, blue, depth
        for (std::size_t i = 0; i < v.words.size(); ++i, px += 4)
            v.words[i] = withPackedZ(colourWord(px[0], px[1], px[2]), packedZFromDepth(px[3]));
        break;
    case FileKind::Raw: {
        std::size_t planePixels = std::size_t(p.width) * std::size_t(p.height);
        for (std::size_t i = 0; i < v.words.size(); ++i) {
            // The voxel's plane, as far as the display has planes.
            unsigned plane = unsigned(std::min<std::size_t>(i / planePixels, VX_NUM_PLANES - 1));
            v.words[i] = withPackedZ(colourWord(px[i], px[i], px[i]), plane * 32);
        }
        break;
    }
    }
    return v;
}

Volume stackFrames(const std::vector<Picture> &frames) {
    Volume v;
    v.width = frames.front().width;
    v.height = frames.front().height;
    v.depth = int(frames.size());
    v.comment = frames.front().comment;
    std::size_t planePixels = std::size_t(v.width) * std::size_t(v.height);
    v.words.reserve(planePixels * frames.size());
    for (std::size_t z = 0; z < frames.size(); ++z) {
        const Picture &f = frames[z];
        if (f.width != v.width || f.height != v.height)
            fail(VX_ERR_INVALID_ARGUMENT, f.path,
                 "is " + std::to_string(f.width) + " x " + std::to_string(f.height) +
                     ", the first frame " + std::to_string(v.width) + " x " +
                     std::to_string(v.height));
        unsigned plane = unsigned(std::min<std::size_t>(z, VX_NUM_PLANES - 1));
        const unsigned char *px = f.pixels.data();
        for (std::size_t i = 0; i < planePixels; ++i, px += 4)
            v.words.push_back(withPackedZ(colourWord(px[0], px[1], px[2]), plane * 32));
    }
    return v;
}

void saveMvd(const Volume &v, const std::string &path, int packing) {
    if (v.width > 65535 || v.height > 65535 || v.depth > 65535)
        fail(VX_ERR_INVALID_ARGUMENT, path, "MVD dimensions are at most 65535");
    static const std::uint32_t none = 0; // the writer wants voxels even for an empty volume
    check(vxUtilSaveMVDFile(path.c_str(), packing, v.width, v.height, v.depth,
                            v.words.empty() ? &none : v.words.data(),
                            v.comment.empty() ? nullptr : v.comment.c_str()),
          path);
}

void saveTgaPlane(const Volume &v, int plane, const std::string &path) {
    std::size_t planePixels = std::size_t(v.width) * std::size_t(v.height);
    std::vector<unsigned char> frame(planePixels * 4);
    const std::uint32_t *w = v.words.data() + planePixels * std::size_t(plane);
    for (std::size_t i = 0; i < planePixels; ++i) {
        frame[i * 4 + 0] = (w[i] >> 24) & 0xF8; // red
        frame[i * 4 + 1] = (w[i] >> 16) & 0xF8; // green
        frame[i * 4 + 2] = (w[i] >> 8) & 0xF8;  // blue
        frame[i * 4 + 3] = (unsigned char)depthFromPackedZ(packedZ(w[i]));
    }
    const unsigned short unusedDepth = 0; // format 72 carries its depth in byte 3
    check(vxUtilSaveBufferAsTGA(path.c_str(), v.width, v.height, VX_FORMAT_RGBZ,
                                frame.empty() ? nullptr : frame.data(), &unusedDepth,
                                v.comment.empty() ? nullptr : v.comment.c_str()),
          path, v.width > 65535 || v.height > 65535 ? "TGA dimensions are 1 to 65535" : "");
}

std::string saveRaw(const Volume &v, const std::string &path) {
    // BASE.raw, or a name that already carries the dimensions, which must then be the volume's.
    std::string base = path;
    if (extensionOf(path) == ".raw")
        base.resize(path.size() - 4);
    RawName name = parseRawName(path);
    if (name.complete()) {
        if (name.width != v.width || name.height != v.height || name.depth != v.depth)
            fail(VX_ERR_INVALID_ARGUMENT, path,
                 "the name says " + std::to_string(name.width) + " x " +
                     std::to_string(name.height) + " x " + std::to_string(name.depth) +
                     ", the volume is " + std::to_string(v.width) + " x " +
                     std::to_string(v.height) + " x " + std::to_string(v.depth));
        for (int hyphens = 0; hyphens < 4; ++hyphens) base.resize(base.rfind('-'));
    }
    std::vector<unsigned char> grey(v.words.size());
    for (std::size_t i = 0; i < grey.size(); ++i) {
        std::uint32_t w = v.words[i];
        // The grey level of the colour, as the MVD grey packings make it.
        grey[i] = (unsigned char)((((w >> 24) & 0xF8) + ((w >> 16) & 0xF8) + ((w >> 8) & 0xF8)) / 3);
    }
    std::vector<char> written(base.size() + 64);
    unsigned char none = 0;
    unsigned status = vxUtilSaveRAW(base.c_str(), 0, v.width, v.height, v.depth,
                                    grey.empty() ? &none : grey.data(), int(written.size()),
                                    written.data());
    check(status, status == VX_ERR_FILE_OPEN ? std::string(written.data()) : path);
    return written.data();
}

} // namespace vxtool
