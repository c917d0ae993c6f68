// Fonts generated from a TGA strip and a settings XML: cutting, spacing,
// kerning, vertical metrics, effects, the choice of input picture, the
// failures, and the loading road that generates, saves and reads back.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/fonts/font_files.h"
#include "engine/fonts/font_generation.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/runtime/state.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/database_manager.h"

using font_test::kGlyphNodes;
using font_test::kSettings;
using font_test::kStrip;
using font_test::SettingsXml;
using font_test::TgaFromArt;

namespace {

std::vector<int> AlphaRow(const zk_glyph_t& glyph, int y) {
    std::vector<int> row;
    for (int x = 0; x < glyph.bitmap.width; ++x) row.push_back(ZKI_AlphaAt(&glyph.bitmap, x, y));
    return row;
}

std::vector<int> ColourAt(const zk_glyph_t& glyph, int x, int y) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(glyph.bitmap.pixels) + (size_t(y) * glyph.bitmap.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

class FontGenerationTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        Write("fonts/strip.tga", TgaFromArt(kStrip));
    }
    // Generates fonts/strip.mft from these settings.
    bool Generate(TestFont& font, const std::string& xml) {
        Write("fonts/strip.mft.xml", xml);
        return ZKI_GenerateFontFromSource(font.get(), 1.0);
    }
    static int Kern(TestFont& font, int previous, int next) { return font->glyphs[next].kern[previous]; }
};

TEST_F(FontGenerationTest, AStripIsCutSpacedKernedAndMeasured) {
    TestFont font("fonts/strip.mft");
    ASSERT_TRUE(Generate(font, SettingsXml(kSettings)));
    EXPECT_EQ(Popups(), std::vector<std::string>{});
    ASSERT_EQ(font->num_glyphs, 256);
    EXPECT_EQ(font->utf8, 0);

    struct Expected {
        int index, width, height;
        float y_offset;
        int advance;
    };
    const Expected glyphs[] = {
        {'"', 3, 2, 0, 4}, {'L', 3, 4, 2, 4}, {'T', 3, 4, 2, 4}, {'-', 2, 1, 4, 3}, {' ', 0, 0, 0, 4}, {'a', 0, 0, 0, 0},
    };
    for (const Expected& e : glyphs) {
        SCOPED_TRACE(char(e.index));
        const zk_glyph_t& g = font->glyphs[e.index];
        EXPECT_EQ(g.bitmap.width, e.width);
        EXPECT_EQ(g.bitmap.height, e.height);
        EXPECT_EQ(g.y_offset, e.y_offset);
        EXPECT_EQ(g.advance, e.advance);
        EXPECT_EQ(g.x_offset, 0);
        EXPECT_EQ(g.bitmap.pixels != nullptr, e.width > 0);
        ASSERT_NE(g.kern, nullptr);  // a table for every glyph of a LATIN-1 font
    }
    EXPECT_EQ(AlphaRow(font->glyphs['"'], 0), (std::vector<int>{255, 0, 255}));
    EXPECT_EQ(AlphaRow(font->glyphs['L'], 3), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(AlphaRow(font->glyphs['T'], 1), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(ColourAt(font->glyphs['L'], 0, 0), (std::vector<int>{30, 20, 10, 255}));  // B, G, R in the file

    // T after L moves one column closer (their tightest rows, one row above
    // and below, leave a gap of one); L after the quote two (rows apart);
    // the other way round nothing; a hyphen is never kerned.
    EXPECT_EQ(Kern(font, 'L', 'T'), -1);
    EXPECT_EQ(Kern(font, 'L', '"'), -2);
    EXPECT_EQ(Kern(font, 'T', 'L'), 0);
    for (int other = 0; other < 256; ++other) {
        EXPECT_EQ(Kern(font, other, '-'), 0);
        EXPECT_EQ(Kern(font, '-', other), 0);
        EXPECT_EQ(Kern(font, ' ', other), 0);
    }

    // Tallest reach 6 (4 rows from row 2), less 2 for a bitmap font;
    // baseline 0.9 of the height rounded; line spacing adds the padding.
    EXPECT_EQ(font->height, 4);
    EXPECT_EQ(font->baseline, 4);
    EXPECT_EQ(font->line_spacing, 6);
}

TEST_F(FontGenerationTest, KerningIsSwitchedOffByTheTagsAsWords) {
    struct Case {
        const char* what;
        std::string extra_settings;
        std::string quote_node;
        int l_then_t, l_then_quote;
    };
    const Case cases[] = {
        {"kerned", "", "<node id=\"34\" span=\"2\"/>\n", -1, -2},
        {"no pairing", "<node id=\"TAGS\" value=\"x,DISABLE_KERN_PAIRING\"/>\n", "<node id=\"34\" span=\"2\"/>\n", 0, 0},
        {"a longer word", "<node id=\"TAGS\" value=\"DISABLE_KERN_PAIRINGS\"/>\n", "<node id=\"34\" span=\"2\"/>\n", -1,
         -2},
        {"the quote left out", "", "<node id=\"34\" span=\"2\" tags=\"bold; DISABLE_AUTOKERN\"/>\n", -1, 0},
        {"a tag with a suffix", "", "<node id=\"34\" span=\"2\" tags=\"DISABLE_AUTOKERNING\"/>\n", -1, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFont font("fonts/strip.mft");
        std::string glyphs = c.quote_node + "<node id=\"76\"/>\n<node id=\"84\"/>\n<node id=\"45\"/>\n";
        ASSERT_TRUE(Generate(font, SettingsXml(kSettings + c.extra_settings, glyphs)));
        EXPECT_EQ(Kern(font, 'L', 'T'), c.l_then_t);
        EXPECT_EQ(Kern(font, 'L', '"'), c.l_then_quote);
    }
}

// Glyph drawings side by side, one transparent column apart, as a strip
// to generate a font from; every drawing has the same number of rows.
std::vector<std::string> StripOf(const std::vector<std::vector<std::string>>& glyphs) {
    std::vector<std::string> rows(glyphs[0].size());
    for (const std::vector<std::string>& glyph : glyphs) {
        for (size_t y = 0; y < rows.size(); ++y) rows[y] += glyph[y] + ".";
    }
    return rows;
}

std::string NodesOf(const std::vector<std::pair<int, int>>& ids_and_spans) {
    std::string nodes;
    for (const auto& node : ids_and_spans)
        nodes += "<node id=\"" + std::to_string(node.first) + "\" span=\"" + std::to_string(node.second) + "\"/>\n";
    return nodes;
}

// A space, hyphen, underscore or no-break space is never kerned, before or
// after another glyph: drawn as an L before a T, or as a T after an L
// (which kern by -1), each of them keeps 0.
TEST_F(FontGenerationTest, TheGlyphsThatNeverKernAreLeftAlone) {
    const std::vector<std::string> l = {"X..", "X..", "X..", "XXX"};
    const std::vector<std::string> t = {"XXX", ".X.", ".X.", ".X."};
    for (int code : {int('L'), 32, 45, 95, 160}) {
        SCOPED_TRACE(code);
        int expected = code == 'L' ? -1 : 0;
        Write("fonts/strip.tga", TgaFromArt(StripOf({l, t})));
        TestFont before("fonts/strip.mft");
        ASSERT_TRUE(Generate(before, SettingsXml(kSettings, NodesOf({{code, 1}, {'T', 1}}))));
        EXPECT_EQ(Kern(before, code, 'T'), expected) << "before a T";
        TestFont after("fonts/strip.mft");
        ASSERT_TRUE(Generate(after, SettingsXml(kSettings, NodesOf({{'L', 1}, {code == 'L' ? 'T' : code, 1}}))));
        EXPECT_EQ(Kern(after, 'L', code == 'L' ? 'T' : code), expected) << "after an L";
    }
}

// Glyphs 140 pixels wide whose solid pixels keep 139 columns apart in
// every row would overlap by 139: the stored offset stops at -128, the
// smallest a font file holds, with the warning.
TEST_F(FontGenerationTest, AKerningOffsetBeyondTheFileFieldIsCutTo128) {
    const int width = 140;
    std::vector<std::string> a(6, std::string(width, '.')), b = a;
    for (int y = 0; y < 6; ++y) {
        a[size_t(y)][0] = 'X';          // a left bar
        b[size_t(y)][width - 1] = 'X';  // a right bar
    }
    // And a dot at the other side, in a row the other glyph leaves free.
    a[0][width - 1] = 'X';
    b[5][0] = 'X';
    Write("fonts/strip.tga", TgaFromArt(StripOf({a, b})));
    TestFont font("fonts/strip.mft");
    ASSERT_TRUE(Generate(font, SettingsXml(kSettings, NodesOf({{'A', 2}, {'B', 2}}))));
    ASSERT_EQ(font->glyphs['A'].bitmap.width, width);
    ASSERT_EQ(font->glyphs['B'].bitmap.width, width);
    EXPECT_EQ(Kern(font, 'A', 'B'), -128);
    EXPECT_EQ(Kern(font, 'B', 'A'), 0);
    const std::vector<std::string> popups = Popups();
    EXPECT_NE(std::find(popups.begin(), popups.end(),
                        "1:[POPUP] Sanity check fail: ZKI_DetermineKernPairs for chars #65 and #66 has too large "
                        "padding (-139) and kern_padding (0) total. Total needs to fit into 8-bit signed int in "
                        "selected mft format!"),
              popups.end());
}

TEST_F(FontGenerationTest, AnEffectLaysAGradientOverTheLineHeight) {
    struct Case {
        const char* color_top;
        std::vector<int> row0, row2, row3;  // of L: B, G, R, A at a quarter, at and past the height
    };
    const Case cases[] = {
        // Green over blue: row 0 lies half-way, rows 2 and 3 at (and past)
        // the height of 4.
        {"#00ff00", {127, 127, 0, 255}, {0, 255, 0, 255}, {0, 255, 0, 255}},
        // Three digits leave the default red.
        {"#00f", {127, 0, 127, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color_top);
        TestFont font("fonts/strip.mft");
        std::string effects =
            std::string("<array id=\"effects\">\n<node id=\"1\" color_top=\"") + c.color_top + "\"/>\n</array>\n";
        ASSERT_TRUE(Generate(font, SettingsXml(kSettings, kGlyphNodes, effects)));
        EXPECT_EQ(ColourAt(font->glyphs['L'], 0, 0), c.row0);
        EXPECT_EQ(ColourAt(font->glyphs['L'], 0, 2), c.row2);
        EXPECT_EQ(ColourAt(font->glyphs['L'], 2, 3), c.row3);
        EXPECT_EQ(ColourAt(font->glyphs['L'], 1, 0)[3], 0);  // transparent stays so
    }
}

TEST_F(FontGenerationTest, TheOutputScaleChoosesThePictureAndResizesOnlyWhenItMust) {
    Write("fonts/big.tga", TgaFromArt(kStrip, 2));
    const std::string common = "<node id=\"VERSION\" value=\"2\"/>\n<node id=\"SPACING\" value=\"1\"/>\n";
    const std::string plain_input = "<node id=\"INPUT\" bitmap=\"strip.tga\"/>\n";
    const std::string big_input = "<node id=\"INPUT@2x\" bitmap=\"big.tga\"/>\n";
    struct Case {
        const char* what;
        std::string settings;
        int l_width, l_height, l_advance;
        std::vector<std::string> popups;
        const char* printed;
    };
    const Case cases[] = {
        {"the twice-size picture taken as it is", common + plain_input + big_input + "<node id=\"OUTPUT\" scale=\"2\"/>\n",
         6, 8, 8, {}, "0:Adjusted scale with INPUT@2x is 1."},
        {"a scale of 12 refused", common + plain_input + "<node id=\"OUTPUT\" scale=\"12\"/>\n", 3, 4, 4,
         {"1:[POPUP] ZKI_GenerateFontFromSource: scale factor 12 for font fonts/strip.mft is invalid. Use values > 0 "
          "and < 10."},
         "0:Adjusted scale with INPUT is 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        TestFont font("fonts/strip.mft");
        ASSERT_TRUE(Generate(font, SettingsXml(c.settings)));
        EXPECT_EQ(Popups(), c.popups);
        EXPECT_TRUE(WasPrinted(c.printed));
        EXPECT_EQ(font->glyphs['L'].bitmap.width, c.l_width);
        EXPECT_EQ(font->glyphs['L'].bitmap.height, c.l_height);
        EXPECT_EQ(font->glyphs['L'].advance, c.l_advance);
    }
}

// Resizing blurs edges by about a pixel, so the glyphs of this strip
// stand four columns apart.
TEST_F(FontGenerationTest, AnOutputScaleOfOneHalfHalvesTheGlyphs) {
    Write("fonts/big.tga", TgaFromArt({"X......XXX", "X.......X.", "X.......X.", "XXX.....X."}, 2));
    TestFont font("fonts/strip.mft");
    ASSERT_TRUE(Generate(font, SettingsXml("<node id=\"INPUT\" bitmap=\"big.tga\"/>\n"
                                           "<node id=\"OUTPUT\" scale=\"1/2\"/>\n",
                                           "<node id=\"76\"/>\n<node id=\"84\"/>\n")));
    EXPECT_EQ(Popups(), std::vector<std::string>{});
    EXPECT_TRUE(WasPrinted("0:Selecting bitmap input 'INPUT' for scale 0.50x (closest match)."));
    for (int glyph : {'L', 'T'}) {
        EXPECT_GE(font->glyphs[glyph].bitmap.width, 3);
        EXPECT_LE(font->glyphs[glyph].bitmap.width, 4);
        EXPECT_GE(font->glyphs[glyph].bitmap.height, 4);
        EXPECT_LE(font->glyphs[glyph].bitmap.height, 5);
    }
}

TEST_F(FontGenerationTest, InputPicturesAreChosenByTheirFactors) {
    struct Factor {
        const char* id;
        double factor;
    };
    const Factor factors[] = {{"INPUT", 1},       {"INPUT@2x", 2},   {"INPUT@3/2", 1.5}, {"INPUT@0.5X", 0.5},
                              {"INPUT@0x", 1},     {"INPUT@abc", 1},  {"INPUT@1/0", 1},   {"OTHER@2x", 1}};
    for (const Factor& f : factors) EXPECT_EQ(ZKIF_GetInputBitmapScaleFactor(f.id), f.factor) << f.id;

    InnerZK::DMDatabase database;
    InnerZK::DMArray* settings = database.AddArray("settings");
    EXPECT_EQ(ZKIF_SelectBestInputBitmapForScaling(settings, 1.0f), nullptr);
    settings->AddNode("VERSION");
    settings->AddNode("INPUT");
    settings->AddNode("INPUT@2x");
    settings->AddNode("INPUT@0.5x");
    struct Choice {
        float scale;
        const char* id;
    };
    const Choice choices[] = {{1.0f, "INPUT"}, {0.505f, "INPUT@0.5x"}, {1.5f, "INPUT@2x"}, {3.0f, "INPUT@2x"},
                              {0.7f, "INPUT"}};
    for (const Choice& c : choices) EXPECT_STREQ(ZKIF_SelectBestInputBitmapForScaling(settings, c.scale), c.id) << c.scale;
}

TEST_F(FontGenerationTest, GenerationFailsWithItsReason) {
    Write("fonts/empty.tga", TgaFromArt({"....", "...."}));
    const std::string failed = "1:[POPUP] Failed to generate font from source 'fonts/strip.mft.xml': ";
    const std::string ttf = "<node id=\"VERSION\" value=\"1\"/>\n<node id=\"INPUT\" ttf=\"f.ttf\"/>\n";
    const std::string df2 = "<node id=\"VERSION\" value=\"2\"/>\n<node id=\"INPUT\" ttf=\"f.ttf\"/>\n";
    const std::string no_ttf = "1:[POPUP] Unable to find font source file f.ttf.";
    const std::string not_available = "1:[POPUP] ZKI_CreateFontGlyphBitmapsFromTTF not available.";
    struct Case {
        const char* what;
        std::string xml;  // empty: no settings file
        std::vector<std::string> popups;
    };
    const Case cases[] = {
        {"no settings file", "",
         {"1:[POPUP] XML database file 'fonts/strip.mft.xml' not found!",
          failed + "Font database not found or doesn't contain any arrays."}},
        {"no settings array", SettingsXml(""),
         {failed + "Array 'settings' is missing or has bad parms - see specifications."}},
        {"version 0", SettingsXml("<node id=\"VERSION\" value=\"0\"/>\n"),
         {failed + "Font database is of invalid version."}},
        {"no input", SettingsXml("<node id=\"SPACING\" value=\"1\"/>\n"),
         {failed + "Array 'settings' is missing or has bad parms - see specifications."}},
        {"no glyphs array", SettingsXml(kSettings, ""),
         {failed + "Array 'glyphs' is missing or has bad parms - see specifications."}},
        {"a missing picture", SettingsXml("<node id=\"INPUT\" bitmap=\"gone.tga\"/>\n"),
         {"1:[POPUP] Unable to find font source file gone.tga.",
          "1:[POPUP] Unable to open image file 'gone.tga'. Make sure the file 'gone.tga' exist."}},
        {"a picture without pixels", SettingsXml("<node id=\"INPUT\" bitmap=\"empty.tga\"/>\n"),
         {"1:[POPUP] No pixels found in font 'fonts/strip.mft' input bitmap.",
          failed + "Array 'glyphs' is missing or has bad parms - see specifications."}},
        {"TrueType", SettingsXml(ttf), {no_ttf, not_available}},
        {"TrueType with strings",
         SettingsXml("<node id=\"INPUT\" ttf=\"f.ttf\" strings=\"lang.xml\"/>\n"),
         {no_ttf, "2:[POPUP] Unable to find font language strings xml source file lang.xml",
          "1:[POPUP] ZKI_CreateFontGlyphsArrayFromStrings not available.", not_available}},
        {"a distance field before version 2",
         SettingsXml(ttf + "<node id=\"DISTANCE_FIELD\" size_px=\"32\" spread=\"4\" smoothing=\"0\"/>\n"),
         {no_ttf, failed + "Distance field support requires font database version 2 or later."}},
        {"a distance field without size",
         SettingsXml(df2 + "<node id=\"DISTANCE_FIELD\" spread=\"4\" smoothing=\"0\"/>\n"),
         {no_ttf, failed + "Distance field size_px must be greater than 0."}},
        {"a distance field without spread",
         SettingsXml(df2 + "<node id=\"DISTANCE_FIELD\" size_px=\"32\" spread=\"0.5\"/>\n"),
         {no_ttf, failed + "Distance field spread is invalid."}},
        {"a distance field with negative smoothing",
         SettingsXml(df2 + "<node id=\"DISTANCE_FIELD\" size_px=\"32\" spread=\"4\" smoothing=\"-1\"/>\n"),
         {no_ttf, failed + "Distance field smoothing is invalid."}},
        {"a distance field as asked", SettingsXml(df2 + "<node id=\"DISTANCE_FIELD\" size_px=\"32\" spread=\"4\"/>\n"),
         {no_ttf, not_available}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        std::remove(Path("fonts/strip.mft.xml").c_str());
        TestFont font("fonts/strip.mft");
        EXPECT_FALSE(c.xml.empty() ? ZKI_GenerateFontFromSource(font.get(), 1.0) : Generate(font, c.xml));
        EXPECT_EQ(Popups(), c.popups);
    }
    EXPECT_FALSE(ZKI_GenerateFontFromSource(nullptr, 1.0));
}

TEST_F(FontGenerationTest, CuttingReportsNodesAndBlocksThatDoNotMatch) {
    std::vector<std::string> wider = kStrip;
    for (std::string& row : wider) row += "...";
    Write("fonts/wide.tga", TgaFromArt(wider));
    const std::string wide = "<node id=\"INPUT\" bitmap=\"wide.tga\"/>\n";
    struct Case {
        const char* what;
        std::string settings, glyphs;
        std::vector<std::string> popups;
    };
    const Case cases[] = {
        {"nodes without an id or out of bounds", kSettings,
         "<node spacing=\"1\"/>\n<node id=\"300\"/>\n<node id=\"20\"/>\n" + std::string(kGlyphNodes),
         {"1:[POPUP] No id defined for glyph #0 in font 'fonts/strip.mft'",
          "1:[POPUP] Font 'fonts/strip.mft' Glyph #1 index 300 is out of bounds",
          "1:[POPUP] Font 'fonts/strip.mft' Glyph #2 index 20 is out of bounds"}},
        {"more nodes than blocks", kSettings, std::string(kGlyphNodes) + "<node id=\"65\"/>\n<node id=\"66\"/>\n",
         {"1:[POPUP] Input bitmap for 'fonts/strip.tga' contains 2 glyphs LESS than the XML definition file!"}},
        {"more blocks than nodes", kSettings, "<node id=\"34\" span=\"2\"/>\n<node id=\"76\"/>\n",
         {"1:[POPUP] Input bitmap for 'fonts/strip.tga' has 2 unused pixel blocks - all glyphs may not have been read "
          "properly! Hint: check the (\") character on different inputs."}},
        {"a node over empty columns", wide, std::string(kGlyphNodes) + "<node id=\"65\"/>\n<node id=\"66\"/>\n",
         {"1:[POPUP] Sanity check failed for glyph (6/7): glyph_end_y <= glyph_start_y (6 <= 6). X0=16 X1=17. Hint: "
          "check the (\") character on different inputs.",
          "1:[POPUP] Input bitmap for 'fonts/wide.tga' contains 1 glyphs LESS than the XML definition file!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        TestFont font("fonts/strip.mft");
        ASSERT_TRUE(Generate(font, SettingsXml(c.settings, c.glyphs)));
        EXPECT_EQ(Popups(), c.popups);
        EXPECT_EQ(font->glyphs['L'].bitmap.width, 3);  // what matched is still cut
        EXPECT_EQ(font->glyphs['A'].bitmap.pixels, nullptr);
    }
}

TEST_F(FontGenerationTest, LoadingGeneratesSavesAndReadsBackOnlyFontFiles) {
    Write("fonts/strip.mft.xml", SettingsXml(kSettings));
    TestFont font("fonts/strip.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font.get(), 256));
    ASSERT_TRUE(ZKI_LoadFont(font.get(), "fonts/strip.mft"));
    EXPECT_TRUE(WasPrinted("0:Font 'fonts/strip.mft' file not found."));
    EXPECT_TRUE(WasPrinted("0:Font size 4px."));
    font_test::Bytes saved = Read("fonts/strip.mft");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(font->glyphs['L'].bitmap.width, 3);
    EXPECT_EQ(font->glyphs['T'].kern['L'], -1);
    for (int i : {0, int('L')}) {
        const zk_bitmap_t& b = font->glyphs[i].bitmap;
        EXPECT_EQ(b.depth, 1);
        EXPECT_EQ(b.format, 7u);
        EXPECT_EQ(b.type, 1u);
        EXPECT_EQ(b.renderer_hint, 1);
    }

    // Read from the file now: the settings are not looked at again.
    ClearLines();
    std::remove(Path("fonts/strip.mft.xml").c_str());
    TestFont again("fonts/strip.mft");
    ASSERT_TRUE(ZKI_LoadFont(again.get(), "fonts/strip.mft"));
    EXPECT_EQ(again->glyphs['T'].kern['L'], -1);
    EXPECT_EQ(Popups(), std::vector<std::string>{});

    // Any other name is generated but never saved, and fails.
    Write("fonts/plain.xml", SettingsXml(kSettings));
    TestFont plain("fonts/plain");
    EXPECT_FALSE(ZKI_LoadFont(plain.get(), "fonts/plain"));
    EXPECT_TRUE(WasPrinted("0:Failed: bad or unfound font file 'fonts/plain'"));
    EXPECT_EQ(plain->glyphs['L'].bitmap.width, 3);
    EXPECT_TRUE(Read("fonts/plain").empty());

    TestFont none("!NONE");
    EXPECT_TRUE(ZKI_LoadFont(none.get(), "!NONE"));
}

TEST_F(FontGenerationTest, TheDataManifestRescalesBitmapFonts) {
    Write("manifest.xml", std::string("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n<array id=\"R\">\n") +
                              "<node id=\"f12.mft\" h=\"24\"/>\n<node id=\"f10.mft\" h=\"15\"/>\n"
                              "<node id=\"f1.mft\" h=\"24\"/>\n<node id=\"tiny.mft\" h=\"1\"/>\n"
                              "<node id=\"df.mft\" h=\"24\"/>\n</array>\n</root>\n");
    ZKI_AddManifest(Path("manifest.xml").c_str());
    struct Case {
        const char* name;
        int height;
        float spread;
        float scale;
        int new_height, baseline, line_spacing;
    };
    const Case cases[] = {
        {"f12.mft", 12, 0, 2.0f, 24, 20, 28}, {"f10.mft", 10, 0, 1.5f, 15, 15, 21},
        {"f1.mft", 1, 0, 1.0f, 1, 10, 14},    {"tiny.mft", 12, 0, 1.0f, 12, 10, 14},
        {"df.mft", 12, 0.5f, 1.0f, 12, 10, 14}, {"unlisted.mft", 12, 0, 1.0f, 12, 10, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFont font(c.name);
        font->height = c.height;
        font->baseline = 10;
        font->line_spacing = 14;
        font->spread = c.spread;
        ZKI_UpdateFontAccordingToDataManifest(font.get());
        EXPECT_EQ(font->scale, c.scale);
        EXPECT_EQ(font->height, c.new_height);
        EXPECT_EQ(font->baseline, c.baseline);
        EXPECT_EQ(font->line_spacing, c.line_spacing);
    }
    zk_data_manifest_databases.count = 0;
    zk_data_manifest_arrays.count = 0;
    zk_dman.ReleaseDatabase(Path("manifest.xml").c_str());
}

// A version 7 distance-field font file as a font may have read before it
// is generated: UTF-8, with a baseline and a scale of its own, its spread,
// smoothing and two glyphs.
font_test::Bytes DistanceFieldFile() {
    font_test::FontDescription file;
    file.encoding = "UTF-8";
    file.baseline = 20;
    file.height = 24;
    file.line_spacing = 30;
    file.spread = 4;
    file.smoothing = 0.25f;
    file.scale = 3.0f;
    file.glyphs = {font_test::PatternGlyph('A', 2, 3, 1), font_test::PatternGlyph(0x263A, 1, 1, 9)};
    return font_test::FontFileBytes(file);
}

void ExpectSameSettingsAndMetrics(const zk_font_t& font, const zk_font_t& wanted) {
    EXPECT_EQ(font.flags, wanted.flags);
    EXPECT_EQ(font.utf8, wanted.utf8);
    EXPECT_EQ(font.spread, wanted.spread);
    EXPECT_EQ(font.smoothing, wanted.smoothing);
    EXPECT_EQ(font.scale, wanted.scale);
    EXPECT_EQ(font.baseline, wanted.baseline);
    EXPECT_EQ(font.height, wanted.height);
    EXPECT_EQ(font.line_spacing, wanted.line_spacing);
    EXPECT_EQ(font.num_glyphs, wanted.num_glyphs);
}

// A font whose file went is generated again when it is refreshed: from the
// source, as a fresh load does, whatever its record holds from before (the
// last generation, or a distance-field file read since). Its metrics and
// the file written are a fresh load's every time, also when the data
// manifest rescales it.
TEST_F(FontGenerationTest, AFontGeneratedAgainIsAFreshLoadsFont) {
    Write("manifest.xml", std::string("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n<array id=\"R\">\n") +
                              "<node id=\"fonts/scaled.mft\" h=\"8\"/>\n</array>\n</root>\n");
    ZKI_AddManifest(Path("manifest.xml").c_str());
    struct Case {
        const char* name;
        bool distance_field_file_read_between;
    };
    const Case cases[] = {
        {"fonts/strip.mft", false},
        {"fonts/scaled.mft", false},
        {"fonts/other.mft", true},
        {"fonts/scaled.mft", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.distance_field_file_read_between ? " over a distance-field file" : ""));
        std::string file = c.name;
        std::remove(Path(file).c_str());
        Write(file + ".xml", SettingsXml(kSettings));
        zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(c.name);
        ASSERT_NE(font, nullptr);
        const zk_font_t fresh = *font;
        EXPECT_EQ(fresh.scale, file == "fonts/scaled.mft" ? 2.0f : 1.0f);
        EXPECT_EQ(fresh.flags & ZK_FONT_DISTANCE_FIELD, 0);
        font_test::Bytes written = Read(file);
        ASSERT_FALSE(written.empty());
        for (int generation = 2; generation <= 3; ++generation) {
            SCOPED_TRACE(generation);
            if (c.distance_field_file_read_between) {
                Write(file, DistanceFieldFile());
                zk->graphics->ZK_Graphics_RefreshFont(font);
                ASSERT_EQ(font->flags & ZK_FONT_DISTANCE_FIELD, ZK_FONT_DISTANCE_FIELD);
            }
            ASSERT_EQ(std::remove(Path(file).c_str()), 0);
            zk->graphics->ZK_Graphics_RefreshFont(font);
            ExpectSameSettingsAndMetrics(*font, fresh);
            EXPECT_EQ(Read(file), written);
        }
        ZKI_FONTS_ReleaseFont(font);  // the next case loads its name afresh
    }
    zk_data_manifest_databases.count = 0;
    zk_data_manifest_arrays.count = 0;
    zk_dman.ReleaseDatabase(Path("manifest.xml").c_str());
}

// Generation itself starts from a fresh record's state: a font that read
// a distance-field file and is generated, with nothing saved or read back,
// is what a fresh record generated is, and saves the same file.
TEST_F(FontGenerationTest, AFontGeneratedOverADistanceFieldFontIsAFreshOneBeforeItIsSaved) {
    Write("fonts/strip.mft.xml", SettingsXml(kSettings));
    TestFont fresh("fonts/strip.mft");
    ASSERT_TRUE(ZKI_GenerateFontFromSource(fresh.get(), 1.0));
    Write("fonts/strip.mft", DistanceFieldFile());
    TestFont font("fonts/strip.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    ASSERT_EQ(font->flags & ZK_FONT_DISTANCE_FIELD, ZK_FONT_DISTANCE_FIELD);
    ASSERT_TRUE(ZKI_GenerateFontFromSource(font.get(), 1.0));
    ExpectSameSettingsAndMetrics(font.record, fresh.record);
    ASSERT_TRUE(ZKI_SaveFont(fresh.get(), Path("fresh.mft").c_str()));
    ASSERT_TRUE(ZKI_SaveFont(font.get(), Path("again.mft").c_str()));
    EXPECT_EQ(Read("again.mft"), Read("fresh.mft"));
}

// A generation that ends before it has glyphs to replace the old ones
// with leaves the font as it was: the glyphs, metrics and distance-field
// settings of the file it read.
TEST_F(FontGenerationTest, AFontThatCannotBeGeneratedAgainKeepsWhatItHad) {
    Write("fonts/strip.mft", DistanceFieldFile());
    struct Case {
        const char* what;
        std::string xml;  // empty: no settings file
    };
    const Case cases[] = {
        {"no settings file", ""},
        {"version 0", SettingsXml("<node id=\"VERSION\" value=\"0\"/>\n")},
        {"no input", SettingsXml("<node id=\"SPACING\" value=\"1\"/>\n")},
        {"no glyphs array", SettingsXml(kSettings, "")},
        {"a missing picture", SettingsXml("<node id=\"INPUT\" bitmap=\"gone.tga\"/>\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(Path("fonts/strip.mft.xml").c_str());
        if (!c.xml.empty()) Write("fonts/strip.mft.xml", c.xml);
        TestFont font("fonts/strip.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        const zk_font_t before = font.record;
        EXPECT_FALSE(ZKI_GenerateFontFromSource(font.get(), 1.0));
        ExpectSameSettingsAndMetrics(font.record, before);
        EXPECT_EQ(font->glyphs, before.glyphs);
        ASSERT_EQ(font->num_glyphs, 2);
        EXPECT_EQ(font->glyphs[0].bitmap.pixels, before.glyphs[0].bitmap.pixels);
        EXPECT_EQ(font->glyphs[0].code, uint32_t('A'));
    }
}

TEST_F(FontGenerationTest, TheGlyphCheckReportsEveryMissingPrintableGlyph) {
    TestFont font("f.mft");
    EXPECT_FALSE(ZKI_CheckThatAllGlyphsArePresent(nullptr));
    EXPECT_TRUE(ZKI_CheckThatAllGlyphsArePresent(font.get()));
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font.get(), 5));
    const uint32_t codes[] = {32, 33, 160, 0x263A, 'a'};
    for (int i = 0; i < 5; ++i) font->glyphs[i].code = codes[i];
    font->glyphs[4].bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    EXPECT_TRUE(ZKI_CheckThatAllGlyphsArePresent(font.get()));
    EXPECT_EQ(Popups(), (std::vector<std::string>{"2:[POPUP] Font 'f.mft' contains no glyphs!",
                                                  "2:[POPUP] Font 'f.mft' glyph #1 unicode 33 (0x21) is missing!",
                                                  "2:[POPUP] Font 'f.mft' glyph #3 unicode 9786 (0x263a) is missing!"}));
    font->glyphs[1].bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    font->glyphs[3].bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    EXPECT_FALSE(ZKI_CheckThatAllGlyphsArePresent(font.get()));
}

}  // namespace
