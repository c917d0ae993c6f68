// Writes a tree of images for the manifester's benchmark, in nested
// folders. "mixed" (the default) is a game's mix of formats and sizes: PNG
// of every colour type (45%), baseline and a few progressive JPEG (30%),
// and uncompressed and run-length TGA (25%). "large-png" is textures of
// 512 to 1536 pixels a side, 0.5 to 6 MiB each, as a texture exporter
// writes them; "edited-png" the same with 1 to 8 KiB of metadata after the
// header, as image editors write it. "progressive-photos" is photos of 1024
// x 768 to 4000 x 3000 pixels, progressive with halved chroma as cameras
// and editors save them, 0.1 to 3 MiB each. "varied" is every kind of file
// the manifest meets, written once each whatever the count: PNG of every
// colour type and depth, JPEG baseline, progressive and a component to a
// scan, with every colour space, chroma sampling, coding and restart
// interval, TGA and bitmap sequences, at odd sizes, and the broken and
// hostile ones beside them; two builds of zk-manifester are compared on it.
// Usage: make_manifest_tree <directory> <count> [mixed|large-png|edited-png|progressive-photos|varied]
#include <png.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

// The tests' pattern with each sample stretched over 3 by 3 pixels.
uint8_t CoarseSample(int x, int y, int c) { return JpegSample(x / 3, y / 3, c); }

// A JPEG as the tree's are written: the coarse pattern, at quality 85
// unless the form says otherwise.
JpegForm TreeForm() {
    JpegForm form;
    form.sample = CoarseSample;
    form.quality = 85;
    return form;
}

// A photo: smooth gradients under sensor noise, so that its scans are as
// long as a real photo's.
Bytes ProgressivePhoto(int width, int height, int quality) {
    JpegForm form = TreeForm();
    form.scans = JpegForm::Scans::Progressive;
    form.quality = quality;
    form.noise = 20;
    return EncodeJpeg(width, height, form);
}

void PutProgressivePhotos(const std::string& root, int count) {
    const int sizes[][2] = {{1024, 768}, {1280, 720}, {1600, 1200}, {1920, 1080}, {2048, 1536}, {2592, 1944}, {4000, 3000}};
    for (int i = 0; i < count; ++i) {
        std::string folder = root + "/pack" + std::to_string(i % 3) + "/photos";
        std::filesystem::create_directories(folder);
        const int* size = sizes[i % 7];
        WriteBytes(folder + "/photo" + std::to_string(i) + ".jpg", ProgressivePhoto(size[0], size[1], 80 + (i * 7) % 16));
    }
}

// Where the header of the last scan starts; 0 without one.
size_t LastScan(const Bytes& jpeg) {
    size_t at = 0;
    for (size_t i = 0; i + 5 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) at = i;
    }
    return at;
}

// Where the entropy-coded data of the first scan starts.
size_t FirstScanData(const Bytes& jpeg) {
    for (size_t i = 0; i + 3 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    }
    return jpeg.size();
}

Bytes Cut(Bytes bytes, size_t size) {
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

Bytes WithSegment(Bytes jpeg, uint8_t marker, size_t length, uint8_t fill) {
    Bytes segment = {0xFF, marker, uint8_t((length + 2) >> 8), uint8_t(length + 2)};
    segment.resize(4 + length, fill);
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

// TGA of the given image type and bits, rows bottom first unless top_first.
Bytes TgaOf(int type, int width, int height, int bits, bool top_first) {
    Bytes out = {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8),
                 uint8_t(height), uint8_t(height >> 8), uint8_t(bits), uint8_t(top_first ? 0x20 : 0)};
    size_t pixel = size_t(bits / 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (type == 10 || type == 11) out.push_back(0);  // a raw packet of one pixel
            for (size_t c = 0; c < pixel; ++c) out.push_back(Sample(x, y, int(c)));
        }
    }
    return out;
}

void PutVaried(const std::string& root) {
    int written = 0;
    auto put = [&](const std::string& path, const Bytes& bytes) {
        std::filesystem::create_directories(std::filesystem::path(root + "/" + path).parent_path());
        WriteBytes(root + "/" + path, bytes);
        ++written;
    };
    const int sizes[][2] = {{1, 1}, {7, 3}, {17, 9}, {33, 65}, {640, 480}, {1023, 767}, {2000, 1}, {1, 1500}};
    // PNG: every colour type at each depth it allows, plain and interlaced,
    // with and without transparency.
    const struct {
        int type;
        std::vector<int> depths;
    } png_types[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_PALETTE, {4, 8}},
                     {PNG_COLOR_TYPE_RGB, {8, 16}},          {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
                     {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
    for (const auto& t : png_types) {
        for (int depth : t.depths) {
            for (int s = 0; s < 8; s += 3) {
                int w = sizes[s][0], h = sizes[s][1];
                std::string name = "data/png/type" + std::to_string(t.type) + "-" + std::to_string(depth) + "-" +
                                   std::to_string(w) + "x" + std::to_string(h);
                put(name + ".png", MakePng(w, h, t.type, depth));
                put(name + "-interlaced-trns.PNG", MakePng(w, h, t.type, depth, true, true));
            }
        }
    }
    Bytes text_png = MakePng(300, 200, PNG_COLOR_TYPE_RGB, 8);
    Bytes text = PngChunk("tEXt", Bytes(100000, 't'));
    text_png.insert(text_png.begin() + 33, text.begin(), text.end());
    put("data/png/odd/long-text.png", text_png);
    put("data/png/odd/cut.png", Cut(MakePng(64, 64, PNG_COLOR_TYPE_RGB, 8), 200));
    put("data/png/odd/header-only.png", HandMadePng(123, 45));
    put("data/png/odd/not-a.png", {'G', 'I', 'F', '8', '9', 'a'});
    put("data/png/odd/empty.png", {});

    // JPEG: every form at several sizes.
    struct Named {
        std::string name;
        JpegForm form;
    };
    std::vector<Named> forms;
    const struct {
        const char* name;
        JpegColours colours;
        JpegForm::Stored stored;
    } colours[] = {{"ycc", JpegColours::Rgb, JpegForm::Stored::Default},
                   {"rgb", JpegColours::Rgb, JpegForm::Stored::Rgb},
                   {"grey", JpegColours::Grey, JpegForm::Stored::Default},
                   {"cmyk", JpegColours::Cmyk, JpegForm::Stored::Default},
                   {"ycck", JpegColours::Cmyk, JpegForm::Stored::Ycck}};
    const struct {
        const char* name;
        int h, v;
    } samplings[] = {{"444", 1, 1}, {"422", 2, 1}, {"420", 2, 2}, {"411", 4, 1}, {"440", 1, 2}, {"311", 3, 1}};
    const struct {
        const char* name;
        decltype(JpegForm::scans) scans;
    } scan_kinds[] = {{"baseline", JpegForm::Scans::One},
                      {"progressive", JpegForm::Scans::Progressive},
                      {"component-scans", JpegForm::Scans::OneAComponent},
                      {"spectral", JpegForm::Scans::SpectralOnly}};
    for (const auto& c : colours) {
        for (const auto& sampling : samplings) {
            for (const auto& k : scan_kinds) {
                bool by_component = k.scans == JpegForm::Scans::OneAComponent || k.scans == JpegForm::Scans::SpectralOnly;
                if (c.colours != JpegColours::Rgb && by_component) continue;
                for (int coding = 0; coding < 3; ++coding) {  // Huffman, optimized Huffman, arithmetic
                    JpegForm form = TreeForm();
                    form.colours = c.colours;
                    form.stored = c.stored;
                    form.h = sampling.h;
                    form.v = sampling.v;
                    form.scans = k.scans;
                    form.optimized = coding == 1;
                    form.arithmetic = coding == 2;
                    form.restart_rows = coding == 1 ? 1 : 0;
                    form.quality = 30 + 30 * coding;
                    forms.push_back({std::string(c.name) + "-" + sampling.name + "-" + k.name + "-" +
                                         (coding == 0 ? "huffman" : coding == 1 ? "optimized-restarts" : "arithmetic"),
                                     form});
                }
            }
        }
    }
    int refused = 0;
    for (size_t f = 0; f < forms.size(); ++f) {
        for (int s = int(f % 3); s < 8; s += 3) {
            int w = sizes[s][0], h = sizes[s][1];
            Bytes jpeg = EncodeJpeg(w, h, forms[f].form);
            if (jpeg.empty()) {
                ++refused;
                continue;
            }
            std::string name = "data/jpeg/" + forms[f].name + "-" + std::to_string(w) + "x" + std::to_string(h);
            put(name + (s % 2 ? ".JPG" : ".jpg"), jpeg);
        }
    }
    // Odd ones: cut, broken, padded, with large segments, claiming other
    // sizes, more scans than any encoder writes.
    JpegForm progressive = TreeForm();
    progressive.scans = JpegForm::Scans::Progressive;
    progressive.noise = 20;
    Bytes photo = EncodeJpeg(800, 600, progressive);
    JpegForm component = TreeForm();
    component.scans = JpegForm::Scans::OneAComponent;
    Bytes component_scans = EncodeJpeg(300, 200, component);
    Bytes baseline = EncodeJpeg(300, 200, TreeForm());
    Bytes broken = photo;
    broken[LastScan(broken) + 5] = 0x7F;  // a component the frame does not have
    Bytes broken_components = component_scans;
    broken_components[LastScan(broken_components) + 5] = 0x7F;
    Bytes corrupt = photo;
    for (size_t i = LastScan(corrupt) + 20; i < corrupt.size() - 2; i += 97) corrupt[i] = 0xA5;  // damaged entropy data
    put("data/jpeg/odd/progressive-last-scan-broken.jpg", broken);
    put("data/jpeg/odd/component-scans-last-broken.jpg", broken_components);
    put("data/jpeg/odd/progressive-later-data-corrupt.jpg", corrupt);
    put("data/jpeg/odd/progressive-cut-in-half.jpg", Cut(photo, photo.size() / 2));
    put("data/jpeg/odd/progressive-cut-after-first-scan-header.jpg", Cut(photo, FirstScanData(photo)));
    put("data/jpeg/odd/progressive-cut-in-header.jpg", Cut(photo, 100));
    put("data/jpeg/odd/baseline-cut.jpg", Cut(baseline, baseline.size() / 2));
    put("data/jpeg/odd/baseline-then-zeros.jpg", [&] { Bytes b = baseline; b.resize(b.size() + 100000, 0); return b; }());
    put("data/jpeg/odd/exif-30k.jpg", WithSegment(photo, 0xE1, 30000, 'e'));
    put("data/jpeg/odd/comment-70k.jpg", WithSegment(WithSegment(photo, 0xFE, 35000, 'c'), 0xFE, 35000, 'c'));
    put("data/jpeg/odd/claims-16384.jpg", WithFrameSize(EncodeJpeg(16, 16, progressive), 16384, 16384));
    put("data/jpeg/odd/claims-60000.jpg", WithFrameSize(baseline, 60000, 30000));
    put("data/jpeg/odd/many-scans.jpg", WithRepeatedLastScan(MakeFlatGreyJpeg(2048, 2048), 3000));
    put("data/jpeg/odd/flat-large.jpg", MakeFlatColourJpeg(4096, 6144));
    put("data/jpeg/odd/not-a.jpg", {'P', 'K', 3, 4, 0, 0});
    put("data/jpeg/odd/empty.jpg", {});

    // TGA: true colour, raw and run-length, both row orders; grey and 16
    // bits, which the reader refuses, among the odd ones.
    for (int type : {2, 10}) {
        for (int bits : {24, 32}) {
            for (int s = 0; s < 6; s += 2) {
                std::string name = "data/tga/type" + std::to_string(type) + "-" + std::to_string(bits) + "-" +
                                   std::to_string(sizes[s][0]) + "x" + std::to_string(sizes[s][1]);
                put(name + ".tga", TgaOf(type, sizes[s][0], sizes[s][1], bits, false));
                put(name + "-top.TGA", TgaOf(type, sizes[s][0], sizes[s][1], bits, true));
            }
        }
    }
    put("data/tga/odd/grey.tga", TgaOf(3, 17, 9, 8, false));
    put("data/tga/odd/sixteen-bits.tga", TgaOf(2, 17, 9, 16, false));
    put("data/tga/odd/cut.tga", Cut(TgaOf(2, 64, 64, 32, true), 500));
    put("data/tga/odd/empty.tga", {});

    // Bitmap sequences.
    put("data/bms/atlas.bms", SequenceFile({{40, 30}, {20, 10}}, true));
    put("data/bms/frames.bms", SequenceFile({{40, 30}}, false));
    put("data/bms/none.bms", SequenceFile({}, true));
    put("data/bms/bad.bms", {'Z', 'K', '_', 'B', 'm'});
    fprintf(stderr, "%d files written; %d JPEG forms libjpeg refused\n", written, refused);
}

}  // namespace

int main(int argc, char** argv) {
    std::string kind = argc > 3 ? argv[3] : "mixed";
    if (argc < 3 || (kind != "mixed" && kind != "large-png" && kind != "edited-png" && kind != "progressive-photos" &&
                     kind != "varied")) {
        fprintf(stderr, "usage: make_manifest_tree <directory> <count> [mixed|large-png|edited-png|progressive-photos|varied]\n");
        return 1;
    }
    std::string root = argv[1];
    int count = atoi(argv[2]);
    srand(7);
    if (kind == "varied") {
        PutVaried(root);
        return 0;
    }
    if (kind == "progressive-photos") {
        PutProgressivePhotos(root, count);
        return 0;
    }
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
