// Text laid out with fonts read from font files the test writes from the
// format: a LATIN-1 version 7 font of fewer than 256 glyphs, and a UTF-8
// version 6 font with wide characters.

#include <string>
#include <vector>

#include "engine/fonts/font_files.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/text/text.h"
#include "engine/runtime/threads.h"

using font_test::FontDescription;
using font_test::FontFileBytes;
using font_test::GlyphEntry;
using font_test::PatternGlyph;

namespace {

class TextFontFileTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        zk_thread_state_t& t = ZKT_ThreadState();
        t = zk_thread_state_t{t.thread_id, 0, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f};
    }

    // Every glyph advances 10 and has a 2x2 picture; a blank advances 5.
    static FontDescription Described(const std::string& encoding, const std::vector<uint32_t>& codes) {
        FontDescription font;
        font.encoding = encoding;
        font.height = 16;
        font.line_spacing = 20;
        for (uint32_t code : codes) {
            GlyphEntry glyph = code == ' ' ? GlyphEntry() : PatternGlyph(code, 2, 2, uint8_t(code));
            glyph.code = code;
            glyph.advance = code == ' ' ? 5 : (code > 0x600 ? 20 : 10);
            font.glyphs.push_back(glyph);
        }
        return font;
    }
    float Width(zk_font_t* font, const char* text) {
        float width = -1, height = -1;
        ZKI_GetTextSize(font, text, width, height);
        return width;
    }
};

TEST_F(TextFontFileTest, ALatin1FontOfAHundredGlyphsNeverIndexesPastThem) {
    std::vector<uint32_t> codes;
    for (uint32_t code = 0; code < 100; ++code) codes.push_back(code);
    FontDescription description = Described("LATIN-1", codes);
    description.version = 7;
    // 'V' after 'A' moves back 2; its kerning row has one byte per glyph.
    description.glyphs['V'].kern.assign(100, 0);
    description.glyphs['V'].kern['A'] = -2;
    Write("small.mft", FontFileBytes(description));
    TestFont font("small.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    ASSERT_EQ(font->num_glyphs, 100);
    ASSERT_EQ(font->utf8, 0);

    // Bytes 120 ('x') and 200 have no glyph: nothing is added, and the 'V'
    // after 'x' looks up no kerning past its row of 100.
    EXPECT_EQ(Width(font.get(), "AV"), 18.0f);
    EXPECT_EQ(Width(font.get(), "A\xC8xV \xFF"), 25.0f);
    EXPECT_FALSE(ZKI_FontHasGlyphsToDrawText(font.get(), "A\xC8"));
    EXPECT_TRUE(ZKI_FontHasGlyphsToDrawText(font.get(), "AV"));
}

TEST_F(TextFontFileTest, AUtf8FontWrapsWideTextAndMeasuresCutOffSequences) {
    FontDescription description = Described("UTF-8", {' ', 'a', 'b', 0x65E5, 0x672C, 12290, 0xFFFD});
    description.version = 6;
    Write("wide.mft", FontFileBytes(description));
    TestFont font("wide.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    ASSERT_EQ(font->utf8, 1);

    ZKT_ThreadState().textbox_width = 50.0f;
    float width = 0, height = 0;
    ZKI_GetTextSize(font.get(), "\xE6\x97\xA5\xE6\x9C\xAC\xE6\x97\xA5\xE3\x80\x82", width, height);
    EXPECT_EQ(width, 40.0f);   // two lines: two wide characters, then one with the full stop
    EXPECT_EQ(height, 40.0f);
    ZKT_ThreadState().textbox_width = 0.0f;
    // The last sequence is cut off: one replacement glyph, nothing read past
    // the end.
    EXPECT_EQ(Width(font.get(), "ab\xE6\x97"), 40.0f);
}

}  // namespace
