// The font slots: fonts cached by name, loaded from their file or
// generated from source, and the glyph arrays they own.
#include <cstdlib>
#include <cstring>

#include "tools/manifester/fonts.h"

namespace manifester {

namespace {

const int latin1_glyphs = 256;

void FreeGlyphs(zk_font_t* font) {
    for (int i = 0; font->glyphs && i < font->glyph_count; ++i) {
        free(font->glyphs[i].kerning);
        free(font->glyphs[i].bitmap.pixels);
    }
    free(font->glyphs);
    font->glyphs = nullptr;
    font->glyph_count = 0;
}

// The first slot whose font has this name, among those ever taken.
zk_font_t* FindCached(const char* name) {
    if (name[0] == '!') return nullptr;
    for (int i = 0; i < zk_state.used_fonts; ++i) {
        zk_font_t* font = &zk_state.fonts[i];
        if (font->name && strcmp(font->name, name) == 0) return font;
    }
    return nullptr;
}

zk_font_t* TakeFreeSlot() {
    for (int i = 0; i < zk_max_fonts; ++i) {
        if (zk_state.fonts[i].name) continue;
        if (i >= zk_state.used_fonts) zk_state.used_fonts = i + 1;
        return &zk_state.fonts[i];
    }
    return nullptr;
}

}  // namespace

bool ZKI_SetFontGlyphCount(zk_font_t* font, int count) {
    FreeGlyphs(font);
    if (count <= 0) return true;
    font->glyphs = static_cast<zk_glyph_t*>(calloc(size_t(count), sizeof(zk_glyph_t)));
    if (!font->glyphs) return false;
    font->glyph_count = count;
    return true;
}

void ZKI_EmptyFont(zk_font_t* font) {
    font->baseline = font->height = font->line_spacing = 0;
    font->utf8 = zk_state.default_utf8;
    ZKI_SetFontGlyphCount(font, latin1_glyphs);
}

void ZKI_FreeFonts() {
    for (zk_font_t& font : zk_state.fonts) {
        FreeGlyphs(&font);
        free(font.name);
        font.name = nullptr;
    }
}

zk_font_t* ZKI_LoadFont(const char* name) {
    if (!name) return nullptr;
    if (zk_font_t* cached = FindCached(name)) {
        ++cached->reference_count;
        return cached;
    }
    zk_font_t* font = TakeFreeSlot();
    if (!font) {
        zk->Popupf(1, " ! Zekar out of free fonts.\n");
        return nullptr;
    }
    memset(font, 0, sizeof *font);
    font->name = ZKI_StrDup(name);
    font->scale = 1.0f;
    font->reference_count = 1;
    zk->Printf("..caching font '%s' ", name);
    ZKI_EmptyFont(font);
    if (!ZKI_LoadFontByPath(font, name)) {
        zk->Popupf(1, "Unable to load font '%s'.", name);
        ZKI_EmptyFont(font);
    }
    return font;
}

// Generates at most once. Only a name with ".mft" is read, so a font is
// generated and saved only under such a name: saving under any other would
// write over a file that is never read back as a font.
bool ZKI_LoadFontByPath(zk_font_t* font, const char* name) {
    if (strstr(name, "!NONE")) return true;
    bool readable = strstr(name, ".mft") != nullptr;
    for (bool generated = false;; generated = true) {
        if (readable && ZKI_LoadFontMFT(font)) break;
        if (generated || !readable || !ZKI_GenerateFontFromSource(font, 1.0)) {
            zk->Printf("failed: bad or unfound file\n");
            return false;
        }
        zk->SaveFont(font, name);
    }
    // No manifest is read here, so nothing changes the font's scale.
    font->scale = 1.0f;
    zk->Printf("(%dpx)\n", font->height);
    return true;
}

}  // namespace manifester
