// Text: inline blocks, line breaking, measuring and drawing.
//
// LATIN-1 fonts lay out bytes, each the index of its glyph, with kerning.
// UTF-8 fonts lay out code points decoded from the UTF-8 text, found by
// code, without kerning. Lines are wrapped at the calling thread's textbox
// width; everything is measured in the font's own pixels, and the text
// scale, the font's scale and the rotation apply when drawing.
//
// Inline blocks run from one '|' to the next (or to the end of the text):
//   "||"                 a literal '|'
//   "|img src='p' ...|"  an image (a block whose first letter is 'i' or 'I')
//   "|shader='name'|"    the following glyphs drawn with that shader ("NULL":
//                        the font's own again)
//   "|scale=X|"          deprecated: divides the wrap width by X
//   "|RRGGBB|", "|#RRGGBBAA|"  colour (and alpha) of the following glyphs
//
// The text settings (align, rotation, textbox width, scales, spacings) live
// in the calling thread's zk_thread_state: threads that prepare text do not
// disturb each other. Measuring may run on any thread; drawing runs on the
// renderer thread through the batch renderer.
#pragma once

#include <cstdint>

#include "engine/base/types.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/media_records.h"

// zk_thread_state.text_align
enum {
    ZK_TEXT_ALIGN_RIGHT = 1,     // lines end at x
    ZK_TEXT_ALIGN_BOTTOM = 2,    // the text ends at y
    ZK_TEXT_ALIGN_MIDDLE = 4,    // centred vertically on y
    ZK_TEXT_ALIGN_CENTER = 8,    // lines centred on x
};

enum {
    ZK_TEXT_LINES_MEASURED = 1024,  // lines of a LATIN-1 text measured
    ZK_TEXT_LINES = 1023,           // lines of a UTF-8 text measured, and of any text drawn
    ZK_TEXT_BLOCK_VALUE = 560,      // bytes kept of one image-block value
};

// Drawn for a malformed UTF-8 sequence.
const uint32_t ZK_REPLACEMENT_CHARACTER = 0xFFFD;
// Characters above this one need no blank to wrap.
const uint32_t ZK_WRAP_ANYWHERE_ABOVE = 1536;

// --- Inline blocks ------------------------------------------------------------------
// An image block ("img" first, then "src='path'" before the next '|'):
// the bitmap (ZK_Graphics_GetBitmap of the path), or null when the block
// names none. text points at the block's first letter. Each output is
// optional: offset (atoi of "offset=", 0), angle ("angle=" in degrees,
// returned in radians, 0), scale ("scale=", 1.0), colour ("color=" RRGGBB
// with optional '#' and AA; read only when a blank follows the value,
// else the current drawing colour), shader ("shader='name'" before the
// next '|'; null for none and for "NULL").
zk_bitmap_t* ParseImageBlock_LATIN1(const char* text, int* offset, float* angle, float* scale, color_t* colour,
                                    zk_shader_t** shader);

// --- Characters ------------------------------------------------------------------------
// Decodes UTF-8 into code points, ending out with 0; out holds at least
// length + 1 entries (a code point never takes less than a byte). A lead
// byte without all its continuation bytes, a stray continuation byte and
// the bytes 0xF8-0xFF are malformed: each malformed run becomes one
// ZK_REPLACEMENT_CHARACTER. Returns the number of code points.
int ZKI_DecodeUTF8(const char* text, int length, uint32_t* out);

// The low byte of each code point, at most size - 1 of them, ended with 0.
void nStringUTF32ToLatin1(const unsigned int* text, char* out, int size);

// --- Measuring and breaking ---------------------------------------------------------------
// The width of the word that starts at text (the character after a
// break), w_s being the spacing added after every glyph and image.
float GetNextWordLen_LATIN1(zk_font_t* font, const unsigned char* text, float w_s);
float GetNextWordLen_UTF32(zk_font_t* font, const unsigned int* text, float w_s);

// Cut the text into at most max_lines lines no wider than width (in font
// pixels): the character that ends a line becomes 0 in place, starts[i]
// is the start of line i and widths[i] its width. Returns the number of
// lines; a text with more lines than max_lines is cut there. The UTF-32
// breaker may move the text toward its end by one place for each line
// it starts inside a run of characters above U+0600: the buffer must
// hold max_lines entries beyond the text's terminating 0.
int ZKI_ParseTextLines_LATIN1(zk_font_t* font, int width, char* text, unsigned char** starts, float* widths,
                              int max_lines);
int ZKI_ParseTextLines_UTF32(zk_font_t* font, int width, unsigned int* text, unsigned int** starts, float* widths,
                             int max_lines);

// The size the text would be drawn at with the thread's settings; 0 and 0
// for a null font, null or empty text.
void ZKI_GetTextSize(zk_font_t* font, const char* text, float& width, float& height);

// --- Drawing -------------------------------------------------------------------------------
// Draws the text with its top-left (as aligned) at x, y with the font's
// shader; returns the widest line's width in font pixels (0 for a null
// font or an empty text). Renderer thread only.
float ZKI_DrawTextXY(zk_font_t* font, float x, float y, char* text);
float ZKI_DrawTextXY_LATIN1(zk_font_t* font, float x, float y, char* text);
float ZKI_DrawTextXY_UTF8(zk_font_t* font, float x, float y, const char* text);

// One glyph quad in the current colour; nothing while the alpha is 0 or
// less. The T form moves every corner by the matrix about the pivot.
void ZK_DrawTextBatchBitmap(zk_bitmap_t* bitmap, float x, float y);
void ZK_DrawTextBatchBitmapT(zk_bitmap_t* bitmap, float x, float y, mat2_t* matrix, vec2_t* pivot);

// Sets the distance-field shader's pixel constant 0 to the font's
// smoothing over the screen size of one text pixel.
void SetDistanceFieldSmoothing(zk_font_t* font, zk_shader_t* shader);

// Whether the font can draw every character of the text.
bool ZKI_FontHasGlyphsToDrawText(zk_font_t* font, const char* text);
bool ZKI_FontHasGlyphsToDrawText_LATIN1(zk_font_t* font, const char* text);
bool ZKI_FontHasGlyphsToDrawText_UTF32(zk_font_t* font, const unsigned int* text);

// --- The graphics table's text slots ------------------------------------------------------
// Declared with every slot in engine/runtime/interface_functions.h:
// ZK_Graphics_DrawTextf (formats and draws), GetTextHeightf, GetTextSizef,
// GetTextWidthf (format and measure), GetTextAlign and the setters
// SetTextAlign, SetTextHorizontalSpacing, SetTextVerticalSpacing,
// SetTextboxWidth (below 0.1 stored as 64000: no wrapping), SetTextTransform
// (scales below 1e-6 stored as 1e-6), FontHasGlyphsToDrawText,
// SetFontShader (null gives the default shader, a shader loaded in the
// renderer becomes the font shader, any other is ignored) and
// GetTextureInputIndex (-1 for none).
