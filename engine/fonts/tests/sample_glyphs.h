// Glyphs made by hand for the text tests, the text fuzz target and the text
// benchmark: every code above 32 advances 10 (20 from U+0600 on) and has
// an 8x12 bitmap at x offset 1, y offset 2; the blank advances 5 and has no
// pixels; codes below 32 have nothing. Each glyph's UV rectangle starts at
// u = its code, so a drawn quad tells its glyph, and every glyph shares
// one texture object, as glyphs of one atlas do.
#pragma once

#include <cstdint>

#include "engine/fonts/fonts.h"

namespace sample_glyphs {

inline void Set(zk_glyph_t& glyph, uint32_t code, void* texture) {
    const bool printing = code > ' ';
    glyph.code = code;
    glyph.advance = int16_t(printing ? (code >= 0x600 ? 20 : 10) : (code == ' ' ? 5 : 0));
    glyph.x_offset = 1;
    glyph.y_offset = 2.0f;
    glyph.bitmap.width = printing ? 8 : 0;
    glyph.bitmap.height = printing ? 12 : 0;
    glyph.bitmap.hw_data.uv[0] = float(code);
    glyph.bitmap.hw_data.uv[1] = 0.0f;
    glyph.bitmap.hw_data.uv[2] = float(code) + 0.5f;
    glyph.bitmap.hw_data.uv[3] = 1.0f;
    glyph.bitmap.hw_data.renderer_data = texture;
}

// A font record's metrics: height 16, line spacing 20, baseline 12, scale 1.
inline void SetMetrics(zk_font_t& font) {
    font.scale = 1.0f;
    font.height = 16;
    font.line_spacing = 20;
    font.baseline = 12;
}

}  // namespace sample_glyphs
