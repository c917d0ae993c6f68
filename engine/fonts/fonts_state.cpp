// The fonts state (per-font glyph extensions) and glyph look-up by code
// point.

#include "engine/base/clock.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/state.h"

zk_fonts_state_t zk_fonts_state;

zk_fonts_state_t::~zk_fonts_state_t() {
    // The extension records are ours; their glyphs belong to whoever added
    // them.
    for (int i = 0; i < extensions.count; ++i) delete extensions.items[i];
}

void zk_fonts_state_t::FreeGPUResources() {
    for (int i = 0; i < extensions.count; ++i) {
        nArray<zk_glyph_t*>& glyphs = extensions.items[i]->glyphs;
        for (int g = 0; g < glyphs.count; ++g) {
            zk_bitmap_t::hw_data_t& hw = glyphs.items[g]->bitmap.hw_data;
            if (hw.loaded) ZKI_CallRendererToFreeBitmap(&hw);
        }
    }
}

zk_font_extension_t* zk_fonts_state_t::GetFontExtensionForFont(zk_font_t* font) {
    for (int i = 0; i < extensions.count; ++i) {
        if (extensions.items[i]->font == font) return extensions.items[i];
    }
    zk_font_extension_t* extension = new zk_font_extension_t();
    extension->font = font;
    extensions.InsertLast(extension);
    return extension;
}

void ZKI_InitializeFonts() { zk_fonts_state.dynamic_glyphs = 0; }

namespace {

zk_glyph_t* FindGlyph(zk_font_t* font, uint32_t code) {
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        if (font->glyphs[i].code == code) return &font->glyphs[i];
    }
    if (!zk_fonts_state.dynamic_glyphs) return nullptr;
    nArray<zk_glyph_t*>& extra = zk_fonts_state.GetFontExtensionForFont(font)->glyphs;
    for (int i = 0; i < extra.count; ++i) {
        if (extra.items[i]->code == code) return extra.items[i];
    }
    return nullptr;
}

}  // namespace

zk_glyph_t* ZKI_GetFontGlyphUTF32(zk_font_t* font, uint32_t code) {
    if (!font) return nullptr;
    zk_glyph_t* glyph = FindGlyph(font, code);
    if (!glyph && !zk_fonts_state.dynamic_glyphs) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' Missing unicode %d (0x%x) ('%c')", font->name ? font->name : "",
                      int(code), code, int(code & 0xFF));
    }
    return glyph;
}

bool ZKI_FontHasGlyphUTF32(zk_font_t* font, uint32_t code) { return font && FindGlyph(font, code) != nullptr; }
