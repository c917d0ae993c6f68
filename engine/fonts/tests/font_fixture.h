// Set-up of the font tests, over DataFolderTest (font names are paths below
// its data folder): the image loader, and every font record given back
// afterwards.
//
//   class MyTest : public FontTest {};
//   TEST_F(MyTest, ...) {
//       Write("fonts/a.mft", font_test::FontFileBytes(description));
//       TestFont font("fonts/a.mft");
//       ASSERT_TRUE(ZKI_LoadFontMFT(font.get()));
//   }
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/fonts/fonts.h"
#include "engine/render/tests/data_folder_fixture.h"
#include "engine/fonts/tests/font_file_builder.h"
#include "engine/images/image_loader.h"

// A font record outside the pool, named as given, whose glyphs and name
// go with it.
class TestFont {
public:
    explicit TestFont(const std::string& name) {
        record.name = strdup(name.c_str());
        record.scale = 1.0f;
    }
    ~TestFont() {
        ZKI_FreeFontGlyphs(&record);
        free(record.name);
    }
    TestFont(const TestFont&) = delete;
    TestFont& operator=(const TestFont&) = delete;
    zk_font_t* get() { return &record; }
    zk_font_t* operator->() { return &record; }
    zk_font_t record = {};
};

class FontTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ZKI_InitImageLoader();
    }
    void TearDown() override {
        for (int i = 0; i < zk_state.num_fonts && i < ZK_MAX_FONTS; ++i) {
            if (zk_state.fonts[i].name) ZKI_FONTS_ReleaseFont(&zk_state.fonts[i]);
        }
        DataFolderTest::TearDown();
    }

    using DataFolderTest::Write;
    static void Write(const std::string& path, const font_test::Bytes& bytes) {
        Write(path, std::string(bytes.begin(), bytes.end()));
    }
    font_test::Bytes Read(const std::string& name) {
        std::ifstream in(folder_ / name, std::ios::binary);
        return font_test::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string Path(const std::string& name) const { return folder_ / name; }

    // The popups shown since SetUp, as "type:text".
    static std::vector<std::string> Popups() {
        std::vector<std::string> popups;
        for (const std::string& line : Lines()) {
            if (line.find(":[POPUP] ") != std::string::npos) popups.push_back(line);
        }
        return popups;
    }
};

namespace font_test {

// A strip to generate fonts/strip.mft from (saved as fonts/strip.tga),
// with its glyph nodes and settings. '"' is two one-column blocks; L and T
// are 3x4 (T under the bar of L's height); '-' is 2x1. The columns between
// them are empty.
inline const std::vector<std::string> kStrip = {
    "X.X...........",
    "X.X...........",
    "....X...XXX...",
    "....X....X....",
    "....X....X..XX",
    "....XXX..X....",
};
inline const char kGlyphNodes[] =
    "<node id=\"34\" span=\"2\"/>\n<node id=\"76\"/>\n<node id=\"84\"/>\n<node id=\"45\"/>\n"
    "<node id=\"32\" span=\"0\" spacing=\"3\"/>\n";
inline const char kSettings[] =
    "<node id=\"VERSION\" value=\"2\"/>\n<node id=\"INPUT\" bitmap=\"strip.tga\"/>\n"
    "<node id=\"SPACING\" value=\"1\"/>\n<node id=\"Y_SAFEZONE\" value=\"1\"/>\n"
    "<node id=\"LINE_PADDING_OFFSET\" value=\"2\"/>\n";

// The settings XML with these settings nodes, glyph nodes and further
// arrays (an array left empty is left out).
inline std::string SettingsXml(const std::string& settings, const std::string& glyphs = kGlyphNodes,
                               const std::string& more = "") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n";
    if (!settings.empty()) xml += "<array id=\"settings\">\n" + settings + "</array>\n";
    if (!glyphs.empty()) xml += "<array id=\"glyphs\">\n" + glyphs + "</array>\n";
    return xml + more + "</root>\n";
}

}  // namespace font_test
