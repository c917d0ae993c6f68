// The records zk-manifester's engine pieces share: open files, bitmaps and
// fonts with their glyphs. Plain data, zeroed before use.
#pragma once

#include <cstdint>
#include <cstdio>

namespace manifester {

// An open file of the file table.
struct zk_file_t {
    char* name;     // heap copy of the path
    uint32_t size;  // the file's length when it was opened
    FILE* stream;
};

// The bitmap record of this program (the fields its pieces touch).
struct zk_bitmap_t {
    char* name;
    int32_t width, height;
    int32_t resized_width, resized_height;  // set by the resizer to the same values
    uint32_t* pixels;                       // width x height pixels, rows top first
    uint32_t flags;                         // 1 alpha, 2 reloadable
    zk_bitmap_t* frames;                    // a sequence's frames
    int32_t frame_count;
    uint32_t frame_block[15];               // copied from the frame a sequence shows
};

// One glyph of a font.
struct zk_glyph_t {
    uint32_t code;  // the code point; LATIN-1 fonts find glyphs by position
    int16_t x_offset;
    int16_t y_offset;
    int16_t advance;
    // Null, or one entry per glyph of the font: entry p is added before this
    // glyph when the previous glyph had index p.
    int8_t* kerning;
    zk_bitmap_t bitmap;
};

struct zk_font_t {
    char* name;  // null while the slot is free
    int16_t reference_count;
    uint8_t utf8;  // 1: codes are Unicode; 0: LATIN-1
    int32_t baseline;
    int32_t height;
    int32_t line_spacing;
    zk_glyph_t* glyphs;
    int32_t glyph_count;
    float scale;
};

}  // namespace manifester
