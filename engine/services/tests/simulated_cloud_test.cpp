// The simulated cloud: values mirrored into a file, the file's exact bytes,
// refused values, hostile files and saves that fail.

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/services/simulated_cloud.h"
#include "engine/services/tests/answer_test_support.h"
#include "engine/storage/safe_write.h"

namespace services_test {
namespace {

// The file, written here from its format.
std::string U32(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
std::string Entry(const std::string& key, const std::string& value) {
    return key + std::string(1, '\0') + U32(static_cast<uint32_t>(value.size())) + value;
}
std::string Image(uint32_t count, const std::vector<std::string>& entries) {
    std::string image = std::string("SIMULATED_CLOUD\0", 16) + U32(count);
    for (const std::string& entry : entries) image += entry;
    return image;
}

const std::string kBinary("\0\x01\xff", 3);

int FailingClose(int descriptor) {
    close(descriptor);
    errno = EIO;
    return -1;
}

class SimulatedCloudTest : public AnswersTest {
protected:
    void TearDown() override {
        cloud.reset();
        ZKFileSystem::SetSafeFileCloseForTesting(nullptr);
        AnswersTest::TearDown();
    }

    // A store on the test's file, initialised as at start-up.
    SimulatedCloudImplementation* Start() {
        cloud.reset();
        cloud.reset(new SimulatedCloudImplementation(path.c_str()));
        EXPECT_TRUE(cloud->Initialize());
        return cloud.get();
    }

    void Set(const std::string& key, const std::string& value) {
        cloud->SetKeyValue(key.c_str(), value.data(), static_cast<int>(value.size()));
    }
    // The value as text; "(none)" when the key is unknown.
    std::string Get(const char* key) {
        zk_buffer_t* buffer = cloud->GetKeyValue(key);
        if (!buffer) return "(none)";
        std::string value(static_cast<const char*>(buffer->data), static_cast<size_t>(buffer->size));
        zk->ZK_FreeBuffer(buffer);
        return value;
    }
    void ExpectValues(const std::map<std::string, std::string>& expected) {
        EXPECT_EQ(cloud->GetNumberOfValues(), static_cast<int>(expected.size()));
        for (const auto& value : expected) EXPECT_EQ(Get(value.first.c_str()), value.second) << value.first;
    }

    TempFolder folder;
    std::string path = folder / "simulated.cloud";
    std::unique_ptr<SimulatedCloudImplementation> cloud;
};

TEST_F(SimulatedCloudTest, TheFileHoldsEveryValueInTheOrderItsKeyWasFirstSet) {
    Start();
    EXPECT_EQ(Get("a"), "(none)");
    EXPECT_EQ(Get(nullptr), "(none)");
    EXPECT_FALSE(FileExists(path));

    Set("a", "xyz");
    EXPECT_EQ(ReadBytes(path), Image(1, {Entry("a", "xyz")}));
    EXPECT_EQ(ReadBytes(path).size(), 29u);
    Set("bin", kBinary);
    EXPECT_EQ(ReadBytes(path), Image(2, {Entry("a", "xyz"), Entry("bin", kBinary)}));
    Set("a", "a longer value");
    Set("empty", "");
    EXPECT_EQ(ReadBytes(path),
              Image(3, {Entry("a", "a longer value"), Entry("bin", kBinary), Entry("empty", "")}));
    ExpectValues({{"a", "a longer value"}, {"bin", kBinary}, {"empty", ""}});
}

// A deletion is saved at once: the deleted key does not come back after a
// restart, whether or not a value was set after it.
TEST_F(SimulatedCloudTest, ValuesOutliveARestartButDeletedAndEmptyOnesDoNot) {
    Start();
    Set("kept", "1");
    Set("gone", "2");
    Set("empty", "");
    Set("bin", kBinary);
    cloud->DeleteKeyValue("gone");
    cloud->DeleteKeyValue("never set");
    cloud->DeleteKeyValue(nullptr);
    EXPECT_EQ(ReadBytes(path), Image(3, {Entry("kept", "1"), Entry("empty", ""), Entry("bin", kBinary)}));

    Start();
    ExpectValues({{"kept", "1"}, {"bin", kBinary}});
    cloud->DeleteKeyValue("kept");
    Start();
    ExpectValues({{"bin", kBinary}});
}

TEST_F(SimulatedCloudTest, RefusedValuesChangeNeitherTheStoreNorTheFile) {
    const std::string longest(ZK_SIMULATED_CLOUD_MAX_KEY_LENGTH, 'k');
    const std::string too_long = longest + "k";
    struct Case {
        const char* key;
        const char* data;
        int size;
        const char* warning;
    } cases[] = {
        {nullptr, "v", 1, "the key is null"},
        {too_long.c_str(), "v", 1, "the key is longer than 2047 characters"},
        {"a", "v", -1, "the size is negative"},
        {"a", nullptr, 4, "the data is null"},
    };
    Start();
    Set("a", "xyz");
    const std::string before = ReadBytes(path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        Lines().clear();
        cloud->SetKeyValue(c.key, c.data, c.size);
        EXPECT_EQ(Lines(), std::vector<std::string>{std::string("warning: Cloud value not stored: ") + c.warning + "."});
        ExpectValues({{"a", "xyz"}});
        EXPECT_EQ(ReadBytes(path), before);
    }
    // The longest key the file holds, and no data for an empty value.
    Set(longest, "long");
    cloud->SetKeyValue("nothing", nullptr, 0);
    Start();
    ExpectValues({{"a", "xyz"}, {longest, "long"}});
}

TEST_F(SimulatedCloudTest, AHostileFileLoadsTheEntriesBeforeItsFaultAndIsLeftAsItWas) {
    const std::string a = Entry("a", "xyz"), b = Entry("b", kBinary);
    const std::string key_2047(ZK_SIMULATED_CLOUD_MAX_KEY_LENGTH, 'k');
    struct Case {
        const char* what;
        std::string file;
        std::map<std::string, std::string> loaded;
    } cases[] = {
        {"whole", Image(2, {a, b}), {{"a", "xyz"}, {"b", kBinary}}},
        {"cut in the second key", Image(2, {a}) + "b", {{"a", "xyz"}}},
        {"cut in the second length", Image(2, {a}) + std::string("b\0\x03\0", 4), {{"a", "xyz"}}},
        {"cut in the second value", Image(2, {a, b}).substr(0, Image(2, {a, b}).size() - 1), {{"a", "xyz"}}},
        {"a length past the end", Image(2, {std::string("a\0", 2) + U32(0xFFFFFFFFu) + "xyz", b}), {}},
        {"a length past the int range", Image(1, {std::string("a\0", 2) + U32(0x80000000u)}), {}},
        {"a count past the entries", Image(0xFFFFFFFFu, {a, b}), {{"a", "xyz"}, {"b", kBinary}}},
        {"a count below the entries", Image(1, {a, b}), {{"a", "xyz"}}},
        {"an empty value first", Image(2, {Entry("e", ""), b}), {{"b", kBinary}}},
        {"a key longer than the file holds", Image(2, {Entry(key_2047 + "k", "v"), a}), {}},
        {"the longest key", Image(1, {Entry(key_2047, "v")}), {{key_2047, "v"}}},
        {"a later value of the same key", Image(2, {a, Entry("a", "new")}), {{"a", "new"}}},
        {"a foreign magic", std::string("SIMULATED_CLOUX\0", 16) + U32(1) + a, {}},
        {"a longer first string", std::string("SIMULATED_CLOUDS\0", 17) + U32(1) + a, {}},
        {"a first string without end", "SIMULATED_CLOUD", {}},
        {"the magic alone", std::string("SIMULATED_CLOUD\0", 16), {}},
        {"an empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.file);
        Lines().clear();
        Start();
        ExpectValues(c.loaded);
        EXPECT_EQ(ReadBytes(path), c.file);
        EXPECT_TRUE(Lines().empty());
    }
}

TEST_F(SimulatedCloudTest, AForeignFileIsIgnoredAndReplacedByTheNextValue) {
    WriteBytes(path, "not a cloud at all");
    Start();
    EXPECT_EQ(cloud->GetNumberOfValues(), 0);
    Set("a", "xyz");
    EXPECT_EQ(ReadBytes(path), Image(1, {Entry("a", "xyz")}));
}

TEST_F(SimulatedCloudTest, ASaveThatFailsKeepsTheOldFileWhole) {
    Start();
    Set("a", "xyz");
    ZKFileSystem::SetSafeFileCloseForTesting(FailingClose);
    Set("b", "lost on disk");
    ZKFileSystem::SetSafeFileCloseForTesting(nullptr);
    EXPECT_EQ(ReadBytes(path), Image(1, {Entry("a", "xyz")}));
    EXPECT_EQ(Get("b"), "lost on disk");
    EXPECT_FALSE(cloud->SaveValuesToFile((folder / "missing/simulated.cloud").c_str()));
    EXPECT_FALSE(cloud->SaveValuesToFile(ZK_SIMULATED_CLOUD_PATH));
    EXPECT_FALSE(cloud->SaveValuesToFile(nullptr));
    EXPECT_TRUE(cloud->SaveValuesToFile((folder / "copy.cloud").c_str()));
    EXPECT_EQ(ReadBytes(folder / "copy.cloud"), Image(2, {Entry("a", "xyz"), Entry("b", "lost on disk")}));
}

TEST_F(SimulatedCloudTest, AValueIsHandedOutAsTheCallersOwnCopy) {
    Start();
    Set("a", "xyz");
    zk_buffer_t* buffer = cloud->GetKeyValue("a");
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->size, 3);
    static_cast<char*>(buffer->data)[0] = 'Q';
    zk->ZK_FreeBuffer(buffer);
    EXPECT_EQ(Get("a"), "xyz");
}

// The engine's own file name is a prefixed path, which the file system
// refuses: that store lives in memory only, and says nothing about it.
TEST_F(SimulatedCloudTest, TheStoreUnderTheEnginesFileNameKeepsItsValuesInMemoryQuietly) {
    cloud.reset(new SimulatedCloudImplementation());
    EXPECT_TRUE(cloud->Initialize());
    Set("a", "xyz");
    EXPECT_EQ(Get("a"), "xyz");
    EXPECT_TRUE(Lines().empty());
    EXPECT_STREQ(cloud->GetName(), "Simulated");
    EXPECT_EQ(cloud->GetInterfaceType(), BaseImplementation::Cloud);
    EXPECT_TRUE(cloud->IsAvailable());
}

}  // namespace
}  // namespace services_test
