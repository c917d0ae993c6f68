#include "tools/manifester/tests/font_files.h"

#include <cstring>

namespace manifester_test {

namespace {

void Put16(Bytes* out, int value) {
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void Put32(Bytes* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

void PutHeader(Bytes* out, int version, const FontFile& font) {
    std::string magic = "OLK_Font_v" + std::to_string(version);
    out->insert(out->end(), magic.begin(), magic.end());
    out->push_back(0);
    out->insert(out->end(), font.encoding.begin(), font.encoding.end());
    out->push_back(0);
    Put32(out, uint32_t(font.baseline));
    Put32(out, uint32_t(font.height));
    Put32(out, uint32_t(font.line_spacing));
}

class Reader {
public:
    explicit Reader(const Bytes& bytes) : bytes(bytes) {}
    bool Take(size_t n, const uint8_t** at) {
        if (bytes.size() - offset < n) return false;
        *at = bytes.data() + offset;
        offset += n;
        return true;
    }
    bool U8(uint8_t* value) {
        const uint8_t* at;
        if (!Take(1, &at)) return false;
        *value = at[0];
        return true;
    }
    bool I16(int16_t* value) {
        const uint8_t* at;
        if (!Take(2, &at)) return false;
        *value = int16_t(uint16_t(at[0] | at[1] << 8));
        return true;
    }
    bool U32(uint32_t* value) {
        const uint8_t* at;
        if (!Take(4, &at)) return false;
        *value = uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
        return true;
    }
    bool AtEnd() const { return offset == bytes.size(); }

private:
    const Bytes& bytes;
    size_t offset = 0;
};

}  // namespace

Bytes WriteFontVersion6(const FontFile& font) {
    Bytes out;
    PutHeader(&out, 6, font);
    Put32(&out, uint32_t(font.glyphs.size()));
    for (const FontFileGlyph& g : font.glyphs) {
        Put32(&out, g.code);
        Put16(&out, g.y_offset);
        Put16(&out, g.x_offset);
        Put16(&out, g.advance);
        out.push_back(g.kerning.empty() ? 0 : 1);
        for (int8_t k : g.kerning) out.push_back(uint8_t(k));
        Put16(&out, g.width);
        Put16(&out, g.height);
        out.insert(out.end(), g.pixels.begin(), g.pixels.end());
    }
    return out;
}

Bytes WriteOldFontVersion(int version, const FontFile& font) {
    Bytes out;
    PutHeader(&out, version, font);
    out.insert(out.end(), 256, 0x5A);  // the table readers skip
    for (size_t i = 0; i < 256; ++i) {
        FontFileGlyph g = i < font.glyphs.size() ? font.glyphs[i] : FontFileGlyph();
        Put16(&out, g.y_offset);
        if (version >= 2) Put16(&out, g.x_offset);
        Put16(&out, g.advance);
        if (version >= 4) {
            for (size_t k = 0; k < 256; ++k) out.push_back(uint8_t(k < g.kerning.size() ? g.kerning[k] : 0));
        }
        Put16(&out, g.width);
        Put16(&out, g.height);
        if (version >= 3) Put16(&out, g.advance);
        out.insert(out.end(), g.pixels.begin(), g.pixels.end());
    }
    return out;
}

bool ReadFontVersion6(const Bytes& file, FontFile* font) {
    static const char magic[] = "OLK_Font_v6";
    Reader in(file);
    const uint8_t* at;
    if (!in.Take(sizeof magic, &at) || memcmp(at, magic, sizeof magic) != 0) return false;
    font->encoding.clear();
    for (uint8_t c = 1; c != 0;) {
        if (!in.U8(&c)) return false;
        if (c) font->encoding += char(c);
    }
    uint32_t baseline, height, line_spacing, count;
    if (!in.U32(&baseline) || !in.U32(&height) || !in.U32(&line_spacing) || !in.U32(&count)) return false;
    font->baseline = int32_t(baseline);
    font->height = int32_t(height);
    font->line_spacing = int32_t(line_spacing);
    font->glyphs.assign(count, FontFileGlyph());
    for (FontFileGlyph& g : font->glyphs) {
        uint8_t kerned;
        if (!in.U32(&g.code) || !in.I16(&g.y_offset) || !in.I16(&g.x_offset) || !in.I16(&g.advance) || !in.U8(&kerned)) {
            return false;
        }
        if (kerned) {
            if (!in.Take(count, &at)) return false;
            g.kerning.assign(reinterpret_cast<const int8_t*>(at), reinterpret_cast<const int8_t*>(at) + count);
        }
        if (!in.I16(&g.width) || !in.I16(&g.height)) return false;
        if (g.width > 0 && g.height > 0) {
            size_t size = size_t(g.width) * size_t(g.height) * 4;
            if (!in.Take(size, &at)) return false;
            g.pixels.assign(at, at + size);
        }
    }
    return in.AtEnd();
}

}  // namespace manifester_test
