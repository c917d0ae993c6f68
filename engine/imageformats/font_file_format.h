// The font file ("OLK_Font_v1" to "OLK_Font_v7", ".mft"), standing alone:
// read from a caller's input and written to a caller's output, with the
// rules that differ between the programs that use it passed in a
// zk_font_file_format_t.
//
// Every value is little-endian. A file starts with "OLK_Font_v" and the
// version digit, a 0, the encoding name with its 0 ("UTF-8"; anything else
// means LATIN-1), then baseline, height and line spacing (i32 each).
// Versions 6 and 7 go on with (version 7 only) spread, smoothing and scale
// as f32, then the glyph count N and N glyph entries: code (u32), y offset
// (i16 in version 6, f32 in 7), x offset and advance (i16), a kern flag
// byte with an N-byte kerning row when it is not 0, width and height (i16)
// and the pixels when both are at least 1. Versions 1 to 5 go on with a
// 256-byte table that readers skip and exactly 256 entries without code:
// y offset, x offset (from version 2), advance, a 256-byte kerning row
// (from version 4), width and height, a second advance that replaces the
// first (from version 3) and the pixels; in versions 1 and 2 the advance is
// the width plus 1. Pixels are R, G, B, A in versions 5 to 7 and B, G, R, A
// before; they are turned to the caller's memory order on reading and back
// on writing.
//
// Every field is checked against the input's length: a short file, or a
// count or size that the file cannot hold, is refused. Nothing here reaches
// an engine state or interface table; failures are told through a message
// sink whose owner words them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/imageformats/image_formats.h"

// One glyph as the file holds it. The reader's blocks come from malloc (the
// pixels from the format's allocator when it has one) and belong to the
// font record; a writer only borrows them.
struct zk_font_file_glyph_t {
    uint32_t code;       // 0 in versions 1 to 5, which find glyphs by position
    float y_offset;
    int16_t x_offset;
    int16_t advance;
    int8_t* kerning;     // null, or one entry per glyph of the font
    int32_t width;
    int32_t height;
    uint32_t* pixels;    // width x height, or null
};

struct zk_font_file_t {
    int version;
    uint8_t utf8;
    int32_t baseline;
    int32_t height;
    int32_t line_spacing;
    float spread;        // spread, smoothing and scale: version 7 only
    float smoothing;
    float scale;
    int32_t glyph_count;
    zk_font_file_glyph_t* glyphs;
};

// How the encoding name after the magic is read.
struct zk_font_file_name_rule_t {
    int limit;        // bytes read at most, its 0 included; 0: up to its 0, however long
    bool must_end;    // no 0 within the limit refuses the file; else reading goes on after it
};

// What one program reads and writes.
struct zk_font_file_format_t {
    int newest_version;                 // versions 1 up to this are read; this one is written
    bool whole_magic;                   // "OLK_Font_v" is compared too; else only the digit counts
    zk_font_file_name_rule_t old_name;  // versions 1 to 5
    zk_font_file_name_rule_t new_name;  // versions 6 and 7
    bool old_sizes_signed;              // versions 1 to 5: width and height i16, else u16
    bool old_rows_zeroed;               // versions 1 to 3: each glyph gets a zeroed row, else none
    bool negative_count_refused;        // else a count below 1 reads as a font without glyphs
    int32_t max_glyphs;                 // 0: as many as the file can hold
    bool sizes_written_as_they_are;     // else a glyph without pixels is written with size 0
    zk_pixel_byte_order_t order;
    // Pixel blocks; null: malloc.
    uint32_t* (*allocate_pixels)(int64_t width, int64_t height);
};

// The 256 glyphs of versions 1 to 5 and the bytes of their kerning rows.
const int kFontFileOldGlyphs = 256;

enum zk_font_file_message_id_t {
    ZK_FONT_FILE_BAD_HEADER,     // the magic is not one read here
    ZK_FONT_FILE_NEWER_VERSION,  // a version digit above the newest read
    ZK_FONT_FILE_BAD_SCALE,      // version 7: a scale that is not a positive number, read as 1.0
    ZK_FONT_FILE_DAMAGED,        // the file ends early or holds what it cannot hold
};

struct zk_font_file_message_t {
    zk_font_file_message_id_t id;
    const char* magic;  // the bytes of the magic read, as text
    int version;
    double scale;
};

struct zk_font_file_messages_t {
    void (*report)(void* context, const zk_font_file_message_t& message);
    void* context;
};

// Reads input (`length` bytes; -1 when unknown, reads then end where the
// input does) into font, zeroed first. False, with one message, for a
// header refused above or a damaged file; the font then holds nothing
// (everything read so far is freed). A count below 1 that is not refused
// gives a font without glyphs.
bool ZKI_ReadFontFile(const zk_image_input_t& input, int64_t length, const zk_font_file_format_t& format,
                      zk_font_file_t* font, const zk_font_file_messages_t* messages);
// The common start alone: magic, encoding, baseline, height and line
// spacing. False as above; font holds no glyphs.
bool ZKI_ReadFontFileHeader(const zk_image_input_t& input, int64_t length, const zk_font_file_format_t& format,
                            zk_font_file_t* font, const zk_font_file_messages_t* messages);
// Frees what a reader put into font and zeroes it.
void ZKI_FreeFontFile(zk_font_file_t* font);

// The first glyph the format cannot write, or -1: sizes are 16 bits, and
// with sizes written as they are a glyph with a size must have pixels.
int ZKI_FindUnwritableFontGlyph(const zk_font_file_t& font, const zk_font_file_format_t& format);
// Writes font in the format's newest version. False when a glyph cannot be
// written (above) or the output takes fewer bytes than it is given; the
// output is then not written to any further.
bool ZKI_WriteFontFile(const zk_font_file_t& font, const zk_font_file_format_t& format,
                       const zk_image_output_t& output);
