// The message text of every status code.
#include "vxUtil.h"

namespace vx::util {
namespace {

constexpr int kMessageLength = 64; // one fixed field per code: 63 characters and the NUL
constexpr int kCodeCount = 16;

// Row n is the text of status code n.
constexpr char kMessages[kCodeCount][kMessageLength] = {
    "no error",                      // VX_OK
    "could not allocate memory",     // VX_ERR_NO_MEMORY
    "generic image writing error",   // VX_ERR_IMAGE_WRITE
    "error with the output card",    // VX_ERR_OUTPUT_CARD
    "file not found",                // VX_ERR_FILE_NOT_FOUND
    "could not open the file",       // VX_ERR_FILE_OPEN
    "unspecified file error",        // VX_ERR_FILE
    "unknown error",                 // VX_ERR_UNKNOWN
    "invalid file extension",        // VX_ERR_FILE_EXTENSION
    "already initialized",           // VX_ERR_ALREADY_INITIALIZED
    "invalid format",                // VX_ERR_INVALID_FORMAT
    "invalid argument",              // VX_ERR_INVALID_ARGUMENT
    "out of range",                  // VX_ERR_OUT_OF_RANGE
    "invalid depth scan method",     // VX_ERR_DEPTH_SCAN_METHOD
    "invalid format and mode combo", // VX_ERR_FORMAT_MODE_COMBO
    "command queue overflow",        // VX_ERR_QUEUE_OVERFLOW
};

constexpr char kInvalidCode[] = "invalid error code";

} // namespace
} // namespace vx::util

extern "C" {

VXUTIL_API void vxUtilErrorString(unsigned int code, int size, char *text) {
    using namespace vx::util;
    if (size <= 0 || text == nullptr) return;
    const char *message = code < kCodeCount ? kMessages[code] : kInvalidCode;
    int n = 0;
    while (n < size - 1 && message[n] != '\0') {
        text[n] = message[n];
        ++n;
    }
    text[n] = '\0';
}

VXUTIL_API int vxUtilGetMaxLengthOfErrorString(void) {
    return vx::util::kMessageLength;
}

VXUTIL_API int vxUtilGetNumberOfErrorCodes(void) {
    return vx::util::kCodeCount;
}

} // extern "C"
