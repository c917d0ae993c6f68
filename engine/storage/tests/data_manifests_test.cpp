// Data manifests: adding them and the look-up with its extension fallbacks
// across manifests.
#include <cstring>
#include <string>
#include <vector>

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
        "<node id=\"gfx/plain\" w=\"11\"/>\n"
        "<node id=\".png.png\" w=\"12\"/>\n");
    struct Case {
        const char* id;
        const char* found_w;  // null: no entry
    } cases[] = {
        {"gfx/a.png", "1"},       {"gfx/b.jpg", "2"},    {"gfx/same.png", "6"}, {"gfx/a", "1"},
        {"gfx/c", "4"},           {"gfx/e", "8"},        {"gfx/f", "10"},       {"gfx/b", "2"},
        {"gfx/plain", "11"},      {"gfx/a.jpg", nullptr}, {"gfx/c.tga", nullptr}, {"dir.v2/file", "5"},
        {"gfx/second.png", nullptr}, {"gfx/second", nullptr}, {"missing", nullptr}, {"", nullptr},
        {".png", nullptr},  // a '.' standing first starts an extension: nothing is added
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

}  // namespace
