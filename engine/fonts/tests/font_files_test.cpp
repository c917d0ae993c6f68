// Font files of every version, laid out by the test from the format, read
// into font records; damaged and hostile files refused; the version 7
// writer.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "engine/fonts/font_files.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/runtime/state.h"

using font_test::Bytes;
using font_test::FontDescription;
using font_test::FontFileBytes;
using font_test::GlyphEntry;
using font_test::PatternGlyph;

namespace {

class FontFileTest : public FontTest {
protected:
    void TearDown() override {
        zk_state.pixel_byte_order = 0;
        FontTest::TearDown();
    }
};

// The stored bytes of a pattern glyph as the engine keeps them in memory.
Bytes InMemoryOrder(const Bytes& stored, bool exchange) {
    Bytes bytes = stored;
    for (size_t i = 0; exchange && i + 3 < bytes.size(); i += 4) std::swap(bytes[i], bytes[i + 2]);
    return bytes;
}

Bytes PixelsOf(const zk_glyph_t& glyph) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(glyph.bitmap.pixels);
    if (!p) return {};
    return Bytes(p, p + size_t(glyph.bitmap.width) * glyph.bitmap.height * 4);
}

// Three glyphs: a 3x2 picture with a kerning entry before the third, a
// glyph without pixels, and a 1x1 picture that must follow the empty
// entry directly. Versions 1 to 5 keep them at 'A', 'B', 'C'.
FontDescription ThreeGlyphFont(int version) {
    FontDescription font;
    font.version = version;
    font.encoding = version >= 6 ? "UTF-8" : "LATIN-1";
    font.baseline = 11;
    font.height = 14;
    font.line_spacing = 16;
    font.spread = 0.5f;
    font.smoothing = 0.25f;
    font.scale = 2.0f;
    GlyphEntry a = PatternGlyph('A', 3, 2, 10);
    a.y_offset = version >= 7 ? -2.5f : -3;
    a.x_offset = 2;
    a.advance = 7;
    a.late_advance = 9;
    GlyphEntry blank;
    blank.code = 0x263A;
    blank.advance = 5;
    blank.late_advance = 5;
    GlyphEntry c = PatternGlyph('C', 1, 1, 200);
    c.advance = c.late_advance = 2;
    if (version >= 6) {
        a.kern = {0, 0, -4};
        font.glyphs = {a, blank, c};
    } else {
        a.kern.assign(256, 0);
        a.kern['C'] = -4;
        font.glyphs.resize(256);
        font.glyphs['A'] = a;
        font.glyphs['B'] = blank;
        font.glyphs['C'] = c;
    }
    return font;
}

TEST_F(FontFileTest, EveryVersionReadsItsFieldsIntoTheFont) {
    struct Case {
        int version;
        int16_t x_offset;       // 0 where the version has none
        int16_t advance;        // of the 3x2 glyph
        bool kerned;            // the kerning row is stored
        bool file_holds_rgba;
    };
    const Case cases[] = {
        {1, 0, 4, false, false}, {2, 2, 4, false, false}, {3, 2, 9, false, false}, {4, 2, 9, true, false},
        {5, 2, 9, true, true},   {6, 2, 7, true, true},   {7, 2, 7, true, true},
    };
    for (const Case& c : cases) {
        for (int order : {0, 1}) {
            SCOPED_TRACE("version " + std::to_string(c.version) + ", pixel order " + std::to_string(order));
            zk_state.pixel_byte_order = order;
            FontDescription description = ThreeGlyphFont(c.version);
            Write("f.mft", FontFileBytes(description));
            TestFont font("f.mft");
            ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));

            bool latin1 = c.version < 6;
            int a = latin1 ? 'A' : 0, blank = latin1 ? 'B' : 1, last = latin1 ? 'C' : 2;
            EXPECT_EQ(font->num_glyphs, latin1 ? 256 : 3);
            EXPECT_EQ(font->utf8, latin1 ? 0 : 1);
            EXPECT_EQ(font->baseline, 11);
            EXPECT_EQ(font->height, 14);
            EXPECT_EQ(font->line_spacing, 16);
            EXPECT_EQ(font->scale, c.version == 7 ? 2.0f : 1.0f);
            EXPECT_EQ(font->spread, c.version == 7 ? 0.5f : 0.0f);
            EXPECT_EQ(font->flags & ZK_FONT_DISTANCE_FIELD, c.version == 7 ? ZK_FONT_DISTANCE_FIELD : 0);

            const zk_glyph_t& g = font->glyphs[a];
            EXPECT_EQ(g.code, latin1 ? 0u : uint32_t('A'));
            EXPECT_EQ(g.y_offset, c.version == 7 ? -2.5f : -3.0f);
            EXPECT_EQ(g.x_offset, c.x_offset);
            EXPECT_EQ(g.advance, c.advance);
            ASSERT_NE(g.kern, nullptr);
            EXPECT_EQ(g.kern[last], c.kerned ? -4 : 0);
            EXPECT_EQ(g.bitmap.width, 3);
            EXPECT_EQ(g.bitmap.height, 2);
            EXPECT_EQ(g.bitmap.flags & 1, 1);
            bool exchange = c.file_holds_rgba == (order == 1);
            EXPECT_EQ(PixelsOf(g), InMemoryOrder(description.glyphs[a].pixels, exchange));

            const zk_glyph_t& empty = font->glyphs[blank];
            EXPECT_EQ(empty.bitmap.pixels, nullptr);
            EXPECT_EQ(empty.advance, c.version <= 2 ? 1 : 5);
            if (latin1) {
                ASSERT_NE(empty.kern, nullptr);  // a zeroed row: every kerning offset is 0
                EXPECT_EQ(empty.kern[a], 0);
            } else {
                EXPECT_EQ(empty.kern, nullptr);  // no row stored, none kept
            }
            EXPECT_EQ(PixelsOf(font->glyphs[last]), InMemoryOrder(description.glyphs[last].pixels, exchange));
        }
    }
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(FontFileTest, TheVersionIsTheEleventhByteAndTheEncodingChoosesUtf8) {
    struct Case {
        std::string magic;
        std::string encoding;
        bool distance_field_spread;
        int utf8;
    };
    const Case cases[] = {
        {"0123456789", "UTF-8", true, 1},
        {"OLK_Font_v", "utf-8", false, 0},
        {"OLK_Font_v", "", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.magic + " " + c.encoding);
        FontDescription description = ThreeGlyphFont(7);
        description.magic = c.magic;
        description.encoding = c.encoding;
        description.spread = c.distance_field_spread ? 0.5f : 0.0f;
        Write("f.mft", FontFileBytes(description));
        TestFont font("f.mft");
        font->flags = ZK_FONT_DISTANCE_FIELD;
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        EXPECT_EQ(font->utf8, c.utf8);
        EXPECT_EQ(font->flags & ZK_FONT_DISTANCE_FIELD, c.distance_field_spread ? ZK_FONT_DISTANCE_FIELD : 0);
        EXPECT_EQ(font->num_glyphs, 3);
    }
}

// Files of versions 1 to 5 read the encoding name to its 0, however long,
// and keep its first 511 bytes; the metrics and glyphs follow the 0.
TEST_F(FontFileTest, AnOldFilesLongEncodingNameIsReadToItsEnd) {
    for (size_t length : {size_t(0), size_t(510), size_t(511), size_t(512), size_t(600), size_t(5000)}) {
        SCOPED_TRACE(length);
        FontDescription description = ThreeGlyphFont(5);
        description.encoding = length >= 5 ? "UTF-8" + std::string(length - 5, 'x') : std::string(length, 'x');
        Write("f.mft", FontFileBytes(description));
        TestFont font("f.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        EXPECT_EQ(font->utf8, 0);
        EXPECT_EQ(font->baseline, 11);
        EXPECT_EQ(font->height, 14);
        EXPECT_EQ(font->line_spacing, 16);
        EXPECT_EQ(font->glyphs['A'].bitmap.width, 3);
        EXPECT_EQ(PixelsOf(font->glyphs['C']).size(), 4u);
    }
    // A name that runs to the end of the file is a file cut short.
    FontDescription description = ThreeGlyphFont(5);
    Bytes cut = FontFileBytes(description);
    cut.resize(12 + 20);
    std::fill(cut.begin() + 12, cut.end(), uint8_t('x'));
    Write("f.mft", cut);
    TestFont font("f.mft");
    EXPECT_FALSE(ZKI_LoadFontMFT(font.get()));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Font 'f.mft' is truncated or damaged."});
}

// The engine reads what its files can hold: old sizes up to 65535, any
// glyph count the file holds, and a new version's encoding name of 32
// bytes without its 0 (the fields follow it).
TEST_F(FontFileTest, OldSizesAreUnsignedAndCountsAndNamesAreNotCappedBeyondTheFile) {
    FontDescription old = ThreeGlyphFont(3);
    old.glyphs['B'].width = int16_t(uint16_t(40000));
    Write("old.mft", FontFileBytes(old));
    TestFont old_font("old.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(old_font.get()));
    EXPECT_EQ(old_font->glyphs['B'].bitmap.width, 40000);
    EXPECT_EQ(old_font->glyphs['B'].bitmap.pixels, nullptr);

    FontDescription many = ThreeGlyphFont(6);
    many.glyphs.resize(65537);
    Write("many.mft", FontFileBytes(many));
    TestFont many_font("many.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(many_font.get()));
    EXPECT_EQ(many_font->num_glyphs, 65537);

    FontDescription named = ThreeGlyphFont(6);
    named.encoding = std::string(32, 'U');
    Bytes unended = FontFileBytes(named);
    unended.erase(unended.begin() + 12 + 32);
    Write("named.mft", unended);
    TestFont named_font("named.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(named_font.get()));
    EXPECT_EQ(named_font->baseline, 11);
    EXPECT_EQ(named_font->num_glyphs, 3);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(FontFileTest, AScaleThatCannotBeDividedByBecomesOneWithAWarning) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float stored;
        float read;
    };
    const Case cases[] = {{0.0f, 1.0f}, {-2.0f, 1.0f}, {nan, 1.0f}, {inf, 1.0f}, {-inf, 1.0f}, {0.5f, 0.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ClearLines();
        FontDescription description = ThreeGlyphFont(7);
        description.scale = c.stored;
        Write("f.mft", FontFileBytes(description));
        TestFont font("f.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        EXPECT_EQ(font->scale, c.read);
        bool warned = false;
        for (const std::string& line : Lines()) warned |= line.find("invalid scale") != std::string::npos;
        EXPECT_EQ(warned, c.read != c.stored);
    }
}

// What a refused file must leave: the font as it was before the read.
void ExpectUntouched(zk_font_t* font) {
    EXPECT_EQ(font->num_glyphs, 256);
    EXPECT_EQ(font->height, 99);
    EXPECT_EQ(font->glyphs[255].code, 255u);
}

class RefusedFontFile : public FontFileTest {
protected:
    // Reads bytes into a font that has 256 glyphs and a height of 99.
    bool ReadInto(TestFont& font, const Bytes& bytes) {
        Write("f.mft", bytes);
        return ReadFileInto(font);
    }
    bool ReadFileInto(TestFont& font) {
        EXPECT_TRUE(ZKI_ResetFontGlyphs(font.get(), 256));
        font->glyphs[255].code = 255;
        font->height = 99;
        return ZKI_LoadFontMFT(font.get());
    }
};

// Every length of the small files of versions 6 and 7; for the 256 glyphs of
// older versions every length through the header and the first entries,
// then every 97th, then the last bytes. Longest first: the file is written
// whole once and cut shorter.
std::vector<size_t> CutLengths(size_t size) {
    std::vector<size_t> lengths;
    for (size_t length = 0; length < size; length += length < 1200 || length + 300 > size ? 1 : 97) {
        lengths.insert(lengths.begin(), length);
    }
    return lengths;
}

TEST_F(RefusedFontFile, EveryTruncationOfEveryVersionIsRefused) {
    for (int version = 1; version <= 7; ++version) {
        Bytes whole = FontFileBytes(ThreeGlyphFont(version));
        Write("f.mft", whole);
        for (size_t length : CutLengths(whole.size())) {
            SCOPED_TRACE("version " + std::to_string(version) + ", " + std::to_string(length) + " bytes");
            ASSERT_EQ(truncate(Path("f.mft").c_str(), off_t(length)), 0);
            ClearLines();
            TestFont font("f.mft");
            ASSERT_FALSE(ReadFileInto(font));
            ExpectUntouched(font.get());
            std::string expected = length < 11 ? "has invalid header" : "is truncated or damaged";
            ASSERT_EQ(Popups().size(), 1u);
            EXPECT_NE(Popups()[0].find(expected), std::string::npos) << Popups()[0];
        }
    }
}

TEST_F(RefusedFontFile, CountsSizesVersionsAndValuesTheFileCannotHoldAreRefused) {
    auto with_count = [](int64_t count) {
        FontDescription d = ThreeGlyphFont(7);
        d.stated_count = count;
        return FontFileBytes(d);
    };
    auto with_glyph = [](int version, int16_t width, int16_t height, float y_offset) {
        FontDescription d = ThreeGlyphFont(version);
        d.glyphs[version >= 6 ? 0 : 'A'].width = width;
        d.glyphs[version >= 6 ? 0 : 'A'].height = height;
        d.glyphs[version >= 6 ? 0 : 'A'].y_offset = y_offset;
        return FontFileBytes(d);
    };
    auto with_version = [](char digit) {
        Bytes b = FontFileBytes(ThreeGlyphFont(7));
        b[10] = uint8_t(digit);
        return b;
    };
    auto with_metric = [](float spread, float smoothing) {
        FontDescription d = ThreeGlyphFont(7);
        d.spread = spread;
        d.smoothing = smoothing;
        return FontFileBytes(d);
    };
    Bytes unterminated(FontFileBytes(ThreeGlyphFont(7)));
    const char garbage[] = "OLK_Font_vZ";
    std::copy(garbage, garbage + 11, unterminated.begin());
    unterminated[11] = 'Q';  // the popup must stop after the 11 bytes read
    const float nan = std::numeric_limits<float>::quiet_NaN();

    struct Case {
        const char* what;
        Bytes bytes;
        std::string popup;
    };
    const Case cases[] = {
        {"more glyphs than the file holds", with_count(4), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"a count near 2^31", with_count(0x7FFFFFFF), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"a count of 2^31", with_count(0x80000000LL), ""},  // negative: an empty font, read as such
        {"pixels beyond the end", with_glyph(7, 30000, 30000, 0), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"old pixels beyond the end", with_glyph(4, 30000, 2, 0), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"a y offset that is not a number", with_glyph(7, 3, 2, nan), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"a spread that is not a number", with_metric(nan, 0), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"a smoothing that is not a number", with_metric(0, nan), "1:[POPUP] Font 'f.mft' is truncated or damaged."},
        {"version 8", with_version('8'), "1:[POPUP] Font 'f.mft' is of version 8; versions up to 7 can be read."},
        {"version 9", with_version('9'), "1:[POPUP] Font 'f.mft' is of version 9; versions up to 7 can be read."},
        {"version 0", with_version('0'), "1:[POPUP] Font 'f.mft' has invalid header ('OLK_Font_v0')"},
        {"a letter for a version", unterminated, "1:[POPUP] Font 'f.mft' has invalid header ('OLK_Font_vZ')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        TestFont font("f.mft");
        bool read = ReadInto(font, c.bytes);
        if (c.popup.empty()) {
            EXPECT_TRUE(read);
            EXPECT_EQ(font->num_glyphs, 0);
            EXPECT_EQ(font->glyphs, nullptr);
            continue;
        }
        EXPECT_FALSE(read);
        ExpectUntouched(font.get());
        EXPECT_EQ(Popups(), std::vector<std::string>{c.popup});
    }
}

TEST_F(FontFileTest, AnOldVersionReadAfterASmallNewOneGetsAll256Records) {
    Write("new.mft", FontFileBytes(ThreeGlyphFont(6)));
    FontDescription old = ThreeGlyphFont(5);
    old.glyphs[255] = PatternGlyph(0, 2, 2, 1);
    Write("old.mft", FontFileBytes(old));
    TestFont font("new.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    ASSERT_EQ(font->num_glyphs, 3);
    free(font->name);
    font->name = strdup("old.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
    ASSERT_EQ(font->num_glyphs, 256);
    EXPECT_EQ(PixelsOf(font->glyphs[255]), old.glyphs[255].pixels);
    EXPECT_EQ(font->glyphs[200].kern[255], 0);
}

// An older file has no distance-field fields: a record that read a
// distance-field file before holds, after reading one, what a fresh record
// reading it holds (no spread, smoothing or flag, and scale 1).
TEST_F(FontFileTest, AnOlderFileReadAfterADistanceFieldFileIsNoDistanceField) {
    Write("df.mft", FontFileBytes(ThreeGlyphFont(7)));  // spread 0.5, smoothing 0.25, scale 2
    for (int version = 1; version <= 6; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        Write("old.mft", FontFileBytes(ThreeGlyphFont(version)));
        TestFont fresh("old.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(fresh.get()));
        TestFont font("df.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        ASSERT_EQ(font->flags & ZK_FONT_DISTANCE_FIELD, ZK_FONT_DISTANCE_FIELD);
        free(font->name);
        font->name = strdup("old.mft");
        ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
        EXPECT_EQ(font->flags, fresh->flags);
        EXPECT_EQ(font->spread, fresh->spread);
        EXPECT_EQ(font->smoothing, fresh->smoothing);
        EXPECT_EQ(font->scale, fresh->scale);
        EXPECT_EQ(fresh->scale, 1.0f);
        EXPECT_EQ(font->baseline, fresh->baseline);
        EXPECT_EQ(font->height, fresh->height);
        EXPECT_EQ(font->line_spacing, fresh->line_spacing);
        EXPECT_EQ(font->utf8, fresh->utf8);
        EXPECT_EQ(font->num_glyphs, fresh->num_glyphs);
    }
}

TEST_F(FontFileTest, AMissingFileIsReportedAsNotFound) {
    TestFont font("nowhere/f.mft");
    EXPECT_FALSE(ZKI_LoadFontMFT(font.get()));
    EXPECT_TRUE(WasPrinted("0:Font 'nowhere/f.mft' file not found."));
    EXPECT_FALSE(ZKI_LoadFontMFT(nullptr));
}

TEST_F(FontFileTest, WritingVersion7AndReadingItBackGivesTheSameBytes) {
    for (int order : {0, 1}) {
        for (const char* encoding : {"UTF-8", "LATIN-1"}) {
            SCOPED_TRACE(std::string(encoding) + ", pixel order " + std::to_string(order));
            zk_state.pixel_byte_order = order;
            FontDescription description = ThreeGlyphFont(7);
            description.encoding = encoding;
            // Every glyph kerned but the one without pixels, whose entry
            // stores no row and must be written again without one.
            for (GlyphEntry& g : description.glyphs) {
                if (!g.pixels.empty()) g.kern = {int8_t(g.code), -128, 127};
            }
            Bytes original = FontFileBytes(description);
            Write("in.mft", original);
            TestFont font("in.mft");
            ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
            Bytes in_memory = PixelsOf(font->glyphs[0]);
            ASSERT_TRUE(zk->graphics->ZK_Graphics_SaveFont(font.get(), Path("out.mft").c_str()));
            EXPECT_EQ(Read("out.mft"), original);
            EXPECT_EQ(PixelsOf(font->glyphs[0]), in_memory);  // the writer leaves the font's pixels alone
        }
    }
}

TEST_F(FontFileTest, AGlyphWithoutKerningOrPixelsIsWrittenSoThatItReadsBackTheSame) {
    TestFont font("made");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font.get(), 2));
    font->glyphs[0].code = 'x';
    font->glyphs[0].advance = 6;
    font->glyphs[0].bitmap.width = 5;  // a size without pixels stores no size
    font->glyphs[1].code = 'y';
    font->glyphs[1].kern = static_cast<int8_t*>(calloc(2, 1));
    font->glyphs[1].kern[0] = -7;
    ASSERT_TRUE(ZKI_SaveFont(font.get(), Path("out.mft").c_str()));
    TestFont back(Path("out.mft"));
    ASSERT_TRUE(ZKI_LoadFontMFT(back.get()));
    ASSERT_EQ(back->num_glyphs, 2);
    EXPECT_EQ(back->glyphs[0].code, uint32_t('x'));
    EXPECT_EQ(back->glyphs[0].advance, 6);
    EXPECT_EQ(back->glyphs[0].bitmap.width, 0);
    EXPECT_EQ(back->glyphs[0].kern, nullptr);
    ASSERT_NE(back->glyphs[1].kern, nullptr);
    EXPECT_EQ(back->glyphs[1].kern[0], -7);
}

TEST_F(FontFileTest, SavingWherePathsCannotBeWrittenIsRefusedAndLeavesNoFile) {
    TestFont font("f.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font.get(), 1));
    std::string missing_folder = Path("missing/out.mft");
    struct Case {
        const char* path;
        std::string popup;
    };
    const Case cases[] = {
        {nullptr, "1:[POPUP] Failed to save font 'f.mft': no file path to write to."},
        {"", "1:[POPUP] Failed to save font 'f.mft': no file path to write to."},
        {"res://fonts/out.mft", "1:[POPUP] Failed to save font 'res://fonts/out.mft': only native paths can be written."},
        {missing_folder.c_str(), "1:[POPUP] Failed to save font '" + missing_folder + "'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "null");
        ClearLines();
        EXPECT_FALSE(ZKI_SaveFont(font.get(), c.path));
        EXPECT_EQ(Popups(), std::vector<std::string>{c.popup});
    }
    EXPECT_FALSE(ZKI_SaveFont(nullptr, Path("out.mft").c_str()));
    EXPECT_EQ(storage_test::NamesIn(folder_.Path()), std::vector<std::string>{});

    font->glyphs[0].bitmap.width = 40000;
    font->glyphs[0].bitmap.height = 1;
    font->glyphs[0].bitmap.pixels = static_cast<uint32_t*>(calloc(40000, 4));
    ClearLines();
    EXPECT_FALSE(ZKI_SaveFont(font.get(), Path("out.mft").c_str()));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Failed to save font '" + Path("out.mft") +
                                                 "': glyph #0 is larger than 32767 pixels."});
}

}  // namespace
