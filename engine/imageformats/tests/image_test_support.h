// Test support for image files: a recording message sink, memory inputs and
// outputs, and TGA and run-length bitmap files written from the formats
// themselves (never by the code under test).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/imageformats/image_formats.h"

namespace image_test {

using Bytes = std::vector<uint8_t>;

struct Message {
    zk_image_message_id_t id;
    int type;
    std::string text;
};

// A sink that keeps every message.
class MessageLog {
public:
    const zk_image_messages_t* Sink() { return &sink; }
    std::vector<Message> messages;

private:
    static void Report(void* context, zk_image_message_id_t id, int type, const char* text) {
        static_cast<MessageLog*>(context)->messages.push_back({id, type, text});
    }
    zk_image_messages_t sink{Report, this};
};

// Reads from a byte string, remembering how far it was read.
class MemoryInput {
public:
    explicit MemoryInput(const Bytes& bytes) : bytes(bytes) {}
    zk_image_input_t Input() { return {Read, this}; }
    size_t position = 0;

private:
    static size_t Read(void* context, void* buffer, size_t size) {
        MemoryInput* self = static_cast<MemoryInput*>(context);
        size_t left = self->bytes.size() - self->position;
        size_t n = size < left ? size : left;
        if (n) memcpy(buffer, self->bytes.data() + self->position, n);
        self->position += n;
        return n;
    }
    const Bytes& bytes;
};

// Collects what is written; after `limit` bytes it takes no more.
class MemoryOutput {
public:
    explicit MemoryOutput(size_t limit = SIZE_MAX) : limit(limit) {}
    zk_image_output_t Output() { return {Write, this}; }
    Bytes bytes;

private:
    static size_t Write(void* context, const void* data, size_t size) {
        MemoryOutput* self = static_cast<MemoryOutput*>(context);
        size_t room = self->limit - self->bytes.size();
        size_t n = size < room ? size : room;
        const uint8_t* p = static_cast<const uint8_t*>(data);
        self->bytes.insert(self->bytes.end(), p, p + n);
        return n;
    }
    size_t limit;
};

// A pixel as the files store it.
struct Bgra {
    uint8_t b, g, r, a;
    bool operator==(const Bgra& o) const { return b == o.b && g == o.g && r == o.r && a == o.a; }
};

// A distinct colour for every position.
inline Bgra ColourAt(int x, int y) {
    return {uint8_t(16 * x + y), uint8_t(100 + x), uint8_t(200 + y), uint8_t(50 + 3 * x + 7 * y)};
}

inline void PutU16(Bytes* out, int value) {
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

inline void PutU32(Bytes* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

inline void PutPixel(Bytes* out, const Bgra& p, int bits_per_pixel) {
    out->push_back(p.b);
    out->push_back(p.g);
    out->push_back(p.r);
    if (bits_per_pixel == 32) out->push_back(p.a);
}

// An 18-byte TGA header followed by an image id of id_length bytes.
inline Bytes TgaHeader(int image_type, int width, int height, int bits_per_pixel, bool top_first,
                       int id_length = 0, int color_map_type = 0) {
    Bytes out = {uint8_t(id_length), uint8_t(color_map_type), uint8_t(image_type), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(&out, width);
    PutU16(&out, height);
    out.push_back(uint8_t(bits_per_pixel));
    out.push_back(uint8_t((bits_per_pixel == 32 ? 8 : 0) | (top_first ? 0x20 : 0)));
    for (int i = 0; i < id_length; ++i) out.push_back(uint8_t('a' + i % 26));
    return out;
}

// An uncompressed TGA of ColourAt pixels, rows in the file's order.
inline Bytes UncompressedTga(int width, int height, int bits_per_pixel, bool top_first, int id_length = 0) {
    Bytes out = TgaHeader(2, width, height, bits_per_pixel, top_first, id_length);
    for (int r = 0; r < height; ++r) {
        int y = top_first ? r : height - 1 - r;
        for (int x = 0; x < width; ++x) PutPixel(&out, ColourAt(x, y), bits_per_pixel);
    }
    return out;
}

// The expected memory bytes of one pixel in the given order.
inline void ExpectPixelBytes(const Bgra& p, zk_pixel_byte_order_t order, uint8_t out[4]) {
    if (order == ZK_PIXELS_BGRA) {
        out[0] = p.b, out[1] = p.g, out[2] = p.r;
    } else {
        out[0] = p.r, out[1] = p.g, out[2] = p.b;
    }
    out[3] = p.a;
}

// The pixel at (x, y) of a decoded image, read back as B, G, R, A.
inline Bgra PixelOf(const zk_image_t& image, int x, int y, zk_pixel_byte_order_t order) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(image.pixels) + (size_t(y) * image.width + x) * 4;
    if (order == ZK_PIXELS_BGRA) return {p[0], p[1], p[2], p[3]};
    return {p[2], p[1], p[0], p[3]};
}

// Pixels in memory, in the given order, from B, G, R, A values.
inline std::vector<uint32_t> PixelBlock(const std::vector<Bgra>& pixels, zk_pixel_byte_order_t order) {
    std::vector<uint32_t> block(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint8_t bytes[4];
        ExpectPixelBytes(pixels[i], order, bytes);
        memcpy(&block[i], bytes, 4);
    }
    return block;
}

}  // namespace image_test
