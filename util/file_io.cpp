// Checked file access shared by the MVD, TGA and RAW readers and writers.
#include "file_io.h"

#include <sys/stat.h>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vx::util {

File::File(const char *path, const char *mode) : file_(std::fopen(path, mode)) {}

File::~File() {
    if (file_) std::fclose(file_);
}

bool File::open(const char *path, const char *mode) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path, mode);
    writeFailed_ = false;
    return file_ != nullptr;
}

bool File::read(void *dst, std::size_t n) {
    return readSome(dst, n) == n;
}

std::size_t File::readSome(void *dst, std::size_t n) {
    if (n == 0) return 0;
    return std::fread(dst, 1, n, file_);
}

bool File::skip(std::size_t n) {
    unsigned char chunk[4096];
    while (n > 0) {
        std::size_t step = n < sizeof chunk ? n : sizeof chunk;
        if (!read(chunk, step)) return false;
        n -= step;
    }
    return true;
}

void File::write(const void *src, std::size_t n) {
    if (n == 0 || writeFailed_) return;
    if (std::fwrite(src, 1, n, file_) != n) writeFailed_ = true;
}

std::optional<std::uint64_t> File::remaining() const {
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    off_t pos = ftello(file_);
    if (pos < 0) return std::nullopt;
    if (st.st_size <= pos) return 0;
    return static_cast<std::uint64_t>(st.st_size - pos);
}

bool File::close() {
    if (!file_) return false;
    bool ok = !writeFailed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    return ok;
}

void adviseHugePages(void *block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kPage = 4096, kHugePage = 2u << 20;
    if (bytes < 2 * kHugePage) return; // too small to hold a whole huge page once aligned
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + kPage - 1) & ~std::uintptr_t(kPage - 1);
    const std::uintptr_t end = (start + bytes) & ~std::uintptr_t(kPage - 1);
    madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

std::optional<std::uint64_t> checkedProduct(std::uint64_t a, std::uint64_t b, std::uint64_t c,
                                            std::uint64_t d) {
    std::uint64_t r = 0;
    if (__builtin_mul_overflow(a, b, &r) || __builtin_mul_overflow(r, c, &r) ||
        __builtin_mul_overflow(r, d, &r))
        return std::nullopt;
    return r;
}

} // namespace vx::util
