// What a data manifest entry does to a bitmap (its drawing size and pack
// mode) and to a bitmap sequence (every frame scaled to the entry's
// height), over manifests written to the test's folder.
#include <string>
#include <utility>
#include <vector>

#include "engine/bitmaps/bitmap_manifest_rules.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/database_manager.h"

namespace {

class BitmapManifestRules : public BitmapTest {
protected:
    void SetUp() override {
        BitmapTest::SetUp();
        zk_data_manifest_databases.count = 0;
        zk_data_manifest_arrays.count = 0;
    }
    void TearDown() override {
        zk_data_manifest_databases.count = 0;
        zk_data_manifest_arrays.count = 0;
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        BitmapTest::TearDown();
    }
    // Writes a manifest whose first array holds the given nodes and adds it.
    void AddManifest(const std::string& nodes) {
        std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n<array id=\"RESOURCES\">\n" +
                           nodes + "</array>\n</root>\n";
        Write("manifest.xml", std::vector<uint8_t>(text.begin(), text.end()));
        ZKI_AddManifest(Path("manifest.xml").c_str());
        ASSERT_EQ(zk_data_manifest_arrays.count, 1);
    }
    // The texts of the lines printed since the last ClearLines(), without
    // their types.
    static std::vector<std::string> PrintedTexts() {
        std::vector<std::string> texts;
        for (const std::string& line : Lines()) texts.push_back(line.substr(line.find(':') + 1));
        return texts;
    }
};

zk_bitmap_t Bitmap(const char* name, int width, int height) {
    zk_bitmap_t bitmap{};
    bitmap.name = const_cast<char*>(name);
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pack_mode = 7;
    return bitmap;
}

TEST_F(BitmapManifestRules, AnEntryGivesTheBitmapItsSizeAndPackMode) {
    AddManifest(
        "<node id=\"both.png\" w=\"20\" h=\"10\"/>\n"
        "<node id=\"only_w.png\" w=\"20\"/>\n"
        "<node id=\"none.png\"/>\n"
        "<node id=\"np.png\" w=\"1\" h=\"1\" pack_mode=\"NO_PADDING\"/>\n"
        "<node id=\"pt.png\" w=\"1\" h=\"1\" pack_mode=\"PAD_TRANSPARENT\"/>\n"
        "<node id=\"pe.png\" w=\"1\" h=\"1\" pack_mode=\"PAD_EXPAND \"/>\n"
        "<node id=\"pe_no_blank.png\" w=\"1\" h=\"1\" pack_mode=\"PAD_EXPAND\"/>\n");
    struct Case {
        const char* id;
        int width, height;
        uint32_t pack_mode;
        const char* printed;  // the pack-mode line, null for none
    } cases[] = {
        {"both.png", 20, 10, 7, nullptr},
        {"both", 20, 10, 7, nullptr},
        {"only_w.png", 20, 32, 7, nullptr},
        {"none.png", 32, 32, 7, nullptr},
        {"no_entry.png", 100, 50, 7, nullptr},
        {"np.png", 1, 1, 3, "Using pack mode 'NO_PADDING'\n"},
        {"pt.png", 1, 1, 2, "Using pack mode 'PAD_TRANSPARENT'\n"},
        {"pe.png", 1, 1, 0, "Using pack mode 'PAD_EXPAND '\n"},
        {"pe_no_blank.png", 1, 1, 7, "Using pack mode 'PAD_EXPAND'\n"},
    };
    for (const Case& c : cases) {
        ClearLines();
        zk_bitmap_t bitmap = Bitmap("own name", 100, 50);
        ZKI_UpdateBitmapAccordingToDataManifest(&bitmap, c.id);
        EXPECT_EQ(bitmap.width, c.width) << c.id;
        EXPECT_EQ(bitmap.height, c.height) << c.id;
        EXPECT_EQ(bitmap.texture_width, 100) << c.id;
        EXPECT_EQ(bitmap.texture_height, 50) << c.id;
        EXPECT_EQ(bitmap.pack_mode, c.pack_mode) << c.id;
        EXPECT_EQ(PrintedTexts(), c.printed ? std::vector<std::string>{c.printed} : std::vector<std::string>{})
            << c.id;
    }
    zk_bitmap_t named = Bitmap("both.png", 100, 50);
    ZKI_UpdateBitmapAccordingToDataManifest(&named);
    EXPECT_EQ(named.width, 20);
    ZKI_UpdateBitmapAccordingToDataManifest(nullptr);
}

std::vector<std::pair<zk_bitmap_t*, int>> frames_set;
void RecordSetFrame(zk_bitmap_t* bitmap, int frame) { frames_set.push_back({bitmap, frame}); }

class ManifestSequences : public BitmapManifestRules {
protected:
    void SetUp() override {
        BitmapManifestRules::SetUp();
        frames_set.clear();
        real_set_frame = zk->graphics->ZK_Graphics_SetBitmapFrame;
        zk->graphics->ZK_Graphics_SetBitmapFrame = RecordSetFrame;
        AddManifest(
            "<node id=\"anim.bms\" w=\"999\" h=\"64\"/>\n"
            "<node id=\"noh.bms\"/>\n"
            "<node id=\"f1.png\" w=\"5\" h=\"6\"/>\n"
            "<node id=\"anim\" h=\"64\"/>\n"
            "<node id=\"anim.BMS\" h=\"64\"/>\n"
            "<node id=\"anim.bmS\" h=\"64\"/>\n"
            "<node id=\"bms\" h=\"64\"/>\n"
            "<node id=\"animbms\" h=\"64\"/>\n"
            "<node id=\"xbms\" h=\"64\"/>\n");
    }
    void TearDown() override {
        zk->graphics->ZK_Graphics_SetBitmapFrame = real_set_frame;
        BitmapManifestRules::TearDown();
    }
    void (*real_set_frame)(zk_bitmap_t*, int) = nullptr;
};

TEST_F(ManifestSequences, ABitmapSequenceScalesEveryFrameToTheEntryHeight) {
    struct Case {
        const char* name;
        int first_height;
        int expected_width[2], expected_height[2];
        bool frame_set;
    } cases[] = {
        {"anim.bms", 128, {50, 15}, {64, 32}, true},  // halved, truncated toward zero
        {"noh.bms", 64, {50, 15}, {32, 32}, true},    // no "h": 32
        {"anim.bms", 0, {100, 31}, {0, 64}, true},    // a first frame 0 high: sizes kept
        {"gone.bms", 128, {100, 31}, {128, 64}, false},
    };
    for (const Case& c : cases) {
        frames_set.clear();
        zk_bitmap_t frames[2] = {Bitmap("", 100, c.first_height), Bitmap("", 31, 64)};
        zk_bitmap_t sequence = Bitmap(c.name, 7, 7);
        sequence.frames = frames;
        sequence.frame_count = 2;
        ZKI_UpdateBitmapSequenceAccordingToDataManifest(&sequence);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(frames[i].width, c.expected_width[i]) << c.name << " frame " << i;
            EXPECT_EQ(frames[i].height, c.expected_height[i]) << c.name << " frame " << i;
            if (c.frame_set) {
                EXPECT_EQ(frames[i].texture_width, i == 0 ? 100 : 31) << c.name;
                EXPECT_EQ(frames[i].texture_height, i == 0 ? c.first_height : 64) << c.name;
            }
        }
        EXPECT_EQ(sequence.width, 7) << c.name;  // "w" of a sequence entry is not used
        std::vector<std::pair<zk_bitmap_t*, int>> expected;
        if (c.frame_set) expected.push_back({&sequence, 0});
        EXPECT_EQ(frames_set, expected) << c.name;
    }

    // Frame 0 is made current also for a sequence without frames.
    zk_bitmap_t empty = Bitmap("anim.bms", 7, 7);
    ZKI_UpdateBitmapSequenceAccordingToDataManifest(&empty);
    EXPECT_EQ(frames_set.back(), std::make_pair(&empty, 0));
}

// A sequence is told by the last three characters of its name, "bms",
// case-sensitively; any other sequence updates each frame by the frame's
// own name. Every name below has an entry 64 high of its own.
TEST_F(ManifestSequences, OtherSequencesUpdateEachFrameByItsOwnName) {
    struct Case {
        const char* name;
        bool scaled;  // as a sequence file: both frames to the entry's height
    } cases[] = {
        {"anim", false},
        {"anim.BMS", false},
        {"anim.bmS", false},
        {"bms", false},  // too short to be a sequence file
        {"animbms", true},
        {"xbms", true},
    };
    for (const Case& c : cases) {
        frames_set.clear();
        zk_bitmap_t frames[2] = {Bitmap("f1.png", 100, 50), Bitmap("f2.png", 30, 40)};
        zk_bitmap_t sequence = Bitmap(c.name, 7, 7);
        sequence.frames = frames;
        sequence.frame_count = 2;
        ZKI_UpdateBitmapSequenceAccordingToDataManifest(&sequence);
        // Scaled by 64 / 50, or the first frame by its entry and the second,
        // without one, kept.
        EXPECT_EQ(frames[0].width, c.scaled ? 128 : 5) << c.name;
        EXPECT_EQ(frames[0].height, c.scaled ? 64 : 6) << c.name;
        EXPECT_EQ(frames[1].width, c.scaled ? 38 : 30) << c.name;
        EXPECT_EQ(frames[1].height, c.scaled ? 51 : 40) << c.name;
        EXPECT_EQ(frames[0].texture_width, 100) << c.name;
        EXPECT_EQ(frames[1].texture_height, 40) << c.name;
        std::vector<std::pair<zk_bitmap_t*, int>> expected;
        if (c.scaled) expected.push_back({&sequence, 0});
        EXPECT_EQ(frames_set, expected) << c.name;
    }
}

}  // namespace
