// zk-manifester's fonts: 32 cached font slots loaded by name, font files of
// versions 1 to 6 read and version 6 written, and fonts generated from a
// settings XML, from a TrueType font or by cutting glyphs out of a picture,
// with automatic kerning.
#pragma once

#include <cstdint>

#include "tools/manifester/runtime.h"
#include "tools/manifester/xml_database.h"

namespace manifester {

// The font named `name`, shared when already cached (names beginning with
// '!' are never shared); else a new slot, loaded or generated. Null when
// all 32 slots are taken; a font that failed to load is returned empty.
zk_font_t* ZKI_LoadFont(const char* name);
// Reads the ".mft" file the name gives; when that fails, generates the
// font from its settings, saves it under the name and reads it back.
bool ZKI_LoadFontByPath(zk_font_t* font, const char* name);
// Reads the file named by the font's name, of version 1 to 6. A file that
// ends early or holds sizes it cannot hold is refused, and the font left
// empty (256 glyphs without pixels).
bool ZKI_LoadFontMFT(zk_font_t* font);
// Writes version 6, through a temporary file renamed into place.
bool ZKI_SaveFont(zk_font_t* font, const char* path);

// Frees the glyphs (pixels and kerning rows) and gives the font `count`
// zeroed glyph records; false when they cannot be allocated.
bool ZKI_SetFontGlyphCount(zk_font_t* font, int count);
// No metrics, the program's default encoding and 256 glyphs without pixels.
void ZKI_EmptyFont(zk_font_t* font);
// Frees every font slot's name and glyphs.
void ZKI_FreeFonts();

// Generation from the settings database named after the font ("%s.xml").
bool ZKI_GenerateFontFromSource(zk_font_t* font, double input_scale);
double ZKIF_GetInputBitmapScaleFactor(const char* id);
const char* ZKIF_SelectBestInputBitmapForScaling(ZK_XMLArray* settings, double scale);
// The code points a font needs: those of the "STRINGS" array of the strings
// database, the letters, digits and common signs, and one character per
// node of `additional`. Makes the font a UTF-8 font.
bool ZKI_CreateFontGlyphsArrayFromStrings(zk_font_t* font, const char* strings_xml, ZK_XMLArray* additional);
// Renders every glyph's code point from the TrueType font through FreeType.
bool ZKI_CreateFontGlyphBitmapsFromTTF(zk_font_t* font, const char* ttf_path, int size_px, int top, const char* style);
// Cuts glyphs out of a picture strip, one per node of `glyphs`.
bool ZKI_LoadGlyphsFromBitmap(zk_font_t* font, zk_bitmap_t* picture, ZK_XMLArray* glyphs, int spacing, float scale);

// Fills every kerning row: entry i of glyph j's row is the offset for glyph
// i followed by glyph j, plus the padding, within -128..127.
void ZKI_DetermineKernPairs(zk_font_t* font, int padding, float threshold);
int ZKI_GetGlyphsKernOffset(zk_font_t* font, int left, int right, float threshold);
bool ZKI_CanGlyphAutoKern(int index);

void ZKI_ForceLowAlphaToZero(zk_bitmap_t* bitmap, int limit);
// True when every alpha byte of the column, row or row span [x0, x1) is 0.
bool ZKI_IsBitmapColumnFree(const zk_bitmap_t* bitmap, int x);
bool ZKI_IsBitmapRowFree(const zk_bitmap_t* bitmap, int y);
bool ZKI_IsBitmapRowFreeSpan(const zk_bitmap_t* bitmap, int y, int x0, int x1);

// A whole number from a settings text (`otherwise` without one) and a
// number truncated, both held within -32767..32767.
int ZKI_SettingInt(const char* text, int otherwise);
int ZKI_TruncatedInt(double value);
// True when `word` stands in the text at its start or after a blank, ','
// or ';', and is followed by the end, a blank, ',' or ';'.
bool ZKI_HasWord(const char* text, const char* word);
// Part `index` of the text split at `separator` into out (at most size - 1
// characters); false when the text has no such part.
bool ZKI_SplitString(const char* text, char separator, int index, char* out, int size);
// The text with every occurrence of `from` replaced by `to`, into out (at
// most size - 1 characters).
void ZKI_ReplaceAll(const char* text, const char* from, const char* to, char* out, int size);

}  // namespace manifester
