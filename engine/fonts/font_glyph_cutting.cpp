// Glyphs cut out of a picture strip, and the spacing added to them.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/fonts/font_generation.h"
#include "engine/images/image_sampling.h"
#include "engine/runtime/state.h"

using InnerZK::DMArray;
using InnerZK::DMNode;

namespace {

const int kFirstCutGlyph = 32;
const int kLastCutGlyph = 255;

bool HasPixels(const zk_bitmap_t* bitmap) {
    return bitmap && bitmap->pixels && bitmap->width > 0 && bitmap->height > 0;
}

const char* FontName(const zk_font_t* font) { return font->name ? font->name : ""; }
const char* PictureName(const zk_bitmap_t* picture) { return picture->name ? picture->name : "unknown"; }

int16_t ToAdvance(int64_t value) { return int16_t(value < INT16_MIN ? INT16_MIN : value > INT16_MAX ? INT16_MAX : value); }

// A node's extra pixels at the scale: value * scale + rounding, truncated;
// a value of 1 or more never vanishes.
int ScaledPixels(double value, double scale, double rounding) {
    int pixels = ZKI_TruncateToInt(value * scale + rounding);
    return pixels == 0 && value >= 1 ? 1 : pixels;
}

double NodeNumber(const DMNode* node, const char* key) {
    const char* text = node->GetValue(key);
    return text ? atof(text) : 0.0;
}

// The first column from x that holds a pixel (or the width).
int SkipFreeColumns(zk_bitmap_t* picture, int x) {
    while (x < picture->width && ZKI_IsBitmapColumnFree(picture, x)) ++x;
    return x;
}
int SkipUsedColumns(zk_bitmap_t* picture, int x) {
    while (x < picture->width && !ZKI_IsBitmapColumnFree(picture, x)) ++x;
    return x;
}

int CountBlocksFrom(zk_bitmap_t* picture, int x) {
    int blocks = 0;
    for (x = SkipFreeColumns(picture, x); x < picture->width; x = SkipFreeColumns(picture, SkipUsedColumns(picture, x))) {
        ++blocks;
    }
    return blocks;
}

// The picture's rows [first, last] that hold a pixel in columns [x0, x1);
// false when none does.
bool UsedRows(zk_bitmap_t* picture, int first, int last, int x0, int x1, int* start, int* end) {
    *start = first;
    while (*start <= last && ZKI_IsBitmapRowFreeSpan(picture, *start, x0, x1)) ++*start;
    *end = last;
    while (*end >= *start && ZKI_IsBitmapRowFreeSpan(picture, *end, x0, x1)) --*end;
    return *start <= *end;
}

void CopyGlyphPixels(zk_glyph_t* glyph, zk_bitmap_t* picture, int x0, int y0, int width, int height) {
    zk_bitmap_t& bitmap = glyph->bitmap;
    free(bitmap.pixels);
    bitmap.pixels = ZKI_AllocatePixelBlock(width, height);
    if (!bitmap.pixels) {
        bitmap.width = bitmap.height = 0;
        return;
    }
    for (int y = 0; y < height; ++y) {
        memcpy(bitmap.pixels + size_t(y) * width, picture->pixels + size_t(y0 + y) * picture->width + x0,
               size_t(width) * 4);
    }
    bitmap.width = bitmap.texture_width = width;
    bitmap.height = bitmap.texture_height = height;
    bitmap.flags |= ZK_BITMAP_HAS_ALPHA;
}

// A glyph without pixels (the blank): its advance only.
void SetBlankGlyph(zk_glyph_t* glyph, int advance) {
    glyph->x_offset = 0;
    glyph->advance = ToAdvance(advance);
}

}  // namespace

bool ZKI_IsBitmapColumnFree(zk_bitmap_t* bitmap, int x) {
    if (!HasPixels(bitmap) || x < 0 || x >= bitmap->width) return true;
    for (int y = 0; y < bitmap->height; ++y) {
        if (ZKI_AlphaAt(bitmap, x, y)) return false;
    }
    return true;
}

bool ZKI_IsBitmapRowFreeSpan(zk_bitmap_t* bitmap, int y, int x0, int x1) {
    if (!HasPixels(bitmap) || y < 0 || y >= bitmap->height) return true;
    if (x0 < 0) x0 = 0;
    if (x1 > bitmap->width) x1 = bitmap->width;
    for (int x = x0; x < x1; ++x) {
        if (ZKI_AlphaAt(bitmap, x, y)) return false;
    }
    return true;
}

bool ZKI_IsBitmapRowFree(zk_bitmap_t* bitmap, int y) {
    return ZKI_IsBitmapRowFreeSpan(bitmap, y, 0, bitmap ? bitmap->width : 0);
}

void ZKI_ForceLowAlphaToZero(zk_bitmap_t* bitmap, int limit) {
    if (!HasPixels(bitmap)) return;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(bitmap->pixels);
    size_t count = size_t(bitmap->width) * size_t(bitmap->height);
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i * 4 + 3] <= limit) bytes[i * 4 + 3] = 0;
    }
}

bool ZKI_LoadGlyphsFromBitmap(zk_font_t* font, zk_bitmap_t* picture, DMArray* glyphs, int spacing,
                              float input_scale) {
    if (!font || !glyphs || !HasPixels(picture)) return false;
    ZKI_FixAlphaBleeding(picture);
    int top = 0, bottom = 0;
    if (!UsedRows(picture, 0, picture->height - 1, 0, picture->width, &top, &bottom)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "No pixels found in font '%s' input bitmap.", FontName(font));
        return false;
    }
    int count = glyphs->GetNumberOfNodes();
    int x = 0;
    int node = 0;
    for (; node < count; ++node) {
        DMNode* description = glyphs->GetNodeByIndex(node);
        const char* id_text = description->GetValue("id");
        if (!id_text) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "No id defined for glyph #%d in font '%s'", node, FontName(font));
            continue;
        }
        int id = atoi(id_text);
        if (id < kFirstCutGlyph || id > kLastCutGlyph || id >= font->num_glyphs) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' Glyph #%d index %d is out of bounds", FontName(font), node, id);
            continue;
        }
        zk_glyph_t* glyph = &font->glyphs[id];
        int extra = ScaledPixels(NodeNumber(description, "spacing"), input_scale, 0.5);
        const char* span_text = description->GetValue("span");
        int span = span_text ? atoi(span_text) : 1;
        if (span == 0) {
            SetBlankGlyph(glyph, int64_t(extra) + spacing);
            continue;
        }
        if (x >= picture->width) break;

        int x0 = SkipFreeColumns(picture, x);
        if (x0 >= picture->width) x0 = picture->width - 1;
        int x1 = x0;
        for (int block = 0; block < span && x1 < picture->width; ++block) {
            x1 = SkipUsedColumns(picture, SkipFreeColumns(picture, x1));
        }
        int start = 0, end = 0;
        if (!UsedRows(picture, top, bottom, x0, x1, &start, &end)) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                          "Sanity check failed for glyph (%d/%d): glyph_end_y <= glyph_start_y (%d <= %d). X0=%d "
                          "X1=%d. Hint: check the (\") character on different inputs.",
                          node + 1, count, end + 1, start, x0, x1);
            x = x1 > x ? x1 : x + 1;  // an empty range leaves the glyph without pixels
            continue;
        }
        CopyGlyphPixels(glyph, picture, x0, start, x1 - x0, end + 1 - start);
        glyph->x_offset = 0;
        glyph->y_offset = float(start - top);
        glyph->advance = ToAdvance(int64_t(x1 - x0) + extra + spacing);
        x = x1;
    }
    if (node < count) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Input bitmap for '%s' contains %d glyphs LESS than the XML definition file!",
                      PictureName(picture), count - node);
    }
    int unused = CountBlocksFrom(picture, x);
    if (unused > 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Input bitmap for '%s' has %d unused pixel blocks - all glyphs may not have been read properly! "
                      "Hint: check the (\") character on different inputs.",
                      PictureName(picture), unused);
    }
    return true;
}

bool ZKI_SetFontGlyphSpacing(zk_font_t* font, DMArray* glyphs, int spacing, float scale) {
    if (!font || !glyphs) return false;
    for (int node = 0; node < glyphs->GetNumberOfNodes(); ++node) {
        DMNode* description = glyphs->GetNodeByIndex(node);
        const char* id_text = description->GetValue("id");
        if (!id_text) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "No id defined for glyph #%d in font '%s'", node, FontName(font));
            continue;
        }
        uint32_t code = uint32_t(atoi(id_text));
        int extra = ScaledPixels(NodeNumber(description, "spacing") + spacing, scale, 0.6);
        const char* span = description->GetValue("span");
        for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
            zk_glyph_t* glyph = &font->glyphs[i];
            if (glyph->code != code) continue;
            if (span && atoi(span) == 0) {
                SetBlankGlyph(glyph, extra);
            } else {
                glyph->advance = ToAdvance(int64_t(glyph->advance) + extra);
            }
            break;
        }
    }
    return true;
}
