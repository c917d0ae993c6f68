// Font files and font slots: version 6 read and written byte for byte,
// versions 1 to 5 by their rules, damaged files refused, and fonts cached
// by name in 32 slots.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/manifester/fonts.h"
#include "tools/manifester/tests/font_files.h"
#include "tools/manifester/tests/manifester_test_support.h"

using namespace manifester;
using namespace manifester_test;

namespace {

Bytes Cut(const Bytes& bytes, size_t keep) { return Bytes(bytes.begin(), bytes.begin() + long(keep)); }

Bytes Rgba(std::initializer_list<int> values) {
    Bytes bytes;
    for (int v : values) bytes.push_back(uint8_t(v));
    return bytes;
}

// Three glyphs: kerned pixels, an empty Euro sign, and a tall one.
FontFile SampleFont(const std::string& encoding) {
    FontFile font;
    font.encoding = encoding;
    font.baseline = 11;
    font.height = 13;
    font.line_spacing = 16;
    FontFileGlyph a;
    a.code = 'A';
    a.y_offset = -3;
    a.x_offset = 1;
    a.advance = 9;
    a.kerning = {0, -2, 5};
    a.width = 2;
    a.height = 1;
    a.pixels = Rgba({10, 20, 30, 40, 50, 60, 70, 80});
    FontFileGlyph euro;
    euro.code = 0x20AC;
    euro.advance = 4;
    FontFileGlyph tall;
    tall.code = 'l';
    tall.kerning = {-128, 127, 0};
    tall.width = 1;
    tall.height = 2;
    tall.pixels = Rgba({1, 2, 3, 4, 5, 6, 7, 8});
    font.glyphs = {a, euro, tall};
    return font;
}

class FontFiles : public ManifesterTest {};

TEST_F(FontFiles, Version6ReadsEveryFieldAndIsWrittenByteForByte) {
    for (const char* encoding : {"UTF-8", "LATIN-1"}) {
        for (int order : {0, 1}) {
            zk_state.pixel_byte_order = order;
            FontFile expected = SampleFont(encoding);
            std::string path = dir / "sample.mft";
            WriteBytes(path, WriteFontVersion6(expected));
            TestFont font(path);
            ASSERT_TRUE(ZKI_LoadFontMFT(&font)) << RecordedText();
            EXPECT_EQ(font.utf8, std::string(encoding) == "UTF-8");
            // In memory, pixels follow the pixel byte order.
            const uint8_t* a = reinterpret_cast<const uint8_t*>(font.glyphs[0].bitmap.pixels);
            EXPECT_EQ(a[0], order ? 30 : 10);
            EXPECT_EQ(a[2], order ? 10 : 30);
            EXPECT_EQ(font.glyphs[1].bitmap.pixels, nullptr);
            EXPECT_EQ(font.glyphs[1].kerning, nullptr);

            std::string saved = dir / "saved.mft";
            ASSERT_TRUE(ZKI_SaveFont(&font, saved.c_str()));
            EXPECT_EQ(ReadText(saved), ReadText(path)) << encoding << " order " << order;
            EXPECT_EQ(a[0], order ? 30 : 10);  // exchanged back after writing
        }
    }
    zk_state.pixel_byte_order = 0;
    TestFont font(dir / "sample.mft");
    ASSERT_TRUE(ZKI_LoadFontMFT(&font));
    EXPECT_EQ(DescribeFontFile(FontFileOf(font)), DescribeFontFile(SampleFont("LATIN-1")));
    EXPECT_EQ(RecordedText(), "..saving font '" + dir / "saved.mft" + "'..\n..saving font '" + dir / "saved.mft" +
                                  "'..\n..saving font '" + dir / "saved.mft" + "'..\n..saving font '" +
                                  dir / "saved.mft" + "'..\n");
}

TEST_F(FontFiles, OlderVersionsByTheirRules) {
    FontFile file;
    file.encoding = "UTF-8";
    file.baseline = 7;
    file.height = 9;
    file.line_spacing = 10;
    file.glyphs.resize(256);
    FontFileGlyph& a = file.glyphs['A'];
    a.y_offset = 2;
    a.x_offset = -1;
    a.advance = 7;
    a.kerning = std::vector<int8_t>(256, 0);
    a.kerning['V'] = -3;
    a.width = 2;
    a.height = 1;
    struct Case {
        int version;
        bool rgba_file;
        int x_offset, advance;
        bool kerning;
    } cases[] = {
        {1, false, 0, 3, false}, {2, false, -1, 3, false}, {3, false, -1, 7, false},
        {4, false, -1, 7, true}, {5, true, -1, 7, true},
    };
    for (const Case& c : cases) {
        a.pixels = c.rgba_file ? Rgba({10, 20, 30, 40, 50, 60, 70, 80}) : Rgba({30, 20, 10, 40, 70, 60, 50, 80});
        std::string path = dir / ("v" + std::to_string(c.version) + ".mft");
        WriteBytes(path, WriteOldFontVersion(c.version, file));
        TestFont font(path);
        ASSERT_TRUE(ZKI_LoadFontMFT(&font)) << c.version << RecordedText();
        EXPECT_EQ(font.utf8, 1);
        EXPECT_EQ(font.baseline, 7);
        EXPECT_EQ(font.height, 9);
        EXPECT_EQ(font.line_spacing, 10);
        ASSERT_EQ(font.glyph_count, 256);
        const zk_glyph_t& g = font.glyphs['A'];
        EXPECT_EQ(g.code, uint32_t('A'));
        EXPECT_EQ(g.y_offset, 2);
        EXPECT_EQ(g.x_offset, c.x_offset) << c.version;
        EXPECT_EQ(g.advance, c.advance) << c.version;
        EXPECT_EQ(g.kerning != nullptr, c.kerning) << c.version;
        if (g.kerning) {
            EXPECT_EQ(g.kerning['V'], -3);
        }
        ASSERT_NE(g.bitmap.pixels, nullptr);
        const uint8_t* p = reinterpret_cast<const uint8_t*>(g.bitmap.pixels);
        EXPECT_EQ(std::vector<int>(p, p + 8), (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80})) << c.version;
        EXPECT_EQ(font.glyphs['B'].advance, c.version <= 2 ? 1 : 0) << c.version;
    }
    // Old sizes are signed here: a width stored as 0xFFFF is -1, a glyph
    // without pixels (unsigned, it would ask for 65535 pixels).
    a.width = -1;
    a.pixels.clear();
    std::string path = dir / "signed.mft";
    WriteBytes(path, WriteOldFontVersion(3, file));
    TestFont font(path);
    ASSERT_TRUE(ZKI_LoadFontMFT(&font)) << RecordedText();
    EXPECT_EQ(font.glyphs['A'].bitmap.width, -1);
    EXPECT_EQ(font.glyphs['A'].bitmap.pixels, nullptr);
    EXPECT_TRUE(Recorded().empty()) << RecordedText();
}

// Every way a file can lie about what follows is refused with a message,
// and the font is left empty: no sizes from the file, 256 glyphs, no pixels.
TEST_F(FontFiles, DamagedFilesAreRefusedAndLeaveTheFontEmpty) {
    Bytes good = WriteFontVersion6(SampleFont("UTF-8"));
    auto with_count = [&](uint32_t count) {
        Bytes bytes = good;
        const size_t count_at = 12 + 6 + 12;
        for (int i = 0; i < 4; ++i) bytes[count_at + size_t(i)] = uint8_t(count >> (8 * i));
        return bytes;
    };
    FontFile huge_glyph;
    huge_glyph.glyphs.resize(1);
    huge_glyph.glyphs[0].width = 30000;
    huge_glyph.glyphs[0].height = 30000;
    huge_glyph.glyphs[0].pixels = Bytes(64, 1);
    FontFile many;
    many.glyphs.resize(65537);
    FontFile long_name;
    long_name.encoding = std::string(40, 'U');
    FontFile old_huge = huge_glyph;
    old_huge.encoding = std::string(600, 'L');  // longer names are cut, not refused

    struct Case {
        std::string name;
        Bytes file;
    };
    std::vector<Case> cases = {
        {"count -1", with_count(0xFFFFFFFF)},
        {"count 2^31 - 1", with_count(0x7FFFFFFF)},
        {"count past the code points", with_count(70000)},
        {"count past the code points in a file that holds them", WriteFontVersion6(many)},
        {"count past the file", with_count(50)},
        {"30000 x 30000 glyph", WriteFontVersion6(huge_glyph)},
        {"encoding without its 0 in 32 bytes", WriteFontVersion6(long_name)},
        {"old version, 30000 x 30000 glyph", WriteOldFontVersion(5, old_huge)},
        {"old version cut short", Cut(WriteOldFontVersion(4, FontFile()), 1000)},
        {"old version without a 0 after its name", Bytes({'O', 'L', 'K', '_', 'F', 'o', 'n', 't', '_', 'v', '3', 0, 'L'})},
    };
    for (size_t cut = 12; cut < good.size(); ++cut) {
        cases.push_back({"cut at " + std::to_string(cut), Cut(good, cut)});
    }
    std::string path = dir / "damaged.mft";
    for (const Case& c : cases) {
        Recorded().clear();
        WriteBytes(path, c.file);
        TestFont font(path);
        EXPECT_FALSE(ZKI_LoadFontMFT(&font)) << c.name;
        EXPECT_EQ(RecordedText(), "Font '" + path + "' is cut short or holds sizes its file cannot hold.\n") << c.name;
        EXPECT_EQ(font.glyph_count, 256) << c.name;
        EXPECT_EQ(font.height, 0) << c.name;
        EXPECT_EQ(font.utf8, 0) << c.name;
        for (int i = 0; i < font.glyph_count; ++i) {
            ASSERT_EQ(font.glyphs[i].bitmap.pixels, nullptr) << c.name;
            ASSERT_EQ(font.glyphs[i].kerning, nullptr) << c.name;
        }
        EXPECT_EQ(zk_state.open_files, 0) << c.name;
    }
}

// One glyph for each code point below 65536 is the most a font holds: a
// file of exactly that many is read whole, one glyph more is refused.
TEST_F(FontFiles, AtMostOneGlyphForEachCodePointBelow65536) {
    std::string path = dir / "every.mft";
    for (uint32_t count : {65536u, 65537u}) {
        FontFile every;
        every.encoding = "UTF-8";
        every.height = 7;
        every.glyphs.resize(count);
        for (uint32_t code = 0; code < count; ++code) {
            every.glyphs[code].code = code;
            every.glyphs[code].advance = int16_t(code % 13);
        }
        WriteBytes(path, WriteFontVersion6(every));
        Recorded().clear();
        TestFont font(path);
        bool fits = count <= 65536;
        EXPECT_EQ(ZKI_LoadFontMFT(&font), fits) << count;
        if (fits) {
            EXPECT_EQ(RecordedText(), "") << count;
            ASSERT_EQ(font.glyph_count, int(count));
            EXPECT_EQ(font.height, 7);
            EXPECT_EQ(font.glyphs[65535].code, 65535u);
            EXPECT_EQ(font.glyphs[65535].advance, 65535 % 13);
        } else {
            EXPECT_EQ(RecordedText(), "Font '" + path + "' is cut short or holds sizes its file cannot hold.\n");
            EXPECT_EQ(font.glyph_count, 256) << count;
        }
    }
}

TEST_F(FontFiles, UnknownHeadersAndMissingFiles) {
    struct Case {
        std::string name;
        Bytes file;
        std::string shown;
    } cases[] = {
        {"version 7", FontHeader("OLK_Font_v7", "UTF-8", 1, 2, 3), "OLK_Font_v7"},
        {"version 0", FontHeader("OLK_Font_v0", "UTF-8", 1, 2, 3), "OLK_Font_v0"},
        {"other magic", FontHeader("XLK_Font_v6", "UTF-8", 1, 2, 3), "XLK_Font_v6"},
        {"short", {'O', 'L', 'K'}, ""},
    };
    std::string path = dir / "header.mft";
    for (const Case& c : cases) {
        Recorded().clear();
        WriteBytes(path, c.file);
        TestFont font(path);
        EXPECT_FALSE(ZKI_LoadFontMFT(&font)) << c.name;
        EXPECT_EQ(RecordedText(), "Font '" + path + "' has unknown or bad header ('" + c.shown + "')\n") << c.name;
    }
    Recorded().clear();
    TestFont missing(dir / "missing.mft");
    EXPECT_FALSE(ZKI_LoadFontMFT(&missing));
    EXPECT_EQ(RecordedText(), "(not found)");
    EXPECT_EQ(zk_state.open_files, 0);
}

TEST_F(FontFiles, SavingRefusesWhatTheFormatCannotHold) {
    TestFont font(dir / "x.mft");
    font.glyphs[3].bitmap.width = 40000;
    font.glyphs[3].bitmap.height = 1;
    std::string path = dir / "wide.mft";
    EXPECT_FALSE(ZKI_SaveFont(&font, path.c_str()));
    EXPECT_NE(RecordedText().find("Failed to save font '" + path + "'\n"), std::string::npos);
    EXPECT_EQ(ReadText(path), "");
    font.glyphs[3].bitmap.width = 0;
    EXPECT_FALSE(ZKI_SaveFont(&font, (dir / "no/such/folder.mft").c_str()));
    EXPECT_FALSE(ZKI_SaveFont(nullptr, path.c_str()));
    EXPECT_TRUE(ZKI_SaveFont(&font, path.c_str()));
    FontFile read;
    std::string saved = ReadText(path);
    ASSERT_TRUE(ReadFontVersion6(Bytes(saved.begin(), saved.end()), &read));
    EXPECT_EQ(read.glyphs.size(), 256u);
}

class FontSlots : public ManifesterTest {};

TEST_F(FontSlots, SharedByNameExceptPlaceholdersAndLimitedTo32) {
    std::string path = dir / "sample.mft";
    WriteBytes(path, WriteFontVersion6(SampleFont("LATIN-1")));
    zk_font_t* first = ZKI_LoadFont(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(zk->GetFont(path.c_str()), first);
    EXPECT_EQ(first->reference_count, 2);
    EXPECT_EQ(first->glyph_count, 3);
    EXPECT_EQ(first->scale, 1.0f);
    EXPECT_EQ(RecordedText(), "..caching font '" + path + "' (13px)\n");

    // Placeholders are never shared and touch no file.
    Recorded().clear();
    std::vector<zk_font_t*> placeholders;
    for (int i = 1; i < zk_max_fonts; ++i) placeholders.push_back(ZKI_LoadFont("!NONE"));
    for (size_t i = 0; i < placeholders.size(); ++i) {
        ASSERT_NE(placeholders[i], nullptr) << i;
        EXPECT_EQ(placeholders[i]->reference_count, 1);
        EXPECT_EQ(placeholders[i]->glyph_count, 256);
        if (i) {
            EXPECT_NE(placeholders[i], placeholders[i - 1]);
        }
    }
    EXPECT_EQ(RecordedText().find("Unable"), std::string::npos);
    EXPECT_EQ(zk_state.used_fonts, 32);

    Recorded().clear();
    EXPECT_EQ(ZKI_LoadFont("!NONE"), nullptr);
    EXPECT_EQ(RecordedText(), " ! Zekar out of free fonts.\n");
    EXPECT_EQ(ZKI_LoadFont(path.c_str()), first);  // a cached one is still found
    EXPECT_EQ(ZKI_LoadFont(nullptr), nullptr);
}

TEST_F(FontSlots, AFailedLoadIsReturnedEmptyAndWritesNothing) {
    // Settings that would generate a font, under names that cannot be read
    // back: only ".mft" names are generated and saved.
    std::string settings = "<?xml?><root><array id=\"settings\"><node id=\"INPUT\" ttf=\"missing.ttf\" size_px=\"8\"/>"
                           "</array></root>";
    struct Case {
        const char* name;
        const char* messages;
    } cases[] = {
        {"plain", "..caching font '%s' failed: bad or unfound file\nUnable to load font '%s'."},
        {"fonts.xml", "..caching font '%s' failed: bad or unfound file\nUnable to load font '%s'."},
        {"absent.mft",
         "..caching font '%s' (not found)Attempting to generate font from source '%s.xml'\n"
         "ZK_XML Array File '%s.xml' not found!\n"
         "Failed to generate font from source '%s.xml': Database not found or doesn't contain any arrays.\n"
         "failed: bad or unfound file\nUnable to load font '%s'."},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        std::string path = dir / c.name;
        WriteBytes(path + ".xml", Bytes(settings.begin(), settings.end()));
        if (std::string(c.name) == "absent.mft") remove((path + ".xml").c_str());
        zk_font_t* font = ZKI_LoadFont(path.c_str());
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->glyph_count, 256);
        EXPECT_EQ(font->height, 0);
        EXPECT_EQ(font->reference_count, 1);
        std::string messages = c.messages;
        for (size_t at; (at = messages.find("%s")) != std::string::npos;) messages.replace(at, 2, path);
        std::string recorded = RecordedText();
        size_t arrays = recorded.find("0 Arrays loaded");
        if (arrays != std::string::npos) recorded.erase(arrays, recorded.find('\n', arrays) + 1 - arrays);
        EXPECT_EQ(recorded, messages) << c.name;
        EXPECT_EQ(ReadText(path), "") << c.name;  // nothing written under the name
    }
}

}  // namespace
