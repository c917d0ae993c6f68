// Glyphs rendered from a TrueType font through FreeType: 8-bit grey
// coverage becomes white pixels with the coverage, strengthened, as alpha.
#include "tools/manifester/font_truetype.h"

#include <cstdlib>
#include <cstring>

#include "tools/manifester/fonts.h"

namespace manifester {

FT_Error (*zk_init_freetype)(FT_Library* library) = FT_Init_FreeType;

namespace {

// Coverage is strengthened by half, as thin strokes come out faint.
const double alpha_gain = 1.5;
const double blank_share = 0.4;  // of the size, for the space and some wide punctuation
const uint32_t space = 32, ideographic_full_stop = 0x3002, fullwidth_comma = 0xFF0C;
const int max_glyph_side = 32767;

const struct {
    const char* word;
    FT_Long flag;
} style_words[] = {{"BOLD", FT_STYLE_FLAG_BOLD}, {"ITALIC", FT_STYLE_FLAG_ITALIC}};

}  // namespace

bool ZKI_PixelsFromCoverage(const FT_Bitmap& coverage, zk_bitmap_t* bitmap) {
    int width = int(coverage.width), height = int(coverage.rows);
    bitmap->width = width;
    bitmap->height = height;
    if (width < 1 || height < 1) return true;
    uint8_t* pixels = static_cast<uint8_t*>(malloc(size_t(width) * size_t(height) * 4));
    if (!pixels) return false;
    const uint8_t* row = coverage.buffer;
    if (coverage.pitch < 0) row -= ptrdiff_t(coverage.pitch) * (height - 1);
    for (int y = 0; y < height; ++y, row += coverage.pitch) {
        for (int x = 0; x < width; ++x) {
            uint8_t* out = pixels + (size_t(y) * width + x) * 4;
            int alpha = int(row[x] * alpha_gain);
            out[0] = out[1] = out[2] = 255;
            out[3] = uint8_t(alpha > 255 ? 255 : alpha);
        }
    }
    bitmap->pixels = reinterpret_cast<uint32_t*>(pixels);
    return true;
}

namespace {

bool RenderGlyph(FT_Face face, zk_glyph_t* glyph, int size_px, int top) {
    FT_Error error = FT_Load_Char(face, glyph->code, FT_LOAD_RENDER);
    if (error) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF::FT_Load_Char unicode %d error %d\n", int(glyph->code), error);
        return false;
    }
    const FT_Bitmap& coverage = face->glyph->bitmap;
    if (coverage.pixel_mode != FT_PIXEL_MODE_GRAY || coverage.width > unsigned(max_glyph_side) ||
        coverage.rows > unsigned(max_glyph_side)) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF: glyph of unicode %d cannot be used (%ux%u, pixel mode %d)\n",
                   int(glyph->code), coverage.width, coverage.rows, int(coverage.pixel_mode));
        return false;
    }
    free(glyph->bitmap.pixels);
    glyph->bitmap.pixels = nullptr;
    if (!ZKI_PixelsFromCoverage(coverage, &glyph->bitmap)) return false;
    int blank = int(size_px * blank_share);
    glyph->x_offset = 0;
    glyph->y_offset = int16_t(top - face->glyph->bitmap_top);
    glyph->advance = int16_t(glyph->bitmap.width);
    if (glyph->code == space) glyph->advance = int16_t(blank);
    if (glyph->code == ideographic_full_stop || glyph->code == fullwidth_comma) glyph->advance = int16_t(glyph->advance + blank);
    return true;
}

}  // namespace

bool ZKI_CreateFontGlyphBitmapsFromTTF(zk_font_t* font, const char* ttf_path, int size_px, int top, const char* style) {
    FT_Library library;
    FT_Error error = zk_init_freetype(&library);
    if (error) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF::FT_Init_FreeType error %d\n", error);
        return false;
    }
    FT_Face face;
    error = FT_New_Face(library, ttf_path, 0, &face);
    if (error) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF::FT_New_Face error %d. Does the font file and path '%s' exist?\n",
                   error, ttf_path);
        FT_Done_FreeType(library);
        return false;
    }
    bool made = true;
    error = FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    if (error) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF::FT_Select_Charmap error %d\n", error);
        made = false;
    }
    if (made && (error = FT_Set_Pixel_Sizes(face, 0, FT_UInt(size_px)))) {
        zk->Popupf(1, "ZKI_CreateFontGlyphBitmapsFromTTF::FT_Set_Pixel_Sizes error %d\n", error);
    }
    for (const auto& s : style_words) {
        if (ZKI_HasWord(style, s.word)) face->style_flags |= s.flag;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    for (int i = 0; made && i < font->glyph_count; ++i) RenderGlyph(face, &font->glyphs[i], size_px, top);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return made;
}

}  // namespace manifester
