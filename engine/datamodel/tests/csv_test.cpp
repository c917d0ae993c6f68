// ';'-separated tables: the reader and the database loader over it.
#include <cstring>
#include <string>
#include <vector>

#include "engine/datamodel/csv_reader.h"
#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/tests/datamodel_test_support.h"

using namespace InnerZK;
using namespace datamodel_test;

namespace {

class CSVTest : public DataModelTest {
protected:
    std::string Table(const std::string& text) {
        std::string path = dir / ("t" + std::to_string(++files) + ".csv");
        WriteFile(path, text);
        return path;
    }
    std::vector<std::string> Names(CSVReader& reader) {
        std::vector<std::string> names;
        for (int i = 0; i < reader.GetNumberOfColumns(); ++i) names.push_back(reader.GetColumnName(i));
        return names;
    }
    TempDirectory dir;
    int files = 0;
};

TEST_F(CSVTest, HeaderAndNumbers) {
    CSVReader reader;
    ASSERT_TRUE(reader.OpenFile(Table("a;b;c\n1;2;3\n").c_str()));
    EXPECT_EQ(Names(reader), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(reader.ReadNextAsInt(), 1);
    EXPECT_EQ(reader.ReadNextAsInt(), 2);
    EXPECT_EQ(reader.ReadNextAsInt(), 3);
    EXPECT_TRUE(reader.EndOfFile());
    EXPECT_EQ(reader.ReadNextAsInt(), 0);
    EXPECT_EQ(reader.ReadNextAsFloat(), 0.0);
    char buffer[8];
    EXPECT_EQ(reader.ReadNextAsString(buffer, sizeof buffer), nullptr);
    EXPECT_EQ(reader.GetColumnName(3), nullptr);
    EXPECT_EQ(reader.GetColumnName(-1), nullptr);
}

TEST_F(CSVTest, HeaderShapes) {
    struct Case {
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"a;b\r\n1;2\r\n", {"a", "b"}},
        {"a;b\n", {"a", "b"}},
        {"a;;c\n", {"a", "", "c"}},
        {"only\n1\n", {"only"}},
        // a header cut by the file's end still has its last column
        {"a;b", {"a", "b"}},
        {"a;", {"a", ""}},
        {"abc", {"abc"}},
        {"", {}},
        {std::string(600, 'n') + ";b\n", {std::string(511, 'n'), "b"}},
    };
    for (const Case& c : cases) {
        CSVReader reader;
        ASSERT_TRUE(reader.OpenFile(Table(c.text).c_str())) << c.text;
        EXPECT_EQ(Names(reader), c.names) << c.text;
    }
}

TEST_F(CSVTest, FieldsEndAtEverySeparatorAndKeepTheirLastCharacter) {
    CSVReader reader;
    ASSERT_TRUE(reader.OpenFile(Table("a;b\nx;y\r\n2.5;abcdef\n42;7").c_str()));
    char buffer[64];
    EXPECT_STREQ(reader.ReadNextAsString(buffer, sizeof buffer), "x");
    EXPECT_STREQ(reader.ReadNextAsString(buffer, sizeof buffer), "y");
    EXPECT_DOUBLE_EQ(reader.ReadNextAsFloat(), 2.5);
    EXPECT_STREQ(reader.ReadNextAsString(buffer, 4), "abc");  // the rest of a long field is dropped
    EXPECT_EQ(reader.ReadNextAsInt(), 42);
    EXPECT_EQ(reader.ReadNextAsInt(), 7);  // the last field of the file, one character long
    EXPECT_TRUE(reader.EndOfFile());
}

TEST_F(CSVTest, MissingFilesDoNotOpen) {
    CSVReader reader;
    EXPECT_FALSE(reader.OpenFile((dir / "missing.csv").c_str()));
    EXPECT_FALSE(reader.OpenFile(nullptr));
    EXPECT_EQ(reader.GetNumberOfColumns(), 0);
}

// The nodes of a loaded table as "key=value" lists ("key=(null)" for none).
std::vector<std::vector<std::string>> Records(const DMDatabase& database) {
    std::vector<std::vector<std::string>> records;
    const DMArray* array = database.GetArrayByIndex(0);
    for (int n = 0; array && n < array->GetNumberOfNodes(); ++n) {
        std::vector<std::string> record;
        const DMNode* node = array->GetNodeByIndex(n);
        for (int v = 0; v < node->values.count; ++v) {
            const DMValue& value = node->values.items[v];
            record.push_back(std::string(value.id) + "=" + (value.value ? value.value : "(null)"));
        }
        records.push_back(record);
    }
    return records;
}

TEST_F(CSVTest, LoadingFillsColumnsInTheOrderFieldsCome) {
    using R = std::vector<std::vector<std::string>>;
    struct Case {
        std::string text;
        R records;
    } cases[] = {
        {"a;b\n1;2\n", {{"a=1", "b=2"}}},
        {"a;b\n1;2\n3", {{"a=1", "b=2"}, {"a=3", "b=(null)"}}},
        {"a;b\n1;2\n3\n4;5\n", {{"a=1", "b=2"}, {"a=3", "b=4"}, {"a=5", "b=(null)"}}},
        {"a;b\n1;2;3\n", {{"a=1", "b=2"}, {"a=3", "b=(null)"}}},
        {"a;b\r\n1\r;\r2\r\n", {{"a=1", "b=2"}}},
        {"a;b\n1;7", {{"a=1", "b=7"}}},
        {"a;b\n;\n", {{"a=", "b="}}},
        {"abc", {}},  // no separator and no line feed: no columns, nothing to read
        {"a;b\n", {}},
    };
    for (const Case& c : cases) {
        DMDatabase database;
        ClearRecorded();
        EXPECT_TRUE(database.Load(Table(c.text).c_str())) << c.text;
        ASSERT_EQ(database.GetNumberOfArrays(), 1) << c.text;
        EXPECT_EQ(database.GetArrayByIndex(0)->id, nullptr);
        EXPECT_EQ(Records(database), c.records) << c.text;
        ASSERT_EQ(Recorded().size(), 1u) << c.text;
        EXPECT_EQ(Recorded()[0].text, "1 CSV Arrays loaded with total " + std::to_string(c.records.size()) + " nodes.");
        EXPECT_FALSE(database.load_failed);
    }
}

TEST_F(CSVTest, LoadedNodesHaveNoIdAndLongFieldsAreCut) {
    DMDatabase database;
    std::string path = Table("name;text\nx;" + std::string(5000, 'q') + "\n");
    ASSERT_TRUE(database.LoadCSV(path.c_str()));
    const DMNode* node = database.GetArrayByIndex(0)->GetNodeByIndex(0);
    EXPECT_EQ(node->id, nullptr);
    EXPECT_EQ(node->GetValue("id"), nullptr);
    EXPECT_STREQ(node->GetValue("name"), "x");
    EXPECT_EQ(strlen(node->GetValue("text")), 4095u);
}

TEST_F(CSVTest, AMissingTableIsReportedAndLeavesTheDatabaseAlone) {
    DMDatabase database;
    std::string path = dir / "missing.CSV";
    EXPECT_FALSE(database.Load(path.c_str()));
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"CSV Array File '" + path + "' not found!"});
    EXPECT_EQ(database.GetNumberOfArrays(), 0);
    EXPECT_TRUE(database.load_failed);
}

}  // namespace
