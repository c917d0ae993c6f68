// Arbitrary bytes through the engine's TGA, run-length bitmap and font file
// readers. The first byte picks the reader and the pixel byte order; for a
// font file the next byte sets the format's rules, one bit each; the rest
// is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/font_file_format.h"
#include "engine/imageformats/image_formats.h"

namespace {

struct Memory {
    const uint8_t* data;
    size_t size;
    size_t at;
};

size_t ReadMemory(void* context, void* buffer, size_t size) {
    Memory* memory = static_cast<Memory*>(context);
    size_t n = size < memory->size - memory->at ? size : memory->size - memory->at;
    memcpy(buffer, memory->data + memory->at, n);
    memory->at += n;
    return n;
}

size_t CountWritten(void* context, const void*, size_t size) {
    *static_cast<size_t*>(context) += size;
    return size;
}

void Ignore(void*, zk_image_message_id_t, int, const char*) {}

void IgnoreFontMessage(void*, const zk_font_file_message_t&) {}

// The rules from the bits of `rules`: all seven versions or six, or only the
// header of the first five; every other rule one bit.
zk_font_file_format_t FontFormat(uint8_t rules, zk_pixel_byte_order_t order) {
    zk_font_file_format_t format = {};
    format.newest_version = (rules & 1) ? 7 : (rules & 2) ? 6 : 5;
    format.whole_magic = (rules & 4) != 0;
    format.old_name = {(rules & 8) ? 512 : 0, (rules & 8) != 0};
    format.new_name = {32, (rules & 16) != 0};
    format.old_sizes_signed = (rules & 32) != 0;
    format.old_rows_zeroed = (rules & 64) != 0;
    format.negative_count_refused = (rules & 128) != 0;
    format.max_glyphs = (rules & 128) ? 65536 : 0;
    format.sizes_written_as_they_are = (rules & 4) != 0;
    format.order = order;
    return format;
}

// A font file read is written back out; what the writer refuses must be a
// glyph the format cannot hold.
void ReadFontFile(const uint8_t* file, size_t size, uint8_t rules, zk_pixel_byte_order_t order) {
    zk_font_file_format_t format = FontFormat(rules, order);
    zk_font_file_messages_t messages = {IgnoreFontMessage, nullptr};
    Memory memory = {file, size, 0};
    zk_font_file_t font;
    bool header_only = !(rules & 3);
    bool ok = header_only ? ZKI_ReadFontFileHeader({ReadMemory, &memory}, int64_t(size), format, &font, &messages)
                          : ZKI_ReadFontFile({ReadMemory, &memory}, int64_t(size), format, &font, &messages);
    if (ok && !header_only) {
        size_t written = 0;
        bool unwritable = ZKI_FindUnwritableFontGlyph(font, format) >= 0;
        if (ZKI_WriteFontFile(font, format, {CountWritten, &written}) == unwritable) abort();
    }
    ZKI_FreeFontFile(&font);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    zk_pixel_byte_order_t order = (data[0] & 1) ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA;
    bool run_length = (data[0] & 2) != 0;
    if ((data[0] & 4) && size >= 2) {
        size_t font_size = size - 2;
        uint8_t* font_file = static_cast<uint8_t*>(malloc(font_size ? font_size : 1));
        memcpy(font_file, data + 2, font_size);
        ReadFontFile(font_file, font_size, data[1], order);
        free(font_file);
        return 0;
    }
    // An exact copy, so that a read past the data is caught.
    size_t file_size = size - 1;
    uint8_t* file = static_cast<uint8_t*>(malloc(file_size ? file_size : 1));
    memcpy(file, data + 1, file_size);
    zk_image_messages_t messages = {Ignore, nullptr};
    zk_image_t image;
    bool ok;
    if (run_length) {
        Memory memory = {file, file_size, 0};
        ok = ZKI_DecodeRLEBitmap({ReadMemory, &memory}, order, &image, &messages);
    } else {
        ok = ZKI_DecodeTGA(file, file_size, order, &image, &messages);
    }
    if (ok) {
        // What was read is written back out: both writers see every image.
        size_t written = 0;
        zk_image_output_t output = {CountWritten, &written};
        ZKI_EncodeTGA(image, order, output, &messages);
        ZKI_EncodeRLEBitmap(image, order, output, &messages);
    }
    free(image.pixels);
    free(file);
    return 0;
}
