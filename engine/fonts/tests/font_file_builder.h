// Font files (and TGA pictures) for the font tests and fuzz seeds, laid out here from the
// format (never by the code under test): every value little-endian; a magic
// with the version digit and a 0, the encoding with its 0, baseline, height
// and line spacing; then (version 7) spread, smoothing, scale, and (6, 7) a
// count and the glyph entries, or (1 to 5) a skipped 256-byte table and 256
// entries whose fields depend on the version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace font_test {

using Bytes = std::vector<uint8_t>;

struct GlyphEntry {
    uint32_t code = 0;          // not stored before version 6
    float y_offset = 0;         // an i16 before version 7
    int16_t x_offset = 0;       // from version 2
    int16_t advance = 0;
    int16_t late_advance = 0;   // versions 3 to 5: the advance stored after the size
    std::vector<int8_t> kern;   // empty: no row (versions 6 and 7 store flag 0)
    int16_t width = 0, height = 0;
    Bytes pixels;               // as stored in the file
};

struct FontDescription {
    int version = 7;
    std::string magic;          // the first ten bytes; empty: "OLK_Font_v"
    std::string encoding = "LATIN-1";
    int32_t baseline = 0, height = 0, line_spacing = 0;
    float spread = 0, smoothing = 0, scale = 1.0f;
    std::vector<GlyphEntry> glyphs;  // versions 1 to 5: the first 256, the rest empty
    int64_t stated_count = -1;       // versions 6 and 7: the count stored; -1: glyphs.size()
};

Bytes FontFileBytes(const FontDescription& font);

// A glyph of width x height whose stored pixel bytes are (seed + i) for
// byte i, so that any two glyphs and any channel order differ.
GlyphEntry PatternGlyph(uint32_t code, int16_t width, int16_t height, uint8_t seed);

// An uncompressed 32-bit TGA, rows top first, from a drawing: 'X' is an
// opaque pixel of colour (c0, c1, c2) in B, G, R file order, '.' a
// transparent one; every row has the first row's length. `zoom` repeats
// each pixel zoom x zoom times.
Bytes TgaFromArt(const std::vector<std::string>& rows, int zoom = 1, uint8_t c0 = 10, uint8_t c1 = 20,
                 uint8_t c2 = 30);

}  // namespace font_test
