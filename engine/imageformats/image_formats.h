// The engine's own image file formats, standing alone: TGA (read from
// memory, written to a caller's output) and the run-length bitmap (read
// from a caller's input, written to a caller's output).
//
// Nothing here reaches the engine state or the interface table: the pixel
// byte order is a parameter, data comes and goes through small callbacks,
// and failures are reported in words through a message sink that the caller
// passes (null: no messages). Both files store pixels as B, G, R, A; images
// in memory hold 4 bytes per pixel in the caller's order, rows top first.
// Numbers in the files are little-endian and are assembled byte by byte,
// so the host's byte order does not matter.
#pragma once

#include <cstddef>
#include <cstdint>

// Order of the 4 bytes of a pixel in memory.
enum zk_pixel_byte_order_t {
    ZK_PIXELS_RGBA = 0,
    ZK_PIXELS_BGRA = 1,
};

// An image in memory. A decoder's pixel block comes from malloc and belongs
// to the caller, who frees it with free(). Decoders set width and height as
// soon as the header is accepted, so a decode that fails later still tells
// the size it learned (pixels then stay null).
struct zk_image_t {
    int32_t width;
    int32_t height;
    uint32_t* pixels;
};

// What a message is about; the text comes with it, ready to print.
enum zk_image_message_id_t {
    ZK_IMAGE_TGA_OVERRUN_REPEATED,  // a run-length packet's repeated pixel passes the image's end
    ZK_IMAGE_TGA_OVERRUN_LITERAL,   // a run-length packet's literal pixels pass the image's end
    ZK_IMAGE_TGA_SHORT_HEADER,      // the data ends inside the header or the image id
    ZK_IMAGE_TGA_UNSUPPORTED,       // colour map, image type or pixel size not read here
    ZK_IMAGE_TGA_SHORT_PIXELS,      // the data ends before the last pixel
    ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE,
    ZK_IMAGE_RLE_TOO_LARGE,         // a side above the largest one read or written
    ZK_IMAGE_RLE_SHORT_HEADER,      // the input ends inside the width and height
    ZK_IMAGE_RLE_SHORT,             // the input ends before the last pixel
    ZK_IMAGE_NO_MEMORY,             // the pixel block cannot be allocated
    ZK_IMAGE_WRITE_FAILED,          // the output took fewer bytes than it was given
};

// Message types as the engine numbers them.
enum { ZK_IMAGE_WARNING = 1, ZK_IMAGE_ERROR = 2 };

struct zk_image_messages_t {
    void (*report)(void* context, zk_image_message_id_t id, int type, const char* text);
    void* context;
};

// Reads up to size bytes into buffer; returns how many it read (fewer only
// at the end of the input or on an error).
struct zk_image_input_t {
    size_t (*read)(void* context, void* buffer, size_t size);
    void* context;
};

// Writes size bytes; returns how many it wrote (fewer is a failure).
struct zk_image_output_t {
    size_t (*write)(void* context, const void* data, size_t size);
    void* context;
};

// The largest width or height written or read as a run-length bitmap, and
// the largest a TGA file can hold.
const int32_t zk_image_max_side = 65535;

// The fields of a TGA header that the reader looks at.
struct zk_tga_header_t {
    int id_length;
    int color_map_type;
    int image_type;       // 2 uncompressed, 10 run-length true colour
    int width;
    int height;
    int bits_per_pixel;   // 24 or 32
    int descriptor;       // bit 5 (0x20): top row first
    size_t pixel_offset;  // 18 + id_length
};

// Reads the header. False (with a message) when the data is shorter than
// the header and the image id that follows it.
bool ZKI_ReadTGAHeader(const void* data, size_t size, zk_tga_header_t* header, const zk_image_messages_t* messages);
// True for colour-map type 0, image type 2 or 10 and 24 or 32 bits per
// pixel; otherwise false with a message.
bool ZKI_IsSupportedTGA(const zk_tga_header_t& header, const zk_image_messages_t* messages);
// Decodes a whole TGA file held in memory into image (zeroed first). False
// for a header refused above, data that ends before the last pixel, or a
// pixel block that cannot be allocated; never reads past size. A run-length
// packet that passes the image's last pixel fills what fits, reports the
// pixels left over and ends the decoding successfully.
bool ZKI_DecodeTGA(const void* data, size_t size, zk_pixel_byte_order_t order, zk_image_t* image,
                   const zk_image_messages_t* messages);
// Writes image as an uncompressed 32-bit bottom-up TGA. False for an image
// without pixels, a side above 65535 (the header holds 16 bits) or a failed
// write.
bool ZKI_EncodeTGA(const zk_image_t& image, zk_pixel_byte_order_t order, const zk_image_output_t& output,
                   const zk_image_messages_t* messages);

// Reads a run-length bitmap from input into image (zeroed first): width and
// height, then runs (count, B, G, R, A) covering the pixels in memory order.
// A run of 0 fills nothing; a run past the last pixel is cut. False for a
// side above zk_image_max_side, input that ends before the last pixel, or
// memory that cannot be had. Reads no byte past the bitmap's last run.
bool ZKI_DecodeRLEBitmap(const zk_image_input_t& input, zk_pixel_byte_order_t order, zk_image_t* image,
                         const zk_image_messages_t* messages);
// Writes image as a run-length bitmap (runs of at most 255 equal pixels).
// False for an image without pixels, a side outside 0..zk_image_max_side or
// a failed write.
bool ZKI_EncodeRLEBitmap(const zk_image_t& image, zk_pixel_byte_order_t order, const zk_image_output_t& output,
                         const zk_image_messages_t* messages);
