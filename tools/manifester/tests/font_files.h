// Font files for the manifester's tests and fuzz seeds, written and read
// here from the format (never by the code under test): every value
// little-endian; versions 1 to 5 hold 256 glyph entries after a 256-byte
// table, version 6 a count and that many entries with their code point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/manifester/tests/image_files.h"

namespace manifester_test {

struct FontFileGlyph {
    uint32_t code = 0;  // not stored before version 6
    int16_t y_offset = 0, x_offset = 0, advance = 0;
    std::vector<int8_t> kerning;  // empty: no kerning row
    int16_t width = 0, height = 0;
    Bytes pixels;  // width x height x 4 bytes, as stored in the file
};

struct FontFile {
    std::string encoding = "LATIN-1";
    int32_t baseline = 0, height = 0, line_spacing = 0;
    std::vector<FontFileGlyph> glyphs;
};

// Version 6: the glyphs as they are, each kerning row as long as it is.
Bytes WriteFontVersion6(const FontFile& font);
// Versions 1 to 5: the first 256 glyphs, with the fields the version has
// (kerning rows of 256 bytes from version 4, the advance after the size
// from version 3); the advance stored before the size is `advance` too.
Bytes WriteOldFontVersion(int version, const FontFile& font);
// Reads a whole version 6 file; false when it is not one or does not end
// exactly after its last glyph.
bool ReadFontVersion6(const Bytes& file, FontFile* font);

}  // namespace manifester_test
