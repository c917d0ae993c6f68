// Glyphs cut out of a picture strip, and automatic kerning from the glyphs'
// pixels.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "tools/manifester/fonts.h"

namespace manifester {

namespace {

// Kerning offsets are stored in signed bytes.
const int min_kerning = -128;
const int max_kerning = 127;
// Offsets whose size passes this are reported.
const int reported_kerning = 120;

inline uint8_t AlphaAt(const zk_bitmap_t* bitmap, int x, int y) {
    return reinterpret_cast<const uint8_t*>(bitmap->pixels)[(size_t(y) * bitmap->width + x) * 4 + 3];
}

bool HasPixels(const zk_bitmap_t& bitmap) { return bitmap.pixels && bitmap.width > 0 && bitmap.height > 0; }

// Counts the blocks of columns with pixels from x on.
int BlocksFrom(const zk_bitmap_t* picture, int x) {
    int blocks = 0;
    while (x < picture->width) {
        while (x < picture->width && ZKI_IsBitmapColumnFree(picture, x)) ++x;
        if (x == picture->width) break;
        ++blocks;
        while (x < picture->width && !ZKI_IsBitmapColumnFree(picture, x)) ++x;
    }
    return blocks;
}

// The pixels of rows [y0, y1] and columns [x0, x1) as the glyph's bitmap.
bool CopyGlyphPixels(zk_glyph_t* glyph, const zk_bitmap_t* picture, int x0, int x1, int y0, int y1) {
    zk_bitmap_t& bitmap = glyph->bitmap;
    int width = x1 - x0, height = y1 + 1 - y0;
    uint32_t* pixels = static_cast<uint32_t*>(malloc(size_t(width) * size_t(height) * 4));
    if (!pixels) return false;
    for (int y = 0; y < height; ++y) {
        memcpy(pixels + size_t(y) * width, picture->pixels + size_t(y0 + y) * picture->width + x0, size_t(width) * 4);
    }
    free(bitmap.pixels);
    bitmap.pixels = pixels;
    bitmap.width = width;
    bitmap.height = height;
    return true;
}

// For each row of a glyph, how far its first solid pixel stands from its
// right edge and from its left edge (-1 for a row without one).
struct KernProfile {
    int width, height, y_offset;
    int* from_right;
    int* from_left;
};

bool MakeProfile(const zk_glyph_t& glyph, float threshold, KernProfile* profile) {
    *profile = KernProfile{};
    const zk_bitmap_t& bitmap = glyph.bitmap;
    if (!HasPixels(bitmap)) return false;
    int* gaps = static_cast<int*>(malloc(sizeof(int) * 2 * size_t(bitmap.height)));
    if (!gaps) return false;
    *profile = {bitmap.width, bitmap.height, glyph.y_offset, gaps, gaps + bitmap.height};
    for (int y = 0; y < bitmap.height; ++y) {
        profile->from_right[y] = profile->from_left[y] = -1;
        for (int x = 0; x < bitmap.width; ++x) {
            if (AlphaAt(&bitmap, x, y) * (1.0f / 255) < threshold) continue;
            if (profile->from_left[y] < 0) profile->from_left[y] = x;
            profile->from_right[y] = bitmap.width - 1 - x;
        }
    }
    return true;
}

void FreeProfile(KernProfile* profile) { free(profile->from_right); }

// Minus the narrowest gap between the two glyphs over the rows compared;
// a row where either glyph has no solid pixel counts the limit for it.
int KernOffset(const KernProfile& left, const KernProfile& right) {
    if (!left.from_right || !right.from_right) return 0;
    int rows = left.height > right.height ? left.height : right.height;
    int origin = left.y_offset < right.y_offset ? left.y_offset : right.y_offset;
    int limit = (left.width < right.width ? left.width : right.width) - 1;
    int narrowest = INT_MAX;
    for (int r = 0; r < rows; ++r) {
        int left_row = origin + r - left.y_offset, right_row = origin + r - right.y_offset;
        int a = left_row >= 0 && left_row < left.height ? left.from_right[left_row] : -1;
        int b = right_row >= 0 && right_row < right.height ? right.from_left[right_row] : -1;
        int gap = (a < 0 ? limit : a) + (b < 0 ? limit : b);
        if (gap < narrowest) narrowest = gap;
    }
    return narrowest == INT_MAX ? -limit : -narrowest;
}

}  // namespace

void ZKI_ForceLowAlphaToZero(zk_bitmap_t* bitmap, int limit) {
    if (!bitmap || !HasPixels(*bitmap)) return;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(bitmap->pixels);
    for (size_t i = 3; i < size_t(bitmap->width) * size_t(bitmap->height) * 4; i += 4) {
        if (bytes[i] <= limit) bytes[i] = 0;
    }
}

bool ZKI_IsBitmapColumnFree(const zk_bitmap_t* bitmap, int x) {
    for (int y = 0; y < bitmap->height; ++y) {
        if (AlphaAt(bitmap, x, y)) return false;
    }
    return true;
}

bool ZKI_IsBitmapRowFree(const zk_bitmap_t* bitmap, int y) { return ZKI_IsBitmapRowFreeSpan(bitmap, y, 0, bitmap->width); }

bool ZKI_IsBitmapRowFreeSpan(const zk_bitmap_t* bitmap, int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) {
        if (AlphaAt(bitmap, x, y)) return false;
    }
    return true;
}

bool ZKI_LoadGlyphsFromBitmap(zk_font_t* font, zk_bitmap_t* picture, ZK_XMLArray* glyphs, int spacing, float scale) {
    if (!font || !picture || !HasPixels(*picture)) return false;
    int top = 0, bottom = picture->height - 1;
    while (top <= bottom && ZKI_IsBitmapRowFree(picture, top)) ++top;
    while (bottom >= top && ZKI_IsBitmapRowFree(picture, bottom)) --bottom;
    if (top > bottom) {
        zk->Popupf(1, "No pixels found in font '%s' input bitmap.\n", font->name);
        return false;
    }
    int count = GetNumberOfNodes(glyphs), x = 0;
    for (int i = 0; i < count; ++i) {
        ZK_XMLNode* node = GetNodeByIndex(glyphs, i);
        const char* id_text = GetValue(node, "id");
        if (!id_text) {
            zk->Popupf(1, "No id defined for glyph #%d in font '%s'\n", i, font->name);
            continue;
        }
        // Glyphs are found by their code in these fonts: only the records
        // of the codes 32 to 255 can take one.
        int id = ZKI_SettingInt(id_text, 0);
        if (id < 32 || id > 255 || id >= font->glyph_count) {
            zk->Popupf(1, "Font '%s' Glyph #%d index %d is out of bounds\n", font->name, i, id);
            continue;
        }
        const char* spacing_text = GetValue(node, "spacing");
        int extra = spacing_text ? ZKI_TruncatedInt(strtod(spacing_text, nullptr) * scale) : 0;
        int span = ZKI_SettingInt(GetValue(node, "span"), 1);
        zk_glyph_t* glyph = &font->glyphs[id];
        if (span == 0) {
            glyph->x_offset = 0;
            glyph->advance = int16_t(extra + spacing);
            continue;
        }
        if (x >= picture->width) {
            zk->Popupf(1, "Input bitmap contains %d glyphs LESS than the XML definition file!\n", count - i);
            return false;
        }
        int x0 = x;
        while (x0 < picture->width - 1 && ZKI_IsBitmapColumnFree(picture, x0)) ++x0;
        int x1 = x0;
        for (int block = 0; block < span && x1 < picture->width; ++block) {
            while (x1 < picture->width && ZKI_IsBitmapColumnFree(picture, x1)) ++x1;
            while (x1 < picture->width && !ZKI_IsBitmapColumnFree(picture, x1)) ++x1;
        }
        int start = top, end = bottom;
        while (start <= end && ZKI_IsBitmapRowFreeSpan(picture, start, x0, x1)) ++start;
        while (end >= start && ZKI_IsBitmapRowFreeSpan(picture, end, x0, x1)) --end;
        if (end < start) {
            zk->Popupf(1, "Sanity check failed: glyph_end_y <= glyph_start_y (%d <= %d). X0=%d X1=%d.\n", end + 1,
                       start, x0, x1);
            return false;
        }
        if (!CopyGlyphPixels(glyph, picture, x0, x1, start, end)) return false;
        glyph->x_offset = 0;
        glyph->y_offset = int16_t(start - top);
        glyph->advance = int16_t(glyph->bitmap.width + extra + spacing);
        x = x1;
    }
    int unused = BlocksFrom(picture, x);
    if (unused) {
        zk->Popupf(1, "Input bitmap has %d unused pixel blocks - all glyphs may not have been read properly!\n", unused);
    }
    return true;
}

bool ZKI_CanGlyphAutoKern(int index) { return index != 32 && index != 45 && index != 95; }

int ZKI_GetGlyphsKernOffset(zk_font_t* font, int left, int right, float threshold) {
    if (!font || left < 0 || right < 0 || left >= font->glyph_count || right >= font->glyph_count) return 0;
    KernProfile profiles[2];
    MakeProfile(font->glyphs[left], threshold, &profiles[0]);
    MakeProfile(font->glyphs[right], threshold, &profiles[1]);
    int offset = KernOffset(profiles[0], profiles[1]);
    FreeProfile(&profiles[0]);
    FreeProfile(&profiles[1]);
    return offset;
}

void ZKI_DetermineKernPairs(zk_font_t* font, int padding, float threshold) {
    if (!font || font->glyph_count <= 0) return;
    int count = font->glyph_count;
    KernProfile* profiles = static_cast<KernProfile*>(calloc(size_t(count), sizeof(KernProfile)));
    if (!profiles) return;
    for (int i = 0; i < count; ++i) MakeProfile(font->glyphs[i], threshold, &profiles[i]);
    for (int right = 0; right < count; ++right) {
        int8_t* row = font->glyphs[right].kerning;
        if (!row) continue;
        for (int left = 0; left < count; ++left) {
            bool kerned = ZKI_CanGlyphAutoKern(left) && ZKI_CanGlyphAutoKern(right);
            int offset = kerned ? KernOffset(profiles[left], profiles[right]) : 0;
            int total = offset + padding;
            if (total > reported_kerning || total < -reported_kerning) {
                zk->Popupf(1,
                           "Sanity check fail: ZKI_DetermineKernPairs for chars #%d and #%d has too large padding "
                           "(%d) and kern_padding (%d) total. Total needs to fit into 8-bit signed int in selected "
                           "mft format!\n",
                           left, right, offset, padding);
            }
            row[left] = int8_t(total < min_kerning ? min_kerning : total > max_kerning ? max_kerning : total);
        }
    }
    for (int i = 0; i < count; ++i) FreeProfile(&profiles[i]);
    free(profiles);
}

}  // namespace manifester
