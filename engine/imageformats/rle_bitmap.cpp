// The engine's run-length bitmap: u32 width, u32 height, then runs of
// (count, B, G, R, A) covering the pixels in memory order, where a run may
// go on from one row into the next.
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/image_formats.h"
#include "engine/imageformats/image_messages.h"
#include "engine/imageformats/little_endian_fields.h"
#include "engine/imageformats/pixel_rows.h"

namespace {

const int kMaxRun = 255;
const size_t kRunBytes = 5;
// The pixel block grows as runs arrive, from this many pixels on, so that a
// header that claims a large image costs memory only as its runs come.
const uint64_t kFirstCapacity = uint64_t(1) << 20;

bool ReadExactly(const zk_image_input_t& input, void* buffer, size_t size) {
    return input.read(input.context, buffer, size) == size;
}

// The pixel block being filled and how far it may grow.
struct GrowingPixels {
    uint32_t* pixels = nullptr;
    uint64_t capacity = 0;
    uint64_t total = 0;

    // Room for at least `needed` pixels (never more than the total).
    bool Reserve(uint64_t needed) {
        if (needed <= capacity) return true;
        uint64_t grown = capacity ? capacity * 2 : kFirstCapacity;
        if (grown < needed) grown = needed;
        if (grown > total) grown = total;
        uint64_t bytes = grown * 4;
        if (bytes >= SIZE_MAX) return false;
        void* block = realloc(pixels, size_t(bytes));
        if (!block) return false;
        pixels = static_cast<uint32_t*>(block);
        capacity = grown;
        return true;
    }
};

bool Refuse(zk_image_t* image, GrowingPixels* block) {
    free(block->pixels);
    image->pixels = nullptr;
    return false;
}

}  // namespace

bool ZKI_DecodeRLEBitmap(const zk_image_input_t& input, zk_pixel_byte_order_t order, zk_image_t* image,
                         const zk_image_messages_t* messages) {
    *image = zk_image_t{};
    uint8_t size[8];
    if (!input.read || !ReadExactly(input, size, sizeof size)) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_RLE_SHORT_HEADER, order);
        return false;
    }
    uint32_t width = ZKI_U32At(size), height = ZKI_U32At(size + 4);
    if (width > uint32_t(zk_image_max_side) || height > uint32_t(zk_image_max_side)) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_RLE_TOO_LARGE, order, (long long)width, (long long)height);
        return false;
    }
    image->width = int32_t(width);
    image->height = int32_t(height);
    GrowingPixels block;
    block.total = uint64_t(width) * height;
    // An empty bitmap still gets a block, so that success comes with pixels.
    if (block.total == 0) {
        image->pixels = static_cast<uint32_t*>(malloc(1));
        if (image->pixels) return true;
        ZKI_ReportImageMessage(messages, ZK_IMAGE_NO_MEMORY, order, image->width, image->height);
        return false;
    }
    uint64_t filled = 0;
    while (filled < block.total) {
        uint8_t run[kRunBytes];
        if (!ReadExactly(input, run, kRunBytes)) {
            ZKI_ReportImageMessage(messages, ZK_IMAGE_RLE_SHORT, order, (unsigned long long)filled,
                                   (unsigned long long)block.total);
            return Refuse(image, &block);
        }
        uint64_t count = run[0];
        if (count > block.total - filled) count = block.total - filled;
        if (!block.Reserve(filled + count)) {
            ZKI_ReportImageMessage(messages, ZK_IMAGE_NO_MEMORY, order, image->width, image->height);
            return Refuse(image, &block);
        }
        uint8_t pixel[4];
        ZKI_ConvertPixel(run + 1, 4, order, pixel);
        uint32_t value;
        memcpy(&value, pixel, 4);
        for (uint64_t i = 0; i < count; ++i) block.pixels[filled + i] = value;
        filled += count;
    }
    image->pixels = block.pixels;
    return true;
}

bool ZKI_EncodeRLEBitmap(const zk_image_t& image, zk_pixel_byte_order_t order, const zk_image_output_t& output,
                         const zk_image_messages_t* messages) {
    if (!image.pixels || !output.write) return false;
    if (image.width < 0 || image.height < 0 || image.width > zk_image_max_side || image.height > zk_image_max_side) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_RLE_TOO_LARGE, order, (long long)image.width,
                               (long long)image.height);
        return false;
    }
    uint8_t size[8];
    ZKI_PutU32(size, uint32_t(image.width));
    ZKI_PutU32(size + 4, uint32_t(image.height));
    bool written = output.write(output.context, size, sizeof size) == sizeof size;
    uint64_t total = uint64_t(image.width) * uint64_t(image.height);
    const uint32_t* pixels = image.pixels;
    for (uint64_t at = 0; written && at < total;) {
        uint64_t count = 1;
        while (count < kMaxRun && at + count < total && pixels[at + count] == pixels[at]) ++count;
        uint8_t run[kRunBytes];
        run[0] = uint8_t(count);
        ZKI_ConvertPixel(reinterpret_cast<const uint8_t*>(pixels + at), 4, order, run + 1);
        written = output.write(output.context, run, kRunBytes) == kRunBytes;
        at += count;
    }
    if (!written) ZKI_ReportImageMessage(messages, ZK_IMAGE_WRITE_FAILED, order, image.width, image.height);
    return written;
}
