// Runs vxtool as a user would and reads back what it wrote: a temporary folder per test, a
// spawned process with its exit status and both output streams, small files made through the
// utility library, and PNG pictures read with libpng.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tooltest {

struct Outcome {
    int exitStatus = -1; // the process's exit status; -1 when it did not exit normally
    std::string out, err;
    // The error stream as one line without its line break; empty when it is not exactly one.
    std::string errorLine() const;
};

// Runs `program args...` with the environment of this process, changed by `env` entries of
// the form NAME=VALUE (an empty VALUE sets an empty variable).
Outcome spawn(const std::string &program, const std::vector<std::string> &args,
          const std::vector<std::string> &env = {});
Outcome vxtool(const std::vector<std::string> &args, const std::vector<std::string> &env = {});

// A picture read from a PNG file, 3 bytes a pixel.
struct Png {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    std::size_t nonBlack() const;
};
Png readPng(const std::string &path);

using Words = std::vector<std::uint32_t>;
using Bytes = std::vector<unsigned char>;

// A plane word from 8-bit colour and a packed Z.
std::uint32_t word(unsigned r, unsigned g, unsigned b, unsigned packedZ = 0);
unsigned packedZOf(std::uint32_t w);

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string &name) const { return dir_ + "/" + name; }
    bool exists(const std::string &name) const;

    std::string writeMvd(const std::string &name, int packing, int w, int h, int d,
                         const Words &words, const char *comment = nullptr);
    // A frame of format 72 (red, green, blue, depth).
    std::string writeTga(const std::string &name, int w, int h, const Bytes &rgbz,
                         const char *comment = nullptr);
    // Returns the name the RAW writer gave the file.
    std::string writeRaw(const std::string &base, int w, int h, int d, const Bytes &grey);
    std::string writeBytes(const std::string &name, const Bytes &bytes);
    Bytes readBytes(const std::string &name) const;

private:
    std::string dir_;
};

} // namespace tooltest
