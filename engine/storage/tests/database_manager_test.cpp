// The shared databases: one per path, loaded once, released on request, and
// never handed out half loaded.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/storage/database_manager.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace InnerZK;
using namespace storage_test;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";

std::string DocumentWithNodes(int count) {
    std::string text = declaration + "<root><array id=\"a\">\n";
    for (int i = 0; i < count; ++i) text += "<node id=\"n" + std::to_string(i) + "\" v=\"" + std::to_string(i) + "\"/>\n";
    return text + "</array></root>\n";
}

class DatabaseManagerTest : public StorageTest {
protected:
    void TearDown() override {
        for (const std::string& path : used) manager.ReleaseDatabase(path.c_str());
    }
    std::string File(const std::string& name, const std::string& text) {
        std::string path = dir / name;
        WriteFile(path, text);
        used.push_back(path);
        return path;
    }
    TempDirectory dir;
    DatabaseManager manager;
    std::vector<std::string> used;
};

TEST_F(DatabaseManagerTest, OnePathOneDatabaseReadOnce) {
    std::string path = File("a.xml", DocumentWithNodes(2));
    DMDatabase* first = manager.GetDatabase(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, path.c_str());
    WriteFile(path, DocumentWithNodes(5));
    EXPECT_EQ(manager.GetDatabase(path.c_str()), first);
    EXPECT_EQ(manager.GetArraySize(path.c_str(), "a"), 2);  // not read again
    EXPECT_STREQ(manager.GetValue(path.c_str(), "a", "n1", "v"), "1");
    EXPECT_STREQ(manager.GetValue(path.c_str(), "a", 0, "v"), "0");
    EXPECT_EQ(manager.GetNode(path.c_str(), "a", 1), manager.GetNode(path.c_str(), "a", "n1"));
    EXPECT_EQ(manager.GetNode(path.c_str(), "a", 2), nullptr);
    EXPECT_EQ(manager.GetArray(path.c_str(), nullptr), nullptr);
    EXPECT_EQ(manager.databases.count, 1);

    // Released, the next request reads the file afresh.
    manager.ReleaseDatabase(path.c_str());
    EXPECT_EQ(manager.databases.count, 0);
    EXPECT_EQ(manager.GetArraySize(path.c_str(), "a"), 5);
}

TEST_F(DatabaseManagerTest, AMissingFileGivesAnEmptyDatabaseMarkedFailed) {
    std::string path = dir / "later.xml";
    used.push_back(path);
    DMDatabase* database = manager.GetDatabase(path.c_str());
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(database->GetNumberOfArrays(), 0);
    EXPECT_TRUE(database->load_failed);
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"XML database file '" + path + "' not found!"});
    // Creating the file afterwards changes nothing until a reload.
    WriteFile(path, DocumentWithNodes(1));
    EXPECT_EQ(manager.GetDatabase(path.c_str()), database);
    EXPECT_EQ(database->GetNumberOfArrays(), 0);
    manager.ReloadDatabases();
    EXPECT_EQ(database->GetNumberOfArrays(), 1);
    EXPECT_FALSE(database->load_failed);
}

TEST_F(DatabaseManagerTest, TheFailedFlagTellsInvalidTextsFromEmptyDatabases) {
    struct Case {
        const char* name;
        std::string text;
        bool failed;
    } cases[] = {
        {"empty.xml", declaration + "<root></root>", false},
        {"other.xml", declaration + "<root><array id=\"x\"/></root>", false},
        {"syntax.xml", declaration + "<root><array a=1/></root>", true},
        {"structure.xml", declaration + "<root><node/></root>", true},
        {"nodeclaration.xml", "<root></root>", true},
        {"table.csv", "a;b\n1;2\n", false},
    };
    for (const Case& c : cases) {
        DMDatabase* database = manager.GetDatabase(File(c.name, c.text).c_str());
        EXPECT_EQ(database->load_failed, c.failed) << c.name;
        // The flag stays with the cached database.
        EXPECT_EQ(manager.GetDatabase((dir / c.name).c_str())->load_failed, c.failed) << c.name;
    }
}

TEST_F(DatabaseManagerTest, CreatedAndLoadedDatabasesShareTheirName) {
    std::string path = File("c.xml", DocumentWithNodes(3));
    DMDatabase* created = manager.CreateDatabase(path.c_str());
    EXPECT_EQ(created->GetNumberOfArrays(), 0);
    EXPECT_EQ(created->values_per_line, 5);
    EXPECT_EQ(manager.GetDatabase(path.c_str()), created);  // not loaded
    EXPECT_EQ(created->GetNumberOfArrays(), 0);

    std::string loaded_path = File("d.xml", DocumentWithNodes(3));
    DMDatabase* loaded = manager.GetDatabase(loaded_path.c_str());
    EXPECT_EQ(manager.CreateDatabase(loaded_path.c_str()), loaded);
    EXPECT_EQ(loaded->GetArraySize("a"), 3);
}

TEST_F(DatabaseManagerTest, ReleasingByPointerAndUnknownReleases) {
    std::string path = File("e.xml", DocumentWithNodes(1));
    DMDatabase* database = manager.GetDatabase(path.c_str());
    DMDatabase stranger;
    manager.ReleaseDatabase(&stranger);
    manager.ReleaseDatabase(static_cast<DMDatabase*>(nullptr));
    manager.ReleaseDatabase("unknown.xml");
    manager.ReleaseDatabase(static_cast<const char*>(nullptr));
    EXPECT_EQ(manager.databases.count, 1);
    manager.ReleaseDatabase(database);
    EXPECT_EQ(manager.databases.count, 0);
}

TEST_F(DatabaseManagerTest, LaterCallersWaitForTheFirstLoadToEnd) {
    const int nodes = 20000;
    std::string path = File("big.xml", DocumentWithNodes(nodes));
    const int threads = 8;
    std::atomic<int> ready(0);
    std::vector<int> seen(threads, -1);
    std::vector<DMDatabase*> got(threads, nullptr);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            ++ready;
            while (ready.load() < threads) std::this_thread::yield();
            got[t] = manager.GetDatabase(path.c_str());
            seen[t] = got[t]->GetArraySize("a");
        });
    }
    for (std::thread& w : workers) w.join();
    for (int t = 0; t < threads; ++t) {
        EXPECT_EQ(got[t], got[0]) << t;
        EXPECT_EQ(seen[t], nodes) << t;
    }
    EXPECT_EQ(manager.databases.count, 1);
}

TEST_F(DatabaseManagerTest, TheGlobalManagerStartsEmpty) {
    std::string path = File("g.xml", DocumentWithNodes(1));
    int before = zk_dman.databases.count;
    DMDatabase* database = zk_dman.GetDatabase(path.c_str());
    EXPECT_EQ(zk_dman.databases.count, before + 1);
    zk_dman.ReleaseDatabase(database);
    EXPECT_EQ(zk_dman.databases.count, before);
}

}  // namespace
