// RAW volumes: headerless files of 8-bit grey voxels whose dimensions travel in the file name
// (<base>-<width>-<height>-<depth>-GRAY8.raw), and the parse of such a name from its end.
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "file_io.h"
#include "vxUtil.h"

namespace vx::util::raw {
namespace {

constexpr std::string_view kVoxelType = "GRAY8";
constexpr int kFormatOfType = VX_FORMAT_GRAY8;

std::optional<std::uint64_t> volumeBytes(int width, int height, int depth) {
    if (width < 0 || height < 0 || depth < 0) return std::nullopt;
    return checkedProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height),
                          static_cast<std::uint64_t>(depth > 0 ? depth : 1));
}

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Reads a decimal integer the way "%d" does: leading blanks, an optional sign, digits. False
// when the text does not start with a number or the number does not fit an int.
bool readInt(std::string_view text, int &out) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -std::int64_t{INT_MIN} : INT_MAX;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) return false;
    }
    out = static_cast<int>(negative ? -value : value);
    return true;
}

// The first word of text as "%s" reads it: leading blanks skipped, up to the next blank.
std::string_view firstWord(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    return text.substr(begin, end - begin);
}

bool isVoxelType(std::string_view word) {
    if (word.size() != kVoxelType.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != kVoxelType[i]) return false;
    return true;
}

} // namespace

unsigned save(const char *baseName, int width, int height, int depth, const void *data,
              int nameSize, char *name) {
    if (baseName == nullptr || name == nullptr || data == nullptr) return VX_ERR_INVALID_ARGUMENT;
    std::optional<std::uint64_t> bytes = volumeBytes(width, height, depth);
    if (!bytes) return VX_ERR_INVALID_ARGUMENT;
    std::string fileName = std::string(baseName) + "-" + std::to_string(width) + "-" +
                           std::to_string(height) + "-" + std::to_string(depth) + "-" +
                           std::string(kVoxelType) + ".raw";
    if (nameSize <= 0 || fileName.size() + 1 > static_cast<std::size_t>(nameSize))
        return VX_ERR_INVALID_ARGUMENT;
    std::memcpy(name, fileName.c_str(), fileName.size() + 1);

    File file;
    if (!file.open(fileName.c_str(), "wb")) return VX_ERR_FILE_OPEN;
    file.write(data, static_cast<std::size_t>(*bytes));
    return file.close() ? VX_OK : VX_ERR_FILE;
}

unsigned load(const char *fileName, int width, int height, int depth, void *data) {
    if (fileName == nullptr || data == nullptr) return VX_ERR_INVALID_ARGUMENT;
    std::optional<std::uint64_t> bytes = volumeBytes(width, height, depth);
    if (!bytes) return VX_ERR_INVALID_ARGUMENT;
    File file;
    if (!file.open(fileName, "rb")) return VX_ERR_FILE_OPEN;
    // A file that is certainly too short is refused before data is touched.
    if (certainlyShort(file, *bytes)) return VX_ERR_FILE;
    return file.read(data, static_cast<std::size_t>(*bytes)) ? VX_OK : VX_ERR_FILE;
}

unsigned parse(const char *fileName, int *format, int *width, int *height, int *depth,
               int &reason) {
    reason = 0;
    if (fileName == nullptr || format == nullptr || width == nullptr || height == nullptr ||
        depth == nullptr)
        return VX_ERR_INVALID_ARGUMENT;

    // Each step finds its separator before the end of what is left and cuts the text there,
    // so the base name may itself hold hyphens and full stops.
    std::string_view rest(fileName);
    std::size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos) {
        reason = VXUTIL_RAW_REASON_EXTENSION;
        return VX_ERR_INVALID_FORMAT;
    }
    rest = rest.substr(0, dot);

    auto cutField = [&rest](std::string_view &field) {
        std::size_t hyphen = rest.rfind('-');
        if (hyphen == std::string_view::npos) return false;
        field = rest.substr(hyphen + 1);
        rest = rest.substr(0, hyphen);
        return true;
    };

    std::string_view field;
    if (!cutField(field)) {
        reason = VXUTIL_RAW_REASON_TYPE;
        return VX_ERR_INVALID_FORMAT;
    }
    if (isVoxelType(firstWord(field))) *format = kFormatOfType;

    struct Step {
        int *out;
        int reason;
    };
    for (Step step : {Step{depth, VXUTIL_RAW_REASON_DEPTH}, Step{height, VXUTIL_RAW_REASON_HEIGHT},
                      Step{width, VXUTIL_RAW_REASON_WIDTH}}) {
        if (!cutField(field)) {
            reason = step.reason;
            return VX_ERR_INVALID_FORMAT;
        }
        int value = 0;
        if (readInt(field, value)) *step.out = value;
    }
    return VX_OK;
}

} // namespace vx::util::raw

extern "C" {

VXUTIL_API unsigned int vxUtilSaveRAW(const char *baseName, int /*ignored*/, int width, int height,
                                      int depth, const void *data, int nameSize, char *name) {
    try {
        return vx::util::raw::save(baseName, width, height, depth, data, nameSize, name);
    } catch (const std::bad_alloc &) {
        return VX_ERR_NO_MEMORY;
    }
}

VXUTIL_API unsigned int vxUtilLoadRAW(const char *fileName, int /*ignored*/, int width, int height,
                                      int depth, void *data) {
    return vx::util::raw::load(fileName, width, height, depth, data);
}

VXUTIL_API unsigned int vxUtilParseRAWFilename(const char *fileName, int *format, int *width,
                                               int *height, int *depth, int *reason) {
    int code = 0;
    unsigned status = vx::util::raw::parse(fileName, format, width, height, depth, code);
    if (reason) *reason = code;
    return status;
}

} // extern "C"
