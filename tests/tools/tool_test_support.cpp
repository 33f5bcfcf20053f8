#include "tool_test_support.h"

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "vxUtil.h"

extern char **environ;

namespace tooltest {

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

std::string Outcome::errorLine() const {
    if (err.empty() || err.back() != '\n' || err.find('\n') != err.size() - 1) return {};
    return err.substr(0, err.size() - 1);
}

Outcome spawn(const std::string &program, const std::vector<std::string> &args,
          const std::vector<std::string> &env) {
    std::vector<std::string> environment;
    for (char **e = environ; *e; ++e) {
        std::string entry = *e, name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto &change : env) replaced |= change.substr(0, change.find('=')) == name;
        if (!replaced) environment.push_back(entry);
    }
    environment.insert(environment.end(), env.begin(), env.end());

    std::vector<char *> argv{const_cast<char *>(program.c_str())}, envp;
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto &e : environment) envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);

    char outName[] = "/tmp/vxtool-out-XXXXXX", errName[] = "/tmp/vxtool-err-XXXXXX";
    int outFd = mkstemp(outName), errFd = mkstemp(errName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    pid_t pid = 0;
    Outcome run;
    if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    run.out = slurp(outName);
    run.err = slurp(errName);
    unlink(outName);
    unlink(errName);
    return run;
}

Outcome vxtool(const std::vector<std::string> &args, const std::vector<std::string> &env) {
    return spawn(VXTOOL_PATH, args, env);
}

std::size_t Png::nonBlack() const {
    std::size_t n = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) n += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
    return n;
}

Png readPng(const std::string &path) {
    Png png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return png;
    image.format = PNG_FORMAT_RGB;
    png.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return png;
    }
    png.ok = true;
    png.width = int(image.width);
    png.height = int(image.height);
    return png;
}

std::uint32_t word(unsigned r, unsigned g, unsigned b, unsigned z) {
    return (r & 0xF8u) << 24 | (g & 0xF8u) << 16 | (b & 0xF8u) << 8 | ((z >> 8) & 3u) << 8 |
           (z & 0xFFu);
}

unsigned packedZOf(std::uint32_t w) { return ((w >> 8) & 3u) << 8 | (w & 0xFFu); }

void ToolTest::SetUp() {
    char name[] = "/tmp/vxtool-test-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
}

void ToolTest::TearDown() { fs::remove_all(dir_); }

bool ToolTest::exists(const std::string &name) const { return fs::exists(path(name)); }

std::string ToolTest::writeMvd(const std::string &name, int packing, int w, int h, int d,
                               const Words &words, const char *comment) {
    EXPECT_EQ(vxUtilSaveMVDFile(path(name).c_str(), packing, w, h, d, words.data(), comment),
              VX_OK);
    return path(name);
}

std::string ToolTest::writeTga(const std::string &name, int w, int h, const Bytes &rgbz,
                               const char *comment) {
    const unsigned short unused = 0;
    EXPECT_EQ(vxUtilSaveBufferAsTGA(path(name).c_str(), w, h, VX_FORMAT_RGBZ, rgbz.data(),
                                    &unused, comment),
              VX_OK);
    return path(name);
}

std::string ToolTest::writeRaw(const std::string &base, int w, int h, int d, const Bytes &grey) {
    char name[512] = {};
    EXPECT_EQ(vxUtilSaveRAW(path(base).c_str(), 0, w, h, d, grey.data(), sizeof name, name),
              VX_OK);
    return name;
}

std::string ToolTest::writeBytes(const std::string &name, const Bytes &bytes) {
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    return path(name);
}

Bytes ToolTest::readBytes(const std::string &name) const {
    std::string s = slurp(path(name));
    return Bytes(s.begin(), s.end());
}

} // namespace tooltest
