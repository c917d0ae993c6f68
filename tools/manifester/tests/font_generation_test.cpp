// Fonts generated from their settings: DejaVu Sans rendered through
// FreeType, code points from language strings, glyphs cut out of a picture
// strip, kerning, and the settings helpers.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/manifester/font_truetype.h"
#include "tools/manifester/fonts.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

const char* const dejavu_sans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string Settings(const std::string& arrays) { return "<?xml version=\"1.0\"?>\n<root>\n" + arrays + "</root>\n"; }

void WriteText(const std::string& path, const std::string& text) { WriteBytes(path, Bytes(text.begin(), text.end())); }

// Where two descriptions first differ, so that a failure stays readable.
std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    if (at == a.size() && at == b.size()) return "";
    return "at " + std::to_string(at) + ": '" + a.substr(at, 60) + "' against '" + b.substr(at, 60) + "'";
}

uint8_t AlphaAt(const zk_bitmap_t& bitmap, int x, int y) {
    return reinterpret_cast<const uint8_t*>(bitmap.pixels)[(size_t(y) * bitmap.width + x) * 4 + 3];
}

class TrueTypeFonts : public ManifesterTest {
protected:
    void SetUp() override {
        ManifesterTest::SetUp();
        struct stat info;
        ASSERT_EQ(stat(dejavu_sans, &info), 0)
            << dejavu_sans << " is missing: install the Debian package fonts-dejavu-core (scripts/install-deps)";
    }
    void TearDown() override {
        zk_init_freetype = FT_Init_FreeType;
        ManifesterTest::TearDown();
    }
};

TEST_F(TrueTypeFonts, DejaVuSansGeneratedSavedAndReadBackIdentically) {
    std::string name = dir / "dejavu.mft";
    WriteText(name + ".xml",
              Settings("<array id=\"settings\">\n"
                       " <node id=\"INPUT\" ttf=\"" + std::string(dejavu_sans) + "\" size_px=\"20\"/>\n"
                       " <node id=\"LINE_PADDING_OFFSET\" value=\"3.7\"/>\n"
                       "</array>\n<array id=\"glyphs\">\n"
                       " <node id=\"84\" tags=\"x,DISABLE_AUTOKERN\"/>\n"
                       " <node id=\"300\" tags=\"DISABLE_AUTOKERN\"/>\n"
                       " <node id=\"-1\" tags=\"DISABLE_AUTOKERN\"/>\n"
                       " <node id=\"86\" tags=\"DISABLE_AUTOKERNING\"/>\n"
                       "</array>\n"));
    TestFont generated(name);
    ASSERT_TRUE(ZKI_GenerateFontFromSource(&generated, 1.0)) << RecordedText();
    ASSERT_EQ(generated.glyph_count, 256);
    EXPECT_EQ(generated.utf8, 0);
    int tallest = 0;
    for (int i = 0; i < 256; ++i) {
        const zk_glyph_t& g = generated.glyphs[i];
        EXPECT_EQ(g.code, uint32_t(i));
        ASSERT_NE(g.kerning, nullptr) << i;
        if (g.bitmap.height > tallest) tallest = g.bitmap.height;
    }
    EXPECT_EQ(generated.height, tallest);
    EXPECT_EQ(generated.line_spacing, tallest + 3);
    EXPECT_EQ(generated.baseline, tallest - 2);
    EXPECT_EQ(generated.glyphs[' '].advance, 8);  // 0.4 of 20 pixels

    // 'A' as FreeType renders it, white with the coverage strengthened.
    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, dejavu_sans, 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 20);
    ASSERT_EQ(FT_Load_Char(face, 'A', FT_LOAD_RENDER), 0);
    const FT_Bitmap& coverage = face->glyph->bitmap;
    const zk_glyph_t& a = generated.glyphs['A'];
    ASSERT_EQ(a.bitmap.width, int(coverage.width));
    ASSERT_EQ(a.bitmap.height, int(coverage.rows));
    EXPECT_EQ(a.y_offset, 20 - face->glyph->bitmap_top);
    EXPECT_EQ(a.advance, int(coverage.width));
    for (int y = 0; y < a.bitmap.height; ++y) {
        for (int x = 0; x < a.bitmap.width; ++x) {
            int grey = coverage.buffer[y * coverage.pitch + x];
            ASSERT_EQ(AlphaAt(a.bitmap, x, y), grey * 3 / 2 > 255 ? 255 : grey * 3 / 2) << x << "," << y;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // Kerning: A then V moves closer; hyphens and spaces are never kerned;
    // T is tagged out on both sides; the other tags change nothing.
    EXPECT_LT(generated.glyphs['V'].kerning['A'], 0);
    EXPECT_LT(generated.glyphs['A'].kerning['V'], 0);
    for (int other = 0; other < 256; ++other) {
        EXPECT_EQ(generated.glyphs['-'].kerning[other], 0);
        EXPECT_EQ(generated.glyphs[other].kerning[' '], 0);
        EXPECT_EQ(generated.glyphs['T'].kerning[other], 0);
        EXPECT_EQ(generated.glyphs[other].kerning['T'], 0);
    }
    EXPECT_LT(generated.glyphs['o'].kerning['V'], 0);

    // Saved, the file holds exactly the font, and reads back the same.
    ASSERT_TRUE(ZKI_SaveFont(&generated, name.c_str()));
    std::string saved = ReadText(name);
    FontFile file;
    ASSERT_TRUE(ReadFontVersion6(Bytes(saved.begin(), saved.end()), &file));
    std::string expected = DescribeFontFile(FontFileOf(generated));
    EXPECT_EQ(FirstDifference(DescribeFontFile(file), expected), "");
    TestFont read(name);
    ASSERT_TRUE(ZKI_LoadFontMFT(&read));
    EXPECT_EQ(FirstDifference(DescribeFontFile(FontFileOf(read)), expected), "");
}

// Through the slots: no file yet, so the font is generated, saved under
// its name and read from it.
TEST_F(TrueTypeFonts, AMissingFontFileIsGeneratedSavedAndRead) {
    std::string name = dir / "sans12.mft";
    WriteText(name + ".xml", Settings("<array id=\"settings\"><node id=\"INPUT\" ttf=\"" + std::string(dejavu_sans) +
                                      "\" size_px=\"12\"/></array>"));
    zk_font_t* font = ZKI_LoadFont(name.c_str());
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->height, 8);
    EXPECT_EQ(font->glyph_count, 256);
    EXPECT_EQ(RecordedText(), "..caching font '" + name + "' (not found)Attempting to generate font from source '" +
                                  name + ".xml'\n1 Arrays loaded with total 1 nodes.\n..saving font '" + name +
                                  "'..\n(" + std::to_string(font->height) + "px)\n");
    FontFile file;
    std::string saved = ReadText(name);
    ASSERT_TRUE(ReadFontVersion6(Bytes(saved.begin(), saved.end()), &file));
    EXPECT_EQ(FirstDifference(DescribeFontFile(file), DescribeFontFile(FontFileOf(*font))), "");
}

TEST_F(TrueTypeFonts, LanguageStringsMakeAUtf8FontWithoutKerning) {
    WriteText(dir / "strings.xml",
              Settings("<array id=\"STRINGS\">\n"
                       " <node id=\"hi\" to=\"Grüße €\"/>\n"
                       " <node id=\"k\" from=\"é\" to=\"x\"/>\n"
                       " <node id=\"emoji\" to=\"😀\"/>\n"
                       " <node id=\"broken\" to=\"\xC3(\"/>\n"
                       "</array>\n"));
    std::string name = dir / "ui.mft";
    WriteText(name + ".xml", Settings("<array id=\"settings\">\n"
                                      " <node id=\"INPUT\" ttf=\"" + std::string(dejavu_sans) +
                                      "\" strings=\"strings.xml\" size_px=\"12\"/>\n"
                                      " <node id=\"SPACING\" value=\"2\"/>\n"
                                      "</array>\n<array id=\"additional_utf_characters\">\n"
                                      " <node id=\"✓\"/><node id=\"\"/><node id=\"\xE2\x9C\"/><node id=\"ab\"/>\n"
                                      "</array>\n<array id=\"glyphs\"><node id=\"5\" tags=\"DISABLE_AUTOKERN\"/>"
                                      "</array>\n"));
    TestFont font(name);
    ASSERT_TRUE(ZKI_GenerateFontFromSource(&font, 1.0)) << RecordedText();

    std::set<uint32_t> expected = {0xFC, 0xDF, 0x20AC, ' ', 0xC3, 0xA9, 0x2713, 0};
    for (const char* ids : {"hi", "emoji", "broken"}) expected.insert(ids, ids + strlen(ids));
    const char always[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!\"$&'()*+,-./<=>?\\_";
    expected.insert(always, always + strlen(always));
    std::vector<uint32_t> codes;
    for (int i = 0; i < font.glyph_count; ++i) codes.push_back(font.glyphs[i].code);
    EXPECT_EQ(codes, std::vector<uint32_t>(expected.begin(), expected.end()));
    EXPECT_NE(RecordedText().find("UTF32 128512 out of range in ZKI_CreateFontGlyphsArrayFromStrings\n"),
              std::string::npos);
    EXPECT_NE(RecordedText().find("error converting \xC3(\n"), std::string::npos);

    EXPECT_EQ(font.utf8, 1);
    for (int i = 0; i < font.glyph_count; ++i) {
        const zk_glyph_t& g = font.glyphs[i];
        EXPECT_EQ(g.kerning, nullptr);
        if (g.code == ' ') {
            EXPECT_EQ(g.advance, 4 + 2);
        } else {
            EXPECT_EQ(g.advance, g.bitmap.width + 2) << g.code;
        }
    }
    ASSERT_TRUE(ZKI_SaveFont(&font, name.c_str()));
    EXPECT_EQ(ReadText(name).substr(12, 6), std::string("UTF-8", 6));
}

TEST_F(TrueTypeFonts, FailuresEndTheGeneration) {
    WriteText(dir / "not_a_font.ttf", "plain text");
    WriteText(dir / "no_strings.xml", Settings("<array id=\"OTHER\"></array>"));
    struct Case {
        const char* name;
        std::string input;
        bool init_fails;
        std::string message;
    } cases[] = {
        {"initialisation", "ttf=\"" + std::string(dejavu_sans) + "\" size_px=\"10\"", true,
         "ZKI_CreateFontGlyphBitmapsFromTTF::FT_Init_FreeType error 64\n"},
        {"missing", "ttf=\"nope.ttf\" size_px=\"10\"", false, "Unable to find font source file nope.ttf\n"},
        {"not a font", "ttf=\"not_a_font.ttf\" size_px=\"10\"", false,
         "ZKI_CreateFontGlyphBitmapsFromTTF::FT_New_Face error 2. Does the font file and path '" +
             dir / "not_a_font.ttf" + "' exist?\n"},
        {"no size", "ttf=\"" + std::string(dejavu_sans) + "\"", false,
         "Failed to generate font from source '%s': Array 'settings' is missing or has bad parms - see "
         "specifications.\n"},
        {"no strings file", "ttf=\"" + std::string(dejavu_sans) + "\" size_px=\"10\" strings=\"absent.xml\"", false,
         "Unable to find font language strings xml source file absent.xml\n"},
        {"no strings array", "ttf=\"" + std::string(dejavu_sans) + "\" size_px=\"10\" strings=\"no_strings.xml\"",
         false, ""},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        std::string name = dir / (std::string(c.name) + ".mft");
        WriteText(name + ".xml", Settings("<array id=\"settings\"><node id=\"INPUT\" " + c.input + "/></array>"));
        zk_init_freetype = FT_Init_FreeType;
        if (c.init_fails) zk_init_freetype = [](FT_Library*) { return FT_Error(FT_Err_Out_Of_Memory); };
        TestFont font(name);
        EXPECT_FALSE(ZKI_GenerateFontFromSource(&font, 1.0)) << c.name;
        std::string message = c.message;
        size_t at = message.find("%s");
        if (at != std::string::npos) message.replace(at, 2, name + ".xml");
        EXPECT_NE(RecordedText().find(message), std::string::npos) << c.name << ": " << RecordedText();
    }
}

// Grey coverage rows are `pitch` bytes apart, whatever the width; a
// negative pitch stores the bottom row first.
TEST(TrueTypeCoverage, RowsFollowThePitchAndAlphaIsStrengthenedByHalf) {
    // Rows of 3 values padded to 5 bytes.
    uint8_t down[] = {0, 100, 170, 99, 99, 255, 1, 2, 99, 99};
    uint8_t up[] = {255, 1, 2, 99, 99, 0, 100, 170, 99, 99};
    struct Case {
        const char* name;
        uint8_t* buffer;
        int pitch;
    } cases[] = {{"down", down, 5}, {"up", up, -5}};
    for (const Case& c : cases) {
        FT_Bitmap coverage = {};
        coverage.rows = 2;
        coverage.width = 3;
        coverage.pitch = c.pitch;
        coverage.buffer = c.buffer;
        coverage.pixel_mode = FT_PIXEL_MODE_GRAY;
        zk_bitmap_t bitmap = {};
        ASSERT_TRUE(ZKI_PixelsFromCoverage(coverage, &bitmap));
        ASSERT_EQ(bitmap.width, 3);
        ASSERT_EQ(bitmap.height, 2);
        const uint8_t* p = reinterpret_cast<const uint8_t*>(bitmap.pixels);
        std::vector<int> alphas, colours;
        for (int i = 0; i < 6; ++i) {
            alphas.push_back(p[i * 4 + 3]);
            colours.push_back(p[i * 4] & p[i * 4 + 1] & p[i * 4 + 2]);
        }
        EXPECT_EQ(alphas, (std::vector<int>{0, 150, 255, 255, 1, 3})) << c.name;
        EXPECT_EQ(colours, std::vector<int>(6, 255)) << c.name;
        free(bitmap.pixels);
    }
    FT_Bitmap empty = {};
    zk_bitmap_t bitmap = {};
    EXPECT_TRUE(ZKI_PixelsFromCoverage(empty, &bitmap));
    EXPECT_EQ(bitmap.pixels, nullptr);
}

// Glyphs drawn as rows of '#' (alpha 255), '+' (alpha 128) and '.'.
void DrawGlyph(zk_glyph_t* glyph, const std::vector<std::string>& rows, int y_offset) {
    glyph->bitmap.width = int(rows[0].size());
    glyph->bitmap.height = int(rows.size());
    glyph->y_offset = int16_t(y_offset);
    glyph->bitmap.pixels = static_cast<uint32_t*>(calloc(rows.size() * rows[0].size(), 4));
    uint8_t* bytes = reinterpret_cast<uint8_t*>(glyph->bitmap.pixels);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            bytes[(y * rows[0].size() + x) * 4 + 3] = rows[y][x] == '#' ? 255 : rows[y][x] == '+' ? 128 : 0;
        }
    }
}

class Kerning : public ManifesterTest {};

TEST_F(Kerning, OffsetFromTheNarrowestGapBetweenSolidPixels) {
    struct Case {
        const char* name;
        std::vector<std::string> left;
        int left_y;
        std::vector<std::string> right;
        int right_y;
        float threshold;
        int offset;
    } cases[] = {
        {"rows line up", {"#...", "...#"}, 0, {"#...", "...#"}, 0, 0.75f, -3},
        {"right glyph lower", {"#...", "...#"}, 0, {"#...", "...#"}, 1, 0.75f, 0},
        {"faint pixels are not solid", {"#..+"}, 0, {"+..#"}, 0, 0.75f, -6},
        {"faint pixels are solid below the threshold", {"#..+"}, 0, {"+..#"}, 0, 0.5f, 0},
        {"rows without solid pixels count the limit", {"....", "#..."}, 0, {"#..."}, 0, 0.75f, -3},
        {"a missing row counts the narrower width less one", {"#..."}, 0, {"#", "#"}, 0, 0.75f, 0},
    };
    for (const Case& c : cases) {
        TestFont font(dir / "k.mft");
        DrawGlyph(&font.glyphs[65], c.left, c.left_y);
        DrawGlyph(&font.glyphs[66], c.right, c.right_y);
        EXPECT_EQ(ZKI_GetGlyphsKernOffset(&font, 65, 66, c.threshold), c.offset) << c.name;
        EXPECT_EQ(ZKI_GetGlyphsKernOffset(&font, 65, 67, c.threshold), 0) << c.name;  // 67 has no pixels
    }
    TestFont font(dir / "k.mft");
    EXPECT_EQ(ZKI_GetGlyphsKernOffset(&font, 65, 300, 0.75f), 0);
}

// Offsets are stored in signed bytes: beyond -120 they are reported, and
// below -128 held at -128 instead of wrapping.
TEST_F(Kerning, PairsAreReportedPastTheByteRangeAndClamped) {
    struct Case {
        int gap;  // columns between the left glyph's pixel and its right edge
        int stored;
        bool reported;
    } cases[] = {{120, -120, false}, {121, -121, true}, {128, -128, true}, {140, -128, true}};
    for (const Case& c : cases) {
        Recorded().clear();
        TestFont font(dir / "wide.mft");
        ZKI_SetFontGlyphCount(&font, 3);
        DrawGlyph(&font.glyphs[0], {"#" + std::string(size_t(c.gap), '.')}, 0);
        DrawGlyph(&font.glyphs[1], {"#" + std::string(size_t(c.gap), '.')}, 0);
        for (int i = 0; i < 3; ++i) font.glyphs[i].kerning = static_cast<int8_t*>(calloc(3, 1));
        ZKI_DetermineKernPairs(&font, 0, 0.75f);
        EXPECT_EQ(font.glyphs[1].kerning[0], c.stored) << c.gap;
        EXPECT_EQ(font.glyphs[0].kerning[2], 0);  // glyph 2 has no pixels
        std::string message = "Sanity check fail: ZKI_DetermineKernPairs for chars #0 and #1 has too large padding (" +
                              std::to_string(-c.gap) + ") and kern_padding (0) total.";
        EXPECT_EQ(RecordedText().find(message) != std::string::npos, c.reported) << c.gap << RecordedText();
    }

    // Space, hyphen and underscore take the padding only.
    TestFont font(dir / "k.mft");
    for (int i : {'A', ' ', '-', '_'}) {
        DrawGlyph(&font.glyphs[i], {"#.", "#."}, 0);
        font.glyphs[i].kerning = static_cast<int8_t*>(calloc(256, 1));
    }
    ZKI_DetermineKernPairs(&font, 2, 0.75f);
    EXPECT_EQ(font.glyphs['A'].kerning['A'], 2 - 1);
    for (int i : {' ', '-', '_'}) {
        EXPECT_EQ(font.glyphs['A'].kerning[i], 2) << i;
        EXPECT_EQ(font.glyphs[i].kerning['A'], 2) << i;
        EXPECT_FALSE(ZKI_CanGlyphAutoKern(i));
    }
    EXPECT_TRUE(ZKI_CanGlyphAutoKern('A'));
}

// A 32-bit TGA, top row first, from rows of '#' (white, opaque) and '.'
// (transparent), every pixel drawn `zoom` times in each direction.
Bytes StripTga(const std::vector<std::string>& rows, int zoom = 1) {
    int width = int(rows[0].size()) * zoom, height = int(rows.size()) * zoom;
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                 uint8_t(height >> 8), 32, 0x28};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool set = rows[size_t(y / zoom)][size_t(x / zoom)] == '#';
            out.insert(out.end(), {255, 255, 255, uint8_t(set ? 255 : 0)});
        }
    }
    return out;
}

const std::vector<std::string> strip = {
    "................",
    ".###........##..",
    ".###..##.......#",
    ".###..##.#.....#",
    ".###..##.#......",
    "......##.#......",
};

class PictureFonts : public ManifesterTest {
protected:
    void SetUp() override {
        ManifesterTest::SetUp();
        WriteBytes(dir / "strip.tga", StripTga(strip));
        WriteBytes(dir / "strip2.tga", StripTga(strip, 2));
    }
    // Settings databases stay loaded by name, so each font has its own.
    std::string Generate(const std::string& font_name, const std::string& settings, const std::string& glyphs,
                         TestFont** made) {
        std::string name = dir / (font_name + ".mft");
        WriteText(name + ".xml", Settings("<array id=\"settings\">" + settings + "</array><array id=\"glyphs\">" +
                                          glyphs + "</array>"));
        *made = new TestFont(name);
        return name;
    }
};

TEST_F(PictureFonts, GlyphsCutFromTheStripInTheOrderOfTheNodes) {
    TestFont* font;
    std::string name = Generate("strip", "<node id=\"INPUT\" bitmap=\"strip.tga\"/><node id=\"SPACING\" value=\"1\"/>",
                                "<node id=\"65\" spacing=\"2\"/><node id=\"32\" span=\"0\" spacing=\"3\"/>"
                                "<node spacing=\"1\"/><node id=\"300\"/><node id=\"66\" span=\"2\"/>"
                                "<node id=\"67\" tags=\"DISABLE_AUTOKERN\"/><node id=\"400\" tags=\"DISABLE_AUTOKERN\"/>",
                                &font);
    ASSERT_TRUE(ZKI_GenerateFontFromSource(font, 1.0)) << RecordedText();
    struct Expected {
        int code, width, height, y_offset, advance;
    } glyphs[] = {{'A', 3, 4, 0, 6}, {' ', 0, 0, 0, 4}, {'B', 4, 4, 1, 5}, {'C', 2, 1, 0, 3}};
    for (const Expected& e : glyphs) {
        const zk_glyph_t& g = font->glyphs[e.code];
        EXPECT_EQ(g.bitmap.width, e.width) << char(e.code);
        EXPECT_EQ(g.bitmap.height, e.height) << char(e.code);
        EXPECT_EQ(g.y_offset, e.y_offset) << char(e.code);
        EXPECT_EQ(g.x_offset, 0) << char(e.code);
        EXPECT_EQ(g.advance, e.advance) << char(e.code);
    }
    // The gap inside B's span is part of it.
    EXPECT_EQ(AlphaAt(font->glyphs['B'].bitmap, 2, 3), 0);
    EXPECT_EQ(AlphaAt(font->glyphs['B'].bitmap, 3, 3), 255);
    EXPECT_EQ(font->height, 4);
    EXPECT_EQ(font->baseline, 2);
    EXPECT_EQ(font->line_spacing, 4);
    // C would be kerned after B, but is tagged out on both sides.
    EXPECT_EQ(ZKI_GetGlyphsKernOffset(font, 'B', 'C', 0.75f), -1);
    for (int other = 0; other < 256; ++other) {
        EXPECT_EQ(font->glyphs['C'].kerning[other], 0);
        EXPECT_EQ(font->glyphs[other].kerning['C'], 0);
    }
    std::string recorded = RecordedText();
    for (std::string message : {"No id defined for glyph #2 in font '%s'\n",
                                "Font '%s' Glyph #3 index 300 is out of bounds\n",
                                "Font '%s' Glyph #6 index 400 is out of bounds\n",
                                "Input bitmap has 1 unused pixel blocks - all glyphs may not have been read properly!\n",
                                "Adjusted scale with INPUT is 1.\n"}) {
        size_t at = message.find("%s");
        if (at != std::string::npos) message.replace(at, 2, name);
        EXPECT_NE(recorded.find(message), std::string::npos) << message << " in " << recorded;
    }
    delete font;
}

TEST_F(PictureFonts, InputsAndScales) {
    struct Case {
        const char* name;
        std::string settings;
        int a_width, a_height;  // 0: any size up to the unscaled one
        const char* message;
    } cases[] = {
        {"twice-size input for scale 2",
         "<node id=\"INPUT\" bitmap=\"strip.tga\"/><node id=\"INPUT@2x\" bitmap=\"strip2.tga\"/>"
         "<node id=\"OUTPUT\" scale=\"2\"/>",
         6, 8, "Adjusted scale with INPUT@2x is 1.\n"},
        {"halved", "<node id=\"INPUT\" bitmap=\"strip.tga\"/><node id=\"OUTPUT\" scale=\"1/2\"/>", 0, 0,
         "Selecting bitmap input 'INPUT' for scale 0.50x (closest match).\nAdjusted scale with INPUT is 0.5.\n"},
        {"scale 12 refused", "<node id=\"INPUT\" bitmap=\"strip.tga\"/><node id=\"OUTPUT\" scale=\"12\"/>", 3, 4,
         "ZKI_GenerateFontFromSource: scale factor 12 for font %s is invalid. Use values > 0 and < 10.\n"},
        {"scale one over zero refused", "<node id=\"INPUT\" bitmap=\"strip.tga\"/><node id=\"OUTPUT\" scale=\"1/0\"/>", 3, 4,
         "ZKI_GenerateFontFromSource: scale factor inf for font %s is invalid."},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        TestFont* font;
        std::string name = Generate(c.name, c.settings, "<node id=\"65\"/>", &font);
        ASSERT_TRUE(ZKI_GenerateFontFromSource(font, 1.0)) << c.name << RecordedText();
        const zk_bitmap_t& a = font->glyphs['A'].bitmap;
        if (c.a_width) {
            EXPECT_EQ(a.width, c.a_width) << c.name;
            EXPECT_EQ(a.height, c.a_height) << c.name;
        } else {
            EXPECT_GT(a.width, 0) << c.name;
            EXPECT_LE(a.height, 3) << c.name;
        }
        std::string message = c.message;
        size_t at = message.find("%s");
        if (at != std::string::npos) message.replace(at, 2, name);
        EXPECT_NE(RecordedText().find(message), std::string::npos) << c.name << ": " << RecordedText();
        delete font;
    }
}

TEST_F(PictureFonts, FailuresAreReportedWithTheirReason) {
    const std::string input = "<node id=\"INPUT\" bitmap=\"strip.tga\"/>";
    const std::string bad_settings = "Array 'settings' is missing or has bad parms - see specifications.";
    const std::string bad_glyphs = "Array 'glyphs' is missing or has bad parms - see specifications.";
    struct Case {
        const char* name;
        std::string settings, glyphs;
        std::string message;
    } cases[] = {
        {"more nodes than glyphs", input,
         "<node id=\"65\"/><node id=\"66\" span=\"2\"/><node id=\"67\"/><node id=\"68\"/><node id=\"69\"/>",
         "Input bitmap contains 1 glyphs LESS than the XML definition file!\n"},
        {"no input", "<node id=\"SPACING\" value=\"1\"/>", "<node id=\"65\"/>", bad_settings},
        {"input without a bitmap", "<node id=\"INPUT\" size_px=\"3\"/>", "<node id=\"65\"/>", bad_settings},
        {"missing picture", "<node id=\"INPUT\" bitmap=\"absent.tga\"/>", "<node id=\"65\"/>",
         "Unable to open image file 'absent.tga'."},
        {"scaled to nothing", input + "<node id=\"OUTPUT\" scale=\"0.01\"/>", "<node id=\"65\"/>",
         "Input bitmap cannot be scaled to the output scale."},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        TestFont* font;
        Generate(c.name, c.settings, c.glyphs, &font);
        EXPECT_FALSE(ZKI_GenerateFontFromSource(font, 1.0)) << c.name;
        EXPECT_NE(RecordedText().find(c.message), std::string::npos) << c.name << ": " << RecordedText();
        delete font;
    }
    // No settings array, or no database at all.
    Recorded().clear();
    WriteText(dir / "bare.mft.xml", Settings("<array id=\"glyphs\"></array>"));
    TestFont bare(dir / "bare.mft");
    EXPECT_FALSE(ZKI_GenerateFontFromSource(&bare, 1.0));
    EXPECT_NE(RecordedText().find(bad_settings), std::string::npos);
    TestFont none(dir / "none.mft");
    EXPECT_FALSE(ZKI_GenerateFontFromSource(&none, 1.0));
    EXPECT_NE(RecordedText().find("Database not found or doesn't contain any arrays."), std::string::npos);
    EXPECT_FALSE(ZKI_GenerateFontFromSource(nullptr, 1.0));
}

class FontSettings : public ManifesterTest {};

TEST_F(FontSettings, InputFactorsAndTheirChoice) {
    struct Factor {
        const char* id;
        double factor;
    } factors[] = {{"INPUT", 1},         {"INPUT@2x", 2},  {"INPUT@2X", 2}, {"INPUT@3/2", 1.5},
                   {"INPUT@x0.5", 0.5}, {"OTHER@2", 1},   {"INPUT2", 1},   {nullptr, 1}};
    for (const Factor& f : factors) {
        EXPECT_DOUBLE_EQ(ZKIF_GetInputBitmapScaleFactor(f.id), f.factor) << (f.id ? f.id : "null");
    }

    struct Choice {
        std::vector<const char*> inputs;
        double scale;
        const char* chosen;
    } choices[] = {
        {{"INPUT", "INPUT@2x"}, 2.0, "INPUT@2x"},
        {{"INPUT", "INPUT@2x"}, 1.005, "INPUT"},
        {{"INPUT", "INPUT@2x", "INPUT@4x"}, 3.0, "INPUT@4x"},   // a larger picture scaled down
        {{"INPUT@2x", "INPUT"}, 1.5, "INPUT@2x"},              // held while at least the scale
        {{"INPUT@0.5x", "INPUT", "INPUT@2x"}, 0.75, "INPUT"},
        {{"SPACING"}, 1.0, nullptr},
    };
    for (const Choice& c : choices) {
        ZK_XMLArray settings = {};
        std::vector<ZK_XMLNode> nodes(c.inputs.size());
        for (size_t i = 0; i < c.inputs.size(); ++i) {
            nodes[i].id = const_cast<char*>(c.inputs[i]);
            settings.nodes.Append(&nodes[i]);
        }
        const char* chosen = ZKIF_SelectBestInputBitmapForScaling(&settings, c.scale);
        EXPECT_STREQ(chosen, c.chosen) << c.scale;
        settings.nodes.FreeItems();
    }
}

TEST_F(FontSettings, WordsSplitsAndReplacements) {
    struct Word {
        const char* text;
        bool found;
    } words[] = {{"BOLD", true},         {"x,BOLD", true},      {"a BOLD;b", true}, {"BOLDER", false},
                 {"UNBOLD", false},      {"x;\tBOLD", true},    {"", false},        {nullptr, false},
                 {"BOLDX BOLD", true}};
    for (const Word& w : words) EXPECT_EQ(ZKI_HasWord(w.text, "BOLD"), w.found) << (w.text ? w.text : "null");

    char part[8];
    struct Split {
        const char* text;
        int index;
        bool found;
        const char* part;
    } splits[] = {{"3/2", 0, true, "3"}, {"3/2", 1, true, "2"}, {"3/2", 2, false, ""},
                  {"12", 0, true, "12"}, {"a//b", 1, true, ""}, {"0123456789/1", 0, true, "0123456"}};
    for (const Split& s : splits) {
        part[0] = '\0';
        EXPECT_EQ(ZKI_SplitString(s.text, '/', s.index, part, sizeof part), s.found) << s.text << " " << s.index;
        if (s.found) {
            EXPECT_STREQ(part, s.part) << s.text << " " << s.index;
        }
    }

    char out[8];
    struct Replace {
        const char* text;
        const char* from;
        const char* to;
        const char* result;
    } replacements[] = {{"2x", "x", "", "2"},       {"xax", "x", "yy", "yyayy"}, {"abc", "", "z", "abc"},
                        {"xxxxxx", "x", "ab", "abababa"}, {nullptr, "x", "y", ""}};
    for (const Replace& r : replacements) {
        ZKI_ReplaceAll(r.text, r.from, r.to, out, sizeof out);
        EXPECT_STREQ(out, r.result) << (r.text ? r.text : "null");
    }
}

}  // namespace
