// Shared helpers of the utility library's suites: a scratch directory per test, whole-file
// reads and writes, and little-endian byte builders for expected file contents.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "vxUtil.h"

namespace vxtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

inline bool fileExists(const std::string &path) {
    return std::filesystem::exists(path);
}

// Appends values in little-endian order.
inline void le16(Bytes &b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void le32(Bytes &b, std::uint32_t v) {
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}
inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A fresh directory for each test, removed afterwards.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char &c : name)
            if (c == '/') c = '_';
        // The process id keeps suites of different build folders apart when they run at once.
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("vxutil_" + std::to_string(getpid()) + "_" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path(const std::string &file) const { return (dir_ / file).string(); }

    std::filesystem::path dir_;
};

// A record that frees itself, for the allocating loaders.
struct OwnedBuffer {
    VXbuffer b{};
    OwnedBuffer() { vxUtilInitializeVXbuffer(&b); }
    ~OwnedBuffer() { vxUtilFreeVXbuffer(&b); }
    OwnedBuffer(const OwnedBuffer &) = delete;
    OwnedBuffer &operator=(const OwnedBuffer &) = delete;
    const std::uint32_t *words() const { return static_cast<const std::uint32_t *>(b.data); }
    const std::uint8_t *bytes() const { return static_cast<const std::uint8_t *>(b.data); }
};

} // namespace vxtest
