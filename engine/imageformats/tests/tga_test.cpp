// TGA: decoding both row orders and pixel sizes into both byte orders,
// run-length packets across rows and past the image's end, refused and
// short files (decoded from exactly sized heap copies, so that a read past
// the data shows under the address sanitizer), and the writer's bytes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/imageformats/image_formats.h"
#include "engine/imageformats/tests/image_test_support.h"

using namespace image_test;

namespace {

const zk_pixel_byte_order_t orders[] = {ZK_PIXELS_RGBA, ZK_PIXELS_BGRA};

struct Decoded {
    bool ok;
    zk_image_t image;
    MessageLog log;
    ~Decoded() { free(image.pixels); }
};

void Decode(const Bytes& file, zk_pixel_byte_order_t order, Decoded* out) {
    // An exact copy on the heap: one byte past it is outside the block.
    uint8_t* data = static_cast<uint8_t*>(malloc(file.size() ? file.size() : 1));
    if (!file.empty()) memcpy(data, file.data(), file.size());
    out->ok = ZKI_DecodeTGA(data, file.size(), order, &out->image, out->log.Sink());
    free(data);
}

std::string Label(zk_pixel_byte_order_t order) { return order == ZK_PIXELS_RGBA ? " (RGBA)" : " (BGRA)"; }

TEST(TgaDecoding, UncompressedRowOrdersPixelSizesAndByteOrders) {
    struct Case {
        int bits;
        bool top_first;
        int id_length;
    } cases[] = {{24, false, 0}, {24, true, 0}, {32, false, 0}, {32, true, 0}, {32, false, 5}, {24, true, 255}};
    const int width = 3, height = 2;
    for (const Case& c : cases) {
        for (zk_pixel_byte_order_t order : orders) {
            std::string label = std::to_string(c.bits) + (c.top_first ? " top first" : " bottom first") + " id " +
                                std::to_string(c.id_length) + Label(order);
            Decoded d;
            Decode(UncompressedTga(width, height, c.bits, c.top_first, c.id_length), order, &d);
            ASSERT_TRUE(d.ok) << label;
            ASSERT_EQ(d.image.width, width);
            ASSERT_EQ(d.image.height, height);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    Bgra expected = ColourAt(x, y);
                    if (c.bits == 24) expected.a = 255;
                    EXPECT_EQ(PixelOf(d.image, x, y, order), expected) << label << " at " << x << "," << y;
                }
            }
            EXPECT_TRUE(d.log.messages.empty()) << label;
        }
    }
}

// A 3x2 image in run-length packets: a repeated pixel over four pixels
// (all of the first file row and one of the second), then two literal
// pixels. The first file row is the bottom image row unless top_first.
Bytes CrossingRowsTga(int bits, bool top_first) {
    Bytes out = TgaHeader(10, 3, 2, bits, top_first);
    out.push_back(0x80 | 3);
    PutPixel(&out, ColourAt(9, 9), bits);
    out.push_back(1);
    PutPixel(&out, ColourAt(1, 0), bits);
    PutPixel(&out, ColourAt(2, 0), bits);
    return out;
}

TEST(TgaDecoding, RunLengthPacketsCrossRows) {
    for (int bits : {24, 32}) {
        for (bool top_first : {false, true}) {
            for (zk_pixel_byte_order_t order : orders) {
                std::string label = std::to_string(bits) + (top_first ? " top first" : " bottom first") + Label(order);
                Decoded d;
                Decode(CrossingRowsTga(bits, top_first), order, &d);
                ASSERT_TRUE(d.ok) << label;
                int first_row = top_first ? 0 : 1, second_row = 1 - first_row;
                Bgra repeated = ColourAt(9, 9), second = ColourAt(1, 0), third = ColourAt(2, 0);
                if (bits == 24) repeated.a = second.a = third.a = 255;
                for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(d.image, x, first_row, order), repeated) << label;
                EXPECT_EQ(PixelOf(d.image, 0, second_row, order), repeated) << label;
                EXPECT_EQ(PixelOf(d.image, 1, second_row, order), second) << label;
                EXPECT_EQ(PixelOf(d.image, 2, second_row, order), third) << label;
                EXPECT_TRUE(d.log.messages.empty()) << label;
            }
        }
    }
}

TEST(TgaDecoding, PacketPastTheLastPixelFillsWhatFitsAndSucceeds) {
    struct Case {
        bool repeated;
        zk_pixel_byte_order_t order;
        const char* message;
    } cases[] = {
        {true, ZK_PIXELS_RGBA, "TGA buffer overrun #1: (7)\n"},
        {false, ZK_PIXELS_RGBA, "TGA buffer overrun #2: (7)\n"},
        {true, ZK_PIXELS_BGRA, "TGA buffer overrun #3: (7)\n"},
        {false, ZK_PIXELS_BGRA, "TGA buffer overrun #4: (7)\n"},
    };
    for (const Case& c : cases) {
        // 2x2 with one literal pixel first: 3 pixels remain for a packet of 10.
        Bytes file = TgaHeader(10, 2, 2, 32, true);
        file.push_back(0);
        PutPixel(&file, ColourAt(0, 0), 32);
        if (c.repeated) {
            file.push_back(0x80 | 9);
            PutPixel(&file, ColourAt(5, 5), 32);
        } else {
            file.push_back(9);
            for (int i = 0; i < 10; ++i) PutPixel(&file, ColourAt(i, 7), 32);
        }
        Decoded d;
        Decode(file, c.order, &d);
        ASSERT_TRUE(d.ok) << c.message;
        EXPECT_EQ(PixelOf(d.image, 0, 0, c.order), ColourAt(0, 0));
        for (int i = 1; i < 4; ++i) {
            Bgra expected = c.repeated ? ColourAt(5, 5) : ColourAt(i - 1, 7);
            EXPECT_EQ(PixelOf(d.image, i % 2, i / 2, c.order), expected) << c.message << " pixel " << i;
        }
        ASSERT_EQ(d.log.messages.size(), 1u);
        EXPECT_EQ(d.log.messages[0].text, c.message);
        EXPECT_EQ(d.log.messages[0].type, ZK_IMAGE_ERROR);
    }
}

TEST(TgaDecoding, RefusedHeadersAllocateNothing) {
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"colour map", TgaHeader(2, 1, 1, 24, false, 0, 1)},
        {"colour-mapped type", TgaHeader(1, 1, 1, 24, false)},
        {"grey type", TgaHeader(3, 1, 1, 24, false)},
        {"run-length grey type", TgaHeader(11, 1, 1, 24, false)},
        {"16 bits", TgaHeader(2, 1, 1, 16, false)},
        {"8 bits", TgaHeader(10, 1, 1, 8, false)},
    };
    for (Case& c : cases) {
        c.file.resize(c.file.size() + 8, 0xFF);
        Decoded d;
        Decode(c.file, ZK_PIXELS_RGBA, &d);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_EQ(d.image.pixels, nullptr) << c.name;
        EXPECT_EQ(d.image.width, 0) << c.name;
        EXPECT_EQ(d.image.height, 0) << c.name;
        ASSERT_EQ(d.log.messages.size(), 1u) << c.name;
        EXPECT_EQ(d.log.messages[0].id, ZK_IMAGE_TGA_UNSUPPORTED) << c.name;
    }
}

Bytes Cut(Bytes file, size_t drop) {
    file.resize(file.size() - drop);
    return file;
}

TEST(TgaDecoding, ShortDataIsRefusedWithoutReadingPastIt) {
    // Long enough for the fewest bytes the pixels could take, but the
    // packets themselves run out.
    Bytes literal_packet = TgaHeader(10, 2, 1, 32, false);
    literal_packet.push_back(1);
    PutPixel(&literal_packet, ColourAt(0, 0), 32);
    PutPixel(&literal_packet, ColourAt(1, 0), 32);
    Bytes repeat_packets = TgaHeader(10, 2, 1, 24, false);
    for (int x = 0; x < 2; ++x) {
        repeat_packets.push_back(0x80);
        PutPixel(&repeat_packets, ColourAt(x, 0), 24);
    }
    Bytes few_packets = TgaHeader(10, 200, 1, 32, false);
    for (int x = 0; x < 10; ++x) {
        few_packets.push_back(0);
        PutPixel(&few_packets, ColourAt(x, 0), 32);
    }
    // 32768 x 32769 x 4 bytes wraps to 131072 in 32 bits: the image is
    // refused for what it really needs, not for the wrapped count.
    Bytes wrapping = TgaHeader(2, 32768, 32769, 32, false);
    wrapping.resize(wrapping.size() + 131072, 0x11);

    struct Case {
        const char* name;
        Bytes file;
        zk_image_message_id_t message;
        int width, height;  // learned before the refusal
    } cases[] = {
        {"empty", {}, ZK_IMAGE_TGA_SHORT_HEADER, 0, 0},
        {"inside the header", Cut(TgaHeader(2, 1, 1, 24, false), 1), ZK_IMAGE_TGA_SHORT_HEADER, 0, 0},
        {"inside the image id", Cut(TgaHeader(2, 1, 1, 24, false, 9), 1), ZK_IMAGE_TGA_SHORT_HEADER, 0, 0},
        {"uncompressed, last byte missing", Cut(UncompressedTga(3, 2, 24, false), 1), ZK_IMAGE_TGA_SHORT_PIXELS, 3, 2},
        {"uncompressed, no pixels", TgaHeader(2, 3, 2, 32, true), ZK_IMAGE_TGA_SHORT_PIXELS, 3, 2},
        {"literal packet cut", Cut(literal_packet, 1), ZK_IMAGE_TGA_SHORT_PIXELS, 2, 1},
        {"repeated pixel cut", Cut(repeat_packets, 2), ZK_IMAGE_TGA_SHORT_PIXELS, 2, 1},
        {"packets end early", few_packets, ZK_IMAGE_TGA_SHORT_PIXELS, 200, 1},
        {"fewer bytes than any packets could be", Cut(few_packets, 45), ZK_IMAGE_TGA_SHORT_PIXELS, 200, 1},
        {"size that wraps in 32 bits", wrapping, ZK_IMAGE_TGA_SHORT_PIXELS, 32768, 32769},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, ZK_PIXELS_BGRA, &d);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_EQ(d.image.pixels, nullptr) << c.name;
        EXPECT_EQ(d.image.width, c.width) << c.name;
        EXPECT_EQ(d.image.height, c.height) << c.name;
        ASSERT_EQ(d.log.messages.size(), 1u) << c.name;
        EXPECT_EQ(d.log.messages[0].id, c.message) << c.name << ": " << d.log.messages[0].text;
    }
}

TEST(TgaDecoding, EmptyImagesSucceedWithAPixelBlock) {
    for (int type : {2, 10}) {
        Decoded d;
        Decode(TgaHeader(type, 0, 5, 32, false), ZK_PIXELS_RGBA, &d);
        EXPECT_TRUE(d.ok) << type;
        EXPECT_NE(d.image.pixels, nullptr) << type;
        EXPECT_EQ(d.image.width, 0);
        EXPECT_EQ(d.image.height, 5);
    }
}

TEST(TgaHeader, SizeFromAnyCompleteHeader) {
    zk_tga_header_t header;
    Bytes file = TgaHeader(2, 640, 480, 16, false, 3);
    ASSERT_TRUE(ZKI_ReadTGAHeader(file.data(), file.size(), &header, nullptr));
    EXPECT_EQ(header.width, 640);
    EXPECT_EQ(header.height, 480);
    EXPECT_EQ(header.pixel_offset, 21u);
    MessageLog log;
    EXPECT_FALSE(ZKI_IsSupportedTGA(header, log.Sink()));
    EXPECT_EQ(log.messages.at(0).text, "TGA image not supported: colour-map type 0, image type 2, 16 bits per pixel.\n");
    EXPECT_FALSE(ZKI_ReadTGAHeader(file.data(), 20, &header, log.Sink()));
    EXPECT_EQ(log.messages.at(1).text, "TGA data of 20 bytes ends inside its 21-byte header.\n");
}

TEST(TgaWriting, HeaderAndRowsBottomFirstInFileOrder) {
    std::vector<Bgra> pixels;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) pixels.push_back(ColourAt(x, y));
    }
    for (zk_pixel_byte_order_t order : orders) {
        std::vector<uint32_t> block = PixelBlock(pixels, order);
        zk_image_t image{3, 2, block.data()};
        MemoryOutput out;
        ASSERT_TRUE(ZKI_EncodeTGA(image, order, out.Output(), nullptr)) << Label(order);
        Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 8};
        for (int y = 1; y >= 0; --y) {
            for (int x = 0; x < 3; ++x) PutPixel(&expected, ColourAt(x, y), 32);
        }
        EXPECT_EQ(out.bytes, expected) << Label(order);
    }
}

TEST(TgaWriting, RefusesWhatTheHeaderCannotHoldAndFailedWrites) {
    std::vector<uint32_t> block(65536, 0x01020304);
    struct Case {
        const char* name;
        int width, height;
        size_t output_limit;
        zk_image_message_id_t message;
    } cases[] = {
        {"width 65536", 65536, 1, SIZE_MAX, ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE},
        {"height 65536", 1, 65536, SIZE_MAX, ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE},
        {"negative width", -1, 1, SIZE_MAX, ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE},
        {"header not written", 2, 2, 10, ZK_IMAGE_WRITE_FAILED},
        {"last row not written", 2, 2, 18 + 12, ZK_IMAGE_WRITE_FAILED},
    };
    for (const Case& c : cases) {
        zk_image_t image{c.width, c.height, block.data()};
        MemoryOutput out(c.output_limit);
        MessageLog log;
        EXPECT_FALSE(ZKI_EncodeTGA(image, ZK_PIXELS_RGBA, out.Output(), log.Sink())) << c.name;
        ASSERT_EQ(log.messages.size(), 1u) << c.name;
        EXPECT_EQ(log.messages[0].id, c.message) << c.name;
        if (c.message == ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE) {
            EXPECT_TRUE(out.bytes.empty()) << c.name;
        }
    }
    zk_image_t no_pixels{1, 1, nullptr};
    MemoryOutput out;
    EXPECT_FALSE(ZKI_EncodeTGA(no_pixels, ZK_PIXELS_RGBA, out.Output(), nullptr));
    zk_image_t largest{65535, 1, block.data()};
    EXPECT_TRUE(ZKI_EncodeTGA(largest, ZK_PIXELS_RGBA, out.Output(), nullptr));
    EXPECT_EQ(out.bytes[12], 0xFF);
    EXPECT_EQ(out.bytes[13], 0xFF);
}

}  // namespace
