// The text functions of the graphics table that hold no layout of their
// own: the calling thread's text settings, the font shader, shader texture
// inputs by name, and whether a font can draw a text.

#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/text/text_walk.h"
#include "engine/runtime/threads.h"

namespace {

template <class Glyphs>
bool HasGlyphsFor(const Glyphs& glyphs, const typename Glyphs::Char* text, bool (*needs)(uint32_t),
                  bool (*found)(const Glyphs&, uint32_t)) {
    char buffer[zk_text::kBlockText];
    for (;;) {
        zk_text::Item<typename Glyphs::Char> item = zk_text::ReadItem(text, buffer);
        if (item.kind == zk_text::ITEM_END) return true;
        if (item.kind == zk_text::ITEM_GLYPH && needs(item.code) && !found(glyphs, item.code)) return false;
        text = item.next;
    }
}

// LATIN-1: every printing byte needs a glyph with pixels.
bool PrintingByte(uint32_t c) { return c > ' '; }
bool HasPixelGlyph(const zk_text::Latin1Glyphs& glyphs, uint32_t c) {
    const zk_glyph_t* glyph = glyphs.Find(c);
    return glyph && zk_text::HasPixels(glyph);
}

// UTF-8: every code point needs a glyph.
bool AnyCode(uint32_t) { return true; }
bool HasGlyph(const zk_text::Utf32Glyphs& glyphs, uint32_t c) { return ZKI_FontHasGlyphUTF32(glyphs.font, c); }

}  // namespace

unsigned int ZK_Graphics_GetTextAlign() { return ZKT_ThreadState().text_align; }

void ZK_Graphics_SetTextAlign(const unsigned int& flags) { ZKT_ThreadState().text_align = flags; }

void ZK_Graphics_SetTextHorizontalSpacing(const float& spacing) { ZKT_ThreadState().horizontal_spacing = spacing; }

void ZK_Graphics_SetTextVerticalSpacing(const float& spacing) { ZKT_ThreadState().vertical_spacing = spacing; }

void ZK_Graphics_SetTextboxWidth(const float& width) {
    ZKT_ThreadState().textbox_width = zk_text::BoxWidth(width);
}

void ZK_Graphics_SetTextTransform(const float& sx, const float& sy, const float& angle) {
    zk_thread_state_t& t = ZKT_ThreadState();
    t.text_scale_x = zk_text::AtLeastSmallestScale(sx);
    t.text_scale_y = zk_text::AtLeastSmallestScale(sy);
    t.text_transform_third = angle;
}

void ZK_Graphics_SetFontShader(zk_shader_t* shader) {
    BatchRenderer& batch = zk_batch_renderer;
    if (!shader) {
        batch.font_shader = batch.default_shader;
    } else if (shader->flags & ZK_SHADER_LOADED) {
        batch.font_shader = shader->renderer_shader ? shader : batch.default_shader;
    }
}

int ZK_Graphics_GetTextureInputIndex(zk_shader_t* shader, const char* name) {
    if (!shader || !name) return -1;
    int count = shader->num_texture_inputs;
    if (count > int(sizeof shader->texture_inputs / sizeof shader->texture_inputs[0])) {
        count = int(sizeof shader->texture_inputs / sizeof shader->texture_inputs[0]);
    }
    for (int i = 0; i < count; ++i) {
        const char* input = shader->texture_inputs[i].name;
        if (input && strcmp(input, name) == 0) return i;
    }
    return -1;
}

bool ZKI_FontHasGlyphsToDrawText_LATIN1(zk_font_t* font, const char* text) {
    if (!font || !text) return false;
    return HasGlyphsFor(zk_text::Latin1Glyphs{font}, reinterpret_cast<const unsigned char*>(text), PrintingByte,
                        HasPixelGlyph);
}

bool ZKI_FontHasGlyphsToDrawText_UTF32(zk_font_t* font, const unsigned int* text) {
    if (!font || !text) return false;
    return HasGlyphsFor(zk_text::Utf32Glyphs{font}, text, AnyCode, HasGlyph);
}

bool ZKI_FontHasGlyphsToDrawText(zk_font_t* font, const char* text) {
    if (!font || !text) return false;
    if (!font->utf8) return ZKI_FontHasGlyphsToDrawText_LATIN1(font, text);
    zk_text::Utf32Text decoded(text);
    return decoded.get() && ZKI_FontHasGlyphsToDrawText_UTF32(font, decoded.get());
}

bool ZK_Graphics_FontHasGlyphsToDrawText(zk_font_t* font, const char* text) {
    return ZKI_FontHasGlyphsToDrawText(font, text);
}
