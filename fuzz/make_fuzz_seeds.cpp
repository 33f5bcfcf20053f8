// Writes the seed corpora of the fuzz targets with the library's own savers: small MVD files in
// every packing, TGA images of the plane formats (also with a bottom-left origin), the buffer
// loader's inputs and RAW file names. Usage: make_fuzz_seeds <corpus directory>.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "vxUtil.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

// A small volume with runs, noise and a run that ends a row.
std::vector<std::uint32_t> volume(int w, int h, int d) {
    std::vector<std::uint32_t> v(std::size_t(w) * h * d);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = (i % 7 < 4) ? 0xF8F8F8FFu : std::uint32_t(i * 0x9E3779B9u);
    return v;
}

bool ok(unsigned status, const std::string &what) {
    if (status != VX_OK)
        std::fprintf(stderr, "make_fuzz_seeds: %s failed (%u)\n", what.c_str(), status);
    return status == VX_OK;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <corpus directory>\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char *sub : {"", "/mvd", "/tga", "/tga_na", "/raw_name"})
        mkdir((root + sub).c_str(), 0755);
    bool good = true;

    const auto v = volume(9, 4, 2);
    for (int packing = 0; packing < 7; ++packing) {
        std::string file = root + "/mvd/packing" + std::to_string(packing) + ".mvd";
        good &= ok(vxUtilSaveMVDFile(file.c_str(), packing, 9, 4, 2, v.data(), "seed"), file);
    }
    const std::uint32_t one = 0x12345678u;
    good &= ok(vxUtilSaveMVDFile((root + "/mvd/plane.mvd").c_str(), MVD_WORD32_RLE, 1, 1, 0, &one,
                                 nullptr),
               "plane.mvd");

    std::vector<std::uint8_t> frame(5 * 3 * 4);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = std::uint8_t(i * 13);
    std::vector<unsigned short> depths(5 * 3, 100);
    for (unsigned format : {72u, 73u, 74u, 75u, 70u}) {
        std::string file = root + "/tga/format" + std::to_string(format) + ".tga";
        good &=
            ok(vxUtilSaveBufferAsTGA(file.c_str(), 5, 3, format, frame.data(), depths.data(), "id"),
               file);
    }
    // The same image with its origin at the bottom left (descriptor 0x00).
    Bytes bottom = readAll(root + "/tga/format72.tga");
    if (bottom.size() > 17) bottom[17] = 0x00;
    writeAll(root + "/tga/bottom_left.tga", bottom);

    // Loader inputs: capacity 8 x 4, comment capacity 3, format 72 + 0, then the file.
    for (const char *name : {"format72.tga", "bottom_left.tga"}) {
        Bytes input = {8, 4, 3, 0};
        Bytes tga = readAll(root + "/tga/" + name);
        input.insert(input.end(), tga.begin(), tga.end());
        writeAll(root + "/tga_na/" + name, input);
    }

    // RAW names as the saver builds them.
    struct Raw {
        const char *base;
        int w, h, d;
    };
    int n = 0;
    for (Raw r : {Raw{"scan", 64, 32, 8}, Raw{"my-vol.v2", 1024, 748, 20}, Raw{"dir/a", 1, 2, 0}}) {
        std::string name = r.base;
        name += "-" + std::to_string(r.w) + "-" + std::to_string(r.h) + "-" + std::to_string(r.d) +
                "-GRAY8.raw";
        writeAll(root + "/raw_name/name" + std::to_string(n++), Bytes(name.begin(), name.end()));
    }
    char saved[256];
    std::uint8_t voxel = 7;
    std::string base = root + "/raw_name/saved";
    good &= ok(vxUtilSaveRAW(base.c_str(), 0, 1, 1, 0, &voxel, sizeof saved, saved), "raw");
    std::remove(saved); // only its name is a seed
    std::string savedName = saved;
    savedName = savedName.substr(savedName.rfind('/') + 1);
    writeAll(root + "/raw_name/name" + std::to_string(n),
             Bytes(savedName.begin(), savedName.end()));
    return good ? 0 : 1;
}
