// vxtool: the kit's command-line tool. This header holds what the commands share: the error
// that ends a command, the argument reader, and the files the tool reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vxtool {

// Exit statuses of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // a file, the kit or the emulator failed
constexpr int kExitUsage = 2;  // the command line was wrong

// Ends a command: main prints "vxtool: COMMAND: SUBJECT: STATUS TEXT (DETAIL)" and exits.
struct Failure {
    unsigned status;    // a VX_ status code; its text comes from vxUtilErrorString
    std::string subject; // what failed: a file name, an option
    std::string detail;  // optional explanation
    bool usage = false;  // the command line was wrong (exit status 2)
};

[[noreturn]] void fail(unsigned status, std::string subject, std::string detail = {});
[[noreturn]] void failUsage(std::string subject, std::string detail = {});
// Throws a Failure when status is not VX_OK.
void check(unsigned status, const std::string &subject, const std::string &detail = {});

// The status text of a code, as the utility library words it.
std::string statusText(unsigned status);

// A command line after the command name: options ("--name VALUE", "--name=VALUE" or a bare
// flag) and the positional arguments, in order.
class Arguments {
public:
    // flags: options without a value; valued: options that take one. Anything else that
    // starts with "--" is refused as an unknown option.
    Arguments(const std::vector<std::string> &args, const std::vector<std::string> &flags,
              const std::vector<std::string> &valued);
    bool wantsHelp() const { return help_; }
    bool has(const std::string &name) const;
    // The value of an option, or fallback when it was not given.
    std::string value(const std::string &name, const std::string &fallback = {}) const;
    const std::vector<std::string> &positional() const { return positional_; }

private:
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> positional_;
    bool help_ = false;
};

// Strict number readers for option values: the whole text must be the number.
int parseInt(const std::string &text, const std::string &option, int lo, int hi);
float parseFloat(const std::string &text, const std::string &option);

// ---- Files ------------------------------------------------------------------------------

enum class FileKind { Mvd, Tga, Raw };

// A path's extension in lower case, with its full stop (".mvd"), or "".
std::string extensionOf(const std::string &path);
// The kind named by a path's extension (case-insensitive); VX_ERR_FILE_EXTENSION otherwise.
FileKind kindOf(const std::string &path);
const char *kindName(FileKind kind);

// What one MVD, TGA or RAW file holds, as its loader of the utility library gives it.
struct Picture {
    FileKind kind = FileKind::Mvd;
    std::string path;
    int width = 0, height = 0;
    int depth = 0;      // planes; 0 stands for one plane (MVD, TGA and RAW alike)
    unsigned format = 0; // data format of pixels: 75 (MVD), 72 (TGA), 81 (RAW)
    int bytesPerPixel = 0;
    std::vector<unsigned char> pixels; // width x height x planes() pixels
    std::string comment;
    int mvdPacking = -1;           // MVD: the packing code of the file
    bool tgaBottomUp = false;      // TGA: origin at the bottom left
    std::uint64_t rawExtraBytes = 0; // RAW: bytes after the last voxel (ignored)

    int planes() const { return depth > 0 ? depth : 1; }
    std::size_t pixelCount() const {
        return std::size_t(width) * std::size_t(height) * std::size_t(planes());
    }
};

// Loads an MVD, TGA or RAW file; throws a Failure with the loader's status.
Picture loadPicture(const std::string &path);

// A volume of plane words, the common ground of every conversion.
struct Volume {
    int width = 0, height = 0, depth = 0; // depth 0: one plane
    std::vector<std::uint32_t> words;
    std::string comment;
    int planes() const { return depth > 0 ? depth : 1; }
};

// Plane words from a picture: MVD words as they are; RAW grey g becomes colour g in red, green
// and blue with the voxel's plane as its packed Z; a TGA frame keeps its colour and turns its
// alpha (an 8-bit depth, 0 nearest) into a packed Z across the 20 planes.
Volume toVolume(const Picture &picture);
// A stack of equally sized TGA frames: frame i becomes plane i (packed Z = i x 32).
Volume stackFrames(const std::vector<Picture> &frames);

// Writers; each prints nothing and throws a Failure with the writer's status.
void saveMvd(const Volume &volume, const std::string &path, int packing);
// Writes plane `plane` of the volume as a TGA frame: colour from the word, alpha from the
// packed Z (0 to 608 scaled to 0 to 255).
void saveTgaPlane(const Volume &volume, int plane, const std::string &path);
// Writes the volume as RAW grey voxels; returns the name the file got (the dimensions travel
// in it: BASE-W-H-D-GRAY8.raw).
std::string saveRaw(const Volume &volume, const std::string &path);

// ---- Commands ---------------------------------------------------------------------------

int runInfo(const std::vector<std::string> &args);
int runConvert(const std::vector<std::string> &args);
int runView(const std::vector<std::string> &args);
int runSnapshot(const std::vector<std::string> &args);

} // namespace vxtool
