// Text layout: UTF-8 decoding, the LATIN-1 and UTF-32 line breakers with
// their blocks and wrap rules, and the measured text sizes.

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "engine/text/tests/text_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

struct BrokenLines {
    std::vector<std::string> texts;
    std::vector<float> widths;
    int count = 0;
};

std::string Utf8(const unsigned int* text) {
    std::string out;
    for (; *text; ++text) {
        uint32_t c = *text;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18), out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<uint32_t> Decoded(const std::string& text) {
    std::vector<uint32_t> out(text.size() + 1, 0xDEAD);
    int count = ZKI_DecodeUTF8(text.c_str(), int(text.size()), out.data());
    EXPECT_EQ(out[size_t(count)], 0u) << "the decoded text ends with 0";
    out.resize(size_t(count));
    return out;
}

BrokenLines BreakLatin1(zk_font_t* font, int width, const std::string& text, int max_lines = ZK_TEXT_LINES_MEASURED) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    std::vector<unsigned char*> starts(static_cast<size_t>(max_lines));
    std::vector<float> widths(static_cast<size_t>(max_lines));
    BrokenLines lines;
    lines.count = ZKI_ParseTextLines_LATIN1(font, width, copy.data(), starts.data(), widths.data(), max_lines);
    for (int i = 0; i < lines.count; ++i) {
        lines.texts.push_back(reinterpret_cast<const char*>(starts[size_t(i)]));
        lines.widths.push_back(widths[size_t(i)]);
    }
    return lines;
}

// Lines of a UTF-8 text through the UTF-32 breaker, given back as UTF-8;
// the buffer has exactly the room the breaker asks for.
BrokenLines BreakUtf8(zk_font_t* font, int width, const std::string& text, int max_lines = ZK_TEXT_LINES) {
    std::vector<uint32_t> codes = Decoded(text);
    std::vector<unsigned int> decoded(codes.begin(), codes.end());
    decoded.resize(codes.size() + 1 + size_t(max_lines), 0xDEAD);
    decoded[codes.size()] = 0;
    std::vector<unsigned int*> starts(static_cast<size_t>(max_lines));
    std::vector<float> widths(static_cast<size_t>(max_lines));
    BrokenLines lines;
    lines.count = ZKI_ParseTextLines_UTF32(font, width, decoded.data(), starts.data(), widths.data(), max_lines);
    for (int i = 0; i < lines.count; ++i) {
        lines.texts.push_back(Utf8(starts[size_t(i)]));
        lines.widths.push_back(widths[size_t(i)]);
    }
    return lines;
}

const std::string kSun = "\xE6\x97\xA5";        // U+65E5, wide
const std::string kBook = "\xE6\x9C\xAC";       // U+672C, wide
const std::string kWord = "\xE8\xAA\x9E";       // U+8A9E, wide
const std::string kFullStop = "\xE3\x80\x82";   // U+3002
const std::string kFullComma = "\xEF\xBC\x8C";  // U+FF0C

class TextLayoutTest : public TextTest {
protected:
    zk_font_t* WideFont() {
        return Utf8Font({{0x65E5, 20, 18, 18},
                         {0x672C, 20, 18, 18},
                         {0x8A9E, 20, 18, 18},
                         {12290, 20, 18, 18},
                         {65292, 20, 18, 18},
                         {ZK_REPLACEMENT_CHARACTER, 10, 8, 12}});
    }
};

TEST(Utf8Decoding, CodePointsAndMalformedSequences) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<uint32_t> codes;
    } cases[] = {
        {"ASCII", "Ab", {'A', 'b'}},
        {"two bytes", "\xC3\xA9", {0xE9}},
        {"three bytes", kSun, {0x65E5}},
        {"four bytes", "\xF0\x9F\x98\x80", {0x1F600}},
        {"cut off at the end", "a\xE6\x97", {'a', ZK_REPLACEMENT_CHARACTER}},
        {"lead byte last", "a\xF0", {'a', ZK_REPLACEMENT_CHARACTER}},
        {"lead before a plain byte", "\xC3(x", {ZK_REPLACEMENT_CHARACTER, '(', 'x'}},
        {"stray continuation bytes are one replacement", "\x80\xBF\x80" "b", {ZK_REPLACEMENT_CHARACTER, 'b'}},
        {"cut-off lead and stray bytes after it", "\xE6\x97\xC3\x80\x80" "c",
         {ZK_REPLACEMENT_CHARACTER, 0xC0, ZK_REPLACEMENT_CHARACTER, 'c'}},
        {"bytes that lead nothing", "\xF8\xFF" "d", {ZK_REPLACEMENT_CHARACTER, ZK_REPLACEMENT_CHARACTER, 'd'}},
        {"overlong forms decode as written", "\xC0\xAF", {0x2F}},
    };
    for (const Case& c : cases) EXPECT_EQ(Decoded(c.text), c.codes) << c.name;
}

TEST(Utf8Decoding, StopsAtTheGivenLengthAndAtAZero) {
    const char text[] = {'a', '\xE6', '\x97', '\xA5', 'b'};
    std::vector<uint32_t> out(8, 0xDEAD);
    // A sequence cut by the length is not completed from the bytes after it.
    EXPECT_EQ(ZKI_DecodeUTF8(text, 3, out.data()), 2);
    EXPECT_EQ(out[1], ZK_REPLACEMENT_CHARACTER);
    EXPECT_EQ(ZKI_DecodeUTF8("a\0b", 3, out.data()), 1);
}

TEST(Utf8Decoding, Utf32ToLatin1KeepsLowBytesWithinTheSize) {
    const unsigned int text[] = {'A', 0x17C, 'z', 0};
    char out[8];
    memset(out, 'x', sizeof out);
    nStringUTF32ToLatin1(text, out, 8);
    EXPECT_STREQ(out, "A|z");
    nStringUTF32ToLatin1(text, out, 2);
    EXPECT_STREQ(out, "A");
    nStringUTF32ToLatin1(nullptr, out, 8);
    EXPECT_STREQ(out, "");
}

// A text broken in a box of the given width, and the lines it gives.
struct BreakCase {
    const char* name;
    std::string text;
    int width;
    std::vector<std::string> lines;
    std::vector<float> widths;
};

TEST_F(TextLayoutTest, Latin1BreakerTable) {
    NamedBitmap("pic", 16, 16);
    zk_font_t* font = Latin1Font();
    const BreakCase cases[] = {
        {"the next word does not fit", "a b", 20, {"a", "b"}, {10, 10}},
        {"the next word fits", "a b", 30, {"a b"}, {25}},
        {"a line reaching the width breaks", "a b", 25, {"a", "b"}, {10, 10}},
        {"a word wider than the box stays whole", "abcdef gh", 30, {"abcdef", "gh"}, {60, 20}},
        {"tabs and carriage returns break too", "ab\tcd\rxy", 30, {"ab", "cd", "xy"}, {20, 20, 20}},
        {"every line feed ends a line", "a\n\nb", 1000, {"a", "", "b"}, {10, 0, 10}},
        {"a line feed at the end gives an empty line", "ab\n", 1000, {"ab", ""}, {20, 0}},
        {"two bars are the glyph '|'", "x||y", 1000, {"x||y"}, {30}},
        {"a colour block has no width", "|FF0000|red", 1000, {"|FF0000|red"}, {30}},
        {"a block without its closing bar runs to the end", "ab|FF00", 1000, {"ab|FF00"}, {20}},
        {"kerning by the previous glyph", "AV", 1000, {"AV"}, {18}},
        {"an image is its scale times its width", "a|img src='pic' scale=2|b", 1000,
         {"a|img src='pic' scale=2|b"}, {52}},
        {"an image counts in the next word", "a |img src='pic'|b", 35, {"a", "|img src='pic'|b"}, {10, 26}},
        {"an image that names no bitmap has no width", "a|img src='none'|b", 1000, {"a|img src='none'|b"}, {20}},
        {"a scale block divides the width", "|scale=2|aa bb", 60, {"|scale=2|aa", "bb"}, {20, 20}},
        {"a scale that divides by nothing is ignored", "|scale=0|aa bb", 60, {"|scale=0|aa bb"}, {45}},
    };
    for (const BreakCase& c : cases) {
        BrokenLines lines = BreakLatin1(font, c.width, c.text);
        EXPECT_EQ(lines.texts, c.lines) << c.name;
        EXPECT_EQ(lines.widths, c.widths) << c.name;
    }
}

TEST_F(TextLayoutTest, SpacingFollowsEveryGlyphAndImageButNotTheLast) {
    NamedBitmap("pic", 16, 16);
    zk_font_t* font = Latin1Font();
    g()->ZK_Graphics_SetTextHorizontalSpacing(2.0f);
    EXPECT_EQ(BreakLatin1(font, 1000, "ab").widths, std::vector<float>{22});
    EXPECT_EQ(BreakLatin1(font, 1000, "a b").widths, std::vector<float>{29});
    EXPECT_EQ(BreakLatin1(font, 1000, "a|img src='pic'|").widths, std::vector<float>{28});
    // The spacing is text scale x times the spacing.
    g()->ZK_Graphics_SetTextTransform(2.0f, 1.0f, 0.0f);
    EXPECT_EQ(BreakLatin1(font, 1000, "ab").widths, std::vector<float>{24});
    EXPECT_FLOAT_EQ(GetNextWordLen_LATIN1(font, reinterpret_cast<const unsigned char*>("ab cd"), 4.0f), 28.0f);
}

TEST_F(TextLayoutTest, TheBreakerStopsAtItsLineLimit) {
    zk_font_t* font = Latin1Font();
    BrokenLines lines = BreakLatin1(font, 1000, "a\nb\nc", 2);
    EXPECT_EQ(lines.count, 2);
    EXPECT_EQ(lines.texts, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(BreakLatin1(font, 1000, "", 4).count, 1);
    EXPECT_EQ(BreakLatin1(font, 1000, "abc", 0).count, 0);
}

TEST_F(TextLayoutTest, Utf32BreakerTable) {
    zk_font_t* font = WideFont();
    const BreakCase cases[] = {
        {"blanks break as in LATIN-1", "ab cd", 40, {"ab", "cd"}, {20, 20}},
        {"line feeds end lines", "a\n\nb", 1000, {"a", "", "b"}, {10, 0, 10}},
        {"tabs do not break", "ab\tcd", 30, {"ab\tcd"}, {40}},
        {"wide text wraps before the character that does not fit", kSun + kBook + kWord, 50,
         {kSun + kBook, kWord}, {40, 20}},
        {"the text after it moves on", kSun + kBook + kWord + "ab", 50, {kSun + kBook, kWord + "ab"}, {40, 40}},
        {"a blank after it gives its place", kSun + kBook + kWord + " ab", 50, {kSun + kBook, kWord + "ab"},
         {40, 40}},
        {"a full stop stays on the line it ends", kSun + kBook + kFullStop, 50, {kSun + kBook + kFullStop}, {60}},
        {"so does a full-width comma", kSun + kBook + kFullComma + kWord, 50,
         {kSun + kBook + kFullComma, kWord}, {60, 20}},
        {"a wide character ends the word a blank measures", "ab " + kSun + kBook + kWord, 50,
         {"ab " + kSun, kBook + kWord}, {45, 40}},
        {"a character wider than the box alone keeps its line", kWord + kSun, 10, {kWord, kSun}, {20, 20}},
    };
    for (const BreakCase& c : cases) {
        BrokenLines lines = BreakUtf8(font, c.width, c.text);
        EXPECT_EQ(lines.texts, c.lines) << c.name;
        EXPECT_EQ(lines.widths, c.widths) << c.name;
    }
}

TEST_F(TextLayoutTest, WideTextOfMoreLinesThanTheLimitStaysInItsBuffer) {
    zk_font_t* font = WideFont();
    std::string text;
    for (int i = 0; i < 1500; ++i) text += kSun + kBook;
    BrokenLines lines = BreakUtf8(font, 10, text);
    EXPECT_EQ(lines.count, ZK_TEXT_LINES);
    EXPECT_EQ(lines.texts.back(), kSun);
}

TEST_F(TextLayoutTest, Utf32MissingGlyphsAddNothingAndAMissingBlankCountsFour) {
    zk_font_t* font = WideFont();
    ClearLines();
    EXPECT_EQ(BreakUtf8(font, 1000, "a\xC3\xA9z").widths, std::vector<float>{20});
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Font 'utf8' Missing unicode 233 (0xe9) ('\xE9')"});
    font->glyphs[0].code = 0x2000;  // the blank goes
    ClearLines();
    // "ab" + blank 4 + "cd" reaches 44: a box of 44 breaks, one of 45 does not.
    EXPECT_EQ(BreakUtf8(font, 44, "ab cd").texts, (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(BreakUtf8(font, 45, "ab cd").texts, (std::vector<std::string>{"ab cd"}));
    EXPECT_FALSE(Popups().empty());
    EXPECT_EQ(Popups().front(), "1:[POPUP] Font 'utf8' Missing unicode 32 (0x20) (' ')");
}

TEST_F(TextLayoutTest, ScaleBlocksAreDeprecatedInDeveloperMode) {
    zk_font_t* font = Latin1Font();
    BreakLatin1(font, 1000, "|scale=2|a");
    EXPECT_TRUE(Popups().empty());
    zk_state.developer_mode = zk_state.prog_initialized = 1;
    BreakLatin1(font, 1000, "|scale=2|a");
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] |scale=x| tag is deprecated. Remove all references to it."});
    zk_state.developer_mode = zk_state.prog_initialized = 0;
}

TEST_F(TextLayoutTest, TextSizeTable) {
    zk_font_t* font = Latin1Font();
    zk_font_t* tall = Latin1Font();
    tall->height = 30;
    struct Case {
        const char* name;
        zk_font_t* font;
        std::string text;
        float box, scale_x, scale_y, vertical_spacing;
        float width, height;
    } cases[] = {
        {"one line", font, "ab", 0, 1, 1, 0, 20, 20},
        {"the widest line and the line spacing", font, "a\nbcd", 0, 1, 1, 0, 30, 40},
        {"scaled, with vertical spacing", font, "a\nbb", 0, 2, 3, 4, 40, 132},
        {"a font taller than its line spacing", tall, "a\nb", 0, 1, 1, 0, 10, 50},
        {"wrapped at the box", font, "a b", 20, 1, 1, 0, 10, 40},
        {"the box is in scaled units", font, "a b", 40, 2, 1, 0, 20, 40},
        {"a box below 0.1 does not wrap", font, "a b", 0.05f, 1, 1, 0, 25, 20},
    };
    for (const Case& c : cases) {
        g()->ZK_Graphics_SetTextboxWidth(c.box);
        g()->ZK_Graphics_SetTextTransform(c.scale_x, c.scale_y, 0.0f);
        g()->ZK_Graphics_SetTextVerticalSpacing(c.vertical_spacing);
        float width = -1, height = -1;
        ZKI_GetTextSize(c.font, c.text.c_str(), width, height);
        EXPECT_EQ(width, c.width) << c.name;
        EXPECT_EQ(height, c.height) << c.name;
    }
    float width = -1, height = -1;
    ZKI_GetTextSize(font, "", width, height);
    EXPECT_EQ(width + height, 0.0f);
    ZKI_GetTextSize(nullptr, "ab", width, height);
    EXPECT_EQ(width + height, 0.0f);
    ZKI_GetTextSize(font, nullptr, width, height);
    EXPECT_EQ(width + height, 0.0f);
}

TEST_F(TextLayoutTest, SizeSlotsFormatAndMeasure) {
    zk_font_t* font = Latin1Font();
    zk_font_t* utf8 = WideFont();
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "%s-%d", "ab", 7), 40.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextHeightf(font, "%s\n%s", "a", "b"), 40.0f);
    float width = -1, height = -1;
    g()->ZK_Graphics_GetTextSizef(utf8, &width, &height, "%s%s", kSun.c_str(), "a");
    EXPECT_EQ(width, 30.0f);
    EXPECT_EQ(height, 20.0f);
    // Texts longer than the formatting buffer are measured whole.
    std::string long_text(5000, 'a');
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "%s", long_text.c_str()), 50000.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(utf8, "%s", long_text.c_str()), 50000.0f);

    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(nullptr, "ab"), 0.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, nullptr), 0.0f);
    font->height = 0;
    EXPECT_EQ(g()->ZK_Graphics_GetTextHeightf(font, "ab"), 0.0f);
    g()->ZK_Graphics_GetTextSizef(font, &width, &height, "ab");
    EXPECT_EQ(width + height, 0.0f);
    g()->ZK_Graphics_GetTextSizef(font, nullptr, nullptr, "ab");
}

// A LATIN-1 font may hold fewer than 256 glyphs: bytes past them, and
// kerning rows read by such a previous byte, count nothing.
TEST_F(TextLayoutTest, Latin1FontsWithFewGlyphsBoundLookUps) {
    zk_font_t* font = Latin1Font(100);
    EXPECT_EQ(BreakLatin1(font, 1000, "A\xC8\xFF").widths, std::vector<float>{10});
    EXPECT_EQ(BreakLatin1(font, 1000, "xV").widths, std::vector<float>{10});
    EXPECT_EQ(BreakLatin1(font, 1000, "AV").widths, std::vector<float>{18});
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "\xF0 \xF1"), 5.0f);
    zk_font_t* empty = Latin1Font(0);
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(empty, "abc def"), 0.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextHeightf(empty, "abc"), 20.0f);
}

// The font's scale divides image widths and the wrap width: one that is
// zero, negative or not a number counts as 1. Tiny text scales make huge
// wrap widths, which stay within an int.
TEST_F(TextLayoutTest, ScalesThatWouldDivideByNothingAreGuarded) {
    NamedBitmap("pic", 16, 16);
    zk_font_t* font = Latin1Font();
    const float bad_scales[] = {0.0f, -2.0f, NAN, INFINITY};
    for (float scale : bad_scales) {
        font->scale = scale;
        g()->ZK_Graphics_SetTextboxWidth(20.0f);
        EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "a |img src='pic'|"), 16.0f) << scale;
        g()->ZK_Graphics_SetTextboxWidth(0.0f);
        EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "a|img src='pic' scale=2|"), 42.0f) << scale;
    }
    font->scale = 1e-30f;
    g()->ZK_Graphics_SetTextTransform(1e-9f, 1.0f, 0.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextHeightf(font, "a b c"), 20.0f);
}

TEST_F(TextLayoutTest, SettingsBelongToTheCallingThread) {
    zk_font_t* font = Latin1Font();
    g()->ZK_Graphics_SetTextTransform(2.0f, 2.0f, 0.0f);
    g()->ZK_Graphics_SetTextAlign(ZK_TEXT_ALIGN_RIGHT);
    float measured_elsewhere = 0;
    unsigned align_elsewhere = 99;
    std::thread other([&] {
        ResetTextSettings();  // a new engine thread's record
        measured_elsewhere = g()->ZK_Graphics_GetTextWidthf(font, "ab");
        align_elsewhere = g()->ZK_Graphics_GetTextAlign();
        g()->ZK_Graphics_SetTextTransform(5.0f, 5.0f, 0.0f);
    });
    other.join();
    EXPECT_EQ(measured_elsewhere, 20.0f);
    EXPECT_EQ(align_elsewhere, 0u);
    EXPECT_EQ(g()->ZK_Graphics_GetTextWidthf(font, "ab"), 40.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextAlign(), unsigned(ZK_TEXT_ALIGN_RIGHT));
}

TEST_F(TextLayoutTest, SettersStoreGuardedValues) {
    g()->ZK_Graphics_SetTextboxWidth(0.0f);
    EXPECT_EQ(ZKT_ThreadState().textbox_width, 64000.0f);
    g()->ZK_Graphics_SetTextboxWidth(0.1f);
    EXPECT_EQ(ZKT_ThreadState().textbox_width, 0.1f);
    g()->ZK_Graphics_SetTextboxWidth(NAN);
    EXPECT_EQ(ZKT_ThreadState().textbox_width, 64000.0f);
    g()->ZK_Graphics_SetTextTransform(0.0f, 2.0f, 0.5f);
    EXPECT_EQ(ZKT_ThreadState().text_scale_x, 1e-6f);
    EXPECT_EQ(ZKT_ThreadState().text_scale_y, 2.0f);
    EXPECT_EQ(ZKT_ThreadState().text_transform_third, 0.5f);
    g()->ZK_Graphics_SetTextTransform(-3.0f, NAN, 0.0f);
    EXPECT_EQ(ZKT_ThreadState().text_scale_x, 1e-6f);
    EXPECT_EQ(ZKT_ThreadState().text_scale_y, 1e-6f);
    g()->ZK_Graphics_SetTextHorizontalSpacing(1.5f);
    g()->ZK_Graphics_SetTextVerticalSpacing(-2.0f);
    g()->ZK_Graphics_SetTextAlign(ZK_TEXT_ALIGN_CENTER | ZK_TEXT_ALIGN_BOTTOM);
    EXPECT_EQ(ZKT_ThreadState().horizontal_spacing, 1.5f);
    EXPECT_EQ(ZKT_ThreadState().vertical_spacing, -2.0f);
    EXPECT_EQ(g()->ZK_Graphics_GetTextAlign(), 10u);
}

}  // namespace
