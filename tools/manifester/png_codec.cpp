// PNG through libpng: decoding from memory with a bounded read callback and
// a jump point for the library's errors, and encoding RGBA to a stream.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

const double default_file_gamma = 0.45454545454545453;  // 1 / 2.2
const double screen_gamma = 2.2;

// The chunks libpng reads itself. Every one of their handlers refuses a
// chunk that comes before the header.
const char* const chunks_libpng_reads[] = {
    "IHDR", "PLTE", "tRNS", "IDAT", "IEND", "bKGD", "cHRM", "eXIf", "gAMA", "hIST", "iCCP", "iTXt",
    "oFFs", "pCAL", "pHYs", "sBIT", "sCAL", "sPLT", "sTER", "sRGB", "tEXt", "tIME", "zTXt",
};

// Chunks that never change a pixel. libpng's handlers for them take in the
// whole chunk at the size its length field claims (zeroed, up to 2 GiB for
// a file of a few dozen bytes): libpng skips them instead. A skipped chunk
// is not kept, but libpng still reads it through, 1 KiB at a time, to
// check its CRC: it costs the time of its bytes (about 3 s a GiB), and no
// memory. Gamma and colour profiles stay, for the decoder uses them.
const png_byte pixel_neutral_chunks[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf\0pCAL\0sCAL";
const int pixel_neutral_chunk_count = 7;
static_assert(sizeof pixel_neutral_chunks == pixel_neutral_chunk_count * 5, "five bytes a chunk name");

// The data in memory (whole, or only the file's first bytes), or a file
// read through the window of its reader.
struct PngDataReader {
    const uint8_t* data;
    size_t size;
    size_t offset;
    bool* needs_more;         // set when the data is only the file's first bytes
    zk_file_reader_t* file;   // null for data in memory
};

bool CopyBytes(PngDataReader* reader, size_t offset, void* out, size_t length) {
    if (reader->file) return ZKI_CopyFileBytes(reader->file, offset, out, length);
    if (!reader->data || offset > reader->size || length > reader->size - offset) return false;
    if (length > 0) memcpy(out, reader->data + offset, length);
    return true;
}

// The library asks for exact byte counts; asking past the data is an error
// of the file, reported through the jump point, or, when the data is only
// the file's first bytes, the sign that the rest must be read.
void PngReadFromData(png_structp png, png_bytep out, png_size_t length) {
    PngDataReader* reader = static_cast<PngDataReader*>(png_get_io_ptr(png));
    if (!CopyBytes(reader, reader->offset, out, length)) {
        if (reader->needs_more) *reader->needs_more = true;
        png_error(png, "Read past the end of the PNG data");
    }
    reader->offset += length;
}

struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop end_info = nullptr;
    PngDataReader reader;
    zk_bitmap_t* bitmap;
    bool with_pixels;
    uint8_t* pixels = nullptr;
    uint8_t* temporary = nullptr;
    png_bytep* rows = nullptr;
    int channels = 0;
    bool refused = false;  // refused with its own message
    std::string library_said;  // printed at the end, after the file's name
};

// When more data is all that is missing, the whole file says it all again;
// a file whose reading failed is reported by the caller.
bool StoppedSilently(const PngDecode* d) {
    return (d->reader.needs_more && *d->reader.needs_more) || (d->reader.file && d->reader.file->failed);
}

// The library's texts, kept for the end of the decode, unless it stopped
// silently.
void Keep(PngDecode* d, const char* kind, png_const_charp message) {
    if (StoppedSilently(d)) return;
    d->library_said += kind;
    d->library_said += message;
    d->library_said += '\n';
}

bool Guarded(png_structp png, void (*step)(PngDecode*), PngDecode* d) {
    if (setjmp(png_jmpbuf(png))) return false;
    step(d);
    return true;
}

void PngError(png_structp png, png_const_charp message) {
    Keep(static_cast<PngDecode*>(png_get_error_ptr(png)), "libpng error: ", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp png, png_const_charp message) {
    Keep(static_cast<PngDecode*>(png_get_error_ptr(png)), "libpng warning: ", message);
}

// The library's texts, on lines of their own after the file's name.
void SayWhatTheLibrarySaid(PngDecode* d) {
    if (d->library_said.empty()) return;
    zk_file_messages_t file = {d->bitmap->name, false};
    ZKI_NameFileOnce(&file);
    zk->PrintDebugf(1, "%s", d->library_said.c_str());
}

const char* NameOf(const zk_bitmap_t* bitmap) { return bitmap->name ? bitmap->name : "(unnamed)"; }

uint32_t U32BigAt(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

bool LibpngReads(const uint8_t* type) {
    for (const char* known : chunks_libpng_reads) {
        if (memcmp(type, known, 4) == 0) return true;
    }
    return false;
}

// True when the header comes before any chunk that libpng reads itself.
// Skipping chunks would also skip libpng's refusal of a chunk that comes
// before the header, so a file with one is read as it always was (that
// refusal costs nothing: it comes before the chunk is taken in). Chunks of
// other kinds before the header are stepped over here by their length
// fields alone; libpng reads them through later to check their CRC. Each
// pass moves on by a whole chunk, its length, type and CRC (at least 12
// bytes), within the data.
bool HeaderComesFirst(PngDataReader* reader) {
    size_t at = 8;  // the signature
    uint8_t chunk[8];  // length and type
    while (CopyBytes(reader, at, chunk, sizeof chunk)) {
        const uint8_t* type = chunk + 4;
        if (memcmp(type, "IHDR", 4) == 0) return true;
        if (LibpngReads(type)) return false;
        uint64_t next = uint64_t(at) + 12 + U32BigAt(chunk);
        if (next > reader->size) return false;
        at = size_t(next);
    }
    return false;
}

// Has libpng skip the chunks it need not look at, keeping nothing of them
// (it reads each through for its CRC): on the measuring road every chunk
// but the header, palette, transparency and image data; on the decoding
// road the chunks that never change a pixel.
void SkipUnneededChunks(png_structp png, PngDataReader* reader, bool with_pixels) {
    if (!HeaderComesFirst(reader)) return;
    if (with_pixels) {
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, pixel_neutral_chunks, pixel_neutral_chunk_count);
    } else {
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    }
}

void ReadHeader(PngDecode* d) {
    png_set_read_fn(d->png, &d->reader, PngReadFromData);
    SkipUnneededChunks(d->png, &d->reader, d->with_pixels);
    png_read_info(d->png, d->info);
    d->bitmap->width = int32_t(png_get_image_width(d->png, d->info));
    d->bitmap->height = int32_t(png_get_image_height(d->png, d->info));
}

// Transforms to 8-bit samples with the alpha of a tRNS chunk, then the
// pixel block and the rows the image is read into: the pixels themselves
// for 4 channels, a temporary block for fewer.
void PrepareRows(PngDecode* d) {
    png_structp png = d->png;
    png_infop info = d->info;
    int color_type = png_get_color_type(png, info);
    double file_gamma;
    if (!png_get_gAMA(png, info, &file_gamma)) file_gamma = default_file_gamma;
    png_set_gamma(png, screen_gamma, file_gamma);
    png_set_expand(png);
    png_set_strip_16(png);
    if (color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    if (zk_state.pixel_byte_order == 1 && (color_type & PNG_COLOR_MASK_COLOR)) png_set_bgr(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    size_t width = size_t(d->bitmap->width), height = size_t(d->bitmap->height);
    size_t row_bytes = png_get_rowbytes(png, info);
    d->channels = width ? int(row_bytes / width) : 0;
    if (d->channels < 1 || d->channels > 4) {
        d->refused = true;
        zk->Popupf(1, "Unsupported png '%s' with %d channels.\n", NameOf(d->bitmap), d->channels);
        return;
    }
    if ((long long)width * (long long)height > zk_max_decoded_pixels ||
        !(d->pixels = static_cast<uint8_t*>(malloc(width * height * 4 + 1))) ||
        !(d->rows = static_cast<png_bytep*>(malloc(height * sizeof(png_bytep) + 1)))) {
        d->refused = true;
        zk->PrintDebugf(2, "PNG ERROR: Image '%s' is too large to load (%dx%d).\n", NameOf(d->bitmap),
                        d->bitmap->width, d->bitmap->height);
        return;
    }
    uint8_t* target = d->pixels;
    if (d->channels != 4) {
        if (!(d->temporary = static_cast<uint8_t*>(malloc(row_bytes * height + 1)))) {
            d->refused = true;
            zk->PrintDebugf(2, "PNG ERROR: Image '%s' is too large to load (%dx%d).\n", NameOf(d->bitmap),
                            d->bitmap->width, d->bitmap->height);
            return;
        }
        target = d->temporary;
    }
    for (size_t y = 0; y < height; ++y) d->rows[y] = target + y * row_bytes;
}

void ReadImage(PngDecode* d) { png_read_image(d->png, d->rows); }

// 3 channels: opaque colour; 2: grey with alpha; 1: white with the grey as
// alpha.
void ConvertTemporary(PngDecode* d) {
    size_t count = size_t(d->bitmap->width) * size_t(d->bitmap->height);
    const uint8_t* in = d->temporary;
    uint8_t* out = d->pixels;
    for (size_t i = 0; i < count; ++i, in += d->channels, out += 4) {
        switch (d->channels) {
            case 3:
                memcpy(out, in, 3);
                out[3] = 255;
                break;
            case 2:
                out[0] = out[1] = out[2] = in[0];
                out[3] = in[1];
                break;
            default:
                out[0] = out[1] = out[2] = 255;
                out[3] = in[0];
                break;
        }
    }
}

void SayNotProperPng(const zk_bitmap_t* bitmap) {
    zk->PrintDebugf(2, "PNG ERROR: Image '%s' not proper png.\n", NameOf(bitmap));
}

// The first bytes of the data, as many as there are up to the count.
long FirstBytes(PngDataReader* reader, uint8_t* out, size_t count) {
    size_t size = reader->size < count ? reader->size : count;
    return CopyBytes(reader, 0, out, size) ? long(size) : 0;
}

// Decodes the data in memory, or the file the reader reads when it is not
// null.
bool Decode(zk_bitmap_t* bitmap, const void* data, long size, bool with_pixels, bool* needs_more = nullptr,
            zk_file_reader_t* file = nullptr) {
    if (needs_more) *needs_more = false;
    ZKI_ClearDecodedImage(bitmap);
    bitmap->flags = (bitmap->flags & ~1u) | 2u;
    PngDecode d;
    d.reader = {static_cast<const uint8_t*>(data), size > 0 ? size_t(size) : 0, 0, needs_more, file};
    if (file) d.reader.size = size_t(file->size);
    uint8_t signature[4];
    if (!PngCheckSignature(signature, FirstBytes(&d.reader, signature, sizeof signature))) {
        if (with_pixels) SayNotProperPng(bitmap);
        return false;
    }
    d.bitmap = bitmap;
    d.with_pixels = with_pixels;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d, PngError, PngWarning);
    if (d.png) d.info = png_create_info_struct(d.png);
    if (d.info) d.end_info = png_create_info_struct(d.png);
    bool ok = d.end_info && Guarded(d.png, ReadHeader, &d);
    if (ok && with_pixels) {
        ok = Guarded(d.png, PrepareRows, &d) && !d.refused && Guarded(d.png, ReadImage, &d);
    }
    SayWhatTheLibrarySaid(&d);
    if (!ok && !d.refused && !StoppedSilently(&d)) {
        zk->PrintDebugf(2, "PNG ERROR: Image '%s' load failed.\n", NameOf(bitmap));
    }
    if (ok && with_pixels) {
        if (d.channels != 4) ConvertTemporary(&d);
        if (d.channels != 3) bitmap->flags |= 1u;
        bitmap->pixels = reinterpret_cast<uint32_t*>(d.pixels);
    } else {
        free(d.pixels);
    }
    free(d.temporary);
    free(d.rows);
    if (d.png) png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, d.end_info ? &d.end_info : nullptr);
    return ok;
}

struct PngEncode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    zk_bitmap_t* bitmap;
    FILE* stream;
    png_bytep* rows = nullptr;
};

bool Guarded(png_structp png, void (*step)(PngEncode*), PngEncode* e) {
    if (setjmp(png_jmpbuf(png))) return false;
    step(e);
    return true;
}

void Encode(PngEncode* e) {
    png_structp png = e->png;
    zk_bitmap_t* bitmap = e->bitmap;
    png_init_io(png, e->stream);
    png_set_IHDR(png, e->info, png_uint_32(bitmap->width), png_uint_32(bitmap->height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_8 significant = {8, 8, 8, 8, 8};
    png_set_sBIT(png, e->info, &significant);
    png_write_info(png, e->info);
    if (zk_state.pixel_byte_order == 1) png_set_bgr(png);
    if (uint32_t(bitmap->height) > 0x3FFFFFFF) png_error(png, "Image is too tall to process in memory");
    size_t height = size_t(bitmap->height), row_bytes = size_t(bitmap->width) * 4;
    e->rows = static_cast<png_bytep*>(malloc(height * sizeof(png_bytep) + 1));
    if (!e->rows) png_error(png, "Out of memory for the rows");
    uint8_t* pixels = reinterpret_cast<uint8_t*>(bitmap->pixels);
    for (size_t y = 0; y < height; ++y) e->rows[y] = pixels + y * row_bytes;
    png_write_image(png, e->rows);
    png_write_end(png, nullptr);
}

}  // namespace

bool PngCheckSignature(const void* data, long size) {
    return data && size >= 4 && png_sig_cmp(static_cast<png_const_bytep>(data), 0, 4) == 0;
}

bool ZKI_GetImageDimensionsPNG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more) {
    return Decode(bitmap, data, size, false, needs_more);
}

bool ZKI_MeasurePNG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more) {
    bool ok = Decode(bitmap, data, size, false, needs_more);
    if (!ok && !PngCheckSignature(data, size)) SayNotProperPng(bitmap);
    return ok;
}

bool ZKI_MeasurePNGFile(zk_bitmap_t* bitmap, zk_file_reader_t* reader) {
    bool ok = Decode(bitmap, nullptr, 0, false, nullptr, reader);
    if (!ok && !reader->failed) {
        PngDataReader start = {nullptr, size_t(reader->size), 0, nullptr, reader};
        uint8_t signature[4];
        if (!PngCheckSignature(signature, FirstBytes(&start, signature, sizeof signature))) SayNotProperPng(bitmap);
    }
    return ok;
}

bool ZKI_LoadBitmapMemPNG(zk_bitmap_t* bitmap, const void* data, long size) { return Decode(bitmap, data, size, true); }

bool ZKI_WritePNG(zk_bitmap_t* bitmap, FILE* stream) {
    if (!bitmap || !bitmap->pixels || !stream) return false;
    PngEncode e;
    e.bitmap = bitmap;
    e.stream = stream;
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (e.png) e.info = png_create_info_struct(e.png);
    bool ok = e.info && Guarded(e.png, Encode, &e);
    free(e.rows);
    if (e.png) png_destroy_write_struct(&e.png, e.info ? &e.info : nullptr);
    return ok;
}

}  // namespace manifester
