// Writes a tree of images of mixed formats and sizes for the manifester's
// benchmark: PNG of every colour type (45%), baseline and a few progressive
// JPEG (30%), and uncompressed and run-length TGA (25%), in nested folders.
// Usage: make_manifest_tree <directory> <count>
#include <png.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/manifester/tests/image_files.h"

using namespace manifester_test;

namespace {

Bytes Tga(int width, int height, bool run_length) {
    Bytes out = {0, 0, uint8_t(run_length ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8),
                 uint8_t(height), uint8_t(height >> 8), 32, 0x28};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width;) {
            if (run_length) {
                int count = std::min(128, width - x);
                out.insert(out.end(), {uint8_t(0x80 | (count - 1)), Sample(x, y, 0), Sample(x, y, 1), 40, 255});
                x += count;
            } else {
                out.insert(out.end(), {Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), 255});
                ++x;
            }
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: make_manifest_tree <directory> <count>\n");
        return 1;
    }
    std::string root = argv[1];
    int count = atoi(argv[2]);
    const int png_types[] = {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_PALETTE,
                             PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA};
    srand(7);
    for (int i = 0; i < count; ++i) {
        // Mostly small and medium images, now and then a large one.
        int width = 16 + rand() % (i % 10 == 0 ? 1024 : 256);
        int height = 16 + rand() % (i % 10 == 0 ? 768 : 256);
        std::string folder = root + "/pack" + std::to_string(i % 8) + "/set" + std::to_string(i % 5);
        std::filesystem::create_directories(folder);
        std::string name = folder + "/image" + std::to_string(i);
        // A game's mix: mostly PNG, then JPEG (one in twelve progressive)
        // and TGA, of both kinds.
        int slot = i % 20;
        if (slot < 9) {
            WriteBytes(name + ".png", MakePng(width, height, png_types[i % 5], 8, i % 3 == 0));
        } else if (slot < 15) {
            bool progressive = slot == 9 && (i / 20) % 2 == 0;
            WriteBytes(name + ".jpg", MakeJpeg(width, height, JpegColours::Rgb, progressive, 85));
        } else {
            WriteBytes(name + ".tga", Tga(width, height, slot % 2 == 1));
        }
    }
    return 0;
}
