// Frames sent through the card driver (vxhw) to the display's interface card; on Linux the
// driver talks to a simulated board.
//
// The driver takes display command records, the same seven-int records the core library
// builds, and plane words. A sizing command (full plane, sub plane, full block, sub block)
// says how many words the next vxHwSendData sends; a swap command shows what was sent.
// vxHwSendData returns as soon as the transfer has started, so the words must stay unchanged
// until the next call into the driver.
//
//   card_frames
#include <cstdio>
#include <vector>

#include <vxhw.h>

// Prints the driver's last error text for a failed call and says whether it succeeded.
static bool ok(unsigned status, const char *what) {
    if (status == VX_OK) return true;
    char text[64];
    vxHwGetLastErrorString(sizeof text, text);
    std::fprintf(stderr, "card_frames: %s: status %u: %s\n", what, status, text);
    return false;
}

// A plane word: 5-bit red, green and blue in the high bits of bytes 3, 2 and 1, the packed Z
// (plane index x 32 + fraction) in byte 0 and the two low bits of byte 1.
static unsigned planeWord(unsigned r, unsigned g, unsigned b, unsigned plane) {
    unsigned z = plane * 32;
    return (r & 0xF8) << 24 | (g & 0xF8) << 16 | (b & 0xF8) << 8 | (z >> 8) << 8 | (z & 0xFF);
}

int main() {
    char info[114]; // the driver writes at most 113 characters and a terminator
    if (!ok(vxHwInitialize(info), "vxHwInitialize")) return 1;
    std::printf("card: %s\n", info);

    // Three whole-plane frames, each a colour ramp on its own plane.
    std::vector<unsigned> plane(VX_PLANE_PIXELS);
    const int fullPlane[VX_CMD_RECORD_INTS] = {VX_CMD_FULL_PLANE};
    const int swap[VX_CMD_RECORD_INTS] = {VX_CMD_SWAP, 0};
    bool done = true;
    for (unsigned frame = 0; frame < 3 && done; ++frame) {
        for (int i = 0; i < VX_PLANE_PIXELS; ++i)
            plane[i] = planeWord(i % VX_PLANE_WIDTH / 4, frame * 100, 255 - i / VX_PLANE_WIDTH / 3,
                                 frame * 9);
        done = ok(vxHwSendCommand(fullPlane), "full-plane command") &&
               ok(vxHwSendData(plane.data()), "frame data") &&
               ok(vxHwSendCommand(swap), "swap");
        if (done) std::printf("frame %u: %d words sent\n", frame, VX_PLANE_PIXELS);
    }

    // A rectangle of 100 x 50 pixels at (10, 20): corners are inclusive.
    const int subPlane[VX_CMD_RECORD_INTS] = {VX_CMD_SUB_PLANE, 10, 20, 109, 69};
    std::vector<unsigned> patch(100 * 50, planeWord(255, 255, 255, 10));
    done = done && ok(vxHwSendCommand(subPlane), "sub-plane command") &&
           ok(vxHwSendData(patch.data()), "rectangle data") && ok(vxHwSendCommand(swap), "swap");
    if (done) std::printf("rectangle: %zu words sent\n", patch.size());

    // Waits for the last transfer, so `patch` may go once this returns.
    bool closed = ok(vxHwShutDown(), "vxHwShutDown");
    return done && closed ? 0 : 1;
}
