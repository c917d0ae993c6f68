// Writes a tree of images for the manifester's benchmark, in nested
// folders. "mixed" (the default) is a game's mix of formats and sizes: PNG
// of every colour type (45%), baseline and a few progressive JPEG (30%),
// and uncompressed and run-length TGA (25%). "large-png" is textures of
// 512 to 1536 pixels a side, 0.5 to 6 MiB each, as a texture exporter
// writes them; "edited-png" the same with 1 to 8 KiB of metadata after the
// header, as image editors write it.
// Usage: make_manifest_tree <directory> <count> [mixed|large-png|edited-png]
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

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A texture of the given side: the tests' pattern with noise on it, so that
// it does not compress to a few KiB, as a real texture does not.
Bytes NoisyPng(int side, int color_type) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_compression_level(png, 1);  // the tree is written quickly; the sizes stay real
    png_set_IHDR(png, info, png_uint_32(side), png_uint_32(side), 8, color_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    int channels = color_type == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
    Bytes row(size_t(side) * channels);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            for (int c = 0; c < channels; ++c) row[size_t(x * channels + c)] = uint8_t(Sample(x, y, c) + rand() % 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void PutLargePng(const std::string& path, int i, bool edited) {
    Bytes png = NoisyPng(512 + (i % 5) * 256, i % 2 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
    if (edited) {
        Bytes metadata = PngChunk("iTXt", Bytes(size_t(1024 + (i * 1237) % 7168), 'x'));
        png.insert(png.begin() + 33, metadata.begin(), metadata.end());
    }
    WriteBytes(path, png);
}

}  // namespace

int main(int argc, char** argv) {
    std::string kind = argc > 3 ? argv[3] : "mixed";
    if (argc < 3 || (kind != "mixed" && kind != "large-png" && kind != "edited-png")) {
        fprintf(stderr, "usage: make_manifest_tree <directory> <count> [mixed|large-png|edited-png]\n");
        return 1;
    }
    std::string root = argv[1];
    int count = atoi(argv[2]);
    srand(7);
    if (kind != "mixed") {
        for (int i = 0; i < count; ++i) {
            std::string folder = root + "/pack" + std::to_string(i % 4) + "/textures";
            std::filesystem::create_directories(folder);
            PutLargePng(folder + "/texture" + std::to_string(i) + ".png", i, kind == "edited-png");
        }
        return 0;
    }
    const int png_types[] = {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_PALETTE,
                             PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA};
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
