// Automatic kerning: how far the next glyph may move towards the previous
// one before their solid pixels come closer than they are in the tightest
// row.

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/media/font_generation.h"
#include "engine/runtime/state.h"

namespace {

const int kWarnedKern = 120;  // larger offsets hardly fit the file's signed bytes

bool HasPixels(const zk_glyph_t& glyph) {
    return glyph.bitmap.pixels && glyph.bitmap.width > 0 && glyph.bitmap.height > 0;
}

// The character a glyph stands for: its code in UTF-8 fonts, its index in
// LATIN-1 fonts (whose codes may be left 0).
int CharacterOf(const zk_font_t* font, int index) { return font->utf8 ? int(font->glyphs[index].code) : index; }

// Per row of a glyph, the free columns between its edge and its first solid
// pixel seen from that edge (the width when the row has none).
struct RowMargins {
    std::vector<int> from_left, from_right;
};

RowMargins MarginsOf(const zk_bitmap_t& bitmap, float threshold) {
    RowMargins margins;
    margins.from_left.assign(size_t(bitmap.height), bitmap.width);
    margins.from_right.assign(size_t(bitmap.height), bitmap.width);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            if (ZKI_AlphaAt(&bitmap, x, y) * (1.0f / 255.0f) < threshold) continue;
            if (margins.from_left[size_t(y)] == bitmap.width) margins.from_left[size_t(y)] = x;
            margins.from_right[size_t(y)] = bitmap.width - 1 - x;
        }
    }
    return margins;
}

// The smallest margin of the rows that lie within [row - depth, row + depth]
// of the common grid; the glyph's width when none of them is solid.
int NarrowestMargin(const std::vector<int>& margins, int glyph_top, int row, int depth, int width) {
    int narrowest = width;
    for (int r = row - depth; r <= row + depth; ++r) {
        int local = r - glyph_top;
        if (local < 0 || local >= int(margins.size())) continue;
        if (margins[size_t(local)] < narrowest) narrowest = margins[size_t(local)];
    }
    return narrowest;
}

int8_t ToKern(int value) { return int8_t(value < INT8_MIN ? INT8_MIN : value > INT8_MAX ? INT8_MAX : value); }

}  // namespace

bool ZKI_CanGlyphAutoKern(int code) { return code != 32 && code != 45 && code != 95 && code != 160; }

int ZKI_GetGlyphsKernOffset(zk_font_t* font, int left, int right, float threshold, const int& depth) {
    if (!font || !font->glyphs || left < 0 || right < 0 || left >= font->num_glyphs || right >= font->num_glyphs) {
        return 0;
    }
    const zk_glyph_t& a = font->glyphs[left];
    const zk_glyph_t& b = font->glyphs[right];
    if (!HasPixels(a) || !HasPixels(b)) return 0;
    int limit = (a.bitmap.width < b.bitmap.width ? a.bitmap.width : b.bitmap.width) - 1;
    int rows = a.bitmap.height > b.bitmap.height ? a.bitmap.height : b.bitmap.height;
    // Both glyphs on one grid whose origin is the higher of the two tops.
    int top_a = int(std::lround(a.y_offset)), top_b = int(std::lround(b.y_offset));
    int origin = top_a < top_b ? top_a : top_b;
    RowMargins margins_a = MarginsOf(a.bitmap, threshold), margins_b = MarginsOf(b.bitmap, threshold);
    int reach = depth < 0 ? 0 : depth;
    int narrowest = limit;
    for (int row = origin; row < origin + rows; ++row) {
        int gap = NarrowestMargin(margins_a.from_right, top_a, row, reach, a.bitmap.width) +
                  NarrowestMargin(margins_b.from_left, top_b, row, reach, b.bitmap.width);
        if (gap < narrowest) narrowest = gap;
    }
    return -narrowest;
}

void ZKI_DetermineKernPairs(zk_font_t* font, int padding, float threshold, int depth) {
    if (!font || !font->glyphs) return;
    for (int c = 0; c < font->num_glyphs; ++c) {
        int8_t* kern = font->glyphs[c].kern;
        if (!kern) continue;
        int next = CharacterOf(font, c);
        for (int p = 0; p < font->num_glyphs; ++p) {
            int previous = CharacterOf(font, p);
            int entry = padding;
            if (previous != 32 && previous != 160 && ZKI_CanGlyphAutoKern(previous) && ZKI_CanGlyphAutoKern(next)) {
                entry += ZKI_GetGlyphsKernOffset(font, p, c, threshold, depth);
            }
            if (entry > kWarnedKern || entry < -kWarnedKern) {
                zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                              "Sanity check fail: ZKI_DetermineKernPairs for chars #%d and #%d has too large padding "
                              "(%d) and kern_padding (%d) total. Total needs to fit into 8-bit signed int in selected "
                              "mft format!",
                              p, c, entry, padding);
            }
            kern[p] = ToKern(entry);
        }
    }
}
