// Text layout: the thread's text settings as layout reads them, UTF-8
// decoding, word measuring, the LATIN-1 and UTF-32 line breakers and the
// text-size queries.

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/text/text_walk.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

namespace zk_text {

namespace {

const double kWidestWrap = 1e9;
const float kMissingBlankAdvance = 4.0f;

}  // namespace

Settings CurrentSettings() {
    const zk_thread_state_t& t = ZKT_ThreadState();
    Settings s;
    s.align = t.text_align;
    s.angle = t.text_transform_third;
    s.box_width = BoxWidth(t.textbox_width);
    s.scale_x = AtLeastSmallestScale(t.text_scale_x);
    s.scale_y = AtLeastSmallestScale(t.text_scale_y);
    s.horizontal_spacing = t.horizontal_spacing;
    s.vertical_spacing = t.vertical_spacing;
    return s;
}

float FontScale(const zk_font_t* font) {
    float scale = font->scale;
    return scale > 0.0f && std::isfinite(scale) ? scale : 1.0f;
}

int WrapWidth(const zk_font_t* font, const Settings& settings) {
    double width = double(settings.box_width) / (double(settings.scale_x) * FontScale(font));
    return width < kWidestWrap ? int(width) : int(kWidestWrap);
}

bool IsDistanceFieldFont(const zk_font_t* font) { return (font->flags & ZK_FONT_DISTANCE_FIELD) != 0; }

zk_glyph_t* Utf32Glyphs::FindSilently(uint32_t code) const {
    if (ZKI_FontHasGlyphUTF32(font, code)) return ZKI_GetFontGlyphUTF32(font, code);
    return nullptr;
}

float Utf32Glyphs::BlankAdvance() {
    if (!blank_known) {
        const zk_glyph_t* blank = Find(' ');
        blank_advance = blank ? blank->advance : kMissingBlankAdvance;
        blank_known = true;
    }
    return blank_advance;
}

Utf32Text::Utf32Text(const char* text) {
    size_t length = strlen(text);
    // Each line the breaker starts inside a run of wide characters takes
    // one more place.
    size_t needed = length + 1 + ZK_TEXT_LINES;
    if (needed <= kOnStack) {
        text_ = stack_;
    } else if (length < size_t(INT_MAX) - ZK_TEXT_LINES) {
        text_ = static_cast<unsigned int*>(malloc(needed * sizeof(unsigned int)));
    }
    if (!text_) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Error converting '%s' to utf-32.", text);
        return;
    }
    ZKI_DecodeUTF8(text, int(length), text_);
}

Utf32Text::~Utf32Text() {
    if (text_ != stack_) free(text_);
}

Latin1Copy::Latin1Copy(const char* text) {
    size_t size = strlen(text) + 1;
    text_ = size <= kOnStack ? stack_ : static_cast<char*>(malloc(size));
    if (!text_) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Not enough memory to measure a text of %zu bytes.", size - 1);
        return;
    }
    memcpy(text_, text, size);
}

Latin1Copy::~Latin1Copy() {
    if (text_ != stack_) free(text_);
}

namespace {

template <class Glyphs>
float GlyphAdvance(Glyphs& glyphs, const zk_glyph_t* glyph, uint32_t previous, float w_s) {
    return glyphs.Kern(glyph, previous) + glyph->advance + w_s;
}

template <class Glyphs>
float MeasureWord(Glyphs& glyphs, const typename Glyphs::Char* text, float w_s) {
    typedef typename Glyphs::Char Char;
    char buffer[kBlockText];
    float width = 0.0f;
    uint32_t previous = 0;
    for (;;) {
        Item<Char> item = ReadItem(text, buffer);
        if (item.kind == ITEM_END) return width;
        if (item.kind == ITEM_GLYPH) {
            if (EndsWord(item.code)) return width;
            const zk_glyph_t* glyph = glyphs.Find(item.code);
            if (glyph) width += GlyphAdvance(glyphs, glyph, previous, w_s);
            previous = item.code;
            // Scripts without blanks wrap at every such character.
            if (Glyphs::kWrapsAnywhere && item.code > ZK_WRAP_ANYWHERE_ABOVE) return width;
            text = item.next;
            continue;
        }
        float image = 0.0f;
        if (item.kind == ITEM_IMAGE && ImageBlockWidth(glyphs.font, item.content, image)) {
            width += image + w_s;
            previous = 0;
        }
        text = item.next;
        if (*text <= ' ') return width;
    }
}

// The line being laid out. Its stored width leaves out the spacing after
// its last glyph.
struct Line {
    float width = 0.0f;
    bool empty = true;
    uint32_t previous = 0;

    void Add(float advance) {
        width += advance;
        empty = false;
    }
    float Stored(float w_s) const { return empty ? 0.0f : width - w_s; }
};

// A character that starts a line without a blank before it needs a place
// for the 0 that ends the line before it: a blank right after it gives
// its place, else the rest of the text moves one place on.
template <class Char>
void MakeRoomForLineEnd(Char* at) {
    if (at[1] == ' ') {
        at[1] = at[0];
        return;
    }
    size_t rest = 0;
    while (at[rest]) ++rest;
    memmove(at + 1, at, (rest + 1) * sizeof(Char));
}

template <class Glyphs>
int BreakLines(Glyphs& glyphs, float width, typename Glyphs::Char* text, typename Glyphs::Char** starts,
               float* widths, int max_lines) {
    typedef typename Glyphs::Char Char;
    if (!glyphs.font || !text || !starts || !widths || max_lines < 1) return 0;
    const Settings settings = CurrentSettings();
    const float w_s = settings.scale_x * settings.horizontal_spacing;
    char buffer[kBlockText];
    Line line;
    int count = 0;
    starts[0] = text;
    Char* at = text;
    while (*at) {
        uint32_t c = *at;
        bool ends_line = c == '\n';
        if (!ends_line && Glyphs::IsBreak(c)) {
            ends_line = line.width + MeasureWord(glyphs, at + 1, w_s) + glyphs.BlankAdvance() >= width;
        }
        Item<Char> item = {};
        const zk_glyph_t* glyph = nullptr;
        if (!ends_line) {
            item = ReadItem<Char>(at, buffer);
            if (item.kind == ITEM_GLYPH) glyph = glyphs.Find(item.code);
            // The line is never left empty, or a glyph wider than the box
            // would start line after line.
            if (Glyphs::kWrapsAnywhere && glyph && !line.empty && MayStartLine(item.code) &&
                line.width + glyph->advance >= width) {
                MakeRoomForLineEnd(at);
                ends_line = true;
            }
        }
        if (ends_line) {
            *at = 0;
            widths[count] = line.Stored(w_s);
            if (++count == max_lines) return count;
            starts[count] = ++at;
            line = Line();
            continue;
        }
        float divisor = 1.0f, image = 0.0f;
        switch (item.kind) {
        case ITEM_GLYPH:
            if (glyph) line.Add(GlyphAdvance(glyphs, glyph, line.previous, w_s));
            line.previous = item.code;
            break;
        case ITEM_IMAGE:
            if (ImageBlockWidth(glyphs.font, item.content, image)) {
                line.Add(image + w_s);
                line.previous = 0;
            }
            break;
        case ITEM_SCALE:
            if (ScaleBlockDivisor(item.content, divisor)) width /= divisor;
            break;
        default:
            break;
        }
        at += item.next - at;
    }
    widths[count] = line.Stored(w_s);
    return count + 1;
}

// Lines of a decoded or copied text with the thread's settings; 0 when the
// text could not be had.
int MeasureLines(zk_font_t* font, const char* text, float* widths) {
    const int wrap = WrapWidth(font, CurrentSettings());
    if (font->utf8) {
        Utf32Text decoded(text);
        unsigned int* starts[ZK_TEXT_LINES];
        if (!decoded.get()) return 0;
        return ZKI_ParseTextLines_UTF32(font, wrap, decoded.get(), starts, widths, ZK_TEXT_LINES);
    }
    Latin1Copy copy(text);
    unsigned char* starts[ZK_TEXT_LINES_MEASURED];
    if (!copy.get()) return 0;
    return ZKI_ParseTextLines_LATIN1(font, wrap, copy.get(), starts, widths, ZK_TEXT_LINES_MEASURED);
}

// Formats and measures for the size slots; false (sizes 0) for a null
// font or format, or a font of height 0.
bool MeasureFormatted(zk_font_t* font, const char* format, va_list args, float& width, float& height) {
    width = height = 0.0f;
    if (!font || !format || font->height == 0) return false;
    char stack[4096];
    char* text = nStringFormatDynamic(stack, sizeof stack, format, args);
    ZKI_GetTextSize(font, text, width, height);
    if (text != stack) delete[] text;
    return true;
}

}  // namespace

}  // namespace zk_text

using namespace zk_text;

int ZKI_DecodeUTF8(const char* text, int length, uint32_t* out) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = in + (length > 0 ? length : 0);
    auto is_continuation = [](unsigned char byte) { return (byte & 0xC0) == 0x80; };
    int count = 0;
    while (in < end && *in) {
        unsigned char lead = *in++;
        int needed = -1;
        uint32_t code = lead;
        if (lead < 0x80) {
            needed = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            needed = 1, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            needed = 2, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            needed = 3, code = lead & 0x07;
        }
        int taken = 0;
        while (taken < needed && in < end && is_continuation(*in)) {
            code = code << 6 | (*in++ & 0x3F);
            ++taken;
        }
        if (taken != needed) {
            // A cut-off sequence, a stray continuation byte or a byte that
            // leads nothing: one replacement for it and the continuation
            // bytes that follow.
            while (in < end && is_continuation(*in)) ++in;
            code = ZK_REPLACEMENT_CHARACTER;
        }
        out[count++] = code;
    }
    out[count] = 0;
    return count;
}

void nStringUTF32ToLatin1(const unsigned int* text, char* out, int size) {
    if (!out || size < 1) return;
    int n = 0;
    while (text && text[n] && n < size - 1) {
        out[n] = char(text[n] & 0xFF);
        ++n;
    }
    out[n] = '\0';
}

float GetNextWordLen_LATIN1(zk_font_t* font, const unsigned char* text, float w_s) {
    if (!font || !text) return 0.0f;
    Latin1Glyphs glyphs{font};
    return MeasureWord(glyphs, text, w_s);
}

float GetNextWordLen_UTF32(zk_font_t* font, const unsigned int* text, float w_s) {
    if (!font || !text) return 0.0f;
    Utf32Glyphs glyphs{font};
    return MeasureWord(glyphs, text, w_s);
}

int ZKI_ParseTextLines_LATIN1(zk_font_t* font, int width, char* text, unsigned char** starts, float* widths,
                              int max_lines) {
    Latin1Glyphs glyphs{font};
    return BreakLines(glyphs, float(width), reinterpret_cast<unsigned char*>(text), starts, widths, max_lines);
}

int ZKI_ParseTextLines_UTF32(zk_font_t* font, int width, unsigned int* text, unsigned int** starts, float* widths,
                             int max_lines) {
    Utf32Glyphs glyphs{font};
    return BreakLines(glyphs, float(width), text, starts, widths, max_lines);
}

void ZKI_GetTextSize(zk_font_t* font, const char* text, float& width, float& height) {
    width = height = 0.0f;
    if (!font || !text || !*text) return;
    float widths[ZK_TEXT_LINES_MEASURED];
    int lines = MeasureLines(font, text, widths);
    if (lines < 1) return;
    float widest = widths[0];
    for (int i = 1; i < lines; ++i) widest = widths[i] > widest ? widths[i] : widest;
    const Settings s = CurrentSettings();
    const float more = float(lines - 1);
    const float line_spacing = float(font->line_spacing);
    const float first = font->line_spacing > font->height ? line_spacing : float(font->height);
    width = s.scale_x * FontScale(font) * widest;
    height = (line_spacing * more + first) * s.scale_y + more * s.scale_y * s.vertical_spacing;
}

float ZK_Graphics_GetTextHeightf(zk_font_t* font, const char* format, ...) {
    float width, height;
    va_list args;
    va_start(args, format);
    MeasureFormatted(font, format, args, width, height);
    va_end(args);
    return height;
}

float ZK_Graphics_GetTextWidthf(zk_font_t* font, const char* format, ...) {
    float width, height;
    va_list args;
    va_start(args, format);
    MeasureFormatted(font, format, args, width, height);
    va_end(args);
    return width;
}

void ZK_Graphics_GetTextSizef(zk_font_t* font, float* width, float* height, const char* format, ...) {
    float w, h;
    va_list args;
    va_start(args, format);
    MeasureFormatted(font, format, args, w, h);
    va_end(args);
    if (width) *width = w;
    if (height) *height = h;
}
