// TGA images: the header, the decoder of uncompressed and run-length true
// colour (24 and 32 bits, either row order) and the 32-bit writer.
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/image_formats.h"
#include "engine/imageformats/image_messages.h"
#include "engine/imageformats/little_endian_fields.h"
#include "engine/imageformats/pixel_rows.h"

namespace {

const size_t kHeaderSize = 18;
const int kTypeUncompressed = 2;
const int kTypeRunLength = 10;
const int kDescriptorTopFirst = 0x20;
// A run-length packet's header byte: bit 7 repeat, the rest count - 1.
const int kPacketRepeat = 0x80;
const int kPacketMaxPixels = 128;

// Where file row r lies in the image.
int ImageRow(const zk_tga_header_t& header, int file_row) {
    return (header.descriptor & kDescriptorTopFirst) ? file_row : header.height - 1 - file_row;
}

// The fewest bytes after the header that can hold every pixel: the raw
// pixels, or for run-length data one full packet per 128 pixels. Decoding
// checks every byte anyway; this only keeps a short file from asking for
// a pixel block far beyond what it could fill.
uint64_t LeastPixelBytes(const zk_tga_header_t& header) {
    uint64_t pixels = uint64_t(header.width) * uint64_t(header.height);
    uint64_t bytes_per_pixel = uint64_t(header.bits_per_pixel / 8);
    if (header.image_type == kTypeUncompressed) return pixels * bytes_per_pixel;
    return (pixels + kPacketMaxPixels - 1) / kPacketMaxPixels * (1 + bytes_per_pixel);
}

bool AllocatePixels(zk_image_t* image, zk_pixel_byte_order_t order, const zk_image_messages_t* messages) {
    uint64_t bytes = uint64_t(image->width) * uint64_t(image->height) * 4;
    // An empty image still gets a block, so that success always comes with
    // pixels to hand on.
    if (bytes < SIZE_MAX) image->pixels = static_cast<uint32_t*>(malloc(bytes ? size_t(bytes) : 1));
    if (image->pixels) return true;
    ZKI_ReportImageMessage(messages, ZK_IMAGE_NO_MEMORY, order, image->width, image->height);
    return false;
}

void DecodeUncompressed(const uint8_t* data, const zk_tga_header_t& header, zk_pixel_byte_order_t order,
                        uint8_t* pixels) {
    int bytes_per_pixel = header.bits_per_pixel / 8;
    size_t file_row_bytes = size_t(header.width) * bytes_per_pixel;
    size_t image_row_bytes = size_t(header.width) * 4;
    for (int r = 0; r < header.height; ++r) {
        const uint8_t* in = data + size_t(r) * file_row_bytes;
        uint8_t* out = pixels + size_t(ImageRow(header, r)) * image_row_bytes;
        if (bytes_per_pixel == 4) {
            ZKI_ConvertRow32(in, out, header.width, order);
        } else {
            ZKI_ConvertRow24(in, out, header.width, order);
        }
    }
}

// Walks the image's pixels in file order, row by row in the file's row
// order, so that packets may run on from one row into the next.
class PixelCursor {
public:
    PixelCursor(const zk_tga_header_t& header, uint8_t* pixels)
        : header(header), pixels(pixels), left(uint64_t(header.width) * uint64_t(header.height)) {
        StartRow();
    }
    uint64_t Left() const { return left; }
    void Put(const uint8_t* pixel) {
        memcpy(out, pixel, 4);
        out += 4;
        --left;
        if (++column == header.width && left > 0) {
            ++file_row;
            StartRow();
        }
    }

private:
    void StartRow() {
        column = 0;
        if (left > 0) out = pixels + (size_t(ImageRow(header, file_row)) * size_t(header.width)) * 4;
    }
    const zk_tga_header_t& header;
    uint8_t* pixels;
    uint8_t* out = nullptr;
    uint64_t left;
    int file_row = 0;
    int column = 0;
};

// Decodes the packets from data[0 .. size); false when the data ends
// before the last pixel.
bool DecodeRunLength(const uint8_t* data, size_t size, const zk_tga_header_t& header, zk_pixel_byte_order_t order,
                     uint8_t* pixels, const zk_image_messages_t* messages) {
    size_t bytes_per_pixel = size_t(header.bits_per_pixel / 8);
    PixelCursor cursor(header, pixels);
    size_t at = 0;
    while (cursor.Left() > 0) {
        if (at >= size) return false;
        int packet = data[at++];
        uint64_t count = uint64_t(packet & ~kPacketRepeat) + 1;
        uint64_t fits = count < cursor.Left() ? count : cursor.Left();
        uint8_t pixel[4];
        if (packet & kPacketRepeat) {
            if (size - at < bytes_per_pixel) return false;
            ZKI_ConvertPixel(data + at, bytes_per_pixel, order, pixel);
            at += bytes_per_pixel;
            for (uint64_t i = 0; i < fits; ++i) cursor.Put(pixel);
            if (fits < count) {
                ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_OVERRUN_REPEATED, order, int(count - fits));
            }
            continue;
        }
        if ((size - at) / bytes_per_pixel < fits) return false;
        for (uint64_t i = 0; i < fits; ++i) {
            ZKI_ConvertPixel(data + at, bytes_per_pixel, order, pixel);
            at += bytes_per_pixel;
            cursor.Put(pixel);
        }
        if (fits < count) ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_OVERRUN_LITERAL, order, int(count - fits));
    }
    return true;
}

void Fail(zk_image_t* image) {
    free(image->pixels);
    image->pixels = nullptr;
}

}  // namespace

bool ZKI_ReadTGAHeader(const void* data, size_t size, zk_tga_header_t* header, const zk_image_messages_t* messages) {
    *header = zk_tga_header_t{};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t needed = kHeaderSize + (bytes && size > 0 ? bytes[0] : 0);
    if (!bytes || size < needed) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_SHORT_HEADER, ZK_PIXELS_RGBA, (unsigned long long)size,
                               (unsigned long long)needed);
        return false;
    }
    header->id_length = bytes[0];
    header->color_map_type = bytes[1];
    header->image_type = bytes[2];
    header->width = ZKI_U16At(bytes + 12);
    header->height = ZKI_U16At(bytes + 14);
    header->bits_per_pixel = bytes[16];
    header->descriptor = bytes[17];
    header->pixel_offset = needed;
    return true;
}

bool ZKI_IsSupportedTGA(const zk_tga_header_t& header, const zk_image_messages_t* messages) {
    bool type = header.image_type == kTypeUncompressed || header.image_type == kTypeRunLength;
    bool bits = header.bits_per_pixel == 24 || header.bits_per_pixel == 32;
    if (header.color_map_type == 0 && type && bits) return true;
    ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_UNSUPPORTED, ZK_PIXELS_RGBA, header.color_map_type,
                           header.image_type, header.bits_per_pixel);
    return false;
}

bool ZKI_DecodeTGA(const void* data, size_t size, zk_pixel_byte_order_t order, zk_image_t* image,
                   const zk_image_messages_t* messages) {
    *image = zk_image_t{};
    zk_tga_header_t header;
    if (!ZKI_ReadTGAHeader(data, size, &header, messages) || !ZKI_IsSupportedTGA(header, messages)) return false;
    image->width = header.width;
    image->height = header.height;
    const uint8_t* pixel_data = static_cast<const uint8_t*>(data) + header.pixel_offset;
    size_t pixel_size = size - header.pixel_offset;
    if (pixel_size < LeastPixelBytes(header)) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_SHORT_PIXELS, order, header.width, header.height);
        return false;
    }
    if (!AllocatePixels(image, order, messages)) return false;
    uint8_t* pixels = reinterpret_cast<uint8_t*>(image->pixels);
    if (header.image_type == kTypeUncompressed) {
        DecodeUncompressed(pixel_data, header, order, pixels);
        return true;
    }
    if (!DecodeRunLength(pixel_data, pixel_size, header, order, pixels, messages)) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_SHORT_PIXELS, order, header.width, header.height);
        Fail(image);
        return false;
    }
    return true;
}

bool ZKI_EncodeTGA(const zk_image_t& image, zk_pixel_byte_order_t order, const zk_image_output_t& output,
                   const zk_image_messages_t* messages) {
    if (!image.pixels || !output.write) return false;
    if (image.width < 0 || image.height < 0 || image.width > zk_image_max_side || image.height > zk_image_max_side) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE, order, image.width, image.height);
        return false;
    }
    uint8_t header[kHeaderSize] = {};
    header[2] = kTypeUncompressed;
    ZKI_PutU16(header + 12, uint32_t(image.width));
    ZKI_PutU16(header + 14, uint32_t(image.height));
    header[16] = 32;
    header[17] = 0x08;  // 8 bits of alpha, bottom row first
    bool written = output.write(output.context, header, kHeaderSize) == kHeaderSize;
    size_t row_bytes = size_t(image.width) * 4;
    uint8_t* row = static_cast<uint8_t*>(malloc(row_bytes ? row_bytes : 1));
    if (!row) {
        ZKI_ReportImageMessage(messages, ZK_IMAGE_NO_MEMORY, order, image.width, 1);
        return false;
    }
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(image.pixels);
    for (int r = image.height - 1; written && r >= 0; --r) {
        ZKI_ConvertRow32(pixels + size_t(r) * row_bytes, row, image.width, order);
        written = output.write(output.context, row, row_bytes) == row_bytes;
    }
    free(row);
    if (!written) ZKI_ReportImageMessage(messages, ZK_IMAGE_WRITE_FAILED, order, image.width, image.height);
    return written;
}
