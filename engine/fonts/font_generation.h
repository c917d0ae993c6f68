// Fonts generated from source: a picture strip of glyphs (or, in name only,
// a TrueType font) described by a settings XML, the engine database whose
// name is the font's name followed by ".xml" ("fonts/big.mft.xml").
//
// The settings XML holds the array "settings" (nodes by id, each with its
// attribute: VERSION value, INPUT bitmap / ttf / strings / size_px, further
// pictures INPUT@<factor> bitmap, TAGS value, SPACING value,
// AUTO_KERN_THRESHOLD value, Y_SAFEZONE value, LINE_PADDING_OFFSET value,
// FONT_HEIGHT_MULTIPLIER value, Y_OFFSET value, OUTPUT scale,
// DISTANCE_FIELD size_px / spread / smoothing), the array "glyphs" (one node
// per glyph in picture order: id, spacing, span, tags) and optionally
// "effects" (color_top, color_bottom). A word in TAGS or tags counts when it
// stands at the start or after a blank, ',' or ';', and is followed by the
// end, a blank, ',' or ';'.
#pragma once

#include "engine/fonts/fonts.h"
#include "engine/datamodel/datamodel.h"

// Builds the font from its settings XML: glyphs cut out of the picture,
// kerning, vertical metrics, effects. The font is made as a fresh record
// would be, whatever it read or made before. False, with a popup naming the
// reason, when the settings are missing or bad, the picture cannot be read
// or holds no glyphs, or the TrueType road is asked for (not available in
// this engine); the glyphs cut so far stay in the font, and a font whose
// new glyphs were never begun is left as it was.
bool ZKI_GenerateFontFromSource(zk_font_t* font, double input_scale);

// A source file: as named when it exists, else in `dir`, else under
// "../build/"; else the name as given, with a popup. A heap text (free).
char* ZKI_GetFontSourceFullFilePath(const char* file, const char* dir);

// The scale factor of an input picture's id: 1 for "INPUT", the number
// after "INPUT@" ("2x", "0.5", "3/2") otherwise; 1 for a factor that is not
// a positive number.
double ZKIF_GetInputBitmapScaleFactor(const char* id);
// The id of the input picture to draw a font at `scale` from: one of that
// factor (within 0.01), else the larger one of those that need scaling
// down, else the largest. Null when there is no input.
const char* ZKIF_SelectBestInputBitmapForScaling(InnerZK::DMArray* settings, float scale);

// Cuts one glyph per node of `glyphs` out of the picture strip (left to
// right; blocks of columns holding pixels, `span` blocks per glyph) into
// the glyph at index `id` (32..255). False only for a missing picture or
// one without visible pixels.
bool ZKI_LoadGlyphsFromBitmap(zk_font_t* font, zk_bitmap_t* picture, InnerZK::DMArray* glyphs, int spacing,
                              float input_scale);
// Adds each node's spacing (and `spacing`), scaled, to the advance of the
// glyph whose code is the node's id; a glyph with a span of 0 gets it as
// its whole advance.
bool ZKI_SetFontGlyphSpacing(zk_font_t* font, InnerZK::DMArray* glyphs, int spacing, float scale);

// A number from a settings text truncated to a whole number, held within
// +-2^30 (0 for a text that is not a number), so that no setting overflows
// the sums it goes into.
inline int ZKI_TruncateToInt(double value) {
    if (!(value == value)) return 0;
    const double limit = 1073741824.0;
    return int(value < -limit ? -limit : value > limit ? limit : value);
}

// The alpha byte of pixel (x, y), which must lie inside the bitmap.
inline uint8_t ZKI_AlphaAt(const zk_bitmap_t* bitmap, int x, int y) {
    return reinterpret_cast<const uint8_t*>(bitmap->pixels)[(size_t(y) * size_t(bitmap->width) + size_t(x)) * 4 + 3];
}

// True when every alpha byte of the column, row or row span [x0, x1) is 0
// (or lies outside the bitmap).
bool ZKI_IsBitmapColumnFree(zk_bitmap_t* bitmap, int x);
bool ZKI_IsBitmapRowFree(zk_bitmap_t* bitmap, int y);
bool ZKI_IsBitmapRowFreeSpan(zk_bitmap_t* bitmap, int y, int x0, int x1);
// Alpha at or below `limit` becomes 0.
void ZKI_ForceLowAlphaToZero(zk_bitmap_t* bitmap, int limit);

// Fills every kerning table: entry p of glyph c's table is the offset that
// moves c towards a previous glyph p, plus `padding`, held within -128..127.
// Pixels count as solid from alpha `threshold` (0..1); rows are compared
// with `depth` rows above and below.
void ZKI_DetermineKernPairs(zk_font_t* font, int padding, float threshold, int depth);
// The offset (0 or negative) between glyph `left` followed by glyph `right`:
// minus the narrowest free gap between their solid pixels over the rows.
int ZKI_GetGlyphsKernOffset(zk_font_t* font, int left, int right, float threshold, const int& depth);
// False for the characters never kerned: space, '-', '_', no-break space.
bool ZKI_CanGlyphAutoKern(int code);

// A vertical colour gradient over every glyph, one per node of "effects".
void ZKI_ApplyFontEffects(zk_font_t* font, InnerZK::DMArray* effects);
void ZKI_ApplyFontEffect(zk_font_t* font, InnerZK::DMNode* effect);

// Reports (ERROR popups) a font without glyphs and each glyph from code 33
// (but not 160) that has no pixels; true when it reported anything.
bool ZKI_CheckThatAllGlyphsArePresent(zk_font_t* font);

// Replaces the glyph's pixels by their distance field.
void ZKI_GenerateDistanceFieldFromGlyph(zk_glyph_t& glyph, int scale, int spread);

// The TrueType road's steps, not available in this engine: each says so
// in a popup and answers 0.
int ZKI_CreateFontGlyphsArrayFromStrings(zk_font_t* font, const char* strings_xml);
int ZKI_CreateFontGlyphBitmapsFromTTF(zk_font_t* font, const char* ttf_path, int size_px);
int ZKI_CreateFontSourceBitmapFromTTF(zk_font_t* font, const char* ttf_path, int size_px);
