// Font files: versions 1 to 6 read, version 6 written. Every value is
// little-endian; pixels are four bytes, R, G, B, A from version 5 on and
// B, G, R, A before.
#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "tools/manifester/fonts.h"

namespace manifester {

namespace {

const char* const font_magics[] = {"OLK_Font_v1", "OLK_Font_v2", "OLK_Font_v3",
                                   "OLK_Font_v4", "OLK_Font_v5", "OLK_Font_v6"};
const uint32_t magic_size = 11;
const char written_magic[] = "OLK_Font_v6";  // written with its 0
const int written_version = 6;
// A version 6 encoding name ends at a 0 within this many bytes.
const int max_encoding_name = 32;
// Older files: the name is kept up to this many bytes, and read on to its 0.
const int max_old_encoding_name = 511;
const int old_glyph_count = 256;
const uint32_t old_table_size = 256;
// Code points below 65536 are the most glyphs a font has.
const int32_t max_glyphs = 65536;
// The smallest version 6 glyph entry: code, offsets, advance, kern flag
// and size, with no kerning row and no pixels.
const uint32_t min_glyph_entry = 4 + 2 + 2 + 2 + 1 + 2 + 2;
const int32_t max_glyph_side = 32767;  // sizes are stored as i16

void ExchangeRedAndBlue(uint32_t* pixels, size_t count) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(pixels);
    for (size_t i = 0; i < count * 4; i += 4) {
        uint8_t red = bytes[i];
        bytes[i] = bytes[i + 2];
        bytes[i + 2] = red;
    }
}

// Reads through the file table, never past the length the file had when it
// was opened; once a read fails every later one fails too.
class FontFileReader {
public:
    explicit FontFileReader(zk_file_t* file) : file(file), left(file->size), ok(true) {}

    bool Read(void* out, uint64_t size) {
        if (!ok || size > left || (size && zk->ReadItems(out, 1, size_t(size), file) != size)) return ok = false;
        left -= uint32_t(size);
        return true;
    }
    uint8_t U8() {
        uint8_t b = 0;
        Read(&b, 1);
        return b;
    }
    int16_t I16() {
        uint8_t b[2] = {};
        Read(b, 2);
        return int16_t(uint16_t(b[0] | b[1] << 8));
    }
    uint32_t U32() {
        uint8_t b[4] = {};
        Read(b, 4);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    int32_t I32() { return int32_t(U32()); }
    // A heap block of size bytes from the file; null (and the reader
    // failed) when the file does not hold them.
    void* Block(uint64_t size) {
        if (!ok || size > left) {
            ok = false;
            return nullptr;
        }
        void* block = malloc(size ? size_t(size) : 1);
        if (!block || !Read(block, size)) {
            free(block);
            ok = false;
            return nullptr;
        }
        return block;
    }
    // The 0-terminated name, kept up to `keep` bytes; false when no 0 comes
    // within `limit` bytes (no limit with 0) or the file ends first.
    bool Name(char* out, int keep, int limit) {
        for (int n = 0; limit == 0 || n < limit; ++n) {
            uint8_t c = 0;
            if (!Read(&c, 1)) return false;
            if (n < keep) out[n] = char(c);
            if (c == 0) return true;
        }
        return ok = false;
    }

    uint32_t Left() const { return left; }
    bool Ok() const { return ok; }

private:
    zk_file_t* file;
    uint32_t left;
    bool ok;
};

// Pixels of width x height when both are at least 1, exchanged into the
// memory order when the file's order differs from it.
void ReadGlyphPixels(FontFileReader* in, zk_glyph_t* glyph, bool file_is_rgba) {
    zk_bitmap_t& bitmap = glyph->bitmap;
    if (bitmap.width < 1 || bitmap.height < 1) return;
    uint64_t count = uint64_t(bitmap.width) * uint64_t(bitmap.height);
    bitmap.pixels = static_cast<uint32_t*>(in->Block(count * 4));
    if (bitmap.pixels && file_is_rgba != (zk_state.pixel_byte_order == 0)) ExchangeRedAndBlue(bitmap.pixels, count);
}

bool ReadEncoding(zk_font_t* font, FontFileReader* in, int keep, int limit) {
    char name[max_old_encoding_name + 1] = {};
    if (!in->Name(name, keep, limit)) return false;
    name[keep] = '\0';
    font->utf8 = strcmp(name, "UTF-8") == 0;
    return true;
}

void ReadMetrics(zk_font_t* font, FontFileReader* in) {
    font->baseline = in->I32();
    font->height = in->I32();
    font->line_spacing = in->I32();
}

// Versions 1 to 5: 256 glyph entries, one per byte value, after a table
// that is skipped.
bool ReadVersion1To5(zk_font_t* font, FontFileReader* in, int version) {
    if (!ReadEncoding(font, in, max_old_encoding_name, 0)) return false;
    ReadMetrics(font, in);
    uint8_t table[old_table_size];
    if (!in->Read(table, sizeof table) || !ZKI_SetFontGlyphCount(font, old_glyph_count)) return false;
    for (int i = 0; i < old_glyph_count && in->Ok(); ++i) {
        zk_glyph_t* glyph = &font->glyphs[i];
        glyph->code = uint32_t(i);
        glyph->y_offset = in->I16();
        if (version >= 2) glyph->x_offset = in->I16();
        glyph->advance = in->I16();
        if (version >= 4) glyph->kerning = static_cast<int8_t*>(in->Block(old_glyph_count));
        glyph->bitmap.width = in->I16();
        glyph->bitmap.height = in->I16();
        if (version >= 3) glyph->advance = in->I16();
        ReadGlyphPixels(in, glyph, version >= 5);
        if (version <= 2) glyph->advance = int16_t(glyph->bitmap.width + 1);
    }
    return in->Ok();
}

bool ReadVersion6(zk_font_t* font, FontFileReader* in) {
    if (!ReadEncoding(font, in, max_encoding_name, max_encoding_name)) return false;
    ReadMetrics(font, in);
    int32_t count = in->I32();
    if (!in->Ok() || count < 0 || count > max_glyphs || uint64_t(count) * min_glyph_entry > in->Left()) return false;
    if (!ZKI_SetFontGlyphCount(font, count)) return false;
    for (int i = 0; i < count && in->Ok(); ++i) {
        zk_glyph_t* glyph = &font->glyphs[i];
        glyph->code = in->U32();
        glyph->y_offset = in->I16();
        glyph->x_offset = in->I16();
        glyph->advance = in->I16();
        if (in->U8()) glyph->kerning = static_cast<int8_t*>(in->Block(uint32_t(count)));
        glyph->bitmap.width = in->I16();
        glyph->bitmap.height = in->I16();
        ReadGlyphPixels(in, glyph, true);
    }
    return in->Ok();
}

// Writes to a C stream, remembering any failure.
class FontFileWriter {
public:
    explicit FontFileWriter(FILE* stream) : stream(stream), ok(true) {}
    void Bytes(const void* data, size_t size) {
        if (size && fwrite(data, 1, size, stream) != size) ok = false;
    }
    void U8(uint8_t value) { Bytes(&value, 1); }
    void I16(int32_t value) {
        const uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
        Bytes(b, 2);
    }
    void U32(uint32_t value) {
        const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        Bytes(b, 4);
    }
    bool Ok() const { return ok; }

private:
    FILE* stream;
    bool ok;
};

// Pixels go out R, G, B, A whatever the order in memory.
void WriteGlyphPixels(FontFileWriter* out, const zk_bitmap_t& bitmap) {
    size_t count = size_t(bitmap.width) * size_t(bitmap.height);
    bool exchange = zk_state.pixel_byte_order == 1;
    if (exchange) ExchangeRedAndBlue(bitmap.pixels, count);
    out->Bytes(bitmap.pixels, count * 4);
    if (exchange) ExchangeRedAndBlue(bitmap.pixels, count);
}

void WriteFont(FontFileWriter* out, const zk_font_t* font) {
    out->Bytes(written_magic, sizeof written_magic);
    const char* encoding = font->utf8 ? "UTF-8" : "LATIN-1";
    out->Bytes(encoding, strlen(encoding) + 1);
    for (int32_t value : {font->baseline, font->height, font->line_spacing, font->glyph_count}) out->U32(uint32_t(value));
    for (int i = 0; i < font->glyph_count; ++i) {
        const zk_glyph_t& glyph = font->glyphs[i];
        out->U32(glyph.code);
        out->I16(glyph.y_offset);
        out->I16(glyph.x_offset);
        out->I16(glyph.advance);
        out->U8(glyph.kerning ? 1 : 0);
        if (glyph.kerning) out->Bytes(glyph.kerning, size_t(font->glyph_count));
        out->I16(glyph.bitmap.width);
        out->I16(glyph.bitmap.height);
        if (glyph.bitmap.width > 0 && glyph.bitmap.height > 0 && glyph.bitmap.pixels) WriteGlyphPixels(out, glyph.bitmap);
    }
}

// The format stores glyph sizes in 16 bits, and pixels for every glyph
// with a size.
bool FitsTheFormat(const zk_font_t* font) {
    for (int i = 0; i < font->glyph_count; ++i) {
        const zk_bitmap_t& bitmap = font->glyphs[i].bitmap;
        if (bitmap.width < -max_glyph_side - 1 || bitmap.width > max_glyph_side ||
            bitmap.height < -max_glyph_side - 1 || bitmap.height > max_glyph_side) {
            return false;
        }
        if (bitmap.width > 0 && bitmap.height > 0 && !bitmap.pixels) return false;
    }
    return true;
}

}  // namespace

bool ZKI_LoadFontMFT(zk_font_t* font) {
    if (!font || !font->name) return false;
    zk_file_t* file = zk->OpenFile(font->name, "r");
    if (!file) {
        zk->Printf("(not found)");
        return false;
    }
    FontFileReader in(file);
    char magic[magic_size + 1] = {};
    in.Read(magic, magic_size);
    int version = 0;
    for (int i = 0; i < written_version && in.Ok(); ++i) {
        if (memcmp(magic, font_magics[i], magic_size) == 0) version = i + 1;
    }
    if (!version) {
        zk->CloseFile(file);
        zk->Popupf(1, "Font '%s' has unknown or bad header ('%s')\n", font->name, magic);
        return false;
    }
    in.U8();
    bool ok = version < written_version ? ReadVersion1To5(font, &in, version) : ReadVersion6(font, &in);
    zk->CloseFile(file);
    if (!ok) {
        zk->Popupf(1, "Font '%s' is cut short or holds sizes its file cannot hold.\n", font->name);
        ZKI_EmptyFont(font);
    }
    return ok;
}

bool ZKI_SaveFont(zk_font_t* font, const char* path) {
    if (!font) return false;
    zk->Printf("..saving font '%s'..", path ? path : "");
    zk_safe_file_t file;
    if (!FitsTheFormat(font) || !ZKI_OpenSafeFile(&file, path)) {
        zk->Popupf(1, "Failed to save font '%s'\n", path ? path : "");
        return false;
    }
    zk->Printf("\n");
    FontFileWriter out(file.stream);
    WriteFont(&out, font);
    if (!ZKI_CommitSafeFile(&file, !out.Ok())) {
        zk->Popupf(1, "Failed to save font '%s'\n", path);
        return false;
    }
    return true;
}

}  // namespace manifester
