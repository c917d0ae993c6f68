// What is done to generated glyphs afterwards: colour gradients, the check
// that every glyph is there, distance fields.

#include <cstdint>
#include <cstdlib>

#include "engine/base/types.h"
#include "engine/images/distance_field.h"
#include "engine/fonts/font_generation.h"
#include "engine/runtime/state.h"

using InnerZK::DMArray;
using InnerZK::DMNode;

namespace {

color_t EffectColor(const DMNode* effect, const char* key, color_t otherwise) {
    otherwise.FromHexValue(effect->GetValue(key));
    otherwise.a = 1.0f;
    return otherwise;
}

uint8_t ChannelByte(float value) { return uint8_t(int(value * 255.0f)); }

// The share of the top colour at a height of the line: 0 at its top, 1 at
// its bottom, held there above and below (a glyph may reach past the
// height the font settles on, and a font may have no height at all).
float GradientPosition(float y, int height) {
    if (height <= 0) return 0.0f;
    float t = y / float(height);
    return t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
}

void ColourGlyph(zk_glyph_t& glyph, int height, const color_t& top, const color_t& bottom) {
    zk_bitmap_t& bitmap = glyph.bitmap;
    if (!bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0) return;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(bitmap.pixels);
    for (int y = 0; y < bitmap.height; ++y) {
        float t = GradientPosition(glyph.y_offset + float(y), height);
        color_t c = {top.r * t + bottom.r * (1 - t), top.g * t + bottom.g * (1 - t), top.b * t + bottom.b * (1 - t),
                     top.a * t + bottom.a * (1 - t)};
        for (int x = 0; x < bitmap.width; ++x) {
            uint8_t* p = bytes + (size_t(y) * size_t(bitmap.width) + size_t(x)) * 4;
            p[0] = ChannelByte(c.b);
            p[1] = ChannelByte(c.g);
            p[2] = ChannelByte(c.r);
            p[3] = uint8_t(float(p[3]) * c.a);
        }
    }
}

}  // namespace

void ZKI_ApplyFontEffect(zk_font_t* font, DMNode* effect) {
    if (!font || !effect || !font->glyphs) return;
    color_t top = EffectColor(effect, "color_top", {1, 0, 0, 1});
    color_t bottom = EffectColor(effect, "color_bottom", {0, 0, 1, 1});
    for (int i = 0; i < font->num_glyphs; ++i) ColourGlyph(font->glyphs[i], font->height, top, bottom);
}

void ZKI_ApplyFontEffects(zk_font_t* font, DMArray* effects) {
    for (int i = 0; effects && i < effects->GetNumberOfNodes(); ++i) ZKI_ApplyFontEffect(font, effects->GetNodeByIndex(i));
}

bool ZKI_CheckThatAllGlyphsArePresent(zk_font_t* font) {
    if (!font) return false;
    const char* name = font->name ? font->name : "";
    if (!font->glyphs || font->num_glyphs <= 0) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Font '%s' contains no glyphs!", name);
        return true;
    }
    bool reported = false;
    for (int i = 0; i < font->num_glyphs; ++i) {
        const zk_glyph_t& glyph = font->glyphs[i];
        if (glyph.code < 33 || glyph.code == 160 || glyph.bitmap.pixels) continue;
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Font '%s' glyph #%d unicode %d (0x%x) is missing!", name, i, int(glyph.code),
                      glyph.code);
        reported = true;
    }
    return reported;
}

void ZKI_GenerateDistanceFieldFromGlyph(zk_glyph_t& glyph, int scale, int spread) {
    zk_bitmap_t field = ZKI_GenerateDistanceField(glyph.bitmap, scale, spread);
    free(glyph.bitmap.pixels);
    glyph.bitmap.pixels = field.pixels;
    glyph.bitmap.width = glyph.bitmap.texture_width = field.pixels ? field.width : 0;
    glyph.bitmap.height = glyph.bitmap.texture_height = field.pixels ? field.height : 0;
}
