// A font file that zk-manifester writes (version 6, DejaVu Sans generated
// through FreeType) read by the engine's reader, field for field against a
// reading of the file straight from the format. The manifester's code is
// linked in beside the engine's (it keeps its own names, table and state).
#include "engine/fonts/font_files.h"
#include "engine/fonts/tests/font_fixture.h"
#include "tools/manifester/fonts.h"
#include "tools/manifester/tests/font_files.h"

namespace {

class ManifesterFontTest : public FontTest {
protected:
    // Makes <data folder>/dejavu.mft as zk-manifester makes it: DejaVu Sans
    // at 20 pixels, rendered through FreeType from a settings XML written
    // beside it, generated, saved (version 6) and read back through the
    // manifester's own font road, which must give its 256 glyphs.
    void MakeManifesterFont() {
        Write("dejavu.mft.xml",
              "<?xml version=\"1.0\"?>\n<root>\n<array id=\"settings\">\n"
              " <node id=\"INPUT\" ttf=\"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\" size_px=\"20\"/>\n"
              " <node id=\"LINE_PADDING_OFFSET\" value=\"3\"/>\n"
              "</array>\n<array id=\"glyphs\">\n <node id=\"84\" tags=\"DISABLE_AUTOKERN\"/>\n</array>\n</root>\n");
        manifester::ZKI_SetBasicInterface();
        manifester::zk_font_t* font = manifester::ZKI_LoadFont(Path("dejavu.mft").c_str());
        ASSERT_NE(font, nullptr);
        ASSERT_EQ(font->glyph_count, 256);
        manifester::ZKI_FreeState();
    }
};

TEST_F(ManifesterFontTest, TheEngineReadsTheFontFilesTheManifesterWrites) {
    ASSERT_NO_FATAL_FAILURE(MakeManifesterFont());

    manifester_test::FontFile expected;
    ASSERT_TRUE(manifester_test::ReadFontVersion6(Read("dejavu.mft"), &expected));
    ASSERT_EQ(expected.glyphs.size(), 256u);
    TestFont font("dejavu.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    EXPECT_EQ(font->utf8, expected.encoding == "UTF-8" ? 1 : 0);
    EXPECT_EQ(font->baseline, expected.baseline);
    EXPECT_EQ(font->height, expected.height);
    EXPECT_EQ(font->line_spacing, expected.line_spacing);
    ASSERT_EQ(font->num_glyphs, 256);
    int with_pixels = 0, kerned = 0;
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        const zk_glyph_t& glyph = font->glyphs[i];
        const manifester_test::FontFileGlyph& stored = expected.glyphs[size_t(i)];
        ASSERT_EQ(glyph.code, stored.code);
        ASSERT_EQ(glyph.y_offset, float(stored.y_offset));
        ASSERT_EQ(glyph.x_offset, stored.x_offset);
        ASSERT_EQ(glyph.advance, stored.advance);
        ASSERT_EQ(glyph.bitmap.width, stored.width);
        ASSERT_EQ(glyph.bitmap.height, stored.height);
        for (int p = 0; p < 256; ++p) {
            int8_t entry = stored.kerning.empty() ? 0 : stored.kerning[size_t(p)];
            ASSERT_EQ(glyph.kern[p], entry) << "after " << p;
            kerned += entry != 0;
        }
        const uint8_t* pixels = reinterpret_cast<const uint8_t*>(glyph.bitmap.pixels);
        ASSERT_EQ(font_test::Bytes(pixels, pixels + (pixels ? stored.pixels.size() : 0)), stored.pixels);
        with_pixels += pixels != nullptr;
    }
    // A real font: letters with pixels, and kerning between some of them.
    EXPECT_GT(with_pixels, 150);
    EXPECT_GT(kerned, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

}  // namespace
