// Automatic kerning: how far the next glyph may move towards the previous
// one before their solid pixels come closer than they are in the tightest
// row.

#include <cmath>
#include <cstdint>

#include "engine/base/narray.h"
#include "engine/fonts/font_generation.h"
#include "engine/runtime/state.h"

namespace {

const int kWarnedKern = 120;  // larger offsets hardly fit the file's signed bytes

bool HasPixels(const zk_glyph_t& glyph) {
    return glyph.bitmap.pixels && glyph.bitmap.width > 0 && glyph.bitmap.height > 0;
}

// The character a glyph stands for: its code in UTF-8 fonts, its index in
// LATIN-1 fonts (whose codes may be left 0).
int CharacterOf(const zk_font_t* font, int index) { return font->utf8 ? int(font->glyphs[index].code) : index; }

// A glyph as kerning sees it: its rows on the line (top rounded), and per
// row the free columns between each edge and its first solid pixel seen
// from that edge (the width when the row has none).
struct GlyphShape {
    bool solid = false;  // has pixels
    int top = 0, width = 0, height = 0;
    nArray<int> from_left, from_right;
};

void Fill(nArray<int>& array, int count, int value) {
    array.SetMaximumSize(count);
    array.count = count;
    for (int i = 0; i < count; ++i) array.items[i] = value;
}

GlyphShape ShapeOf(const zk_glyph_t& glyph, float threshold) {
    GlyphShape shape;
    const zk_bitmap_t& bitmap = glyph.bitmap;
    if (!HasPixels(glyph)) return shape;
    shape.solid = true;
    shape.top = int(std::lround(glyph.y_offset));
    shape.width = bitmap.width;
    shape.height = bitmap.height;
    Fill(shape.from_left, bitmap.height, bitmap.width);
    Fill(shape.from_right, bitmap.height, bitmap.width);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            if (ZKI_AlphaAt(&bitmap, x, y) * (1.0f / 255.0f) < threshold) continue;
            if (shape.from_left[y] == bitmap.width) shape.from_left[y] = x;
            shape.from_right[y] = bitmap.width - 1 - x;
        }
    }
    return shape;
}

// The smallest margin of the glyph's rows that lie within [row - depth,
// row + depth] of the common grid; the glyph's width when none of them is
// solid.
int NarrowestMargin(const GlyphShape& shape, const nArray<int>& margins, int row, int depth) {
    int64_t first = int64_t(row) - depth - shape.top, last = int64_t(row) + depth - shape.top;
    if (first < 0) first = 0;
    if (last >= shape.height) last = shape.height - 1;
    int narrowest = shape.width;
    for (int64_t r = first; r <= last; ++r) {
        if (margins[int(r)] < narrowest) narrowest = margins[int(r)];
    }
    return narrowest;
}

// Minus the narrowest gap, over the rows, between the left glyph's solid
// pixels and the right one's, at most one less than the narrower width.
int KernOffset(const GlyphShape& left, const GlyphShape& right, int depth) {
    if (!left.solid || !right.solid) return 0;
    int limit = (left.width < right.width ? left.width : right.width) - 1;
    int rows = left.height > right.height ? left.height : right.height;
    int origin = left.top < right.top ? left.top : right.top;
    int reach = depth < 0 ? 0 : depth;
    int narrowest = limit;
    for (int row = origin; row < origin + rows; ++row) {
        int gap = NarrowestMargin(left, left.from_right, row, reach) + NarrowestMargin(right, right.from_left, row, reach);
        if (gap < narrowest) narrowest = gap;
    }
    return -narrowest;
}

int8_t ToKern(int value) { return int8_t(value < INT8_MIN ? INT8_MIN : value > INT8_MAX ? INT8_MAX : value); }

}  // namespace

bool ZKI_CanGlyphAutoKern(int code) { return code != 32 && code != 45 && code != 95 && code != 160; }

int ZKI_GetGlyphsKernOffset(zk_font_t* font, int left, int right, float threshold, const int& depth) {
    if (!font || !font->glyphs || left < 0 || right < 0 || left >= font->num_glyphs || right >= font->num_glyphs) {
        return 0;
    }
    return KernOffset(ShapeOf(font->glyphs[left], threshold), ShapeOf(font->glyphs[right], threshold), depth);
}

void ZKI_DetermineKernPairs(zk_font_t* font, int padding, float threshold, int depth) {
    if (!font || !font->glyphs) return;
    nArray<GlyphShape> shapes;
    shapes.SetMaximumSize(font->num_glyphs);
    for (int i = 0; i < font->num_glyphs; ++i) shapes.InsertLast(ShapeOf(font->glyphs[i], threshold));
    for (int c = 0; c < font->num_glyphs; ++c) {
        int8_t* kern = font->glyphs[c].kern;
        if (!kern) continue;
        int next = CharacterOf(font, c);
        for (int p = 0; p < font->num_glyphs; ++p) {
            int previous = CharacterOf(font, p);
            int entry = padding;
            if (previous != 32 && previous != 160 && ZKI_CanGlyphAutoKern(previous) && ZKI_CanGlyphAutoKern(next)) {
                entry += KernOffset(shapes[p], shapes[c], depth);
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
