// Reading and writing MVD volume files: the header and comment, the seven packings, and the
// run-length packets of packings 2, 5 and 6.
//
// Writing converts and packs the voxels a batch (unpacked codes) or a row (run-length codes)
// at a time in two scratch blocks allocated once per call. Reading decodes packets straight
// into the output buffer through one read block, also allocated once per call.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "file_io.h"
#include "mvd_format.h"
#include "vxUtil.h"

namespace vx::util::mvd {

void encodeHeader(const Header &h, unsigned char out[kHeaderSize]) {
    out[0] = h.magic[0];
    out[1] = h.magic[1];
    out[2] = h.magic[2];
    out[3] = h.version;
    out[4] = h.packing;
    out[5] = h.bytesPerUnit;
    put16(out + 6, h.width);
    put16(out + 8, h.height);
    put16(out + 10, h.depth);
    put32(out + 12, 0); // reserved: nothing in the system gives these bytes a meaning
    put16(out + 16, h.commentLength);
}

Header decodeHeader(const unsigned char in[kHeaderSize]) {
    Header h{};
    h.magic[0] = in[0];
    h.magic[1] = in[1];
    h.magic[2] = in[2];
    h.version = in[3];
    h.packing = in[4];
    h.bytesPerUnit = in[5];
    h.width = get16(in + 6);
    h.height = get16(in + 8);
    h.depth = get16(in + 10);
    h.commentLength = get16(in + 16);
    return h;
}

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024; // read block and unpacked-write batch
constexpr std::size_t kLiteralGroup = 8;       // literals decoded together

std::uint64_t voxelCount(std::uint64_t width, std::uint64_t height, std::uint64_t depth) {
    return width * height * std::max<std::uint64_t>(depth, 1);
}

template <typename Unit> void putUnit(unsigned char *p, Unit u) {
    if constexpr (sizeof(Unit) == 1) {
        p[0] = u;
    } else if constexpr (sizeof(Unit) == 2) {
        put16(p, u);
    } else {
        put32(p, u);
    }
}

template <typename Unit> Unit loadUnit(const unsigned char *p) {
    if constexpr (sizeof(Unit) == 1) {
        return p[0];
    } else if constexpr (sizeof(Unit) == 2) {
        return static_cast<Unit>(get16(p));
    } else {
        return get32(p);
    }
}

// Run flag and largest count of a packet unit.
template <typename Unit> constexpr Unit kRunFlag = Unit(Unit(1) << (8 * sizeof(Unit) - 1));
template <typename Unit> constexpr Unit kMaxRun = Unit(kRunFlag<Unit> - 1);

// Packs one row of units into packets; returns the bytes written to out, which never exceeds
// n units (a literal is one unit for one voxel; a run is two units for at least two voxels,
// or for one voxel after at least kMaxRun).
template <typename Unit> std::size_t packRow(const Unit *units, std::size_t n, unsigned char *out) {
    constexpr std::size_t S = sizeof(Unit);
    std::size_t o = 0;
    std::size_t i = 0;
    while (i < n) {
        const Unit v = units[i];
        std::size_t j = i + 1;
        while (j < n && units[j] == v)
            ++j;
        std::size_t run = j - i;
        if (run == 1) {
            putUnit<Unit>(out + o, v);
            o += S;
        } else {
            // Runs longer than a packet can count are split; a remainder of 1 stays a run.
            while (run > kMaxRun<Unit>) {
                putUnit<Unit>(out + o, Unit(kRunFlag<Unit> | kMaxRun<Unit>));
                putUnit<Unit>(out + o + S, v);
                o += 2 * S;
                run -= kMaxRun<Unit>;
            }
            putUnit<Unit>(out + o, Unit(kRunFlag<Unit> | static_cast<Unit>(run)));
            putUnit<Unit>(out + o + S, v);
            o += 2 * S;
        }
        i = j;
    }
    return o;
}

template <typename T> std::unique_ptr<T[]> allocate(std::size_t n) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[std::max<std::size_t>(n, 1)]);
}

// One write per row of packets; the two row buffers are allocated once per call.
template <typename Unit, Unit (*Convert)(std::uint32_t)>
bool writeRunLengthRows(File &file, const std::uint32_t *voxels, std::size_t width,
                        std::uint64_t rows) {
    auto units = allocate<Unit>(width);
    auto packets = allocate<unsigned char>(width * sizeof(Unit));
    if (!units || !packets) return false;
    for (std::uint64_t r = 0; r < rows; ++r, voxels += width) {
        for (std::size_t i = 0; i < width; ++i)
            units[i] = Convert(voxels[i]);
        file.write(packets.get(), packRow<Unit>(units.get(), width, packets.get()));
    }
    return true;
}

// Unpacked units go out a batch of kBlockBytes at a time.
template <std::size_t S, std::uint32_t (*Convert)(std::uint32_t)>
bool writeUnpacked(File &file, const std::uint32_t *voxels, std::uint64_t n) {
    constexpr std::size_t perBatch = kBlockBytes / S;
    auto out = allocate<unsigned char>(kBlockBytes);
    if (!out) return false;
    while (n > 0) {
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, perBatch));
        for (std::size_t i = 0; i < k; ++i) {
            std::uint32_t u = Convert(voxels[i]);
            for (std::size_t b = 0; b < S; ++b)
                out[i * S + b] = static_cast<unsigned char>(u >> (8 * b));
        }
        file.write(out.get(), k * S);
        voxels += k;
        n -= k;
    }
    return true;
}

std::uint32_t identity(std::uint32_t v) {
    return v;
}
std::uint32_t color15(std::uint32_t v) {
    return toColor15(v);
}
std::uint32_t gray8(std::uint32_t v) {
    return toGray8(v);
}

// False only when scratch storage cannot be allocated; write failures are kept by the file.
bool writeVoxels(File &file, int packing, const std::uint32_t *voxels, std::size_t width,
                 std::uint64_t rows) {
    const std::uint64_t n = rows * width;
    switch (packing) {
    case MVD_WORD32:
        if constexpr (std::endian::native == std::endian::little) {
            file.write(voxels, static_cast<std::size_t>(n) * 4); // all voxels in one piece
            return true;
        } else {
            return writeUnpacked<4, identity>(file, voxels, n);
        }
    case MVD_COLOR15:
        return writeUnpacked<2, color15>(file, voxels, n);
    case MVD_COLOR15_RLE:
        return writeRunLengthRows<std::uint16_t, toColor15>(file, voxels, width, rows);
    case MVD_PACKED24:
        return writeUnpacked<3, toPacked24>(file, voxels, n);
    case MVD_GRAY8:
        return writeUnpacked<1, gray8>(file, voxels, n);
    case MVD_GRAY5_RLE:
        return writeRunLengthRows<std::uint8_t, toGray5>(file, voxels, width, rows);
    case MVD_WORD32_RLE:
        return writeRunLengthRows<std::uint32_t, toMasked32>(file, voxels, width, rows);
    }
    return false;
}

// ---- Reading ---------------------------------------------------------------------------------

// Reads n units of S bytes and converts each into its plane word.
template <std::size_t S, std::uint32_t (*Convert)(std::uint32_t)>
bool readUnpacked(File &file, std::uint32_t *out, std::uint64_t n, unsigned char *block) {
    constexpr std::size_t perBlock = kBlockBytes / S;
    while (n > 0) {
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, perBlock));
        if (!file.read(block, k * S)) return false;
        for (std::size_t i = 0; i < k; ++i) {
            std::uint32_t u = 0;
            for (std::size_t b = 0; b < S; ++b)
                u |= std::uint32_t{block[i * S + b]} << (8 * b);
            out[i] = Convert(u);
        }
        out += k;
        n -= k;
    }
    return true;
}

// Decodes packets until n voxels are produced; false when the file ends first. A packet never
// writes past the n-th voxel: a run's count is clamped to what remains, and whatever follows
// the n-th voxel is not read.
template <typename Unit, std::uint32_t (*Convert)(std::uint32_t)>
bool readRunLength(File &file, std::uint32_t *out, std::uint64_t n, unsigned char *block) {
    constexpr std::size_t S = sizeof(Unit);
    std::size_t have = 0;
    std::size_t pos = 0;
    std::uint64_t produced = 0;
    for (;;) {
        // Every packet fits in 2 units, so this loop needs no bounds check per field.
        while (produced < n && have - pos >= 2 * S) {
            // Eight literals in a row are converted together (a loop the compiler vectorises):
            // noisy stretches are mostly literals.
            if (S > 1 && n - produced >= kLiteralGroup && have - pos >= kLiteralGroup * S) {
                Unit group[kLiteralGroup];
                Unit flags = 0;
                for (std::size_t k = 0; k < kLiteralGroup; ++k) {
                    group[k] = loadUnit<Unit>(block + pos + k * S);
                    flags |= group[k];
                }
                if (!(flags & kRunFlag<Unit>)) {
                    for (std::size_t k = 0; k < kLiteralGroup; ++k)
                        out[produced + k] = Convert(group[k]);
                    produced += kLiteralGroup;
                    pos += kLiteralGroup * S;
                    continue;
                }
            }
            const Unit u = loadUnit<Unit>(block + pos);
            if (u & kRunFlag<Unit>) {
                std::uint64_t count = std::min<std::uint64_t>(u & kMaxRun<Unit>, n - produced);
                std::fill_n(out + produced, count, Convert(loadUnit<Unit>(block + pos + S)));
                produced += count;
                pos += 2 * S;
            } else {
                out[produced++] = Convert(u);
                pos += S;
            }
        }
        if (produced == n) return true;
        std::memmove(block, block + pos, have - pos);
        have -= pos;
        pos = 0;
        std::size_t got = file.readSome(block + have, kBlockBytes - have);
        have += got;
        if (got == 0) {
            // End of file: at most one unit is left, which counts only as a literal.
            if (have >= S && !(loadUnit<Unit>(block) & kRunFlag<Unit>)) {
                out[produced++] = Convert(loadUnit<Unit>(block));
                pos = S;
                continue;
            }
            return false;
        }
    }
}

std::uint32_t word32(std::uint32_t u) {
    return u;
}

bool readVoxels(File &file, unsigned packing, std::uint32_t *out, std::uint64_t n,
                unsigned char *block) {
    switch (packing) {
    case MVD_WORD32:
        if constexpr (std::endian::native == std::endian::little) {
            return file.read(out, static_cast<std::size_t>(n) * 4);
        } else {
            return readUnpacked<4, word32>(file, out, n, block);
        }
    case MVD_COLOR15:
        return readUnpacked<2, fromColor15>(file, out, n, block);
    case MVD_COLOR15_RLE:
        return readRunLength<std::uint16_t, fromColor15>(file, out, n, block);
    case MVD_PACKED24:
        return readUnpacked<3, fromPacked24>(file, out, n, block);
    case MVD_GRAY8:
        return readUnpacked<1, fromGray8>(file, out, n, block);
    case MVD_GRAY5_RLE:
        return readRunLength<std::uint8_t, fromGray5>(file, out, n, block);
    case MVD_WORD32_RLE:
        return readRunLength<std::uint32_t, fromMasked32>(file, out, n, block);
    }
    return false;
}

// The fewest data bytes that can hold n voxels in the packing: n units unpacked; packed, every
// packet is at least one unit and stands for at most the largest count.
std::uint64_t leastDataBytes(unsigned packing, std::uint64_t n) {
    const Packing &p = kPackings[packing];
    if (!p.runLength) return n * p.bytesPerUnit;
    std::uint64_t maxRun = p.bytesPerUnit == 1 ? 0x7F : p.bytesPerUnit == 2 ? 0x7FFF : 0x7FFFFFFF;
    return (n + maxRun - 1) / maxRun * p.bytesPerUnit;
}

// An open file with its header and comment read and checked.
struct Opened {
    File file;
    Header header{};
    std::unique_ptr<unsigned char[]> comment; // commentLength bytes, or null
};

unsigned openAndReadHeader(const char *fileName, Opened &o) {
    if (!o.file.open(fileName, "rb")) return VX_ERR_FILE_NOT_FOUND;
    unsigned char raw[kHeaderSize];
    if (!o.file.read(raw, kHeaderSize)) return VX_ERR_FILE;
    o.header = decodeHeader(raw);
    if (!valid(o.header)) return VX_ERR_INVALID_FORMAT;
    if (o.header.commentLength > 0) {
        o.comment = allocate<unsigned char>(o.header.commentLength);
        if (!o.comment) return VX_ERR_NO_MEMORY;
        if (!o.file.read(o.comment.get(), o.header.commentLength)) return VX_ERR_FILE;
    }
    return VX_OK;
}

std::size_t commentTextLength(const Opened &o) {
    const auto *text = o.comment.get();
    const auto *nul =
        static_cast<const unsigned char *>(std::memchr(text, '\0', o.header.commentLength));
    return nul ? static_cast<std::size_t>(nul - text) : o.header.commentLength;
}

unsigned readBody(Opened &o, std::uint32_t *out, std::uint64_t n) {
    if (certainlyShort(o.file, leastDataBytes(o.header.packing, n))) return VX_ERR_FILE;
    std::unique_ptr<unsigned char[]> block;
    if (o.header.packing != MVD_WORD32 || std::endian::native != std::endian::little) {
        block = allocate<unsigned char>(kBlockBytes);
        if (!block) return VX_ERR_NO_MEMORY;
    }
    return readVoxels(o.file, o.header.packing, out, n, block.get()) ? VX_OK : VX_ERR_FILE;
}

} // namespace

unsigned save(const char *fileName, int packing, int width, int height, int depth,
              const void *voxels, const char *comment) {
    if (fileName == nullptr || voxels == nullptr) return VX_ERR_INVALID_ARGUMENT;
    auto fits = [](int v) { return v >= 0 && static_cast<std::uint32_t>(v) <= kMaxDimension; };
    if (!fits(width) || !fits(height) || !fits(depth)) return VX_ERR_INVALID_ARGUMENT;

    File file(fileName, "wb");
    if (!file) return VX_ERR_FILE_OPEN;
    if (packing < 0 || packing >= kPackingCount) {
        file.close(); // an unknown packing leaves the created file empty
        return VX_ERR_INVALID_ARGUMENT;
    }

    Header h{{'M', 'V', 'D'},
             kVersion,
             static_cast<unsigned char>(packing),
             kPackings[packing].bytesPerUnit,
             static_cast<std::uint32_t>(width),
             static_cast<std::uint32_t>(height),
             static_cast<std::uint32_t>(depth),
             0};
    std::size_t commentLength = comment ? strnlen(comment, kMaxCommentLength) : 0;
    h.commentLength = static_cast<std::uint32_t>(commentLength);

    unsigned char raw[kHeaderSize];
    encodeHeader(h, raw);
    file.write(raw, kHeaderSize);
    file.write(comment, commentLength);
    const std::uint64_t rows = voxelCount(1, h.height, h.depth);
    if (width > 0 && !writeVoxels(file, packing, static_cast<const std::uint32_t *>(voxels),
                                  static_cast<std::size_t>(width), rows)) {
        file.close();
        return VX_ERR_NO_MEMORY;
    }
    return file.close() ? VX_OK : VX_ERR_FILE;
}

unsigned load(const char *fileName, VXbuffer *buffer) {
    if (fileName == nullptr || buffer == nullptr) return VX_ERR_INVALID_ARGUMENT;
    buffer->data = nullptr;
    buffer->comment = nullptr;

    Opened o;
    if (unsigned status = openAndReadHeader(fileName, o); status != VX_OK) return status;
    const Header &h = o.header;
    const std::uint64_t n = voxelCount(h.width, h.height, h.depth);
    if (n * 4 > VXUTIL_MAX_BUFFER_BYTES) return VX_ERR_NO_MEMORY;
    // Refuse a file that cannot hold the voxels before anything is allocated for them.
    if (certainlyShort(o.file, leastDataBytes(h.packing, n))) return VX_ERR_FILE;

    std::unique_ptr<void, decltype(&std::free)> data(std::malloc(std::max<std::size_t>(n * 4, 1)),
                                                     &std::free);
    std::unique_ptr<char, decltype(&std::free)> text(nullptr, &std::free);
    if (!data) return VX_ERR_NO_MEMORY;
    adviseHugePages(data.get(), n * 4);
    if (h.commentLength > 0) {
        std::size_t length = commentTextLength(o);
        text.reset(static_cast<char *>(std::malloc(length + 1)));
        if (!text) return VX_ERR_NO_MEMORY;
        std::memcpy(text.get(), o.comment.get(), length);
        text.get()[length] = '\0';
    }
    if (unsigned status = readBody(o, static_cast<std::uint32_t *>(data.get()), n); status != VX_OK)
        return status;

    buffer->width = static_cast<int>(h.width);
    buffer->height = static_cast<int>(h.height);
    buffer->depth = static_cast<int>(h.depth);
    buffer->data = data.release();
    buffer->comment = text.release();
    return VX_OK;
}

unsigned loadInto(const char *fileName, int *width, int *height, int *depth, void *buffer,
                  int commentSize, char *comment) {
    if (fileName == nullptr || width == nullptr || height == nullptr || depth == nullptr ||
        buffer == nullptr || (commentSize > 0 && comment == nullptr))
        return VX_ERR_INVALID_ARGUMENT;

    Opened o;
    if (unsigned status = openAndReadHeader(fileName, o); status != VX_OK) return status;
    const Header &h = o.header;
    // Each dimension is stored once it has been compared, as signed numbers: a negative
    // capacity always fails.
    for (auto [have, capacity] :
         {std::pair{h.width, width}, std::pair{h.height, height}, std::pair{h.depth, depth}}) {
        if (static_cast<std::int64_t>(have) > *capacity) return VX_ERR_OUT_OF_RANGE;
        *capacity = static_cast<int>(have);
    }
    if (commentSize > 0) {
        std::size_t length = h.commentLength > 0 ? commentTextLength(o) : 0;
        length = std::min<std::size_t>(length, static_cast<std::size_t>(commentSize) - 1);
        if (length > 0) std::memcpy(comment, o.comment.get(), length);
        comment[length] = '\0';
    }
    return readBody(o, static_cast<std::uint32_t *>(buffer),
                    voxelCount(h.width, h.height, h.depth));
}

} // namespace vx::util::mvd

extern "C" {

VXUTIL_API unsigned int vxUtilSaveMVDFile(const char *fileName, int packing, int width, int height,
                                          int depth, const void *voxels, const char *comment) {
    return vx::util::mvd::save(fileName, packing, width, height, depth, voxels, comment);
}

VXUTIL_API unsigned int vxUtilLoadMVDFile(const char *fileName, VXbuffer *buffer) {
    return vx::util::mvd::load(fileName, buffer);
}

} // extern "C"

VXUTIL_API unsigned int vxUtilLoadMVDFileNA(const char *fileName, int *width, int *height,
                                            int *depth, void *buffer, int commentSize,
                                            char *comment) {
    return vx::util::mvd::loadInto(fileName, width, height, depth, buffer, commentSize, comment);
}
