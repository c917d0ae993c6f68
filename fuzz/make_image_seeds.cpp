// Writes the seed inputs of the image fuzz targets into the directories
// given: small valid files of every kind the targets read, each behind the
// byte that picks its reader.
#include <png.h>

#include <cstdio>
#include <string>

#include "tools/manifester/tests/image_files.h"

using namespace manifester_test;

namespace {

Bytes Tga(int type, int bits, const Bytes& pixels) {
    Bytes out = {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, uint8_t(bits), 0x20};
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

void Seed(const std::string& directory, const std::string& name, uint8_t selector, const Bytes& file) {
    Bytes input = {selector};
    input.insert(input.end(), file.begin(), file.end());
    WriteBytes(directory + "/" + name, input);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: make_image_seeds <formats seeds> <decoders seeds>\n");
        return 1;
    }
    std::string formats = argv[1], decoders = argv[2];
    Bytes uncompressed = Tga(2, 24, Bytes(18, 0x40));
    Bytes run_length = Tga(10, 32, {0x82, 1, 2, 3, 4, 0x02, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Bytes rle = {3, 0, 0, 0, 2, 0, 0, 0, 4, 1, 2, 3, 4, 2, 5, 6, 7, 8};
    Seed(formats, "tga24", 0, uncompressed);
    Seed(formats, "tga32rle", 1, run_length);
    Seed(formats, "rle", 2, rle);

    Seed(decoders, "png_rgba", 5 << 1, MakePng(4, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    Seed(decoders, "png_palette", 5 << 1, MakePng(4, 3, PNG_COLOR_TYPE_PALETTE, 4, true));
    Seed(decoders, "png_grey16", 5 << 1, MakePng(3, 3, PNG_COLOR_TYPE_GRAY, 16, false, true));
    Seed(decoders, "jpeg", 6 << 1, MakeJpeg(16, 8, JpegColours::Rgb));
    Seed(decoders, "jpeg_progressive", 6 << 1, MakeJpeg(16, 16, JpegColours::Rgb, true));
    // A few hundred bytes claiming 60000 x 30000 pixels, progressive: the
    // measure must refuse it before the decoder buffers the whole image.
    Seed(decoders, "jpeg_progressive_huge", 6 << 1, WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb, true), 60000, 30000));
    Seed(decoders, "jpeg_grey", 6 << 1, MakeJpeg(8, 8, JpegColours::Grey));
    // Sequential, a scan to each component: measured, as a progressive one
    // is, without reading its scans.
    Seed(decoders, "jpeg_component_scans", 6 << 1, MakeComponentScansJpeg(16, 16));
    // A few hundred bytes whose scans would take 1.5 GiB of the library's
    // memory, within the decoder's pixel bound.
    Seed(decoders, "jpeg_progressive_claims", 6 << 1, WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb, true), 16384, 16384));
    // Many scans of a few bytes each over 65536 blocks: seconds of work.
    Seed(decoders, "jpeg_many_scans", 6 << 1, WithRepeatedLastScan(MakeFlatGreyJpeg(2048, 2048), 3000));
    // Each ancillary chunk libpng knows, small and valid-looking, and with a
    // length field of 2 GiB in a file of 44 bytes.
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "eXIf", "pCAL", "sCAL", "iCCP", "gAMA", "sRGB",
                             "cHRM", "bKGD", "hIST", "pHYs", "sBIT", "tIME", "oFFs", "sTER"}) {
        Bytes png = MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8);
        Bytes chunk = PngChunk(type, {'k', 0, 0, 0, 1, 0, 0, 0, 2});
        Bytes with = png;
        with.insert(with.begin() + 33, chunk.begin(), chunk.end());
        Seed(decoders, std::string("png_") + type, 5 << 1, with);
        Bytes claim(png.begin(), png.begin() + 33);
        claim.insert(claim.end(), {0x7F, 0xFF, 0xFF, 0xFF, uint8_t(type[0]), uint8_t(type[1]), uint8_t(type[2]),
                                   uint8_t(type[3]), 'k', 0, 'v'});
        Seed(decoders, std::string("png_claims_") + type, 5 << 1, claim);
    }
    Seed(decoders, "tga", 7 << 1, run_length);
    // Measured through the file reader, in pieces: a PNG whose text chunk
    // runs over several reads, and a progressive JPEG longer than the first
    // (of which the measure reads only the headers).
    Bytes texted = MakePng(4, 3, PNG_COLOR_TYPE_RGB, 8);
    Bytes text = PngChunk("tEXt", Bytes(9000, 'a'));
    texted.insert(texted.begin() + 33, text.begin(), text.end());
    Seed(decoders, "png_read_in_pieces", 10 << 1, texted);
    Seed(decoders, "jpeg_read_in_pieces", 11 << 1, MakeJpeg(200, 150, JpegColours::Rgb, true));
    return 0;
}
