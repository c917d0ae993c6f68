#include "engine/fonts/tests/font_file_builder.h"

#include <cstring>

namespace font_test {

namespace {

void Put(Bytes* out, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

void PutFloat(Bytes* out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    Put(out, bits, 4);
}

void PutText(Bytes* out, const std::string& text) {
    out->insert(out->end(), text.begin(), text.end());
    out->push_back(0);
}

void PutKerning(Bytes* out, const std::vector<int8_t>& kern, size_t length) {
    for (size_t i = 0; i < length; ++i) out->push_back(uint8_t(i < kern.size() ? kern[i] : 0));
}

void PutOldGlyph(Bytes* out, int version, const GlyphEntry& g) {
    Put(out, uint16_t(int16_t(g.y_offset)), 2);
    if (version >= 2) Put(out, uint16_t(g.x_offset), 2);
    Put(out, uint16_t(g.advance), 2);
    if (version >= 4) PutKerning(out, g.kern, 256);
    Put(out, uint16_t(g.width), 2);
    Put(out, uint16_t(g.height), 2);
    if (version >= 3) Put(out, uint16_t(g.late_advance), 2);
    out->insert(out->end(), g.pixels.begin(), g.pixels.end());
}

void PutGlyph(Bytes* out, int version, const GlyphEntry& g, size_t count) {
    Put(out, g.code, 4);
    if (version >= 7) {
        PutFloat(out, g.y_offset);
    } else {
        Put(out, uint16_t(int16_t(g.y_offset)), 2);
    }
    Put(out, uint16_t(g.x_offset), 2);
    Put(out, uint16_t(g.advance), 2);
    out->push_back(g.kern.empty() ? 0 : 1);
    if (!g.kern.empty()) PutKerning(out, g.kern, count);
    Put(out, uint16_t(g.width), 2);
    Put(out, uint16_t(g.height), 2);
    out->insert(out->end(), g.pixels.begin(), g.pixels.end());
}

}  // namespace

Bytes FontFileBytes(const FontDescription& font) {
    Bytes out;
    std::string magic = font.magic.empty() ? "OLK_Font_v" : font.magic;
    out.insert(out.end(), magic.begin(), magic.end());
    out.push_back(uint8_t('0' + font.version));
    out.push_back(0);
    PutText(&out, font.encoding);
    Put(&out, uint32_t(font.baseline), 4);
    Put(&out, uint32_t(font.height), 4);
    Put(&out, uint32_t(font.line_spacing), 4);
    if (font.version < 6) {
        out.insert(out.end(), 256, 0xA5);  // the table readers skip
        for (size_t i = 0; i < 256; ++i) PutOldGlyph(&out, font.version, i < font.glyphs.size() ? font.glyphs[i] : GlyphEntry());
        return out;
    }
    if (font.version >= 7) {
        PutFloat(&out, font.spread);
        PutFloat(&out, font.smoothing);
        PutFloat(&out, font.scale);
    }
    Put(&out, uint64_t(font.stated_count >= 0 ? font.stated_count : int64_t(font.glyphs.size())), 4);
    for (const GlyphEntry& g : font.glyphs) PutGlyph(&out, font.version, g, font.glyphs.size());
    return out;
}

GlyphEntry PatternGlyph(uint32_t code, int16_t width, int16_t height, uint8_t seed) {
    GlyphEntry g;
    g.code = code;
    g.width = width;
    g.height = height;
    for (int i = 0; i < width * height * 4; ++i) g.pixels.push_back(uint8_t(seed + i));
    return g;
}

Bytes TgaFromArt(const std::vector<std::string>& rows, int zoom, uint8_t c0, uint8_t c1, uint8_t c2) {
    int width = int(rows[0].size()) * zoom, height = int(rows.size()) * zoom;
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put(&out, uint16_t(width), 2);
    Put(&out, uint16_t(height), 2);
    out.push_back(32);
    out.push_back(0x28);  // rows top first, 8 alpha bits
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool set = rows[size_t(y / zoom)][size_t(x / zoom)] == 'X';
            Bytes pixel = set ? Bytes{c0, c1, c2, 255} : Bytes{0, 0, 0, 0};
            out.insert(out.end(), pixel.begin(), pixel.end());
        }
    }
    return out;
}

}  // namespace font_test
