// Files that end early, writes that fail, sizes that cannot be honoured, and files that are
// not regular files: every reader and writer reports them instead of succeeding.
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "util_test_support.h"

namespace {

using vxtest::Bytes;
using vxtest::cat;
using vxtest::le16;
using vxtest::OwnedBuffer;
using vxtest::readFile;
using vxtest::writeFile;
using Words = std::vector<std::uint32_t>;

class FileFaults : public vxtest::TempDirTest {};

Words someVolume(std::size_t n) {
    Words v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = (i % 5 < 2) ? 0xF8F8F800u : std::uint32_t(i * 0x9E3779B9u);
    return v;
}

Bytes mvdHeader(int packing, int w, int h, int d) {
    const int unit[7] = {4, 2, 2, 3, 1, 1, 4};
    Bytes b = {'M', 'V', 'D', 1, std::uint8_t(packing), std::uint8_t(unit[packing])};
    le16(b, w);
    le16(b, h);
    le16(b, d);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0});
    return b;
}

Bytes tgaHeader(int w, int h, int idLength = 0) {
    Bytes b = {std::uint8_t(idLength), 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    le16(b, w);
    le16(b, h);
    b.push_back(32);
    b.push_back(0x20);
    return b;
}

// ---- Writes that fail -------------------------------------------------------------------------

TEST_F(FileFaults, SaversReportAFullDisk) {
    struct stat st {};
    if (stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no /dev/full";
    // Small files fail when they are flushed, large ones while they are written.
    for (int width : {3, 300000 / 16}) {
        const Words volume = someVolume(std::size_t(width) * 4 * 2);
        for (int packing = 0; packing < 7; ++packing)
            EXPECT_EQ(vxUtilSaveMVDFile("/dev/full", packing, width, 4, 2, volume.data(), "c"),
                      VX_ERR_FILE)
                << "packing " << packing << " width " << width;
        std::vector<unsigned short> depths(volume.size(), 7);
        for (unsigned format : {68u, 70u, 72u, 74u, 75u})
            EXPECT_EQ(vxUtilSaveBufferAsTGA("/dev/full", width, 8, format, volume.data(),
                                            depths.data(), "c"),
                      VX_ERR_IMAGE_WRITE)
                << "format " << format;
        EXPECT_EQ(vxUtilSaveMVD32AsTGA("/dev/full", width, 8, volume.data(), nullptr),
                  VX_ERR_IMAGE_WRITE);
    }
    // RAW adds its suffix to the base name, so its file is reached through a link.
    const std::string base = path("full");
    std::filesystem::create_symlink("/dev/full", base + "-64-64-4-GRAY8.raw");
    const Bytes voxels(64 * 64 * 4, 9);
    char name[512];
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 64, 64, 4, voxels.data(), sizeof name, name),
              VX_ERR_FILE);
    EXPECT_EQ(vxUtilSaveRAW(base.c_str(), 0, 1, 1, 0, voxels.data(), sizeof name, name), VX_OK)
        << "another name is an ordinary file";
}

// ---- Reads that end early -------------------------------------------------------------------

TEST_F(FileFaults, EveryTruncatedMvdFileIsRefused) {
    const Words volume = someVolume(6 * 3 * 2);
    for (int packing = 0; packing < 7; ++packing) {
        const std::string full = path("full.mvd");
        ASSERT_EQ(vxUtilSaveMVDFile(full.c_str(), packing, 6, 3, 2, volume.data(), "note"), VX_OK);
        const Bytes bytes = readFile(full);
        // Every prefix of the file: inside the header, the comment, or the voxels.
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::string file = path("cut.mvd");
            writeFile(file, Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(size)));
            OwnedBuffer loaded;
            ASSERT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), VX_ERR_FILE)
                << "packing " << packing << " cut to " << size;
            EXPECT_EQ(loaded.b.data, nullptr);
            EXPECT_EQ(loaded.b.comment, nullptr);
            EXPECT_EQ(loaded.b.width, 0);
            Words into(volume.size());
            int w = 6, h = 3, d = 2;
            char comment[8];
            ASSERT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 8, comment),
                      VX_ERR_FILE)
                << "packing " << packing << " cut to " << size;
        }
    }
}

TEST_F(FileFaults, TruncatedTgaFilesAreRefused) {
    Bytes pixels(3 * 2 * 4, 0x55);
    const Bytes full = cat({tgaHeader(3, 2, 4), {'a', 'b', 'c', 'd'}, pixels});
    for (std::size_t size : {std::size_t(19), std::size_t(21), std::size_t(22), full.size() - 1,
                             full.size() - 13}) {
        const std::string file = path("cut.tga");
        writeFile(file, Bytes(full.begin(), full.begin() + std::ptrdiff_t(size)));
        OwnedBuffer loaded;
        EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, nullptr), VX_ERR_FILE) << size;
        EXPECT_EQ(loaded.b.data, nullptr);
        EXPECT_EQ(loaded.b.comment, nullptr);
        Bytes into(24);
        int w = 3, h = 2;
        EXPECT_EQ(vxUtilLoadTGANA(file.c_str(), 72, &w, &h, into.data(), 0, nullptr, nullptr),
                  VX_ERR_FILE)
            << size;
    }
    // The whole file loads.
    const std::string file = path("whole.tga");
    writeFile(file, full);
    OwnedBuffer loaded;
    EXPECT_EQ(vxUtilLoadTGA(file.c_str(), 72, &loaded.b, nullptr), VX_OK);
}

// A FIFO has no size to check in advance: the loaders find the early end while reading and
// release what they allocated.
class FifoFile {
  public:
    FifoFile(const std::string &path, Bytes bytes) : path_(path) {
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        writer_ = std::thread([this, bytes] {
            FILE *f = std::fopen(path_.c_str(), "wb");
            if (!f) return;
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        });
    }
    ~FifoFile() { writer_.join(); }
    const char *path() const { return path_.c_str(); }

  private:
    std::string path_;
    std::thread writer_;
};

TEST_F(FileFaults, ShortDataFromAPipeIsFoundWhileReading) {
    const Words volume = someVolume(40 * 3);
    for (int packing = 0; packing < 7; ++packing) {
        ASSERT_EQ(vxUtilSaveMVDFile(path("v.mvd").c_str(), packing, 40, 3, 0, volume.data(), "n"),
                  VX_OK);
        Bytes bytes = readFile(path("v.mvd"));
        {
            FifoFile fifo(path("whole"), bytes);
            OwnedBuffer loaded;
            EXPECT_EQ(vxUtilLoadMVDFile(fifo.path(), &loaded.b), VX_OK) << packing;
        }
        std::filesystem::remove(path("whole"));
        bytes.pop_back();
        FifoFile fifo(path("short"), bytes);
        OwnedBuffer loaded;
        EXPECT_EQ(vxUtilLoadMVDFile(fifo.path(), &loaded.b), VX_ERR_FILE) << packing;
        EXPECT_EQ(loaded.b.data, nullptr);
        EXPECT_EQ(loaded.b.comment, nullptr);
        std::filesystem::remove(path("short"));
    }
    Bytes tga = cat({tgaHeader(3, 2, 1), {'x'}, Bytes(3 * 2 * 4 - 1, 1)});
    FifoFile fifo(path("tga"), tga);
    OwnedBuffer loaded;
    EXPECT_EQ(vxUtilLoadTGA(fifo.path(), 73, &loaded.b, nullptr), VX_ERR_FILE);
    EXPECT_EQ(loaded.b.data, nullptr);
    EXPECT_EQ(loaded.b.comment, nullptr);
}

// ---- Sizes that cannot be honoured -----------------------------------------------------------

TEST_F(FileFaults, OversizedVolumesAreRefusedBeforeAllocating) {
    struct Case {
        const char *what;
        Bytes file;
        unsigned status;
    };
    // 16384 x 16384 plane words are exactly VXUTIL_MAX_BUFFER_BYTES: allowed, but the file
    // cannot hold them, which is found before allocating. One more row is over the limit.
    const Case cases[] = {
        {"65535^3 words", cat({mvdHeader(0, 65535, 65535, 65535), Bytes(64, 0)}), VX_ERR_NO_MEMORY},
        {"65535^3 packed", cat({mvdHeader(6, 65535, 65535, 65535), {0xFF, 0xFF, 0xFF, 0xFF}}),
         VX_ERR_NO_MEMORY},
        {"one row over", cat({mvdHeader(0, 16384, 16385, 0), Bytes(64, 0)}), VX_ERR_NO_MEMORY},
        {"at the limit, unpacked", cat({mvdHeader(4, 16384, 16384, 1), Bytes(64, 0)}),
         VX_ERR_FILE},
        {"at the limit, 8-bit packets", cat({mvdHeader(5, 16384, 16384, 0), Bytes(64, 0xFF)}),
         VX_ERR_FILE},
        {"at the limit, 16-bit packets", cat({mvdHeader(2, 16384, 16384, 0), Bytes(64, 0xFF)}),
         VX_ERR_FILE},
        {"short unpacked data", cat({mvdHeader(3, 10, 10, 10), Bytes(2999, 0)}), VX_ERR_FILE},
    };
    for (const Case &c : cases) {
        const std::string file = path("big.mvd");
        writeFile(file, c.file);
        OwnedBuffer loaded;
        EXPECT_EQ(vxUtilLoadMVDFile(file.c_str(), &loaded.b), c.status) << c.what;
        EXPECT_EQ(loaded.b.data, nullptr);
    }
    // Into the caller's buffer there is no limit, but nothing is written from a file that is
    // too short for its header.
    const std::string file = path("na.mvd");
    writeFile(file, cat({mvdHeader(0, 65535, 65535, 65535), Bytes(64, 0x11)}));
    Words into(16, 0xDEADBEEFu);
    int w = 65535, h = 65535, d = 65535;
    EXPECT_EQ(vxUtilLoadMVDFileNA(file.c_str(), &w, &h, &d, into.data(), 0, nullptr), VX_ERR_FILE);
    EXPECT_EQ(into, Words(16, 0xDEADBEEFu));

    struct TgaCase {
        int w, h;
        unsigned status;
    };
    for (TgaCase c : {TgaCase{65535, 65535, VX_ERR_NO_MEMORY},
                      TgaCase{16384, 16385, VX_ERR_NO_MEMORY},
                      TgaCase{16384, 16384, VX_ERR_FILE}}) {
        const std::string tga = path("big.tga");
        writeFile(tga, cat({tgaHeader(c.w, c.h), Bytes(64, 0)}));
        OwnedBuffer loaded;
        EXPECT_EQ(vxUtilLoadTGA(tga.c_str(), 72, &loaded.b, nullptr), c.status)
            << c.w << "x" << c.h;
        EXPECT_EQ(loaded.b.data, nullptr);
        Bytes small(16, 0xEE);
        int tw = 65535, th = 65535;
        EXPECT_EQ(vxUtilLoadTGANA(tga.c_str(), 72, &tw, &th, small.data(), 0, nullptr, nullptr),
                  VX_ERR_FILE);
        EXPECT_EQ(small, Bytes(16, 0xEE));
    }
}

} // namespace
