// How text layout, drawing and the glyph check walk a text: the calling
// thread's settings read with their guards, the items of a text (glyphs and
// inline blocks), and the two encodings' ways of finding glyphs.
// Internal to the text files.
#pragma once

#include <cstdint>

#include "engine/base/types.h"
#include "engine/fonts/fonts.h"
#include "engine/text/text.h"

namespace zk_text {

// --- Settings ------------------------------------------------------------------------
// Text scales are at least this; a smaller box width than kSmallestBoxWidth
// means the text is not wrapped, which the box width kUnwrappedBoxWidth
// gives.
const float kSmallestTextScale = 1e-6f;
const float kSmallestBoxWidth = 0.1f;
const float kUnwrappedBoxWidth = 64000.0f;

inline float AtLeastSmallestScale(float scale) { return scale >= kSmallestTextScale ? scale : kSmallestTextScale; }
inline float BoxWidth(float width) { return width >= kSmallestBoxWidth ? width : kUnwrappedBoxWidth; }

struct Settings {
    uint32_t align;
    float angle;
    float box_width;   // 64000 when no width was given
    float scale_x, scale_y;
    float horizontal_spacing, vertical_spacing;
};
// The calling thread's text settings; scales are at least 1e-6 and a box
// width below 0.1 (a thread that never set one) means no wrapping.
Settings CurrentSettings();

// The font's scale, or 1 when it is not a positive finite number: it
// divides image widths and the wrap width.
float FontScale(const zk_font_t* font);
// The wrap width in the font's pixels: the box width over text scale x
// times the font's scale, held within an int.
int WrapWidth(const zk_font_t* font, const Settings& settings);

bool IsDistanceFieldFont(const zk_font_t* font);

// --- Inline blocks -------------------------------------------------------------------------
enum ItemKind { ITEM_END, ITEM_GLYPH, ITEM_IMAGE, ITEM_SHADER, ITEM_SCALE, ITEM_COLOR };

// Enough for a block turned into LATIN-1: 1023 characters and a 0.
enum { kBlockText = 1024 };

// One step through a text: a glyph (its code; "||" is the glyph '|') or
// a block, whose content (in LATIN-1, ending at a '|' or 0) is given.
template <class Char>
struct Item {
    ItemKind kind;
    uint32_t code;
    const char* content;
    const Char* next;
};

ItemKind BlockKind(const char* content);

template <class Char>
inline const Char* BlockEnd(const Char* content) {
    while (*content && *content != '|') ++content;
    return content;
}

// LATIN-1 text is its own block content; UTF-32 blocks are turned into
// LATIN-1 (at most 1023 characters) in the buffer.
inline const char* BlockContent(const unsigned char* content, const unsigned char*, char*) {
    return reinterpret_cast<const char*>(content);
}
inline const char* BlockContent(const unsigned int* content, const unsigned int* end, char* buffer) {
    int64_t length = end - content;
    nStringUTF32ToLatin1(content, buffer, int(length < kBlockText - 1 ? length : kBlockText - 1) + 1);
    return buffer;
}

template <class Char>
inline Item<Char> ReadItem(const Char* text, char* buffer) {
    if (*text == 0) return {ITEM_END, 0, nullptr, text};
    if (*text != '|') return {ITEM_GLYPH, uint32_t(*text), nullptr, text + 1};
    if (text[1] == '|') return {ITEM_GLYPH, uint32_t('|'), nullptr, text + 2};
    const Char* end = BlockEnd(text + 1);
    const char* content = BlockContent(text + 1, end, buffer);
    return {BlockKind(content), 0, content, *end ? end + 1 : end};
}

// A colour block: false when it holds fewer than six digits; has_alpha
// when it holds eight.
bool ParseColorBlock(const char* content, color_t& colour, bool& has_alpha);
// The name of a "shader='" block, cut to size - 1 characters.
void ShaderBlockName(const char* content, char* name, int size);
// The divisor of a "scale=" block; false when it is not a positive finite
// number. Warns in developer mode that the block is deprecated.
bool ScaleBlockDivisor(const char* content, float& divisor);
// The width an image block takes in a line (its scale over the font's,
// times its bitmap's width); false when the block names no bitmap.
bool ImageBlockWidth(zk_font_t* font, const char* content, float& width);

// --- Glyphs ----------------------------------------------------------------------------------
inline bool HasPixels(const zk_glyph_t* glyph) { return glyph->bitmap.width > 0 && glyph->bitmap.height > 0; }

// LATIN-1: bytes index the glyphs, and kerning tables are indexed by the
// previous byte; a font may hold fewer than 256 glyphs, and a glyph may
// have no kerning table.
struct Latin1Glyphs {
    typedef unsigned char Char;
    static const bool kWrapsAnywhere = false;

    zk_font_t* font;

    zk_glyph_t* Find(uint32_t code) const {
        return code < uint32_t(font->num_glyphs) && font->glyphs ? &font->glyphs[code] : nullptr;
    }
    zk_glyph_t* FindSilently(uint32_t code) const { return Find(code); }
    float Kern(const zk_glyph_t* glyph, uint32_t previous) const {
        return glyph->kern && previous < uint32_t(font->num_glyphs) ? glyph->kern[previous] : 0.0f;
    }
    static bool IsBreak(uint32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    float BlankAdvance() {
        const zk_glyph_t* blank = Find(' ');
        return blank ? blank->advance : 0.0f;
    }
};

// UTF-32: glyphs are found by code point (a missing one is reported) and
// not kerned; only blanks and line feeds break lines, and characters above
// U+0600 may wrap on their own.
struct Utf32Glyphs {
    typedef unsigned int Char;
    static const bool kWrapsAnywhere = true;

    zk_font_t* font;
    bool blank_known = false;
    float blank_advance = 0.0f;

    zk_glyph_t* Find(uint32_t code) const { return ZKI_GetFontGlyphUTF32(font, code); }
    zk_glyph_t* FindSilently(uint32_t code) const;
    float Kern(const zk_glyph_t*, uint32_t) const { return 0.0f; }
    static bool IsBreak(uint32_t c) { return c == ' ' || c == '\n'; }
    // The blank's advance, looked up at the first blank; 4 (after the
    // missing-glyph report) when the font has none.
    float BlankAdvance();
};

// Characters that end the word being measured.
inline bool EndsWord(uint32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// Characters above U+0600 that may start a line without a blank before
// them; these punctuation marks stay on the line they end.
inline bool MayStartLine(uint32_t c) {
    return c > ZK_WRAP_ANYWHERE_ABOVE && c != 12290 && c != 65292 && c != ',' && c != '.';
}

// --- Text buffers --------------------------------------------------------------------------
// A text decoded from UTF-8 with room for the line breaker: on the stack
// for short texts, else on the heap. Empty (null) when it cannot be had,
// after the popup "Error converting '%s' to utf-32.".
class Utf32Text {
public:
    explicit Utf32Text(const char* text);
    ~Utf32Text();
    Utf32Text(const Utf32Text&) = delete;
    Utf32Text& operator=(const Utf32Text&) = delete;
    unsigned int* get() { return text_; }

private:
    enum { kOnStack = 4096 };
    unsigned int stack_[kOnStack];
    unsigned int* text_ = nullptr;
};

// A copy of a LATIN-1 text for the breaker to change.
class Latin1Copy {
public:
    explicit Latin1Copy(const char* text);
    ~Latin1Copy();
    Latin1Copy(const Latin1Copy&) = delete;
    Latin1Copy& operator=(const Latin1Copy&) = delete;
    char* get() { return text_; }

private:
    enum { kOnStack = 4096 };
    char stack_[kOnStack];
    char* text_ = nullptr;
};

}  // namespace zk_text
