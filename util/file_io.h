// File access of the utility library: an owning FILE handle whose reads are exact and whose
// writes (the final flush included) are checked, and the size arithmetic that every reader
// does before it allocates or writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace vx::util {

// Owns one open FILE. Remembers whether any write failed, so that a saver can write freely
// and ask once, at close(), whether everything reached the file.
class File {
  public:
    File() = default;
    File(const char *path, const char *mode);
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    ~File();

    explicit operator bool() const { return file_ != nullptr; }

    // Opens path (closing what was open); false when it cannot be opened.
    bool open(const char *path, const char *mode);

    // Reads exactly n bytes; false when the file ends (or fails) first.
    bool read(void *dst, std::size_t n);
    // Reads up to n bytes and returns how many arrived.
    std::size_t readSome(void *dst, std::size_t n);
    // Skips exactly n bytes by reading them; false when the file ends first.
    bool skip(std::size_t n);
    // Writes n bytes; a short write is remembered.
    void write(const void *src, std::size_t n);
    // Bytes between the read position and the end, for a regular file; nullopt for a pipe,
    // a device or anything else whose size is not known in advance.
    std::optional<std::uint64_t> remaining() const;
    // Flushes and closes; true when every write and the close succeeded.
    bool close();

  private:
    std::FILE *file_ = nullptr;
    bool writeFailed_ = false;
};

// a * b * c, or nullopt when the product does not fit 64 bits.
std::optional<std::uint64_t> checkedProduct(std::uint64_t a, std::uint64_t b, std::uint64_t c,
                                            std::uint64_t d = 1);

// True when the regular file behind `file` certainly holds fewer than `need` more bytes.
inline bool certainlyShort(const File &file, std::uint64_t need) {
    std::optional<std::uint64_t> left = file.remaining();
    return left && *left < need;
}

// Asks the kernel to back a large freshly allocated block with huge pages where it offers them
// on request: the loaders fill whole blocks of up to a GiB, and one page fault per 2 MiB instead
// of one per 4 KiB makes up most of the cost of loading into fresh memory. Only a hint.
void adviseHugePages(void *block, std::size_t bytes);

// Little-endian stores and loads of the file formats.
inline void put16(unsigned char *p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char *p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline std::uint32_t get16(const unsigned char *p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}
inline std::uint32_t get24(const unsigned char *p) {
    return get16(p) | static_cast<std::uint32_t>(p[2]) << 16;
}
inline std::uint32_t get32(const unsigned char *p) {
    return get24(p) | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace vx::util
