// Set-up of the font tests, over DataFolderTest (font names are paths below
// its data folder): every font record is given back afterwards.
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

#include "engine/media/fonts.h"
#include "engine/media/tests/data_folder_fixture.h"
#include "engine/media/tests/font_file_builder.h"

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
