// vxtool convert IN... OUT: between MVD packings, RAW and MVD, TGA frames and MVD planes.
#include <cstdio>
#include <filesystem>

#include "vxUtil.h"
#include "vxtool.h"

namespace vxtool {

namespace {

const char *kConvertHelp =
    "usage: vxtool convert [options] IN OUT\n"
    "       vxtool convert [options] FRAME.tga... OUT\n"
    "\n"
    "Converts between the kit's files; the extension of OUT (.mvd, .tga, .raw) chooses what is\n"
    "written. Everything passes through the display's plane words, so colours keep the 5 bits\n"
    "a component that the display shows.\n"
    "  MVD -> MVD   repacks the volume (--packing)\n"
    "  RAW -> MVD   grey g becomes red = green = blue = g in plane words\n"
    "  MVD -> RAW   each voxel becomes its grey level (red + green + blue) / 3; the name of\n"
    "               the file written is OUT's base with -WIDTH-HEIGHT-DEPTH-GRAY8.raw\n"
    "  TGA -> MVD   one frame becomes a one-plane MVD whose packed Z comes from the alpha\n"
    "               (depth) byte; several frames become the planes of a volume, in order\n"
    "  MVD -> TGA   a one-plane MVD becomes one frame with its packed Z as alpha; a volume\n"
    "               writes one frame a plane, OUT-00.tga, OUT-01.tga..., or one (--plane)\n"
    "\n"
    "options:\n"
    "  --packing N     MVD packing code 0 to 6 (default: the input's, else 0):\n"
    "                  0 WORD32 (lossless), 1 COLOR15, 2 COLOR15_RLE, 3 PACKED24, 4 GRAY8,\n"
    "                  5 GRAY5_RLE, 6 WORD32_RLE\n"
    "  --comment TEXT  the comment of an MVD or TGA output (default: the input's)\n"
    "  --plane N       the one plane of a volume to write as a TGA frame\n";

// OUT.tga -> OUT-07.tga for plane 7 of a volume of `planes` planes.
std::string planeFileName(const std::string &out, int plane, int planes) {
    std::filesystem::path p(out);
    std::string digits = std::to_string(plane);
    std::size_t width = std::to_string(planes - 1).size() < 2 ? 2 : std::to_string(planes - 1).size();
    digits.insert(0, width - digits.size(), '0');
    return (p.parent_path() / (p.stem().string() + "-" + digits + p.extension().string())).string();
}

} // namespace

int runConvert(const std::vector<std::string> &args) {
    Arguments a(args, {}, {"--packing", "--comment", "--plane"});
    if (a.wantsHelp()) {
        std::fputs(kConvertHelp, stdout);
        return kExitOk;
    }
    const auto &files = a.positional();
    if (files.size() < 2) failUsage("IN OUT", "give an input and an output file");
    const std::string &out = files.back();
    std::vector<std::string> inputs(files.begin(), files.end() - 1);

    FileKind outKind = kindOf(out);
    for (const auto &in : inputs)
        if (inputs.size() > 1 && kindOf(in) != FileKind::Tga)
            failUsage(in, "several inputs must all be TGA frames");
    if (a.has("--packing") && outKind != FileKind::Mvd)
        failUsage("--packing", "applies to an .mvd output only");
    if (a.has("--plane") && outKind != FileKind::Tga)
        failUsage("--plane", "applies to a .tga output only");
    int packing = a.has("--packing") ? parseInt(a.value("--packing"), "--packing", 0, 6) : -1;
    int plane = a.has("--plane") ? parseInt(a.value("--plane"), "--plane", 0, 65534) : -1;

    std::vector<Picture> pictures;
    for (const auto &in : inputs) pictures.push_back(loadPicture(in));
    Volume volume = pictures.size() == 1 ? toVolume(pictures[0]) : stackFrames(pictures);
    if (a.has("--comment")) volume.comment = a.value("--comment");

    std::vector<std::string> written;
    switch (outKind) {
    case FileKind::Mvd:
        if (packing < 0) packing = pictures[0].kind == FileKind::Mvd ? pictures[0].mvdPacking : 0;
        saveMvd(volume, out, packing);
        written.push_back(out);
        break;
    case FileKind::Tga:
        if (plane >= volume.planes())
            fail(VX_ERR_OUT_OF_RANGE, "--plane " + std::to_string(plane),
                 "the volume has " + std::to_string(volume.planes()) + " planes");
        if (plane >= 0 || volume.planes() == 1) {
            saveTgaPlane(volume, plane < 0 ? 0 : plane, out);
            written.push_back(out);
        } else {
            for (int z = 0; z < volume.planes(); ++z) {
                written.push_back(planeFileName(out, z, volume.planes()));
                saveTgaPlane(volume, z, written.back());
            }
        }
        break;
    case FileKind::Raw:
        written.push_back(saveRaw(volume, out));
        break;
    }
    for (const auto &name : written) std::printf("wrote %s\n", name.c_str());
    return kExitOk;
}

} // namespace vxtool
