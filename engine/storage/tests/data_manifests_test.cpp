// Data manifests: adding them, the look-up with its extension fallbacks
// across manifests, and what an entry does to a bitmap and a sequence.
#include <cstring>
#include <string>
#include <vector>

#include "engine/runtime/media_records.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace InnerZK;
using namespace storage_test;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";

class DataManifests : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        zk_data_manifest_databases.count = 0;
        zk_data_manifest_arrays.count = 0;
    }
    void TearDown() override {
        zk_data_manifest_databases.count = 0;
        zk_data_manifest_arrays.count = 0;
        // The manager keeps its databases for the whole run; these files
        // are gone after the test.
        for (int i = zk_dman.databases.count - 1; i >= 0; --i) {
            DMDatabase* database = zk_dman.databases[i];
            if (database->name && strncmp(database->name, dir.Path().c_str(), dir.Path().size()) == 0) {
                zk_dman.ReleaseDatabase(database);
            }
        }
    }
    // Writes a manifest whose first array holds the given nodes and adds it.
    std::string Add(const std::string& name, const std::string& nodes, const std::string& more_arrays = "") {
        std::string path = dir / name;
        WriteFile(path, declaration + "<root>\n<array id=\"RESOURCES\">\n" + nodes + "</array>\n" + more_arrays +
                            "</root>\n");
        ZKI_AddManifest(path.c_str());
        return path;
    }
    std::vector<std::string> DebugLines() {
        std::vector<std::string> lines;
        for (const Message& m : Recorded()) {
            if (m.type == -1 - ZK_MESSAGE_INFO) lines.push_back(m.text);
        }
        return lines;
    }
    TempDirectory dir;
};

TEST_F(DataManifests, LookUpByIdWithExtensionFallbacksNewestFirst) {
    Add("older.xml",
        "<node id=\"gfx/a.png\" w=\"1\"/>\n"
        "<node id=\"gfx/b.jpg\" w=\"2\"/>\n"
        "<node id=\"gfx/same.png\" w=\"3\"/>\n"
        "<node id=\"gfx/c.png\" w=\"4\"/>\n"
        "<node id=\"dir.v2/file.png\" w=\"5\"/>\n",
        "<array id=\"SECOND\"><node id=\"gfx/second.png\" w=\"0\"/></array>\n");
    Add("newer.xml",
        "<node id=\"gfx/same.png\" w=\"6\"/>\n"
        "<node id=\"gfx/c.jpg\" w=\"7\"/>\n"
        "<node id=\"gfx/e.tga\" w=\"8\"/>\n"
        "<node id=\"gfx/f.bms\" w=\"9\"/>\n"
        "<node id=\"gfx/f.tga\" w=\"10\"/>\n"
        "<node id=\"gfx/plain\" w=\"11\"/>\n");
    struct Case {
        const char* id;
        const char* found_w;  // null: no entry
    } cases[] = {
        {"gfx/a.png", "1"},       {"gfx/b.jpg", "2"},    {"gfx/same.png", "6"}, {"gfx/a", "1"},
        {"gfx/c", "4"},           {"gfx/e", "8"},        {"gfx/f", "10"},       {"gfx/b", "2"},
        {"gfx/plain", "11"},      {"gfx/a.jpg", nullptr}, {"gfx/c.tga", nullptr}, {"dir.v2/file", "5"},
        {"gfx/second.png", nullptr}, {"gfx/second", nullptr}, {"missing", nullptr}, {"", nullptr},
        {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        DMNode* node = ZKI_GetDataManifestNode(c.id);
        const char* label = c.id ? c.id : "(null)";
        if (!c.found_w) {
            EXPECT_EQ(node, nullptr) << label;
            continue;
        }
        ASSERT_NE(node, nullptr) << label;
        EXPECT_STREQ(node->GetValue("w"), c.found_w) << label;
    }
}

TEST_F(DataManifests, AddingOnceAndOnlyWithAnArray) {
    std::string path = Add("m.xml", "<node id=\"x.png\" w=\"1\"/>\n");
    ZKI_AddManifest(path.c_str());
    EXPECT_EQ(zk_data_manifest_databases.count, 1);
    ASSERT_EQ(zk_data_manifest_arrays.count, 1);
    EXPECT_STREQ(zk_data_manifest_arrays[0]->id, "RESOURCES");

    std::string empty = dir / "empty.xml";
    WriteFile(empty, declaration + "<root></root>\n");
    std::string broken = dir / "broken.xml";
    WriteFile(broken, declaration + "<root><array><node/>\n");
    ZKI_AddManifest(empty.c_str());
    ZKI_AddManifest(broken.c_str());
    ZKI_AddManifest((dir / "missing.xml").c_str());
    ZKI_AddManifest(nullptr);
    EXPECT_EQ(zk_data_manifest_databases.count, 1);
    EXPECT_EQ(DebugLines(), (std::vector<std::string>{"Added manifest '" + path + "'.", "Added manifest '" + empty + "'.",
                                                       "Added manifest '" + broken + "'."}));
    // Only the broken file draws a popup, from the loader.
    EXPECT_EQ(PopupTexts().size(), 1u);
}

zk_bitmap_t Bitmap(const char* name, int width, int height) {
    zk_bitmap_t bitmap{};
    bitmap.name = const_cast<char*>(name);
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pack_mode = 7;
    return bitmap;
}

TEST_F(DataManifests, AnEntryGivesTheBitmapItsSizeAndPackMode) {
    Add("m.xml",
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
        ClearRecorded();
        zk_bitmap_t bitmap = Bitmap("own name", 100, 50);
        ZKI_UpdateBitmapAccordingToDataManifest(&bitmap, c.id);
        EXPECT_EQ(bitmap.width, c.width) << c.id;
        EXPECT_EQ(bitmap.height, c.height) << c.id;
        EXPECT_EQ(bitmap.texture_width, 100) << c.id;
        EXPECT_EQ(bitmap.texture_height, 50) << c.id;
        EXPECT_EQ(bitmap.pack_mode, c.pack_mode) << c.id;
        std::vector<std::string> printed;
        for (const Message& m : Recorded()) printed.push_back(m.text);
        EXPECT_EQ(printed, c.printed ? std::vector<std::string>{c.printed} : std::vector<std::string>{}) << c.id;
    }
    zk_bitmap_t named = Bitmap("both.png", 100, 50);
    ZKI_UpdateBitmapAccordingToDataManifest(&named);
    EXPECT_EQ(named.width, 20);
    ZKI_UpdateBitmapAccordingToDataManifest(nullptr);
}

std::vector<std::pair<zk_bitmap_t*, int>> frames_set;
void RecordSetFrame(zk_bitmap_t* bitmap, int frame) { frames_set.push_back({bitmap, frame}); }

class Sequences : public DataManifests {
protected:
    void SetUp() override {
        DataManifests::SetUp();
        frames_set.clear();
        real_set_frame = zk->graphics->ZK_Graphics_SetBitmapFrame;
        zk->graphics->ZK_Graphics_SetBitmapFrame = RecordSetFrame;
        Add("m.xml",
            "<node id=\"anim.bms\" w=\"999\" h=\"64\"/>\n"
            "<node id=\"noh.bms\"/>\n"
            "<node id=\"f1.png\" w=\"5\" h=\"6\"/>\n");
    }
    void TearDown() override {
        zk->graphics->ZK_Graphics_SetBitmapFrame = real_set_frame;
        DataManifests::TearDown();
    }
    void (*real_set_frame)(zk_bitmap_t*, int) = nullptr;
};

TEST_F(Sequences, ABitmapSequenceScalesEveryFrameToTheEntryHeight) {
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

TEST_F(Sequences, OtherSequencesUpdateEachFrameByItsOwnName) {
    zk_bitmap_t frames[2] = {Bitmap("f1.png", 100, 50), Bitmap("f2.png", 30, 40)};
    zk_bitmap_t sequence = Bitmap("anim", 7, 7);
    sequence.frames = frames;
    sequence.frame_count = 2;
    ZKI_UpdateBitmapSequenceAccordingToDataManifest(&sequence);
    EXPECT_EQ(frames[0].width, 5);
    EXPECT_EQ(frames[0].height, 6);
    EXPECT_EQ(frames[0].texture_width, 100);
    EXPECT_EQ(frames[1].width, 30);
    EXPECT_EQ(frames[1].texture_height, 40);
    EXPECT_TRUE(frames_set.empty());
    // The ending is tested on the last three characters, case-sensitively.
    zk_bitmap_t upper = Bitmap("anim.BMS", 7, 7);
    ZKI_UpdateBitmapSequenceAccordingToDataManifest(&upper);
    EXPECT_TRUE(frames_set.empty());
}

}  // namespace
