// Writing databases: the exact text, escaping and key checks, saving plain
// and scrambled and loading the files back, and failures that must leave
// the target file as it was.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "engine/storage/safe_write.h"
#include "engine/datamodel/scrambler.h"
#include "engine/storage/tests/storage_test_support.h"
#include "engine/datamodel/xml_reader.h"

using namespace InnerZK;
using namespace storage_test;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";

std::string AsXML(const DMDatabase& database) {
    nString* text = database.GetAsXML();
    std::string result = text ? text->c_str() : "(null)";
    delete text;
    return result;
}

// Node and array contents equal, ids by text (the loader leaves array id
// hashes at 0, so DMArray::Equals cannot compare a built database with a
// loaded one).
void ExpectSameContent(const DMDatabase& expected, const DMDatabase& actual) {
    ASSERT_EQ(expected.GetNumberOfArrays(), actual.GetNumberOfArrays());
    for (int a = 0; a < expected.GetNumberOfArrays(); ++a) {
        DMArray* e = expected.GetArrayByIndex(a);
        DMArray* got = actual.GetArrayByIndex(a);
        EXPECT_STREQ(e->id, got->id);
        ASSERT_EQ(e->GetNumberOfArrayValues(), got->GetNumberOfArrayValues());
        for (int v = 0; v < e->GetNumberOfArrayValues(); ++v) {
            EXPECT_TRUE(e->array_values[v].Equals(&got->array_values[v])) << e->array_values[v].value;
        }
        ASSERT_EQ(e->GetNumberOfNodes(), got->GetNumberOfNodes());
        for (int n = 0; n < e->GetNumberOfNodes(); ++n) {
            EXPECT_TRUE(e->GetNodeByIndex(n)->Equals(got->GetNodeByIndex(n))) << "array " << a << " node " << n;
            EXPECT_STREQ(e->GetNodeByIndex(n)->id, got->GetNodeByIndex(n)->id);
        }
    }
}

class DatabaseWriting : public StorageTest {
protected:
    TempDirectory dir;
};

TEST_F(DatabaseWriting, AnEmptyDatabaseIsTheDeclarationAndTheRoot) {
    DMDatabase database;
    EXPECT_EQ(AsXML(database), declaration + "<root>\n</root>\n");
}

TEST_F(DatabaseWriting, ExactLayoutOfArraysAndNodes) {
    DMDatabase database;
    DMArray* first = database.AddArray("first");
    first->SetArrayValue("version", "2");
    first->SetArrayValue("kind", "list");
    first->SetNodeValue("a", "w", "32");
    first->AddNode(nullptr);  // no pairs at all, after a self-closing node
    DMNode* six = first->AddNode("six");
    for (const char* key : {"b", "c", "d", "e", "f"}) six->SetValue(key, key);
    DMNode* five = first->AddNode("five");
    for (const char* key : {"b", "c", "d", "e"}) five->SetValue(key, key);
    DMArray* second = database.AddArray("second");
    second->SetNodeValue("text", "DATA", "plain text");
    DMNode* both = second->AddNode("both");
    both->AppendValue("DATA", "first");
    both->AppendValue("CDATA", "a < b");
    both->AppendValue("DATA", "last & <kept>");
    DMNode* long_text = second->AddNode("long");
    for (const char* key : {"b", "c", "d", "e", "f"}) long_text->SetValue(key, key);
    long_text->AppendValue("DATA", "t");

    EXPECT_EQ(AsXML(database), declaration +
                                   "<root>\n"
                                   "\n\t<array id=\"first\" version=\"2\" kind=\"list\">\n"
                                   "\t\t<node id=\"a\" w=\"32\" />\n"
                                   "\t\t<node ></node>\n"
                                   "\t\t<node id=\"six\"\n\t\t b=\"b\"\n\t\t c=\"c\"\n\t\t d=\"d\"\n\t\t e=\"e\"\n"
                                   "\t\t f=\"f\"\n\t\t/>\n\n"
                                   "\t\t<node id=\"five\" b=\"b\" c=\"c\" d=\"d\" e=\"e\" />\n"
                                   "\t</array>\n"
                                   "\n\t<array id=\"second\">\n"
                                   "\t\t<node id=\"text\" >plain text</node>\n"
                                   "\t\t<node id=\"both\" ><![CDATA[last & <kept>]]></node>\n"
                                   "\t\t<node id=\"long\"\n\t\t b=\"b\"\n\t\t c=\"c\"\n\t\t d=\"d\"\n\t\t e=\"e\"\n"
                                   "\t\t f=\"f\"\n\t\t >t</node>\n\n"
                                   "\t</array>\n"
                                   "</root>\n");
    EXPECT_TRUE(PopupTexts().empty());

    // The file loads back to a database that writes the same text: a node
    // with several text pairs keeps only the one that was written.
    std::string path = dir / "layout.xml";
    ASSERT_TRUE(database.Save(path.c_str(), false));
    DMDatabase loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_TRUE(PopupTexts().empty());
    EXPECT_EQ(AsXML(loaded), AsXML(database));
    EXPECT_EQ(loaded.GetNode("second", "both")->values.count, 2);
    EXPECT_STREQ(loaded.GetValue("second", "both", "CDATA"), "last & <kept>");
    EXPECT_STREQ(loaded.GetValue("second", "long", "DATA"), "t");
}

TEST_F(DatabaseWriting, TextsThatWouldBreakTheDocumentAreKeptInCharacterData) {
    DMDatabase database;
    DMArray* array = database.AddArray("texts");
    struct Case {
        const char* key;
        const char* text;
        const char* written;      // the node as written
        const char* loaded_key;   // null: the text is left out
    } cases[] = {
        {"DATA", "plain", "\t\t<node id=\"n0\" >plain</node>\n", "DATA"},
        {"DATA", "a < b", "\t\t<node id=\"n1\" ><![CDATA[a < b]]></node>\n", "CDATA"},
        {"DATA", "say \"hi\"", "\t\t<node id=\"n2\" ><![CDATA[say \"hi\"]]></node>\n", "CDATA"},
        {"DATA", "x > y", "\t\t<node id=\"n3\" ><![CDATA[x > y]]></node>\n", "CDATA"},
        {"DATA", "x]]>y", "\t\t<node id=\"n4\" />\n", nullptr},
        {"CDATA", "x]]>y", "\t\t<node id=\"n5\" />\n", nullptr},
    };
    int index = 0;
    for (const Case& c : cases) {
        DMNode* node = array->AddNode(nString::Format("n%d", index++).c_str());
        node->AppendValue(c.key, c.text);
    }
    std::string text = AsXML(database);
    for (const Case& c : cases) EXPECT_NE(text.find(c.written), std::string::npos) << c.text;
    EXPECT_EQ(PopupTexts(), (std::vector<std::string>{"DMDatabase: the text of node 'n4' cannot be written.",
                                                      "DMDatabase: the text of node 'n5' cannot be written."}));

    // The file loads whole, each text under the key it was written with.
    ClearRecorded();
    std::string path = dir / "texts.xml";
    ASSERT_TRUE(database.Save(path.c_str(), false));
    DMDatabase loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_EQ(PopupTexts().size(), 2u);  // the writer's two, nothing from the loader
    index = 0;
    for (const Case& c : cases) {
        DMNode* node = loaded.GetArrayByIndex(0)->GetNodeByIndex(index++);
        ASSERT_NE(node, nullptr) << c.text;
        if (c.loaded_key) {
            EXPECT_STREQ(node->GetValue(c.loaded_key), c.text);
        } else {
            EXPECT_EQ(node->values.count, 1) << c.text;
        }
    }
}

// Values that the reader would change if they were written unescaped.
const char* const awkward_values[] = {
    "a\"b", "a\\b", "ends in \\", "\\\"", "\\\\\"", "&amp;", "&quot;", "x & y", "&&amp;amp;",
    "line\nbreak\ttab\rreturn", "<b> / >", "  spaced  ", "", "\\n is not a line feed", "'single'",
};

TEST_F(DatabaseWriting, EscapedValuesLoadBackTheSamePlainAndScrambled) {
    DMDatabase database;
    DMArray* array = database.AddArray("values & \"ids\"");
    array->SetArrayValue("note", "array \"value\" \\ &amp;");
    int index = 0;
    for (const char* value : awkward_values) {
        DMNode* node = array->AddNode(nString::Format("node %d \"%s\"", index++, value).c_str());
        node->SetValue("v", value);
        node->SetValue("w", "1");
    }
    for (bool scramble : {false, true}) {
        std::string path = dir / (scramble ? "scrambled.xml" : "plain.xml");
        ASSERT_TRUE(database.SaveXML(path.c_str(), scramble));
        std::string bytes = ReadWholeFile(path);
        EXPECT_EQ(Scrambler::IsScrambled(bytes.data(), (long long)bytes.size()), scramble);
        DMDatabase loaded;
        ASSERT_TRUE(loaded.Load(path.c_str())) << path;
        EXPECT_TRUE(PopupTexts().empty());
        ExpectSameContent(database, loaded);
        int i = 0;
        for (const char* value : awkward_values) EXPECT_STREQ(loaded.GetArrayByIndex(0)->GetNodeValue(i++, "v"), value);

        // Saved again, the loaded database gives the same text, and the two
        // loaded databases are equal array by array.
        std::string again = dir / "again.xml";
        ASSERT_TRUE(loaded.Save(again.c_str(), scramble));
        DMDatabase reloaded;
        ASSERT_TRUE(reloaded.Load(again.c_str()));
        EXPECT_EQ(AsXML(loaded), AsXML(reloaded));
        EXPECT_TRUE(loaded.GetArrayByIndex(0)->Equals(reloaded.GetArrayByIndex(0)));
    }
}

TEST_F(DatabaseWriting, KeysTheReaderRefusesAreReportedAndLeftOut) {
    struct Case {
        const char* key;
        bool written;
    } cases[] = {
        {"plain", true}, {"with_under", true}, {"_lead", true}, {".dot", true}, {"a1.b2", true},
        {"1digit", false}, {"with-dash", false}, {"with space", false}, {"", false}, {"quo\"te", false},
    };
    DMDatabase database;
    DMArray* array = database.AddArray("keys");
    DMNode* node = array->AddNode("n");
    for (const Case& c : cases) node->AppendValue(c.key, "v");
    array->SetArrayValue("bad-key", "x");
    node->AppendValue(nullptr, "null key");

    std::string path = dir / "keys.xml";
    ASSERT_TRUE(database.Save(path.c_str(), false));
    std::vector<std::string> expected;
    expected.push_back("DMDatabase: invalid value key 'bad-key'. Key names need to start with a-z or A-Z.");
    for (const Case& c : cases) {
        if (!c.written) {
            expected.push_back(std::string("DMDatabase: invalid value key '") + c.key +
                               "'. Key names need to start with a-z or A-Z.");
        }
    }
    expected.push_back("DMDatabase: invalid value key '(null)'. Key names need to start with a-z or A-Z.");
    EXPECT_EQ(PopupTexts(), expected);

    ClearRecorded();
    DMDatabase loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_TRUE(PopupTexts().empty());
    DMNode* read = loaded.GetNode("keys", "n");
    ASSERT_NE(read, nullptr);
    for (const Case& c : cases) {
        if (*c.key) {
            EXPECT_EQ(read->GetValue(c.key) != nullptr, c.written) << c.key;
        }
    }
    EXPECT_EQ(loaded.GetArrayByIndex(0)->GetNumberOfArrayValues(), 0);
}

TEST_F(DatabaseWriting, FileNamesAndOpenFailures) {
    DMDatabase database;
    database.SetValue("a", "n", "v", "1");
    std::string missing = dir / "no/such/dir/x.xml";
    struct Case {
        std::string path;
        bool saved;
        std::vector<std::string> popups;
    } cases[] = {
        {dir / "upper.XML", true, {}},
        {dir / "t.csv", false, {"Unknown database file type '" + (dir / "t.csv") + "'.\nSupported formats are: .csv .xml"}},
        {dir / "t.dat", false, {"Unknown database file type '" + (dir / "t.dat") + "'.\nSupported formats are: .csv .xml"}},
        {".xm", false, {}},
        {missing, false,
         {"Unable to open file '" + missing +
          "' for writing. The filename needs to be absolute file system target such as res://data/file.xml."}},
        {"user://leaderboards-db.xml", false, {"Unable to open file 'user://leaderboards-db.xml' for writing."}},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        EXPECT_EQ(database.Save(c.path.c_str(), false), c.saved) << c.path;
        EXPECT_EQ(PopupTexts(), c.popups) << c.path;
    }
    EXPECT_FALSE(database.Save(nullptr, false));
    EXPECT_EQ(ReadWholeFile(dir / "upper.XML"), AsXML(database));
}

// While the resources may not be written, a save is refused like any other
// write through the file systems, and the old file stays.
TEST_F(DatabaseWriting, NothingIsSavedWhileResourcesAreNotWritable) {
    std::string path = dir / "kept.xml";
    WriteFile(path, "old content");
    DMDatabase database;
    database.SetValue("a", "n", "v", "1");
    ZKFileSystem::is_resources_path_writable = false;
    bool saved = database.SaveXML(path.c_str(), false);
    ZKFileSystem::is_resources_path_writable = true;
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadWholeFile(path), "old content");
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"kept.xml"});
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"Unable to open file '" + path +
                                                     "' for writing. The filename needs to be absolute file system "
                                                     "target such as res://data/file.xml."});
}

// The reader holds one tag, or one plain text, in 16,382 characters. Each
// case builds a database whose longest piece is `length` characters of its
// kind; `longest` is the most that still reads back, worked out from what
// the reader keeps of the written tag (one space per run of white space, a
// space and a '/' before the '>' of an empty-element tag).
TEST_F(DatabaseWriting, PiecesTheReaderCannotHoldAreRefusedAndTheOldFileKept) {
    using Build = void (*)(DMDatabase&, size_t);
    struct Case {
        const char* what;
        Build build;
        size_t longest;
        std::string refusal;  // for one more than the longest
    } cases[] = {
        // "<node" 5 + ' id="n"' 7 + ' v="' 4 + value + '"' 1 + " /" 2
        {"one value", [](DMDatabase& d, size_t n) { d.SetValue("a", "n", "v", std::string(n, 'x').c_str()); },
         16363, "the values of node 'n' in array 'a' take 16383 characters, more than the 16382 one element may hold"},
        // each '&' is written as "&amp;"
        {"escaped value",
         [](DMDatabase& d, size_t n) { d.SetValue("a", "n", "v", std::string(n, '&').c_str()); }, 3272,
         "the values of node 'n' in array 'a' take 16384 characters, more than the 16382 one element may hold"},
        // a node with text has no " /": ">" follows the last value
        {"value beside text",
         [](DMDatabase& d, size_t n) {
             d.SetValue("a", "n", "v", std::string(n, 'x').c_str());
             d.SetValue("a", "n", "DATA", "t");
         },
         16365, "the values of node 'n' in array 'a' take 16383 characters, more than the 16382 one element may hold"},
        // seven values written one per line, the last one growing
        {"values on many lines",
         [](DMDatabase& d, size_t n) {
             for (int i = 0; i < 6; ++i) d.SetValue("a", "n", nString::Format("k%d", i).c_str(), std::string(2000, 'y').c_str());
             d.SetValue("a", "n", "k6", std::string(n, 'x').c_str());
         },
         16382 - 5 - 7 - 6 * 2006 - 6 - 2,
         "the values of node 'n' in array 'a' take 16383 characters, more than the 16382 one element may hold"},
        // "<array" 6 + ' id="a"' 7 + ' note="' 7 + value + '"' 1
        {"array value", [](DMDatabase& d, size_t n) { d.AddArray("a")->SetArrayValue("note", std::string(n, 'x').c_str()); },
         16361, "the values of array 'a' take 16383 characters, more than the 16382 one element may hold"},
        {"plain text", [](DMDatabase& d, size_t n) { d.SetValue("a", "n", "DATA", std::string(n, 't').c_str()); },
         16382, "the text of node 'n' in array 'a' has 16383 characters, more than the 16382 plain text may hold"},
    };
    std::string path = dir / "kept.xml";
    for (const Case& c : cases) {
        ClearRecorded();
        DMDatabase longest;
        c.build(longest, c.longest);
        ASSERT_TRUE(longest.SaveXML(path.c_str(), false)) << c.what;
        DMDatabase loaded;
        ASSERT_TRUE(loaded.Load(path.c_str())) << c.what;
        ExpectSameContent(longest, loaded);
        EXPECT_TRUE(PopupTexts().empty()) << c.what;

        WriteFile(path, "old content");
        DMDatabase longer;
        c.build(longer, c.longest + 1);
        // The limit is the reader's own: the text it refuses is one more.
        std::string text = AsXML(longer);
        XMLReader reader;
        ASSERT_TRUE(reader.OpenFileInMemory(text.data(), int(text.size())));
        while (reader.ReadNextBlock()) {
        }
        EXPECT_FALSE(reader.IsValid()) << c.what;
        for (bool scramble : {false, true}) {
            ClearRecorded();
            EXPECT_FALSE(longer.SaveXML(path.c_str(), scramble)) << c.what;
            EXPECT_EQ(ReadWholeFile(path), "old content") << c.what;
            EXPECT_EQ(PopupTexts(), std::vector<std::string>{"Unable to save file '" + path + "': " + c.refusal + "."})
                << c.what;
        }
    }
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"kept.xml"});

    // Character data is read in place: its length is not limited.
    DMDatabase character_data;
    character_data.SetValue("a", "n", "CDATA", std::string(100000, 'c').c_str());
    ASSERT_TRUE(character_data.SaveXML(path.c_str(), false));
    DMDatabase loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_EQ(strlen(loaded.GetValue("a", "n", "CDATA")), 100000u);
}

// Both forms fail, report why, keep the old bytes and leave nothing beside
// them; then a save that works replaces the file.
void ExpectFailedSavesKeepTheOldFile(DMDatabase& database, const std::string& folder, const std::string& reason) {
    std::string path = folder + "/kept.xml";
    std::vector<std::string> names = NamesIn(folder);
    for (bool scramble : {false, true}) {
        ClearRecorded();
        EXPECT_FALSE(database.SaveXML(path.c_str(), scramble));
        EXPECT_EQ(ReadWholeFile(path), "old content");
        EXPECT_EQ(NamesIn(folder), names);
        EXPECT_EQ(PopupTexts(), std::vector<std::string>{"Unable to write file '" + path + "' (" + reason + ")."});
    }
}

TEST_F(DatabaseWriting, AFailedCloseKeepsTheOldFile) {
    std::string path = dir / "kept.xml";
    WriteFile(path, "old content");
    DMDatabase database;
    database.SetValue("a", "n", "v", "1");
    ZKFileSystem::SetSafeFileCloseForTesting(FailingClose);
    ExpectFailedSavesKeepTheOldFile(database, dir.Path(), "closing '" + path + "' failed: Input/output error");
    ZKFileSystem::SetSafeFileCloseForTesting(nullptr);
    ASSERT_TRUE(database.SaveXML(path.c_str(), false));
    EXPECT_EQ(ReadWholeFile(path), AsXML(database));
}

TEST_F(DatabaseWriting, AFullDiskKeepsTheOldFile) {
    std::string folder = dir / "disk";
    mkdir(folder.c_str(), 0777);
    SmallDisk disk(folder);
    if (!disk.Usable()) GTEST_SKIP() << "this process may not mount a file system";
    WriteFile(folder + "/kept.xml", "old content");
    disk.Fill();
    DMDatabase database;
    database.SetValue("a", "n", "v", std::string(8192, 'v').c_str());
    ExpectFailedSavesKeepTheOldFile(database, folder,
                                    "writing '" + folder + "/kept.xml' failed: No space left on device");
}

}  // namespace
