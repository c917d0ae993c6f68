// Run-length bitmaps: runs across rows, empty and cut runs, reading exactly
// the bitmap's bytes, refused sizes and short input, and the writer's runs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/imageformats/image_formats.h"
#include "engine/imageformats/tests/image_test_support.h"

using namespace image_test;

namespace {

const zk_pixel_byte_order_t orders[] = {ZK_PIXELS_RGBA, ZK_PIXELS_BGRA};

Bytes RleHeader(uint32_t width, uint32_t height) {
    Bytes out;
    PutU32(&out, width);
    PutU32(&out, height);
    return out;
}

void PutRun(Bytes* out, int count, const Bgra& pixel) {
    out->push_back(uint8_t(count));
    PutPixel(out, pixel, 32);
}

struct Decoded {
    bool ok;
    zk_image_t image;
    MessageLog log;
    size_t read = 0;
    ~Decoded() { free(image.pixels); }
};

void Decode(const Bytes& file, zk_pixel_byte_order_t order, Decoded* out) {
    MemoryInput input(file);
    out->ok = ZKI_DecodeRLEBitmap(input.Input(), order, &out->image, out->log.Sink());
    out->read = input.position;
}

TEST(RleBitmapReading, RunsAcrossRowsEmptyAndCutRuns) {
    // 3x2: a run of 4 over the first row into the second, an empty run, a
    // run of 1, and a last run of 5 of which 1 fits; bytes after it are not
    // the bitmap's and stay unread.
    Bytes file = RleHeader(3, 2);
    PutRun(&file, 4, ColourAt(1, 1));
    PutRun(&file, 0, ColourAt(2, 2));
    PutRun(&file, 1, ColourAt(3, 3));
    PutRun(&file, 5, ColourAt(4, 4));
    size_t bitmap_size = file.size();
    file.insert(file.end(), {'n', 'e', 'x', 't'});
    for (zk_pixel_byte_order_t order : orders) {
        Decoded d;
        Decode(file, order, &d);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.image.width, 3);
        EXPECT_EQ(d.image.height, 2);
        Bgra expected[6] = {ColourAt(1, 1), ColourAt(1, 1), ColourAt(1, 1),
                            ColourAt(1, 1), ColourAt(3, 3), ColourAt(4, 4)};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(PixelOf(d.image, i % 3, i / 3, order), expected[i]) << i;
        EXPECT_EQ(d.read, bitmap_size);
        EXPECT_TRUE(d.log.messages.empty());
    }
}

TEST(RleBitmapReading, RefusedSizesAndShortInput) {
    Bytes two_runs = RleHeader(3, 2);
    PutRun(&two_runs, 2, ColourAt(0, 0));
    PutRun(&two_runs, 3, ColourAt(0, 1));
    Bytes huge = RleHeader(65535, 65535);
    PutRun(&huge, 255, ColourAt(0, 0));
    struct Case {
        const char* name;
        Bytes file;
        const char* message;
    } cases[] = {
        {"nothing", {}, "Run-length bitmap ends inside its width and height.\n"},
        {"half a height", Bytes(6, 1), "Run-length bitmap ends inside its width and height.\n"},
        {"width above 65535", RleHeader(65536, 1), "Run-length bitmap of 65536x1 pixels refused: its sides must be 0 to 65535.\n"},
        {"height of 2^32 - 1", RleHeader(2, 0xFFFFFFFF),
         "Run-length bitmap of 2x4294967295 pixels refused: its sides must be 0 to 65535.\n"},
        {"no runs", RleHeader(3, 2), "Run-length bitmap ends after 0 of its 6 pixels.\n"},
        {"runs end early", two_runs, "Run-length bitmap ends after 5 of its 6 pixels.\n"},
        {"run cut inside", Bytes(two_runs.begin(), two_runs.end() - 2), "Run-length bitmap ends after 2 of its 6 pixels.\n"},
        {"largest size, one run", huge, "Run-length bitmap ends after 255 of its 4294836225 pixels.\n"},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, ZK_PIXELS_RGBA, &d);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_EQ(d.image.pixels, nullptr) << c.name;
        ASSERT_EQ(d.log.messages.size(), 1u) << c.name;
        EXPECT_EQ(d.log.messages[0].text, c.message) << c.name;
    }
}

TEST(RleBitmapReading, EmptyBitmapReadsNoRuns) {
    Bytes file = RleHeader(0, 7);
    PutRun(&file, 3, ColourAt(0, 0));
    Decoded d;
    Decode(file, ZK_PIXELS_RGBA, &d);
    EXPECT_TRUE(d.ok);
    EXPECT_NE(d.image.pixels, nullptr);
    EXPECT_EQ(d.image.height, 7);
    EXPECT_EQ(d.read, 8u);
}

TEST(RleBitmapWriting, RunsOfAtMost255EqualPixels) {
    // 300 pixels: 299 equal, then one other.
    std::vector<Bgra> pixels(299, ColourAt(1, 2));
    pixels.push_back(ColourAt(3, 4));
    for (zk_pixel_byte_order_t order : orders) {
        std::vector<uint32_t> block = PixelBlock(pixels, order);
        zk_image_t image{100, 3, block.data()};
        MemoryOutput out;
        ASSERT_TRUE(ZKI_EncodeRLEBitmap(image, order, out.Output(), nullptr));
        Bytes expected = RleHeader(100, 3);
        PutRun(&expected, 255, ColourAt(1, 2));
        PutRun(&expected, 44, ColourAt(1, 2));
        PutRun(&expected, 1, ColourAt(3, 4));
        EXPECT_EQ(out.bytes, expected);

        // What was written reads back as the same pixels.
        Decoded d;
        Decode(out.bytes, order, &d);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(memcmp(d.image.pixels, block.data(), block.size() * 4), 0);
    }
}

TEST(RleBitmapWriting, RefusesSizesTheReaderRefusesAndFailedWrites) {
    std::vector<uint32_t> block(65536, 7);
    struct Case {
        const char* name;
        int width, height;
        size_t output_limit;
        zk_image_message_id_t message;
    } cases[] = {
        {"width 65536", 65536, 1, SIZE_MAX, ZK_IMAGE_RLE_TOO_LARGE},
        {"negative height", 1, -2, SIZE_MAX, ZK_IMAGE_RLE_TOO_LARGE},
        {"size not written", 2, 2, 4, ZK_IMAGE_WRITE_FAILED},
        {"run not written", 2, 2, 8 + 3, ZK_IMAGE_WRITE_FAILED},
    };
    for (const Case& c : cases) {
        zk_image_t image{c.width, c.height, block.data()};
        MemoryOutput out(c.output_limit);
        MessageLog log;
        EXPECT_FALSE(ZKI_EncodeRLEBitmap(image, ZK_PIXELS_BGRA, out.Output(), log.Sink())) << c.name;
        ASSERT_EQ(log.messages.size(), 1u) << c.name;
        EXPECT_EQ(log.messages[0].id, c.message) << c.name;
    }
}

}  // namespace
