// The manifester's decoders and encoders: PNG channel layouts, JPEG colour
// spaces, broken and hostile files (decoded from exactly sized heap copies),
// the measurements that stand in for full decodes, and the writers.
#include <png.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "tools/manifester/codecs.h"
#include "tools/manifester/fonts.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

struct Rgba {
    int r, g, b, a;
};

Rgba PixelAt(const zk_bitmap_t& bitmap, int x, int y) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bitmap.pixels) + (size_t(y) * bitmap.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// Frees what a decoder left.
struct Bitmap : zk_bitmap_t {
    Bitmap() : zk_bitmap_t() { name = const_cast<char*>("pictures/test.png"); }
    ~Bitmap() { free(pixels); }
};

class PngDecoding : public ManifesterTest {};

TEST_F(PngDecoding, ChannelLayoutsComeOutAsFourBytes) {
    struct Case {
        const char* name;
        int color_type, depth;
        bool transparency, interlaced;
        int pixel_order;
        bool alpha_flag;
        Rgba (*expected)(int x, int y);
    } cases[] = {
        {"rgb", PNG_COLOR_TYPE_RGB, 8, false, false, 0, false,
         [](int x, int y) { return Rgba{Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), 255}; }},
        {"rgb as bgra", PNG_COLOR_TYPE_RGB, 8, false, false, 1, false,
         [](int x, int y) { return Rgba{Sample(x, y, 2), Sample(x, y, 1), Sample(x, y, 0), 255}; }},
        {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 0, true,
         [](int x, int y) { return Rgba{Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), Sample(x, y, 3)}; }},
        {"rgb 16 bits", PNG_COLOR_TYPE_RGB, 16, false, false, 0, false,
         [](int x, int y) { return Rgba{Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), 255}; }},
        {"rgb interlaced", PNG_COLOR_TYPE_RGB, 8, false, true, 0, false,
         [](int x, int y) { return Rgba{Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), 255}; }},
        {"grey", PNG_COLOR_TYPE_GRAY, 8, false, false, 0, true,
         [](int x, int y) { return Rgba{255, 255, 255, Sample(x, y, 0)}; }},
        {"grey 4 bits", PNG_COLOR_TYPE_GRAY, 4, false, false, 0, true,
         [](int x, int y) { return Rgba{255, 255, 255, Sample(x, y, 0) * 15 / 255 * 17}; }},
        {"grey and alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false, 0, true,
         [](int x, int y) { return Rgba{Sample(x, y, 0), Sample(x, y, 0), Sample(x, y, 0), Sample(x, y, 1)}; }},
        {"palette", PNG_COLOR_TYPE_PALETTE, 8, false, false, 0, false,
         [](int x, int y) {
             int i = (x + y) % 16;
             return Rgba{Sample(i, 0, 0), Sample(i, 0, 1), Sample(i, 0, 2), 255};
         }},
        {"palette with transparency", PNG_COLOR_TYPE_PALETTE, 4, true, false, 0, true,
         [](int x, int y) {
             int i = (x + y) % 16;
             return Rgba{Sample(i, 0, 0), Sample(i, 0, 1), Sample(i, 0, 2), i * 17};
         }},
    };
    for (const Case& c : cases) {
        zk_state.pixel_byte_order = c.pixel_order;
        HeapCopy file(MakePng(5, 3, c.color_type, c.depth, c.transparency, c.interlaced));
        Bitmap bitmap;
        ASSERT_TRUE(ZKI_LoadBitmapMemPNG(&bitmap, file.data(), file.size())) << c.name << RecordedText();
        ASSERT_EQ(bitmap.width, 5);
        ASSERT_EQ(bitmap.height, 3);
        EXPECT_EQ((bitmap.flags & 1) != 0, c.alpha_flag) << c.name;
        EXPECT_EQ(bitmap.flags & 2, 2u) << c.name;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                Rgba got = PixelAt(bitmap, x, y), want = c.expected(x, y);
                EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b && got.a == want.a)
                    << c.name << " at " << x << "," << y << ": " << got.r << " " << got.g << " " << got.b << " "
                    << got.a << " instead of " << want.r << " " << want.g << " " << want.b << " " << want.a;
            }
        }
    }
    EXPECT_TRUE(Recorded().empty()) << RecordedText();
}

// Keeps the scan header and a few bytes of the scan.
Bytes CutInScan(const Bytes& jpeg) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return Bytes(jpeg.begin(), jpeg.begin() + long(i) + 20);
    }
    return jpeg;
}

Bytes Cut(Bytes bytes, size_t keep) {
    bytes.resize(keep);
    return bytes;
}

TEST_F(PngDecoding, BrokenFilesFailWithTheFileNamedAndTheSizeAsFarAsLearned) {
    Bytes good = MakePng(64, 48, PNG_COLOR_TYPE_RGB, 8);
    Bytes signature_start = {0x89, 'P', 'N', 'G', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    // A 100000 x 100000 image in a file of a few dozen bytes.
    Bytes huge = HandMadePng(100000, 100000, {0x78, 0x9C, 0x63, 0x00, 0x00});
    struct Case {
        const char* name;
        Bytes file;
        int width, height;  // what both readers learned
        bool header_read;   // the size-only reader succeeds
        const char* message;
    } cases[] = {
        {"not a png", {'G', 'I', 'F', '8', '9', 'a'}, 0, 0, false, "PNG ERROR: Image 'pictures/test.png' not proper png."},
        {"empty", {}, 0, 0, false, "PNG ERROR: Image 'pictures/test.png' not proper png."},
        {"only the first four signature bytes", signature_start, 0, 0, false,
         "PNG ERROR: Image 'pictures/test.png' load failed."},
        {"cut inside the header", Cut(good, 20), 0, 0, false, "PNG ERROR: Image 'pictures/test.png' load failed."},
        {"cut inside the image data", Cut(good, good.size() / 2), 64, 48, true,
         "PNG ERROR: Image 'pictures/test.png' load failed."},
        // The header is read up to the image data: an end before it is an error.
        {"no image data", HandMadePng(7, 9), 0, 0, false, "PNG ERROR: Image 'pictures/test.png' load failed."},
        {"too large to decode", huge, 100000, 100000, true,
         "PNG ERROR: Image 'pictures/test.png' is too large to load (100000x100000).\n"},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap bitmap;
        Recorded().clear();
        EXPECT_FALSE(ZKI_LoadBitmapMemPNG(&bitmap, file.data(), file.size())) << c.name;
        EXPECT_EQ(bitmap.pixels, nullptr) << c.name;
        EXPECT_EQ(bitmap.width, c.width) << c.name;
        EXPECT_EQ(bitmap.height, c.height) << c.name;
        EXPECT_NE(RecordedText().find(c.message), std::string::npos) << c.name << ": " << RecordedText();

        Bitmap measured;
        EXPECT_EQ(ZKI_GetImageDimensionsPNG(&measured, file.data(), file.size()), c.header_read) << c.name;
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(measured.pixels, nullptr) << c.name;
    }
    EXPECT_TRUE(PngCheckSignature(signature_start.data(), long(signature_start.size())));
    EXPECT_FALSE(PngCheckSignature(signature_start.data(), 3));
}

// The signature and a header of the given size (8-bit RGBA).
Bytes PngStart(uint32_t width, uint32_t height) {
    Bytes png = HandMadePng(width, height);
    png.resize(8 + 25);  // without the end chunk
    return png;
}

Bytes Joined(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The most this process has ever held in memory.
long PeakMemoryBytes() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

// Every ancillary chunk libpng knows, each with a length field of 2 GiB in
// a file of 44 bytes, straight after the header or after an unknown chunk
// before it (which the look for chunks before the header steps over whole,
// its CRC too): neither reader takes in more than the file holds.
TEST_F(PngDecoding, AnAncillaryChunkCostsNoMoreThanItsOwnBytes) {
    const char* const types[] = {"tEXt", "zTXt", "iTXt", "sPLT", "eXIf", "pCAL", "sCAL", "iCCP", "gAMA",
                                 "sRGB", "cHRM", "bKGD", "hIST", "pHYs", "sBIT", "tIME", "oFFs", "sTER"};
    Bytes start = PngStart(4, 4);
    Bytes signature(start.begin(), start.begin() + 8), header(start.begin() + 8, start.end());
    const Bytes starts[] = {start, Joined(Joined(signature, PngChunk("abCd", {1, 2})), header)};
    long peak_before = PeakMemoryBytes();
    for (const Bytes& before_the_claim : starts) {
        for (const char* type : types) {
            Bytes claim = {0x7F, 0xFF, 0xFF, 0xFF, uint8_t(type[0]), uint8_t(type[1]), uint8_t(type[2]),
                           uint8_t(type[3]), 'k', 0, 'v'};
            Bytes file = Joined(before_the_claim, claim);
            ASSERT_LE(file.size(), 58u);
            HeapCopy copy(file);
            Bitmap measured, decoded;
            std::string where = std::string(type) + " after " + std::to_string(before_the_claim.size()) + " bytes";
            EXPECT_FALSE(ZKI_GetImageDimensionsPNG(&measured, copy.data(), copy.size())) << where;
            EXPECT_FALSE(ZKI_LoadBitmapMemPNG(&decoded, copy.data(), copy.size())) << where;
            EXPECT_LT(PeakMemoryBytes() - peak_before, 64L << 20) << where;
        }
    }
}

// Chunks that libpng skips are still skipped whole: a text chunk
// longer than libpng's own chunk limit, or one of every kind, leaves the
// size and the pixels as they are; and a file with a chunk libpng reads
// before its header is refused as libpng refuses it.
TEST_F(PngDecoding, SkippedChunksLeaveSizeAndPixelsAndAChunkBeforeTheHeaderIsRefused) {
    Bytes good = MakePng(5, 3, PNG_COLOR_TYPE_RGB, 8);
    Bytes signature(good.begin(), good.begin() + 8), rest(good.begin() + 8, good.end());
    Bytes after_header(good.begin(), good.begin() + 33), from_data(good.begin() + 33, good.end());
    Bytes all_kinds;
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "eXIf", "pCAL", "sCAL", "tIME", "abCd"}) {
        all_kinds = Joined(all_kinds, PngChunk(type, {'k', 0, 'v'}));
    }
    struct Case {
        const char* name;
        Bytes file;
        bool ok;
    } cases[] = {
        {"10 MiB of text", Joined(Joined(after_header, PngChunk("tEXt", Bytes(10 << 20, 'a'))), from_data), true},
        {"one chunk of every kind", Joined(Joined(after_header, all_kinds), from_data), true},
        {"an unknown chunk first", Joined(Joined(signature, PngChunk("abCd", {1, 2})), rest), true},
        {"text first", Joined(Joined(signature, PngChunk("tEXt", {'k', 0, 'v'})), rest), false},
        {"an unknown chunk, then text", Joined(Joined(signature, Joined(PngChunk("abCd", {1}), PngChunk("tEXt", {'k', 0, 'v'}))), rest),
         false},
        {"gamma first", Joined(Joined(signature, PngChunk("gAMA", {0, 0, 0xB1, 0x8F})), rest), false},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap measured, decoded;
        EXPECT_EQ(ZKI_GetImageDimensionsPNG(&measured, file.data(), file.size()), c.ok) << c.name;
        EXPECT_EQ(ZKI_LoadBitmapMemPNG(&decoded, file.data(), file.size()), c.ok) << c.name;
        EXPECT_EQ(measured.width, c.ok ? 5 : 0) << c.name;
        EXPECT_EQ(decoded.height, c.ok ? 3 : 0) << c.name;
        if (c.ok) {
            EXPECT_EQ(PixelAt(decoded, 4, 2).r, Sample(4, 2, 0)) << c.name;
            EXPECT_EQ(PixelAt(decoded, 4, 2).b, Sample(4, 2, 2)) << c.name;
        }
    }
}

// A PNG cut at every length up to and into its first image data, each cut
// an exact heap copy: a read past the end of the data shows under the
// address sanitizer, and no cut is taken for a whole image.
TEST_F(PngDecoding, CutAtEveryLengthUpToTheImageDataNothingIsReadPastTheEnd) {
    Bytes png = MakePng(6, 4, PNG_COLOR_TYPE_PALETTE, 8, true);
    Bytes extra = Joined(PngChunk("gAMA", {0, 0, 0xB1, 0x8F}), PngChunk("tEXt", {'k', 'e', 'y', 0, 'v'}));
    png.insert(png.begin() + 33, extra.begin(), extra.end());
    size_t image_data = 0;
    for (size_t i = 8; i + 8 <= png.size(); i += 12 + (size_t(png[i]) << 24 | png[i + 1] << 16 | png[i + 2] << 8 | png[i + 3])) {
        if (memcmp(&png[i + 4], "IDAT", 4) == 0) {
            image_data = i;
            break;
        }
    }
    ASSERT_GT(image_data, 33u);
    for (size_t length = 0; length <= image_data + 12; ++length) {
        HeapCopy cut(Bytes(png.begin(), png.begin() + long(length)));
        Bitmap decoded, measured, sized;
        EXPECT_FALSE(ZKI_LoadBitmapMemPNG(&decoded, cut.data(), cut.size())) << length;
        EXPECT_EQ(decoded.pixels, nullptr) << length;
        // The measure needs no more than the image data's chunk header.
        EXPECT_EQ(ZKI_MeasurePNG(&measured, cut.data(), cut.size()), length >= image_data + 8) << length;
        ZKI_GetImageDimensionsPNG(&sized, cut.data(), cut.size());
    }
    HeapCopy whole(png);
    Bitmap decoded;
    EXPECT_TRUE(ZKI_LoadBitmapMemPNG(&decoded, whole.data(), whole.size()));
}

class JpegDecoding : public ManifesterTest {};

TEST_F(JpegDecoding, ColourSpacesAndByteOrders) {
    struct Case {
        const char* name;
        JpegColours colours;
        bool progressive;
        int pixel_order;
    } cases[] = {
        {"rgb", JpegColours::Rgb, false, 0},
        {"rgb as bgra", JpegColours::Rgb, false, 1},
        {"progressive", JpegColours::Rgb, true, 0},
        {"grey", JpegColours::Grey, false, 0},
    };
    for (const Case& c : cases) {
        zk_state.pixel_byte_order = c.pixel_order;
        HeapCopy file(MakeJpeg(24, 16, c.colours, c.progressive, 100));
        Bitmap bitmap;
        ASSERT_TRUE(ZKI_LoadBitmapMemJPG(&bitmap, file.data(), file.size())) << c.name << RecordedText();
        ASSERT_EQ(bitmap.width, 24);
        ASSERT_EQ(bitmap.height, 16);
        EXPECT_EQ(bitmap.flags & 1, 0u);
        // Lossy, but close at quality 100 on a smooth pattern: compare the
        // mean error of each channel.
        double error[3] = {};
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                Rgba p = PixelAt(bitmap, x, y);
                EXPECT_EQ(p.a, 255);
                int red = c.pixel_order == 1 ? p.b : p.r, blue = c.pixel_order == 1 ? p.r : p.b;
                int grey = JpegSample(x, y, 0);
                int want[3] = {grey, c.colours == JpegColours::Grey ? grey : JpegSample(x, y, 1),
                               c.colours == JpegColours::Grey ? grey : JpegSample(x, y, 2)};
                int got[3] = {red, p.g, blue};
                for (int k = 0; k < 3; ++k) error[k] += std::abs(got[k] - want[k]);
            }
        }
        for (double e : error) EXPECT_LT(e / (24 * 16), 3.0) << c.name;
    }
    EXPECT_TRUE(Recorded().empty()) << RecordedText();
}

// The measure gives the size the decoder learns, except where the decoder
// refuses a file for what decoding it would take (its colours, its size,
// its memory or its scans): measuring decodes nothing, and takes the size
// from the frame header. (Nor does it read the scans of a file of several:
// see below.)
TEST_F(JpegDecoding, RefusedAndBrokenFilesAndWhatTheMeasureGivesThem) {
    Bytes good = MakeJpeg(40, 30, JpegColours::Rgb);
    Bytes progressive = MakeJpeg(40, 30, JpegColours::Rgb, true);
    Bytes garbage = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x03, 0x01, 'x', 'y', 'z'};
    // 2048 x 2048 blocks of one grey: each repeated scan is a few bytes and
    // goes over all 65536 blocks again.
    Bytes many_scans = WithRepeatedLastScan(MakeFlatGreyJpeg(2048, 2048), 300);
    struct Case {
        const char* name;
        Bytes file;
        bool decoded;
        int width, height;  // as decoded
        const char* message;
        int measured_width, measured_height;  // 0: refused by the measure as well
    } cases[] = {
        {"cmyk", MakeJpeg(8, 8, JpegColours::Cmyk), false, 0, 0,
         "Load JPG - JPEG 'pictures/test.png' with 4 colour components is not supported.\n", 8, 8},
        {"cut after the header", CutInScan(good), true, 40, 30, "warnings while loading JPEG\n", 40, 30},
        {"progressive cut short", CutInScan(progressive), true, 40, 30, "warnings while loading JPEG\n", 40, 30},
        // 20000 x 20000 pixels: more than a pixel block may hold; refused
        // before anything of that size is allocated.
        {"too large to decode", WithFrameSize(good, 20000, 20000), false, 0, 0,
         "Load JPG - JPEG out of memory while loading file\n", 20000, 20000},
        // Refused on the header's size: starting a progressive decode
        // would first read every scan into a buffer for the whole image.
        {"progressive too large to decode", WithFrameSize(progressive, 60000, 30000), false, 0, 0,
         "Load JPG - JPEG out of memory while loading file\n", 60000, 30000},
        // Within the pixel bound, but its scans would need 1.5 GiB of the
        // library's memory: beyond the memory bound.
        {"progressive beyond the memory bound", WithFrameSize(progressive, 16384, 16384), false, 0, 0,
         "Load JPG - JPEG out of memory while loading file\n", 16384, 16384},
        {"scans beyond the work bound", many_scans, false, 0, 0,
         "Load JPG - JPEG 'pictures/test.png' has too many scans for its size to decode.\n", 2048, 2048},
        {"not a jpeg", {'P', 'K', 3, 4, 0, 0}, false, 0, 0, "Load JPG - setjmp failed.\n", 0, 0},
        {"bad frame header", garbage, false, 0, 0, "Load JPG - setjmp failed.\n", 0, 0},
        {"empty", {}, false, 0, 0, "Load JPG - setjmp failed.\n", 0, 0},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap decoded;
        Recorded().clear();
        EXPECT_EQ(ZKI_LoadBitmapMemJPG(&decoded, file.data(), file.size()), c.decoded) << c.name;
        EXPECT_EQ(decoded.width, c.width) << c.name;
        EXPECT_EQ(decoded.height, c.height) << c.name;
        EXPECT_EQ(decoded.pixels != nullptr, c.decoded) << c.name;
        EXPECT_NE(RecordedText().find(c.message), std::string::npos) << c.name << ": " << RecordedText();

        Bitmap measured;
        EXPECT_EQ(ZKI_MeasureJPG(&measured, file.data(), file.size()), c.measured_width != 0) << c.name;
        EXPECT_EQ(measured.width, c.measured_width) << c.name;
        EXPECT_EQ(measured.height, c.measured_height) << c.name;
        EXPECT_EQ(measured.pixels, nullptr) << c.name;
    }
    HeapCopy file(good);
    Bitmap header;
    EXPECT_TRUE(ZKI_GetImageDimensionsJPG(&header, file.data(), file.size()));
    EXPECT_EQ(header.width, 40);
    EXPECT_EQ(header.height, 30);
}

// The library's memory bound is the program's own: JPEGMEM in the
// environment, which would make a progressive file fail, changes nothing.
TEST_F(JpegDecoding, TheEnvironmentDoesNotChangeTheMemoryBound) {
    HeapCopy file(MakeJpeg(1024, 768, JpegColours::Rgb, true));
    setenv("JPEGMEM", "1", 1);
    Bitmap measured, decoded;
    bool measured_ok = ZKI_MeasureJPG(&measured, file.data(), file.size());
    bool decoded_ok = ZKI_LoadBitmapMemJPG(&decoded, file.data(), file.size());
    unsetenv("JPEGMEM");
    EXPECT_TRUE(measured_ok) << RecordedText();
    EXPECT_EQ(measured.width, 1024);
    EXPECT_TRUE(decoded_ok) << RecordedText();
    EXPECT_EQ(decoded.height, 768);
}

// Progressive files larger than a screen but inside the memory and scan
// bounds decode whole, and measure at the same size: the scan work is
// counted once a scan, not at every step of the library's progress.
TEST_F(JpegDecoding, ProgressiveFilesWithinTheBoundsAreReadWhateverTheirSize) {
    struct Case {
        const char* name;
        int width, height;
        JpegColours colours;
        int x, y;  // a pixel away from the edges where the pattern wraps
    } cases[] = {
        {"grey 2048x2048", 2048, 2048, JpegColours::Grey, 1500, 608},
        {"colour 2048x1536", 2048, 1536, JpegColours::Rgb, 1500, 608},
        {"colour 1600x1200", 1600, 1200, JpegColours::Rgb, 40, 40},
    };
    for (const Case& c : cases) {
        HeapCopy file(MakeJpeg(c.width, c.height, c.colours, true, 90));
        Bitmap decoded, measured;
        Recorded().clear();
        ASSERT_TRUE(ZKI_LoadBitmapMemJPG(&decoded, file.data(), file.size())) << c.name << ": " << RecordedText();
        EXPECT_EQ(decoded.width, c.width) << c.name;
        EXPECT_EQ(decoded.height, c.height) << c.name;
        Rgba p = PixelAt(decoded, c.x, c.y);
        bool grey = c.colours == JpegColours::Grey;
        int want[3] = {JpegSample(c.x, c.y, 0), JpegSample(c.x, c.y, grey ? 0 : 1), JpegSample(c.x, c.y, grey ? 0 : 2)};
        EXPECT_LT(std::abs(p.r - want[0]) + std::abs(p.g - want[1]) + std::abs(p.b - want[2]), 12) << c.name;
        EXPECT_TRUE(ZKI_MeasureJPG(&measured, file.data(), file.size())) << c.name;
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(RecordedText(), "") << c.name;
    }
}

// The JPEG with the first component of its last scan's header made one
// the frame does not have.
Bytes WithBrokenLastScan(Bytes jpeg) {
    size_t last_scan = 0;
    for (size_t i = 0; i + 5 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) last_scan = i;
    }
    if (last_scan > 0) jpeg[last_scan + 5] = 0x7F;
    return jpeg;
}

// The JPEG cut just after the header of its first scan: none of its
// entropy-coded data is left.
Bytes CutAfterTheFirstScanHeader(const Bytes& jpeg) {
    for (size_t i = 0; i + 3 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return Bytes(jpeg.begin(), jpeg.begin() + long(i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3])));
    }
    return jpeg;
}

// A file of several scans, progressive as cameras and editors write it or
// a component to a scan, is measured from its headers up to its first
// scan's: none of its scans is read, so a scan broken or missing further
// on, which the decoder refuses or warns of, leaves the measure its size
// and says nothing.
TEST_F(JpegDecoding, AFileOfSeveralScansIsMeasuredWithoutReadingItsScans) {
    Bytes photo = MakeFlatColourJpeg(4096, 6144);
    Bytes component_scans = MakeComponentScansJpeg(40, 30);
    struct Case {
        const char* name;
        Bytes file;
        int width, height;
        const char* decoder_says;  // refusing or warning of it
    } cases[] = {
        {"progressive, last scan broken", WithBrokenLastScan(photo), 4096, 6144, "Invalid component ID 127 in SOS"},
        {"progressive, no scan data", CutAfterTheFirstScanHeader(photo), 4096, 6144, "warnings while loading JPEG"},
        {"a scan a component, last broken", WithBrokenLastScan(component_scans), 40, 30,
         "Invalid component ID 127 in SOS"},
        {"a scan a component, no scan data", CutAfterTheFirstScanHeader(component_scans), 40, 30,
         "warnings while loading JPEG"},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap measured, decoded;
        Recorded().clear();
        EXPECT_TRUE(ZKI_MeasureJPG(&measured, file.data(), file.size())) << c.name << ": " << RecordedText();
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(RecordedText(), "") << c.name;
        ZKI_LoadBitmapMemJPG(&decoded, file.data(), file.size());
        EXPECT_NE(RecordedText().find(c.decoder_says), std::string::npos) << c.name << ": " << RecordedText();
    }
    // Whole, it decodes as it measures.
    HeapCopy whole(component_scans);
    Bitmap decoded;
    Recorded().clear();
    EXPECT_TRUE(ZKI_LoadBitmapMemJPG(&decoded, whole.data(), whole.size())) << RecordedText();
    EXPECT_EQ(decoded.width, 40);
    EXPECT_EQ(decoded.height, 30);
    Rgba p = PixelAt(decoded, 20, 15);
    EXPECT_LT(std::abs(p.r - JpegSample(20, 15, 0)) + std::abs(p.g - JpegSample(20, 15, 1)) +
                  std::abs(p.b - JpegSample(20, 15, 2)),
              12);
}

// A PNG with a large text chunk before its image data, and a JPEG with a
// large comment before its frame header.
Bytes PngWithLargeText() {
    Bytes png = MakePng(300, 200, PNG_COLOR_TYPE_RGB, 8);
    Bytes text = PngChunk("tEXt", Bytes(10000, 'a'));
    png.insert(png.begin() + 33, text.begin(), text.end());
    return png;
}

Bytes JpegWithLargeComment() {
    Bytes jpeg = MakeJpeg(300, 200, JpegColours::Rgb);
    Bytes comment = {0xFF, 0xFE, 0x27, 0x12};  // 10002 bytes with the length
    comment.resize(4 + 10000, 'c');
    jpeg.insert(jpeg.begin() + 2, comment.begin(), comment.end());
    return jpeg;
}

class Measuring : public ManifesterTest {};

TEST_F(Measuring, FirstBytesEitherSufficeOrAskForTheRest) {
    Bytes progressive = MakeJpeg(300, 200, JpegColours::Rgb, true);
    Bytes broken_progressive = progressive;
    broken_progressive.resize(progressive.size() * 2 / 3);
    struct Case {
        const char* name;
        Bytes file;
        bool png;
        size_t first;       // bytes given first
        bool needs_more;
    } cases[] = {
        {"png header in the first bytes", MakePng(300, 200, PNG_COLOR_TYPE_RGB, 8), true, 50, false},
        {"png text beyond them", PngWithLargeText(), true, 4096, true},
        {"jpeg header in the first bytes", MakeJpeg(300, 200, JpegColours::Rgb), false, 1000, false},
        {"jpeg comment beyond them", JpegWithLargeComment(), false, 4096, true},
        // Measured from the headers up to the first scan's.
        {"progressive jpeg header in the first bytes", progressive, false, 1000, false},
        {"progressive jpeg cut short", broken_progressive, false, broken_progressive.size() / 2, false},
        {"progressive jpeg cut in its headers", progressive, false, 100, true},
    };
    for (const Case& c : cases) {
        ASSERT_LT(c.first, c.file.size()) << c.name;
        HeapCopy first(Bytes(c.file.begin(), c.file.begin() + long(c.first)));
        HeapCopy whole(c.file);
        Bitmap partly, fully;
        bool needs_more = false;
        Recorded().clear();
        bool partly_ok = c.png ? ZKI_GetImageDimensionsPNG(&partly, first.data(), first.size(), &needs_more)
                               : ZKI_MeasureJPG(&partly, first.data(), first.size(), &needs_more);
        EXPECT_EQ(needs_more, c.needs_more) << c.name;
        if (needs_more) {
            EXPECT_FALSE(partly_ok) << c.name;
            EXPECT_TRUE(Recorded().empty()) << c.name << ": " << RecordedText();
        }
        bool fully_ok = c.png ? ZKI_GetImageDimensionsPNG(&fully, whole.data(), whole.size())
                              : ZKI_MeasureJPG(&fully, whole.data(), whole.size());
        EXPECT_TRUE(fully_ok) << c.name;
        EXPECT_EQ(fully.width, 300) << c.name;
        EXPECT_EQ(fully.height, 200) << c.name;
        if (!needs_more) {
            EXPECT_EQ(partly.width, 300) << c.name;
            EXPECT_EQ(partly.height, 200) << c.name;
        }
    }
}

// A chunk whose check sum is wrong: libpng warns, and goes on.
Bytes PngWithBadTimeChunk() {
    Bytes png = MakePng(5, 3, PNG_COLOR_TYPE_RGB, 8);
    Bytes time = PngChunk("tIME", {0x07, 0xE8, 1, 2, 3, 4, 5});
    time.back() ^= 0xFF;
    png.insert(png.begin() + 33, time.begin(), time.end());
    return png;
}

// Every message about a file names it: the texts of this program carry the
// name, and the libraries' texts (and texts that must stay as they are)
// follow a line of their own that names it. Every text ends its line.
TEST_F(Measuring, EveryMessageNamesTheFileAndEndsItsLine) {
    typedef bool (*Reader)(zk_bitmap_t*, const void*, long);
    const Reader measure_png = [](zk_bitmap_t* b, const void* data, long size) { return ZKI_MeasurePNG(b, data, size); };
    const Reader silent_png = [](zk_bitmap_t* b, const void* data, long size) {
        return ZKI_GetImageDimensionsPNG(b, data, size);
    };
    const Reader measure_jpg = [](zk_bitmap_t* b, const void* data, long size) { return ZKI_MeasureJPG(b, data, size); };
    const std::string named = "File 'pictures/test.png':\n";
    struct Case {
        const char* name;
        Reader read;
        Bytes file;
        std::string said;
    } cases[] = {
        {"not a png, measured", measure_png, {'G', 'I', 'F', '8', '9', 'a'},
         "PNG ERROR: Image 'pictures/test.png' not proper png.\n"},
        {"not a png, size only", silent_png, {'G', 'I', 'F', '8', '9', 'a'}, ""},
        {"png warning, measured", measure_png, PngWithBadTimeChunk(), named + "libpng warning: tIME: CRC error\n"},
        {"png warning, decoded", ZKI_LoadBitmapMemPNG, PngWithBadTimeChunk(), named + "libpng warning: tIME: CRC error\n"},
        {"png cut in its header", ZKI_LoadBitmapMemPNG, Cut(MakePng(5, 3, PNG_COLOR_TYPE_RGB, 8), 20),
         named + "libpng error: Read past the end of the PNG data\nPNG ERROR: Image 'pictures/test.png' load failed.\n"},
        {"not a jpeg", measure_jpg, {'P', 'K', 3, 4, 0, 0},
         named + "Not a JPEG file: starts with 0x50 0x4b\nLoad JPG - setjmp failed.\n"},
        {"jpeg cut short", ZKI_LoadBitmapMemJPG, CutInScan(MakeJpeg(16, 16, JpegColours::Rgb)),
         named + "Premature end of JPEG file\nWARNING: 2 warnings while loading JPEG\n"},
        {"jpeg too large", ZKI_LoadBitmapMemJPG, WithFrameSize(MakeJpeg(16, 16, JpegColours::Rgb), 20000, 20000),
         named + "Load JPG - JPEG out of memory while loading file\n"},
        {"grey tga", ZKI_MeasureTGA, {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0, 7},
         named + "TGA image not supported: colour-map type 0, image type 3, 8 bits per pixel.\n"},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap bitmap;
        Recorded().clear();
        c.read(&bitmap, file.data(), file.size());
        EXPECT_EQ(RecordedText(), c.said) << c.name;
    }
}

class TgaForBitmaps : public ManifesterTest {};

TEST_F(TgaForBitmaps, MessagesArePrintedAndTheMeasureFollowsTheHeader) {
    // 2x1 type 10 whose packet repeats 5 pixels.
    Bytes overrun = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0x84, 1, 2, 3};
    Bytes grey16 = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 16, 0, 1, 2, 3, 4};
    Bytes short_run_length = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 1, 0, 24, 0, 0, 1, 2, 3, 0};
    struct Case {
        const char* name;
        Bytes file;
        bool decoded;
        int width, height;  // measured
        const char* message;
    } cases[] = {
        {"packet past the end", overrun, true, 2, 1, "TGA buffer overrun #1: (3)\n"},
        {"16 bits", grey16, false, 0, 0, "TGA image not supported"},
        {"packets cut", short_run_length, false, 9, 1, "TGA data ends before the last of its 9x1 pixels.\n"},
    };
    for (const Case& c : cases) {
        HeapCopy file(c.file);
        Bitmap decoded;
        Recorded().clear();
        EXPECT_EQ(ZKI_LoadBitmapMemTGA(&decoded, file.data(), file.size()), c.decoded) << c.name;
        EXPECT_EQ(Recorded().at(0).kind, "debug") << c.name;
        EXPECT_NE(RecordedText().find(c.message), std::string::npos) << c.name << ": " << RecordedText();
        Bitmap measured;
        EXPECT_EQ(ZKI_MeasureTGA(&measured, file.data(), file.size()), c.width != 0) << c.name;
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(decoded.width, c.width) << c.name;
        EXPECT_EQ(decoded.height, c.height) << c.name;
    }
}

class Writers : public ManifesterTest {
protected:
    // A 3x2 RGBA bitmap of Sample() values.
    void SetUp() override {
        ManifesterTest::SetUp();
        bitmap.width = 3;
        bitmap.height = 2;
        bitmap.pixels = static_cast<uint32_t*>(malloc(3 * 2 * 4));
        uint8_t* p = reinterpret_cast<uint8_t*>(bitmap.pixels);
        for (int i = 0; i < 24; ++i) p[i] = Sample(i / 4, 0, i % 4);
    }
    Bitmap bitmap;
};

TEST_F(Writers, SaveImageByTheLastThreeLettersWithoutRegardToCase) {
    struct Case {
        const char* name;
        bool ok;
        Bytes starts_with;
    } cases[] = {
        {"shot.png", true, {0x89, 'P', 'N', 'G'}},
        {"shot.xpng", true, {0x89, 'P', 'N', 'G'}},
        {"shot.PNG", true, {0x89, 'P', 'N', 'G'}},
        {"shot.jpg", true, {0xFF, 0xD8, 0xFF}},
        {"shot.tga", true, {0, 0, 2, 0}},
        {"shot.bmp", false, {}},
        {"missing/shot.png", false, {}},
        {"missing/shot.jpg", false, {}},
        {"missing/shot.tga", false, {}},
    };
    for (const Case& c : cases) {
        std::string path = dir / c.name;
        Recorded().clear();
        EXPECT_EQ(GetImageLoaderImp()->SaveImage(&bitmap, path.c_str(), 90), c.ok) << c.name;
        Bytes written;
        std::string text = ReadText(path);
        written.assign(text.begin(), text.end());
        if (!c.ok) {
            EXPECT_TRUE(written.empty()) << c.name;
            continue;
        }
        ASSERT_GE(written.size(), c.starts_with.size()) << c.name;
        EXPECT_TRUE(std::equal(c.starts_with.begin(), c.starts_with.end(), written.begin())) << c.name;

        // What was written reads back at the same size.
        if (std::string(c.name) == "shot.xpng") continue;
        Bitmap back;
        EXPECT_TRUE(GetImageLoaderImp()->LoadImagePixels(&back, path.c_str())) << c.name << RecordedText();
        EXPECT_EQ(back.width, 3) << c.name;
        EXPECT_EQ(back.height, 2) << c.name;
    }
    Recorded().clear();
    EXPECT_FALSE(GetImageLoaderImp()->SaveImage(&bitmap, (dir / "shot.bmp").c_str(), 90));
    EXPECT_EQ(RecordedText(), "SaveImage - file format for '" + dir / "shot.bmp" + "' not supported. Use .png format.\n");
}

TEST_F(Writers, PngKeepsEveryByteAndJpegFailuresDoNotEndTheProgram) {
    std::string path = dir / "exact.png";
    FILE* stream = fopen(path.c_str(), "wb");
    ASSERT_TRUE(ZKI_WritePNG(&bitmap, stream));
    fclose(stream);
    HeapCopy file([&] {
        std::string text = ReadText(path);
        return Bytes(text.begin(), text.end());
    }());
    Bitmap back;
    ASSERT_TRUE(ZKI_LoadBitmapMemPNG(&back, file.data(), file.size()));
    EXPECT_EQ(memcmp(back.pixels, bitmap.pixels, 24), 0);
    EXPECT_TRUE(back.flags & 1);

    EXPECT_FALSE(ZKI_WritePNG(&bitmap, nullptr));
    unsigned char rgb[3] = {1, 2, 3};
    EXPECT_FALSE(WriteJpegRGB((dir / "missing/x.jpg").c_str(), rgb, 1, 1, 90));
    // An empty image is a library error: reported as a failure, no file left.
    EXPECT_FALSE(WriteJpegRGB((dir / "empty.jpg").c_str(), rgb, 0, 1, 90));
    EXPECT_TRUE(ReadText(dir / "empty.jpg").empty());
}

class Probes : public ManifesterTest {};

TEST_F(Probes, FontHeightOfVersionsOneToFive) {
    std::string long_name(600, 'e');
    Bytes unfinished = FontHeader("OLK_Font_v3", "utf8", 1, 2, 3);
    unfinished.resize(16);  // the name never ends
    struct Case {
        const char* name;
        Bytes file;
        int height;
        const char* printed;
    } cases[] = {
        {"v1", FontHeader("OLK_Font_v1", "iso-8859-1", 20, 24, 30), 24, ""},
        {"v5", FontHeader("OLK_Font_v5", "", 20, 48, 30), 48, ""},
        {"v6", FontHeader("OLK_Font_v6", "utf8", 20, 24, 30), 0, "(bad header)"},
        {"v7", FontHeader("OLK_Font_v7", "utf8", 20, 24, 30), 0, "(bad header)"},
        {"name without end", unfinished, 0, "(bad header)"},
        {"name too long", FontHeader("OLK_Font_v2", long_name, 20, 24, 30), 0, "(bad header)"},
        {"cut before the height", Cut(FontHeader("OLK_Font_v2", "x", 20, 24, 30), 16), 0, "(bad header)"},
    };
    for (const Case& c : cases) {
        std::string path = dir / "font.mft";
        WriteBytes(path, c.file);
        testing::internal::CaptureStdout();
        EXPECT_EQ(GetFontFileHeight(path.c_str()), c.height) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.name;
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetFontFileHeight((dir / "none.mft").c_str()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "(not found)");
}

TEST_F(Probes, SequenceSizeFromTheAtlasRecords) {
    Bytes bad_magic = SequenceFile({{4, 4}}, true);
    bad_magic[11] = '2';
    struct Case {
        const char* name;
        Bytes file;
        bool ok;
        int width, height, frames;
    } cases[] = {
        {"atlas", SequenceFile({{40, 30}, {20, 10}}, true), true, 40, 30, 2},
        {"frames one by one", SequenceFile({{40, 30}, {20, 10}}, false), true, 0, 0, 2},
        {"atlas without frames", SequenceFile({}, true), true, 0, 0, 0},
        {"version 2", bad_magic, false, 0, 0, 0},
        {"cut in the frame records", Cut(SequenceFile({{40, 30}}, true), 13 + 4 + 4 + 8 + 4 + 6), false, 0, 0, 1},
        {"cut in the magic", Cut(SequenceFile({{40, 30}}, true), 5), false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string path = dir / "walk.bms";
        WriteBytes(path, c.file);
        Bitmap bitmap;
        Recorded().clear();
        EXPECT_EQ(GetBitmapSequenceSize(&bitmap, path.c_str()), c.ok) << c.name;
        EXPECT_EQ(bitmap.width, c.width) << c.name;
        EXPECT_EQ(bitmap.height, c.height) << c.name;
        EXPECT_EQ(bitmap.frame_count, c.frames) << c.name;
        EXPECT_EQ(RecordedText(), c.ok ? "" : "Bad header in bitmap sequence '" + path + "'\n") << c.name;
    }
    Bitmap bitmap;
    Recorded().clear();
    EXPECT_FALSE(GetBitmapSequenceSize(&bitmap, (dir / "none.bms").c_str()));
    EXPECT_TRUE(Recorded().empty());
}

class ImageLoading : public ManifesterTest {};

TEST_F(ImageLoading, CodecByEndingAndEveryBlockFreed) {
    WriteBytes(dir / "a.TGA", {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 1, 2, 3, 4, 5, 6});
    WriteBytes(dir / "b.png", MakePng(6, 5, PNG_COLOR_TYPE_RGB, 8));
    WriteBytes(dir / "c.jpg", MakeJpeg(9, 7, JpegColours::Rgb));
    WriteBytes(dir / "d.gif", {'G', 'I', 'F'});
    WriteBytes(dir / "e.png", {'n', 'o', 'p', 'e'});
    // A TGA by its bytes and its last three characters, but its last four
    // are not ".tga".
    WriteBytes(dir / "atga", {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 1, 2, 3, 4, 5, 6});
    struct Case {
        const char* name;
        bool ok;
        int width, height;
        const char* message;
    } cases[] = {
        {"a.TGA", true, 2, 1, ""},
        {"b.png", true, 6, 5, ""},
        {"c.jpg", true, 9, 7, ""},
        {"d.gif", false, 0, 0, "Unsupported image format in file '"},
        {"e.png", false, 0, 0, ""},  // the size reader is silent; the loader names the file
        {"missing.png", false, 0, 0, ""},
        {"atga", false, 0, 0, "Unsupported image format in file '"},
    };
    ImageLoaderImp* loader = GetImageLoaderImp();
    for (const Case& c : cases) {
        std::string path = dir / c.name;
        Bitmap sized;
        Recorded().clear();
        EXPECT_EQ(loader->GetImageDimensions(&sized, path.c_str()), c.ok) << c.name;
        EXPECT_EQ(sized.width, c.width) << c.name;
        EXPECT_EQ(sized.height, c.height) << c.name;
        EXPECT_EQ(sized.pixels, nullptr) << c.name;
        EXPECT_NE(RecordedText().find(c.message), std::string::npos) << c.name << ": " << RecordedText();

        Bitmap loaded;
        Recorded().clear();
        EXPECT_EQ(loader->LoadImagePixels(&loaded, path.c_str()), c.ok) << c.name;
        EXPECT_EQ(loaded.pixels != nullptr, c.ok) << c.name;
        if (!c.ok) {
            EXPECT_NE(RecordedText().find("Unable to load image '" + path + "'\n"), std::string::npos);
        }
        loader->FreeImagePixels(&loaded);
        EXPECT_EQ(loaded.pixels, nullptr);
    }
    Recorded().clear();
    loader->FreeImagePixels(nullptr);
    EXPECT_EQ(RecordedText(), "ImageLoader trying to free null bitmap.\n");
    EXPECT_TRUE(loader->GetImageDimensions(nullptr, "x.png"));
    EXPECT_EQ(zk_state.open_files, 0);
}

}  // namespace
