// Shared by the fuzz targets: the loaders take file names, so each input is placed in an
// in-memory file (memfd) that they open through /proc/self/fd like any regular file.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace vxfuzz {

class MemFile {
  public:
    MemFile() : fd_(memfd_create("vxfuzz", 0)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemFile() { close(fd_); }

    // Replaces the file's content with the given bytes.
    void set(const std::uint8_t *data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0) std::abort();
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = pwrite(fd_, data + done, size - done, off_t(done));
            if (n <= 0) std::abort();
            done += std::size_t(n);
        }
    }
    const char *path() const { return path_.c_str(); }

  private:
    int fd_;
    std::string path_;
};

// A property that every input must satisfy; a violation is a crash for the fuzzer.
inline void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace vxfuzz
