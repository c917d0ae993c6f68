// Loading databases from XML files, XML text in memory and by file type,
// with every structure message.
#include <string>
#include <vector>

#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/tests/datamodel_test_support.h"

using namespace InnerZK;
using namespace datamodel_test;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";

class DatabaseLoading : public DataModelTest {
protected:
    // Loads XML text through a memory buffer, as the built-in shaders are.
    bool LoadText(DMDatabase& database, const std::string& text) {
        nByteBuffer buffer;
        buffer.Append(text.data(), int(text.size()));
        return database.LoadFromBufferXML(&buffer);
    }
    TempDirectory dir;
};

TEST_F(DatabaseLoading, ArraysNodesAndValues) {
    DMDatabase database;
    ASSERT_TRUE(LoadText(database, declaration +
                                       "<!-- settings -->\n<root>\n"
                                       "  <array id=\"first\" version=\"2\" id=\"renamed\">\n"
                                       "    <node id=\"a\" w=\"32\" h=\"16\"/>\n"
                                       "    <node id=\"b\"></node>\n"
                                       "    <node v=\"no id\"/>\n"
                                       "  </array>\n"
                                       "  <array id=\"empty\"/>\n"
                                       "  <array id=\"second\"><node id=\"x\" id=\"y\"/></array>\n"
                                       "</root>\n"));
    EXPECT_TRUE(PopupTexts().empty());
    ASSERT_EQ(database.GetNumberOfArrays(), 2);  // an empty-element array adds none

    DMArray* first = database.GetArrayById("renamed");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->id_hash, 0u);  // the loader sets the id text only
    EXPECT_EQ(first->parent, &database);
    EXPECT_EQ(first->GetNumberOfArrayValues(), 1);
    EXPECT_STREQ(first->GetArrayValue("version"), "2");
    ASSERT_EQ(first->GetNumberOfNodes(), 3);
    DMNode* a = first->GetNodeById("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent, first);
    EXPECT_EQ(a->values.count, 3);
    EXPECT_STREQ(a->values[0].id, "id");
    EXPECT_STREQ(database.GetValue("renamed", "a", "w"), "32");
    EXPECT_STREQ(database.GetValue("renamed", 0, "h"), "16");
    EXPECT_NE(first->GetNodeById("b"), nullptr);
    EXPECT_EQ(first->GetNodeByIndex(2)->id, nullptr);
    EXPECT_STREQ(first->GetNodeValue(2, "v"), "no id");

    // Two id attributes: the last is the node's id, both stay as pairs.
    DMNode* twice = database.GetArrayById("second")->GetNodeByIndex(0);
    EXPECT_STREQ(twice->id, "y");
    ASSERT_EQ(twice->values.count, 2);
    EXPECT_STREQ(twice->GetValue("id"), "x");
    EXPECT_STREQ(twice->values[1].value, "y");
    EXPECT_FALSE(database.load_failed);
}

TEST_F(DatabaseLoading, NodeTextBecomesADataOrCharacterDataValue) {
    DMDatabase database;
    ASSERT_TRUE(LoadText(database, declaration +
                                       "<root><array id=\"s\">"
                                       "<node id=\"t\">plain &amp; text</node>"
                                       "<node id=\"c\"><![CDATA[a < b && c > \"d\" &amp;]]></node>"
                                       "<node id=\"after\"/>"
                                       "</array></root>"));
    EXPECT_STREQ(database.GetValue("s", "t", "DATA"), "plain &amp; text");
    EXPECT_STREQ(database.GetValue("s", "c", "CDATA"), "a < b && c > \"d\" &amp;");
    EXPECT_EQ(database.GetNode("s", "c")->values[1].id_hash, 129105349u);
    EXPECT_EQ(database.GetNode("s", "t")->values[1].id_hash, 3536562u);
    EXPECT_NE(database.GetNode("s", "after"), nullptr);
}

TEST_F(DatabaseLoading, ALargeCharacterDataSectionLoadsWhole) {
    std::string source;
    while (source.size() < 100 * 1024) source += "float4 value" + std::to_string(source.size()) + " = a < b ? c : d;\n";
    std::string path = dir / "shader.xml";
    WriteFile(path, declaration + "<root><array id=\"sources\"><node id=\"GLSL21\"><![CDATA[" + source +
                        "]]></node></array></root>\n");
    DMDatabase database;
    ASSERT_TRUE(database.Load(path.c_str()));
    const char* loaded = database.GetValue("sources", "GLSL21", "CDATA");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::string(loaded), source);
}

struct StructureCase {
    std::string body;
    std::vector<std::string> popups;
};

TEST_F(DatabaseLoading, EveryStructureMessage) {
    const StructureCase cases[] = {
        {"<data></data>",
         {"DataManager: XML database needs to be contained within 'root' block (not expecting 'data'). 'FromMem' is "
          "invalid."}},
        {"<root/>",
         {"DataManager: XML database needs to be contained within 'root' block (not expecting 'root'). 'FromMem' is "
          "invalid."}},
        {"   ",
         {"DataManager: XML database needs to be contained within 'root' block (not expecting 'null'). 'FromMem' is "
          "invalid."}},
        {"<root><node/></root>",
         {"DataManager: root/array/node structure violated. 'node' is not 'array'. 'FromMem' is invalid."}},
        {"<root>text</root>",
         {"DataManager: root/array/node structure violated. '(null)' is not 'array'. 'FromMem' is invalid."}},
        {"<root><array id=\"a\">", {"DataManager: File 'FromMem' ends unexpectedly. Not loaded."}},
        {"<root><array><array></array></array></root>",
         {"DataManager: File 'FromMem' has enclosing arrays which is not supported. Not loaded."}},
        {"<root><array><item/></array></root>",
         {"DataManager: in 'FromMem' is expecting to find two types of elements inside root: 'array' and 'node'. "
          "'item' is not one of them."}},
        {"<root><array>text</array></root>",
         {"DataManager: in 'FromMem' is expecting to find two types of elements inside root: 'array' and 'node'. "
          "'(null)' is not one of them."}},
        {"<root><array><node id=\"a\">", {"DataManager: error parsing file 'FromMem' after node #1 with id 'a'."}},
        {"<root><array><node/><node>", {"DataManager: error parsing file 'FromMem' after node #2 with id '(null)'."}},
        {"<root><array id=\"x\"><node id=\"a\"/></array><array><node id=\"b\"><item/></array></root>",
         {"DataManager: error parsing file 'FromMem' after node #2 with id 'b'. Basic root/array/node structure "
          "violated."}},
        {"<root></root><extra/>", {"DataManager: No blocks can exist after </root>. 'FromMem' is invalid."}},
        {"<root></root>\n<!-- c -->\ntrailing", {}},  // comments are fine; text with no tag after it is dropped
        {"<root></root>text<!-- c -->", {"DataManager: No blocks can exist after </root>. 'FromMem' is invalid."}},
        {"<root><array></array>",
         {"DataManager: XML database needs to end with root block closing. 'FromMem' is invalid."}},
    };
    for (const StructureCase& c : cases) {
        ClearRecorded();
        DMDatabase database;
        bool loaded = LoadText(database, declaration + c.body);
        EXPECT_EQ(loaded, c.popups.empty()) << c.body;
        EXPECT_EQ(database.load_failed, !loaded) << c.body;
        EXPECT_EQ(PopupTexts(), c.popups) << c.body;
        EXPECT_EQ(database.GetNumberOfArrays(), 0) << c.body;
    }
}

TEST_F(DatabaseLoading, AnErrorInTheThirdArrayLeavesNoArrays) {
    DMDatabase database;
    EXPECT_FALSE(LoadText(database, declaration +
                                        "<root><array id=\"1\"><node id=\"a\"/></array>"
                                        "<array id=\"2\"><node id=\"b\"/></array>"
                                        "<array id=\"3\"><node id=\"c\"><bad/></array></root>"));
    EXPECT_EQ(database.GetNumberOfArrays(), 0);
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"DataManager: error parsing file 'FromMem' after node #3 with id "
                                                     "'c'. Basic root/array/node structure violated."});
}

TEST_F(DatabaseLoading, AParsingErrorFailsTheLoadEvenAfterTheRoot) {
    for (const char* body : {"<root><array a=1/></root>", "<root></root>\n<!-- <!- -->"}) {
        ClearRecorded();
        DMDatabase database;
        EXPECT_FALSE(LoadText(database, declaration + body)) << body;
        EXPECT_TRUE(database.load_failed) << body;
        ASSERT_FALSE(PopupTexts().empty()) << body;
        EXPECT_EQ(PopupTexts()[0].rfind("Parsing error (", 0), 0u) << body;
    }
}

TEST_F(DatabaseLoading, FileTypesAndTheirMessages) {
    WriteFile(dir / "a.XML", declaration + "<root><array id=\"a\"/></root>");
    WriteFile(dir / "b.Xml", declaration + "<root><array id=\"b\"></array></root>");
    WriteFile(dir / "t.txt", "x");
    // There, but no XML: the reader's reason and a word that the file is
    // not missing.
    WriteFile(dir / "nul.xml", std::string(1, '\0') + declaration + "<root></root>");
    struct Case {
        std::string path;
        bool loaded;
        std::vector<std::string> popups;
    } cases[] = {
        {dir / "a.XML", true, {}},
        {dir / "b.Xml", true, {}},
        {dir / "t.txt", false,
         {"Unknown database file type '" + (dir / "t.txt") + "'. Supported formats are: .csv .xml"}},
        {"abc", false, {}},
        {"", false, {}},
        {dir / "missing.xml", false, {"XML database file '" + (dir / "missing.xml") + "' not found!"}},
        {dir / "nul.xml", false,
         {"First non-whitespace char in XML document needs to be '<'. First char in '" + (dir / "nul.xml") +
              "' is #0 ' '.",
          "XML database file '" + (dir / "nul.xml") + "' cannot be read as XML!"}},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        DMDatabase database;
        EXPECT_EQ(database.Load(c.path.c_str()), c.loaded) << c.path;
        EXPECT_EQ(database.load_failed, !c.loaded) << c.path;
        EXPECT_STREQ(database.name, c.path.c_str());
        EXPECT_EQ(PopupTexts(), c.popups) << c.path;
    }
}

TEST_F(DatabaseLoading, AnInvalidMemoryText) {
    DMDatabase database;
    EXPECT_FALSE(LoadText(database, "<?x"));
    EXPECT_FALSE(database.LoadFromBufferXML(nullptr));
    EXPECT_EQ(PopupTexts(), (std::vector<std::string>{"XML database file loaded from memory is invalid!",
                                                      "XML database file loaded from memory is invalid!"}));
    EXPECT_TRUE(database.load_failed);
}

TEST_F(DatabaseLoading, ReloadReadsTheFileAgain) {
    std::string path = dir / "r.xml";
    WriteFile(path, declaration + "<root><array id=\"a\"><node id=\"n\" v=\"1\"/></array></root>");
    DMDatabase database;
    ASSERT_TRUE(database.Load(path.c_str()));
    WriteFile(path, declaration + "<root><array id=\"a\"><node id=\"n\" v=\"2\"/></array></root>");
    database.Reload();
    EXPECT_EQ(database.GetNumberOfArrays(), 1);
    EXPECT_STREQ(database.GetValue("a", "n", "v"), "2");
    EXPECT_STREQ(database.name, path.c_str());

    DMDatabase unnamed;
    unnamed.AddArray("kept");
    unnamed.Reload();
    EXPECT_EQ(unnamed.GetNumberOfArrays(), 1);
}

TEST_F(DatabaseLoading, LoadingAddsToTheArraysAlreadyHeld) {
    std::string path = dir / "add.xml";
    WriteFile(path, declaration + "<root><array id=\"file\"/><array id=\"file\"></array></root>");
    DMDatabase database;
    database.AddArray("own");
    ASSERT_TRUE(database.Load(path.c_str()));
    ASSERT_EQ(database.GetNumberOfArrays(), 2);
    EXPECT_STREQ(database.GetArrayByIndex(0)->id, "own");
    EXPECT_STREQ(database.GetArrayByIndex(1)->id, "file");
    EXPECT_EQ(database.name_hash, nStringHash(path.c_str()));
}

}  // namespace
